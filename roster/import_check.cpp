#include "roster/import_check.h"

#include "roster/student_choices.h"

#include <string_view>
#include <unordered_map>

namespace qr::roster {

namespace {

// The column that shows field `number`.
constexpr std::size_t columnOf(int number) { return field::indexOf(number) - (number > field::kPhoto ? 1 : 0); }
static_assert(columnField(columnOf(field::kGuardian2Relation)) == field::kGuardian2Relation);

// The fields the add form will not save empty, in its order.
constexpr std::array<std::size_t, 13> kRequiredColumns = {
    columnOf(field::kName),
    columnOf(field::kSex),
    columnOf(field::kHeight),
    columnOf(field::kWeight),
    columnOf(field::kAge),
    columnOf(field::kRegisterNumber),
    columnOf(field::kBoarding),
    columnOf(field::kIdCard),
    columnOf(field::kNationalNumber),
    columnOf(field::kAddress),
    columnOf(field::kGuardian1Relation),
    columnOf(field::kGuardian1Name),
    columnOf(field::kGuardian1Phone),
};
constexpr std::size_t kSexColumn = columnOf(field::kSex);
constexpr std::size_t kNationalNumberColumn = columnOf(field::kNationalNumber);
constexpr std::size_t kIdCardColumn = columnOf(field::kIdCard);
constexpr std::size_t kGuardian1RelationColumn = columnOf(field::kGuardian1Relation);
constexpr std::size_t kGuardian2RelationColumn = columnOf(field::kGuardian2Relation);

std::string quoted(std::string_view text) { return "“" + std::string(text) + "”"; }

void checkRow(const ImportRow& row, int sheetRow, const CalendarDate& asOf, std::vector<ImportProblem>& out)
{
    const auto add = [&](std::string message) { out.push_back({sheetRow, std::move(message)}); };

    std::string empty;
    for (std::size_t column : kRequiredColumns) {
        if (!row[column].empty())
            continue;
        if (!empty.empty())
            empty += "、";
        empty += kHeadings[column];
    }
    if (!empty.empty())
        add(empty + " 为空");

    const std::string& sex = row[kSexColumn];
    if (!sex.empty() && !isOneOf(kSexTexts, sex))
        add("性别" + quoted(sex) + "应为男或女");

    if (looksLikeNumberCell(row[kNationalNumberColumn]))
        add("全国学号" + quoted(row[kNationalNumberColumn]) + "来自数字单元格，后几位已丢失");

    if (auto problem = idCardProblem(row[kIdCardColumn], asOf))
        add("身份证号" + quoted(row[kIdCardColumn]) + *problem);

    for (std::size_t column : {kGuardian1RelationColumn, kGuardian2RelationColumn}) {
        if (!row[column].empty() && !isOneOf(kRelationTexts, row[column]))
            add(std::string(kHeadings[column]) + quoted(row[column]) + "不在可选的关系中");
    }
}

} // namespace

std::vector<ImportProblem> checkImportRows(std::span<const ImportRow> rows, const CalendarDate& asOf)
{
    std::vector<ImportProblem> problems;
    std::unordered_map<std::string_view, int> firstRowOfIdCard;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int sheetRow = int(i) + 2;
        checkRow(rows[i], sheetRow, asOf, problems);
        const std::string& idCard = rows[i][kIdCardColumn];
        if (idCard.empty())
            continue;
        const auto [first, isNew] = firstRowOfIdCard.try_emplace(idCard, sheetRow);
        if (!isNew)
            problems.push_back({sheetRow, "身份证号与第" + std::to_string(first->second) + "行相同"});
    }
    return problems;
}

std::string importProblemNotice(std::span<const ImportProblem> problems)
{
    if (problems.empty())
        return {};
    std::string notice = "读取的数据中有以下问题，请核对：";
    const std::size_t shown = std::min(problems.size(), kNoticeLines);
    for (std::size_t i = 0; i < shown; ++i)
        notice += "\n第" + std::to_string(problems[i].sheetRow) + "行：" + problems[i].message;
    if (problems.size() > shown)
        notice += "\n……另有 " + std::to_string(problems.size() - shown) + " 处问题未列出";
    return notice;
}

} // namespace qr::roster
