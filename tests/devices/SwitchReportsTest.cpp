// The switch reports as data, read from the reference object: the terminal,
// tract and object reports; the flow of a report's body over columns and
// pages; the drawn cells of the switch list.

#include "DeviceFixture.h"
#include "devices/ReportFlow.h"
#include "devices/SwitchListCells.h"
#include "devices/SwitchReports.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace SwitchReportsTestUnit {
namespace {

using namespace SwitchReportTexts;

namespace {

QStringList Texts(const QList<ReportField>& fields) {
    QStringList texts;
    for (const ReportField& f : fields) texts << f.Text();
    return texts;
}

QStringList Titles(const QList<ReportHeaderCell>& cells) {
    QStringList titles;
    for (const ReportHeaderCell& c : cells) titles << c.title + "/" + QString::number(c.span);
    return titles;
}

class SwitchReportsOfObject : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        SelectObject(1);
    }
    void SelectSwitch(qint64 idPk) { ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", idPk)); }
    // An object with a gate and nothing else yet.
    void SelectObjectWithoutSwitches() {
        Exec(
            "INSERT INTO k_net (id_net, ident, v_kal, st_net) VALUES (3, 'Новый', 2, "
            "'закрыто')");
        ASSERT_TRUE(dm_->Q_Net->Reopen());
        SelectObject(3);
    }
};

}  // namespace

TEST_F(SwitchReportsOfObject, TerminalReportOfTheSecondEntranceOfHouseOne) {
    ASSERT_TRUE(dm_->Q_Dom->Locate("id_dom", 2));  // the house list stands elsewhere
    SelectSwitch(2);
    const int switchRecord = dm_->Q_MNpk->RecNo();
    QString error;
    const auto report = BuildTerminalReport(*dm_, &error);
    ASSERT_TRUE(report) << error.toStdString();
    EXPECT_EQ(QStringLiteral("Распределение клемм коммутаторов"), report->caption);
    EXPECT_EQ(QStringLiteral("Распределение квартир подъезда по клеммам коммутатора КМ 2"),
              report->pageHeader.Text());
    EXPECT_EQ(2, report->columns);
    EXPECT_EQ(
        (QStringList{"Дом: 1", "Подъезд: 2", "Первая кв: 41", "Последняя кв: 80", "ВСЕГО кв: 40"}),
        Texts(report->title));
    EXPECT_EQ((QStringList{"№пп/1", "Квартира №/1", "Клемма Торвин/1", "Код вызова/1"}),
              Titles(report->columnHeader));
    ASSERT_EQ(1, report->groups.size());
    const QList<QStringList>& rows = report->groups[0].rows;
    ASSERT_EQ(41, rows.size());
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ((QStringList{QString::number(i + 1), QString::number(41 + i), "0",
                               QString::number(41 + i)}),
                  rows[i]);
    EXPECT_EQ((QStringList{"41", "пост охраны", "0", "0"}), rows[40]);

    // The house and entrance lists now stand on the switch's entrance; the
    // switch list has not moved.
    EXPECT_EQ(1, dm_->Q_Dom->FieldByName("id_dom").AsInt());
    EXPECT_EQ(2, dm_->Q_DPd->FieldByName("id_pod").AsInt());
    EXPECT_EQ(41, dm_->Q_Kvp->RecordCount());
    EXPECT_EQ(switchRecord, dm_->Q_MNpk->RecNo());
}

