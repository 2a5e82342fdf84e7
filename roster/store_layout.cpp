#include "roster/store_layout.h"

#include "roster/student_fields.h"
#include "runtime/gbk.h"

namespace qr::roster {

using store::FieldType;

std::vector<store::FieldSpec> rosterFieldSpecs()
{
    std::vector<store::FieldSpec> specs;
    for (const FieldDescription& f : kFields)
        specs.push_back({std::string(f.nameGbk), f.type, f.width});
    return specs;
}

bool isRosterLayout(const store::StoreInfo& info, std::string& why)
{
    if (info.fields.size() != kFields.size()) {
        why = "the store has " + std::to_string(info.fields.size()) + " fields, a roster has 20";
        return false;
    }
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const FieldDescription& want = kFields[i];
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

} // namespace qr::roster
