// The contract between the window registry and the component kinds.
//
// Every kind a template can hold is described by a static unit descriptor: its
// names, state flags, property table and operation table. The registry builds a
// window by calling each record's kind through that table; it never knows a
// kind's widget type. The kinds library fills the kind table through
// registerStandardKinds() (defined there, so qr_forms does not link it); the
// registry registers the window kind itself.
//
// Ownership and lifetime:
// - create() returns a ComponentObject that owns nothing Qt-parented beyond
//   what it likes; its widget() is parented by the registry (into the window's
//   client area or a container's childHost()) and the registry deletes the
//   object first and the widget afterwards. A kind never deletes its own
//   widget() and never re-parents it.
// - ComponentObject is a QObject: connect the widget's signals with the object
//   as context, so that no signal reaches a component that is gone.
// - Everything runs on the GUI thread.
#pragma once

#include "forms/template/template_types.h"
#include "runtime/value.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace qr::forms {

// ---- property table ------------------------------------------------------------------

// Type codes of the property table. The registry converts every written value to
// the canonical value of its type before set-property sees it, and converts what
// get-property returns the same way before the caller sees it:
//   integer, choice, colour codes -> Value::integer (int32; a negative choice becomes 0)
//   logical                        -> Value::logical
//   text, file name, kind text     -> Value::text (GBK; a null text becomes empty)
//   picture, icon, mouse pointer,
//   sound, kind data               -> Value::byteSet
//   font                           -> Value::byteSet of exactly 60 bytes (a LOGFONTA,
//                                     see encodeLogFont), or empty for the default font;
//                                     a face name without terminator becomes "宋体"
//   8-byte values                  -> Value::doubleFloat (1002), Value::longInt (1004)
namespace property_type {
inline constexpr std::int16_t kInteger = 1000;
inline constexpr std::int16_t kInteger2 = 1001;
inline constexpr std::int16_t kEightByte = 1002;
inline constexpr std::int16_t kLogical = 1003;
inline constexpr std::int16_t kEightByte2 = 1004;
inline constexpr std::int16_t kText = 1005;
inline constexpr std::int16_t kChoice = 1006;
inline constexpr std::int16_t kPicture = 1009;
inline constexpr std::int16_t kIcon = 1010;
inline constexpr std::int16_t kMousePointer = 1011;
inline constexpr std::int16_t kSound = 1012;
inline constexpr std::int16_t kFont = 1013;
inline constexpr std::int16_t kColour = 1014;
inline constexpr std::int16_t kColour2 = 1015;
inline constexpr std::int16_t kFileName = 1016;
inline constexpr std::int16_t kBackgroundColour = 1017;
inline constexpr std::int16_t kKindText = 1018;
inline constexpr std::int16_t kKindText2 = 1020;
inline constexpr std::int16_t kKindData = 1023;
inline constexpr std::int16_t kKindData2 = 1024;
} // namespace property_type

struct PropertyDescriptor {
    std::string_view name;        // GBK; may be empty
    std::string_view englishName; // may be empty
    std::int16_t type = property_type::kInteger;
    std::uint16_t state = 0; // 0xE000 for the eight common properties
};

// ---- state flags ---------------------------------------------------------------------

namespace kind_flags {
inline constexpr std::uint32_t kRaisesEvents = 0x00000004;  // this or kRaisesEvents2 must be set
inline constexpr std::uint32_t kRaisesEvents2 = 0x00000040; // for the kind to raise events
inline constexpr std::uint32_t kNoRecreate = 0x00000010;    // set-property's 1 is ignored
inline constexpr std::uint32_t kMoveChildrenOnRecreate = 0x00000080;
inline constexpr std::uint32_t kPageContainer = 0x00000100; // not used by this program
inline constexpr std::uint32_t kInvisible = 0x00008000;     // never shown (no widget)
inline constexpr std::uint32_t kRelayoutOnRecreate = 0x00100000;
inline constexpr std::uint32_t kDragsWindow = 0x04000000;
} // namespace kind_flags

// ---- the live component ----------------------------------------------------------------

class ComponentObject : public QObject {
public:
    ComponentObject(std::uint32_t windowId, std::uint32_t componentId)
        : windowId_(windowId)
        , componentId_(componentId)
    {}
    ~ComponentObject() override = default;

    std::uint32_t windowId() const { return windowId_; }
    std::uint32_t componentId() const { return componentId_; }

