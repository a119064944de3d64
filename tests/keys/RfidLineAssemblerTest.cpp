// The card reader's lines put together from pieces of any size, and the card
// number taken out of each.

#include "keys/RfidLineAssembler.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace RfidLineAssemblerTestUnit {

namespace {

QStringList numbersOf(const QList<RfidReaderOutput>& out) {
    QStringList numbers;
    for (const RfidReaderOutput& line : out)
        if (!line.number.isEmpty()) numbers << line.number;
    return numbers;
}

QStringList logOf(const QList<RfidReaderOutput>& out) {
    QStringList log;
    for (const RfidReaderOutput& line : out) log << line.log;
    return log;
}

TEST(RfidCardNumberTest, TheBracketedDigitsAreReversedByBytes) {
    EXPECT_EQ(RfidCardNumber("[1a2b3c4d]\r"), QStringLiteral("00004D3C2B1A"));
    EXPECT_EQ(RfidCardNumber("Em-Marine[00FF]  [1A2B3C4D]\r"),
              QString());  // the first bracket counts
    EXPECT_EQ(RfidCardNumber("[1A2B3C]\r"), QString());
    EXPECT_EQ(RfidCardNumber("[1A2B3C4\r"), QString());  // the line ends inside the eight
    EXPECT_EQ(RfidCardNumber("[1A2B3C4D\r"), QStringLiteral("00004D3C2B1A"));  // no "]" needed
    EXPECT_EQ(RfidCardNumber("[1A2B3C4D"), QString());  // nothing after the eight
    EXPECT_EQ(RfidCardNumber("1A2B3C4D\r"), QString());
    EXPECT_EQ(RfidCardNumber("[1A2B-C4D]\r"), QString());
}

TEST(RfidLineAssemblerTest, ALineInThreePiecesIsDecodedOnceWhenItsEndArrives) {
    RfidLineAssembler lines;
    EXPECT_TRUE(lines.Feed("[1a2b").isEmpty());
    EXPECT_TRUE(lines.Feed("3c4d]").isEmpty());
    const QList<RfidReaderOutput> out = lines.Feed("\r\n[0102");
    EXPECT_EQ(logOf(out), QStringList{"countBuf:=12 [1a2b3c4d]"});
    EXPECT_EQ(numbersOf(out), QStringList{"00004D3C2B1A"});
    // What followed the line end starts the next line.
    EXPECT_EQ(lines.PendingLine(), QStringLiteral("[0102"));
    EXPECT_EQ(numbersOf(lines.Feed("0304]\r\n")), QStringList{"000004030201"});
}

TEST(RfidLineAssemblerTest, EveryLineOfAPieceIsDecodedInOrder) {
    RfidLineAssembler lines;
    EXPECT_EQ(numbersOf(lines.Feed("[1a2b3c4d]\r\n[01020304]\r\n")),
              (QStringList{"00004D3C2B1A", "000004030201"}));
    // A CR without LF ends a line too, and an LF on its own is dropped.
    EXPECT_EQ(numbersOf(lines.Feed("[01020304]\r[0A0B0C0D]")), QStringList{"000004030201"});
    EXPECT_EQ(numbersOf(lines.Feed("\n\r")), QStringList{"00000D0C0B0A"});
    const QList<RfidReaderOutput> bare = lines.Feed("\n[1A2B3C]\r\n");
    ASSERT_FALSE(bare.isEmpty());
    EXPECT_TRUE(bare.first().number.isEmpty());
}

TEST(RfidLineAssemblerTest, ALineWithoutEndIsCutAndTheEmptySlotMarkIsNotEntered) {
    RfidLineAssembler lines;
    const QList<RfidReaderOutput> cut = lines.Feed(QByteArray(300, 'x'));
    ASSERT_EQ(cut.size(), 2);
    EXPECT_TRUE(cut[0].log.startsWith(QStringLiteral("countBuf:=256 xxx")));
    EXPECT_EQ(cut[1].log, QStringLiteral("Строка без CR длиннее 256 символов отброшена"));
    EXPECT_EQ(lines.PendingLine().size(), 44);

    lines.Clear();
    const QList<RfidReaderOutput> empty = lines.Feed("[FFFFFF12]\r\n");
    EXPECT_TRUE(numbersOf(empty).isEmpty());
    ASSERT_FALSE(logOf(empty).isEmpty());
    EXPECT_EQ(logOf(empty).last(),
              QStringLiteral("Ключ 000012FFFFFF не введен: FFFFFF - метка пустой ячейки"));
}

}  // namespace
}  // namespace RfidLineAssemblerTestUnit
