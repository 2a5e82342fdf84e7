#include "app/messages.h"

#include "runtime/message_box.h"

namespace qr::app {

void notify(std::string_view message, std::uint32_t boxFlags, std::string_view title)
{
    runtime::messageBox(runtime::Value::text(message), boxFlags, title);
}

bool askYes(std::string_view question, std::string_view title)
{
    const std::int32_t answer = runtime::messageBox(runtime::Value::text(question), flags::kYesNo, title);
    return answer == runtime::buttonCode(runtime::PressedButton::Yes);
}

bool confirmClear()
{
    return askYes(text::kAskClear, text::kAskClearTitle) && askYes(text::kAskClearAgain, text::kAskClearAgainTitle);
}

} // namespace qr::app
