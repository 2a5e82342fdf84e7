// A one-window template store built in the test, loaded through the real window
// registry with the standard kinds, and a recorder for the events its handlers get.
#pragma once

#include <QWidget>

#include "forms/registry/component_kind.h"
#include "forms/registry/window_registry.h"
#include "forms/template/template_types.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace qr::forms::test {

inline constexpr std::uint32_t kTestWindow = 0x52010001;
inline constexpr int kRecordingHandler = 7;

class KindWindowTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Adds a component record; `events` are bound to the recording handler.
    ComponentRecord& add(std::uint32_t id, UnitKind kind, std::string nameGbk, Rect rect, UnitData settings,
                         std::vector<std::int32_t> events = {});
    // Builds the store from the records, starts the registry and loads the window.
    void load();

    ComponentObject* object(std::uint32_t id) const;
    QWidget* widget(std::uint32_t id) const;
    template <class W> W* widgetAs(std::uint32_t id) const { return qobject_cast<W*>(widget(id)); }

    runtime::Value read(std::uint32_t id, int property) const { return readProperty(kTestWindow, id, property); }
    void write(std::uint32_t id, int property, const runtime::Value& v) { writeProperty(kTestWindow, id, property, v); }

    std::vector<Event> events;    // what the recording handler received
    runtime::Value handlerAnswer; // what it answers
    std::vector<ComponentRecord> records;
};

// GBK bytes of a UTF-8 literal, and the Qt string of one, for readable expectations.
std::string gbk(std::u8string_view utf8);
QString q(std::u8string_view utf8);

} // namespace qr::forms::test
