#include "foundation/MatrTable.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace MatrRowsTestUnit {

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QString kGate = S("БВ калитки ");

TEST(MatrTableText, DdlForObject17) {
    EXPECT_EQ(MatrTableName(17), "matr_17");
    const QStringList expected{"create table matr_17 (",
                               "name VARCHAR(25) NOT NULL PRIMARY KEY, ",
                               "sys_n VARCHAR(2) DEFAULT '', ",
                               "pk_01 VARCHAR(5), ",
                               "pk_02 VARCHAR(5), ",
                               "pk_03 VARCHAR(5), ",
                               "nm_bv VARCHAR(25) DEFAULT '')"};
    EXPECT_EQ(MatrTableDdlLines("matr_17", 3), expected);
    EXPECT_EQ(MatrTableDdl("matr_17", 3), expected.join('\n'));
    // No entrances: only name, sys_n and nm_bv.
    EXPECT_EQ(MatrTableDdlLines("matr_17", 0).size(), 4);
}

TEST(MatrTableText, OnlyPlainTableNamesReachDdl) {
    EXPECT_TRUE(IsValidMatrTableName("matr_17"));
    EXPECT_FALSE(IsValidMatrTableName("matr_"));
    EXPECT_FALSE(IsValidMatrTableName("matr_1; DROP TABLE k_net"));
    EXPECT_FALSE(IsValidMatrTableName("k_net"));
}

TEST(MatrTableText, HeaderRowsNameDigitAndSixBlanks) {
    EXPECT_EQ(MatrHeaderRowName(0), S("0      подъезд по порядку"));
    EXPECT_EQ(MatrHeaderRowName(1), S("1      подъезд в доме"));
    EXPECT_EQ(MatrHeaderRowName(2), S("2      префикс дома"));
    EXPECT_EQ(MatrHeaderRowName(3), S("3      количество БВ в пд"));
    EXPECT_EQ(MatrHeaderRowName(4), S("4      сетевой номер КМ"));
    EXPECT_EQ(MatrHeaderRowName(5), "");
}

TEST(MatrTableText, HeaderRowsFromSwitchColumns) {
    const QList<MatrSwitchColumn> columns{{1, 1, "12", 2, 3, S("Первый")},
                                          {2, 2, "12", 1, 14, "  "}};
    const QList<MatrRow> rows = BuildMatrHeaderRows(columns);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].sysN, S("С№"));
    EXPECT_EQ(rows[0].nmBv, S("Наименование БВ"));
    EXPECT_EQ(rows[0].cells.value(1), S("Первый"));
    EXPECT_EQ(rows[0].cells.value(2), S("Л-02"));  // blank entrance name
    EXPECT_EQ(rows[1].cells.value(2), "2");
    EXPECT_EQ(rows[2].cells.value(1), "12");
    EXPECT_EQ(rows[3].cells.value(1), "2");
    EXPECT_EQ(rows[4].cells.value(1), "03");
    EXPECT_EQ(rows[4].cells.value(2), "14");
    EXPECT_EQ(rows[1].sysN, "");
}

TEST(MatrTableText, GateMarksForEachLinkAndTract) {
    EXPECT_EQ(GateLinkMark(0, 0), "");
    EXPECT_EQ(GateLinkMark(0, 5), "");
    EXPECT_EQ(GateLinkMark(1, 0), "+");
    EXPECT_EQ(GateLinkMark(1, 4), "4");
    EXPECT_EQ(GateLinkMark(2, 0), "--");
    EXPECT_EQ(GateLinkMark(2, 4), "--");
    EXPECT_EQ(GateLinkMark(3, 0), "-+-");
    EXPECT_EQ(GateLinkMark(3, 4), "-4-");
    EXPECT_EQ(EntranceLinkMark(0), "+");
    EXPECT_EQ(EntranceLinkMark(7), "7");
}

QList<MatrSwitchColumn> TwoColumns() {
    return {{1, 1, "", 1, 1, ""}, {2, 2, "", 1, 2, ""}};
}

TEST(MatrContentsBuild, GateRowsCarryMarksAndLastRowNumber) {
    const QList<MatrPanelLink> links{
        {kGate + "01", 1, 1, 1, 2, 0, ""},
        {kGate + "01", 2, 1, 7, 3, 5, S("Калитка")},
        {kGate + "02", 1, 1, 2, 0, 0, ""},  // rows but no link: counted, no row
        {S("БВ подъезда 01. 01 вход"), 1, 0, 3, 1, 0, ""},
        {S("БВ подъезда 02. 01 вход"), 2, 0, 4, 1, 6, S("Дверь")},
    };
    const MatrContents c = BuildMatrContents(TwoColumns(), links, 2, kGate);
    EXPECT_EQ(c.gatesFound, 2);
    EXPECT_TRUE(c.duplicates.isEmpty());
    ASSERT_EQ(c.rows.size(), 5 + 1 + 2);
    const MatrRow& gate = c.rows[5];
    EXPECT_EQ(gate.name, kGate + "01");
    EXPECT_EQ(gate.cells.value(1), "--");
    EXPECT_EQ(gate.cells.value(2), "-5-");
    EXPECT_EQ(gate.sysN, "07");
    EXPECT_EQ(gate.nmBv, S("Калитка"));
    const MatrRow& door = c.rows[7];
    EXPECT_EQ(door.name, S("БВ подъезда 02. 01 вход"));
    EXPECT_EQ(door.sysN, "04");
    EXPECT_EQ(door.cells.size(), 1);
    EXPECT_EQ(door.cells.value(2), "6");
}

TEST(MatrContentsBuild, GatesWithoutRowsLowerTheGateCount) {
    const QList<MatrPanelLink> links{{kGate + "02", 1, 1, 2, 1, 0, ""}};
    const MatrContents c = BuildMatrContents(TwoColumns(), links, 3, kGate);
    EXPECT_EQ(c.gatesFound, 1);
    ASSERT_EQ(c.rows.size(), 6);
    EXPECT_EQ(c.rows[5].cells.value(1), "+");
    EXPECT_EQ(c.rows[5].cells.value(2), "");
}

TEST(MatrContentsBuild, DuplicateEntrancePanelIsReported) {
    const QString door = S("БВ подъезда 01. 01 вход");
    const QList<MatrPanelLink> links{{door, 1, 0, 3, 1, 0, ""}, {door, 2, 0, 3, 1, 0, ""}};
    const MatrContents c = BuildMatrContents(TwoColumns(), links, 0, kGate);
    EXPECT_EQ(c.duplicates, QStringList{door});
}

TEST(MatrTableText, SelectListsOneColumnPerEntrance) {
    EXPECT_EQ(MatrSelectSql("matr_17", 2),
              "SELECT name, sys_n, pk_01, pk_02, nm_bv FROM matr_17 ORDER BY name");
}

}  // namespace
}  // namespace MatrRowsTestUnit
