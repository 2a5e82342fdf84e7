// The window templates as plain data: what the template store holds, decoded.
// The reader (template_reader.h) produces these, the writer (template_writer.h)
// turns them back into store bytes. Texts are GBK bytes; byte blocks are copies.
#pragma once

#include "forms/template/unit_kind.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qr::forms {

using Bytes = std::vector<std::uint8_t>;

// Win32 COLORREF layout 0x00BBGGRR; kDefaultColour means "the element's system colour,
// or transparent where the kind draws no background".
using Colour = std::uint32_t;
inline constexpr Colour kDefaultColour = 0xFF000000;
constexpr Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return Colour(r) | (Colour(g) << 8) | (Colour(b) << 16);
}

// A stored LOGFONTA record (60 bytes). A font block of any other length means
// "no font" (the default GUI font), which is std::nullopt wherever a font is kept.
struct LogFont {
    std::int32_t height = 0; // negative: character height in pixels
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 400; // 700 = bold
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 1;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 2;
    std::uint8_t pitchAndFamily = 0;
    std::string faceName; // GBK, up to its terminator (at most 31 bytes); empty = default face

    static constexpr std::size_t kStoredSize = 60;
    bool operator==(const LogFont&) const = default;
};
using Font = std::optional<LogFont>;

// The 60 stored bytes of a font, and back (nullopt when the block is not 60 bytes).
// A face name of 32 bytes or more has no room for its terminator and is stored as "宋体".
Bytes encodeLogFont(const LogFont& font);
std::optional<LogFont> decodeLogFont(const std::uint8_t* data, std::size_t size);

// ---- settings of each kind (the record's unit data) ----------------------------------
// Member defaults are what an empty settings block means.

struct WindowSettings {
    std::int32_t version = 6;
    std::int32_t borderStyle = 2; // 0 none .. 6 fixed with sunken client edge
    std::int32_t pictureMode = 1; // 0 top-left, 1 tiled, 2 centred/scaled down, 3 stretched
    Colour backgroundColour = kDefaultColour;
    std::int32_t maximizeButton = 0;
    std::int32_t minimizeButton = 1;
    std::int32_t controlBox = 1;
    std::int32_t startPosition = 1; // 0 as stored, 1 centred, 2 minimized, 3 maximized
    std::int32_t movable = 1;
    std::int32_t backgroundSoundSetting = 0;
    std::int32_t enterMovesFocus = 0;
    std::int32_t escCloses = 1;
    std::int32_t f1OpensHelp = 0;
    std::int32_t helpContext = 0;
    std::int32_t shownInTaskBar = 1; // version >= 2
    std::int32_t dragAnywhere = 0;   // version >= 3
    std::int32_t shape = 0;          // version >= 3
    std::int32_t alwaysOnTop = 0;    // version >= 4
    std::int32_t unusedFlag = 0;     // version >= 5
    std::string className;           // version >= 6; empty = the default window class
    Bytes backgroundPicture;
    Bytes icon; // an icon file
    Bytes backgroundSound;
    std::string caption;
    std::string helpFile;
    bool operator==(const WindowSettings&) const = default;
};

struct EditBoxSettings {
    std::int32_t version = 2;
    std::int32_t borderStyle = 1; // 0 none, 1 sunken, 2 raised, 3 shallow, 4 framed, 5 single line
    Colour textColour = 0;
    Colour backgroundColour = 0x00FFFFFF;
    std::int32_t hideSelection = 1;
    std::int32_t maxLength = 0; // bytes; 0 = unlimited
    std::int32_t multiLine = 0;
    std::int32_t scrollBars = 0; // 1 horizontal, 2 vertical, 3 both
    std::int32_t alignment = 0;  // 0 left, 1 centred, 2 right
    std::int32_t inputMode = 0;  // 0 normal, 1 read-only, 2 password
    std::int16_t passwordChar = '*';
    std::int32_t caseConversion = 0; // 0 none, 1 lower, 2 upper
    std::int32_t spinMode = 0;
    std::int32_t spinMinimum = 0;
    std::int32_t spinMaximum = 100;
    std::int32_t selectionStart = 0;
    std::int32_t selectionLength = 0;
    Font font;
    std::string content;
    std::string reservedText1; // version >= 2
    std::string reservedText2; // version >= 2
    bool operator==(const EditBoxSettings&) const = default;
};

