// The window's icon in the notification area.
#include "forms/registry/picture_decoding.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/registry_internal.h"
#include "forms/template/event_numbers.h"
#include "runtime/error_report.h"
#include "runtime/file_access.h"
#include "runtime/gbk.h"
#include "runtime/to_byte_set.h"

#include <QSystemTrayIcon>

namespace qr::forms {
namespace detail {

// 1 left button released, 2 left double-click, 3 right button or context-menu key.
int trayAction(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: return 1;
    case QSystemTrayIcon::DoubleClick: return 2;
    case QSystemTrayIcon::Context: return 3;
    default: return 0;
    }
}

// The tip keeps at most 62 bytes and never ends in half a character.
std::string cutTip(std::string_view tip)
{
    constexpr std::size_t kMaxTip = 62;
    std::size_t end = 0;
    while (end < tip.size()) {
        const std::size_t width = (runtime::isGbkLeadByte(std::uint8_t(tip[end])) && end + 1 < tip.size()) ? 2 : 1;
        if (end + width > kMaxTip)
            break;
        end += width;
    }
    return std::string(tip.substr(0, end));
}

std::optional<bool>& trayOverride()
{
    static std::optional<bool> available;
    return available;
}

} // namespace detail

bool systemTrayAvailable() { return detail::trayOverride().value_or(QSystemTrayIcon::isSystemTrayAvailable()); }

void overrideSystemTrayAvailable(std::optional<bool> available) { detail::trayOverride() = available; }

void setTrayIcon(std::uint32_t windowId, const runtime::Value& icon, std::string_view tipGbk)
{
    detail::LoadedWindow* live = detail::Registry::instance().loaded(windowId);
    if (live == nullptr)
        runtime::reportRuntimeError(detail::kTargetNotLoaded, 0, windowId, 0);
    const runtime::ByteSet bytes =
        icon.kind() == runtime::Kind::Text ? runtime::readFile(icon.asText()) : runtime::toByteSet(icon);
    if (bytes.empty()) {
        if (live->tray)
            live->tray->hide();
        live->tray.reset();
        return;
    }
    if (!live->tray) {
        live->tray = std::make_unique<QSystemTrayIcon>(live->window.data());
        live->tray->setObjectName(QStringLiteral("trayIcon"));
        QObject::connect(live->tray.get(), &QSystemTrayIcon::activated, live->tray.get(),
                         [windowId](QSystemTrayIcon::ActivationReason reason) {
                             const int action = detail::trayAction(reason);
                             if (action != 0 && isLoaded(windowId))
                                 raiseEvent(windowId, windowRecordId(windowId), event::kTrayAction,
                                            {runtime::Value::integer(action)});
                         });
    }
    const QImage image = decodePicture(bytes);
    live->tray->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
    live->tray->setToolTip(toQString(detail::cutTip(tipGbk)));
    // Without a tray on this desktop the icon is kept but never shown.
    if (systemTrayAvailable())
        live->tray->show();
}

} // namespace qr::forms
