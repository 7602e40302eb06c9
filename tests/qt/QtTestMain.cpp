#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // These tests never need a screen. UI_TEST_SCREEN="WIDTHxHEIGHT@SCALE" gives the
    // offscreen platform a screen of that size, shown at that scale factor.
    const QByteArray screen = qgetenv("UI_TEST_SCREEN");
    if (!screen.isEmpty()) {
        const QList<QByteArray> sizeAndScale = screen.split('@');
        const QList<QByteArray> size = sizeAndScale.value(0).split('x');
        // One file per process: the tests run side by side.
        const QString config = QDir::temp().filePath(
            QString("ui-test-screen-%1.json").arg(QCoreApplication::applicationPid()));
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
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (!screen.isEmpty())
        QFile::remove(QDir::temp().filePath(
            QString("ui-test-screen-%1.json").arg(QCoreApplication::applicationPid())));
    return result;
}
