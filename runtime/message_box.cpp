#include "runtime/message_box.h"

#include "runtime/gbk.h"
#include "runtime/to_text.h"

#include <cstdio>
#include <string>

namespace qr::runtime {
namespace {

MessageBoxPresenter& presenter()
{
    static MessageBoxPresenter installed;
    return installed;
}

} // namespace

void setMessageBoxPresenter(MessageBoxPresenter newPresenter) { presenter() = std::move(newPresenter); }

Text messageBoxText(const Value& message)
{
    switch (message.kind()) {
    case Kind::Byte:
    case Kind::Short:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Float:
    case Kind::Double:
    case Kind::Logical:
    case Kind::DateTime:
    case Kind::Text: return toText(message);
    case Kind::None:
    case Kind::SubprogramPointer:
    case Kind::ByteSet: break;
    }
    return {};
}

MessageBoxRequest makeMessageBoxRequest(const Value& message, std::uint32_t flags, std::string_view title,
                                        std::optional<std::uint32_t> owner)
{
    MessageBoxRequest request;
    request.text = messageBoxText(message);
    // An empty title and an omitted one are the same text.
    request.title = title.empty() ? Text(kDefaultMessageBoxTitle) : Text(title);
    request.flags = (flags & message_box_flags::kSystemModal) ? flags : (flags | message_box_flags::kTaskModal);
    request.owner = owner;
    return request;
}

std::int32_t buttonCode(PressedButton pressed)
{
    const int id = static_cast<int>(pressed);
    return (id >= 1 && id <= 7) ? id - 1 : 0;
}

std::int32_t messageBox(const Value& message, std::uint32_t flags, std::string_view title,
                        std::optional<std::uint32_t> owner)
{
    const MessageBoxRequest request = makeMessageBoxRequest(message, flags, title, owner);
    if (const MessageBoxPresenter& show = presenter())
        return buttonCode(show(request));
    const std::string shown = gbkToUtf8(request.title + "\n" + request.text + "\n");
    std::fwrite(shown.data(), 1, shown.size(), stderr);
    return buttonCode(PressedButton::None);
}

} // namespace qr::runtime
