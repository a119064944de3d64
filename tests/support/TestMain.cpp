// Test entry shared by every test executable: an offscreen QApplication, so
// widgets can be created and grabbed without a display. Its screen is the
// size the README starts the program on, 1280 x 800: what does not fit there
// an engineer cannot reach, and the tests see it. Every temporary file goes
// into a folder of this process that is removed at its end. Started again as
// a bounded child, the program runs one test up to its child's work.
#include "app/AppForms.h"
#include "support/BoundedChild.h"
#include "support/ScreenShots.h"
#include "support/TestTempFolder.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>

namespace {

// The offscreen platform with one screen of the test size, described in a
// file in the process's temporary folder.
QByteArray OffscreenPlatform(const QString& folder) {
    const QString path = folder + QStringLiteral("/screens.json");
    QFile screens(path);
    if (folder.isEmpty() || !screens.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QByteArrayLiteral("offscreen");
    screens.write(QStringLiteral(R"({"screens": [{"name": "Desktop", "x": 0, "y": 0,
        "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                      .arg(kTestScreen.width())
                      .arg(kTestScreen.height())
                      .toUtf8());
    return QByteArrayLiteral("offscreen:configfile=") + QFile::encodeName(path);
}

}  // namespace

int main(int argc, char** argv) {
    TestTempFolder temp;
    qputenv("QT_QPA_PLATFORM", OffscreenPlatform(temp.path()));
    int result = 0;
    {
        QApplication app(argc, argv);
        // Forms are made as the program makes them, with their composed parts.
        AppForms::ComposeParts();
        ::testing::InitGoogleTest(&argc, argv);
        result = BoundedChild::RunAllTests();
    }
    return result;
}
