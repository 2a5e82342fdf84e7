// Names for screen readers and tests: objectName and accessibleDescription carry
// the component name ("编辑框_姓名"); accessibleName what a person calls it.
#pragma once

#include <QString>

#include <string_view>

class QWidget;

namespace qr::forms {

// The purpose after the first "_" of a component name, or the name itself.
QString purposeOf(std::string_view componentNameGbk);

// Sets objectName and accessibleDescription to the name; accessibleName to
// `caption` when it is not empty, else to the purpose.
void nameWidget(QWidget* widget, std::string_view componentNameGbk, const QString& caption = {});

} // namespace qr::forms
