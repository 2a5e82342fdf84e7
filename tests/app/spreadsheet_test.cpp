// Spreadsheet export and import through the main window, with our driver behind
// the real driver manager; exported files read back by a third-party reader (xlrd)
// and workbooks to import made by a third-party writer (xlwt).
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "app/messages.h"
#include "app/roster_workbook.h"
#include "app/spreadsheet_sql.h"
#include "app/workbook_exchange.h"
#include "roster/columns.h"
#include "roster/id_card_check.h"
#include "runtime/file_access.h"
#include "runtime/gbk.h"
#include "tests/support/shell_command.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>

namespace qr::app::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using runtime::PressedButton;
using test_support::runShell;
using test_support::shellQuoted;

constexpr int kImportEntry = 5;
constexpr int kExportEntry = 6;
constexpr int kXlrdText = 1;

std::string utf8(std::string_view gbkText) { return runtime::gbkToUtf8(gbkText); }

json dumpWorkbook(const fs::path& file)
{
    int status = -1;
    const std::string out =
        runShell("/usr/bin/python3 " + std::string(QR_SHEET_FILES) + " dump " + shellQuoted(file.string()), status);
    EXPECT_EQ(status, 0) << out;
    return status == 0 ? json::parse(out) : json::object();
}

// Headings and rows as UTF-8 texts; json null leaves a cell empty.
void makeWorkbook(const fs::path& file, const json& sheets)
{
    int status = -1;
    const std::string out = runShell("/usr/bin/python3 " + std::string(QR_SHEET_FILES) + " make " +
                                         shellQuoted(file.string()) + " " + shellQuoted(sheets.dump()),
                                     status);
    ASSERT_EQ(status, 0) << out;
}

json oneSheet(const std::string& nameUtf8, const json& rows)
{
    json sheet = json::object();
    sheet["name"] = nameUtf8;
    sheet["rows"] = rows;
    json book = json::object();
    book["sheets"] = json::array();
    book["sheets"].push_back(sheet);
    return book;
}

json headingsRow()
{
    json row = json::array();
    for (std::string_view h : roster::kHeadings)
        row.push_back(utf8(h));
    return row;
}

// A student row the import check finds nothing wrong with; `number` also makes its
// identity-card number (with the right check character) distinct.
json cleanRow(int number, const std::string& nameUtf8)
{
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", number);
    const std::string first17 = std::string("43010220100315") + digits;
    const std::string idCard = first17 + *roster::idCardCheckCharacter(first17);
    return json::array({number, nameUtf8, utf8("男"), 150, 40, "12", "R" + std::to_string(number), "G" + idCard,
                        utf8("是"), "", "", idCard, utf8("Hollowmere村"), utf8("父亲"), utf8("监护甲"), "13800000000",
                        "", "", ""});
}

std::vector<std::vector<std::string>> listRows()
{
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < rowCount(kMainWindow); ++r) {
        rows.emplace_back();
        for (int c = 0; c < 19; ++c)
            rows.back().push_back(cell(kMainWindow, r, c));
    }
    return rows;
}

class SpreadsheetTest : public AppTest {
protected:
    // Answers Yes to "replace the roster?", picks `file`, and answers the write
    // question with `write`; returns the list as it stood when the read was reported.
    std::vector<std::vector<std::string>> importFile(const fs::path& file, bool write)
    {
        std::vector<std::vector<std::string>> shownWhenRead;
        runtime::setMessageBoxPresenter([&](const runtime::MessageBoxRequest& request) {
            boxes_.push_back({request.text, request.title, request.flags & ~runtime::message_box_flags::kTaskModal});
            if (request.text == text::kSheetRead)
                shownWhenRead = listRows();
            if (request.buttons() != runtime::message_box_flags::kYesNo)
                return PressedButton::Ok;
            if (request.text == text::kAskWriteImport)
                return write ? PressedButton::Yes : PressedButton::No;
            return PressedButton::Yes;
        });
        pickFile(file);
        clickToolbar(kMainWindow, "工具条1", kImportEntry);
        settle();
        return shownWhenRead;
    }

