// The label: static text on a transparent background unless a colour is stored.
// Of the stored settings this control draws: 9 edge style, 16 text colour,
// 17 background colour, 18 background picture, 24 horizontal alignment (0 left,
// 1 centred, 2 right), 25 word wrap, 26 vertical alignment (0 top, 1 centred,
// 2 bottom); the others are kept and given back as stored.
#include "forms/kinds/image/picture_decoder.h"
#include "forms/kinds/kind_support.h"
#include "forms/kinds/label_properties.h"
#include "forms/kinds/standard_kinds.h"
#include "forms/registry/fonts.h"
#include "forms/registry/qt_text.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>

#include <array>

namespace qr::forms::kinds {
namespace {

using enum label_property::Index;

class LabelWidget : public QLabel {
public:
    using QLabel::QLabel;
    QImage background;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!background.isNull()) {
            QPainter painter(this);
            painter.drawImage(rect(), background);
        }
        QLabel::paintEvent(event);
    }
};

class LabelObject : public ComponentObject {
public:
    LabelObject(const CreateRequest& request, const LabelSettings& settings)
        : ComponentObject(request.windowId, request.componentId)
        , settings_(settings)
    {
        label_ = new LabelWidget(request.parent);
        setWidget(label_);
        prepareWidget(*label_, request, toQString(settings_.caption));
        label_->setTextFormat(Qt::PlainText);
        apply();
    }

    LabelSettings currentSettings() const { return settings_; }

    int setProperty(int index, const runtime::Value& v)
    {
        const int number = index + 8;
        if (index == kCaption) {
            settings_.caption = textOf(v);
        } else if (index == kFont) {
            settings_.font = fontOf(v);
        } else if (index == kBackgroundPicture) {
            settings_.backgroundPicture = bytesOf(v);
        } else if (index == kReserved1 || index == kReserved2) {
            (index == kReserved1 ? settings_.reservedText1 : settings_.reservedText2) = textOf(v);
        } else if (int pos = position(number); pos >= 0) {
            settings_.settings[std::size_t(pos)] = intOf(v);
        }
        apply();
        return 0;
    }

    runtime::Value property(int index) const
    {
        using runtime::Value;
        const int number = index + 8;
        if (index == kCaption)
            return Value::text(settings_.caption);
        if (index == kFont)
            return fontValue(settings_.font);
        if (index == kBackgroundPicture)
            return Value::byteSet(settings_.backgroundPicture);
        if (index == kReserved1 || index == kReserved2)
            return Value::text(index == kReserved1 ? settings_.reservedText1 : settings_.reservedText2);
        if (int pos = position(number); pos >= 0)
            return Value::integer(settings_.settings[std::size_t(pos)]);
        return {};
    }

private:
    static int position(int property)
    {
        for (std::size_t i = 0; i < LabelSettings::kSettingProperty.size(); ++i)
            if (LabelSettings::kSettingProperty[i] == property)
                return int(i);
        return -1;
    }
    std::int32_t setting(int property) const { return settings_.settingForProperty(property).value_or(0); }

    void apply()
    {
        label_->setText(toQString(settings_.caption));
        if (!settings_.caption.empty())
            label_->setAccessibleName(label_->text());
        label_->setFont(qtFont(settings_.font));
        applyEdgeStyle(*label_, setting(9));
        QPalette palette = label_->palette();
        if (auto c = qtColour(settings_.textColour()))
            palette.setColor(QPalette::WindowText, *c);
        const auto background = qtColour(settings_.backgroundColour());
        if (background)
            palette.setColor(QPalette::Window, *background);
        label_->setPalette(palette);
        // The default colour means transparent: the window shows through.
        label_->setAutoFillBackground(background.has_value());
        label_->background = decodePictureFile(settings_.backgroundPicture);
        const std::int32_t h = setting(24), v = setting(26);
        label_->setAlignment((h == 1   ? Qt::AlignHCenter
                              : h == 2 ? Qt::AlignRight
                                       : Qt::AlignLeft) |
                             (v == 1   ? Qt::AlignVCenter
                              : v == 2 ? Qt::AlignBottom
                                       : Qt::AlignTop));
        label_->setWordWrap(setting(25) != 0);
        label_->update();
    }

    LabelSettings settings_;
    QPointer<LabelWidget> label_;
};

using namespace property_type;
constexpr std::array<PropertyDescriptor, 21> kLabelProperties = {{
    {"标题", "Caption", kText},
    {"边框", "Border", kChoice},
    {"效果", "Effect", kChoice},
    {"边框宽度", "EdgeWidth", kInteger},
    {"", "", kColour},
    {"", "", kColour},
    {"", "", kColour},
    {"字体", "Font", kFont},
    {"文本颜色", "TextColor", kColour},
    {"背景颜色", "BackColor", kBackgroundColour},
    {"底图", "Picture", kPicture},
    {"", "", kChoice},
    {"", "", kChoice},
    {"", "", kColour},
    {"", "", kColour},
    {"", "", kColour},
    {"横向对齐方式", "Alignment", kChoice},
    {"是否自动折行", "WordWrap", kLogical},
    {"纵向对齐方式", "VAlignment", kChoice},
    {"", "", kText},
    {"", "", kText},
}};

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    auto s = settingsFor<LabelSettings>(request);
    if (!s)
        return nullptr;
    return std::make_unique<LabelObject>(request, *s);
}

int setProperty(ComponentObject& o, int index, const runtime::Value& v)
{
    return static_cast<LabelObject&>(o).setProperty(index, v);
}

runtime::Value getProperty(const ComponentObject& o, int index)
{
    return static_cast<const LabelObject&>(o).property(index);
}

UnitData currentUnitData(const ComponentObject& o) { return static_cast<const LabelObject&>(o).currentSettings(); }

} // namespace

const UnitDescriptor& labelKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::Label),
                                           "标签",
                                           "Label",
                                           kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2 |
                                               kind_flags::kDragsWindow,
                                           29,
                                           kLabelProperties,
                                           KindOperations{create, setProperty, currentUnitData, getProperty, nullptr}};
    return descriptor;
}

} // namespace qr::forms::kinds
