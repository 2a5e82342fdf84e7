// The message box as a request and an answer. The forms layer presents the
// request in a real box; tests answer it directly. Everything here is about the
// message, the flags and the answer, not about drawing a window.
#pragma once

#include "runtime/value.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace qr::runtime {

// Flag bits as the application passes them (the platform's MB_* values).
namespace message_box_flags {
inline constexpr std::uint32_t kOk = 0x0;
inline constexpr std::uint32_t kOkCancel = 0x1;
inline constexpr std::uint32_t kAbortRetryIgnore = 0x2;
inline constexpr std::uint32_t kYesNoCancel = 0x3;
inline constexpr std::uint32_t kYesNo = 0x4;
inline constexpr std::uint32_t kRetryCancel = 0x5;
inline constexpr std::uint32_t kButtonsMask = 0xF;
inline constexpr std::uint32_t kIconError = 0x10;
inline constexpr std::uint32_t kIconQuestion = 0x20;
inline constexpr std::uint32_t kIconExclamation = 0x30;
inline constexpr std::uint32_t kIconInformation = 0x40;
inline constexpr std::uint32_t kIconMask = 0xF0;
inline constexpr std::uint32_t kDefaultButtonMask = 0xF00; // 0x000 first, 0x100 second, 0x200 third
inline constexpr std::uint32_t kSystemModal = 0x1000;
inline constexpr std::uint32_t kTaskModal = 0x2000;
} // namespace message_box_flags

inline constexpr char kDefaultMessageBoxTitle[] = "信息：";

// The button that closed the box, numbered as the platform numbers them.
enum class PressedButton : int { None = 0, Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct MessageBoxRequest {
    Text text;                          // GBK
    Text title;                         // GBK, never empty
    std::uint32_t flags = 0;            // as given, plus task-modal unless system-modal
    std::optional<std::uint32_t> owner; // window id; none for the application's boxes

    std::uint32_t buttons() const { return flags & message_box_flags::kButtonsMask; }
    std::uint32_t icon() const { return flags & message_box_flags::kIconMask; }
    // 0-based index of the button that has the focus first.
    int defaultButton() const { return static_cast<int>((flags & message_box_flags::kDefaultButtonMask) >> 8); }
};

using MessageBoxPresenter = std::function<PressedButton(const MessageBoxRequest&)>;

// Installs the function that shows boxes (the forms layer, or a test); an empty
// function removes it. Without a presenter the text goes to standard error as
// UTF-8 and the answer is None, which the caller sees as 0: a question is never
// taken as answered Yes when nobody was asked.
void setMessageBoxPresenter(MessageBoxPresenter presenter);

// The text a message box shows for a value: numbers, logicals and date-times as
// toText gives them, text unchanged, anything else (a byte set, none) empty.
Text messageBoxText(const Value& message);

// The request for these arguments: an omitted or empty title becomes
// "信息：", and task-modality is added unless system-modality is asked for.
MessageBoxRequest makeMessageBoxRequest(const Value& message, std::uint32_t flags = 0, std::string_view title = {},
                                        std::optional<std::uint32_t> owner = std::nullopt);

// The answer as the application sees it: OK 0, Cancel 1, Abort 2, Retry 3,
// Ignore 4, Yes 5, No 6; anything else 0.
std::int32_t buttonCode(PressedButton pressed);

// Shows the box and returns the button code.
std::int32_t messageBox(const Value& message, std::uint32_t flags = 0, std::string_view title = {},
                        std::optional<std::uint32_t> owner = std::nullopt);

} // namespace qr::runtime
