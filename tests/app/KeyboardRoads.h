#pragma once
// The whole program worked from the keyboard: a screen shown through the menu
// in the active window, keys sent to whatever has the focus, the outcome read
// from the screen and the database file.

#include "app/TFMainVesk.h"
#include "foundation/ui/TFProgress.h"
#include "keys/ui/TFrKeys.h"
#include "platform/Dataset.h"
#include "support/ProgramRoads.h"
#include "support/ScreenShots.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTest>
#include <QToolTip>

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
    // The keys screen on its apartment keys, each number typed at once into
    // it and confirmed (Enter, Enter), in the first apartment.
    TFrKeys* KeysTyped(const QStringList& numbers) {
        auto* f = ShowActive<TFrKeys>(9);
        if (!f) return nullptr;
        f->RB_KvrKey->click();
        for (const QString& number : numbers) {
            Type(number);
            EXPECT_EQ(number.toUpper(), f->E_sn->text());
            Press(Qt::Key_Return);
            Press(Qt::Key_Return);
        }
        return f;
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
    // Tab (or Shift+Tab) pressed until the focus is on target, at most limit times.
    static bool TabTo(const QWidget* target, int limit = 60) {
        for (int i = 0; i < limit && Focused() != target; ++i) Press(Qt::Key_Tab);
        return Focused() == target;
    }
    static bool BacktabTo(const QWidget* target, int limit = 60) {
        for (int i = 0; i < limit && Focused() != target; ++i)
            Press(Qt::Key_Backtab, Qt::ShiftModifier);
        return Focused() == target;
    }
    QString Stored(const QString& sql) {
        QSqlQuery q(database_.open());
        return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }
    // The rows of a query, a line each, their values apart by blanks.
    QString StoredRows(const QString& sql) {
        QSqlQuery q(database_.open());
        QStringList rows;
        if (!q.exec(sql)) return QStringLiteral("<error>");
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i) values << q.value(i).toString();
            rows << values.join(QLatin1Char(' '));
        }
        return rows.join(QLatin1Char('\n'));
    }
    // The tool tip a view shows over its first row.
    static QString ToolTipOver(QAbstractItemView* view) {
        const QPoint over = view->visualRect(view->model()->index(0, 0)).center();
        QHelpEvent hover(QEvent::ToolTip, over, view->viewport()->mapToGlobal(over));
        QCoreApplication::sendEvent(view->viewport(), &hover);
        const QString text = QToolTip::text();
        QToolTip::hideText();
        return text;
    }
    // A window the program showed, made the active one, as a desktop makes it.
    static bool Activate(QWidget* window) {
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }
    // Tab to the button, Space: the window it opens shows and is the active one.
    static bool OpenedByKeyboard(QAbstractButton* button, QWidget* window) {
        if (!TabTo(button)) return false;
        Press(Qt::Key_Space);
        return window->isVisible() && Activate(window);
    }
    // Tab to a melody list, Ctrl+Home or Ctrl+End: the engineer's own melody.
    static bool OwnMelodyChosen(QWidget* list, Qt::Key end, Dataset* melodies) {
        if (!TabTo(list)) return false;
        Press(end, Qt::ControlModifier);
        return melodies->FieldByName(QStringLiteral("name")).AsString() == QStringLiteral("Своя");
    }
};
