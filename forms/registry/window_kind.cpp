// The window kind: the top-level window of every template, built from its
// settings (caption, frame, buttons, icon, background).
#include "forms/registry/form_window.h"
#include "forms/registry/picture_decoding.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/registry_internal.h"
#include "forms/registry/window_properties.h"

#include <QIcon>
#include <QPainterPath>
#include <QPixmap>
#include <QRegion>

#include <array>

namespace qr::forms::detail {
namespace {

using runtime::Value;
namespace t = property_type;

using enum window_property::Index;

constexpr std::array<PropertyDescriptor, kPropertyTotal> kProperties = {{
    {{}, {}, t::kText, 0},             // caption
    {{}, {}, t::kChoice, 0},           // border style
    {{}, {}, t::kBackgroundColour, 0}, // background colour
    {{}, {}, t::kPicture, 0},          // background picture
    {{}, {}, t::kChoice, 0},           // picture mode
    {{}, {}, t::kIcon, 0},             // icon
    {{}, {}, t::kLogical, 0},          // maximize button
    {{}, {}, t::kLogical, 0},          // minimize button
    {{}, {}, t::kLogical, 0},          // control box
    {{}, {}, t::kChoice, 0},           // start position
    {{}, {}, t::kLogical, 0},          // movable
    {{}, {}, t::kSound, 0},            // background sound
    {{}, {}, t::kChoice, 0},           // background sound setting
    {{}, {}, t::kLogical, 0},          // Enter moves focus
    {{}, {}, t::kLogical, 0},          // Esc closes
    {{}, {}, t::kLogical, 0},          // F1 opens help
    {{}, {}, t::kFileName, 0},         // help file
    {{}, {}, t::kInteger, 0},          // help context
    {{}, {}, t::kLogical, 0},          // shown in the task bar
    {{}, {}, t::kLogical, 0},          // drag anywhere
    {{}, {}, t::kChoice, 0},           // shape
    {{}, {}, t::kLogical, 0},          // always on top
    {{}, {}, t::kLogical, 0},          // unused flag
    {{}, {}, t::kText, 0},             // window class name
}};

class WindowObject : public ComponentObject {
public:
    WindowObject(std::uint32_t windowId, std::uint32_t componentId, const WindowSettings& settings)
        : ComponentObject(windowId, componentId)
        , settings_(settings)
    {
        window_ = new FormWindow(windowId);
        setWidget(window_);
        setChildHost(window_->client());
        applyAll();
    }

    FormWindow* window() const { return window_; }
    const WindowSettings& settings() const { return settings_; }
    WindowSettings& settings() { return settings_; }

    void applyAll()
    {
        window_->setWindowTitle(toQString(settings_.caption));
        applyFlags();
        applyBackground();
        applyIcon();
        applyShape();
        window_->setDragAnywhere(settings_.dragAnywhere != 0);
    }

    // 1 ellipse, 2 rectangle with corners curved by min(width, height) / 5, 3 ring;
    // 0 and the built-in outlines are plain rectangles here.
    void applyShape()
    {
        const QRect area(QPoint(0, 0), window_->size());
        const int corner = std::min(area.width(), area.height()) / 5;
        switch (settings_.shape) {
        case 1: window_->setMask(QRegion(area, QRegion::Ellipse)); break;
        case 2: {
            QPainterPath path;
            path.addRoundedRect(QRectF(area), corner, corner);
            window_->setMask(QRegion(path.toFillPolygon().toPolygon()));
            break;
        }
        case 3: {
            const int ring = std::min(area.width(), area.height()) / 4;
            window_->setMask(QRegion(area, QRegion::Ellipse) -
                             QRegion(area.adjusted(ring, ring, -ring, -ring), QRegion::Ellipse));
            break;
        }
        default: window_->clearMask(); break;
        }
    }

