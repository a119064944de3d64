// One keyboard walk over every screen of the main window, every form and
// every dialog of the program on the reference object, each reached as the
// program reaches it: Tab from the first control until the focus comes back,
// then Shift+Tab. Every control that takes input is reached, none holds the
// focus, every stop shows it, the stops read top to bottom and left to right
// within each group, and a grid's popup menu opens from the keyboard as it
// opens on a right click. A command that only a click reaches fails the walk,
// a double click on a grid's cell and a click on a column's title among them.

#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "config/ui/TFrRedact.h"
#include "config/ui/TFrWrite.h"
#include "devices/ui/MelodyListPane.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/TScreenFrame.h"
#include "keys/ui/KeySavePanel.h"
#include "keys/ui/TFrKeys.h"
#include "platform/Dataset.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrPod.h"
#include "site/ui/TRecordGrid.h"
#include "support/ProgramRoads.h"
#include "support/ScreenShots.h"
#include "support/TabWalk.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <functional>

namespace KeyboardWalkTestUnit {
namespace {

bool InARecordGrid(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const TRecordGrid*>(p)) return true;
    return false;
}

// The toolbar of the main window: its commands are reached through the menu
// and the menu's shortcuts, and its buttons take no focus.
const QStringList kToolbar = {"ButEnd",  "BitBack", "BitForward", "ButHelp",    "BitScreen",
                              "BitBtn1", "ButExit", "BitBack2",   "BitForward2"};

// The controls no walk reaches on purpose.
const QList<LeftOut> kLeftOut = {
    {QStringLiteral("the toolbar's commands are in the menu, with their shortcuts"),
     [](const QWidget* w) {
         return w->window() == FMainVesk && kToolbar.contains(w->objectName());
     }},
    {QStringLiteral("a record grid's other panels: Up and Down reach them (entrance screen "
                    "keyboard table), Tab goes through the current panel"),
     [](const QWidget* w) { return w->focusPolicy() == Qt::ClickFocus && InARecordGrid(w); }},
};

template <class Holder>
bool Within(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const Holder*>(p)) return true;
    return false;
}

// The grids' clicks whose work keys of the window's own do, each in its own
// way, as their keyboard tables give them.
const QList<ClickLeftOut> kClicksLeftOut = {
    {GridClick::DoubleCell,
     {QStringLiteral("the matrix: Space and Enter in a cell do its double click's work by the "
                     "matrix's key rules (a gate cell's cycle, an entrance's panel count)"),
      [](const QWidget* w) { return w->objectName() == "DBGrid3" && Within<TFrDom>(w); }}},
    {GridClick::DoubleCell,
     {QStringLiteral("the editor's panel list for the key entry: Enter asks its own question, "
                     "then does what the double click does"),
      [](const QWidget* w) { return w->objectName() == "DBGrid1" && Within<KeySavePanel>(w); }}},
    {GridClick::Cell,
     {QStringLiteral("the keys screen's grids: a click ends a key's edit and empties the number "
                     "and the label, as Esc in each of them does; moving by keys counts the keys"),
      [](const QWidget* w) { return Within<TFrKeys>(w); }}},
    {GridClick::Cell,
     {QStringLiteral("the melody lists: a click hides the name panel, as its button "
                     "\"Сохранить имя мелодии\" does whatever the answer"),
      [](const QWidget* w) { return Within<MelodyListPane>(w); }}},
};

// The entrance screen: in the fields of an entrance Tab and Shift+Tab go to
// the entrance's first and last editable field (its keyboard table, "entrance
// fields | Tab / Shift+Tab").
const TabInAGroup kEntranceFields = {
    QStringLiteral("entrance fields, Tab / Shift+Tab: first / last editable field of the entrance"),
    [](const QWidget* w) {
        const TFrPod* screen = TFrPod::Instance();
        return screen && w != screen->CGridP && screen->CGridP->isAncestorOf(w);
    }};

struct Walked {
    QString name;
    std::function<QWidget*()> show;  // shows it as the program does; its window
    QList<TabInAGroup> groups = {};  // where the window gives Tab a job of its own
};

class KeyboardWalk : public ProgramRoads {
  protected:
    void SetUp() override {
        ProgramRoads::SetUp();
        StartOn(1);
        FMainVesk->resize(kWindowRoom);
        // Shown without the activation the offscreen platform would give it.
        FProgress->setAttribute(Qt::WA_DontShowOnScreen);
        Activate(FMainVesk);
    }

