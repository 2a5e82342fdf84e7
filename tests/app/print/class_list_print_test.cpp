// The class list on paper: rendered to PDF through the code a printer gets, then
// read back as text.
#include "app/print/class_list_print.h"
#include "app/print/page_frame.h"
#include "tests/app/print/pdf_reading.h"
#include "tests/app/print/sample_pages.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <QPdfWriter>

namespace qr::test {
namespace {

class ClassListPrintTest : public ::testing::Test {
protected:
    print::ClassList classOf(int students)
    {
        print::ClassList list{sampleHeading(), {}, printedFace()};
        for (int k = 1; k <= students; ++k)
            list.rows.push_back(listRow(k));
        return list;
    }

    // Prints to a PDF file; `pages` gets what the layout said beforehand.
    PdfFacts printed(const print::ClassList& list, int* printedPages = nullptr, std::size_t* laidOut = nullptr)
    {
        const QString file = QString::fromStdString(dir_.file("list.pdf"));
        {
            QPdfWriter writer(file);
            writer.setPageLayout(print::classListPageLayout());
            if (laidOut != nullptr)
                *laidOut = print::classListPages(writer, list).size();
            const int pages = print::printClassList(writer, list);
            if (printedPages != nullptr)
                *printedPages = pages;
        }
        return readPdf(file);
    }

    test_support::TempDir dir_;
};

TEST_F(ClassListPrintTest, SixtyStudentsOnLandscapePagesEachOnceInListOrderUnderTheHeadingRow)
{
    const print::ClassList list = classOf(60);
    int pages = 0;
    std::size_t laidOut = 0;
    const PdfFacts pdf = printed(list, &pages, &laidOut);

    ASSERT_GT(pdf.pages, 1) << "sixty rows take more than one page";
    EXPECT_EQ(pdf.pages, pages);
    EXPECT_EQ(std::size_t(pdf.pages), laidOut);
    ASSERT_EQ(pdf.pageTexts.size(), pdf.pages);
    EXPECT_GT(pdf.widthPoints, pdf.heightPoints) << "landscape";
    EXPECT_NEAR(pdf.widthPoints, 841.9, 1);

    const QString whole = pdf.pageTexts.join(QChar(u'\f'));
    for (int p = 0; p < pdf.pages; ++p) {
        const QString& page = pdf.pageTexts[p];
        SCOPED_TRACE(p + 1);
        EXPECT_EQ(occurrences(page, print::pageNumberText(p + 1, pdf.pages)), 1);
        EXPECT_TRUE(page.contains(qs("Tarnfield初中2017级1班")));
        EXPECT_TRUE(page.contains(QString::fromUtf8(u8"2026年12月9日")));
        for (const char* heading : {"序号", "性别", "身份证号", "家庭住址", "全国学号", "监护人2电话"})
            EXPECT_EQ(occurrences(page, qs(heading)), 1) << heading;
    }
    qsizetype previous = -1;
    for (int k = 1; k <= 60; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(occurrences(whole, studentName(k)), 1);
        EXPECT_EQ(occurrences(whole, QString::fromStdString(idCard(k))), 1);
        const qsizetype at = whole.indexOf(studentName(k));
        EXPECT_GT(at, previous) << "rows in list order";
        previous = at;
    }

    // The text is real text in an embedded font, not pictures of it.
    ASSERT_FALSE(pdf.fonts.empty());
    for (const auto& font : pdf.fonts)
        EXPECT_TRUE(font.embedded) << font.name.toStdString();
}

TEST_F(ClassListPrintTest, LongTextsStayInTheirColumnAndAreCutAfterThreeLines)
{
    print::ClassList list = classOf(3);
    const QString longAddress = QString::fromUtf8(u8"很长的地址").repeated(40) + QStringLiteral("END");
    list.rows[1][12] = gbk(longAddress);
    list.rows[1][1] = gbk(QString::fromUtf8(u8"阿卜杜热合曼·买买提依明·艾力"));
    const PdfFacts pdf = printed(list);
    ASSERT_EQ(pdf.pages, 1);
    const QString& page = pdf.pageTexts[0];

    // The address is cut with an ellipsis; the columns beside it are whole.
    EXPECT_FALSE(page.contains(QStringLiteral("END")));
    EXPECT_TRUE(page.contains(QChar(0x2026)));
    EXPECT_GE(occurrences(page, QString::fromUtf8(u8"很长的地址")), 3);
    EXPECT_LT(occurrences(page, QString::fromUtf8(u8"很长的地址")), 40);
    EXPECT_TRUE(page.contains(QString::fromStdString(idCard(2))));
    EXPECT_TRUE(page.contains(qs("家长2")));
    // The long name wraps within its column: its line holds none of the next column.
    const QStringList lines = page.split(u'\n');
    for (const QString& line : lines) {
        if (line.contains(QString::fromUtf8(u8"阿卜"))) {
            EXPECT_FALSE(line.contains(QString::fromUtf8(u8"阿卜杜热合曼·买买提依明·艾力"))) << "wrapped";
        }
    }
    EXPECT_TRUE(page.contains(studentName(3)));
}

TEST_F(ClassListPrintTest, AnEmptyClassPrintsOnePageWithItsHeadingRow)
{
    int pages = 0;
    const PdfFacts pdf = printed(classOf(0), &pages);
    EXPECT_EQ(pages, 1);
    ASSERT_EQ(pdf.pages, 1);
    EXPECT_TRUE(pdf.pageTexts[0].contains(qs("监护人2电话")));
    EXPECT_TRUE(pdf.pageTexts[0].contains(print::pageNumberText(1, 1)));
}

TEST_F(ClassListPrintTest, TallerRowsMakeMorePages)
{
    print::ClassList plain = classOf(60);
    print::ClassList wrapped = plain;
    for (auto& row : wrapped.rows)
        row[12] = gbk(QString::fromUtf8(u8"湖南省长沙市芙蓉区五一大道某某小区三栋二单元十八楼一八零二室"));
    std::size_t plainPages = 0, wrappedPages = 0;
    printed(plain, nullptr, &plainPages);
    const PdfFacts pdf = printed(wrapped, nullptr, &wrappedPages);
    EXPECT_GT(wrappedPages, plainPages);
    EXPECT_EQ(std::size_t(pdf.pages), wrappedPages);
    const QString whole = pdf.pageTexts.join(QChar(u'\f'));
    for (int k = 1; k <= 60; ++k)
        EXPECT_EQ(occurrences(whole, studentName(k)), 1) << k;
}

} // namespace
} // namespace qr::test