    // The control on screen; nullptr for invisible kinds (common dialog, external
    // database). Null as well once the registry has deleted the widget.
    QWidget* widget() const { return widget_; }
    // Where members of this component (a group box's children) are placed.
    QWidget* childHost() const { return childHost_ ? childHost_.data() : widget_.data(); }

protected:
    // Called by create(); the widget is created without a parent or with
    // CreateRequest::parent as parent.
    void setWidget(QWidget* widget) { widget_ = widget; }
    void setChildHost(QWidget* host) { childHost_ = host; }

private:
    std::uint32_t windowId_;
    std::uint32_t componentId_;
    QPointer<QWidget> widget_;
    QPointer<QWidget> childHost_;
};

// Style bits handed to create().
namespace create_style {
inline constexpr std::uint32_t kDisabled = 0x1; // record flag bit 1: create the control disabled
inline constexpr std::uint32_t kTabStop = 0x2;  // record flag bit 2: the control takes Tab focus
} // namespace create_style

struct CreateRequest {
    QWidget* parent = nullptr;               // the window's client area
    const ComponentRecord* record = nullptr; // the template record (name, tag, flags, bindings);
                                             // valid during create() only
    const UnitData* settings = nullptr;      // what to build from: the stored settings, or on
                                             // re-creation the kind's currentUnitData(); never null
    Rect geometry;                           // left, top, width, height in the container's client area
    std::uint32_t windowId = 0;
    std::uint32_t componentId = 0;
    int controlId = 0;       // 100, 110, 120 ... in creation order
    std::uint32_t style = 0; // create_style bits
};

// The operation table. A null entry means the kind lacks the operation.
struct KindOperations {
    // Creates the control hidden (the registry shows it). Returns nullptr when the
    // settings cannot be used; the window load then fails as a whole.
    std::unique_ptr<ComponentObject> (*create)(const CreateRequest& request) = nullptr;
    // index = property number - 8; the value is already of the property's canonical
    // type. Returns 1 when the control must be re-created from currentUnitData(), else 0.
    int (*setProperty)(ComponentObject& object, int index, const runtime::Value& value) = nullptr;
    // The settings that re-create the control as it is now.
    UnitData (*currentUnitData)(const ComponentObject& object) = nullptr;
    // index = property number - 8.
    runtime::Value (*getProperty)(const ComponentObject& object, int index) = nullptr;
    // True when the control handles this Win32 virtual-key code itself (an edit box
    // that is multi-line and not read-only wants Enter, 13).
    bool (*wantsKey)(const ComponentObject& object, int virtualKey) = nullptr;
};

struct UnitDescriptor {
    std::uint32_t unitTypeCode = 0;                 // library * 65536 + unit number (UnitKind)
    std::string_view chineseName;                   // GBK, "编辑框"
    std::string_view englishName;                   // "EditBox"
    std::uint32_t stateFlags = 0;                   // kind_flags
    int propertyCount = 8;                          // including the eight common properties
    std::span<const PropertyDescriptor> properties; // kind-specific: [0] is property 8;
                                                    // size() == propertyCount - 8
    KindOperations operations;
};

// ---- the kind table ------------------------------------------------------------------

// Adds or replaces the kind for descriptor.unitTypeCode. The descriptor (and the
// property table it points to) must live as long as the program: pass static data.
void registerKind(const UnitDescriptor& descriptor);

// The kind for a unit type code, or nullptr when none is registered.
const UnitDescriptor* findKind(std::uint32_t unitTypeCode);

// Defined by the kinds library (qr_forms_kinds): registers edit box, combo box,
// label, button, group box, picture box, common dialog, external database,
// toolbar and report list, and installs the picture decoder
// (forms/registry/picture_decoding.h). Safe to call more than once.
void registerStandardKinds();

// ---- events ----------------------------------------------------------------------------

struct EventResult {
    bool handlerRan = false;
    runtime::Value result; // what the handler returned; none when it ran without a result
    // A handler that ran and answered false (logical false or the number 0).
    bool refused() const;
};

// Delivers an event of a component to its bound handler. Nothing runs while a
// runtime error report is shown or when the window is no longer loaded (a late
// signal of a window being torn down). Misuse ends the program with the runtime
// error report: a window id that is no window of the registry ("未找到引发事件的窗口"),
// a component the window does not hold ("未找到引发事件的窗口组件"), a kind whose
// state flags allow no events ("引发事件的窗口组件无效").
EventResult raiseEvent(std::uint32_t windowId, std::uint32_t componentId, std::int32_t eventNumber,
                       std::vector<runtime::Value> args = {});

// ---- access for kind operations the application calls by id --------------------------

// The live object of a component of a loaded window, or nullptr.
ComponentObject* findComponentObject(std::uint32_t windowId, std::uint32_t componentId);

// The live object, or the runtime error report "指定窗口或窗口组件不存在或尚未载入"
// (report-list operations, the common dialog's open, ...).
ComponentObject& requireComponentObject(std::uint32_t windowId, std::uint32_t componentId);

} // namespace qr::forms
