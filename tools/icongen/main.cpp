// Writes the program's icon into a hicolor theme folder: the scalable SVG and
// a PNG for every size desktops commonly ask for.

#include "gui/widgets/app_icon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: qvr_icongen HICOLOR_FOLDER\n", stderr);
        return 1;
    }
    const QDir hicolor(QString::fromLocal8Bit(argv[1]));
    const auto fail = [](const QString& path) {
        std::fprintf(stderr, "qvr_icongen: cannot write %s\n", qPrintable(path));
        return 1;
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = hicolor.filePath(QString("%1x%1/apps").arg(size));
        const QString path = folder + "/qvr.png";
        if (!QDir().mkpath(folder) || !qvr::appIconImage(size).save(path, "PNG"))
            return fail(path);
    }
    const QString folder = hicolor.filePath("scalable/apps");
    QFile svg(folder + "/qvr.svg");
    if (!QDir().mkpath(folder) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(qvr::appIconSvg().toUtf8()) < 0)
        return fail(svg.fileName());
    return 0;
}
