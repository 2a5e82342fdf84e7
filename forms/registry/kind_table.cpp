#include "forms/registry/component_kind.h"

#include <map>

namespace qr::forms {
namespace {

std::map<std::uint32_t, const UnitDescriptor*>& kinds()
{
    static std::map<std::uint32_t, const UnitDescriptor*> table;
    return table;
}

} // namespace

void registerKind(const UnitDescriptor& descriptor) { kinds()[descriptor.unitTypeCode] = &descriptor; }

const UnitDescriptor* findKind(std::uint32_t unitTypeCode)
{
    const auto it = kinds().find(unitTypeCode);
    return it == kinds().end() ? nullptr : it->second;
}

bool EventResult::refused() const
{
    if (!handlerRan)
        return false;
    if (result.kind() == runtime::Kind::Logical)
        return !result.asLogical();
    if (result.isNumeric())
        return result.numericAsDouble() == 0.0;
    return false;
}

} // namespace qr::forms