struct PictureBoxSettings {
    std::int32_t version = 2;
    std::int32_t borderStyle = 0; // edge styles as for the edit box
    Colour backgroundColour = kDefaultColour;
    std::int32_t displayMode = 1; // 0 own size top-left, 1 stretched, 2 centred and scaled down
    std::int32_t animate = 1;
    Bytes picture;             // a complete picture file
    std::string reservedText1; // version >= 2
    std::string reservedText2;
    bool operator==(const PictureBoxSettings&) const = default;
};

struct GroupBoxSettings {
    std::int32_t version = 1;
    std::int32_t captionAlignment = 0; // 0 left, 1 centred, 2 right
    Colour textColour = 0;
    Colour backgroundColour = kDefaultColour;
    Font font;
    std::string caption;
    bool operator==(const GroupBoxSettings&) const = default;
};

struct LabelSettings {
    // The property number each stored setting serves, in stored order.
    static constexpr std::array<int, 16> kSettingProperty = {9,  11, 10, 12, 13, 14, 16, 17,
                                                             19, 20, 21, 22, 23, 24, 26, 25};
    static constexpr std::size_t kTextColour = 6;       // property 16
    static constexpr std::size_t kBackgroundColour = 7; // property 17

    std::int32_t version = 2;
    std::array<std::int32_t, 16> settings = {
        0, 8, 0,        0x808080, 0xFFFFFF, 0x808080, 0, std::int32_t(kDefaultColour),
        1, 0, 0x808080, 0xFFFFFF, 0x808080, 0,        1, 0};
    Font font;
    Bytes backgroundPicture;
    std::string caption;
    std::string reservedText1; // version >= 2
    std::string reservedText2;

    Colour textColour() const { return Colour(settings[kTextColour]); }
    Colour backgroundColour() const { return Colour(settings[kBackgroundColour]); }
    // Stored value of the setting that serves property `property` (9..26), if any.
    std::optional<std::int32_t> settingForProperty(int property) const;
    bool operator==(const LabelSettings&) const = default;
};

struct ButtonSettings {
    std::int32_t version = 1;
    std::int32_t buttonType = 0; // 0 push button, 1 default push button
    std::int32_t horizontalAlignment = 1;
    std::int32_t verticalAlignment = 1;
    Bytes picture; // icon/cursor file: icon button; other picture: bitmap button
    Font font;
    std::string caption;
    bool operator==(const ButtonSettings&) const = default;
};

struct ComboBoxSettings {
    std::int32_t version = 3;
    std::int32_t style = 2; // 0 simple, 1 drop-down with edit field, 2 drop-down list
    std::int32_t maxLength = 0;
    std::int32_t selectionStart = 0;
    std::int32_t selectionLength = 0;
    std::int32_t sorted = 0;
    std::int32_t extraItemHeight = 1;
    Colour textColour = 0;
    Colour backgroundColour = 0x00FFFFFF;
    std::int32_t initialItem = -1; // as stored; see currentItemAtCreation()
    Font font;
    Bytes itemData;      // one int32 per item, or empty
    std::string content; // used for styles 0 and 1 only
    std::vector<std::string> items;
    std::string reservedText1; // version >= 2
    std::string reservedText2;
    std::int32_t reserved3 = 0; // version >= 3

    // The stored initial item clamped to -1 .. item count - 1, as the created control starts.
    std::int32_t currentItemAtCreation() const;
    bool operator==(const ComboBoxSettings&) const = default;
};

struct CommonDialogSettings {
    // Positions in `options` (properties 15 .. 27).
    static constexpr std::size_t kCreatePrompt = 0;    // property 15
    static constexpr std::size_t kFileMustExist = 1;   // property 16
    static constexpr std::size_t kOverwritePrompt = 2; // property 17
    static constexpr std::size_t kPathMustExist = 3;   // property 18
    static constexpr std::size_t kNoChangeFolder = 4;  // property 19

