// Draws the Carbon skin: every image the program's windows paint, written
// under the folder given on the command line. With --preview it writes
// contact sheets of the composed windows instead.

#include "preview.h"
#include "skin_table.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {

int writeSkin(const QString& folder) {
    using namespace qvr::skingen;
    int written = 0;
    for (const SkinImage& row : buildSkinTable()) {
        const QString file = folder + row.path;
        if (!QDir().mkpath(QFileInfo(file).path())) {
            std::fprintf(stderr, "skingen: cannot create the folder of %s\n", qPrintable(file));
            return 1;
        }
        for (const int scale : kSkinScales) {
            const QString scaled = scaledPath(file, scale);
            if (!renderImage(row, scale).save(scaled, "PNG")) {
                std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(scaled));
                return 1;
            }
            ++written;
        }
    }
    std::printf("skingen: %d images in %s\n", written, qPrintable(folder));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QString::fromLocal8Bit(argv[1]) == "--preview") {
        // Sample texts need fonts, and fonts need a GUI application; the
        // offscreen platform keeps this working without a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        QGuiApplication app(argc, argv);
        return qvr::skingen::writePreview(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SKIN_FOLDER | --preview OUT_BASE\n", argv[0]);
        return 2;
    }
    return writeSkin(QString::fromLocal8Bit(argv[1]));
}
