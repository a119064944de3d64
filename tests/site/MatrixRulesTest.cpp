// The matrix rules that need no database: row kinds, cells, typing, number
// search and the checks before a save.
#include "site/MatrixRules.h"

#include <gtest/gtest.h>

namespace MatrixRulesTestUnit {
namespace {

using namespace MatrixRules;

namespace {
const QString kGate = QStringLiteral("БВ калитки 01");
const QString kDoor = QStringLiteral("БВ подъезда 03. 01 вход");
}  // namespace

TEST(MatrixRows, AreToldApartByTheirNames) {
    EXPECT_EQ(0, HeaderRowOf(QStringLiteral("0      подъезд по порядку")));
    EXPECT_EQ(4, HeaderRowOf(QStringLiteral("4      сетевой номер КМ")));
    EXPECT_EQ(-1, HeaderRowOf(kDoor));
    EXPECT_TRUE(IsGateRow(kGate));
    EXPECT_FALSE(IsGateRow(kDoor));
    EXPECT_TRUE(IsEntrancePanelRow(kDoor));
    EXPECT_FALSE(IsPanelRow(QStringLiteral("3      количество БВ в пд")));
    EXPECT_EQ(kDoor, EntrancePanelName(QStringLiteral("БВ подъезда "), 3, 1));
    EXPECT_EQ(kGate, GatePanelName(QStringLiteral("БВ калитки "), 1));
    // Only the column's digits before the "." move; the door keeps its own.
    EXPECT_EQ(QStringLiteral("БВ подъезда 04. 03 вход"),
              MovePanelNameToColumn(QStringLiteral("БВ подъезда 03. 03 вход"), 3, 4));
}

TEST(MatrixCells, CodeIntoLinksAsTheSaveStoresThem) {
    EXPECT_EQ(0, LinkOf(QString()).plus);
    EXPECT_EQ(0, LinkOf(QStringLiteral(" ")).plus);
    EXPECT_EQ(1, LinkOf(QStringLiteral("+")).plus);
    EXPECT_FALSE(LinkOf(QStringLiteral("+")).tract.has_value());
    EXPECT_EQ(1, LinkOf(QStringLiteral("4")).plus);
    EXPECT_EQ(4, LinkOf(QStringLiteral("4")).tract);
    EXPECT_EQ(2, LinkOf(QStringLiteral("--")).plus);
    EXPECT_EQ(0, LinkOf(QStringLiteral("--")).tract);
    EXPECT_EQ(3, LinkOf(QStringLiteral("-+-")).plus);
    EXPECT_EQ(3, LinkOf(QStringLiteral("-4-")).plus);
    EXPECT_FALSE(LinkOf(QStringLiteral("-4-")).tract.has_value());
    // A stored tract shows in a wired cell, never in a blank or key-only one.
    EXPECT_EQ(QStringLiteral("4"), GateCellWithTract(QStringLiteral("+"), 4));
    EXPECT_EQ(QStringLiteral("-4-"), GateCellWithTract(QStringLiteral("-+-"), 4));
    EXPECT_EQ(QStringLiteral("--"), GateCellWithTract(QStringLiteral("--"), 4));
    EXPECT_EQ(QString(), GateCellWithTract(QString(), 4));
    EXPECT_EQ(QStringLiteral("+"), GateCellWithTract(QStringLiteral("+"), 0));
    EXPECT_EQ(QStringLiteral("7"), EntranceCellWithTract(QStringLiteral("+"), 7));
}

TEST(MatrixCells, GateCellsCycleWithAndWithoutATract) {
    QString cell;
    QStringList seen;
    for (int i = 0; i < 4; ++i) seen << (cell = GateCellCycled(cell, 0));
    EXPECT_EQ(QStringList({"+", "--", "-+-", ""}), seen);
    seen.clear();
    for (int i = 0; i < 4; ++i) seen << (cell = GateCellCycled(cell, 3));
    EXPECT_EQ(QStringList({"3", "--", "-3-", ""}), seen);
    // "Клик для калитки" goes by the cell alone.
    EXPECT_EQ(QStringLiteral("+"), GateCellClicked(QString()));
    EXPECT_EQ(QStringLiteral("--"), GateCellClicked(QStringLiteral("+")));
    EXPECT_EQ(QStringLiteral("-+-"), GateCellClicked(QStringLiteral("--")));
    EXPECT_EQ(QString(), GateCellClicked(QStringLiteral("-+-")));
    EXPECT_EQ(QString(), GateCellClicked(QStringLiteral("4")));
}

TEST(MatrixTyping, TheLastTwoDigitsTypedFormTheNumber) {
    QString cell = QStringLiteral("00");
    for (QChar key : QStringLiteral("123")) cell = *TypedNumber(cell, key);
    EXPECT_EQ(QStringLiteral("23"), cell);
    EXPECT_EQ(QStringLiteral("05"), TypedNumber(QStringLiteral("00"), QLatin1Char('5')));
    EXPECT_FALSE(TypedNumber(QStringLiteral("05"), QLatin1Char(' ')).has_value());
    EXPECT_FALSE(TypedNumber(QStringLiteral("05"), QLatin1Char('\r')).has_value());
    EXPECT_FALSE(TypedNumber(QStringLiteral("05"), QLatin1Char('x')).has_value());
    // A cell holding no number starts again from the digit.
    EXPECT_EQ(QStringLiteral("07"), TypedNumber(QStringLiteral("ab"), QLatin1Char('7')));
}

TEST(MatrixTyping, NamesKeepTheirLastFiveOrFirstTwentyFiveCharacters) {
    QString name = QStringLiteral("Л-01");
    for (QChar key : QStringLiteral("абвгде")) name = *TypedEntranceName(name, key);
    EXPECT_EQ(QStringLiteral("бвгде"), name);
    EXPECT_EQ(QStringLiteral("Л-01'"),
              TypedEntranceName(QStringLiteral("Л-01 "), QLatin1Char('\'')));
    EXPECT_EQ(QStringLiteral("ё"), TypedEntranceName(QString(), QChar(0x0451)));
    EXPECT_FALSE(TypedEntranceName(QString(), QChar(0x0401)).has_value());  // "Ё"
    EXPECT_FALSE(TypedEntranceName(QString(), QLatin1Char('{')).has_value());
    QString shown = QString(24, QLatin1Char('x'));
    shown = *TypedPanelName(shown, QLatin1Char('y'));
    EXPECT_EQ(25, shown.size());
    EXPECT_EQ(shown, TypedPanelName(shown, QLatin1Char('z')));
    // A display name keeps its blanks.
    EXPECT_EQ(QStringLiteral("a b"), TypedPanelName(QStringLiteral("a "), QLatin1Char('b')));
}

TEST(MatrixTyping, DoorCountKeys) {
    EXPECT_EQ(5, TypedDoorCount(1, QLatin1Char('5'), 2));
    EXPECT_EQ(2, TypedDoorCount(1, QLatin1Char(' '), 2));
    EXPECT_EQ(1, TypedDoorCount(2, QLatin1Char('\r'), 2));
    EXPECT_FALSE(TypedDoorCount(2, QLatin1Char('a'), 2).has_value());
}

TEST(MatrixNumbers, TheSearchWrapsAndNeverHandsOutATakenNumber) {
    EXPECT_EQ(3, FreeNumber(3, 50, {1, 2}));
    EXPECT_EQ(5, FreeNumber(3, 50, {3, 4}));
    // At the limit it goes on from 0, and finds a free number above the start too.
    EXPECT_EQ(0, FreeNumber(62, 64, {62, 63}));
    EXPECT_EQ(2, FreeNumber(64, 64, {0, 1, 63}));
    QSet<int> all;
    for (int i = 0; i < 8; ++i) all.insert(i);
    EXPECT_FALSE(FreeNumber(5, 8, all).has_value());

    EXPECT_EQ(2, FindFreePanelNumber({"С№", "", "01", "03"}, 50));
    QList<QString> taken;
    for (int i = 1; i < 4; ++i) taken << QString::number(i).rightJustified(2, QLatin1Char('0'));
    EXPECT_EQ(0, FindFreePanelNumber(taken, 4));
    taken << QStringLiteral("00");
    EXPECT_FALSE(FindFreePanelNumber(taken, 4).has_value());
}

TEST(MatrixChecks, PanelNumbersMustBeBelowTheLimitAndUnique) {
    const QList<MatrixRowNumbers> rows = {{QStringLiteral("0      подъезд по порядку"), "С№"},
                                          {kGate, "01"},
                                          {kDoor, "02"},
                                          {QStringLiteral("БВ подъезда 04. 01 вход"), "05"}};
    EXPECT_EQ('0', CheckCallBlockNumbers(rows, 50).result);
    QList<MatrixRowNumbers> repeated = rows;
    repeated[3].sysN = QStringLiteral("01");
    EXPECT_EQ('2', CheckCallBlockNumbers(repeated, 50).result);
    QList<MatrixRowNumbers> large = rows;
    large[2].sysN = QStringLiteral("64");
    const NumberCheck tooLarge = CheckCallBlockNumbers(large, 64);
    EXPECT_EQ('1', tooLarge.result);
    // The first letter is the Latin "C".
    EXPECT_EQ(QStringLiteral("Cетевой номер 64 больше допустимого 63!"), tooLarge.message);
    EXPECT_EQ(QChar(0x43), tooLarge.message.at(0));
    large[2].sysN = QStringLiteral("x1");
    EXPECT_EQ('1', CheckCallBlockNumbers(large, 64).result);
}

TEST(MatrixChecks, SwitchNumbersOfRowFour) {
    const QString row4 = QStringLiteral("4      сетевой номер КМ");
    EXPECT_EQ('0', CheckSwitchNumbers(row4, {"01", "02", "03"}, 50).result);
    EXPECT_EQ('2', CheckSwitchNumbers(row4, {"05", "02", "05"}, 50).result);
    // An empty cell stands for its column number; a later empty one for 0.
    EXPECT_EQ('0', CheckSwitchNumbers(row4, {"01", ""}, 50).result);
    EXPECT_EQ('0', CheckSwitchNumbers(row4, {"", "02"}, 50).result);
    EXPECT_EQ('2', CheckSwitchNumbers(row4, {"00", ""}, 50).result);
    const NumberCheck large = CheckSwitchNumbers(row4, {"01", "64"}, 64);
    EXPECT_EQ('1', large.result);
    EXPECT_EQ(QStringLiteral("Cетевой номер 64 больше допустимого 63!"), large.message);
    EXPECT_EQ('0',
              CheckSwitchNumbers(QStringLiteral("3      количество БВ в пд"), {"64"}, 64).result);
}
}  // namespace
}  // namespace MatrixRulesTestUnit