    static void Activate(QWidget* window) {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }))
            << window->objectName().toStdString();
    }

    QWidget* Screen(int screen) {
        ShowByMenu(screen);
        EXPECT_EQ(screen, FMainVesk->VisibleScreen());
        return FMainVesk;
    }

    // The editor with a file the write screen made of the reference object.
    // The picker names the folder of the choice until one was opened there.
    QWidget* EditorWith(const QString& stem) {
        Screen(10);
        auto* write = qobject_cast<TFrWrite*>(FMainVesk->FrWrite1);
        write->N_allClick();
        write->BitCreateClick();
        const QDir folder(database_.dbDir() + QStringLiteral("Data/FlWrite/Fl_%1").arg(IdNet()));
        const QStringList files = folder.entryList({stem + QStringLiteral("*.bin")}, QDir::Files);
        EXPECT_FALSE(files.isEmpty()) << stem.toStdString();
        Screen(13);
        if (files.isEmpty()) return FMainVesk;
        dialogs_.ExpectPicker(editorOpened_ ? QStringLiteral("Открыть КФ")
                                            : QStringLiteral("Открыть созданный в АРМЕ КФ"),
                              folder.filePath(files.first()));
        qobject_cast<TFrRedact*>(FMainVesk->FrRedact1)->ButBit->click();
        editorOpened_ = true;
        QCoreApplication::processEvents();
        return FMainVesk;
    }

    // A form as the program shows it, over the screen of the call panels.
    QWidget* Form(const QString& name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name) {
                w->show();
                Activate(w);
                return w;
            }
        ADD_FAILURE() << name.toStdString();
        return nullptr;
    }

    bool editorOpened_ = false;

    // Text typed key by key, Cyrillic too.
    static void Type(QWidget* field, const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
    template <class Control>
    static Control* Screen1(const QString& name) {
        return FMainVesk->FrameOfScreen(1)->findChild<Control*>(name);
    }
    // A new object's name, address and two houses typed, then "Сохранить дома".
    void SaveNewHouses() {
        Type(Screen1<QLineEdit>(QStringLiteral("P1_ENew")), QStringLiteral("Новый"));
        Type(Screen1<QPlainTextEdit>(QStringLiteral("P1_EAdr")), QStringLiteral("ул. Новая, 1"));
        Screen1<QSpinBox>(QStringLiteral("P1_EDom"))->setValue(2);
        dialogs_.Expect(QStringLiteral("Новый объект!"),
                        QStringLiteral("Подтвердим ввод нового объекта?"), DlgAnswer::Yes);
        Click(1, "BitSave");
        EXPECT_TRUE(Screen1<QLineEdit>(QStringLiteral("D_EName"))->isVisible());
    }

    static void Click(int screen, const char* name) {
        auto* button =
            FMainVesk->FrameOfScreen(screen)->findChild<QAbstractButton*>(QLatin1String(name));
        if (button && button->isVisible()) button->click();
        QCoreApplication::processEvents();
    }

    QList<Walked> EveryWindow() {
        QList<Walked> walked;
        for (int screen : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14}) {
            Walked w{QStringLiteral("screen %1").arg(screen),
                     [this, screen] { return Screen(screen); }};
            if (screen == 3) w.groups << kEntranceFields;
            walked << w;
        }
        // The screens' other modes, as a click on their buttons shows them.
        for (const auto& [screen, button] : {std::pair{3, "BitFlag"},
                                             {9, "RB_ObsKey"},
                                             {9, "RBTer"},
                                             {9, "RB_KalKey"},
                                             {9, "RB_KvrKey"},
                                             {14, "BitFind"}})
            walked << Walked{QStringLiteral("screen %1, ").arg(screen) + QLatin1String(button),
                             [this, screen, button] {
                                 Screen(screen);
                                 Click(screen, button);
                                 return FMainVesk;
                             }};
        for (const char* stem : {"ckm", "cbv", "cpo"})
            walked << Walked{QStringLiteral("editor, file ") + QLatin1String(stem),
                             [this, stem] { return EditorWith(QLatin1String(stem)); }};
        // The service tab, shown by "Служебная".
        walked << Walked{
            QStringLiteral("editor, service tab"), [this] {
                Screen(13);
                auto* editor = qobject_cast<TFrRedact*>(FMainVesk->FrRedact1);
                if (!editor->PageFile->isTabVisible(editor->PageFile->indexOf(editor->Sys)))
                    editor->StaticText2->click();
                return FMainVesk;
            }};
        // Not walked here: the data module and the main window are no forms,
        // the report's preview is Qt's own, the progress window holds no control.
        const QStringList notWindows = {QStringLiteral("FDM"), QStringLiteral("FMainVesk"),
                                        QStringLiteral("FQRepObject"), QStringLiteral("FProgress")};
        for (const QString& name : AppForms::CreationOrder())
            if (!notWindows.contains(name))
                walked << Walked{QStringLiteral("form ") + name, [this, name] {
                                     Screen(5);
                                     return Form(name);
                                 }};
        // The object screen's panel, for the object shown and, last, for a new
        // one whose houses were just saved: its houses' fields made while shown
        // (the new object is the current one from then on).
        for (const char* button : {"BEdit", "BNew"})
            walked << Walked{QStringLiteral("screen 1, ") + QLatin1String(button), [this, button] {
                                 Screen(1);
                                 Click(1, "BitCancel");  // "Закрыть", where the panel is open
                                 Click(1, button);
                                 if (QLatin1String(button) == QLatin1String("BNew"))
                                     SaveNewHouses();
                                 // A prefix typed: "Сохранить подъезды" is offered.
                                 QTest::keyClick(Screen1<QLineEdit>(QStringLiteral("D_EName")),
                                                 Qt::Key_5);
                                 return FMainVesk;
                             }};
        return walked;
    }
};

