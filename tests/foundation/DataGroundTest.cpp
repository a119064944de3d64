// What the data module tells the windows that write, and what a window holds:
// each change under them is told once, what leaves their rows where they
// were is not, and a window's rows name themselves when they are gone.

#include "foundation/DataGround.h"
#include "foundation/HeldRows.h"
#include "platform/SqlTransaction.h"
#include "support/ScriptedDialogs.h"

#include "SiteFixture.h"

#include <QCoreApplication>

#include <functional>

namespace DataGroundTestUnit {

namespace {

class DataGroundTest : public SiteFixture {
  protected:
    // How often the ground was said to move while act ran and the event
    // loop caught up.
    int MovesDuring(const std::function<void()>& act) {
        int moves = 0;
        const QMetaObject::Connection c =
            QObject::connect(&dm_->Ground(), &DataGround::Moved, [&moves] { ++moves; });
        act();
        QCoreApplication::processEvents();
        QObject::disconnect(c);
        return moves;
    }
};

TEST_F(DataGroundTest, EveryChangeUnderTheWindowsIsToldAndNothingElse) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    const struct {
        const char* what;
        std::function<void()> act;
        bool told;
    } changes[] = {
        {"another object current", [this] { dm_->Q_Net->Locate("id_net", 2); }, true},
        {"the list closed and opened on it",  // the first row
         [this] {
             dm_->Q_Net->Close();
             dm_->Q_Net->Open();
         },
         false},
        {"the object current again", [this] { dm_->Q_Net->Locate("id_net", 1); }, true},
        {"the list read again on its object", [this] { dm_->Q_Net->Reopen(); }, false},
        {"a list below the object moved", [this] { dm_->Q_MNpk->Last(); }, false},
        {"an apartment row removed", [this] { Exec("DELETE FROM k_kvr WHERE p_nom=3"); }, true},
        {"a removal undone",
         [this] {
             SqlTransaction tr(dm_->ConnectionDB());
             Exec("DELETE FROM k_pk WHERE id_pk=3");
             tr.Rollback();
             EXPECT_EQ(1, Scalar("SELECT COUNT(*) FROM k_pk WHERE id_pk=3").toInt());
         },
         false},
        {"rows changed, none removed", [this] { Exec("UPDATE k_pk SET kf_pr=2"); }, false},
        {"a removal from a table no window stands on",
         [this] { Exec("DELETE FROM m_bv WHERE id_net=1"); },
         false},
        {"the file read anew", [this] { ASSERT_TRUE(dm_->OpenAllTables()); }, true},
        {"the file opened again",
         [this] {
             QString error;
             ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
         },
         true},
        {"another object current after the open",  // it opened on the first row
         [this] { dm_->Q_Net->Locate("id_net", 1); },
         true},
        {"the file closed", [this] { dm_->Disconnect(); }, true},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        const int moves = MovesDuring(c.act);
        if (c.told)
            EXPECT_EQ(1, moves);
        else
            EXPECT_EQ(0, moves);
    }
}

TEST_F(DataGroundTest, AWindowsRowsNameThemselvesAndStandUntilOneGoes) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    const HeldRows sw = HeldRows::OfSwitch(2);
    EXPECT_EQ(QStringLiteral("Объект 1, СКМ02"), sw.Name());
    EXPECT_EQ(QStringLiteral("Объект 1, Дом 1, подъезд 2"), sw.EntranceName());
    EXPECT_EQ(QStringLiteral("Объект 1, Дом 1"), sw.HouseName());
    EXPECT_EQ(QStringLiteral("Окно — Объект 1, СКМ02"), sw.Title(QStringLiteral("Окно")));
    EXPECT_EQ(1, sw.Id(QStringLiteral("k_dom")));
    EXPECT_TRUE(sw.Stands());
    EXPECT_TRUE(sw.StillThere());

    dm_->Q_Net->Locate("id_net", 2);
    EXPECT_FALSE(sw.Stands()) << "another object";
    EXPECT_TRUE(sw.StillThere()) << "its rows are still there";
    dm_->Q_Net->Locate("id_net", 1);
    EXPECT_TRUE(sw.Stands());

    Exec("UPDATE k_dom SET house='' WHERE id_dom=2");
    EXPECT_EQ(QStringLiteral("Объект 1, дом 2"), HeldRows::OfEntrance(3).HouseName());
    EXPECT_FALSE(HeldRows::OfSwitch(99).Holds());
    EXPECT_FALSE(HeldRows::OfConsole(1).Holds()) << "an object without its console row";
    Exec("INSERT INTO k_po (id_net) VALUES (1)");
    EXPECT_EQ(QStringLiteral("Объект 1, ППО"), HeldRows::OfConsole(1).Name());
    EXPECT_EQ(QStringLiteral("Объект 1"), HeldRows::OfObject(1).Name());

    // The widest row gone is named first.
    const struct {
        const char* sql;
        QString gone;
    } removals[] = {
        {"DELETE FROM k_pk WHERE id_pk=2", QStringLiteral("Коммутатор СКМ02 удалён")},
        {"DELETE FROM k_pod WHERE id_pod=2", QStringLiteral("Подъезд 2 дома «Дом 1» удалён")},
        {"DELETE FROM k_dom WHERE id_dom=1", QStringLiteral("Дом «Дом 1» удалён")},
        {"DELETE FROM k_net WHERE id_net=1", QStringLiteral("Объект «Объект 1» удалён")},
    };
    for (const auto& r : removals) {
        SCOPED_TRACE(r.sql);
        Exec(QString::fromLatin1(r.sql));
        EXPECT_FALSE(sw.Stands());
        EXPECT_EQ(r.gone, sw.Gone());
        ScriptedDialogs dialogs;
        dialogs.Expect(QStringLiteral("Ошибка"), r.gone + QStringLiteral("; изменения не сохранены."));
        EXPECT_FALSE(sw.StillThere());
    }
    EXPECT_FALSE(HeldRows().StillThere()) << "nothing shown, nothing saved, nothing said";
}

}  // namespace
}  // namespace DataGroundTestUnit
