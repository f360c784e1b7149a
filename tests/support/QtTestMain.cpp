// Test program for the platform classes: a QApplication on the offscreen platform, with
// settings and standard paths kept away from the user's own.

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static test::TempDir home;
    qputenv("XDG_CONFIG_HOME", (home.Path() / "config").string().c_str());
    qputenv("XDG_DATA_HOME", (home.Path() / "data").string().c_str());
    qputenv("XDG_STATE_HOME", (home.Path() / "state").string().c_str());
    // Test mode keeps settings under the home folder's ".qttest", which every test process
    // would otherwise share: tests run in parallel would see each other's settings.
    qputenv("HOME", home.Path().string().c_str());
    QStandardPaths::setTestModeEnabled(true);
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
