#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <filesystem>

namespace qvr::test {

// The one QApplication of a test program, made on first use on the main
// thread (the tests run there). Widget tests run on the offscreen platform,
// or on the one QVR_TEST_QPA names.
inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "qvr-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QVR_TEST_QPA", "offscreen").toUtf8());
        return new QApplication(argc, argv);
    }();
    return *app;
}

inline std::filesystem::path pathOf(const QTemporaryDir& dir) {
    return std::filesystem::path(dir.path().toStdString());
}

} // namespace qvr::test
