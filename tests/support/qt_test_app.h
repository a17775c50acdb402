#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <unistd.h>

namespace qvr::test {

// The one QApplication of a test program, made on first use on the main
// thread (the tests run there). Widget tests run on the offscreen platform,
// or on the one QVR_TEST_QPA names.
inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "qvr-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        QString platform = qEnvironmentVariable("QVR_TEST_QPA", "offscreen");
        QString config;
        // The offscreen screen is 800 x 600 unless told otherwise, which
        // would draw every window's face smaller: tests get a desktop-sized
        // screen, at the device pixel ratio QVR_TEST_DPR names.
        if (platform == "offscreen") {
            config = QDir::temp().filePath(QString("qvr-offscreen-%1.json").arg(getpid()));
            QFile file(config);
            if (file.open(QIODevice::WriteOnly)) {
                file.write(QString(R"({"screens": [{"name": "test", "x": 0, "y": 0, )"
                                   R"("width": 1920, "height": 1080, "logicalDpi": 96, )"
                                   R"("dpr": %1}]})")
                               .arg(qEnvironmentVariable("QVR_TEST_DPR", "1"))
                               .toUtf8());
                file.close();
                platform += ":configfile=" + config;
            }
        }
        qputenv("QT_QPA_PLATFORM", platform.toUtf8());
        auto* made = new QApplication(argc, argv);
        if (!config.isEmpty())
            QFile::remove(config); // read while the application was made
        return made;
    }();
    return *app;
}

inline std::filesystem::path pathOf(const QTemporaryDir& dir) {
    return std::filesystem::path(dir.path().toStdString());
}

} // namespace qvr::test
