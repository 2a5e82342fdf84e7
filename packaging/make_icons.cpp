// quillroll-make-icons DIR: the program icon in the hicolor layout under DIR, for the
// package. Run by the build; needs no display.
#include "app/catalogue/catalogue.h"
#include "packaging/icon_set.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // The application object lets the image reader find its format plugins.
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillroll-make-icons DIR\n");
        return 2;
    }
    const QImage icon = qr::packaging::largestIconImage(qr::catalogue::programIconBytes());
    if (icon.isNull()) {
        std::fprintf(stderr, "quillroll-make-icons: the program icon holds no readable image\n");
        return 1;
    }
    QString error;
    if (!qr::packaging::writeIconSet(icon, QString::fromLocal8Bit(argv[1]),
                                     QStringLiteral("io.github.quillroll.Quillroll"), &error)) {
        std::fprintf(stderr, "quillroll-make-icons: cannot write %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
