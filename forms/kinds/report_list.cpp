#include "forms/kinds/report_list.h"

#include "forms/kinds/kind_support.h"
#include "forms/kinds/report_cell_delegate.h"
#include "forms/kinds/report_list_properties.h"
#include "forms/kinds/standard_kinds.h"
#include "forms/registry/fonts.h"
#include "runtime/coding.h"
#include "runtime/error_report.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

#include <array>

namespace qr::forms {
namespace {

using enum report_list_property::Index;
using enum report_list_property::SettingPosition;

constexpr std::array<std::int32_t ReportListSettings::*, 24> kSettingFields = {
    nullptr, // border style is handled apart (it is clamped)
    nullptr,
    nullptr,
    nullptr, // colours
    &ReportListSettings::listType,
    &ReportListSettings::iconAlignment,
    &ReportListSettings::autoArrange,
    &ReportListSettings::labelWrap,
    &ReportListSettings::hideColumnHeader,
    &ReportListSettings::headerButtons,
    &ReportListSettings::wholeRowSelection,
    &ReportListSettings::gridLines,
    &ReportListSettings::movableColumns,
    &ReportListSettings::hotTracking,
    &ReportListSettings::hotCursor,
    &ReportListSettings::underlineHot,
    &ReportListSettings::underlineCold,
    &ReportListSettings::editLabels,
    &ReportListSettings::sortOrder,
    &ReportListSettings::checkBoxes,
    &ReportListSettings::flatScrollBars,
    &ReportListSettings::singleSelection,
    &ReportListSettings::currentRow,
    &ReportListSettings::showSelectionAlways,
};

enum ListEvent : int {
    kRowFocused = 0,
    kRowActivated = 1,
    kHeaderClicked = 2,
    kHotRowChanged = 3,
    kLeftClick = 4,
    kRightClick = 5
};

// A list laid out past the right or bottom edge of the area it stands in would hide
// its own scroll bars there (the main window's 960-pixel list in a 958-pixel client
// area); it ends at that edge instead.
void fitIntoParent(QWidget& list)
{
    const QWidget* parent = list.parentWidget();
    if (parent == nullptr)
        return;
    QRect r = list.geometry();
    if (r.right() > parent->width() - 1 && parent->width() > r.left())
        r.setRight(parent->width() - 1);
    if (r.bottom() > parent->height() - 1 && parent->height() > r.top())
        r.setBottom(parent->height() - 1);
    list.setGeometry(r);
}

ReportListObject& requireList(std::uint32_t windowId, std::uint32_t listId)
{
    auto* list = dynamic_cast<ReportListObject*>(&requireComponentObject(windowId, listId));
    if (!list)
        runtime::reportRuntimeError("指定窗口或窗口组件不存在或尚未载入", 0, windowId, listId);
    return *list;
}

} // namespace

Bytes encodeListColumns(const std::vector<ListColumn>& columns)
{
    Bytes out;
    for (const ListColumn& c : columns) {
        out.push_back(c.imageOnRight);
        runtime::appendI32(out, c.imageIndex);
        runtime::appendI32(out, c.alignment);
        runtime::appendI32(out, c.width);
        out.insert(out.end(), c.title.begin(), c.title.end());
        out.push_back(0);
    }
    return out;
}

std::optional<std::vector<ListColumn>> decodeListColumns(const Bytes& block)
{
    std::vector<ListColumn> columns;
    std::size_t pos = 0;
    auto i32 = [&] {
        const std::int32_t v = runtime::getI32(block.data() + pos);
        pos += 4;
        return v;
    };
    while (pos < block.size()) {
        if (block.size() - pos < 13)
            return std::nullopt;
        ListColumn c;
        c.imageOnRight = block[pos++];
        c.imageIndex = i32();
        c.alignment = i32();
        c.width = i32();
        auto end = std::find(block.begin() + long(pos), block.end(), std::uint8_t(0));
        if (end == block.end())
            return std::nullopt;
        c.title.assign(block.begin() + long(pos), end);
        pos = std::size_t(end - block.begin()) + 1;
        columns.push_back(std::move(c));
    }
    return columns;
}

ReportListObject::ReportListObject(const CreateRequest& request, const ReportListSettings& settings)
    : ComponentObject(request.windowId, request.componentId)
    , settings_(settings)
{
    view_ = new QTableView(request.parent);
    // Columns exist only in report view.
    model_ = new kinds::ReportRowsModel(settings_.listType == 3 ? settings_.columns : std::vector<ListColumn>{}, view_,
                                        settings_.sortOrder);
    // Deleting the selected row leaves no row selected; the view would otherwise
    // select its neighbour, and a second delete would take another student. These
    // are connected before the view's own, so they see the selection as it was.
    QObject::connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                     [this](const QModelIndex&, int first, int last) {
                         const int selected = currentRow();
                         removingSelected_ = selected >= first && selected <= last;
                     });
    QObject::connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (removingSelected_)
            view_->selectionModel()->clear();
        removingSelected_ = false;
    });
    view_->setModel(model_);
    view_->setItemDelegate(new kinds::ReportCellDelegate(view_));
    setWidget(view_);
    kinds::prepareWidget(*view_, request);
    fitIntoParent(*view_);
    view_->verticalHeader()->hide();
    view_->setSortingEnabled(false);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setWordWrap(false);
    view_->setTextElideMode(Qt::ElideRight);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view_->setTabKeyNavigation(false);
    QHeaderView* header = view_->horizontalHeader();
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(0);
    for (std::size_t i = 0; i < model_->columns().size(); ++i)
        header->resizeSection(int(i), std::max(0, model_->columns()[i].width));
    applyLook();

    QObject::connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        raiseEvent(windowId(), componentId(), kHeaderClicked, {runtime::Value::integer(column)});
    });
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                     [this](const QModelIndex& now) {
                         if (now.isValid())
                             raiseEvent(windowId(), componentId(), kRowFocused);
                     });
    QObject::connect(view_, &QAbstractItemView::activated, this,
                     [this](const QModelIndex&) { raiseEvent(windowId(), componentId(), kRowActivated); });
    QObject::connect(view_, &QAbstractItemView::entered, this, [this](const QModelIndex& index) {
        // Entering another cell of the same row is no change of the hot row.
        if (!settings_.hotTracking || index.row() == hotRow_)
            return;
        hotRow_ = index.row();
        raiseEvent(windowId(), componentId(), kHotRowChanged, {runtime::Value::integer(hotRow_)});
    });
    view_->viewport()->installEventFilter(this);
    // A freshly loaded list has no current row.
    view_->selectionModel()->clear();
}

