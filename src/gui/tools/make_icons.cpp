// Writes the program's icon as <dir>/<N>x<N>/apps/varno.png for the install.
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

#include "gui/paint/AppIcon.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: varno-make-icons DIR\n");
        return 2;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(dir) || !appIconImage(size).save(dir + QStringLiteral("/varno.png"))) {
            std::fprintf(stderr, "varno-make-icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
