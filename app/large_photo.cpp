#include "app/large_photo.h"

#include "app/messages.h"
#include "forms/kinds/image/picture_decoder.h"
#include "roster/photo_size.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <string>

namespace qr::app {

QImage uprightPicture(const runtime::ByteSet& file)
{
    // Only the formats the photo box shows count as pictures; any other file is
    // kept as chosen, exactly as before.
    if (forms::recognisePicture(file.data(), file.size()) == forms::PictureFormat::None)
        return {};
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    QImage picture = reader.read();
    // What Qt cannot read (a cursor file, say) comes from the box's own decoder,
    // without an orientation.
    if (picture.isNull())
        picture = forms::decodePictureFile(file);
    return picture;
}

runtime::ByteSet shrunkJpeg(const QImage& picture)
{
    if (picture.isNull())
        return {};
    const roster::PixelSize size = roster::shrunkPhotoSize({picture.width(), picture.height()});
    // JPEG has no transparency: transparent parts show on white, as on a page.
    QImage flat(size.width, size.height, QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(
            QRect(0, 0, size.width, size.height),
            size == roster::PixelSize{picture.width(), picture.height()}
                ? picture
                : picture.scaled(size.width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(roster::kShrunkPhotoQuality);
    if (!writer.write(flat))
        return {};
    return runtime::ByteSet(encoded.begin(), encoded.end());
}

runtime::ByteSet photoToKeep(runtime::ByteSet file)
{
    if (!roster::photoIsLarge(file.size()))
        return file;
    const QImage picture = uprightPicture(file);
    if (picture.isNull())
        return file;
    const std::string question =
        std::string(text::kLargePhotoBefore) + roster::megabytesText(file.size()) + std::string(text::kLargePhotoAfter);
    if (!askYes(question, text::kAskTitle))
        return file;
    runtime::ByteSet shrunk = shrunkJpeg(picture);
    return shrunk.empty() ? file : shrunk;
}

} // namespace qr::app
