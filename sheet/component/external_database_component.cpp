#include "sheet/component/external_database_component.h"

#include "forms/kinds/external_database.h"
#include "runtime/error_report.h"

#include <QObject>

namespace qr::sheet {

namespace {

// Owns one connection component; deleted with its parent, the component object.
class ConnectionHolder : public QObject {
public:
    explicit ConnectionHolder(QObject* parent)
        : QObject(parent)
    {
        setObjectName(kName);
    }
    ExternalDatabase database;
    static constexpr const char* kName = "qr_sheet_connection";
};

} // namespace

ExternalDatabase& externalDatabase(std::uint32_t windowId, std::uint32_t componentId)
{
    auto* object = dynamic_cast<forms::ExternalDatabaseObject*>(&forms::requireComponentObject(windowId, componentId));
    if (object == nullptr)
        runtime::reportRuntimeError("指定窗口或窗口组件不存在或尚未载入", 0, windowId, componentId);
    // Found by its unique name: the holder has no meta-object of its own to cast by.
    auto* holder = static_cast<ConnectionHolder*>(
        object->findChild<QObject*>(ConnectionHolder::kName, Qt::FindDirectChildrenOnly));
    if (holder == nullptr)
        holder = new ConnectionHolder(object);
    return holder->database;
}

} // namespace qr::sheet