TEST_F(SwitchReportsOfObject, TerminalReportPrintsTerminalsAndAnEntranceWithoutApartments) {
    Exec("UPDATE k_kvr SET p_pk = p_nom + 4 WHERE id_pod = 1");
    ASSERT_TRUE(dm_->ReopenApartments());
    SelectSwitch(1);
    QString error;
    auto report = BuildTerminalReport(*dm_, &error);
    ASSERT_TRUE(report) << error.toStdString();
    EXPECT_EQ((QStringList{"1", "1", "5", "1"}), report->groups[0].rows[0]);

    Exec("DELETE FROM k_kvr WHERE id_pod = 3");
    ASSERT_TRUE(dm_->ReopenApartments());
    SelectSwitch(3);
    report = BuildTerminalReport(*dm_, &error);
    ASSERT_TRUE(report) << error.toStdString();
    ASSERT_FALSE(report->title.isEmpty());
    EXPECT_EQ(QStringLiteral("Дом: 2"), report->title[0].Text());
    EXPECT_EQ(5, report->title.size());
    EXPECT_EQ(0, report->RowCount());
}

TEST_F(SwitchReportsOfObject, WithoutSwitchesTheTerminalReportIsRefusedAndTheOthersAreEmpty) {
    SelectObjectWithoutSwitches();
    QString error;
    EXPECT_FALSE(BuildTerminalReport(*dm_, &error));
    EXPECT_EQ(kNoSwitch, error);
    const auto tracts = BuildTractReport(*dm_, &error);
    ASSERT_TRUE(tracts);
    EXPECT_TRUE(tracts->groups.isEmpty());
    const auto object = BuildObjectReport(*dm_, &error);
    ASSERT_TRUE(object);
    EXPECT_EQ(QStringLiteral("ОБЪЕКТ Новый"), object->caption);
    EXPECT_TRUE(object->groups.isEmpty());
}

TEST_F(SwitchReportsOfObject, AnEntranceMissingFromTheHouseListIsReported) {
    // The switch's entrance belongs to a house the object does not hold.
    Exec("UPDATE k_pod SET id_dom = 3 WHERE id_pod = 2");
    ASSERT_TRUE(dm_->ReopenSwitches());
    QString error;
    ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 1));
    EXPECT_TRUE(PositionOnSwitchEntrance(*dm_, &error)) << error.toStdString();
    Exec("UPDATE k_dom SET id_net = 2 WHERE id_dom = 2");
    ASSERT_TRUE(dm_->Q_Dom->Reopen());
    ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 3));
    EXPECT_FALSE(BuildTerminalReport(*dm_, &error));
    EXPECT_EQ(EntranceNotFound("3"), error);
}

TEST_F(SwitchReportsOfObject, TractReportListsEverySwitchWithItsWiredPanels) {
    Exec("UPDATE m_bv SET tract = 2 WHERE id_bv = 2");
    Exec("UPDATE m_bv SET tract = 5 WHERE id_bv = 1 AND n_pk = 3");
    // A panel that only carries keys (plus 2) is not wired for calls.
    AddPanel(6, 1, 6, 0, "БВ06 ключи", false);
    Wire(1, 6, EntranceRow(1, 2), 1, 0, 6, 2);
    SelectSwitch(2);
    QString error;
    const auto report = BuildTractReport(*dm_, &error);
    ASSERT_TRUE(report) << error.toStdString();
    EXPECT_EQ(QStringLiteral("Распределение блоков вызова по трактам СПК"), report->caption);
    EXPECT_EQ(QStringLiteral("Распределение блоков вызова по трактам КМ"),
              report->pageHeader.Text());
    EXPECT_EQ(2, report->columns);
    EXPECT_EQ((QStringList{"Тракт/1", "БВ/2"}), Titles(report->columnHeader));
    ASSERT_EQ(3, report->groups.size());
    const QStringList bands[] = {{"КМ 1", "Дом: 1", "Подъезд: 1"},
                                 {"КМ 2", "Дом: 1", "Подъезд: 2"},
                                 {"КМ 3", "Дом: 2", "Подъезд: 1"}};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(bands[i], Texts(report->groups[i].fields));
    // Gate row names sort before the entrance rows.
    EXPECT_EQ(
        (QList<QStringList>{{"0", "1", "БВ01 калитка "}, {"2", "2", "БВ02 дом 1 -  1. 01 вх"}}),
        report->groups[0].rows);
    EXPECT_EQ(
        (QList<QStringList>{{"5", "1", "БВ01 калитка "}, {"0", "4", "БВ04 дом 2 -  1. 01 вх"}}),
        report->groups[2].rows);
    EXPECT_EQ(2, dm_->Q_MNpk->RecNo());
}

