// The external database kind: invisible, without settings. Its commands (connect,
// run SQL, read columns) belong to the spreadsheet connection, which finds the
// object with requireComponentObject and keeps its connection as a child QObject
// of it, so the connection goes when the window does.
#pragma once

#include "forms/registry/component_kind.h"

namespace qr::forms {

class ExternalDatabaseObject : public ComponentObject {
public:
    using ComponentObject::ComponentObject;
};

} // namespace qr::forms
