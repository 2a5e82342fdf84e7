#include "forms/registry/form_window.h"

#include "forms/registry/registry_internal.h"
#include "forms/template/event_numbers.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>

namespace qr::forms::detail {

QColor qColorOf(Colour colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

ClientArea::ClientArea(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(false);
}

void ClientArea::setBackground(Colour colour, QImage picture, int pictureMode)
{
    colour_ = colour;
    picture_ = std::move(picture);
    pictureMode_ = pictureMode;
    update();
}

void ClientArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, colour_ == kDefaultColour ? palette().color(QPalette::Window) : qColorOf(colour_));
    if (picture_.isNull())
        return;
    const QSize own = picture_.size();
    switch (pictureMode_) {
    case 0: painter.drawImage(QPoint(0, 0), picture_); break;
    case 2: {
        QSize shown = own;
        if (own.width() > area.width() || own.height() > area.height()) {
            const double ratio = std::min(double(area.width()) / own.width(), double(area.height()) / own.height());
            shown = QSize(std::max(1, int(own.width() * ratio)), std::max(1, int(own.height() * ratio)));
        }
        const QRect target(QPoint((area.width() - shown.width()) / 2, (area.height() - shown.height()) / 2), shown);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, picture_);
        break;
    }
    case 3:
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(area, picture_);
        break;
    default: painter.drawTiledPixmap(area, QPixmap::fromImage(picture_)); break;
    }
}

QSize frameExtras(const WindowSettings& s)
{
    if (s.borderStyle == 0)
        return {0, 0};
    const bool sizable = s.borderStyle == 1 || s.borderStyle == 3 || s.borderStyle == 5;
    const bool toolWindow = s.borderStyle == 3 || s.borderStyle == 4;
    const int frame = sizable ? 4 : 3;
    const bool captionBar = !s.caption.empty() || s.controlBox != 0;
    const int caption = captionBar ? (toolWindow ? 17 : 23) : 0;
    return {2 * frame, 2 * frame + caption};
}

FormWindow::FormWindow(std::uint32_t windowId)
    : windowId_(windowId)
    , client_(new ClientArea(this))
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void FormWindow::setMenuBar(QMenuBar* menuBar)
{
    menuBar_ = menuBar;
    if (menuBar_)
        menuBar_->setParent(this);
    layoutChildren();
}

void FormWindow::setInnerSize(QSize size)
{
    innerSize_ = size.expandedTo(QSize(0, 0));
    setFixedSize(innerSize_);
    layoutChildren();
}

void FormWindow::layoutChildren()
{
    const int menuHeight = (menuBar_ && !menuBar_->isHidden()) ? menuBar_->sizeHint().height() : 0;
    if (menuBar_)
        menuBar_->setGeometry(0, 0, width(), menuHeight);
    client_->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
}

bool FormWindow::event(QEvent* event)
{
    if (event->type() == QEvent::Type(kDestroyRequest)) {
        LoadedWindow* live = Registry::instance().loaded(windowId_);
        // A request that outlived its window (a fresh load already finished it) is stale.
        if (live && live->window == this && live->closing)
            tearDownWindow(windowId_);
        return true;
    }
    return QWidget::event(event);
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    LoadedWindow* live = Registry::instance().loaded(windowId_);
    if (!live || live->window != this || live->tearingDown) {
        event->accept();
        return;
    }
    // Asked twice: close requested first, then may close; a handler answering false
    // keeps the window.
    const ComponentAddress self{windowId_, windowRecordId(windowId_)};
    if (raiseEvent(self.windowId, self.componentId, event::kCloseRequested).refused()) {
        event->ignore();
        return;
    }
    live = Registry::instance().loaded(windowId_);
    if (!live || live->window != this) {
        event->accept();
        return;
    }
    if (raiseEvent(self.windowId, self.componentId, event::kMayClose).refused()) {
        event->ignore();
        return;
    }
    if (Registry::instance().loaded(windowId_) == live)
        tearDownWindow(windowId_);
    event->accept();
}

void FormWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    windowMovedOrResized(windowId_, true);
}

void FormWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
    windowMovedOrResized(windowId_, false);
}

void FormWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        windowActivationChanged(windowId_, isActiveWindow());
}

void FormWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        windowShownOrHidden(windowId_, true);
}

void FormWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        windowShownOrHidden(windowId_, false);
}

void FormWindow::mousePressEvent(QMouseEvent* event)
{
    if (dragAnywhere_ && event->button() == Qt::LeftButton && windowHandle()) {
        windowHandle()->startSystemMove();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace qr::forms::detail
