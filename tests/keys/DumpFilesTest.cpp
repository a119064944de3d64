// The two key dump readers: keys out of БЭКУ pages and Мирель records, what
// a cut or foreign file gives, and the parse console's lines.

#include "DumpFileBuilders.h"
#include "keys/BekuDumpFile.h"
#include "keys/DumpFileReader.h"
#include "keys/MirelDumpFile.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace DumpFilesTestUnit {

namespace {

using DumpBuild::Beku;
using DumpBuild::Mirel;

TEST(BekuDump, ThreeByteKeysFromPagesOf25Bytes) {
    const QByteArray bytes =
        Beku(3, {{"1A2B3C", "", "0F0E0D"},
                 {"000001", "000002", "000003", "000004", "000005", "000006", "000007"}});
    ASSERT_EQ(bytes.size(), 32 + 2 * 25);
    const BekuDump dump = ReadBekuDump(bytes);
    EXPECT_EQ(dump.keyBytes, 3);
    EXPECT_EQ(dump.keys, QStringList({"1A2B3C", "0F0E0D", "000001", "000002", "000003", "000004",
                                      "000005", "000006", "000007"}));
    EXPECT_TRUE(dump.complete);
}

TEST(BekuDump, FourByteKeysFromPagesOf32Bytes) {
    const QByteArray bytes = Beku(4, {{"11223344", "", "", "", "", "", "A0B0C0D0"}});
    ASSERT_EQ(bytes.size(), 32 + 32);
    const BekuDump dump = ReadBekuDump(bytes);
    EXPECT_EQ(dump.keyBytes, 4);
    EXPECT_EQ(dump.keys, QStringList({"11223344", "A0B0C0D0"}));
}

TEST(BekuDump, AMaskedSlotGivesNoKeyWhateverItsBytes) {
    // Filler 0x77 is no empty-slot pattern; the mask alone decides.
    const BekuDump dump = ReadBekuDump(Beku(3, {{"", "", "123456"}}, char(0x77)));
    EXPECT_EQ(dump.keys, QStringList{"123456"});
}

TEST(BekuDump, ACutFileKeepsTheWholeSlotsBeforeTheCut) {
    QByteArray bytes = Beku(3, {{"000001", "000002", "000003"}});
    bytes.chop(25 - (2 + 2 * 3 + 1));  // one byte of slot 3 left
    const BekuDump dump = ReadBekuDump(bytes);
    EXPECT_EQ(dump.keys, QStringList({"000001", "000002"}));
    EXPECT_FALSE(dump.complete);
    EXPECT_TRUE(ReadBekuDump(QByteArray(20, char(0))).keys.isEmpty());  // shorter than page 0
    EXPECT_TRUE(ReadBekuDump(QByteArray()).keys.isEmpty());
}

TEST(BekuDump, TheConsoleEchoesEveryByte) {
    const BekuDump dump = ReadBekuDump(Beku(3, {{"1A2B3C"}}, char(0xFF)));
    const QStringList& c = dump.console;
    ASSERT_FALSE(c.isEmpty());
    EXPECT_EQ(c.first(), "bt00000000 $00000000:  00010001 - 11");
    EXPECT_TRUE(c.contains("bt00000024 $00000018:  00010001 - 11"));
    EXPECT_TRUE(c.contains("i:=18, $11 KolByte.Value:=3"));
    EXPECT_TRUE(c.contains("конец нулевой страницы "));
    EXPECT_TRUE(c.contains("bt00000032:  11111110 - FE"));  // the mask byte...
    EXPECT_TRUE(c.contains("mask: 01111111"));              // ...lowest bit first
    EXPECT_TRUE(c.contains("bt00000034:  00111100 - 3C"));
    EXPECT_TRUE(c.contains("ключ j:=1 :  1A2B3C"));
    EXPECT_TRUE(c.contains("bt00000037:  11111111 - не ключ FF"));  // a byte of an empty slot
    EXPECT_EQ(c.last(), "конец страницы 1");
    EXPECT_EQ(c.filter(QStringLiteral("bt")).size(), 32 + 25);
    EXPECT_TRUE(ReadBekuDump(Beku(3, {{"1A2B3C"}}), false).console.isEmpty());
}

TEST(MirelDump, VariantThreeListsAtMost21RecordsOfSevenKeys) {
    QList<QList<QString>> records;
    for (int a = 0; a < 23; ++a) {
        QList<QString> record;
        for (int k = 0; k < 7; ++k)
            record << QStringLiteral("%1%2")
                          .arg(a + 0x10, 4, 16, QLatin1Char('0'))
                          .arg(k + 1, 2, 10, QLatin1Char('0'));
        records << record;
    }
    const MirelDump dump = ReadMirelDump(Mirel(3, records));
    EXPECT_EQ(dump.apartments, 20);
    ASSERT_EQ(dump.rows.size(), 21 * 7);
    EXPECT_EQ(dump.rows.first().key, "001001");
    EXPECT_EQ(dump.rows.first().index, 0);  // record 0 is index 0
    EXPECT_EQ(dump.rows.last().key, "002407");
    EXPECT_EQ(dump.rows.last().index, 20);
    // Keys that straddle a page end read right: the page-end byte 5A is in none.
    for (const MirelKeyRow& row : dump.rows)
        EXPECT_FALSE(row.key.contains("5A")) << row.key.toStdString();
}

TEST(MirelDump, EmptySlotsAndCutRecordsGiveNoKeys) {
    QByteArray bytes = Mirel(1, {{"", "0A0B0C"}, {"0D0E0F", "", "", "", "", "", "101112"}});
    const MirelDump whole = ReadMirelDump(bytes);
    ASSERT_EQ(whole.rows.size(), 3);
    EXPECT_EQ(whole.rows[1].key, "0D0E0F");
    EXPECT_EQ(whole.rows[1].index, 1);
    bytes.chop(2);  // the last slot loses two bytes
    EXPECT_EQ(ReadMirelDump(bytes).rows.size(), 2);
}

TEST(MirelDump, AnUnknownVariantStopsTheReading) {
    const MirelDump dump = ReadMirelDump(Mirel(5, {{"0A0B0C"}}));
    EXPECT_TRUE(dump.badVariant);
    EXPECT_TRUE(dump.rows.isEmpty());
    ASSERT_FALSE(dump.console.isEmpty());
    EXPECT_EQ(dump.console.last(), "! Возможно файл не соответствует структуре !");
    EXPECT_EQ(MirelVariantApartments(4), 300);
    EXPECT_EQ(MirelVariantApartments(0), 0);
}

TEST(MirelDump, TheConsoleMarksPagesAndRecords) {
    const MirelDump dump = ReadMirelDump(Mirel(2, {{"0A0B0C"}}));
    const QStringList& c = dump.console;
    ASSERT_FALSE(c.isEmpty());
    EXPECT_EQ(c.first(), "bt00000000 $00000000:  00000000 - 00");
    EXPECT_TRUE(c.contains("bt00000004 $00000004:  10100010 - A2"));
    EXPECT_TRUE(c.contains("Количество квартир устройства: 100"));
    EXPECT_TRUE(c.contains("-----------Конец страницы. Адрес 31"));
    EXPECT_TRUE(c.contains("- - - - - -Начало данных квартир. 96"));
    EXPECT_TRUE(c.contains("кв № 0"));
    EXPECT_TRUE(c.contains("ключ v:=1 :  0A0B0C"));
    EXPECT_TRUE(c.contains("ключ v:=2 :  FFFFFF"));
}

TEST(DumpFile, ReadWholeUpToOneMebibyte) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dump.bin");
    QByteArray bytes;
    QString why;
    EXPECT_EQ(ReadDumpFileBytes(path, bytes, &why), DumpFileStatus::Unreadable);
    EXPECT_FALSE(why.isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(kMaxDumpFileBytes, char(1)));
    file.close();
    EXPECT_EQ(ReadDumpFileBytes(path, bytes, &why), DumpFileStatus::Ok);
    EXPECT_EQ(bytes.size(), kMaxDumpFileBytes);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("x");
    file.close();
    EXPECT_EQ(ReadDumpFileBytes(path, bytes, &why), DumpFileStatus::TooLarge);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(DumpFilesFolder("/db/", false, 12), "/db/Data/FlRead/Fl_12");
    EXPECT_EQ(DumpFilesFolder("/db", true, std::nullopt), "/db/Data/FlWrite/Fl_0");
}

}  // namespace
}  // namespace DumpFilesTestUnit
