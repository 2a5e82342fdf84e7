#include "forms/kinds/kind_support.h"

#include "forms/registry/accessibility.h"

#include <QFrame>
#include <QWidget>

namespace qr::forms::kinds {

std::optional<QColor> qtColour(Colour colour)
{
    if (colour == kDefaultColour)
        return std::nullopt;
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

int clampEdgeStyle(std::int32_t style) { return style < 0 ? 0 : style > 5 ? 5 : int(style); }

void applyEdgeStyle(QFrame& frame, int edgeStyle)
{
    switch (clampEdgeStyle(edgeStyle)) {
    case 0: frame.setFrameStyle(QFrame::NoFrame); break;
    case 1:
        frame.setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame.setLineWidth(2);
        break;
    case 2:
        frame.setFrameStyle(QFrame::Panel | QFrame::Raised);
        frame.setLineWidth(2);
        break;
    case 3:
        frame.setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame.setLineWidth(1);
        break;
    case 4:
        frame.setFrameStyle(QFrame::WinPanel | QFrame::Raised);
        frame.setLineWidth(3);
        break;
    default:
        frame.setFrameStyle(QFrame::Box | QFrame::Plain);
        frame.setLineWidth(1);
        break;
    }
}

QString edgeStyleSheet(int edgeStyle)
{
    switch (clampEdgeStyle(edgeStyle)) {
    case 0: return QStringLiteral("border: none;");
    case 1: return QStringLiteral("border: 2px inset #a0a0a0;");
    case 2: return QStringLiteral("border: 2px outset #d0d0d0;");
    case 3: return QStringLiteral("border: 1px inset #a0a0a0;");
    case 4: return QStringLiteral("border: 3px ridge #c0c0c0;");
    default: return QStringLiteral("border: 1px solid #000000;");
    }
}

std::int32_t intOf(const runtime::Value& v)
{
    if (v.kind() == runtime::Kind::Integer)
        return v.asInteger();
    if (v.kind() == runtime::Kind::Logical)
        return v.asLogical() ? 1 : 0;
    if (v.isNumeric())
        return std::int32_t(v.numericAsInt64());
    return 0;
}

bool logicalOf(const runtime::Value& v)
{
    if (v.kind() == runtime::Kind::Logical)
        return v.asLogical();
    return intOf(v) != 0;
}

std::string textOf(const runtime::Value& v) { return v.kind() == runtime::Kind::Text ? v.asText() : std::string(); }

Bytes bytesOf(const runtime::Value& v) { return v.kind() == runtime::Kind::ByteSet ? v.asByteSet() : Bytes(); }

runtime::Value fontValue(const Font& font) { return runtime::Value::byteSet(font ? encodeLogFont(*font) : Bytes()); }

Font fontOf(const runtime::Value& v)
{
    Bytes b = bytesOf(v);
    return decodeLogFont(b.data(), b.size());
}

std::string componentName(const CreateRequest& request)
{
    return request.record ? request.record->name : std::string();
}

void prepareWidget(QWidget& widget, const CreateRequest& request, const QString& caption)
{
    if (request.parent && widget.parentWidget() != request.parent)
        widget.setParent(request.parent);
    widget.setGeometry(request.geometry.left, request.geometry.top, std::max(0, request.geometry.width),
                       std::max(0, request.geometry.height));
    widget.setEnabled((request.style & create_style::kDisabled) == 0);
    if (!(request.style & create_style::kTabStop))
        widget.setFocusPolicy(widget.focusPolicy() == Qt::NoFocus ? Qt::NoFocus : Qt::ClickFocus);
    nameWidget(&widget, componentName(request), caption);
    widget.hide();
}

} // namespace qr::forms::kinds
