// quillroll-shot WINDOW-ID OUT.png
//
// Loads one window of the program's template store offscreen, exactly as the
// template builds it (no handler runs), with the control look start-up switches on,
// and saves a screenshot of it as PNG.
// The id is written as in the catalogue, e.g. 0x5201003C.
#include "tools/shot/window_shot.h"

#include "app/catalogue/catalogue.h"
#include "forms/kinds/control_look.h"
#include "forms/registry/component_kind.h"
#include "forms/registry/forms_application.h"
#include "forms/registry/window_registry.h"

#include <QImageWriter>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool parseWindowId(const char* text, std::uint32_t& id)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 0);
    if (end == text || *end != '\0' || value > 0xFFFFFFFFul)
        return false;
    id = std::uint32_t(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillroll-shot WINDOW-ID OUT.png\n");
        return 2;
    }
    std::uint32_t windowId = 0;
    if (!parseWindowId(argv[1], windowId)) {
        std::fprintf(stderr, "quillroll-shot: not a window id: %s\n", argv[1]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qr::forms::FormsApplication app(argc, argv);
    qr::forms::registerStandardKinds();
    qr::forms::initFormsRuntime(qr::catalogue::templateStoreBytes());
    // The look the program's start-up switches on, so the picture shows what users see.
    qr::forms::controlLook(1);

    // A modal window would wait for its own closing; a picture needs it shown only.
    if (!qr::forms::loadWindow(windowId)) {
        std::fprintf(stderr, "quillroll-shot: window %s cannot be loaded\n", argv[1]);
        return 1;
    }
    // Let layouts and pictures settle before the grab.
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();

    const QImage shot = qr::tools::shootWindow(windowId);
    qr::forms::destroyAllWindows();
    if (shot.isNull()) {
        std::fprintf(stderr, "quillroll-shot: window %s was not shown\n", argv[1]);
        return 1;
    }
    QImageWriter writer(QString::fromLocal8Bit(argv[2]), "png");
    if (!writer.write(shot)) {
        std::fprintf(stderr, "quillroll-shot: cannot write %s: %s\n", argv[2],
                     writer.errorString().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