    void applyFlags()
    {
        const WindowSettings& s = settings_;
        // Tool windows and windows kept out of the task bar get no task-bar button.
        const bool tool = s.borderStyle == 3 || s.borderStyle == 4 || s.shownInTaskBar == 0;
        Qt::WindowFlags flags = tool ? Qt::Tool : Qt::Window;
        if (s.borderStyle == 0) {
            flags |= Qt::FramelessWindowHint;
        } else {
            flags |= Qt::CustomizeWindowHint;
            if (!s.caption.empty() || s.controlBox != 0)
                flags |= Qt::WindowTitleHint;
            if (s.controlBox != 0)
                flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if (s.minimizeButton != 0)
                flags |= Qt::WindowMinimizeButtonHint;
            if (s.maximizeButton != 0)
                flags |= Qt::WindowMaximizeButtonHint;
        }
        if (s.alwaysOnTop != 0)
            flags |= Qt::WindowStaysOnTopHint;
        if (flags == window_->windowFlags())
            return;
        // Changing the flags of a shown window hides it; show it again.
        const bool wasVisible = window_->isVisible();
        window_->setWindowFlags(flags);
        if (wasVisible)
            window_->show();
    }

    void applyBackground()
    {
        window_->client()->setBackground(settings_.backgroundColour, decodePicture(settings_.backgroundPicture),
                                         settings_.pictureMode);
    }

