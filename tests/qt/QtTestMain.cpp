#include "tests/fixtures/TempFolder.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// A home of the process's own: the user's settings, icon theme and caches do not count,
// what Qt writes there (a file dialog's history) does not reach the user's home, and no file
// of another user's run stands in the way.
void usePrivateHome(const std::filesystem::path& home) {
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", home.c_str(), 1); // mkdtemp made it 0700, as Qt wants
    // The desktop's own theme and style stay out; tests that need a scheme set it.
    ::unsetenv("QT_QPA_PLATFORMTHEME");
    ::unsetenv("QT_STYLE_OVERRIDE");
}

} // namespace

int main(int argc, char** argv) {
    const test_fixtures::TempFolder home("qt-tests"); // removed with what Qt wrote there
    usePrivateHome(home.path);
    // These tests never need a screen. UI_TEST_SCREEN="WIDTHxHEIGHT@SCALE" gives the
    // offscreen platform a screen of that size, shown at that scale factor.
    const QByteArray screen = qgetenv("UI_TEST_SCREEN");
    if (!screen.isEmpty()) {
        const QList<QByteArray> sizeAndScale = screen.split('@');
        const QList<QByteArray> size = sizeAndScale.value(0).split('x');
        const QString config =
            QDir(QString::fromStdString(home.path.string())).filePath("screen.json");
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write("{\"screens\": [{\"name\": \"Screen\", \"x\": 0, \"y\": 0, \"width\": " +
                       size.value(0) + ", \"height\": " + size.value(1) +
                       ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96}]}\n");
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
        qputenv("QT_SCALE_FACTOR", sizeAndScale.value(1, "1"));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int result = 0;
    {
        QApplication app(argc, argv);
        testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    return result;
}
