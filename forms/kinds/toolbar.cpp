#include "forms/kinds/toolbar.h"

#include "forms/kinds/kind_support.h"
#include "forms/kinds/standard_kinds.h"
#include "forms/kinds/toolbar_properties.h"
#include "forms/registry/fonts.h"
#include "forms/registry/qt_text.h"
#include "runtime/coding.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QToolButton>

#include <array>

namespace qr::forms {
namespace {

using enum toolbar_property::Index;

constexpr int kEmptyButtonWidth = 24; // a button without caption or image
constexpr int kCaptionPadding = 4;    // beside a caption, on each side

// A text button as wide as its caption and the platform toolbar's padding. Qt's own
// measure adds two blanks and the style's margins, which would push the main
// window's last buttons out of its 817-pixel toolbar.
class CaptionButton : public QToolButton {
public:
    using QToolButton::QToolButton;
    QSize sizeHint() const override
    {
        QSize size = QToolButton::sizeHint();
        if (!text().isEmpty())
            size.setWidth(fontMetrics().horizontalAdvance(text()) + 2 * kCaptionPadding);
        return size;
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

} // namespace

Bytes encodeToolBarButtons(const std::vector<ToolBarButton>& buttons)
{
    Bytes out;
    runtime::appendI32(out, std::int32_t(buttons.size()));
    for (const ToolBarButton& b : buttons) {
        runtime::appendI32(out, b.imageIndex);
        out.push_back(b.state);
        out.push_back(b.style);
        out.insert(out.end(), b.caption.begin(), b.caption.end());
        out.push_back(0);
        out.insert(out.end(), b.toolTip.begin(), b.toolTip.end());
        out.push_back(0);
    }
    return out;
}

std::optional<std::vector<ToolBarButton>> decodeToolBarButtons(const Bytes& block)
{
    std::vector<ToolBarButton> buttons;
    if (block.empty())
        return buttons;
    std::size_t pos = 0;
    auto i32 = [&](std::int32_t& v) {
        if (block.size() - pos < 4)
            return false;
        v = runtime::getI32(block.data() + pos);
        pos += 4;
        return true;
    };
    auto zText = [&](std::string& s) {
        auto end = std::find(block.begin() + long(pos), block.end(), std::uint8_t(0));
        if (end == block.end())
            return false;
        s.assign(block.begin() + long(pos), end);
        pos = std::size_t(end - block.begin()) + 1;
        return true;
    };
    std::int32_t count = 0;
    if (!i32(count) || count < 0)
        return std::nullopt;
    for (std::int32_t i = 0; i < count; ++i) {
        ToolBarButton b;
        if (!i32(b.imageIndex) || block.size() - pos < 2)
            return std::nullopt;
        b.state = block[pos++];
        b.style = block[pos++];
        if (!zText(b.caption) || !zText(b.toolTip))
            return std::nullopt;
        buttons.push_back(std::move(b));
    }
    return buttons;
}

ToolBarObject::ToolBarObject(const CreateRequest& request, const ToolBarSettings& settings)
    : ComponentObject(request.windowId, request.componentId)
    , settings_(settings)
{
    bar_ = new QFrame(request.parent);
    setWidget(bar_);
    kinds::prepareWidget(*bar_, request);
    // A toolbar placed partly above the client area keeps its buttons in view.
    topInset_ = std::max(0, -request.geometry.top);
    auto* layout = new QHBoxLayout(bar_);
    layout->setContentsMargins(2, topInset_, 2, 0);
    layout->setSpacing(1);
    build();
}

void ToolBarObject::build()
{
    QLayout* layout = bar_->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* old = item->widget()) {
            old->hide();
            old->deleteLater(); // a click handler of this very button may still be running
        }
        delete item;
    }
    buttons_.clear();
    const QFont font = qtFont(settings_.font);
    for (std::size_t i = 0; i < settings_.buttons.size(); ++i) {
        const ToolBarButton& b = settings_.buttons[i];
        if (b.isSeparator()) {
            auto* line = new QFrame(bar_);
            line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
            layout->addWidget(line);
            buttons_.emplace_back(nullptr);
            continue;
        }
        auto* button = new CaptionButton(bar_);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setFont(font);
        const QString caption = toQString(b.caption);
        button->setText(caption);
        button->setToolTip(toQString(b.toolTip));
        button->setObjectName(QStringLiteral("%1_%2").arg(bar_->objectName()).arg(i));
        button->setAccessibleName(caption.isEmpty() ? toQString(b.toolTip) : caption);
        button->setEnabled((b.state & 4) != 0);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        if (caption.isEmpty())
            button->setMinimumWidth(kEmptyButtonWidth);
        const int index = int(i);
        QObject::connect(button, &QToolButton::clicked, this,
                         [this, index] { raiseEvent(windowId(), componentId(), 0, {runtime::Value::integer(index)}); });
        layout->addWidget(button);
        buttons_.emplace_back(button);
    }
    static_cast<QHBoxLayout*>(layout)->addStretch(1);
    QPalette palette = bar_->palette();
    const auto background = kinds::qtColour(settings_.backgroundColour);
    if (background)
        palette.setColor(QPalette::Window, *background);
    bar_->setPalette(palette);
    bar_->setAutoFillBackground(background.has_value());
}

QToolButton* ToolBarObject::button(int index) const
{
    if (index < 0 || std::size_t(index) >= buttons_.size())
        return nullptr;
    return buttons_[std::size_t(index)];
}

int ToolBarObject::setProperty(int index, const runtime::Value& v)
{
    using namespace kinds;
    switch (index) {
    case kBackgroundColour: settings_.backgroundColour = Colour(intOf(v)); break;
    case kFont: settings_.font = fontOf(v); break;
    case kNormalImages: settings_.normalImages = bytesOf(v); return 0;
    case kHotImages: settings_.hotImages = bytesOf(v); return 0;
    case kButtons: {
        auto decoded = decodeToolBarButtons(bytesOf(v));
        if (!decoded)
            return 0; // a damaged list leaves the buttons as they are
        settings_.buttons = std::move(*decoded);
        break;
    }
    case kFifthBlock: settings_.fifthBlock = bytesOf(v); return 0;
    default:
        if (index >= kFirstSetting && index <= kLastSetting)
            settings_.settings[std::size_t(index - kFirstSetting)] = intOf(v);
        return 0;
    }
    build();
    return 0;
}

runtime::Value ToolBarObject::property(int index) const
{
    using runtime::Value;
    switch (index) {
    case kBackgroundColour: return Value::integer(std::int32_t(settings_.backgroundColour));
    case kFont: return kinds::fontValue(settings_.font);
    case kNormalImages: return Value::byteSet(settings_.normalImages);
    case kHotImages: return Value::byteSet(settings_.hotImages);
    case kButtons: return Value::byteSet(encodeToolBarButtons(settings_.buttons));
    case kFifthBlock: return Value::byteSet(settings_.fifthBlock);
    default:
        if (index >= kFirstSetting && index <= kLastSetting)
            return Value::integer(settings_.settings[std::size_t(index - kFirstSetting)]);
        return {};
    }
}

namespace kinds {
namespace {

namespace pt = property_type;
constexpr std::array<PropertyDescriptor, 12> kToolBarProperties = {{
    {"背景颜色", "BackColor", pt::kBackgroundColour},
    {"", "", pt::kChoice},
    {"", "", pt::kChoice},
    {"", "", pt::kChoice},
    {"", "", pt::kChoice},
    {"", "", pt::kChoice},
    {"", "", pt::kChoice},
    {"字体", "Font", pt::kFont},
    {"普通图片组", "ImageList", pt::kKindData},
    {"热点图片组", "HotImageList", pt::kKindData},
    {"按钮", "Buttons", pt::kKindData2},
    {"", "", pt::kKindData},
}};

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    auto s = settingsFor<ToolBarSettings>(request);
    if (!s)
        return nullptr;
    return std::make_unique<ToolBarObject>(request, *s);
}

int setProperty(ComponentObject& o, int index, const runtime::Value& v)
{
    return static_cast<ToolBarObject&>(o).setProperty(index, v);
}

runtime::Value getProperty(const ComponentObject& o, int index)
{
    return static_cast<const ToolBarObject&>(o).property(index);
}

UnitData currentUnitData(const ComponentObject& o) { return static_cast<const ToolBarObject&>(o).settings(); }

} // namespace

const UnitDescriptor& toolBarKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::ToolBar),
                                           "工具条",
                                           "ToolBar",
                                           kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2,
                                           20,
                                           kToolBarProperties,
                                           KindOperations{create, setProperty, currentUnitData, getProperty, nullptr}};
    return descriptor;
}

} // namespace kinds
} // namespace qr::forms
