#include "app/roster_print.h"

#include "app/roster_store.h"
#include "app/student_list.h"
#include "app/student_record.h"
#include "forms/registry/fonts.h"

namespace qr::app {

namespace {

// The card's texts are list columns: 姓名, 性别, 身份证号, 监护1姓名, 监护1电话.
constexpr std::size_t kNameColumn = 1, kSexColumn = 2, kIdCardColumn = 11, kGuardianNameColumn = 14,
                      kGuardianPhoneColumn = 15;
static_assert(roster::columnField(kNameColumn) == field::kName && roster::columnField(kSexColumn) == field::kSex &&
              roster::columnField(kIdCardColumn) == field::kIdCard &&
              roster::columnField(kGuardianNameColumn) == field::kGuardian1Name &&
              roster::columnField(kGuardianPhoneColumn) == field::kGuardian1Phone);

} // namespace

QFont printFont() { return QFont(forms::familyForFace("宋体")); }

std::optional<print::ClassList> classListFromStore(std::string_view path, const print::PageHeading& heading)
{
    print::ClassList list{heading, {}, printFont()};
    const auto count = visitRecords(path, [&](RosterStore& source) { list.rows.push_back(listedTexts(source)); });
    if (!count)
        return std::nullopt;
    return list;
}

std::optional<print::ContactSheet> contactSheetFromStore(std::string_view path, const print::PageHeading& heading)
{
    print::ContactSheet sheet{heading, {}, printFont()};
    const auto count = visitRecords(path, [&](RosterStore& source) {
        auto texts = listedTexts(source);
        sheet.cards.push_back({std::move(texts[kNameColumn]), std::move(texts[kSexColumn]),
                               std::move(texts[kIdCardColumn]), std::move(texts[kGuardianNameColumn]),
                               std::move(texts[kGuardianPhoneColumn]), readByteSetField(source, field::kPhoto)});
    });
    if (!count)
        return std::nullopt;
    return sheet;
}

} // namespace qr::app
