#include "forms/registry/accessibility.h"

#include "forms/registry/qt_text.h"

#include <QWidget>

namespace qr::forms {

QString purposeOf(std::string_view componentNameGbk)
{
    const QString name = toQString(componentNameGbk);
    const qsizetype underscore = name.indexOf(u'_');
    return underscore < 0 ? name : name.mid(underscore + 1);
}

void nameWidget(QWidget* widget, std::string_view componentNameGbk, const QString& caption)
{
    if (widget == nullptr)
        return;
    const QString name = toQString(componentNameGbk);
    widget->setObjectName(name);
    widget->setAccessibleDescription(name);
    widget->setAccessibleName(caption.isEmpty() ? purposeOf(componentNameGbk) : caption);
}

} // namespace qr::forms
