#include "forms/kinds/combo_box.h"

#include "forms/kinds/combo_box_properties.h"
#include "forms/kinds/kind_support.h"
#include "forms/kinds/standard_kinds.h"
#include "forms/registry/fonts.h"
#include "forms/registry/qt_text.h"
#include "runtime/coding.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include <array>

namespace qr::forms::kinds {
namespace {

using enum combo_box_property::Index;

constexpr int kGbkRole = Qt::UserRole + 1;   // the item's stored bytes
constexpr int kValueRole = Qt::UserRole + 2; // the item's int32 value

// Items as tall as the system's item height plus the stored extra pixels.
class ItemHeightDelegate : public QStyledItemDelegate {
public:
    ItemHeightDelegate(int height, QObject* parent)
        : QStyledItemDelegate(parent)
        , height_(height)
    {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(height_);
        return s;
    }

private:
    int height_;
};

// The dropped-down list is a window of its own: under an application style sheet
// (the control look) its list is polished back to the application's font when the
// form is shown, so it takes the box's font each time it drops down.
class ComboControl : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override
    {
        view()->setFont(font());
        view()->viewport()->setFont(font());
        QComboBox::showPopup();
    }
};

} // namespace

ComboBoxObject::ComboBoxObject(const CreateRequest& request, const ComboBoxSettings& settings)
    : ComponentObject(request.windowId, request.componentId)
    , settings_(settings)
{
    combo_ = new ComboControl(request.parent);
    combo_->setEditable(settings_.style != 2);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setMaxVisibleItems(12);
    setWidget(combo_);
    prepareWidget(*combo_, request);
    applyLook();
    fillItems();
    combo_->setCurrentIndex(settings_.currentItemAtCreation());
    if (combo_->isEditable()) {
        combo_->lineEdit()->setText(toQString(settings_.content));
        if (settings_.maxLength > 0)
            combo_->lineEdit()->setMaxLength(settings_.maxLength);
        combo_->lineEdit()->setSelection(settings_.selectionStart, settings_.selectionLength);
    }
}

void ComboBoxObject::fillItems()
{
    combo_->clear();
    for (std::size_t i = 0; i < settings_.items.size(); ++i) {
        const std::string& item = settings_.items[i];
        combo_->addItem(toQString(item));
        const int row = combo_->count() - 1;
        combo_->setItemData(row, QByteArray(item.data(), qsizetype(item.size())), kGbkRole);
        if (settings_.itemData.size() >= 4 * (i + 1)) {
            const std::uint8_t* p = settings_.itemData.data() + 4 * i;
            combo_->setItemData(row, qint32(runtime::getI32(p)), kValueRole);
        }
    }
    if (settings_.sorted)
        combo_->model()->sort(0);
    combo_->setCurrentIndex(-1);
}

void ComboBoxObject::applyLook()
{
    const QFont font = qtFont(settings_.font);
    combo_->setFont(font);
    const QFontMetrics metrics(font);
    const int itemHeight = metrics.height() + 2 + std::max(0, settings_.extraItemHeight);
    QAbstractItemDelegate* previous = combo_->itemDelegate();
    combo_->setItemDelegate(new ItemHeightDelegate(itemHeight, combo_));
    // The combo box lets go of its old delegate without deleting it.
    if (previous && previous->parent() == combo_)
        previous->deleteLater();
    QPalette palette = combo_->palette();
    if (auto c = qtColour(settings_.textColour)) {
        palette.setColor(QPalette::Text, *c);
        palette.setColor(QPalette::ButtonText, *c);
    }
    if (auto c = qtColour(settings_.backgroundColour))
        palette.setColor(QPalette::Base, *c);
    combo_->setPalette(palette);
    // The stored height covers the dropped-down list; on screen only the selection
    // field shows, as tall as an item plus the edges.
    combo_->resize(combo_->width(), std::max(itemHeight + 6, combo_->minimumSizeHint().height()));
}

std::string ComboBoxObject::content() const
{
    if (!combo_)
        return settings_.content;
    if (combo_->isEditable())
        return fromQString(combo_->lineEdit()->text());
    const int index = combo_->currentIndex();
    if (index < 0)
        return {};
    const QByteArray stored = combo_->itemData(index, kGbkRole).toByteArray();
    return std::string(stored.constData(), std::size_t(stored.size()));
}

int ComboBoxObject::currentItem() const { return combo_ ? combo_->currentIndex() : settings_.currentItemAtCreation(); }

void ComboBoxObject::setCurrentItem(int item)
{
    const int last = combo_ ? combo_->count() - 1 : int(settings_.items.size()) - 1;
    item = std::clamp(item, -1, std::max(-1, last));
    settings_.initialItem = item;
    if (combo_)
        combo_->setCurrentIndex(item);
}

ComboBoxSettings ComboBoxObject::currentSettings() const
{
    ComboBoxSettings s = settings_;
    s.initialItem = currentItem();
    if (combo_) {
        s.items.clear();
        Bytes values;
        bool anyValue = false;
        for (int i = 0; i < combo_->count(); ++i) {
            const QByteArray b = combo_->itemData(i, kGbkRole).toByteArray();
            s.items.emplace_back(b.constData(), std::size_t(b.size()));
            const QVariant v = combo_->itemData(i, kValueRole);
            anyValue = anyValue || v.isValid();
            const std::uint32_t n = std::uint32_t(v.toInt());
            for (int k = 0; k < 4; ++k)
                values.push_back(std::uint8_t(n >> (8 * k)));
        }
        s.itemData = anyValue ? values : Bytes();
        if (combo_->isEditable())
            s.content = content();
    }
    return s;
}

