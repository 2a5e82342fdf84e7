// The push button; a click raises event 0.
#include "forms/kinds/button_properties.h"
#include "forms/kinds/image/picture_decoder.h"
#include "forms/kinds/kind_support.h"
#include "forms/kinds/standard_kinds.h"
#include "forms/registry/fonts.h"
#include "forms/registry/qt_text.h"

#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include <array>

namespace qr::forms::kinds {
namespace {

using enum button_property::Index;

class ButtonObject : public ComponentObject {
public:
    ButtonObject(const CreateRequest& request, const ButtonSettings& settings)
        : ComponentObject(request.windowId, request.componentId)
        , settings_(settings)
    {
        button_ = new QPushButton(request.parent);
        button_->setAutoDefault(false);
        setWidget(button_);
        prepareWidget(*button_, request, toQString(settings_.caption));
        QObject::connect(button_, &QPushButton::clicked, this, [this] { raiseEvent(windowId(), componentId(), 0); });
        apply();
    }

    ButtonSettings currentSettings() const { return settings_; }

    int setProperty(int index, const runtime::Value& v)
    {
        switch (index) {
        case kPicture: settings_.picture = bytesOf(v); break;
        case kType: settings_.buttonType = intOf(v); break;
        case kCaption: settings_.caption = textOf(v); break;
        case kHorizontal: settings_.horizontalAlignment = intOf(v); break;
        case kVertical: settings_.verticalAlignment = intOf(v); break;
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
        case kPicture: return Value::byteSet(settings_.picture);
        case kType: return Value::integer(settings_.buttonType);
        case kCaption: return Value::text(settings_.caption);
        case kHorizontal: return Value::integer(settings_.horizontalAlignment);
        case kVertical: return Value::integer(settings_.verticalAlignment);
        case kFont: return fontValue(settings_.font);
        default: return {};
        }
    }

private:
    void apply()
    {
        const QString caption = toQString(settings_.caption);
        button_->setText(caption);
        button_->setAccessibleName(caption);
        button_->setFont(qtFont(settings_.font));
        button_->setDefault(settings_.buttonType == 1);
        const QImage picture = decodePictureFile(settings_.picture);
        button_->setIcon(picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture)));
        if (!picture.isNull())
            button_->setIconSize(picture.size().boundedTo(button_->size() - QSize(6, 6)));
        const int h = settings_.horizontalAlignment;
        button_->setStyleSheet(h == 1   ? QString()
                               : h == 0 ? QStringLiteral("QPushButton { text-align: left; padding-left: 4px; }")
                                        : QStringLiteral("QPushButton { text-align: right; padding-right: 4px; }"));
    }

    ButtonSettings settings_;
    QPointer<QPushButton> button_;
};

using namespace property_type;
constexpr std::array<PropertyDescriptor, 6> kButtonProperties = {{
    {"图片", "Picture", kPicture},
    {"类型", "Type", kChoice},
    {"标题", "Caption", kText},
    {"横向对齐方式", "Alignment", kChoice},
    {"纵向对齐方式", "VAlignment", kChoice},
    {"字体", "Font", kFont},
}};

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    auto s = settingsFor<ButtonSettings>(request);
    if (!s)
        return nullptr;
    return std::make_unique<ButtonObject>(request, *s);
}

int setProperty(ComponentObject& o, int index, const runtime::Value& v)
{
    return static_cast<ButtonObject&>(o).setProperty(index, v);
}

runtime::Value getProperty(const ComponentObject& o, int index)
{
    return static_cast<const ButtonObject&>(o).property(index);
}

UnitData currentUnitData(const ComponentObject& o) { return static_cast<const ButtonObject&>(o).currentSettings(); }

} // namespace

const UnitDescriptor& buttonKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::Button),
                                           "按钮",
                                           "Button",
                                           kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2,
                                           14,
                                           kButtonProperties,
                                           KindOperations{create, setProperty, currentUnitData, getProperty, nullptr}};
    return descriptor;
}

} // namespace qr::forms::kinds
