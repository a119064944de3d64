// A name the file holds may be longer than the program's own fields allow.
// The reference object with a name and a house name of 10,000 characters:
// every screen, shown through its menu, leaves the main window on the
// screen, and the screen shows the start of each name, with the whole name
// in the tool tip.

#include "app/TFMainVesk.h"
#include "devices/ui/TFrPk.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TScreenFrame.h"
#include "site/ui/TFrKvr.h"
#include "support/ProgramRoads.h"
#include "support/ScreenShots.h"

#include <QSqlQuery>

namespace {

const QString kLongName = QString(10000, QChar(0x0416));
const QString kLongHouse = QString(10000, QChar(0x0414));

class LongNames : public ProgramRoads {};

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
    for (const int screen : Screens::FrameScreens()) {
        SCOPED_TRACE(screen);
        ShowByMenu(screen);
        ASSERT_EQ(screen, FMainVesk->VisibleScreen());
        EXPECT_LE(FMainVesk->frameGeometry().width(), kTestScreen.width());
        ExpectFitsTheScreen(FMainVesk, QStringLiteral("screen %1").arg(screen));
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
}

}  // namespace
