#include "forms/template/unit_data_codec.h"

namespace qr::forms::detail {
namespace {

void writeFont(ByteSink& out, const Font& font) { out.countedBlock(font ? encodeLogFont(*font) : Bytes{}); }

void write(ByteSink& out, const WindowSettings& s)
{
    for (std::int32_t v : {s.borderStyle, s.pictureMode, std::int32_t(s.backgroundColour), s.maximizeButton,
                           s.minimizeButton, s.controlBox, s.startPosition, s.movable, s.backgroundSoundSetting,
                           s.enterMovesFocus, s.escCloses, s.f1OpensHelp, s.helpContext})
        out.i32(v);
    if (s.version >= 2)
        out.i32(s.shownInTaskBar);
    if (s.version >= 3) {
        out.i32(s.dragAnywhere);
        out.i32(s.shape);
    }
    if (s.version >= 4)
        out.i32(s.alwaysOnTop);
    if (s.version >= 5)
        out.i32(s.unusedFlag);
    if (s.version >= 6)
        out.countedText(s.className);
    out.countedBlock(s.backgroundPicture);
    out.countedBlock(s.icon);
    out.countedBlock(s.backgroundSound);
    out.countedText(s.caption);
    out.countedText(s.helpFile);
}

void write(ByteSink& out, const EditBoxSettings& s)
{
    for (std::int32_t v : {s.borderStyle, std::int32_t(s.textColour), std::int32_t(s.backgroundColour), s.hideSelection,
                           s.maxLength, s.multiLine, s.scrollBars, s.alignment, s.inputMode})
        out.i32(v);
    out.i16(s.passwordChar);
    for (std::int32_t v :
         {s.caseConversion, s.spinMode, s.spinMinimum, s.spinMaximum, s.selectionStart, s.selectionLength})
        out.i32(v);
    writeFont(out, s.font);
    out.countedText(s.content);
    if (s.version >= 2) {
        out.countedText(s.reservedText1);
        out.countedText(s.reservedText2);
    }
}

void write(ByteSink& out, const PictureBoxSettings& s)
{
    out.i32(s.borderStyle);
    out.u32(s.backgroundColour);
    out.i32(s.displayMode);
    out.i32(s.animate);
    out.countedBlock(s.picture);
    if (s.version >= 2) {
        out.countedText(s.reservedText1);
        out.countedText(s.reservedText2);
    }
}

void write(ByteSink& out, const GroupBoxSettings& s)
{
    out.i32(s.captionAlignment);
    out.u32(s.textColour);
    out.u32(s.backgroundColour);
    writeFont(out, s.font);
    out.countedText(s.caption);
}

void write(ByteSink& out, const LabelSettings& s)
{
    for (std::int32_t v : s.settings)
        out.i32(v);
    writeFont(out, s.font);
    out.countedBlock(s.backgroundPicture);
    out.countedText(s.caption);
    if (s.version >= 2) {
        out.countedText(s.reservedText1);
        out.countedText(s.reservedText2);
    }
}

void write(ByteSink& out, const ButtonSettings& s)
{
    out.i32(s.buttonType);
    out.i32(s.horizontalAlignment);
    out.i32(s.verticalAlignment);
    out.countedBlock(s.picture);
    writeFont(out, s.font);
    out.countedText(s.caption);
}

void write(ByteSink& out, const ComboBoxSettings& s)
{
    for (std::int32_t v : {s.style, s.maxLength, s.selectionStart, s.selectionLength, s.sorted, s.extraItemHeight,
                           std::int32_t(s.textColour), std::int32_t(s.backgroundColour), s.initialItem})
        out.i32(v);
    writeFont(out, s.font);
    out.countedBlock(s.itemData);
    out.countedText(s.content);
    out.textList(s.items);
    if (s.version >= 2) {
        out.countedText(s.reservedText1);
        out.countedText(s.reservedText2);
    }
    if (s.version >= 3)
        out.i32(s.reserved3);
}

void write(ByteSink& out, const CommonDialogSettings& s)
{
    out.i32(s.dialogType);
    out.i32(s.initialFilter);
    for (std::int32_t v : s.options)
        out.i32(v);
    for (const std::string* t :
         {&s.title, &s.fileName, &s.filter, &s.initialFolder, &s.defaultExtension, &s.extraText1, &s.extraText2})
        out.countedText(*t);
}

void write(ByteSink& out, const ToolBarSettings& s)
{
    out.u32(s.backgroundColour);
    for (std::int32_t v : s.settings)
        out.i32(v);
    writeFont(out, s.font);
    out.countedBlock(s.normalImages);
    out.countedBlock(s.hotImages);
    ByteSink list;
    list.length(s.buttons.size());
    for (const auto& b : s.buttons) {
        list.i32(b.imageIndex);
        list.u8(b.state);
        list.u8(b.style);
        list.zeroText(b.caption);
        list.zeroText(b.toolTip);
    }
    out.countedBlock(list.bytes());
    out.countedBlock(s.fifthBlock);
}

void write(ByteSink& out, const ReportListSettings& s)
{
    for (std::int32_t v : {s.borderStyle,
                           std::int32_t(s.textColour),
                           std::int32_t(s.textBackgroundColour),
                           std::int32_t(s.backgroundColour),
                           s.listType,
                           s.iconAlignment,
                           s.autoArrange,
                           s.labelWrap,
                           s.hideColumnHeader,
                           s.headerButtons,
                           s.wholeRowSelection,
                           s.gridLines,
                           s.movableColumns,
                           s.hotTracking,
                           s.hotCursor,
                           s.underlineHot,
                           s.underlineCold,
                           s.editLabels,
                           s.sortOrder,
                           s.checkBoxes,
                           s.flatScrollBars,
                           s.singleSelection,
                           s.currentRow,
                           s.showSelectionAlways})
        out.i32(v);
    writeFont(out, s.font);
    out.countedBlock(s.headerImages);
    out.countedBlock(s.normalImages);
    ByteSink columns;
    for (const auto& c : s.columns) {
        columns.u8(c.imageOnRight);
        columns.i32(c.imageIndex);
        columns.i32(c.alignment);
        columns.i32(c.width);
        columns.zeroText(c.title);
    }
    out.countedBlock(columns.bytes());
    out.countedBlock(s.stateImages);
    out.countedBlock(s.initialRows);
}

template <class Settings> bool writeAs(const ComponentRecord& r, UnitKind kind, ByteSink& out)
{
    const auto* s = r.as<Settings>();
    if (!s)
        return false;
    if (r.kind() != kind)
        throw std::invalid_argument("settings do not match the record's kind");
    out.i32(s->version);
    write(out, *s);
    return true;
}

} // namespace

void encodeUnitData(const ComponentRecord& r, ByteSink& out)
{
    if (!r.unitDataStored)
        return;
    if (std::holds_alternative<std::monostate>(r.unit)) {
        out.raw(r.rawUnitData); // unknown kind, rejected version, or a kind without settings
        return;
    }
    const bool written =
        writeAs<WindowSettings>(r, UnitKind::Window, out) || writeAs<EditBoxSettings>(r, UnitKind::EditBox, out) ||
        writeAs<PictureBoxSettings>(r, UnitKind::PictureBox, out) ||
        writeAs<GroupBoxSettings>(r, UnitKind::GroupBox, out) || writeAs<LabelSettings>(r, UnitKind::Label, out) ||
        writeAs<ButtonSettings>(r, UnitKind::Button, out) || writeAs<ComboBoxSettings>(r, UnitKind::ComboBox, out) ||
        writeAs<CommonDialogSettings>(r, UnitKind::CommonDialog, out) ||
        writeAs<ToolBarSettings>(r, UnitKind::ToolBar, out) ||
        writeAs<ReportListSettings>(r, UnitKind::ReportList, out);
    if (!written)
        throw std::invalid_argument("settings of this kind are not stored in unit data");
}

} // namespace qr::forms::detail
