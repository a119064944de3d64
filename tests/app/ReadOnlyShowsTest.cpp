#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TScreenFrame.h"
#include "support/ProgramRoads.h"
#include "support/ReadOnlyPath.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QDialog>

namespace {

class ReadOnlyShows : public ProgramRoads {
  protected:
    static void Click(int screen, const char* name) {
        auto* button =
            FMainVesk->FrameOfScreen(screen)->findChild<QAbstractButton*>(QLatin1String(name));
        if (button && button->isVisible()) button->click();
        QCoreApplication::processEvents();
    }
    void Sweep() {
        auto bytes = [this] {
            QFile f(database_.dbPath());
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        };
        QByteArray before = bytes();
        auto report = [&](const QString& what) {
            for (const QString& s : dialogs_.Shown()) std::cerr << what.toStdString() << ": " << s.toStdString() << "\n";
            const QByteArray now = bytes();
            if (now != before) std::cerr << what.toStdString() << ": FILE CHANGED\n";
            before = now;
        };
        for (int screen : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14}) {
            ShowByMenu(screen);
            report(QStringLiteral("screen %1").arg(screen));
        }
        for (const auto& [screen, button] : {std::pair{3, "BitFlag"},
                                             {9, "RB_ObsKey"},
                                             {9, "RBTer"},
                                             {9, "RB_KalKey"},
                                             {9, "RB_KvrKey"},
                                             {14, "BitFind"},
                                             {1, "BEdit"}}) {
            ShowByMenu(screen);
            Click(screen, button);
            report(QStringLiteral("screen %1 %2").arg(screen).arg(QLatin1String(button)));
        }
        const QStringList notWindows = {QStringLiteral("FDM"), QStringLiteral("FMainVesk"),
                                        QStringLiteral("FQRepObject")};
        for (const QString& name : AppForms::CreationOrder()) {
            if (notWindows.contains(name)) continue;
            ShowByMenu(5);
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == name) {
                    w->show();
                    QCoreApplication::processEvents();
                    w->hide();
                }
            report(QStringLiteral("form ") + name);
        }
        QTimer::singleShot(0, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
        });
        Menu(QStringLiteral("MServDel"));
        report(QStringLiteral("deletion"));
    }
};

TEST_F(ReadOnlyShows, ExploreReadOnly) {
    ReadOnlyPath file(database_.dbPath());
    ReadOnlyPath folder(database_.dbDir());
    ASSERT_TRUE(folder.Active());
    dialogs_.Expect(QStringLiteral("Внимание"),
                    MainWindowTexts::ReadOnlyFolderWarning(database_.dbDir()));
    StartOn(1);
    Sweep();
}

TEST_F(ReadOnlyShows, ExploreWritable) {
    StartOn(1);
    Sweep();
}

}  // namespace
