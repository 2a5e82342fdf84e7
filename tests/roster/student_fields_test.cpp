// The field table the stores are created from, and the columns the lists and the
// workbook show.
#include "roster/columns.h"
#include "roster/student_fields.h"
#include "store/names.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace qr::roster {
namespace {

using store::FieldType;

TEST(StudentFields, EveryNameIsAStoreFieldNameAndUnique)
{
    std::set<std::string_view> names;
    for (const FieldDescription& f : kFields) {
        EXPECT_TRUE(store::isValidFieldName(f.nameGbk)) << f.nameGbk;
        EXPECT_TRUE(names.insert(f.nameGbk).second) << f.nameGbk;
    }
}

TEST(StudentFields, NumbersNameTheirFieldsInStoreOrder)
{
    EXPECT_EQ(field::indexOf(field::kNumber), 0u);
    EXPECT_EQ(field::indexOf(field::kGuardian2Phone), std::size_t(field::kCount - 1));
    EXPECT_EQ(describe(field::kNumber).nameGbk, "序号");
    EXPECT_EQ(describe(field::kHeight).nameGbk, "身高");
    EXPECT_EQ(describe(field::kPhoto).nameGbk, "照片");
    EXPECT_EQ(describe(field::kIdCard).nameGbk, "身份证号");
    EXPECT_EQ(describe(field::kGuardian1Relation).nameGbk, "监护1关系");
    EXPECT_EQ(describe(field::kGuardian2Phone).nameGbk, "监护2电话");
}

// The readers and writers of a record rely on these kinds: 序号 an integer, 身高 a
// double (165.5 survives every move), 体重 a float, the photo a byte set.
TEST(StudentFields, KindsAndWidthsFitWhatTheFieldsHold)
{
    EXPECT_EQ(describe(field::kNumber).type, FieldType::Integer);
    EXPECT_EQ(describe(field::kHeight).type, FieldType::Double);
    EXPECT_EQ(describe(field::kWeight).type, FieldType::Float);
    EXPECT_EQ(describe(field::kPhoto).type, FieldType::ByteSet);
    for (int n = 1; n <= field::kCount; ++n) {
        const FieldDescription& f = describe(n);
        SCOPED_TRACE(n);
        if (f.type == FieldType::Text)
            EXPECT_GE(f.width, 16); // room beyond what the forms' lists store
        else
            EXPECT_EQ(f.width, 0);
    }
    EXPECT_EQ(describe(field::kIdCard).width, 32);   // beyond the 18 the add form allows
    EXPECT_EQ(describe(field::kAddress).width, 510); // a whole legacy workbook cell
}

TEST(Columns, EveryFieldButThePhotoOnceInFieldOrder)
{
    int previous = 0;
    for (std::size_t k = 0; k < kColumnCount; ++k) {
        const int f = columnField(k);
        EXPECT_NE(f, int(field::kPhoto));
        EXPECT_GT(f, previous);
        previous = f;
    }
    EXPECT_EQ(columnField(0), int(field::kNumber));
    EXPECT_EQ(columnField(7), int(field::kNationalNumber));
    EXPECT_EQ(columnField(8), int(field::kBoarding));
    EXPECT_EQ(columnField(kColumnCount - 1), int(field::kGuardian2Phone));
    EXPECT_EQ(kColumnCount + 1, std::size_t(field::kCount));
}

TEST(Columns, HeadingsAreTheFieldNamesAndTheListTitlesDifferOnlyForTheGuardians)
{
    EXPECT_EQ(kHeadings[7], "全国学号");
    EXPECT_EQ(kHeadings[8], "是否住宿");
    EXPECT_EQ(kHeadings[13], "监护1关系");
    for (std::size_t k = 0; k < kColumnCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(kHeadings[k], describe(columnField(k)).nameGbk);
        if (k < 13)
            EXPECT_EQ(kListTitles[k], kHeadings[k]);
        else
            EXPECT_NE(kListTitles[k], kHeadings[k]);
    }
    EXPECT_EQ(kListTitles[13], "监护人1关系");
    EXPECT_EQ(kListTitles[18], "监护人2电话");
}

} // namespace
} // namespace qr::roster
