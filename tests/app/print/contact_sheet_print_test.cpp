// The photo contact sheet on paper: twelve cards a page, each with its photo (or an
// empty frame) and its five texts.
#include "app/print/contact_sheet_print.h"
#include "app/print/page_frame.h"
#include "tests/app/print/pdf_reading.h"
#include "tests/app/print/sample_pages.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <QPdfWriter>

namespace qr::test {
namespace {

print::StudentCard card(int k)
{
    const print::ListRow row = listRow(k);
    print::StudentCard card{row[1], row[2], row[11], row[14], row[15], {}};
    // Every third student has a photo, in turn a PNG and a BMP file; the tenth
    // brings bytes that are no picture and so gets the empty frame.
    if (k % 3 == 0)
        card.photo = pictureFile(k % 2 ? "PNG" : "BMP", QColor::fromHsv(k * 6 % 360, 200, 200));
    if (k == 10)
        card.photo = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
    return card;
}

class ContactSheetPrintTest : public ::testing::Test {
protected:
    PdfFacts printed(const print::ContactSheet& sheet, int* pages)
    {
        const QString file = QString::fromStdString(dir_.file("cards.pdf"));
        {
            QPdfWriter writer(file);
            writer.setPageLayout(print::contactSheetPageLayout());
            *pages = print::printContactSheet(writer, sheet);
        }
        return readPdf(file);
    }

    test_support::TempDir dir_;
};

TEST_F(ContactSheetPrintTest, TwelveCardsAPageWithPhotosAndTexts)
{
    constexpr int kStudents = 60;
    print::ContactSheet sheet{sampleHeading(), {}, printedFace()};
    int photos = 0;
    for (int k = 1; k <= kStudents; ++k) {
        sheet.cards.push_back(card(k));
        photos += k % 3 == 0 ? 1 : 0;
    }
    int pages = 0;
    const PdfFacts pdf = printed(sheet, &pages);

    const int expectedPages = (kStudents + print::kCardsPerPage - 1) / print::kCardsPerPage;
    EXPECT_EQ(pages, expectedPages);
    ASSERT_EQ(pdf.pages, expectedPages);
    ASSERT_EQ(pdf.pageTexts.size(), expectedPages);
    EXPECT_LT(pdf.widthPoints, pdf.heightPoints) << "portrait";
    EXPECT_EQ(pdf.images, photos);

    for (int p = 0; p < pdf.pages; ++p) {
        SCOPED_TRACE(p + 1);
        const QString& page = pdf.pageTexts[p];
        EXPECT_TRUE(page.contains(qs("Tarnfield初中2017级1班")));
        EXPECT_EQ(occurrences(page, print::pageNumberText(p + 1, pdf.pages)), 1);
        const int first = p * print::kCardsPerPage + 1;
        const int last = std::min(kStudents, first + print::kCardsPerPage - 1);
        EXPECT_EQ(occurrences(page, qs("身份证号")), last - first + 1) << "one card per student";
        for (int k = first; k <= last; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(occurrences(page, studentName(k)), 1);
            EXPECT_EQ(occurrences(page, QString::fromStdString(idCard(k))), 1);
            EXPECT_TRUE(page.contains(qs("家长" + std::to_string(k))));
            EXPECT_TRUE(page.contains(qs("1881234" + std::to_string(k))));
        }
    }
    for (const auto& font : pdf.fonts)
        EXPECT_TRUE(font.embedded) << font.name.toStdString();
}

TEST_F(ContactSheetPrintTest, ALongNameIsCutToItsCardAndAnEmptyClassIsOnePage)
{
    print::ContactSheet sheet{sampleHeading(), {card(1), card(2)}, printedFace()};
    sheet.cards[0].name = gbk(QString::fromUtf8(u8"阿卜杜热合曼·买买提依明·艾力").repeated(3) + QStringLiteral("END"));
    int pages = 0;
    PdfFacts pdf = printed(sheet, &pages);
    ASSERT_EQ(pdf.pages, 1);
    EXPECT_FALSE(pdf.pageTexts[0].contains(QStringLiteral("END")));
    EXPECT_TRUE(pdf.pageTexts[0].contains(QString::fromUtf8(u8"阿卜杜")));
    EXPECT_TRUE(pdf.pageTexts[0].contains(studentName(2)));

    pdf = printed(print::ContactSheet{sampleHeading(), {}, printedFace()}, &pages);
    EXPECT_EQ(pages, 1);
    ASSERT_EQ(pdf.pages, 1);
    EXPECT_TRUE(pdf.pageTexts[0].contains(print::pageNumberText(1, 1)));
}

} // namespace
} // namespace qr::test
