#include "forms/registry/forms_application.h"

#include "forms/registry/registry_internal.h"

namespace qr::forms {

FormsApplication::FormsApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // Windows come and go through the registry; the program ends when it says so.
    setQuitOnLastWindowClosed(false);
}

bool FormsApplication::notify(QObject* receiver, QEvent* event)
{
    if (detail::preTranslateInput(receiver, event))
        return true; // a handler refused the input
    return QApplication::notify(receiver, event);
}

} // namespace qr::forms