TEST_F(SwitchReportsOfObject, ObjectReportNamesTheObjectAndEverySwitch) {
    Exec("UPDATE k_pod SET type_n = 1 WHERE id_pod = 3");
    ASSERT_TRUE(dm_->ReopenSwitches());
    QString error;
    const auto report = BuildObjectReport(*dm_, &error);
    ASSERT_TRUE(report) << error.toStdString();
    EXPECT_EQ(QStringLiteral("ОБЪЕКТ Дом на Садовой"), report->caption);
    EXPECT_EQ(QStringLiteral("ОБЪЕКТ Дом на Садовой"), report->pageHeader.Text());
    EXPECT_EQ(QStringLiteral("стр."), report->pageNumberLabel);
    EXPECT_EQ(1, report->columns);
    EXPECT_TRUE(report->title.isEmpty());
    EXPECT_TRUE(report->columnHeader.isEmpty());
    ASSERT_EQ(3, report->groups.size());
    EXPECT_EQ((QStringList{"КМ 2", "Дом: 1", "Подъезд: 2", "Нумерация 0", "Коммутатор Торвин",
                           "с 41", "по 80", "Квартир 40"}),
              Texts(report->groups[1].fields));
    EXPECT_EQ(QStringLiteral("Нумерация 1"), report->groups[2].fields[3].Text());
    for (const ReportGroup& g : report->groups) {
        EXPECT_EQ(QStringLiteral("Тракт (вход)"), g.rowsLabel);
        EXPECT_EQ(2, g.rows.size());
    }
}

TEST(ReportFieldText, OneSpaceBetweenLabelAndValue) {
    EXPECT_EQ(QStringLiteral("Дом: 1"), (ReportField{"Дом:", "1"}.Text()));
    EXPECT_EQ(QStringLiteral("Подъезд:"), (ReportField{"Подъезд:", ""}.Text()));
    EXPECT_EQ(QStringLiteral("12"), (ReportField{"", "12"}.Text()));
}

namespace {

QList<FlowBlock> Rows(int n, double height) {
    return QList<FlowBlock>(n, FlowBlock{height, false});
}

QString Where(const FlowPlace& p) {
    return QStringLiteral("%1/%2/%3").arg(p.page).arg(p.column).arg(p.top);
}

}  // namespace

TEST(ReportFlow, RowsFillTheLeftColumnThenTheRightThenTheNextPage) {
    // 3 rows fit a first-page column, 5 a later one.
    const Flow flow = FlowBlocks(Rows(15, 10), FlowArea{2, 35, 50});
    QStringList where;
    for (const FlowPlace& p : flow.places) where << Where(p);
    EXPECT_EQ(
        (QStringList{"0/0/0", "0/0/10", "0/0/20", "0/1/0", "0/1/10", "0/1/20", "1/0/0", "1/0/10",
                     "1/0/20", "1/0/30", "1/0/40", "1/1/0", "1/1/10", "1/1/20", "1/1/30"}),
        where);
    EXPECT_EQ(2, flow.pages);
    EXPECT_EQ(1, FlowBlocks({}, FlowArea{2, 35, 50}).pages);
}

TEST(ReportFlow, ABandGoesToTheNextColumnWithItsFirstRow) {
    QList<FlowBlock> blocks = Rows(2, 10);
    blocks << FlowBlock{8, true} << FlowBlock{5, true} << FlowBlock{10, false};
    const Flow flow = FlowBlocks(blocks, FlowArea{1, 30, 30});
    // The band and its label would fit at the foot of page 1, the first row not.
    EXPECT_EQ(QStringLiteral("1/0/0"), Where(flow.places[2]));
    EXPECT_EQ(QStringLiteral("1/0/8"), Where(flow.places[3]));
    EXPECT_EQ(QStringLiteral("1/0/13"), Where(flow.places[4]));
}

