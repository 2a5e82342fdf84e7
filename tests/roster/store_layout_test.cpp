// The layout check the store tool applies before it reads or writes student
// records, on store descriptions made by hand. Refusals are UTF-8; the expected
// texts are written GBK (as every literal here) and converted.
#include "roster/store_layout.h"
#include "roster/student_fields.h"
#include "runtime/gbk.h"

#include <gtest/gtest.h>

namespace qr::roster {
namespace {

using store::FieldType;

store::StoreInfo infoOf(const std::vector<store::FieldSpec>& specs)
{
    store::StoreInfo info;
    for (const store::FieldSpec& s : specs)
        info.fields.push_back({s.name, s.type, 0, s.size});
    return info;
}

store::StoreInfo rosterInfo() { return infoOf(rosterFieldSpecs()); }

std::string refusal(const store::StoreInfo& info)
{
    std::string why;
    EXPECT_FALSE(isRosterLayout(info, why));
    return why;
}

TEST(RosterLayout, NewStoresAreMadeWithTheTwentyFields)
{
    const std::vector<store::FieldSpec> specs = rosterFieldSpecs();
    ASSERT_EQ(specs.size(), kFields.size());
    for (std::size_t i = 0; i < specs.size(); ++i) {
        EXPECT_EQ(specs[i].name, kFields[i].nameGbk);
        EXPECT_EQ(specs[i].type, kFields[i].type);
        EXPECT_EQ(specs[i].size, kFields[i].width);
    }
    std::string why = "untouched";
    EXPECT_TRUE(isRosterLayout(rosterInfo(), why));
    EXPECT_EQ(why, "untouched");
}

TEST(RosterLayout, AcceptsMemoForTextAndAnyNumberKindForNumbers)
{
    store::StoreInfo info = rosterInfo();
    info.fields[field::indexOf(field::kAddress)].type = FieldType::Memo;
    info.fields[field::indexOf(field::kNumber)].type = FieldType::Double;
    info.fields[field::indexOf(field::kHeight)].type = FieldType::Byte;
    info.fields[field::indexOf(field::kWeight)].type = FieldType::Long;
    std::string why;
    EXPECT_TRUE(isRosterLayout(info, why)) << why;
}

TEST(RosterLayout, RefusesAnotherFieldCount)
{
    store::StoreInfo info = rosterInfo();
    info.fields.pop_back();
    EXPECT_EQ(refusal(info), "the store has 19 fields, a roster has 20");
    EXPECT_EQ(refusal(store::StoreInfo{}), "the store has 0 fields, a roster has 20");
}

TEST(RosterLayout, RefusesAFieldOfAnotherNameNamingBoth)
{
    store::StoreInfo info = rosterInfo();
    info.fields[field::indexOf(field::kGuardian1Relation)].name = "监护人1关系";
    EXPECT_EQ(refusal(info), runtime::gbkToUtf8("field 15 (监护人1关系) should be 监护1关系"));
    // Two fields swapped: the first one out of place is named.
    info = rosterInfo();
    std::swap(info.fields[1], info.fields[2]);
    EXPECT_EQ(refusal(info), runtime::gbkToUtf8("field 2 (性别) should be 姓名"));
}

TEST(RosterLayout, RefusesKindsThatCannotHoldTheValues)
{
    const struct {
        int field;
        FieldType type;
        const char* whyGbk;
    } cases[] = {
        {field::kPhoto, FieldType::Text, "field 9 (照片) has a type (10) that cannot hold its values"},
        {field::kName, FieldType::ByteSet, "field 2 (姓名) has a type (11) that cannot hold its values"},
        {field::kNumber, FieldType::Text, "field 1 (序号) has a type (10) that cannot hold its values"},
        {field::kHeight, FieldType::Logical, "field 4 (身高) has a type (7) that cannot hold its values"},
        {field::kAge, FieldType::Integer, "field 6 (年龄) has a type (3) that cannot hold its values"},
    };
    for (const auto& c : cases) {
        store::StoreInfo info = rosterInfo();
        info.fields[field::indexOf(c.field)].type = c.type;
        EXPECT_EQ(refusal(info), runtime::gbkToUtf8(c.whyGbk));
    }
}

} // namespace
} // namespace qr::roster
