// The drawing surface of a picture box: a decoded picture in one of three display
// modes over an optional background colour, inside an edge style.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>

#include <optional>

namespace qr::forms::kinds {

enum class DisplayMode { OwnSize = 0, Stretched = 1, CentredFit = 2 };

// Where the picture lands inside `client` for a mode: own size at the top-left
// (clipped), stretched over all of it, or centred and scaled down by the smaller
// of the two ratios when it does not fit.
QRect pictureTarget(QSize picture, const QRect& client, DisplayMode mode);

class PictureView : public QFrame {
public:
    explicit PictureView(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    void setDisplayMode(DisplayMode mode);
    DisplayMode displayMode() const { return mode_; }
    // nullopt: no background of its own (the window shows through).
    void setBackground(std::optional<QColor> colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    DisplayMode mode_ = DisplayMode::Stretched;
    std::optional<QColor> background_;
};

} // namespace qr::forms::kinds