TEST(ReportFlow, ABlockTallerThanAColumnStandsAloneAndTheRestFlowOn) {
    QList<FlowBlock> blocks{{10, false}, {70, false}, {10, false}};
    const Flow flow = FlowBlocks(blocks, FlowArea{2, 50, 50});
    ASSERT_FALSE(flow.places.isEmpty());
    EXPECT_EQ(QStringLiteral("0/0/0"), Where(flow.places[0]));
    EXPECT_EQ(QStringLiteral("0/1/0"), Where(flow.places[1]));
    EXPECT_EQ(QStringLiteral("1/0/0"), Where(flow.places[2]));
    // A chain taller than a column is not held together.
    const Flow chain = FlowBlocks({{10, false}, {30, true}, {30, false}}, FlowArea{1, 50, 50});
    EXPECT_EQ(QStringLiteral("0/0/10"), Where(chain.places[1]));
    EXPECT_EQ(QStringLiteral("1/0/0"), Where(chain.places[2]));
}

TEST(ReportFlow, CellsGetTheirWidestTextAndTheRestByWeight) {
    // Everything fits: the 20 to spare go out by weight.
    EXPECT_EQ((QList<double>{15, 45, 40}), FitCellWidths({1, 2, 1}, {10, 35, 35}, 100));
    // The long name cannot fit: the short cells keep their texts' widths and
    // the name takes the rest, wrapping.
    EXPECT_EQ((QList<double>{10, 12, 78}), FitCellWidths({1, 1, 4}, {10, 12, 300}, 100));
    // Fixing one cell leaves another too little: that one wraps as well.
    EXPECT_EQ((QList<double>{20, 40, 40}), FitCellWidths({1, 1, 1}, {20, 90, 90}, 100));
}

TEST(SwitchListCells, EntranceColumnShowsTheNameOrTheNumber) {
    EXPECT_EQ(QStringLiteral("1  Л-01"), EntranceCellText("1", "Л-01", 2));
    EXPECT_EQ(QStringLiteral("1 под.2"), EntranceCellText("1", QVariant(), 2));
    // A blank name counts as none.
    EXPECT_EQ(QStringLiteral("1 под.2"), EntranceCellText("1", "", 2));
    EXPECT_EQ(QStringLiteral("1 под.2"), EntranceCellText("1", "   ", 2));
    EXPECT_EQ(QStringLiteral("Садовая 12 "),
              EntranceCellText("Садовая 12", QVariant(), QVariant()));
}

TEST(SwitchListCells, AddressesInTwoDigitsAndPanelTypes) {
    EXPECT_EQ(QStringLiteral("КМ01"), SwitchCellText(1));
    EXPECT_EQ(QStringLiteral("КМ12"), SwitchCellText(12));
    EXPECT_EQ(QString(), SwitchCellText(QVariant()));
    EXPECT_EQ(QStringLiteral("БВ07"), PanelCellText(7));
    EXPECT_EQ(QString(), PanelCellText(QVariant()));
    EXPECT_EQ(QStringLiteral("калитка"), PanelTypeText(1));
    EXPECT_EQ(QStringLiteral("вход в подъезд"), PanelTypeText(0));
    EXPECT_EQ(QString(), PanelTypeText(QVariant()));
}

TEST(SwitchListCells, CentredTextStartsHalfTheSpareWidthInNeverLeftOfTheCell) {
    EXPECT_EQ(30, CentredTextOffset(100, 40));
    EXPECT_EQ(1, CentredTextOffset(41, 40));  // 0.5 rounds away from zero
    EXPECT_EQ(0, CentredTextOffset(30, 40));
}
}  // namespace
}  // namespace SwitchReportsTestUnit
