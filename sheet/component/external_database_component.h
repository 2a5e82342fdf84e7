// Gives a window's external-database component (`外部数据库1`) its methods: the
// connection component lives as a child of that component's object, created on
// first use, so a connection is closed when its window is destroyed.
#pragma once

#include "sheet/external_database.h"

#include <cstdint>

namespace qr::sheet {

// The connection component of component `componentId` of loaded window `windowId`.
// A window that is not loaded, a component it does not hold, or a component of
// another kind is the runtime error "指定窗口或窗口组件不存在或尚未载入". The
// reference stays valid until the window is destroyed.
ExternalDatabase& externalDatabase(std::uint32_t windowId, std::uint32_t componentId);

} // namespace qr::sheet
