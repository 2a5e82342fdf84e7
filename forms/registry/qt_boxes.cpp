#include "forms/registry/qt_boxes.h"

#include "forms/registry/form_window.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/registry_internal.h"
#include "runtime/error_report.h"
#include "runtime/gbk.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <vector>

namespace qr::forms {
namespace {

namespace f = runtime::message_box_flags;
using runtime::PressedButton;

struct ButtonSpec {
    PressedButton pressed;
    const char* caption;
    QMessageBox::ButtonRole role;
};

std::vector<ButtonSpec> buttonsFor(std::uint32_t buttons)
{
    switch (buttons) {
    case f::kOkCancel:
        return {{PressedButton::Ok, kCaptionOk, QMessageBox::AcceptRole},
                {PressedButton::Cancel, kCaptionCancel, QMessageBox::RejectRole}};
    case f::kAbortRetryIgnore:
        return {{PressedButton::Abort, kCaptionAbort, QMessageBox::RejectRole},
                {PressedButton::Retry, kCaptionRetry, QMessageBox::AcceptRole},
                {PressedButton::Ignore, kCaptionIgnore, QMessageBox::AcceptRole}};
    case f::kYesNoCancel:
        return {{PressedButton::Yes, kCaptionYes, QMessageBox::YesRole},
                {PressedButton::No, kCaptionNo, QMessageBox::NoRole},
                {PressedButton::Cancel, kCaptionCancel, QMessageBox::RejectRole}};
    case f::kYesNo:
        return {{PressedButton::Yes, kCaptionYes, QMessageBox::YesRole},
                {PressedButton::No, kCaptionNo, QMessageBox::NoRole}};
    case f::kRetryCancel:
        return {{PressedButton::Retry, kCaptionRetry, QMessageBox::AcceptRole},
                {PressedButton::Cancel, kCaptionCancel, QMessageBox::RejectRole}};
    case 0x6: // cancel, try again, continue: the last two have no code of their own
        return {{PressedButton::Cancel, kCaptionCancel, QMessageBox::RejectRole},
                {PressedButton::None, kCaptionTryAgain, QMessageBox::AcceptRole},
                {PressedButton::None, kCaptionContinue, QMessageBox::AcceptRole}};
    default: return {{PressedButton::Ok, kCaptionOk, QMessageBox::AcceptRole}};
    }
}

QMessageBox::Icon iconFor(std::uint32_t icon)
{
    switch (icon) {
    case f::kIconError: return QMessageBox::Critical;
    case f::kIconQuestion: return QMessageBox::Question;
    case f::kIconExclamation: return QMessageBox::Warning;
    case f::kIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QWidget* ownerOf(const runtime::MessageBoxRequest& request)
{
    if (!request.owner)
        return nullptr;
    detail::LoadedWindow* live = detail::Registry::instance().loaded(*request.owner);
    return live ? live->window.data() : nullptr;
}

} // namespace

PressedButton showQtMessageBox(const runtime::MessageBoxRequest& request)
{
    QMessageBox box(ownerOf(request));
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowTitle(toQString(request.title));
    box.setText(toQString(request.text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(iconFor(request.icon()));
    box.setWindowModality(Qt::ApplicationModal);
    if (request.flags & 0x40000) // MB_TOPMOST
        box.setWindowFlag(Qt::WindowStaysOnTopHint);

    const std::vector<ButtonSpec> specs = buttonsFor(request.buttons());
    std::vector<QPushButton*> buttons;
    for (const ButtonSpec& spec : specs) {
        QPushButton* button = box.addButton(toQString(spec.caption), spec.role);
        buttons.push_back(button);
        if (spec.pressed == PressedButton::Cancel || (specs.size() == 1))
            box.setEscapeButton(button);
    }
    const std::size_t defaultIndex = std::size_t(request.defaultButton());
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (std::size_t k = 0; k < buttons.size(); ++k)
        if (buttons[k] == clicked)
            return specs[k].pressed;
    return PressedButton::None;
}

void showQtErrorBox(const runtime::Text& textGbk)
{
    // Kept on standard error too: a report must not be lost when nobody sees the box.
    const std::string utf8 = runtime::gbkToUtf8(textGbk);
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);

    runtime::MessageBoxRequest request;
    request.text = textGbk;
    request.title = runtime::kRuntimeErrorTitle;
    request.flags = runtime::kRuntimeErrorBoxFlags;
    showQtMessageBox(request);
}

namespace detail {

void installQtBoxes()
{
    runtime::setMessageBoxPresenter(showQtMessageBox);
    runtime::RuntimeErrorHooks hooks;
    hooks.tags.windowTag = [](std::uint32_t windowId) -> std::optional<runtime::Text> {
        WindowEntry* entry = Registry::instance().find(windowId);
        if (entry == nullptr || entry->working.records.empty())
            return std::nullopt;
        return entry->working.records.front().tag;
    };
    hooks.tags.componentTag = [](std::uint32_t windowId, std::uint32_t componentId) -> std::optional<runtime::Text> {
        WindowEntry* entry = Registry::instance().find(windowId);
        const ComponentRecord* record = entry ? entry->working.find(componentId) : nullptr;
        if (record == nullptr)
            return std::nullopt;
        return record->tag;
    };
    hooks.showBox = showQtErrorBox;
    runtime::setRuntimeErrorHooks(std::move(hooks));
}

} // namespace detail
} // namespace qr::forms
