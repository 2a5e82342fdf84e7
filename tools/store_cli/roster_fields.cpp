#include "tools/store_cli/roster_fields.h"

#include "runtime/gbk.h"

namespace qr::tools {

using store::FieldType;

// Text widths in GBK bytes. The store cuts a longer text without a word, so each
// width covers what reaches the field: the add form limits 年龄 and 学籍辅号 to 12
// bytes and 身份证号 to 18, but the modify form and a spreadsheet import limit
// nothing, so every field gets room beyond the form's limit. A spreadsheet cell of a
// legacy workbook read through the driver carries at most 255 characters; that bound
// (510 GBK bytes) is kept for the one free-text field, 家庭住址, whose usual content
// is under 60 Chinese characters. Names get 64 bytes (32 Chinese
// characters: long minority names with separator dots fit), numbers and codes 32
// (an 18-character identity number, "G" plus 18 for the national number, telephone
// numbers with extension), and the picked words (性别, 是否住宿, the relations) 16,
// four times what the forms' lists store, for the words a sheet may bring ("外祖父母").
// A record takes about 1 KB, so a class of 60 costs about 63 KB of data file.
const std::array<RosterField, kRosterFieldCount>& rosterFields()
{
    static const std::array<RosterField, kRosterFieldCount> fields = {{
        {"序号", FieldType::Integer, 0},
        {"姓名", FieldType::Text, 64},
        {"性别", FieldType::Text, 16},
        {"身高", FieldType::Double, 0},
        {"体重", FieldType::Float, 0},
        {"年龄", FieldType::Text, 32},
        {"学籍辅号", FieldType::Text, 32},
        {"全国学号", FieldType::Text, 32},
        {"照片", FieldType::ByteSet, 0},
        {"是否住宿", FieldType::Text, 16},
        {"宿舍号", FieldType::Text, 32},
        {"床位号", FieldType::Text, 32},
        {"身份证号", FieldType::Text, 32},
        {"家庭住址", FieldType::Text, 510},
        {"监护1关系", FieldType::Text, 16},
        {"监护1姓名", FieldType::Text, 64},
        {"监护1电话", FieldType::Text, 32},
        {"监护2关系", FieldType::Text, 16},
        {"监护2姓名", FieldType::Text, 64},
        {"监护2电话", FieldType::Text, 32},
    }};
    return fields;
}

std::size_t headingField(std::size_t heading) { return heading < kPhotoField ? heading : heading + 1; }

bool isRosterLayout(const store::StoreInfo& info, std::string& why)
{
    if (info.fields.size() != kRosterFieldCount) {
        why = "the store has " + std::to_string(info.fields.size()) + " fields, a roster has 20";
        return false;
    }
    for (std::size_t i = 0; i < kRosterFieldCount; ++i) {
        const RosterField& want = rosterFields()[i];
        const store::FieldInfo& have = info.fields[i];
        const std::string label = "field " + std::to_string(i + 1) + " (" + runtime::gbkToUtf8(have.name) + ")";
        if (have.name != want.nameGbk) {
            why = label + " should be " + runtime::gbkToUtf8(want.nameGbk);
            return false;
        }
        const auto code = static_cast<std::uint32_t>(have.type);
        bool fits = false;
        if (want.type == FieldType::ByteSet)
            fits = have.type == FieldType::ByteSet;
        else if (want.type == FieldType::Text)
            fits = have.type == FieldType::Text || have.type == FieldType::Memo;
        else
            fits = code >= 1 && code <= 6;
        if (!fits) {
            why = label + " has a type (" + std::to_string(code) + ") that cannot hold its values";
            return false;
        }
    }
    return true;
}

} // namespace qr::tools
