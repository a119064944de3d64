// A name the file holds may be longer than the program's own fields allow.
// The reference object with a name and a house name of 10,000 characters:
// every screen, shown through its menu, leaves the main window on the
// screen, and the screen shows the start of each name, with the whole name
// in the tool tip.
//
// Every name label of every screen and form (ElidedLabel), on the screen
// the program starts on: a name that fits the free room of its row (what
// the row's stretches and the other names of the row leave empty) is shown
// whole; a longer one is cut, with the whole name in its tool tip, however
// the screen set the text.

#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "devices/ui/TFrPk.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TScreenFrame.h"
#include "platform/ui/ElidedLabel.h"
#include "site/ui/TFrKvr.h"
#include "support/ProgramRoads.h"
#include "support/ScreenShots.h"

#include <QApplication>
#include <QBoxLayout>
#include <QSet>
#include <QSqlQuery>
#include <QTabWidget>

namespace LongNamesTestUnit {

namespace {

const QString kLongName = QString(10000, QChar(0x0416));
const QString kLongHouse = QString(10000, QChar(0x0414));
// What every name label holds while another one of its row is tried.
const QString kShortName = QStringLiteral("Дом 1");
const QString kAddressWords = QStringLiteral("г. Москва, ул. Академика Королёва, д. 12, корп. 3, ");

class LongNames : public ProgramRoads {};

// The layout that holds w, searched down from its parent's layout.
QLayout* LongNamesLayoutHolding(QLayout* layout, const QWidget* w) {
    for (int i = 0; layout && i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w) return layout;
        if (QLayout* inner = LongNamesLayoutHolding(item->layout(), w)) return inner;
    }
    return nullptr;
}

// The room for the label's text in its row: its own, what the row's
// stretches hold, and what the row's other names leave empty.
int LongNamesFreeRoom(const ElidedLabel* label) {
    int room = label->contentsRect().width() - 2 * label->margin();
    const auto* row =
        qobject_cast<QBoxLayout*>(LongNamesLayoutHolding(label->parentWidget()->layout(), label));
    if (!row || (row->direction() != QBoxLayout::LeftToRight &&
                 row->direction() != QBoxLayout::RightToLeft))
        return room;
    for (int i = 0; i < row->count(); ++i) {
        QLayoutItem* item = row->itemAt(i);
        if (QSpacerItem* stretch = item->spacerItem()) {
            if (stretch->expandingDirections() & Qt::Horizontal)
                room += stretch->geometry().width();
        } else if (auto* other = qobject_cast<ElidedLabel*>(item->widget());
                   other && other != label && other->isVisible()) {
            room += qMax(0, other->width() - qMax(other->WholeTextWidth(), other->minimumWidth()));
        }
    }
    return room;
}

// An address as wide as width at most, in the label's font.
QString LongNamesAddressOfWidth(const QFontMetrics& metrics, int width) {
    QString text;
    while (metrics.horizontalAdvance(text) <= width) text += kAddressWords;
    while (!text.isEmpty() && metrics.horizontalAdvance(text) > width) text.chop(1);
    return text;
}

// The text as a connection to QLabel::setText sets it.
void LongNamesSetThroughAConnection(QLabel* label, const QString& text) {
    QObject relay;
    QObject::connect(&relay, &QObject::objectNameChanged, label, &QLabel::setText);
    relay.setObjectName(text);
}

// Each visible name label of the window not looked at yet: a stored long
// name is cut, whole in its tool tip; then each is tried in turn with the
// others short, its text set through QLabel (a QLabel* and a connection),
// and gets its text back.
// Returns how many had more room in their row than they were given.
int LongNamesTryEveryName(QWidget* window, const QString& what, QSet<ElidedLabel*>& tried) {
    QList<ElidedLabel*> names;
    for (ElidedLabel* label : window->findChildren<ElidedLabel*>())
        if (label->isVisible() && !tried.contains(label)) names << label;
    QList<QString> kept;
    for (ElidedLabel* label : names) {
        kept << label->text();
        if (kept.last() == kLongName || kept.last() == kLongHouse) {
            EXPECT_TRUE(label->ShownText().contains(QChar(0x2026)))
                << label->objectName().toStdString();
            EXPECT_TRUE(label->toolTip() == kept.last()) << label->objectName().toStdString();
        }
        static_cast<QLabel*>(label)->setText(kShortName);
    }
    QCoreApplication::processEvents();
    int grown = 0;
    for (ElidedLabel* label : names) {
        tried.insert(label);
        SCOPED_TRACE((what + QLatin1Char(' ') + label->objectName()).toStdString());
        const int room = LongNamesFreeRoom(label);
        if (room > label->contentsRect().width()) ++grown;
        const QString fits = LongNamesAddressOfWidth(label->fontMetrics(), room);
        static_cast<QLabel*>(label)->setText(fits);
        QCoreApplication::processEvents();
        EXPECT_EQ(fits, label->ShownText()) << "room " << room << ", given " << label->width();
        EXPECT_EQ(fits, label->toolTip());
        LongNamesSetThroughAConnection(label, kShortName);
        QCoreApplication::processEvents();
        EXPECT_EQ(kShortName, label->toolTip());
    }
    for (int i = 0; i < names.size(); ++i) names[i]->setText(kept[i]);
    QCoreApplication::processEvents();
    return grown;
}

// The window as it stands, then each other page of its tab widgets.
int LongNamesTryEveryPage(QWidget* window, const QString& what) {
    QSet<ElidedLabel*> tried;
    int grown = LongNamesTryEveryName(window, what, tried);
    OnEveryOtherPage(window, [&](QTabWidget* tabs, int page) {
        grown += LongNamesTryEveryName(
            window, what + QLatin1Char(' ') + tabs->objectName() + QString::number(page), tried);
    });
    return grown;
}

TEST_F(LongNames, LeaveTheMainWindowOnTheScreenOnEveryScreen) {
    {
        QSqlDatabase db = database_.open();
        QSqlQuery q(db);
        ASSERT_TRUE(q.prepare(QStringLiteral("UPDATE k_net SET ident = ?")));
        q.addBindValue(kLongName);
        ASSERT_TRUE(q.exec());
        ASSERT_TRUE(q.prepare(QStringLiteral("UPDATE k_dom SET house = ?")));
        q.addBindValue(kLongHouse);
        ASSERT_TRUE(q.exec());
    }
    StartOn(1);
    ASSERT_TRUE(FDM && FDM->Connected());
    int grown = 0;
    for (const int screen : Screens::FrameScreens()) {
        SCOPED_TRACE(screen);
        ShowByMenu(screen);
        ASSERT_EQ(screen, FMainVesk->VisibleScreen());
        EXPECT_LE(FMainVesk->frameGeometry().width(), kTestScreen.width());
        ExpectFitsTheScreen(FMainVesk, QStringLiteral("screen %1").arg(screen));
        grown += LongNamesTryEveryPage(FMainVesk, QStringLiteral("screen %1").arg(screen));
    }

    ShowByMenu(4);
    auto* switches = qobject_cast<TFrPk*>(FMainVesk->FrameOfScreen(4));
    ASSERT_TRUE(switches);
    EXPECT_TRUE(switches->LIdent->toolTip() == kLongName);
    EXPECT_TRUE(switches->LIdent->ShownText().startsWith(kLongName.left(3)));
    EXPECT_FALSE(SaveScreen(*FMainVesk, QStringLiteral("long-names-04")).isEmpty());

    ShowByMenu(6);
    auto* apartments = qobject_cast<TFrKvr*>(FMainVesk->FrameOfScreen(6));
    ASSERT_TRUE(apartments);
    EXPECT_TRUE(apartments->DBTextHouse->toolTip() == kLongHouse);
    EXPECT_FALSE(SaveScreen(*FMainVesk, QStringLiteral("long-names-06")).isEmpty());

    // The forms the program makes at start, each shown on its own.
    const QStringList notForms = {QStringLiteral("FDM"), QStringLiteral("FMainVesk"),
                                  QStringLiteral("FQRepObject")};
    for (const QString& name : AppForms::CreationOrder()) {
        if (notForms.contains(name)) continue;
        for (QWidget* form : QApplication::topLevelWidgets()) {
            if (form->objectName() != name) continue;
            form->show();
            QCoreApplication::processEvents();
            grown += LongNamesTryEveryPage(form, name);
            form->hide();
        }
    }
    // Rows with room to give: the object's rows on the object, switch and
    // panel screens, the entrance and apartment headers, the switch forms.
    EXPECT_GE(grown, 10);
}

}  // namespace
}  // namespace LongNamesTestUnit