    void exportTo(const fs::path& file)
    {
        pickFile(file);
        clickToolbar(kMainWindow, "工具条1", kExportEntry);
        settle();
    }

    static std::vector<std::string> names(const std::vector<StudentRecord>& students)
    {
        std::vector<std::string> all;
        for (const auto& s : students)
            all.push_back(s.name);
        return all;
    }
};

void expectSheetMatchesList(const json& sheet, const std::vector<std::vector<std::string>>& list)
{
    const json& rows = sheet["rows"];
    ASSERT_EQ(rows.size(), list.size() + 1);
    for (std::size_t c = 0; c < 19; ++c)
        EXPECT_EQ(rows[0][c]["value"], utf8(roster::kHeadings[c]));
    for (std::size_t r = 0; r < list.size(); ++r) {
        ASSERT_EQ(rows[r + 1].size(), 19u);
        for (std::size_t c = 0; c < 19; ++c) {
            EXPECT_EQ(rows[r + 1][c]["type"], kXlrdText) << "row " << r << " column " << c;
            EXPECT_EQ(rows[r + 1][c]["value"], utf8(list[r][c])) << "row " << r << " column " << c;
        }
    }
}

TEST_F(SpreadsheetTest, ExportWritesTheListAsTextsUnderTheHeadings)
{
    StudentRecord quoted = sampleStudent(2, "O'Neil小明");
    quoted.address = "[班长]家 ]] [[";
    seed(rosterPath(), {sampleStudent(1, "张三"), quoted, sampleStudent(3, "李四")});
    enterMainWindow();
    const fs::path file = dir() / u8"班级名单.xls";
    exportTo(file);

    EXPECT_EQ(boxTexts(), std::vector<std::string>{std::string(text::kExported)});
    const json book = dumpWorkbook(file);
    ASSERT_EQ(book["sheets"].size(), 3u);
    EXPECT_EQ(book["sheets"][0]["name"], "Sheet1");
    const auto list = listRows();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1][1], "O'Neil小明");
    expectSheetMatchesList(book["sheets"][0], list);
    EXPECT_EQ(book["sheets"][0]["rows"][1][0]["value"], "1");
    EXPECT_EQ(book["sheets"][0]["rows"][3][0]["value"], "3");
    for (std::size_t c = 0; c < 19; ++c)
        EXPECT_EQ(book["sheets"][0]["widths"][std::to_string(c)], roster::kSheetColumnWidths[c]) << c;
    for (int s : {1, 2}) {
        EXPECT_EQ(book["sheets"][s]["name"], "Sheet" + std::to_string(s + 1));
        EXPECT_TRUE(book["sheets"][s]["rows"].empty());
    }
}

TEST_F(SpreadsheetTest, ExportOntoAnExistingWorkbookReplacesIt)
{
    seed(rosterPath(), {sampleStudent(1, "甲"), sampleStudent(2, "乙"), sampleStudent(3, "丙")});
    enterMainWindow();
    const fs::path file = dir() / "roster.xls";
    exportTo(file);
    clickRow(kMainWindow, 0);
    answer(PressedButton::Yes);
    clickToolbar(kMainWindow, "工具条1", 4); // delete the first student
    settle();
    ASSERT_EQ(rowCount(kMainWindow), 2);
    exportTo(file);
    expectSheetMatchesList(dumpWorkbook(file)["sheets"][0], listRows());
}

