// The frame every printed page shares: the heading band (class name, date) above,
// the footer with the page number below, and the area left for the content. Sizes
// are in the device's pixels, so the same code serves any resolution.
#pragma once

#include "app/print/printed_roster.h"

#include <QRectF>
#include <QString>

#include <string_view>

class QPainter;
class QPaintDevice;

namespace qr::print {

// A GBK text of the roster as Qt shows it.
QString fromGbk(std::string_view gbk);

// Millimetres in the device's pixels.
qreal millimetres(const QPaintDevice& device, qreal mm);

// "第 N 页，共 M 页".
QString pageNumberText(int page, int pageCount);

class PageFrame {
public:
    PageFrame(const QPaintDevice& device, const PageHeading& heading, const QFont& font);

    // Where the page's content goes, below the heading and above the footer.
    QRectF contentArea() const { return content_; }
    // Draws the heading and the footer of page `page` (1-based).
    void paint(QPainter& painter, int page, int pageCount) const;

private:
    QRectF page_;
    QRectF content_;
    QString title_;
    QString date_;
    QFont titleFont_;
    QFont dateFont_;
    QFont footerFont_;
    qreal titleHeight_ = 0;
    qreal footerHeight_ = 0;
};

} // namespace qr::print
