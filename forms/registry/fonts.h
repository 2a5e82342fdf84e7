// Template fonts on this desktop. Templates name Windows faces ("微软雅黑", "楷体",
// "黑体", "宋体", or none for the default face); each maps to an installed font
// that shows Chinese. Heights follow LOGFONTA: negative = character height in
// pixels, positive = cell height, 0 = the default size.
#pragma once

#include "forms/template/template_types.h"

#include <QFont>
#include <QString>

namespace qr::forms {

// The font a control shows for a stored font; no font is the default GUI font.
QFont qtFont(const Font& font);

// The default GUI font (a 12-pixel CJK face).
QFont defaultGuiFont();

// The installed family used for a Windows face name (GBK).
QString familyForFace(std::string_view faceGbk);

} // namespace qr::forms