    std::int32_t version = 1;
    std::int32_t dialogType = 0;    // 0 open a file, 1 save a file
    std::int32_t initialFilter = 0; // 0-based
    std::array<std::int32_t, 13> options{};
    std::string title;
    std::string fileName;
    std::string filter; // "desc|pattern|desc|pattern"
    std::string initialFolder;
    std::string defaultExtension;
    std::string extraText1;
    std::string extraText2;
    bool operator==(const CommonDialogSettings&) const = default;
};

struct ToolBarButton {
    std::int32_t imageIndex = -1; // -1: no image
    std::uint8_t state = 4;       // 4 = enabled
    std::uint8_t style = 0;       // bit 0: separator
    std::string caption;          // empty: the button shows no text
    std::string toolTip;
    bool isSeparator() const { return (style & 1) != 0; }
    bool operator==(const ToolBarButton&) const = default;
};

struct ToolBarSettings {
    std::int32_t version = 1;
    Colour backgroundColour = kDefaultColour;
    std::array<std::int32_t, 6> settings = {0, 1, 1, 0, 1, 0};
    Font font;
    Bytes normalImages;
    Bytes hotImages;
    std::vector<ToolBarButton> buttons; // command numbers 1, 2, 3 ... in this order
    Bytes fifthBlock;
    bool operator==(const ToolBarSettings&) const = default;
};

struct ListColumn {
    std::uint8_t imageOnRight = 0;
    std::int32_t imageIndex = -1;
    std::int32_t alignment = 0; // 0 left, 1 centred, 2 right
    std::int32_t width = 0;     // pixels
    std::string title;
    bool operator==(const ListColumn&) const = default;
};

struct ReportListSettings {
    std::int32_t version = 1;
    std::int32_t borderStyle = 1;
    Colour textColour = 0;
    Colour textBackgroundColour = 0x00FFFFFF;
    Colour backgroundColour = 0x00FFFFFF;
    std::int32_t listType = 3; // 0 large icons, 1 small icons, 2 list, 3 report
    std::int32_t iconAlignment = 0;
    std::int32_t autoArrange = 1;
    std::int32_t labelWrap = 1;
    std::int32_t hideColumnHeader = 0;
    std::int32_t headerButtons = 1;
    std::int32_t wholeRowSelection = 1;
    std::int32_t gridLines = 1;
    std::int32_t movableColumns = 0;
    // second group of settings
    std::int32_t hotTracking = 0;
    std::int32_t hotCursor = 1;
    std::int32_t underlineHot = 1;
    std::int32_t underlineCold = 1;
    std::int32_t editLabels = 0;
    std::int32_t sortOrder = 0; // 1 ascending, 2 descending
    std::int32_t checkBoxes = 0;
    std::int32_t flatScrollBars = 1;
    std::int32_t singleSelection = 1;
    std::int32_t currentRow = -1; // property 35 while the control does not exist
    std::int32_t showSelectionAlways = 0;
    Font font;
    Bytes headerImages;
    Bytes normalImages;
    std::vector<ListColumn> columns;
    Bytes stateImages;
    Bytes initialRows;
    bool operator==(const ReportListSettings&) const = default;
};

// A menu item record: not a control but one entry of the window's menu.
struct MenuItem {
    std::int32_t level = 0; // 0 = menu bar item; 1 = item of the level-0 item above
    std::int32_t flags = 0; // bit 0 hidden, bit 1 disabled, bit 2 check mark
    std::string caption;
    std::int32_t clickHandler = -1; // handler number; -1 = none
    bool hidden() const { return (flags & 1) != 0; }
    bool disabled() const { return (flags & 2) != 0; }
    bool checked() const { return (flags & 4) != 0; }
    bool operator==(const MenuItem&) const = default;
};

// The decoded settings of one record. std::monostate: the kind keeps no settings
// (external database) or its settings could not be taken (see UnitDataStatus).
using UnitData = std::variant<std::monostate, WindowSettings, MenuItem, EditBoxSettings, PictureBoxSettings,
                              GroupBoxSettings, LabelSettings, ButtonSettings, ComboBoxSettings, CommonDialogSettings,
                              ToolBarSettings, ReportListSettings>;