int ComboBoxObject::setProperty(int index, const runtime::Value& v)
{
    switch (index) {
    case kStyle:
        settings_ = currentSettings();
        settings_.style = std::clamp(intOf(v), 0, 2);
        return 1;
    case kContent:
        settings_.content = textOf(v);
        // A drop-down list has no edit field: its text is always the current item's.
        if (combo_ && combo_->isEditable())
            combo_->lineEdit()->setText(toQString(settings_.content));
        return 0;
    case kMaxLength:
        settings_.maxLength = std::max(0, intOf(v));
        if (combo_ && combo_->isEditable())
            combo_->lineEdit()->setMaxLength(settings_.maxLength > 0 ? settings_.maxLength : 32767);
        return 0;
    case kSelectionStart:
    case kSelectionLength:
        (index == kSelectionStart ? settings_.selectionStart : settings_.selectionLength) = intOf(v);
        if (combo_ && combo_->isEditable())
            combo_->lineEdit()->setSelection(settings_.selectionStart, settings_.selectionLength);
        return 0;
    case kSelectedText:
        if (combo_ && combo_->isEditable())
            combo_->lineEdit()->insert(toQString(textOf(v)));
        return 0;
    case kSorted:
        settings_ = currentSettings();
        settings_.sorted = logicalOf(v);
        return 1;
    case kExtraItemHeight:
        settings_.extraItemHeight = intOf(v);
        applyLook();
        return 0;
    case kTextColour:
        settings_.textColour = Colour(intOf(v));
        applyLook();
        return 0;
    case kBackgroundColour:
        settings_.backgroundColour = Colour(intOf(v));
        applyLook();
        return 0;
    case kFont:
        settings_.font = fontOf(v);
        applyLook();
        return 0;
    case kCurrentItem: setCurrentItem(intOf(v)); return 0;
    case kItemList:
        settings_.items = decodeItemList(bytesOf(v));
        if (combo_)
            fillItems();
        return 0;
    case kItemValues: {
        settings_ = currentSettings();
        settings_.itemData = bytesOf(v);
        const int current = currentItem();
        if (combo_) {
            fillItems();
            combo_->setCurrentIndex(current);
        }
        return 0;
    }
    case kReserved1: settings_.reservedText1 = textOf(v); return 0;
    case kReserved2: settings_.reservedText2 = textOf(v); return 0;
    case kReserved3: settings_.reserved3 = intOf(v); return 0;
    default: return 0;
    }
}

runtime::Value ComboBoxObject::property(int index) const
{
    using runtime::Value;
    const bool editable = combo_ && combo_->isEditable();
    switch (index) {
    case kStyle: return Value::integer(settings_.style);
    case kContent: return Value::text(content());
    case kMaxLength: return Value::integer(settings_.maxLength);
    case kSelectionStart:
        return Value::integer(editable ? (combo_->lineEdit()->hasSelectedText() ? combo_->lineEdit()->selectionStart()
                                                                                : combo_->lineEdit()->cursorPosition())
                                       : 0);
    case kSelectionLength: return Value::integer(editable ? int(gbkLength(combo_->lineEdit()->selectedText())) : 0);
    case kSelectedText: return Value::text(editable ? fromQString(combo_->lineEdit()->selectedText()) : std::string());
    case kSorted: return Value::logical(settings_.sorted != 0);
    case kExtraItemHeight: return Value::integer(settings_.extraItemHeight);
    case kTextColour: return Value::integer(std::int32_t(settings_.textColour));
    case kBackgroundColour: return Value::integer(std::int32_t(settings_.backgroundColour));
    case kFont: return fontValue(settings_.font);
    case kCurrentItem: return Value::integer(currentItem());
    case kItemList: return Value::byteSet(encodeItemList(currentSettings().items));
    case kItemValues: return Value::byteSet(currentSettings().itemData);
    case kReserved1: return Value::text(settings_.reservedText1);
    case kReserved2: return Value::text(settings_.reservedText2);
    case kReserved3: return Value::integer(settings_.reserved3);
    default: return {};
    }
}

namespace {

using namespace property_type;
constexpr std::array<PropertyDescriptor, 17> kComboBoxProperties = {{
    {"类型", "Style", kChoice},
    {"内容", "Content", kText},
    {"最大文本长度", "MaxLength", kInteger},
    {"起始选择位置", "SelStart", kInteger},
    {"被选择字符数", "SelLength", kInteger},
    {"被选择文本", "SelText", kText},
    {"自动排序", "Sorted", kLogical},
    {"行间距", "ItemHeight", kInteger},
    {"文本颜色", "TextColor", kColour},
    {"背景颜色", "BackColor", kBackgroundColour},
    {"字体", "Font", kFont},
    {"现行选中项", "ListIndex", kInteger},
    {"列表项目", "List", kKindData},
    {"项目数值", "ItemData", kKindData},
    {"", "", kText},
    {"", "", kText},
    {"", "", kInteger},
}};

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    auto s = settingsFor<ComboBoxSettings>(request);
    if (!s)
        return nullptr;
    return std::make_unique<ComboBoxObject>(request, *s);
}

int setProperty(ComponentObject& o, int index, const runtime::Value& v)
{
    return static_cast<ComboBoxObject&>(o).setProperty(index, v);
}

runtime::Value getProperty(const ComponentObject& o, int index)
{
    return static_cast<const ComboBoxObject&>(o).property(index);
}

UnitData currentUnitData(const ComponentObject& o) { return static_cast<const ComboBoxObject&>(o).currentSettings(); }

} // namespace

const UnitDescriptor& comboBoxKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::ComboBox),
                                           "组合框",
                                           "ComboBox",
                                           kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2,
                                           25,
                                           kComboBoxProperties,
                                           KindOperations{create, setProperty, currentUnitData, getProperty, nullptr}};
    return descriptor;
}

} // namespace qr::forms::kinds
