#include "probe_kinds.h"

#include "forms/registry/component_kind.h"
#include "forms/registry/qt_text.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace qr::forms::testing {
namespace {

using runtime::Value;
namespace t = property_type;

// ---- button: 8 picture, 9 type, 10 caption, 11, 12 alignments, 13 font ----

class ProbeButton : public ComponentObject {
public:
    ProbeButton(const CreateRequest& r, const ButtonSettings& s)
        : ComponentObject(r.windowId, r.componentId)
        , settings(s)
    {
        button = new QPushButton(toQString(s.caption), r.parent);
        button->setGeometry(r.geometry.left, r.geometry.top, r.geometry.width, r.geometry.height);
        button->setEnabled(!(r.style & create_style::kDisabled));
        button->setAccessibleName(button->text());
        setWidget(button);
        QObject::connect(button, &QPushButton::clicked, this, [this] { raiseEvent(windowId(), componentId(), 0); });
    }
    ButtonSettings settings;
    QPushButton* button;
};

std::unique_ptr<ComponentObject> createButton(const CreateRequest& r)
{
    creationLog().push_back(r.controlId);
    const auto* s = std::get_if<ButtonSettings>(r.settings);
    return s ? std::make_unique<ProbeButton>(r, *s) : nullptr;
}

int setButton(ComponentObject& o, int index, const Value& v)
{
    auto& b = static_cast<ProbeButton&>(o);
    switch (index) {
    case 1: b.settings.buttonType = v.asInteger(); return 1; // the style needs a new control
    case 2:
        b.settings.caption = v.asText();
        b.button->setText(toQString(v.asText()));
        return 0;
    case 5: {
        const auto& bytes = v.asByteSet();
        b.settings.font = decodeLogFont(bytes.data(), bytes.size());
        return 0;
    }
    default: return 0;
    }
}

Value getButton(const ComponentObject& o, int index)
{
    const auto& b = static_cast<const ProbeButton&>(o);
    switch (index) {
    case 1: return Value::integer(b.settings.buttonType);
    case 2: return Value::text(fromQString(b.button->text()));
    case 5: {
        const Bytes bytes = b.settings.font ? encodeLogFont(*b.settings.font) : Bytes{};
        return Value::byteSet(runtime::ByteSet(bytes.begin(), bytes.end()));
    }
    default: return Value::integer(-7); // raw value the registry must convert
    }
}

UnitData buttonUnitData(const ComponentObject& o) { return static_cast<const ProbeButton&>(o).settings; }

constexpr std::array<PropertyDescriptor, 6> kButtonProperties = {{
    {{}, {}, t::kPicture, 0},
    {{}, {}, t::kChoice, 0},
    {{}, {}, t::kText, 0},
    {{}, {}, t::kChoice, 0},
    {{}, {}, t::kChoice, 0},
    {{}, {}, t::kFont, 0},
}};

const UnitDescriptor kButton{
    std::uint32_t(UnitKind::Button),
    "按钮",
    "Button",
    kind_flags::kRaisesEvents,
    14,
    kButtonProperties,
    KindOperations{createButton, setButton, buttonUnitData, getButton, nullptr},
};

// ---- edit box: 8 content, the rest unused here ----

class ProbeEdit : public ComponentObject {
public:
    ProbeEdit(const CreateRequest& r, const EditBoxSettings& s)
        : ComponentObject(r.windowId, r.componentId)
        , settings(s)
    {
        edit = new QLineEdit(toQString(s.content), r.parent);
        edit->setGeometry(r.geometry.left, r.geometry.top, r.geometry.width, r.geometry.height);
        setWidget(edit);
    }
    EditBoxSettings settings;
    QLineEdit* edit;
};

std::unique_ptr<ComponentObject> createEdit(const CreateRequest& r)
{
    creationLog().push_back(r.controlId);
    const auto* s = std::get_if<EditBoxSettings>(r.settings);
    return s ? std::make_unique<ProbeEdit>(r, *s) : nullptr;
}

int setEdit(ComponentObject& o, int index, const Value& v)
{
    if (index == 0)
        static_cast<ProbeEdit&>(o).edit->setText(toQString(v.asText()));
    return 0;
}

Value getEdit(const ComponentObject& o, int index)
{
    if (index == 0)
        return Value::text(fromQString(static_cast<const ProbeEdit&>(o).edit->text()));
    return {};
}

UnitData editUnitData(const ComponentObject& o)
{
    auto settings = static_cast<const ProbeEdit&>(o).settings;
    settings.content = fromQString(static_cast<const ProbeEdit&>(o).edit->text());
    return settings;
}

bool editWantsKey(const ComponentObject& o, int key)
{
    const auto& e = static_cast<const ProbeEdit&>(o);
    return key == 13 && e.settings.multiLine != 0 && e.settings.inputMode != 1;
}

constexpr std::array<PropertyDescriptor, 21> kEditProperties = [] {
    std::array<PropertyDescriptor, 21> p{};
    for (auto& d : p)
        d.type = t::kInteger;
    p[0].type = t::kText;
    return p;
}();

const UnitDescriptor kEdit{
    std::uint32_t(UnitKind::EditBox),
    "编辑框",
    "EditBox",
    kind_flags::kRaisesEvents,
    29,
    kEditProperties,
    KindOperations{createEdit, setEdit, editUnitData, getEdit, editWantsKey},
};

// ---- container (group box): members are placed inside its frame ----

class ProbeGroup : public ComponentObject {
public:
    ProbeGroup(const CreateRequest& r)
        : ComponentObject(r.windowId, r.componentId)
    {
        auto* frame = new QFrame(r.parent);
        frame->setGeometry(r.geometry.left, r.geometry.top, r.geometry.width, r.geometry.height);
        setWidget(frame);
    }
};

std::unique_ptr<ComponentObject> createGroup(const CreateRequest& r)
{
    creationLog().push_back(r.controlId);
    return std::make_unique<ProbeGroup>(r);
}

constexpr std::array<PropertyDescriptor, 5> kGroupProperties = {{
    {{}, {}, t::kText, 0},
    {{}, {}, t::kChoice, 0},
    {{}, {}, t::kColour, 0},
    {{}, {}, t::kBackgroundColour, 0},
    {{}, {}, t::kFont, 0},
}};

const UnitDescriptor kGroup{
    std::uint32_t(UnitKind::GroupBox),
    "分组框",
    "GroupBox",
    kind_flags::kRaisesEvents,
    13,
    kGroupProperties,
    KindOperations{createGroup, nullptr, nullptr, nullptr, nullptr},
};

// ---- a kind that cannot build its control ----

std::unique_ptr<ComponentObject> createNothing(const CreateRequest& r)
{
    creationLog().push_back(r.controlId);
    return nullptr;
}

const UnitDescriptor kFailing{
    kFailingKindCode,
    "图片框",
    "PicBox",
    kind_flags::kRaisesEvents,
    8,
    {},
    KindOperations{createNothing, nullptr, nullptr, nullptr, nullptr},
};

} // namespace

std::vector<int>& creationLog()
{
    static std::vector<int> log;
    return log;
}

void registerProbeKinds()
{
    registerKind(kButton);
    registerKind(kEdit);
    registerKind(kGroup);
    registerKind(kFailing);
}

} // namespace qr::forms::testing
