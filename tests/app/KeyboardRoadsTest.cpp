// The data-entry screens worked from the keyboard in the whole program: each
// screen shown through the menu in the active window, keys sent to whatever
// has the focus, the outcome read from the screen and the database file.

#include "app/TFMainVesk.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/TScreenFrame.h"
#include "keys/ui/TFrKeys.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ApartmentGenerator.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFrPod.h"
#include "support/FakeClipboard.h"
#include "support/ProgramRoads.h"
#include "support/ScreenShots.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>

class KeyboardRoads : public ProgramRoads {
  protected:
    template <class Frame>
    Frame* ShowActive(int screen) {
        StartOn(1);
        FMainVesk->resize(kWindowRoom);
        // Shown without the activation the offscreen platform would give it,
        // as a desktop shows it.
        FProgress->setAttribute(Qt::WA_DontShowOnScreen);
        FMainVesk->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(FMainVesk));
        ShowByMenu(screen);
        return qobject_cast<Frame*>(FMainVesk->FrameOfScreen(screen));
    }
    // Keys typed into the window land where the focus is; the program's
    // events run while a key is down.
    static void Type(const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, static_cast<QWidget*>(nullptr),
                                Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyPress(static_cast<QWidget*>(nullptr), key, modifiers);
        QCoreApplication::processEvents();
        QTest::keyRelease(static_cast<QWidget*>(nullptr), key, modifiers);
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
    QString Stored(const QString& sql) {
        QSqlQuery q(database_.open());
        return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }
};

// A surname typed at once; Ctrl+Enter, then Enter on "Сохранить изменения";
// then "Начать выборку", whose locked groups read gray, "Для ППО" as the flags.
TEST_F(KeyboardRoads, TheResidentsScreen) {
    auto* f = ShowActive<TFrPiople>(14);
    ASSERT_TRUE(f);
    const QString id = FDM->Q_Ppl->FieldByName(QStringLiteral("id_kvr")).AsString();
    Type(QStringLiteral("петров"));
    EXPECT_EQ(QStringLiteral("петров"), f->EFam->text());
    Press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(f->BitSave, Focused());
    Press(Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("Петров"), Stored("SELECT Fam FROM k_kvr WHERE id_kvr=" + id));
    EXPECT_EQ(f->EFam, Focused());

    f->BitFind->click();
    SaveScreen(*FMainVesk, QStringLiteral("residents_selection_mode"));
    auto drawn = [](const QWidget* w) {
        return w->palette().color(w->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                  QPalette::WindowText);
    };
    EXPECT_NE(drawn(f->Call), f->Call->palette().color(QPalette::Active, QPalette::WindowText));
    for (const QWidget* w : QList<QWidget*>{f->Panel3, f->C_obr, f->STime, f->CPnp})
        EXPECT_EQ(drawn(f->Call).name(), drawn(w).name()) << w->objectName().toStdString();
}

// A key number typed at once, Enter, Enter: stored; then Ctrl+X on one key.
// The folder field is selected with the mouse but takes no keys; other
// screens give the focus to their first control.
TEST_F(KeyboardRoads, TheKeysScreen) {
    auto* f = ShowActive<TFrKeys>(9);
    ASSERT_TRUE(f);
    FakeClipboard clipboard;  // over the desktop's, which the program installs
    f->RB_KvrKey->click();
    for (const QString& number : {QStringLiteral("0000001a0001"), QStringLiteral("0000001a0002")}) {
        Type(number);
        EXPECT_EQ(number.toUpper(), f->E_sn->text());
        Press(Qt::Key_Return);
        Press(Qt::Key_Return);
    }
    ASSERT_EQ(2, f->DBGrid2->model()->rowCount());
    QTest::mouseClick(f->DBGrid2->viewport(), Qt::LeftButton, {},
                      f->DBGrid2->visualRect(f->DBGrid2->model()->index(0, 0)).center());
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("Вырез 1"), f->OtmBlue->text());
    EXPECT_EQ(0, f->DBGrid2->SelectedCount());
    EXPECT_EQ(QStringLiteral("1"), Stored("SELECT COUNT(*) FROM k_key"));

    QTest::mouseDClick(FMainVesk->Path, Qt::LeftButton);
    EXPECT_TRUE(FMainVesk->Path->hasSelectedText());
    EXPECT_EQ(f->DBGrid2, Focused());
    for (int screen : {10, 13, 6}) {
        ShowByMenu(screen);
        EXPECT_TRUE(FMainVesk->FrameOfScreen(screen)->isAncestorOf(Focused())) << screen;
    }
}

// "Сохранить квартиры для КМ" asks with both grids in view.
TEST_F(KeyboardRoads, TheOverwriteQuestionOverTheGrids) {
    auto* f = ShowActive<TFrPod>(3);
    ASSERT_TRUE(f);
    bool gridsShown = false;
    dialogs_.Expect(GenerationTexts::kCaption, GenerationTexts::kOverwrite, DlgAnswer::Cancel)
        .WhenShown([&] { gridsShown = f->PanelGrids->isVisible(); });
    f->BtnSave->click();
    EXPECT_TRUE(gridsShown);
}

// At the last entrance of the last house (a hotel one, where "Первая позиция"
// is open) the first position is changed and left twice: stored each time,
// and the house, the entrance and its rows stay.
TEST_F(KeyboardRoads, LeavingTheFirstPosition) {
    QSqlQuery(database_.open())
        .exec("UPDATE k_pod SET type_n=1 WHERE id_pod=(SELECT MAX(id_pod) FROM k_pod)");
    auto* f = ShowActive<TFrKvr>(6);
    ASSERT_TRUE(f);
    f->BitDownGrup->click();
    auto shown = [f] {
        return QStringList{f->DBTextHouse->text(), f->DBTextNPod->text(),
                           FDM->Q_DPd->FieldByName(QStringLiteral("id_pod")).AsString(),
                           FDM->Q_Kvp->FieldByName(QStringLiteral("id_pod")).AsString()};
    };
    const QStringList before = shown();
    for (const auto& [key, stored] : {std::pair{Qt::Key_Up, "1"}, std::pair{Qt::Key_Down, "0"}}) {
        f->E_n1->setFocus();
        Press(key);
        Press(Qt::Key_Tab);
        EXPECT_EQ(QString::fromLatin1(stored), Stored("SELECT incr FROM k_net"));
        EXPECT_EQ(before, shown());
    }
}
