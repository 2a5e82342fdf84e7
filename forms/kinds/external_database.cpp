#include "forms/kinds/external_database.h"

#include "forms/kinds/kind_support.h"
#include "forms/kinds/standard_kinds.h"

namespace qr::forms::kinds {
namespace {

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    if (request.record && request.record->unitStatus != UnitDataStatus::Accepted)
        return nullptr;
    return std::make_unique<ExternalDatabaseObject>(request.windowId, request.componentId);
}

} // namespace

const UnitDescriptor& externalDatabaseKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::ExternalDatabase),
                                           "外部数据库",
                                           "ODBCDB",
                                           kind_flags::kInvisible,
                                           8,
                                           {},
                                           KindOperations{create, nullptr, nullptr, nullptr, nullptr}};
    return descriptor;
}

} // namespace qr::forms::kinds
