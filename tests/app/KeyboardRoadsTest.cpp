// The data-entry screens worked from the keyboard in the whole program: each
// screen shown through the menu in the active window, keys sent to whatever
// has the focus, the outcome read from the screen and the database file.

#include "app/TFMainVesk.h"
#include "foundation/HelpLauncher.h"
#include "foundation/MainWindowLogic.h"
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
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>

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
        // A key whose window went away (a dialog it answered) is released nowhere.
        if (QWidget* w = Focused() ? Focused() : QApplication::activeWindow())
            QTest::keyRelease(w, key, modifiers);
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
    // Tab pressed until the focus is on target, at most limit times.
    static bool TabTo(const QWidget* target, int limit = 60) {
        for (int i = 0; i < limit && Focused() != target; ++i) Press(Qt::Key_Tab);
        return Focused() == target;
    }
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

namespace {

// The report preview the program shows, once it shows.
QPrintPreviewDialog* ShownPreview() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<QPrintPreviewDialog*>(w); p && p->isVisible()) return p;
    return nullptr;
}

// The preview's print command and its tool button.
QToolButton* PrintButton(QPrintPreviewDialog* preview) {
    auto* print = preview->findChild<QAction*>(QStringLiteral("PrintAction"));
    auto* bar = preview->findChild<QToolBar*>();
    return print && bar ? qobject_cast<QToolButton*>(bar->widgetForAction(print)) : nullptr;
}

// Answers the print dialog with Cancel once it shows; true when it showed.
class PrintDialogWatch {
  public:
    PrintDialogWatch() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                shown_ = true;
                d->reject();
            }
        });
        timer_.start();
    }
    bool Shown() const { return shown_; }

  private:
    QTimer timer_;
    bool shown_ = false;
};

}  // namespace

// Each command of the bar above the screens has its key (the bar's buttons
// take no focus), and so has the print preview's print command, which Tab
// also reaches. Each key does what its button does, typed wherever the focus
// is on the screen.
TEST_F(KeyboardRoads, EveryCommandOfTheBarHasItsKey) {
    ASSERT_TRUE(ShowActive<TScreenFrame>(9));  // the history holds screens 1 and 9
    QWidget* screenField = Focused();
    ASSERT_TRUE(FMainVesk->FrameOfScreen(9)->isAncestorOf(screenField));
    const int widthBefore = FMainVesk->width();
    std::unique_ptr<PrintDialogWatch> printDialog;
    struct CommandKey {
        const char* command;
        QKeyCombination key;
        std::function<void()> arrange;  // what the command needs, done by the test
        std::function<bool()> done;
    };
    const QList<CommandKey> commands = {
        {"◄ Назад", Qt::ALT | Qt::Key_Left, {}, [] { return FMainVesk->VisibleScreen() == 1; }},
        {"Вперед ►", Qt::ALT | Qt::Key_Right, {}, [] { return FMainVesk->VisibleScreen() == 9; }},
        {"БД", Qt::Key_F12, {}, [] { return FMainVesk->Memo2->isVisible(); }},
        {"↔", Qt::Key_F11, {}, [&] { return FMainVesk->width() != widthBefore; }},
        {"Помощь", Qt::Key_F1,
         [&] { dialogs_.ExpectContaining(MainWindowTexts::kError, HelpTexts::kNotInstalled); },
         [&] { return dialogs_.Pending() == 0; }},
        {"Выход есть!", Qt::CTRL | Qt::Key_Q,
         [&] { dialogs_.Expect(MainWindowTexts::kExitCaption, MainWindowTexts::kExitQuestion,
                                 DlgAnswer::No); },
         [&] { return dialogs_.Pending() == 0 && FMainVesk->isVisible(); }},
        {"В меню", Qt::ALT | Qt::Key_Home, {},
         [] {
             return FMainVesk->VisibleScreen() == 0 &&
                    FMainVesk->windowTitle() == QStringLiteral("АРМ DUZAVIZOR");
         }},
        {"Печать объекта: печать", Qt::CTRL | Qt::Key_P,
         [&] {
             Menu(QStringLiteral("NObPrint"));
             QPrintPreviewDialog* preview = ShownPreview();
             ASSERT_TRUE(preview);
             preview->activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(preview));
             EXPECT_TRUE(TabTo(PrintButton(preview), 20)) << "Tab reaches the print command";
             SaveScreen(*preview, QStringLiteral("report_preview_print_focused"));
             printDialog = std::make_unique<PrintDialogWatch>();
         },
         [&] { return printDialog && printDialog->Shown(); }},
    };
    for (const CommandKey& c : commands) {
        SCOPED_TRACE(c.command);
        if (c.arrange) c.arrange();
        Press(c.key.key(), c.key.keyboardModifiers());
        QCoreApplication::processEvents();
        EXPECT_TRUE(c.done());
    }
    if (QPrintPreviewDialog* preview = ShownPreview()) preview->close();
}