enum class UnitDataStatus {
    Accepted,        // decoded (or empty, meaning all defaults)
    VersionRejected, // version above the kind's maximum (or negative): creation must fail
    UnknownKind,     // no unit descriptor for the code: creation must fail
};

struct EventBinding {
    std::int32_t event = 0;    // event number of the kind (negative: common input events)
    std::int32_t handler = -1; // handler number; -1 = no handler
    bool operator==(const EventBinding&) const = default;
};

struct Rect {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// One record of a window's component table: the window itself (entry 0), an ordinary
// component, or a menu item. For menu items only id, unitTypeCode and `unit` (a MenuItem)
// carry meaning.
struct ComponentRecord {
    static constexpr std::int32_t kVisible = 1, kDisabled = 2, kTabStop = 4;

    std::uint32_t id = 0;
    std::uint32_t unitTypeCode = 0;
    std::string name; // GBK, e.g. "编辑框_姓名"; empty for the window and menu items
    std::string remark;
    Rect rect;                     // relative to the container's client area; window: screen
    std::uint32_t containerId = 0; // 0 = the window itself
    std::vector<std::uint32_t> childIds;
    Bytes mousePointer; // property 7; 4 zero bytes = default arrow
    std::string tag;    // property 4
    std::int32_t flags = kVisible;
    std::int32_t focusOrder = 0;
    std::vector<EventBinding> events;
    bool unitDataStored = false; // false: the settings block was empty (all defaults)
    UnitDataStatus unitStatus = UnitDataStatus::Accepted;
    UnitData unit;
    Bytes rawUnitData; // the block as stored when it is not decoded (unknown kind,
                       // rejected version, kind without settings); else empty

    bool isMenuItem() const { return unitTypeCode == std::uint32_t(UnitKind::MenuItem); }
    UnitKind kind() const { return UnitKind(unitTypeCode); }
    bool visible() const { return (flags & kVisible) != 0; }
    bool disabled() const { return (flags & kDisabled) != 0; }
    bool tabStop() const { return (flags & kTabStop) != 0; }
    // Handler bound to `event`, or -1.
    std::int32_t handlerFor(std::int32_t event) const;

    template <class T> const T* as() const { return std::get_if<T>(&unit); }
    template <class T> T* as() { return std::get_if<T>(&unit); }
    bool operator==(const ComponentRecord&) const = default;
};

struct WindowTemplate {
    std::uint32_t windowId = 0;
    std::uint32_t buildTagA = 0; // kept, never interpreted
    std::uint32_t buildTagB = 0;
    std::string reservedText1;
    std::string reservedText2;
    std::vector<ComponentRecord> records; // in id-list order; records[0] is the window itself

    const ComponentRecord* find(std::uint32_t componentId) const;
    ComponentRecord* find(std::uint32_t componentId);
    const ComponentRecord* findByName(std::string_view nameGbk) const;
    const ComponentRecord& windowRecord() const { return records.front(); }
    // The window's menu: the first run of consecutive menu item records, in stored order
    // (pop-up command numbers count positions in this run).
    std::vector<const ComponentRecord*> menuRun() const;
    // The items below the level-0 item `itemId` of the menu run: the following items of a
    // deeper level up to the next level-0 item (their own levels give any nesting). Empty
    // when `itemId` is not a level-0 item of the run. A hidden level-0 item still has them.
    std::vector<const ComponentRecord*> popupItems(std::uint32_t itemId) const;
    const WindowSettings* settings() const { return records.empty() ? nullptr : records.front().as<WindowSettings>(); }
    bool operator==(const WindowTemplate&) const = default;
};

struct TemplateStore {
    std::vector<WindowTemplate> windows; // in window-map order
    std::vector<std::uint32_t> mapSlots; // the map's slot values as stored (no meaning)

    const WindowTemplate* find(std::uint32_t windowId) const;
    bool operator==(const TemplateStore&) const = default;
};

} // namespace qr::forms
