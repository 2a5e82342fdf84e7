#include "packaging/icon_set.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

namespace qr::packaging {

QImage largestIconImage(std::span<const std::uint8_t> iconFile)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(iconFile.data()),
                                               static_cast<qsizetype>(iconFile.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // The format is named: a reader left to guess would take any picture for an icon.
    QImageReader reader(&buffer, "ico");
    reader.setAutoDetectImageFormat(false);
    QImage best;
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i))
            break;
        QImage image = reader.read();
        if (image.isNull())
            continue;
        if (best.isNull() || qint64(image.width()) * image.height() > qint64(best.width()) * best.height())
            best = std::move(image);
    }
    return best;
}

QImage squareIcon(const QImage& source, int size)
{
    QImage square(size, size, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    if (source.isNull())
        return square;
    const QImage scaled = source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                              .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&square);
    painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    painter.end();
    return square.convertToFormat(QImage::Format_ARGB32);
}

bool writeIconSet(const QImage& source, const QString& dir, const QString& name, QString* error)
{
    for (const int size : kIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(dir).arg(size);
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder)) {
            *error = folder;
            return false;
        }
        QImageWriter writer(file, "png");
        if (!writer.write(squareIcon(source, size))) {
            *error = file + QStringLiteral(": ") + writer.errorString();
            return false;
        }
    }
    return true;
}

} // namespace qr::packaging
