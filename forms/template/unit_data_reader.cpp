#include "forms/template/unit_data_codec.h"

namespace qr::forms::detail {
namespace {

Font readFont(ByteCursor& in)
{
    const Bytes block = in.countedBlock();
    return decodeLogFont(block.data(), block.size()); // any other length: no font
}

WindowSettings readWindow(ByteCursor& in, std::int32_t version)
{
    WindowSettings s;
    s.version = version;
    s.borderStyle = in.i32();
    s.pictureMode = in.i32();
    s.backgroundColour = in.u32();
    s.maximizeButton = in.i32();
    s.minimizeButton = in.i32();
    s.controlBox = in.i32();
    s.startPosition = in.i32();
    s.movable = in.i32();
    s.backgroundSoundSetting = in.i32();
    s.enterMovesFocus = in.i32();
    s.escCloses = in.i32();
    s.f1OpensHelp = in.i32();
    s.helpContext = in.i32();
    if (version >= 2)
        s.shownInTaskBar = in.i32();
    if (version >= 3) {
        s.dragAnywhere = in.i32();
        s.shape = in.i32();
    }
    if (version >= 4)
        s.alwaysOnTop = in.i32();
    if (version >= 5)
        s.unusedFlag = in.i32();
    if (version >= 6)
        s.className = in.countedText();
    s.backgroundPicture = in.countedBlock();
    s.icon = in.countedBlock();
    s.backgroundSound = in.countedBlock();
    s.caption = in.countedText();
    s.helpFile = in.countedText();
    return s;
}

EditBoxSettings readEditBox(ByteCursor& in, std::int32_t version)
{
    EditBoxSettings s;
    s.version = version;
    s.borderStyle = in.i32();
    s.textColour = in.u32();
    s.backgroundColour = in.u32();
    s.hideSelection = in.i32();
    s.maxLength = in.i32();
    s.multiLine = in.i32();
    s.scrollBars = in.i32();
    s.alignment = in.i32();
    s.inputMode = in.i32();
    s.passwordChar = in.i16();
    s.caseConversion = in.i32();
    s.spinMode = in.i32();
    s.spinMinimum = in.i32();
    s.spinMaximum = in.i32();
    s.selectionStart = in.i32();
    s.selectionLength = in.i32();
    s.font = readFont(in);
    s.content = in.countedText();
    if (version >= 2) {
        s.reservedText1 = in.countedText();
        s.reservedText2 = in.countedText();
    }
    return s;
}

PictureBoxSettings readPictureBox(ByteCursor& in, std::int32_t version)
{
    PictureBoxSettings s;
    s.version = version;
    s.borderStyle = in.i32();
    s.backgroundColour = in.u32();
    s.displayMode = in.i32();
    s.animate = in.i32();
    s.picture = in.countedBlock();
    if (version >= 2) {
        s.reservedText1 = in.countedText();
        s.reservedText2 = in.countedText();
    }
    return s;
}

GroupBoxSettings readGroupBox(ByteCursor& in, std::int32_t version)
{
    GroupBoxSettings s;
    s.version = version;
    s.captionAlignment = in.i32();
    s.textColour = in.u32();
    s.backgroundColour = in.u32();
    s.font = readFont(in);
    s.caption = in.countedText();
    return s;
}

LabelSettings readLabel(ByteCursor& in, std::int32_t version)
{
    LabelSettings s;
    s.version = version;
    for (auto& v : s.settings)
        v = in.i32();
    s.font = readFont(in);
    s.backgroundPicture = in.countedBlock();
    s.caption = in.countedText();
    if (version >= 2) {
        s.reservedText1 = in.countedText();
        s.reservedText2 = in.countedText();
    }
    return s;
}

ButtonSettings readButton(ByteCursor& in, std::int32_t version)
{
    ButtonSettings s;
    s.version = version;
    s.buttonType = in.i32();
    s.horizontalAlignment = in.i32();
    s.verticalAlignment = in.i32();
    s.picture = in.countedBlock();
    s.font = readFont(in);
    s.caption = in.countedText();
    return s;
}

ComboBoxSettings readComboBox(ByteCursor& in, std::int32_t version)
{
    ComboBoxSettings s;
    s.version = version;
    s.style = in.i32();
    s.maxLength = in.i32();
    s.selectionStart = in.i32();
    s.selectionLength = in.i32();
    s.sorted = in.i32();
    s.extraItemHeight = in.i32();
    s.textColour = in.u32();
    s.backgroundColour = in.u32();
    s.initialItem = in.i32();
    s.font = readFont(in);
    s.itemData = in.countedBlock();
    s.content = in.countedText();
    s.items = in.textList();
    if (version >= 2) {
        s.reservedText1 = in.countedText();
        s.reservedText2 = in.countedText();
    }
    if (version >= 3)
        s.reserved3 = in.i32();
    return s;
}

CommonDialogSettings readCommonDialog(ByteCursor& in, std::int32_t version)
{
    CommonDialogSettings s;
    s.version = version;
    s.dialogType = in.i32();
    s.initialFilter = in.i32();
    for (auto& v : s.options)
        v = in.i32();
    s.title = in.countedText();
    s.fileName = in.countedText();
    s.filter = in.countedText();
    s.initialFolder = in.countedText();
    s.defaultExtension = in.countedText();
    s.extraText1 = in.countedText();
    s.extraText2 = in.countedText();
    return s;
}

std::vector<ToolBarButton> readToolBarButtons(ByteCursor in)
{
    std::vector<ToolBarButton> buttons;
    if (in.atEnd())
        return buttons;
    // A button takes at least 8 bytes: image index, state, style and two terminators.
    const std::size_t n = in.count(8, "toolbar button count");
    buttons.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        ToolBarButton b;
        b.imageIndex = in.i32();
        b.state = in.u8();
        b.style = in.u8();
        b.caption = in.zeroText();
        b.toolTip = in.zeroText();
        buttons.push_back(std::move(b));
    }
    return buttons;
}

ToolBarSettings readToolBar(ByteCursor& in, std::int32_t version)
{
    ToolBarSettings s;
    s.version = version;
    s.backgroundColour = in.u32();
    for (auto& v : s.settings)
        v = in.i32();
    s.font = readFont(in);
    s.normalImages = in.countedBlock();
    s.hotImages = in.countedBlock();
    s.buttons = readToolBarButtons(in.countedCursor());
    s.fifthBlock = in.countedBlock();
    return s;
}

std::vector<ListColumn> readColumns(ByteCursor in)
{
    std::vector<ListColumn> columns;
    while (!in.atEnd()) {
        ListColumn c;
        c.imageOnRight = in.u8();
        c.imageIndex = in.i32();
        c.alignment = in.i32();
        c.width = in.i32();
        c.title = in.zeroText();
        columns.push_back(std::move(c));
    }
    return columns;
}

ReportListSettings readReportList(ByteCursor& in, std::int32_t version)
{
    ReportListSettings s;
    s.version = version;
    s.borderStyle = in.i32();
    s.textColour = in.u32();
    s.textBackgroundColour = in.u32();
    s.backgroundColour = in.u32();
    s.listType = in.i32();
    s.iconAlignment = in.i32();
    s.autoArrange = in.i32();
    s.labelWrap = in.i32();
    s.hideColumnHeader = in.i32();
    s.headerButtons = in.i32();
    s.wholeRowSelection = in.i32();
    s.gridLines = in.i32();
    s.movableColumns = in.i32();
    s.hotTracking = in.i32();
    s.hotCursor = in.i32();
    s.underlineHot = in.i32();
    s.underlineCold = in.i32();
    s.editLabels = in.i32();
    s.sortOrder = in.i32();
    s.checkBoxes = in.i32();
    s.flatScrollBars = in.i32();
    s.singleSelection = in.i32();
    s.currentRow = in.i32();
    s.showSelectionAlways = in.i32();
    s.font = readFont(in);
    s.headerImages = in.countedBlock();
    s.normalImages = in.countedBlock();
    s.columns = readColumns(in.countedCursor());
    s.stateImages = in.countedBlock();
    s.initialRows = in.countedBlock();
    return s;
}

UnitData defaultsFor(UnitKind kind)
{
    switch (kind) {
    case UnitKind::Window: return WindowSettings{};
    case UnitKind::EditBox: return EditBoxSettings{};
    case UnitKind::PictureBox: return PictureBoxSettings{};
    case UnitKind::GroupBox: return GroupBoxSettings{};
    case UnitKind::Label: return LabelSettings{};
    case UnitKind::Button: return ButtonSettings{};
    case UnitKind::ComboBox: return ComboBoxSettings{};
    case UnitKind::CommonDialog: return CommonDialogSettings{};
    case UnitKind::ToolBar: return ToolBarSettings{};
    case UnitKind::ReportList: return ReportListSettings{};
    case UnitKind::MenuItem:
    case UnitKind::ExternalDatabase: break;
    }
    return std::monostate{};
}

UnitData readSettings(UnitKind kind, ByteCursor& in, std::int32_t version)
{
    switch (kind) {
    case UnitKind::Window: return readWindow(in, version);
    case UnitKind::EditBox: return readEditBox(in, version);
    case UnitKind::PictureBox: return readPictureBox(in, version);
    case UnitKind::GroupBox: return readGroupBox(in, version);
    case UnitKind::Label: return readLabel(in, version);
    case UnitKind::Button: return readButton(in, version);
    case UnitKind::ComboBox: return readComboBox(in, version);
    case UnitKind::CommonDialog: return readCommonDialog(in, version);
    case UnitKind::ToolBar: return readToolBar(in, version);
    case UnitKind::ReportList: return readReportList(in, version);
    case UnitKind::MenuItem:
    case UnitKind::ExternalDatabase: break;
    }
    return std::monostate{};
}

} // namespace

