// Small pieces every kind uses: colours, edge styles, value access, and the
// create-time steps that all controls share (geometry, naming, hidden start).
#pragma once

#include "forms/registry/component_kind.h"
#include "forms/template/template_types.h"
#include "runtime/value.h"

#include <QColor>
#include <QString>

#include <optional>
#include <string>

class QWidget;
class QFrame;

namespace qr::forms::kinds {

// 0x00BBGGRR to a Qt colour; nullopt for the default colour (0xFF000000).
std::optional<QColor> qtColour(Colour colour);

// Edge styles 0 none .. 5 single line; written values above 5 become 5, negative 0.
int clampEdgeStyle(std::int32_t style);
// Draws the edge style as the frame of a QFrame-based control.
void applyEdgeStyle(QFrame& frame, int edgeStyle);
// The same edge as a style-sheet border rule, for controls that are not frames.
QString edgeStyleSheet(int edgeStyle);

// Values as the registry hands them over (already of the property's type).
std::int32_t intOf(const runtime::Value& v);
bool logicalOf(const runtime::Value& v);
std::string textOf(const runtime::Value& v);
Bytes bytesOf(const runtime::Value& v);
runtime::Value fontValue(const Font& font); // empty byte set for the default font
Font fontOf(const runtime::Value& v);

// Positions the fresh control, names it for screen readers, applies the disabled
// style bit and leaves it hidden for the registry to show.
void prepareWidget(QWidget& widget, const CreateRequest& request, const QString& caption = {});

// The settings a kind is created from: the request's settings of type T, the
// defaults when the block was empty, or nullopt when they are of another kind or
// the record's block was rejected (the load then fails).
template <class T> std::optional<T> settingsFor(const CreateRequest& request)
{
    if (request.record && request.record->unitStatus != UnitDataStatus::Accepted)
        return std::nullopt;
    if (!request.settings || std::holds_alternative<std::monostate>(*request.settings))
        return T{};
    if (const T* s = std::get_if<T>(request.settings))
        return *s;
    return std::nullopt;
}

// The record's name (GBK) or empty.
std::string componentName(const CreateRequest& request);

} // namespace qr::forms::kinds
