// The photo contact sheet: A4 portrait, three cards across and four down, each
// with the student's photo as stored (an empty frame without one) beside 姓名,
// 性别, 身份证号, 监护1姓名 and 监护1电话, in list order.
#pragma once

#include "app/print/printed_roster.h"

#include <QPageLayout>

class QPagedPaintDevice;

namespace qr::print {

inline constexpr int kCardColumns = 3;
inline constexpr int kCardRows = 4;
inline constexpr int kCardsPerPage = kCardColumns * kCardRows;

// A4 portrait with 10 mm margins.
QPageLayout contactSheetPageLayout();

// Paints every page onto the device as it is laid out now; returns the number of
// pages (at least one), or 0 when the device cannot be painted on.
int printContactSheet(QPagedPaintDevice& device, const ContactSheet& sheet);

} // namespace qr::print