TEST_F(SpreadsheetTest, ExportWithNothingToExportOrCancelledWritesNothing)
{
    enterMainWindow();
    forgetBoxes();
    clickToolbar(kMainWindow, "工具条1", kExportEntry);
    settle();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kNothingToExport);
    EXPECT_EQ(boxes()[0].title, "信息：");
    EXPECT_EQ(boxes()[0].flags, 0u);
    EXPECT_EQ(fileDialogsShown(), 0);

    seed(rosterPath(), {sampleStudent(1, "甲")});
    clickToolbar(kMainWindow, "工具条1", 1);
    forgetBoxes();
    cancelFileDialog();
    clickToolbar(kMainWindow, "工具条1", kExportEntry);
    settle();
    EXPECT_EQ(fileDialogsShown(), 1);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SpreadsheetTest, ExportThatCannotWriteTheFileSaysSo)
{
    seed(rosterPath(), {sampleStudent(1, "甲")});
    enterMainWindow();
    const fs::path file = dir() / "no such folder" / "roster.xls";
    exportTo(file);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kExportFailed);
    EXPECT_EQ(boxes()[0].flags, 48u);
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(SpreadsheetTest, AFailedWriteOfTheWorkbookIsNoticed)
{
    // The driver writes the workbook when the rows are committed; take its folder
    // away first, and that write cannot happen.
    const fs::path folder = dir() / "gone";
    fs::create_directory(folder);
    const std::string file = runtime::utf8ToGbk((folder / "roster.xls").string());
    const auto bytes = rosterWorkbookTemplate();
    ASSERT_TRUE(runtime::writeFile(file, runtime::ByteSet(bytes.begin(), bytes.end())));
    sheet::ExternalDatabase sheetDb;
    ASSERT_TRUE(sheetDb.NewOpenDatabase(exportConnectString(file)));
    fs::remove_all(folder);
    SheetRow row;
    row[1] = "甲";
    EXPECT_FALSE(insertRowsAndCommit(sheetDb, {row}));
    sheetDb.CloseDatabase();
}

TEST_F(SpreadsheetTest, ImportReadsNumbersByTheirValueAndHeadingsExactly)
{
    seed(rosterPath(), {sampleStudent(1, "旧生")});
    enterMainWindow();
    json headings = headingsRow();
    headings[13] = utf8("监护人1关系"); // the list's title, not the sheet's
    headings.push_back(utf8("备注"));
    auto student = [](double number, const char* name, json height, json weight) {
        json row = json::array({number, utf8(name), utf8("男"), height, weight, "13"});
        for (int c = 6; c < 19; ++c)
            row.push_back(utf8("值") + std::to_string(c));
        row.push_back("ignored");
        return row;
    };
    json rows =
        json::array({headings, student(3, "甲", 170, 45.5), student(3, "乙", 165, nullptr), student(7, "丙", 180, 50)});
    rows[2][8] = nullptr; // an empty text cell
    const fs::path file = dir() / "import.xls";
    makeWorkbook(file, oneSheet("Sheet1", rows));

    forgetBoxes();
    const auto shown = importFile(file, true);

    // The odd cells (empty relations, words for numbers) are reported before the question.
    ASSERT_EQ(boxes().size(), 6u);
    EXPECT_EQ(boxes()[3].title, "导入检查");
    boxes_.erase(boxes_.begin() + 3);
    EXPECT_EQ(boxes()[0].text, text::kNoPhotoImport);
    EXPECT_EQ(boxes()[0].title, "小小BUG");
    EXPECT_EQ(boxes()[0].flags, 0u);
    EXPECT_EQ(boxes()[1].text, text::kImportReplaces);
    EXPECT_EQ(boxes()[1].title, "警告！");
    EXPECT_EQ(boxes()[1].flags, 4u);
    EXPECT_EQ(boxes()[2].text, text::kSheetRead);
    EXPECT_EQ(boxes()[2].title, "信息：");
    EXPECT_EQ(boxes()[3].text, text::kAskWriteImport);
    EXPECT_EQ(boxes()[3].title, "询问");
    EXPECT_EQ(boxes()[3].flags, 4u);
    EXPECT_EQ(boxes()[4].text, text::kImportWritten);

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0][0], "3");
    EXPECT_EQ(shown[0][3], "170");
    EXPECT_EQ(shown[0][4], "45.5");
    EXPECT_EQ(shown[1][4], "0"); // an empty number cell
    EXPECT_EQ(shown[1][8], "");  // an empty text cell
    EXPECT_EQ(shown[0][13], ""); // 监护人1关系 is not 监护1关系
    EXPECT_EQ(shown[0][14], "值14");

    const auto stored = readAll(rosterPath());
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0].number, 3);
    EXPECT_EQ(stored[1].number, 3);
    EXPECT_EQ(stored[2].number, 7);
    EXPECT_EQ(stored[0].height, 170);
    EXPECT_FLOAT_EQ(stored[0].weight, 45.5f);
    EXPECT_FLOAT_EQ(stored[1].weight, 0);
    for (const auto& s : stored) {
        EXPECT_TRUE(s.photo.empty());
        EXPECT_EQ(s.guardian1Relation, "");
    }
    EXPECT_EQ(names(stored), (std::vector<std::string>{"甲", "乙", "丙"}));
    EXPECT_EQ(listRows(), shown); // Show all after the write
    EXPECT_TRUE(checkClean(rosterPath()));
}

