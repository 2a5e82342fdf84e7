// The group box: a titled frame whose members are its child widgets, so hiding or
// disabling the box hides or disables them too.
#include "forms/kinds/group_box_properties.h"
#include "forms/kinds/kind_support.h"
#include "forms/kinds/standard_kinds.h"
#include "forms/registry/fonts.h"
#include "forms/registry/qt_text.h"

#include <QGroupBox>
#include <QPointer>

#include <array>

namespace qr::forms::kinds {
namespace {

using enum group_box_property::Index;

class GroupBoxObject : public ComponentObject {
public:
    GroupBoxObject(const CreateRequest& request, const GroupBoxSettings& settings)
        : ComponentObject(request.windowId, request.componentId)
        , settings_(settings)
    {
        box_ = new QGroupBox(request.parent);
        setWidget(box_);
        setChildHost(box_);
        prepareWidget(*box_, request, toQString(settings_.caption));
        apply();
    }

    GroupBoxSettings currentSettings() const { return settings_; }

    int setProperty(int index, const runtime::Value& v)
    {
        switch (index) {
        case kCaption: settings_.caption = textOf(v); break;
        case kAlignment: settings_.captionAlignment = intOf(v); break;
        case kTextColour: settings_.textColour = Colour(intOf(v)); break;
        case kBackgroundColour: settings_.backgroundColour = Colour(intOf(v)); break;
        case kFont: settings_.font = fontOf(v); break;
        default: return 0;
        }
        apply();
        return 0;
    }

    runtime::Value property(int index) const
    {
        using runtime::Value;
        switch (index) {
        case kCaption: return Value::text(settings_.caption);
        case kAlignment: return Value::integer(settings_.captionAlignment);
        case kTextColour: return Value::integer(std::int32_t(settings_.textColour));
        case kBackgroundColour: return Value::integer(std::int32_t(settings_.backgroundColour));
        case kFont: return fontValue(settings_.font);
        default: return {};
        }
    }

private:
    void apply()
    {
        const QString caption = toQString(settings_.caption);
        box_->setTitle(caption);
        box_->setAccessibleName(caption);
        box_->setFont(qtFont(settings_.font));
        const int a = settings_.captionAlignment;
        box_->setAlignment(a == 1 ? Qt::AlignHCenter : a == 2 ? Qt::AlignRight : Qt::AlignLeft);
        QPalette palette = box_->palette();
        if (auto c = qtColour(settings_.textColour))
            palette.setColor(QPalette::WindowText, *c);
        const auto background = qtColour(settings_.backgroundColour);
        if (background)
            palette.setColor(QPalette::Window, *background);
        box_->setPalette(palette);
        box_->setAutoFillBackground(background.has_value());
    }

    GroupBoxSettings settings_;
    QPointer<QGroupBox> box_;
};

using namespace property_type;
constexpr std::array<PropertyDescriptor, 5> kGroupBoxProperties = {{
    {"标题", "Caption", kText},
    {"标题对齐方式", "Alignment", kChoice},
    {"文本颜色", "TextColor", kColour},
    {"背景颜色", "BackColor", kBackgroundColour},
    {"字体", "Font", kFont},
}};

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    auto s = settingsFor<GroupBoxSettings>(request);
    if (!s)
        return nullptr;
    return std::make_unique<GroupBoxObject>(request, *s);
}

int setProperty(ComponentObject& o, int index, const runtime::Value& v)
{
    return static_cast<GroupBoxObject&>(o).setProperty(index, v);
}

runtime::Value getProperty(const ComponentObject& o, int index)
{
    return static_cast<const GroupBoxObject&>(o).property(index);
}

UnitData currentUnitData(const ComponentObject& o) { return static_cast<const GroupBoxObject&>(o).currentSettings(); }

} // namespace

const UnitDescriptor& groupBoxKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::GroupBox),
                                           "分组框",
                                           "GroupBox",
                                           kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2 |
                                               kind_flags::kMoveChildrenOnRecreate,
                                           13,
                                           kGroupBoxProperties,
                                           KindOperations{create, setProperty, currentUnitData, getProperty, nullptr}};
    return descriptor;
}

} // namespace qr::forms::kinds
