// The program's QApplication. Input passes through notify() before any widget
// sees it, which is where the registry raises the common input events (-1 .. -12)
// and where a refusing handler swallows the input. The application, the tests and
// the screenshot tool all create this instead of a plain QApplication.
#pragma once

#include <QApplication>

namespace qr::forms {

class FormsApplication : public QApplication {
public:
    FormsApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace qr::forms
