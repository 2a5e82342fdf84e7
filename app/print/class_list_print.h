// The class list on paper: A4 landscape, the nineteen list columns with the
// heading row repeated on every page, the rows in list order, a cell's text broken
// over up to three lines and cut beyond them.
#pragma once

#include "app/print/printed_roster.h"

#include <QPageLayout>

#include <vector>

class QPagedPaintDevice;

namespace qr::print {

// A4 landscape with 10 mm margins.
QPageLayout classListPageLayout();

// The rows of each page: pages[p] holds the indexes [first, first + count).
struct PageRows {
    int first = 0;
    int count = 0;
};

// How the list breaks into pages on this device (always at least one page).
std::vector<PageRows> classListPages(const QPagedPaintDevice& device, const ClassList& list);

// Paints every page onto the device as it is laid out now (its page layout is the
// caller's); returns the number of pages, or 0 when the device cannot be painted on.
int printClassList(QPagedPaintDevice& device, const ClassList& list);

} // namespace qr::print
