#include "forms/kinds/picture_view.h"

#include <QPainter>

namespace qr::forms::kinds {

QRect pictureTarget(QSize picture, const QRect& client, DisplayMode mode)
{
    if (picture.isEmpty() || client.isEmpty())
        return {};
    switch (mode) {
    case DisplayMode::OwnSize: return QRect(client.topLeft(), picture);
    case DisplayMode::Stretched: return client;
    case DisplayMode::CentredFit: break;
    }
    QSize size = picture;
    if (picture.width() > client.width() || picture.height() > client.height()) {
        const double ratio =
            std::min(double(client.width()) / picture.width(), double(client.height()) / picture.height());
        size = QSize(std::max(1, int(picture.width() * ratio)), std::max(1, int(picture.height() * ratio)));
    }
    return QRect(client.left() + (client.width() - size.width()) / 2,
                 client.top() + (client.height() - size.height()) / 2, size.width(), size.height());
}

PictureView::PictureView(QWidget* parent)
    : QFrame(parent)
{}

void PictureView::setPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void PictureView::setDisplayMode(DisplayMode mode)
{
    mode_ = mode;
    update();
}

void PictureView::setBackground(std::optional<QColor> colour)
{
    background_ = colour;
    update();
}

void PictureView::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        const QRect client = contentsRect();
        if (background_)
            painter.fillRect(client, *background_);
        if (!picture_.isNull()) {
            painter.setClipRect(client);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            const QRect target = pictureTarget(picture_.size(), client, mode_);
            if (mode_ == DisplayMode::OwnSize)
                painter.drawImage(target.topLeft(), picture_);
            else
                painter.drawImage(target, picture_);
        }
    }
    QFrame::paintEvent(event); // the edge on top
}

} // namespace qr::forms::kinds
