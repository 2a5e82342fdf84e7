// The picture box. The picture property keeps the bytes as written and gives
// them back unchanged; the decoded image is only for drawing.
#include "forms/kinds/image/picture_decoder.h"
#include "forms/kinds/kind_support.h"
#include "forms/kinds/picture_box_properties.h"
#include "forms/kinds/picture_view.h"
#include "forms/kinds/standard_kinds.h"

#include <QPointer>

#include <array>

namespace qr::forms::kinds {
namespace {

using enum picture_box_property::Index;

class PictureBoxObject : public ComponentObject {
public:
    PictureBoxObject(const CreateRequest& request, const PictureBoxSettings& settings)
        : ComponentObject(request.windowId, request.componentId)
        , settings_(settings)
    {
        view_ = new PictureView(request.parent);
        setWidget(view_);
        prepareWidget(*view_, request);
        settings_.borderStyle = clampEdgeStyle(settings_.borderStyle);
        applyEdgeStyle(*view_, settings_.borderStyle);
        view_->setBackground(qtColour(settings_.backgroundColour));
        view_->setDisplayMode(DisplayMode(std::clamp(settings_.displayMode, 0, 2)));
        view_->setPicture(decodePictureFile(settings_.picture));
    }

    PictureBoxSettings currentSettings() const { return settings_; }

    int setProperty(int index, const runtime::Value& v)
    {
        switch (index) {
        case kBorder:
            settings_.borderStyle = clampEdgeStyle(intOf(v));
            applyEdgeStyle(*view_, settings_.borderStyle);
            return 0;
        case kBackgroundColour:
            settings_.backgroundColour = Colour(intOf(v));
            view_->setBackground(qtColour(settings_.backgroundColour));
            return 0;
        case kPicture:
            // An empty byte set clears the picture; bytes that are no picture
            // are kept all the same and show nothing.
            settings_.picture = bytesOf(v);
            view_->setPicture(decodePictureFile(settings_.picture));
            return 0;
        case kDisplayMode:
            settings_.displayMode = std::clamp(intOf(v), 0, 2);
            view_->setDisplayMode(DisplayMode(settings_.displayMode));
            return 0;
        case kAnimate: settings_.animate = logicalOf(v); return 0;
        case kReserved1: settings_.reservedText1 = textOf(v); return 0;
        case kReserved2: settings_.reservedText2 = textOf(v); return 0;
        default: return 0;
        }
    }

    runtime::Value property(int index) const
    {
        using runtime::Value;
        switch (index) {
        case kBorder: return Value::integer(settings_.borderStyle);
        case kBackgroundColour: return Value::integer(std::int32_t(settings_.backgroundColour));
        case kPicture: return Value::byteSet(settings_.picture);
        case kDisplayMode: return Value::integer(settings_.displayMode);
        case kAnimate: return Value::logical(settings_.animate != 0);
        case kReserved1: return Value::text(settings_.reservedText1);
        case kReserved2: return Value::text(settings_.reservedText2);
        default: return {};
        }
    }

private:
    PictureBoxSettings settings_;
    QPointer<PictureView> view_;
};

using namespace property_type;
constexpr std::array<PropertyDescriptor, 7> kPictureBoxProperties = {{
    {"边框", "Border", kChoice},
    {"背景颜色", "BackColor", kBackgroundColour},
    {"图片", "Picture", kPicture},
    {"显示方式", "DisplayMode", kChoice},
    {"播放动画", "Animate", kLogical},
    {"", "", kText},
    {"", "", kText},
}};

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    auto s = settingsFor<PictureBoxSettings>(request);
    if (!s)
        return nullptr;
    return std::make_unique<PictureBoxObject>(request, *s);
}

int setProperty(ComponentObject& o, int index, const runtime::Value& v)
{
    return static_cast<PictureBoxObject&>(o).setProperty(index, v);
}

runtime::Value getProperty(const ComponentObject& o, int index)
{
    return static_cast<const PictureBoxObject&>(o).property(index);
}

UnitData currentUnitData(const ComponentObject& o) { return static_cast<const PictureBoxObject&>(o).currentSettings(); }

} // namespace

const UnitDescriptor& pictureBoxKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::PictureBox),
                                           "图片框",
                                           "PicBox",
                                           kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2 |
                                               kind_flags::kDragsWindow,
                                           15,
                                           kPictureBoxProperties,
                                           KindOperations{create, setProperty, currentUnitData, getProperty, nullptr}};
    return descriptor;
}

} // namespace qr::forms::kinds
