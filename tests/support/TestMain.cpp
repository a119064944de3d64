// Test entry shared by every test executable: an offscreen QApplication, so
// widgets can be created and grabbed without a display. Its screen is a
// common desktop's, 1920 x 1080, where windows keep the sizes tests give them.
#include "app/AppForms.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryFile>

int main(int argc, char** argv) {
    QTemporaryFile screens;
    if (screens.open()) {
        screens.write(R"({"screens": [{"name": "Desktop", "x": 0, "y": 0, "width": 1920,
                          "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // Forms are made as the program makes them, with their composed parts.
    AppForms::ComposeParts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
