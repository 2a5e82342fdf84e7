// The check of imported rows and the notice that lists what it found.
#include "roster/import_check.h"

#include <gtest/gtest.h>

#include <vector>

namespace qr::roster {
namespace {

constexpr CalendarDate kAsOf{2026, 12, 9};

// A row the check finds nothing wrong with.
ImportRow goodRow(std::string idCard)
{
    return {"1",
            "小苹果",
            "女",
            "150",
            "40",
            "12",
            "12345678900",
            "G" + idCard,
            "是",
            "1#201",
            "8",
            idCard,
            "Hollowmere村二组188号",
            "父亲",
            "小桔子",
            "13800000000",
            "",
            "",
            ""};
}

std::vector<std::string> lines(const std::vector<ImportProblem>& problems)
{
    std::vector<std::string> out;
    for (const ImportProblem& p : problems)
        out.push_back("第" + std::to_string(p.sheetRow) + "行：" + p.message);
    return out;
}

TEST(ImportCheck, RowsWithoutProblemsGiveNothingToSay)
{
    std::vector<ImportRow> rows = {goodRow("11010519491231002X"), goodRow("430102201003150020")};
    rows[1][16] = "母亲"; // the second guardian is optional, and may be given
    rows[1][2] = "男";
    EXPECT_TRUE(checkImportRows(rows, kAsOf).empty());
    EXPECT_TRUE(checkImportRows({}, kAsOf).empty());
    EXPECT_EQ(importProblemNotice({}), "");
}

TEST(ImportCheck, EmptyRequiredFieldsAreNamedByTheirHeadingsInFormOrder)
{
    std::vector<ImportRow> rows = {goodRow("11010519491231002X")};
    ImportRow& r = rows[0];
    r[15] = r[1] = r[7] = r[8] = "";
    r[9] = r[10] = r[18] = ""; // optional: 宿舍号, 床位号, 监护2电话
    r[0] = "";                 // 序号 is numbered by the import
    EXPECT_EQ(lines(checkImportRows(rows, kAsOf)),
              std::vector<std::string>{"第2行：姓名、是否住宿、全国学号、监护1电话 为空"});
    // A blank is content, as in the forms.
    r = goodRow("11010519491231002X");
    r[1] = " ";
    EXPECT_TRUE(checkImportRows(rows, kAsOf).empty());
}

TEST(ImportCheck, WordsOutsideTheFormsListsAreReported)
{
    std::vector<ImportRow> rows = {goodRow("11010519491231002X")};
    rows[0][2] = "男 ";
    rows[0][13] = "外祖父";
    rows[0][16] = "叔叔";
    EXPECT_EQ(lines(checkImportRows(rows, kAsOf)), (std::vector<std::string>{
                                                       "第2行：性别“男 ”应为男或女",
                                                       "第2行：监护1关系“外祖父”不在可选的关系中",
                                                       "第2行：监护2关系“叔叔”不在可选的关系中",
                                                   }));
}

TEST(ImportCheck, NumbersFromNumberCellsAndFailedIdCardsAreReported)
{
    std::vector<ImportRow> rows = {goodRow("11010519491231002X"), goodRow("110105194912310021")};
    rows[0][11] = "1.101051949123e+17";
    rows[0][7] = "1.101051949123e+17";
    EXPECT_EQ(lines(checkImportRows(rows, kAsOf)),
              (std::vector<std::string>{
                  "第2行：全国学号“1.101051949123e+17”来自数字单元格，后几位已丢失",
                  "第2行：身份证号“1.101051949123e+17”来自数字单元格，后几位已丢失",
                  "第3行：身份证号“110105194912310021”校验位应为 X",
              }));
}

TEST(ImportCheck, ARepeatedIdCardPointsEveryLaterRowAtTheFirst)
{
    std::vector<ImportRow> rows = {goodRow("11010519491231002X"), goodRow("430102201003150020"),
                                   goodRow("11010519491231002X"), goodRow("11010519491231002X")};
    rows[2][1] = "";
    // Empty numbers are reported as empty, not as one number repeated.
    rows.push_back(goodRow(""));
    rows.push_back(goodRow(""));
    EXPECT_EQ(lines(checkImportRows(rows, kAsOf)), (std::vector<std::string>{
                                                       "第4行：姓名 为空",
                                                       "第4行：身份证号与第2行相同",
                                                       "第5行：身份证号与第2行相同",
                                                       "第6行：身份证号 为空",
                                                       "第7行：身份证号 为空",
                                                   }));
    // Equal means byte for byte, as the add form compares.
    rows = {goodRow("11010519491231002X"), goodRow("11010519491231002X")};
    rows[1][11] += " ";
    const auto problems = lines(checkImportRows(rows, kAsOf));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "第3行：身份证号“11010519491231002X ”应为18位（现为19个字符）");
}

TEST(ImportCheck, TheNoticeListsTwentyLinesThenHowManyMore)
{
    std::vector<ImportProblem> problems;
    for (int row = 2; row < 2 + 20; ++row)
        problems.push_back({row, "姓名 为空"});
    std::string notice = importProblemNotice(problems);
    EXPECT_EQ(notice.rfind("\n第21行：姓名 为空"), notice.size() - std::string("\n第21行：姓名 为空").size());
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 20);
    EXPECT_EQ(notice.find("另有"), std::string::npos);

    problems.push_back({22, "姓名 为空"});
    problems.push_back({23, "姓名 为空"});
    notice = importProblemNotice(problems);
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 21);
    EXPECT_EQ(notice.find("第22行"), std::string::npos);
    EXPECT_NE(notice.find("\n第2行：姓名 为空\n"), std::string::npos);
    const std::string last = "\n……另有 2 处问题未列出";
    EXPECT_EQ(notice.substr(notice.size() - last.size()), last);
}

} // namespace
} // namespace qr::roster
