// What is wrong with the rows a spreadsheet import has read, before they replace the
// roster: empty required fields, one 身份证号 in several rows, numbers that fail the
// identity-card check or lost their digits in a number cell, and 性别 or relation
// words the forms do not offer. Qt-free; texts are GBK bytes.
#pragma once

#include "roster/columns.h"
#include "roster/id_card_check.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace qr::roster {

using ImportRow = std::array<std::string, kColumnCount>; // the columns' texts, in heading order

struct ImportProblem {
    int sheetRow = 0;    // as the spreadsheet numbers it: the headings are row 1
    std::string message; // GBK, without the row
};

// Every problem, by sheet row (row i of `rows` is sheet row i + 2), a row's own in
// column order, a repeated 身份证号 last. Empty when the rows are fine.
std::vector<ImportProblem> checkImportRows(std::span<const ImportRow> rows, const CalendarDate& asOf);

inline constexpr std::size_t kNoticeLines = 20;

// The notice for the problems: a heading line, at most `kNoticeLines` lines
// "第N行：...", then how many more there are. Empty when there are no problems.
std::string importProblemNotice(std::span<const ImportProblem> problems);

} // namespace qr::roster