TEST_F(SpreadsheetTest, ImportRoundTripsAnExport)
{
    StudentRecord quoted = sampleStudent(1, "O'Neil");
    quoted.height = 165.5;
    quoted.weight = 45.5f;
    const std::vector<StudentRecord> students = {quoted, sampleStudent(2, "乙"), sampleStudent(3, "丙")};
    seed(rosterPath(), students);
    enterMainWindow();
    const auto before = listRows();
    const fs::path file = dir() / "roster.xls";
    exportTo(file);
    importFile(file, true);
    EXPECT_EQ(listRows(), before);
    const auto stored = readAll(rosterPath());
    ASSERT_EQ(stored.size(), 3u);
    for (std::size_t k = 0; k < stored.size(); ++k) {
        StudentRecord expected = students[k];
        expected.photo.clear(); // photos are not exported
        EXPECT_EQ(stored[k].storeValues(), expected.storeValues()) << k;
    }
}

TEST_F(SpreadsheetTest, ImportAnsweredNoLeavesTheRosterAndShowsItAgain)
{
    const std::vector<StudentRecord> students = {sampleStudent(1, "甲"), sampleStudent(2, "乙")};
    seed(rosterPath(), students);
    enterMainWindow();
    const auto before = listRows();
    const fs::path file = dir() / "other.xls";
    makeWorkbook(file, oneSheet("Sheet1", json::array({headingsRow(), json::array({1, "x"}), json::array({2, "y"}),
                                                       json::array({3, "z"})})));
    const auto shown = importFile(file, false);
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_EQ(names(readAll(rosterPath())), names(students));
    EXPECT_EQ(listRows(), before);
}

TEST_F(SpreadsheetTest, ImportCancelledOrUnreadableChangesNothing)
{
    const std::vector<StudentRecord> students = {sampleStudent(1, "甲"), sampleStudent(2, "乙")};
    seed(rosterPath(), students);
    enterMainWindow();
    const auto before = listRows();

    // Yes to replacing, then the dialog cancelled.
    forgetBoxes();
    answer(PressedButton::Yes);
    cancelFileDialog();
    clickToolbar(kMainWindow, "工具条1", kImportEntry);
    settle();
    EXPECT_EQ(boxTexts(),
              (std::vector<std::string>{std::string(text::kNoPhotoImport), std::string(text::kImportReplaces)}));
    EXPECT_EQ(names(readAll(rosterPath())), names(students));
    EXPECT_EQ(listRows(), before);

    const fs::path junk = dir() / "junk.xls";
    std::ofstream(junk) << "not a workbook at all";
    const fs::path noSheet1 = dir() / "nosheet1.xls";
    makeWorkbook(noSheet1, oneSheet(utf8("名单"), json::array({headingsRow(), json::array({1, "x"})})));
    for (const fs::path& file : {junk, noSheet1, dir() / "missing.xls"}) {
        forgetBoxes();
        importFile(file, true);
        ASSERT_EQ(boxes().size(), 3u) << file;
        EXPECT_EQ(boxes()[2].text, text::kSheetUnreadable) << file;
        EXPECT_EQ(boxes()[2].flags, 48u);
        EXPECT_EQ(names(readAll(rosterPath())), names(students)) << file;
        EXPECT_EQ(listRows(), before) << file;
    }
}

