// The rebuild of the link tables m_pk/m_bv from the entrances, worked out
// without the database.
#include "site/MatrixLinks.h"

#include <gtest/gtest.h>

namespace MatrixLinksTestUnit {
namespace {

const MatrixNaming kNaming{QStringLiteral("БВ подъезда "), QStringLiteral("БВ калитки ")};

EntranceSlot Entrance(qint64 house, int nPod) {
    return {house, QString::number(house), nPod, QStringLiteral("Л-%1").arg(nPod)};
}

// Switches as "column:number:house/entrance", in column order.
QStringList Switches(const LinkTables& t) {
    QList<SwitchLink> sorted = t.switches;
    std::sort(sorted.begin(), sorted.end(),
              [](const SwitchLink& a, const SwitchLink& b) { return a.nPk < b.nPk; });
    QStringList out;
    for (const SwitchLink& s : sorted)
        out << QStringLiteral("%1:%2:%3/%4").arg(s.nPk).arg(s.nNet).arg(s.idDom).arg(s.nPod);
    return out;
}

// Panels as "name@column=number", sorted.
QStringList Panels(const LinkTables& t) {
    QStringList out;
    for (const PanelLink& p : t.panels)
        out << QStringLiteral("%1@%2=%3").arg(p.nBv).arg(p.nPk).arg(p.nNt0);
    out.sort();
    return out;
}

// A table as the database gives it back: every row with a rowid.
LinkTables Stored(LinkTables t) {
    qint64 rowid = 1;
    for (SwitchLink& s : t.switches) s.rowid = rowid++;
    for (PanelLink& p : t.panels) p.rowid = rowid++;
    return t;
}

const QList<EntranceSlot> kReference = {Entrance(1, 1), Entrance(1, 2), Entrance(2, 1)};

TEST(MatrixRebuild, ANewObjectGetsSwitchesOneToNAndPanelsAfterTheGates) {
    const LinkTables t = PlanRebuild(kReference, {}, 1, 50, kNaming);
    EXPECT_EQ(QStringList({"1:1:1/1", "2:2:1/2", "3:3:2/1"}), Switches(t));
    EXPECT_EQ(QStringList({"БВ калитки 01@1=1", "БВ калитки 01@2=1", "БВ калитки 01@3=1",
                           "БВ подъезда 01. 01 вход@1=2", "БВ подъезда 02. 01 вход@2=3",
                           "БВ подъезда 03. 01 вход@3=4"}),
              Panels(t));
    for (const PanelLink& p : t.panels) EXPECT_EQ(1, p.plus);
}

TEST(MatrixRebuild, AnEntranceInsertedInTheMiddleMovesTheLaterColumns) {
    const LinkTables before = Stored(PlanRebuild(kReference, {}, 1, 50, kNaming));
    const QList<EntranceSlot> grown = {Entrance(1, 1), Entrance(1, 2), Entrance(1, 3),
                                       Entrance(2, 1)};
    const LinkTables t = PlanRebuild(grown, before, 1, 50, kNaming);
    // Existing switches keep their numbers; the new one takes the first free
    // number after its predecessor's.
    EXPECT_EQ(QStringList({"1:1:1/1", "2:2:1/2", "3:4:1/3", "4:3:2/1"}), Switches(t));
    const QStringList panels = Panels(t);
    EXPECT_TRUE(panels.contains("БВ подъезда 04. 01 вход@4=4")) << panels.join('\n').toStdString();
    EXPECT_TRUE(panels.contains("БВ подъезда 03. 01 вход@3=5")) << panels.join('\n').toStdString();
    EXPECT_TRUE(panels.contains("БВ калитки 01@3=1"));
    EXPECT_EQ(8, panels.size());
    // The moved rows are the stored ones, not new ones.
    for (const PanelLink& p : t.panels) {
        if (p.nBv == QStringLiteral("БВ подъезда 04. 01 вход")) {
            EXPECT_GT(p.rowid, 0);
        }
    }
}

TEST(MatrixRebuild, ARemovedEntranceLeavesNoGap) {
    const LinkTables before = Stored(PlanRebuild(kReference, {}, 1, 50, kNaming));
    const LinkTables t = PlanRebuild({Entrance(1, 1), Entrance(2, 1)}, before, 1, 50, kNaming);
    EXPECT_EQ(QStringList({"1:1:1/1", "2:3:2/1"}), Switches(t));
    EXPECT_EQ(QStringList({"БВ калитки 01@1=1", "БВ калитки 01@2=1", "БВ подъезда 01. 01 вход@1=2",
                           "БВ подъезда 02. 01 вход@2=4"}),
              Panels(t));
}

TEST(MatrixRebuild, NewColumnsKeepTheEntranceOrderWhenAnotherEntranceGoes) {
    // House 1 loses two of its three entrances while house 3 grows: the new
    // entrance of house 3 comes after house 2's column, not before it.
    const QList<EntranceSlot> first = {Entrance(1, 1), Entrance(1, 2), Entrance(1, 3),
                                       Entrance(2, 1), Entrance(3, 1)};
    const LinkTables before = Stored(PlanRebuild(first, {}, 0, 50, kNaming));
    const LinkTables t = PlanRebuild(
        {Entrance(1, 1), Entrance(2, 1), Entrance(3, 1), Entrance(3, 2)}, before, 0, 50, kNaming);
    EXPECT_EQ(QStringList({"1:1:1/1", "2:4:2/1", "3:5:3/1", "4:6:3/2"}), Switches(t));
}

TEST(MatrixRebuild, NumberSearchWrapsAtTheLimitAndSkipsTakenNumbers) {
    LinkTables stored;
    stored.switches = {{{1, 1, "1", 1, 2, {}}, 1, 1}, {{2, 2, "1", 1, 3, {}}, 2, 1}};
    const QList<EntranceSlot> grown = {Entrance(1, 1), Entrance(1, 2), Entrance(1, 3)};
    // 2 and 3 taken, the limit 4: the search goes past 3 and starts at 0.
    EXPECT_EQ(QStringList({"1:2:1/1", "2:3:1/2", "3:0:1/3"}),
              Switches(PlanRebuild(grown, stored, 0, 4, kNaming)));
    stored.switches[0].nNet = 0;
    stored.switches[1].nNet = 3;
    EXPECT_EQ(QStringList({"1:0:1/1", "2:3:1/2", "3:1:1/3"}),
              Switches(PlanRebuild(grown, stored, 0, 4, kNaming)));
    // Panels likewise: door numbers from v_kal + 1, the taken ones skipped.
    const LinkTables t = PlanRebuild(grown, {}, 1, 4, kNaming);
    EXPECT_EQ(QStringList({"БВ калитки 01@1=1", "БВ калитки 01@2=1", "БВ калитки 01@3=1",
                           "БВ подъезда 01. 01 вход@1=2", "БВ подъезда 02. 01 вход@2=3",
                           "БВ подъезда 03. 01 вход@3=0"}),
              Panels(t));
}

TEST(MatrixRebuild, ARemovedEntrancesNumberIsFreeWhenNoOtherIs) {
    LinkTables stored;
    stored.switches = {{{1, 1, "1", 1, 0, {}}, 1, 1}, {{2, 2, "1", 1, 1, {}}, 2, 1}};
    // Entrance 2 goes and entrance 3 comes, with only two numbers: the new
    // one takes the number the removed one leaves.
    const LinkTables t = PlanRebuild({Entrance(1, 1), Entrance(1, 3)}, stored, 0, 2, kNaming);
    EXPECT_EQ(QStringList({"1:0:1/1", "2:1:1/3"}), Switches(t));
}
}  // namespace
}  // namespace MatrixLinksTestUnit
