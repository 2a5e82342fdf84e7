// The top-level widget of a loaded window: an optional menu bar on top of the
// client area that holds the components and draws the background.
#pragma once

#include "forms/template/template_types.h"

#include <QImage>
#include <QWidget>

#include <cstdint>

class QMenuBar;

namespace qr::forms::detail {

class ClientArea : public QWidget {
public:
    explicit ClientArea(QWidget* parent);

    // colour: COLORREF or kDefaultColour (the system window colour); picture mode 0
    // top-left at its own size, 1 tiled, 2 centred and scaled down to fit, 3 stretched.
    void setBackground(Colour colour, QImage picture, int pictureMode);
    const QImage& picture() const { return picture_; }
    int pictureMode() const { return pictureMode_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Colour colour_ = kDefaultColour;
    QImage picture_;
    int pictureMode_ = 1;
};

// The stored window size is the outer size of a Windows frame; the client area is
// smaller by the frame and the caption bar.
QSize frameExtras(const WindowSettings& settings);

class FormWindow : public QWidget {
public:
    static constexpr int kDestroyRequest = 1000 + 0x65; // QEvent::User + 0x65

    explicit FormWindow(std::uint32_t windowId);

    std::uint32_t windowId() const { return windowId_; }
    ClientArea* client() const { return client_; }

    // Puts the menu bar above the client area (nullptr: no menu bar).
    void setMenuBar(QMenuBar* menuBar);
    QMenuBar* menuBar() const { return menuBar_; }
    // Fixes the window to this size below its caption bar: the menu bar, if shown,
    // takes its height from the client area, as a Windows menu does.
    void setInnerSize(QSize size);
    QSize innerSize() const { return innerSize_; }
    // Re-lays the menu bar and client area (after the menu bar was shown or hidden).
    void layoutChildren();
    void setDragAnywhere(bool on) { dragAnywhere_ = on; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::uint32_t windowId_;
    ClientArea* client_;
    QMenuBar* menuBar_ = nullptr;
    QSize innerSize_;
    bool dragAnywhere_ = false;
};

} // namespace qr::forms::detail