void ReportListObject::applyLook()
{
    settings_.borderStyle = kinds::clampEdgeStyle(settings_.borderStyle);
    kinds::applyEdgeStyle(*view_, settings_.borderStyle);
    const QFont font = qtFont(settings_.font);
    view_->setFont(font);
    view_->horizontalHeader()->setFont(font);
    // Under an application style sheet (the control look) a scroll area's viewport
    // keeps the application's font instead of its parent's, and the header paints
    // its sections on its viewport.
    view_->viewport()->setFont(font);
    view_->horizontalHeader()->viewport()->setFont(font);
    view_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    view_->verticalHeader()->setMinimumSectionSize(QFontMetrics(font).height() + 2);
    const bool report = settings_.listType == 3;
    view_->horizontalHeader()->setVisible(report && !settings_.hideColumnHeader);
    // Header buttons take clicks (event 2) but never sort: sorting is the sort-order setting's.
    view_->horizontalHeader()->setSectionsClickable(report && settings_.headerButtons);
    view_->horizontalHeader()->setSectionsMovable(report && settings_.movableColumns);
    view_->setShowGrid(report && settings_.gridLines);
    view_->setSelectionBehavior(report && settings_.wholeRowSelection ? QAbstractItemView::SelectRows
                                                                      : QAbstractItemView::SelectItems);
    view_->setSelectionMode(settings_.singleSelection ? QAbstractItemView::SingleSelection
                                                      : QAbstractItemView::ExtendedSelection);
    view_->setMouseTracking(settings_.hotTracking != 0);
    QPalette palette = view_->palette();
    if (auto c = kinds::qtColour(settings_.textColour))
        palette.setColor(QPalette::Text, *c);
    if (auto c = kinds::qtColour(settings_.backgroundColour))
        palette.setColor(QPalette::Base, *c);
    // Selected rows keep their highlight when the list loses the focus only with
    // the keep-selection-visible setting; otherwise they fade as the platform's do.
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     settings_.showSelectionAlways ? palette.color(QPalette::Active, QPalette::Highlight)
                                                   : palette.color(QPalette::Active, QPalette::Button));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     settings_.showSelectionAlways ? palette.color(QPalette::Active, QPalette::HighlightedText)
                                                   : palette.color(QPalette::Active, QPalette::Text));
    view_->setPalette(palette);
}

