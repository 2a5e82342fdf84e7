// The start window: the class name, the first-use hint and the way into the main window.
#include "app/app_paths.h"
#include "app/catalogue/catalogue.h"
#include "app/component_ids.h"
#include "app/handlers.h"
#include "app/messages.h"
#include "forms/kinds/control_look.h"
#include "runtime/config_items.h"

namespace qr::app {

namespace {

constexpr std::string_view kConfigSection = "学校班级";
constexpr std::string_view kConfigKey = "date";
constexpr std::string_view kTrayTip = "Quillroll";
constexpr int kEnterKey = 13;

Value bytesOf(std::span<const std::uint8_t> bytes)
{
    return Value::byteSet(runtime::ByteSet(bytes.begin(), bytes.end()));
}

Text className()
{
    return forms::readProperty(kStartWindow, start_window::kClassEdit, property::kEditContent).asText();
}

void confirmClassName()
{
    const Text name = className();
    if (name.empty()) {
        notify(text::kEnterClassName, flags::kIconExclamation, text::kReminderTitle);
        return;
    }
    // Stored exactly as typed, blanks included. A failed write is not fatal: the
    // next start simply offers the old name.
    runtime::writeConfigItem(configFilePath(), kConfigSection, kConfigKey, name);
    forms::loadWindow(kMainWindow);
    // Deferred, so the main window's created handler above still found the class name.
    if (forms::isLoaded(kStartWindow))
        forms::destroyWindow(kStartWindow);
}

} // namespace

void bringBackProgram() { forms::loadWindow(forms::isLoaded(kMainWindow) ? kMainWindow : kStartWindow); }

void closeProgram()
{
    if (forms::isLoaded(kMainWindow))
        forms::destroyWindow(kMainWindow);
    if (forms::isLoaded(kStartWindow))
        forms::destroyWindow(kStartWindow);
}

Value startWindowLoaded(const Event&)
{
    forms::controlLook(1);
    forms::writeProperty(kStartWindow, windowComponent(kStartWindow), property::kWindowBackgroundPicture,
                         bytesOf(catalogue::startupPictureBytes()));
    forms::setTrayIcon(kStartWindow, bytesOf(catalogue::programIconBytes()), kTrayTip);
    const Text stored = runtime::readConfigItem(configFilePath(), kConfigSection, kConfigKey);
    forms::writeProperty(kStartWindow, start_window::kClassEdit, property::kEditContent, Value::text(stored));
    if (className().empty())
        notify(text::kFirstUse, flags::kIconExclamation, text::kReminderTitle);
    return {};
}

Value startWindowTray(const Event& event)
{
    switch (eventArgument(event)) {
    case 1: bringBackProgram(); break;
    case 3: forms::popupTrayMenu(kStartWindow, start_window::kTrayMenu); break;
    default: break;
    }
    return {};
}

Value startMenuOpen(const Event&)
{
    bringBackProgram();
    return {};
}

Value startMenuClose(const Event&)
{
    closeProgram();
    return {};
}

Value startConfirm(const Event&)
{
    confirmClassName();
    return {};
}

Value startClassKeyDown(const Event& event)
{
    if (eventArgument(event) == kEnterKey)
        confirmClassName();
    return {};
}

} // namespace qr::app
