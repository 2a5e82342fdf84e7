#include "forms/registry/forms_application.h"

#include "forms/registry/registry_internal.h"

#include <QSessionManager>

namespace qr::forms {

FormsApplication::FormsApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // Windows come and go through the registry; the program ends when it says so.
    setQuitOnLastWindowClosed(false);
    // The end of the session asks every window as a close request would (event 1);
    // one refusal keeps the session going.
    connect(this, &QGuiApplication::commitDataRequest, this, [](QSessionManager& manager) {
        if (!detail::windowsAgreeToEndSession())
            manager.cancel();
    });
}

bool FormsApplication::notify(QObject* receiver, QEvent* event)
{
    if (detail::preTranslateInput(receiver, event))
        return true; // a handler refused the input
    return QApplication::notify(receiver, event);
}

} // namespace qr::forms