std::vector<std::uint8_t> fileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(SpreadsheetTest, TheImportBacksUpBothStoresBeforeItWritesTheRoster)
{
    seed(rosterPath(), {sampleStudent(1, "甲"), sampleStudent(2, "乙")});
    seed(recyclePath(), {sampleStudent(1, "删")});
    enterMainWindow();
    const char* storeFiles[] = {"xsdate.edb", "xsdate.EDT", "deldate.edb", "deldate.EDT"};
    std::vector<std::vector<std::uint8_t>> before;
    for (const char* name : storeFiles)
        before.push_back(fileBytes(dir() / name));
    const fs::path file = dir() / "new.xls";
    makeWorkbook(file, oneSheet("Sheet1", json::array({headingsRow(), cleanRow(1, "x")})));

    // Answered No: nothing is written, so nothing is backed up.
    importFile(file, false);
    EXPECT_FALSE(fs::exists(dir() / "backups"));

    forgetBoxes();
    importFile(file, true);
    EXPECT_EQ(boxTexts(),
              (std::vector<std::string>{std::string(text::kNoPhotoImport), std::string(text::kImportReplaces),
                                        std::string(text::kSheetRead), std::string(text::kAskWriteImport),
                                        std::string(text::kImportWritten)}));
    EXPECT_EQ(names(readAll(rosterPath())), std::vector<std::string>{"x"});
    std::vector<fs::path> made;
    for (const auto& entry : fs::directory_iterator(dir() / "backups"))
        made.push_back(entry.path());
    ASSERT_EQ(made.size(), 1u);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(fileBytes(made[0] / storeFiles[k]), before[k]) << storeFiles[k];
}

TEST_F(SpreadsheetTest, AnImportWhoseBackupFailsLeavesTheRoster)
{
    const std::vector<StudentRecord> students = {sampleStudent(1, "甲"), sampleStudent(2, "乙")};
    seed(rosterPath(), students);
    enterMainWindow();
    const auto before = listRows();
    std::ofstream(dir() / "backups") << "a file, not a folder";
    const fs::path file = dir() / "new.xls";
    makeWorkbook(file, oneSheet("Sheet1", json::array({headingsRow(), cleanRow(1, "x")})));
    forgetBoxes();
    importFile(file, true);
    ASSERT_EQ(boxes().size(), 5u);
    EXPECT_EQ(boxes()[4].text, text::kBackupFailed);
    EXPECT_EQ(boxes()[4].flags, 48u);
    EXPECT_EQ(names(readAll(rosterPath())), names(students));
    EXPECT_EQ(listRows(), before);
}