bool ReportListObject::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != view_->viewport())
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        // A press beside every row clears the selection, as the platform's list does.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!view_->indexAt(mouse->position().toPoint()).isValid())
            view_->selectionModel()->clearSelection();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            raiseEvent(windowId(), componentId(), kLeftClick);
        else if (mouse->button() == Qt::RightButton)
            raiseEvent(windowId(), componentId(), kRightClick);
    }
    return false;
}

int ReportListObject::currentRow() const
{
    if (!view_)
        return settings_.currentRow;
    const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
    int first = -1;
    for (const QModelIndex& i : selected)
        if (first < 0 || i.row() < first)
            first = i.row();
    return first;
}

void ReportListObject::setCurrentRow(int row)
{
    if (row < 0 || row >= model_->count()) {
        view_->selectionModel()->clear();
        return;
    }
    view_->selectionModel()->setCurrentIndex(model_->index(row, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(model_->index(row, 0));
}

bool ReportListObject::deleteAllRows()
{
    model_->removeAll();
    view_->selectionModel()->clear();
    return true;
}

ReportListSettings ReportListObject::currentSettings() const
{
    ReportListSettings s = settings_;
    s.currentRow = currentRow();
    if (view_ && settings_.listType == 3)
        for (std::size_t i = 0; i < s.columns.size(); ++i)
            s.columns[i].width = view_->horizontalHeader()->sectionSize(int(i));
    return s;
}

int ReportListObject::setProperty(int index, const runtime::Value& v)
{
    using namespace kinds;
    switch (index) {
    case kFont:
        settings_.font = fontOf(v);
        applyLook();
        return 0;
    case kHeaderImages: settings_.headerImages = bytesOf(v); return 0;
    case kNormalImages: settings_.normalImages = bytesOf(v); return 0;
    case kColumns: {
        auto columns = decodeListColumns(bytesOf(v));
        if (!columns)
            return 0;
        settings_ = currentSettings();
        settings_.columns = std::move(*columns);
        return 1; // the rows start again with the new columns
    }
    case kStateImages: settings_.stateImages = bytesOf(v); return 0;
    case kInitialRows: settings_.initialRows = bytesOf(v); return 0;
    case kReserved: return 0;
    default: break;
    }
    if (index < kFirstSetting || index > kLastSetting)
        return 0;
    const int position = index - kFirstSetting; // 0-based stored position
    const std::int32_t n = intOf(v);
    switch (position) {
    case kBorderStyleSetting: settings_.borderStyle = clampEdgeStyle(n); break;
    case kTextColourSetting: settings_.textColour = Colour(n); break;
    case kTextBackgroundColourSetting: settings_.textBackgroundColour = Colour(n); break;
    case kBackgroundColourSetting: settings_.backgroundColour = Colour(n); break;
    case kCurrentRowSetting: setCurrentRow(n); return 0;
    case kListTypeSetting: // the list type changes the control's make-up
        settings_ = currentSettings();
        settings_.listType = std::clamp(n, 0, 3);
        return 1;
    case kSortOrderSetting: // a sorted list is a list made sorted
        settings_ = currentSettings();
        settings_.sortOrder = n;
        return 1;
    default: settings_.*kSettingFields[std::size_t(position)] = n; break;
    }
    applyLook();
    return 0;
}

runtime::Value ReportListObject::property(int index) const
{
    using runtime::Value;
    switch (index) {
    case kFont: return kinds::fontValue(settings_.font);
    case kHeaderImages: return Value::byteSet(settings_.headerImages);
    case kNormalImages: return Value::byteSet(settings_.normalImages);
    case kColumns: return Value::byteSet(encodeListColumns(currentSettings().columns));
    case kStateImages: return Value::byteSet(settings_.stateImages);
    case kInitialRows: return Value::byteSet(settings_.initialRows);
    case kReserved: return Value::text(std::string());
    default: break;
    }
    if (index < kFirstSetting || index > kLastSetting)
        return {};
    const int position = index - kFirstSetting;
    switch (position) {
    case kBorderStyleSetting: return Value::integer(settings_.borderStyle);
    case kTextColourSetting: return Value::integer(std::int32_t(settings_.textColour));
    case kTextBackgroundColourSetting: return Value::integer(std::int32_t(settings_.textBackgroundColour));
    case kBackgroundColourSetting: return Value::integer(std::int32_t(settings_.backgroundColour));
    case kCurrentRowSetting: return Value::integer(currentRow());
    default: return Value::integer(settings_.*kSettingFields[std::size_t(position)]);
    }
}

namespace report_list {

int insertRow(std::uint32_t windowId, std::uint32_t listId, int position, std::string_view textGbk, std::int32_t image,
              std::optional<std::int32_t> stateImage, std::int32_t indent, std::int32_t value)
{
    return requireList(windowId, listId).rows().insertRowAt(position, textGbk, image, stateImage, indent, value);
}

void setCellText(std::uint32_t windowId, std::uint32_t listId, int row, int column, std::string_view textGbk)
{
    requireList(windowId, listId).rows().setCell(row, column, textGbk);
}

std::string cellText(std::uint32_t windowId, std::uint32_t listId, int row, int column)
{
    return requireList(windowId, listId).rows().cell(row, column);
}

int rowCount(std::uint32_t windowId, std::uint32_t listId) { return requireList(windowId, listId).rows().count(); }

bool deleteRow(std::uint32_t windowId, std::uint32_t listId, int row)
{
    return requireList(windowId, listId).rows().removeRowAt(row);
}

bool deleteAllRows(std::uint32_t windowId, std::uint32_t listId)
{
    return requireList(windowId, listId).deleteAllRows();
}

int currentRow(std::uint32_t windowId, std::uint32_t listId) { return requireList(windowId, listId).currentRow(); }

} // namespace report_list

namespace kinds {
namespace {

namespace pt = property_type;
constexpr std::array<PropertyDescriptor, 31> kReportListProperties = {{
    {"字体", "Font", pt::kFont},
    {"表头图片组", "HeaderImageList", pt::kKindData},
    {"图片组", "ImageList", pt::kKindData},
    {"列", "Columns", pt::kKindData2},
    {"状态图片组", "StateImageList", pt::kKindData},
    {"边框", "Border", pt::kChoice},
    {"文本颜色", "TextColor", pt::kColour},
    {"文本背景颜色", "TextBackColor", pt::kColour},
    {"背景颜色", "BackColor", pt::kBackgroundColour},
    {"类型", "Type", pt::kChoice},
    {"图标对齐方式", "IconAlignment", pt::kChoice},
    {"自动排列", "AutoArrange", pt::kLogical},
    {"标签文本自动换行", "LabelWrap", pt::kLogical},
    {"隐藏列表头", "HideHeader", pt::kLogical},
    {"表头按钮", "HeaderButtons", pt::kLogical},
    {"整行选择", "FullRowSelect", pt::kLogical},
    {"显示表格线", "GridLines", pt::kLogical},
    {"允许移动列", "HeaderDragDrop", pt::kLogical},
    {"热点跟踪", "HotTracking", pt::kLogical},
    {"热点光标", "HotCursor", pt::kLogical},
    {"热点项目下划线", "UnderlineHot", pt::kLogical},
    {"非热点项目下划线", "UnderlineCold", pt::kLogical},
    {"允许编辑标题", "EditLabels", pt::kLogical},
    {"排序方式", "SortOrder", pt::kChoice},
    {"检查框", "CheckBoxes", pt::kLogical},
    {"平面滚动条", "FlatScrollBars", pt::kLogical},
    {"单一选择", "SingleSelection", pt::kLogical},
    {"现行选中项", "CurrentRow", pt::kInteger},
    {"始终显示选择项", "ShowSelectionAlways", pt::kLogical},
    {"初始项目", "InitialRows", pt::kKindData},
    {"", "", pt::kText},
}};

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    auto s = settingsFor<ReportListSettings>(request);
    if (!s)
        return nullptr;
    return std::make_unique<ReportListObject>(request, *s);
}

int setProperty(ComponentObject& o, int index, const runtime::Value& v)
{
    return static_cast<ReportListObject&>(o).setProperty(index, v);
}

runtime::Value getProperty(const ComponentObject& o, int index)
{
    return static_cast<const ReportListObject&>(o).property(index);
}

UnitData currentUnitData(const ComponentObject& o) { return static_cast<const ReportListObject&>(o).currentSettings(); }

} // namespace

const UnitDescriptor& reportListKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::ReportList),
                                           "超级列表框",
                                           "ListView",
                                           kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2,
                                           39,
                                           kReportListProperties,
                                           KindOperations{create, setProperty, currentUnitData, getProperty, nullptr}};
    return descriptor;
}

} // namespace kinds
} // namespace qr::forms