void decodeUnitData(ComponentRecord& record, ByteCursor block)
{
    const std::size_t start = block.offset();
    const auto raw = block.take(block.remaining());
    record.unitDataStored = !raw.empty();
    record.unit = std::monostate{};
    record.unitStatus = UnitDataStatus::Accepted;
    record.rawUnitData.clear();
    // Blocks that are not decoded are kept as they are, so that nothing stored is lost.
    const auto keepRaw = [&] { record.rawUnitData.assign(raw.begin(), raw.end()); };

    const auto info = unitKindInfo(record.unitTypeCode);
    if (!info) {
        record.unitStatus = UnitDataStatus::UnknownKind;
        keepRaw();
        return;
    }
    if (raw.empty() || info->maxVersion < 0) {
        // Empty block: all defaults. Kinds without settings ignore whatever is stored.
        record.unit = defaultsFor(info->kind);
        keepRaw();
        return;
    }
    ByteCursor in(raw, start);
    const std::int32_t version = in.i32();
    if (version < 0 || version > info->maxVersion) {
        record.unitStatus = UnitDataStatus::VersionRejected;
        keepRaw();
        return;
    }
    record.unit = readSettings(info->kind, in, version);
    // Bytes after the last known field are tolerated: a later writer may append.
}

} // namespace qr::forms::detail
