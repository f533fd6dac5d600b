#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>

// The dialogs need a QApplication; the tests run it offscreen, with their
// own settings store so nothing touches the user's.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QSettings("Brenvale", "varnelcfg").clear();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