    void applyIcon()
    {
        const QImage icon = decodePicture(settings_.icon);
        window_->setWindowIcon(icon.isNull() ? QIcon() : QIcon(QPixmap::fromImage(icon)));
    }

private:
    WindowSettings settings_;
    FormWindow* window_;
};

std::unique_ptr<ComponentObject> createWindow(const CreateRequest& request)
{
    const auto* settings = std::get_if<WindowSettings>(request.settings);
    if (settings == nullptr)
        return nullptr;
    auto object = std::make_unique<WindowObject>(request.windowId, request.componentId, *settings);
    const QSize extras = frameExtras(*settings);
    object->window()->setInnerSize(
        QSize(request.geometry.width - extras.width(), request.geometry.height - extras.height()));
    object->applyShape(); // the shape follows the size
    if (request.style & create_style::kDisabled)
        object->window()->setEnabled(false);
    return object;
}

runtime::ByteSet bytesOf(const Value& v)
{
    return v.kind() == runtime::Kind::ByteSet ? v.asByteSet() : runtime::ByteSet{};
}
std::int32_t intOf(const Value& v) { return v.kind() == runtime::Kind::Integer ? v.asInteger() : 0; }
std::int32_t flagOf(const Value& v) { return v.kind() == runtime::Kind::Logical && v.asLogical() ? 1 : 0; }
std::string textOf(const Value& v) { return v.kind() == runtime::Kind::Text ? v.asText() : std::string(); }

int setWindowProperty(ComponentObject& object, int index, const Value& value)
{
    auto& w = static_cast<WindowObject&>(object);
    WindowSettings& s = w.settings();
    switch (index) {
    case kCaption:
        s.caption = textOf(value);
        w.window()->setWindowTitle(toQString(s.caption));
        w.window()->setAccessibleName(w.window()->windowTitle());
        w.applyFlags();
        break;
    case kBorderStyle:
        s.borderStyle = std::min(intOf(value), 6);
        w.applyFlags();
        break;
    case kBackgroundColour:
        s.backgroundColour = Colour(intOf(value));
        w.applyBackground();
        break;
    case kBackgroundPicture: {
        const runtime::ByteSet bytes = bytesOf(value);
        s.backgroundPicture.assign(bytes.begin(), bytes.end());
        w.applyBackground();
        break;
    }
    case kPictureMode:
        s.pictureMode = std::min(intOf(value), 3);
        w.applyBackground();
        break;
    case kIcon: {
        const runtime::ByteSet bytes = bytesOf(value);
        s.icon.assign(bytes.begin(), bytes.end());
        w.applyIcon();
        break;
    }
    case kMaximizeButton:
        s.maximizeButton = flagOf(value);
        w.applyFlags();
        break;
    case kMinimizeButton:
        s.minimizeButton = flagOf(value);
        w.applyFlags();
        break;
    case kControlBox:
        s.controlBox = flagOf(value);
        w.applyFlags();
        break;
    case kStartPosition: s.startPosition = std::min(intOf(value), 3); break;
    case kMovable: s.movable = flagOf(value); break;
    case kBackgroundSound: {
        const runtime::ByteSet bytes = bytesOf(value);
        s.backgroundSound.assign(bytes.begin(), bytes.end());
        break;
    }
    case kSoundSetting: s.backgroundSoundSetting = intOf(value); break;
    case kEnterMovesFocus: s.enterMovesFocus = flagOf(value); break;
    case kEscCloses: s.escCloses = flagOf(value); break;
    case kF1OpensHelp: s.f1OpensHelp = flagOf(value); break;
    case kHelpFile: s.helpFile = textOf(value); break;
    case kHelpContext: s.helpContext = intOf(value); break;
    case kShownInTaskBar:
        s.shownInTaskBar = flagOf(value);
        w.applyFlags();
        break;
    case kDragAnywhere:
        s.dragAnywhere = flagOf(value);
        w.window()->setDragAnywhere(s.dragAnywhere != 0);
        break;
    case kShape:
        s.shape = intOf(value);
        w.applyShape();
        break;
    case kAlwaysOnTop:
        s.alwaysOnTop = flagOf(value);
        w.applyFlags();
        break;
    case kUnusedFlag: s.unusedFlag = flagOf(value); break;
    case kClassName: s.className = textOf(value); break;
    default: break;
    }
    return 0;
}

Value bytesValue(const Bytes& b) { return Value::byteSet(runtime::ByteSet(b.begin(), b.end())); }

Value getWindowProperty(const ComponentObject& object, int index)
{
    const auto& w = static_cast<const WindowObject&>(object);
    const WindowSettings& s = w.settings();
    switch (index) {
    case kCaption: return Value::text(fromQString(w.window()->windowTitle()));
    case kBorderStyle: return Value::integer(s.borderStyle);
    case kBackgroundColour: return Value::integer(std::int32_t(s.backgroundColour));
    case kBackgroundPicture: return bytesValue(s.backgroundPicture);
    case kPictureMode: return Value::integer(s.pictureMode);
    case kIcon: return bytesValue(s.icon);
    case kMaximizeButton: return Value::logical(s.maximizeButton != 0);
    case kMinimizeButton: return Value::logical(s.minimizeButton != 0);
    case kControlBox: return Value::logical(s.controlBox != 0);
    case kStartPosition: return Value::integer(s.startPosition);
    case kMovable: return Value::logical(s.movable != 0);
    case kBackgroundSound: return bytesValue(s.backgroundSound);
    case kSoundSetting: return Value::integer(s.backgroundSoundSetting);
    case kEnterMovesFocus: return Value::logical(s.enterMovesFocus != 0);
    case kEscCloses: return Value::logical(s.escCloses != 0);
    case kF1OpensHelp: return Value::logical(s.f1OpensHelp != 0);
    case kHelpFile: return Value::text(s.helpFile);
    case kHelpContext: return Value::integer(s.helpContext);
    case kShownInTaskBar: return Value::logical(s.shownInTaskBar != 0);
    case kDragAnywhere: return Value::logical(s.dragAnywhere != 0);
    case kShape: return Value::integer(s.shape);
    case kAlwaysOnTop: return Value::logical(s.alwaysOnTop != 0);
    case kUnusedFlag: return Value::logical(s.unusedFlag != 0);
    case kClassName: return Value::text(s.className);
    default: return {};
    }
}

UnitData currentWindowSettings(const ComponentObject& object)
{
    return static_cast<const WindowObject&>(object).settings();
}

bool windowWantsKey(const ComponentObject&, int) { return false; }

} // namespace

const UnitDescriptor& windowKind()
{
    static const UnitDescriptor descriptor{
        std::uint32_t(UnitKind::Window),
        "窗口",
        "window",
        kind_flags::kRaisesEvents | kind_flags::kNoRecreate,
        8 + kPropertyTotal,
        kProperties,
        KindOperations{createWindow, setWindowProperty, currentWindowSettings, getWindowProperty, windowWantsKey},
    };
    return descriptor;
}

// Menu items are entries of the window's menu, never created as controls; the
// descriptor exists so that they raise their clicks like any component.
const UnitDescriptor& menuKind()
{
    static const UnitDescriptor descriptor{
        std::uint32_t(UnitKind::MenuItem), "菜单", "menu", kind_flags::kRaisesEvents, 8, {}, KindOperations{},
    };
    return descriptor;
}

// Settings of a window that is loaded, for the registry's own use.
const WindowSettings* liveWindowSettings(const ComponentObject& object)
{
    return &static_cast<const WindowObject&>(object).settings();
}

void reapplyWindowShape(ComponentObject& object) { static_cast<WindowObject&>(object).applyShape(); }

FormWindow* formWindowOf(const ComponentObject& object) { return static_cast<const WindowObject&>(object).window(); }

} // namespace qr::forms::detail
