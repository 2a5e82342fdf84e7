// What the printed pages show, as read from a roster store: GBK texts (converted
// where they meet Qt) and the photos as stored. The font family is the caller's, so
// that print and screen show the same face.
#pragma once

#include "roster/columns.h"
#include "runtime/value.h"

#include <QDate>
#include <QFont>

#include <array>
#include <string>
#include <vector>

namespace qr::print {

// On top of every page: the class name on the left, the date on the right.
struct PageHeading {
    std::string titleGbk;
    QDate date;
};

// One row per student, the list's nineteen columns in list order.
using ListRow = std::array<std::string, roster::kColumnCount>;

struct ClassList {
    PageHeading heading;
    std::vector<ListRow> rows;
    QFont font;
};

struct StudentCard {
    std::string name, sex, idCard, guardian1Name, guardian1Phone; // GBK
    runtime::ByteSet photo;                                       // a picture file, or empty
};

struct ContactSheet {
    PageHeading heading;
    std::vector<StudentCard> cards;
    QFont font;
};

} // namespace qr::print