TEST_F(SpreadsheetTest, TheImportCheckListsProblemsByRowBeforeTheQuestion)
{
    enterMainWindow();
    json rows = json::array({headingsRow(), cleanRow(1, utf8("甲")), cleanRow(2, utf8("乙")), cleanRow(1, utf8("丙"))});
    rows[2][2] = "M";
    rows[2][16] = utf8("叔叔");
    // A long number typed into a number cell comes back with other last digits, or in
    // exponent form when the cell is read as a float.
    rows[3][11] = 110105194912310020.0;
    rows[3][7] = "1.101051949123e+17";
    for (int k = 0; k < 20; ++k) {
        json row = cleanRow(10 + k, "");
        row[14] = nullptr;
        rows.push_back(row);
    }
    const fs::path file = dir() / "checked.xls";
    makeWorkbook(file, oneSheet("Sheet1", rows));

    forgetBoxes();
    importFile(file, true);
    ASSERT_EQ(boxes().size(), 6u);
    EXPECT_EQ(boxes()[2].text, text::kSheetRead);
    const ShownBox& notice = boxes()[3];
    EXPECT_EQ(notice.title, "导入检查");
    EXPECT_EQ(notice.flags, 48u);
    EXPECT_EQ(boxes()[4].text, text::kAskWriteImport);
    EXPECT_EQ(boxes()[5].text, text::kImportWritten);

    const std::string expectedStart = "读取的数据中有以下问题，请核对："
                                      "\n第3行：性别“M”应为男或女"
                                      "\n第3行：监护2关系“叔叔”不在可选的关系中"
                                      "\n第4行：全国学号“1.101051949123e+17”来自数字单元格，后几位已丢失"
                                      "\n第4行：身份证号“110105194912310016”校验位应为 1"
                                      "\n第5行：姓名、监护1姓名 为空";
    EXPECT_EQ(notice.text.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(std::count(notice.text.begin(), notice.text.end(), '\n'), 21);
    // 4 problems above and 20 rows without names: 24, of which 20 are listed.
    const std::string expectedEnd = "\n第20行：姓名、监护1姓名 为空\n……另有 4 处问题未列出";
    EXPECT_EQ(notice.text.substr(notice.text.size() - expectedEnd.size()), expectedEnd);

    // The teacher's Yes writes the rows as they were read.
    const auto stored = readAll(rosterPath());
    ASSERT_EQ(stored.size(), 23u);
    EXPECT_EQ(stored[1].sex, "M");
    EXPECT_EQ(stored[2].nationalNumber, "1.101051949123e+17");
}

TEST_F(SpreadsheetTest, ARepeatedIdCardIsReportedAtEveryLaterRow)
{
    seed(rosterPath(), {sampleStudent(1, "旧生")});
    enterMainWindow();
    const fs::path file = dir() / "twice.xls";
    makeWorkbook(file, oneSheet("Sheet1", json::array({headingsRow(), cleanRow(1, utf8("甲")), cleanRow(2, utf8("乙")),
                                                       cleanRow(1, utf8("丙")), cleanRow(1, utf8("丁"))})));
    forgetBoxes();
    importFile(file, false);
    ASSERT_EQ(boxes().size(), 5u);
    EXPECT_EQ(boxes()[3].text,
              "读取的数据中有以下问题，请核对：\n第4行：身份证号与第2行相同\n第5行：身份证号与第2行相同");
    EXPECT_EQ(boxes()[4].text, text::kAskWriteImport);
    EXPECT_EQ(names(readAll(rosterPath())), std::vector<std::string>{"旧生"});
}

} // namespace
} // namespace qr::app::test

namespace qr::app::test {
namespace {

TEST(SpreadsheetTexts, ConnectStringsAndInsertAreTheDriverDialect)
{
    EXPECT_EQ(exportConnectString("/home/老师/名单.xls"),
              "ODBC;DBQ=/home/老师/名单.xls;DefaultDir=/home/老师/;Driver={Microsoft Excel Driver (*.xls)};"
              "DriverId=790;FIL=excel 8.0;MaxBufferSize=2048;MaxScanRows=8;PageTimeout=5;ReadOnly=0;"
              "SafeTransactions=0;Threads=3;UID=admin;UserCommitSync=Yes;");
    // Without a folder the directory piece is empty.
    EXPECT_EQ(exportConnectString("名单.xls").substr(0, 53), "ODBC;DBQ=名单.xls;DefaultDir=;Driver={Microsoft Excel");
    EXPECT_EQ(importConnectString("/tmp/a.xls"), "ODBC;DBQ=/tmp/a.xls;Driver={Microsoft Excel Driver (*.xls)}; ");

    SheetRow row;
    row[0] = "1";
    row[1] = "O'Neil";
    row[18] = "[x]";
    EXPECT_EQ(insertStatement(row),
              "INSERT INTO [sheet1$] ([序号],[姓名],[性别],[身高],[体重],[年龄],[学籍辅号],[全国学号],[是否住宿],"
              "[宿舍号],[床位号],[身份证号],[家庭住址],[监护1关系],[监护1姓名],[监护1电话],[监护2关系],[监护2姓名],"
              "[监护2电话]) VALUES ('1','O''Neil','','','','','','','','','','','','','','','','','[x]')");
}

} // namespace
} // namespace qr::app::test
