#include "app/print/class_list_print.h"

#include "app/print/fitted_text.h"
#include "app/print/page_frame.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <numeric>

namespace qr::print {

namespace {

using Cells = std::array<QStringList, roster::kColumnCount>;

// Each column's share of the page in ems of the list's font: what its usual content
// takes with digits half an em wide (an 18-digit identity-card number is 9 ems).
// Whatever is wider breaks over lines, never into the next column.
constexpr std::array<qreal, roster::kColumnCount> kColumnEms = {2.5, 5, 2.5, 3, 3, 2.5, 6, 9.5, 2.5, 3,
                                                                3,   9, 12,  3, 4, 5.5, 3, 4,   5.5};

constexpr qreal kBodyPoints = 7.5;
constexpr int kHeadingLines = 3;
constexpr int kCellLines = 3;
constexpr qreal kPaddingXMm = 0.6;
constexpr qreal kPaddingYMm = 0.5;
constexpr qreal kRuleMm = 0.15;

class ListLayout {
public:
    ListLayout(const QPagedPaintDevice& device, const ClassList& list)
        : frame_(device, list.heading, list.font)
        , body_(list.font)
    {
        body_.setPointSizeF(kBodyPoints);
        body_.setBold(false);
        heading_ = body_;
        heading_.setBold(true);
        const QFontMetricsF metrics(body_, &device);
        line_ = metrics.lineSpacing();
        ascent_ = metrics.ascent();
        padX_ = millimetres(device, kPaddingXMm);
        padY_ = millimetres(device, kPaddingYMm);
        rule_ = millimetres(device, kRuleMm);

        const QRectF area = frame_.contentArea();
        const qreal totalEms = std::accumulate(kColumnEms.begin(), kColumnEms.end(), 0.0);
        qreal x = area.left();
        for (std::size_t c = 0; c < roster::kColumnCount; ++c) {
            left_[c] = x;
            width_[c] = area.width() * kColumnEms[c] / totalEms;
            x += width_[c];
        }

        for (std::size_t c = 0; c < roster::kColumnCount; ++c)
            headingCells_[c] = fitLines(fromGbk(roster::kListTitles[c]), heading_, device, textWidth(c), kHeadingLines);
        headingHeight_ = heightOf(headingCells_);

        cells_.reserve(list.rows.size());
        heights_.reserve(list.rows.size());
        for (const ListRow& row : list.rows) {
            Cells cells;
            for (std::size_t c = 0; c < roster::kColumnCount; ++c)
                cells[c] = fitLines(fromGbk(row[c]), body_, device, textWidth(c), kCellLines);
            heights_.push_back(heightOf(cells));
            cells_.push_back(std::move(cells));
        }
        paginate(area.height() - headingHeight_);
    }

    const std::vector<PageRows>& pages() const { return pages_; }

    void paintPage(QPainter& painter, int page) const
    {
        frame_.paint(painter, page + 1, int(pages_.size()));
        painter.save();
        QPen pen(Qt::black);
        pen.setWidthF(rule_);
        painter.setPen(pen);
        qreal y = frame_.contentArea().top();
        painter.setFont(heading_);
        paintRow(painter, headingCells_, y, headingHeight_, QColor(232, 232, 232));
        y += headingHeight_;
        painter.setFont(body_);
        const PageRows rows = pages_[std::size_t(page)];
        for (int r = rows.first; r < rows.first + rows.count; ++r) {
            paintRow(painter, cells_[std::size_t(r)], y, heights_[std::size_t(r)], QColor());
            y += heights_[std::size_t(r)];
        }
        painter.restore();
    }

private:
    qreal textWidth(std::size_t column) const { return std::max<qreal>(1, width_[column] - 2 * padX_); }

    qreal heightOf(const Cells& cells) const
    {
        qsizetype lines = 1;
        for (const QStringList& cell : cells)
            lines = std::max(lines, cell.size());
        return qreal(lines) * line_ + 2 * padY_;
    }

    void paginate(qreal room)
    {
        PageRows page;
        qreal used = 0;
        for (std::size_t r = 0; r < heights_.size(); ++r) {
            if (page.count > 0 && used + heights_[r] > room) {
                pages_.push_back(page);
                page = {int(r), 0};
                used = 0;
            }
            used += heights_[r];
            ++page.count;
        }
        pages_.push_back(page);
    }

    void paintRow(QPainter& painter, const Cells& cells, qreal top, qreal height, const QColor& fill) const
    {
        for (std::size_t c = 0; c < roster::kColumnCount; ++c) {
            const QRectF box(left_[c], top, width_[c], height);
            if (fill.isValid())
                painter.fillRect(box, fill);
            painter.drawRect(box);
            for (qsizetype k = 0; k < cells[c].size(); ++k)
                painter.drawText(QPointF(box.left() + padX_, top + padY_ + qreal(k) * line_ + ascent_), cells[c][k]);
        }
    }

    PageFrame frame_;
    QFont body_;
    QFont heading_;
    qreal line_ = 0, ascent_ = 0, padX_ = 0, padY_ = 0, rule_ = 0;
    std::array<qreal, roster::kColumnCount> left_{}, width_{};
    Cells headingCells_;
    qreal headingHeight_ = 0;
    std::vector<Cells> cells_;
    std::vector<qreal> heights_;
    std::vector<PageRows> pages_;
};

} // namespace

QPageLayout classListPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

std::vector<PageRows> classListPages(const QPagedPaintDevice& device, const ClassList& list)
{
    return ListLayout(device, list).pages();
}

int printClassList(QPagedPaintDevice& device, const ClassList& list)
{
    const ListLayout layout(device, list);
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const int pages = int(layout.pages().size());
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            device.newPage();
        layout.paintPage(painter, p);
    }
    painter.end();
    return pages;
}

} // namespace qr::print