namespace {

QStringList Names(const QList<QWidget*>& widgets) {
    QStringList names;
    for (const QWidget* w : widgets) names << Describe(w);
    return names;
}

// Where a window starts: its focused control, or the first Tab takes.
QWidget* FirstStop(QWidget* window) {
    QWidget* focused = QApplication::focusWidget();
    if (focused && focused->window() == window) return focused;
    window->setFocus();
    QTest::keyClick(window, Qt::Key_Tab);
    return QApplication::focusWidget();
}

QStringList Missed(const QList<QWidget*>& controls, const QList<QWidget*>& stops) {
    QStringList missed;
    for (QWidget* w : controls)
        if (!Reached(stops, w)) missed << Describe(w);
    return missed;
}

// The window with the focus on its first grid, as Tab left it there: the
// focus frame on its cell (or panel) is to be seen.
void SaveTheFocusedGrid(QWidget* window, const QList<QWidget*>& stops, const QString& row) {
    for (QWidget* stop : stops)
        if (qobject_cast<QAbstractItemView*>(stop) || qobject_cast<TRecordGrid*>(stop)) {
            stop->setFocus(Qt::TabFocusReason);
            QString name = QStringLiteral("keyboard_walk_") + row;
            SaveScreen(*window,
                       name.replace(QLatin1Char(' '), QLatin1Char('_')).remove(QLatin1Char(',')));
            return;
        }
}

// The walk both ways from the control that has the focus, and what it found.
void ExpectAGoodWalk(QWidget* window, const QList<TabInAGroup>& groups, const QString& name) {
    SCOPED_TRACE(name.toStdString());
    const QList<QWidget*> controls = ControlsForTheKeyboard(window, kLeftOut);
    QWidget* start = FirstStop(window);
    const TabWalk forward = WalkWithTab(window, true, groups);
    if (start) start->setFocus(Qt::TabFocusReason);
    const TabWalk backward = WalkWithTab(window, false, groups);
    EXPECT_EQ(QStringList(), forward.faults + backward.faults);
    EXPECT_EQ(QStringList(), Missed(controls, forward.stops)) << "Tab";
    EXPECT_EQ(QStringList(), Missed(controls, backward.stops)) << "Shift+Tab";
    EXPECT_EQ(QStringList(), MenusOnlyAClickOpens(forward.stops));
    QWidget* origin =
        window == FMainVesk ? FMainVesk->FrameOfScreen(FMainVesk->VisibleScreen()) : window;
    EXPECT_EQ(QStringList(), OutOfReadingOrder(window, origin, forward.stops))
        << Names(forward.stops).join(QStringLiteral("\n")).toStdString();
    SaveTheFocusedGrid(window, forward.stops, name);
}

// The walk on each other page of the window's tab widgets, from its tab bar.
void ExpectAGoodWalkOnEveryPage(QWidget* window, const QList<TabInAGroup>& groups,
                                const QString& name) {
    OnEveryOtherPage(window, [&](QTabWidget* tabs, int page) {
        tabs->tabBar()->setFocus(Qt::TabFocusReason);
        ExpectAGoodWalk(window, groups, name + QStringLiteral(", page ") + tabs->tabText(page));
    });
}

}  // namespace

TEST_F(KeyboardWalk, TabReachesEveryControlOfEveryWindowInReadingOrder) {
    QStringList clicksOnly;
    for (const Walked& row : EveryWindow()) {
        QWidget* window = row.show();
        ASSERT_TRUE(window) << row.name.toStdString();
        ExpectAGoodWalk(window, row.groups, row.name);
        ExpectAGoodWalkOnEveryPage(window, row.groups, row.name);
        for (const QString& fault : ClicksNoKeyGives(window, kClicksLeftOut))
            if (!clicksOnly.contains(fault)) clicksOnly << fault;
        if (window != FMainVesk) {
            window->hide();
            Activate(FMainVesk);
        }
    }
    EXPECT_EQ(QStringList(), clicksOnly);
}
}  // namespace
}  // namespace KeyboardWalkTestUnit
