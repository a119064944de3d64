// Every screen of the whole program, reached by each road into it, shows
// what it shows once every table of the data module is open: the same lists
// with the same rows, the same totals and texts. The reference is the screen
// after F5 ("Обновить таблицы"): as it stands (F5 refreshes the screen it is
// pressed on) and shown anew from the main menu (a screen fills some lists
// when it is shown, and those must be as full as the tables are).

#include "app/TFMainVesk.h"
#include "devices/ui/TFFindPar.h"
#include "devices/ui/TFMelF.h"
#include "devices/ui/TFpkEdit.h"
#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ui/TFObEdit.h"
#include "support/ProgramRoads.h"
#include "support/ScreenShots.h"
#include "support/ScreenSnapshot.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace ScreenRoadsTestUnit {
namespace {

constexpr int kObjectDeletion = 8;  // a dialog, not a frame of the window
constexpr int kLastScreen = 14;

QString Numbered(int screen) {
    return QStringLiteral("%1").arg(screen, 2, 10, QLatin1Char('0'));
}

class ScreenRoads : public ProgramRoads {
  protected:
    // What the screen shows now: its frame; for the main menu (0) the
    // window's central part; for the object deletion, its dialog, which is
    // modal and looked at while it is open, then closed.
    QStringList Snapshot(int screen) {
        if (screen == kObjectDeletion) return DeletionDialogSnapshot();
        QWidget* shown =
            screen == 0 ? FMainVesk->centralWidget() : FMainVesk->FrameOfScreen(screen);
        return shown ? ScreenSnapshot(*shown) : QStringList{QStringLiteral("no frame")};
    }

    QStringList DeletionDialogSnapshot() {
        QStringList lines{QStringLiteral("not shown")};
        QTimer::singleShot(0, FObEdit, [&lines] {
            if (!FObEdit->isVisible()) return;
            lines = ScreenSnapshot(*FObEdit);
            FObEdit->reject();
        });
        ShowByMenu(kObjectDeletion);
        // Refused before the dialog opened: the look above must not wait for a later one.
        QCoreApplication::processEvents();
        return lines;
    }

    // The screen as the road shows it, against the screen after F5: as it
    // stands, and shown again from the main menu.
    void ExpectTheScreenAsAfterF5(Road road, int screen) {
        const QString where = RoadName(road) + QStringLiteral(", screen ") + Numbered(screen);
        SCOPED_TRACE(where.toStdString());
        TakeRoad(road, screen);
        if (HasFatalFailure()) return;
        if (screen != kObjectDeletion) {
            EXPECT_EQ(screen, FMainVesk->VisibleScreen());
        }
        const QStringList onTheRoad = Snapshot(screen);
        const QString picture =
            QStringLiteral("screen_roads_%1_%2")
                .arg(RoadName(road).replace(QLatin1Char(' '), QLatin1Char('_')), Numbered(screen));
        if (screen != kObjectDeletion) SaveScreen(*FMainVesk, picture);
        Menu(QStringLiteral("MReOpen"));
        const QStringList afterF5 = Snapshot(screen);
        ShowByMenu(0);
        if (screen != kObjectDeletion) ShowByMenu(screen);  // the dialog's snapshot shows it
        const QStringList shownAgain = Snapshot(screen);
        ExpectTheSame(onTheRoad, afterF5, QStringLiteral("F5 on the screen"));
        ExpectTheSame(onTheRoad, shownAgain, QStringLiteral("F5, then the screen again"));
        dialogs_.VerifyDone();
    }

    static void ExpectTheSame(const QStringList& road, const QStringList& reference,
                              const QString& what) {
        const QStringList diff = SnapshotDifference(road, reference);
        constexpr int kShown = 40;
        EXPECT_TRUE(diff.isEmpty())
            << what.toStdString() << " shows otherwise (- the road, + the reference), "
            << diff.size() << " lines:\n"
            << diff.mid(0, kShown).join(QLatin1Char('\n')).toStdString();
    }

    // A modal dialog the action opens, as it shows, then closed.
    static QStringList ModalSnapshot(QDialog* dialog, const std::function<void()>& open) {
        QStringList lines{QStringLiteral("not shown")};
        QTimer::singleShot(0, dialog, [dialog, &lines] {
            if (!dialog->isVisible()) return;
            lines = ScreenSnapshot(*dialog);
            dialog->reject();
        });
        open();
        QCoreApplication::processEvents();
        return lines;
    }

    // The switch editor ("Общие параметры и тракты КМ"), its melodies and
    // its search of parameter sets, opened as the engineer opens them.
    QStringList SwitchEditorForms() {
        Menu(QStringLiteral("MpkEdit"));
        QStringList lines = ScreenSnapshot(*FpkEdit);
        FpkEdit->BitMel->click();
        QCoreApplication::processEvents();
        lines << ScreenSnapshot(*FMelF);
        SaveScreen(*FMelF, QStringLiteral("switch_editor_roads_melodies"));
        melodyRows_ = FMelF->DBGm->model()->rowCount();
        FMelF->close();
        lines << ModalSnapshot(FFindPar, [] { FpkEdit->BitFindPk->click(); });
        paramSetRows_ = FFindPar->DBGrid1->model()->rowCount();
        FpkEdit->close();
        QCoreApplication::processEvents();
        return lines;
    }

    int melodyRows_ = 0;
    int paramSetRows_ = 0;

    void ExpectEveryScreenAsAfterF5(Road road) {
        for (int screen = 0; screen <= kLastScreen; ++screen) {
            ExpectTheScreenAsAfterF5(road, screen);
            EndTheProgram();
            RestoreTheReferenceDatabase();
        }
    }
};

TEST_F(ScreenRoads, AFirstStartOnEverySavedScreen) {
    ExpectEveryScreenAsAfterF5(Road::FirstStart);
}

TEST_F(ScreenRoads, AnotherDatabaseFolderAndBack) {
    ExpectEveryScreenAsAfterF5(Road::AnotherFolderAndBack);
}

TEST_F(ScreenRoads, AFolderChoiceThatFails) {
    ExpectEveryScreenAsAfterF5(Road::FailedFolderChoice);
}

// The switch editor's own forms read lists no screen opens: the melodies
// and the parameter sets, whatever road led to the switch screen.
TEST_F(ScreenRoads, TheSwitchEditorsMelodiesAndParameterSetsOnEveryRoad) {
    for (Road road : {Road::FirstStart, Road::AnotherFolderAndBack, Road::FailedFolderChoice}) {
        SCOPED_TRACE(RoadName(road).toStdString());
        TakeRoad(road, 4);
        const QStringList onTheRoad = SwitchEditorForms();
        EXPECT_GT(melodyRows_, 0);
        EXPECT_GT(paramSetRows_, 0);
        EXPECT_FALSE(onTheRoad.contains(QStringLiteral("not shown")));
        Menu(QStringLiteral("MReOpen"));
        ExpectTheSame(onTheRoad, SwitchEditorForms(), QStringLiteral("F5"));
        dialogs_.VerifyDone();
        EndTheProgram();
        RestoreTheReferenceDatabase();
    }
}
}  // namespace
}  // namespace ScreenRoadsTestUnit
