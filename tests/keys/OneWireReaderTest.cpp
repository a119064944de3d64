// The 1-Wire key reader without a window: the ROM block and its texts, the
// session's failures, one poll at a time against a scripted adapter, and the
// kernel's w1 devices as a folder tree.

#include "keys/OneWireKeyReader.h"
#include "keys/OneWireNetwork.h"
#include "platform/W1SysfsAdapter.h"
#include "support/QtPrinters.h"
#include "support/ScriptedOneWire.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace OneWireReaderTestUnit {

namespace {

const QByteArray kSerial = QByteArray::fromHex("112233445566");  // line order

QString failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const OneWireError& e) {
        return e.Message();
    }
    return QString();
}

TEST(OneWireRomTest, TheExampleKeyGivesItsCrcTextAndNumber) {
    const QByteArray rom = ScriptedOneWire::Rom(0x01, kSerial);
    EXPECT_EQ(quint8(rom[7]), 0x75);
    RomBuffer block = ReadRomRequest();
    for (int i = 0; i < 8; ++i) block[i + 1] = quint8(rom[i]);
    EXPECT_TRUE(OneWireNetwork::CrcOk(block));
    EXPECT_EQ(RomText(block), QStringLiteral("7566554433221101"));
    EXPECT_EQ(RomKeyNumber(RomText(block)), QStringLiteral("665544332211"));
    block[4] ^= 0x01;
    EXPECT_FALSE(OneWireNetwork::CrcOk(block));
}

TEST(OneWireRomTest, ErrorCodesHaveTheirTexts) {
    EXPECT_EQ(TmexErrorText(-12, "x").Message(),
              QStringLiteral("Прервалось соединение с адаптером"));
    EXPECT_EQ(TmexErrorText(-1, "x").Message(),
              QStringLiteral("Specified 1-Wire network has not been initialized with a call to "
                             "the TMSetup function"));
    EXPECT_EQ(TmexErrorText(-201, "x").Message(),
              QStringLiteral("Hardware_Specific driver not found and is required"));
    EXPECT_EQ(TmexErrorText(7, "TMSetup").Message(),
              QStringLiteral("TMEX TMSetup UNKNOWN ERROR # 7"));
    EXPECT_EQ(TmexErrorText(-14, "ReadBlock\\TMBlockStream").Message(),
              QStringLiteral("TMEX ReadBlock\\TMBlockStream UNKNOWN ERROR # -14"));
}

TEST(OneWireSessionTest, ASessionThatCannotStartSaysWhy) {
    ScriptedOneWire adapter;
    auto open = [&] { OneWireNetwork session(adapter, 1, 6, 1); };
    adapter.driverInstalled = false;
    EXPECT_EQ(failureOf(open), QStringLiteral("Драйвер не установлен"));
    adapter.driverInstalled = true;
    adapter.session = 0;
    EXPECT_EQ(failureOf(open),
              QStringLiteral("port not available, it is being used by another application"));
    adapter.session = -2;
    EXPECT_EQ(failureOf(open), QStringLiteral("Specified 1-Wire network nonexistent"));
    EXPECT_FALSE(adapter.Calls().contains(QStringLiteral("TMEndSession")));
}

// A session that opened but failed its setup is ended again.
TEST(OneWireSessionTest, AFailedSetupEndsTheSession) {
    ScriptedOneWire adapter;
    const std::pair<qint16, const char*> setups[] = {{0, "Setup failed."},
                                                     {3, "1-Wire network does not exist."},
                                                     {4, "TMSetup not supported"},
                                                     {9, "TMEX TMSetup UNKNOWN ERROR # 9"}};
    for (const auto& [setup, text] : setups) {
        adapter.setup = setup;
        EXPECT_EQ(failureOf([&] { OneWireNetwork session(adapter, 1, 6, 1); }),
                  QString::fromUtf8(text));
        EXPECT_EQ(adapter.Calls().mid(adapter.Calls().size() - 2),
                  (QStringList{"TMClose", "TMEndSession"}));
        EXPECT_FALSE(adapter.SessionOpen());
    }
}

class OneWirePollTest : public ::testing::Test {
  protected:
    void SetUp() override { reader_.SwitchOn(); }
    void TouchKey() {
        adapter_.reset = 1;
        adapter_.rom = ScriptedOneWire::Rom(0x01, kSerial);
    }

    ScriptedOneWire adapter_;
    OneWireKeyReader reader_;
};

TEST_F(OneWirePollTest, AHeldKeyIsEnteredOnceAndAgainAfterItWasLifted) {
    TouchKey();
    OneWirePoll poll = reader_.Poll(QString());
    EXPECT_EQ(poll.text, QStringLiteral("7566554433221101"));
    EXPECT_EQ(poll.number, QStringLiteral("665544332211"));
    EXPECT_TRUE(reader_.Poll(QString()).number.isEmpty());  // still held

    adapter_.reset = 0;
    EXPECT_EQ(reader_.Poll(QString()).text, QStringLiteral("нет ключа"));
    TouchKey();
    EXPECT_EQ(reader_.Poll(QString()).number, QStringLiteral("665544332211"));

    // A key the number field already shows is not handed over again.
    adapter_.reset = 0;
    reader_.Poll(QString());
    TouchKey();
    EXPECT_TRUE(reader_.Poll(QStringLiteral("665544332211")).number.isEmpty());
}

TEST_F(OneWirePollTest, AShortBlockOrAShortedLineIsAShortCircuit) {
    TouchKey();
    adapter_.exchanged = 11;
    OneWirePoll poll = reader_.Poll(QString());
    EXPECT_EQ(poll.text, QStringLiteral("замыкание в линии"));
    EXPECT_TRUE(poll.number.isEmpty());
    EXPECT_TRUE(poll.error.isEmpty());

    adapter_.reset = 3;
    poll = reader_.Poll(QString());
    EXPECT_EQ(poll.text, QStringLiteral("замыкание в линии"));
    EXPECT_TRUE(poll.error.isEmpty());
}

TEST_F(OneWirePollTest, ADisturbedReadIsMarkedAndNotEntered) {
    TouchKey();
    adapter_.rom[3] = char(0x00);  // a bit lost: the CRC fails
    OneWirePoll poll = reader_.Poll(QString());
    EXPECT_TRUE(poll.text.endsWith(QStringLiteral(" плохой")));
    EXPECT_TRUE(poll.number.isEmpty());

    // A block over the maximum count is an adapter error the operator sees.
    TouchKey();
    adapter_.exchanged = 13;
    poll = reader_.Poll(QString());
    EXPECT_EQ(poll.error, QStringLiteral("TMEX ReadBlock\\TMBlockStream UNKNOWN ERROR # 13"));
}

TEST_F(OneWirePollTest, ALostAdapterAsksTheOperator) {
    adapter_.reset = -12;
    const OneWirePoll poll = reader_.Poll(QString());
    EXPECT_EQ(poll.error, QStringLiteral("Прервалось соединение с адаптером"));
    EXPECT_EQ(reader_.LastRomText(), QStringLiteral("Прервалось соединение с адаптером"));
}

TEST_F(OneWirePollTest, TheEmptySlotMarkIsLoggedNotEntered) {
    adapter_.reset = 1;
    adapter_.rom = ScriptedOneWire::Rom(0x01, QByteArray::fromHex("FFFFFF445566"));
    const OneWirePoll poll = reader_.Poll(QString());
    EXPECT_TRUE(poll.number.isEmpty());
    EXPECT_EQ(poll.note,
              QStringLiteral("Ключ 665544FFFFFF не введен: FFFFFF - метка пустой ячейки"));
}

TEST_F(OneWirePollTest, SwitchingOffEndsTheSession) {
    EXPECT_TRUE(adapter_.SessionOpen());
    reader_.SwitchOff();
    EXPECT_FALSE(adapter_.SessionOpen());
    EXPECT_TRUE(reader_.Poll(QString()).text.isEmpty());  // nothing is polled while off
}

// ---------------------------------------------------------------- the w1 devices

class W1TreeTest : public ::testing::Test {
  protected:
    void TearDown() override { OneWire::SetAdapter(nullptr); }
    QString Root() const { return dir_.path() + "w1"; }
    void MakeMaster() { QDir().mkpath(Root() + "/w1_bus_master1"); }
    void ListSlaves(const QStringList& slaves) {
        MakeMaster();
        dir_.writeFile(
            "w1/w1_bus_master1/w1_master_slaves",
            slaves.isEmpty() ? QByteArray("not found.\n") : (slaves.join('\n') + '\n').toLatin1());
    }
    void AddSlave(const QString& name, const QByteArray& rom) {
        dir_.writeFile("w1/" + name + "/id", rom);
    }
    // Switches a reader on over the tree and polls once.
    OneWirePoll PollOnce(OneWireKeyReader& reader) {
        reader.SwitchOn();
        return reader.Poll(QString());
    }

    TempProgramDir dir_;
};

TEST_F(W1TreeTest, AMissingDriverOrBusMasterIsReported) {
    W1SysfsAdapter adapter(Root());
    OneWire::SetAdapter(&adapter);
    OneWireKeyReader reader;
    EXPECT_EQ(failureOf([&] { reader.SwitchOn(); }), QStringLiteral("Драйвер не установлен"));
    QDir().mkpath(Root());
    EXPECT_EQ(failureOf([&] { reader.SwitchOn(); }),
              QStringLiteral("1-Wire network does not exist."));
    EXPECT_FALSE(reader.IsOn());
}

// The folder comes from the settings file when no adapter is installed.
TEST_F(W1TreeTest, AKeyIsReadFromItsIdAsOnTheLine) {
    dir_.writeFile("Ini/save.ini", ("[Readers]\nw1=" + Root() + "\n").toUtf8());
    const QByteArray rom = ScriptedOneWire::Rom(0x01, kSerial);
    ListSlaves({"81-0000012c3a4b"});  // the adapter's own chip is no key
    AddSlave("01-665544332211", rom);
    OneWireKeyReader reader;
    EXPECT_EQ(PollOnce(reader).text, QStringLiteral("нет ключа"));

    ListSlaves({"81-0000012c3a4b", "01-665544332211"});
    RomBuffer block = ReadRomRequest();
    W1SysfsAdapter direct(Root());
    qint32 option = 1;
    const qint32 session = direct.StartSession(1, 6, &option);
    ASSERT_EQ(direct.Setup(session), 1);
    ASSERT_EQ(direct.BlockStream(session, block.data(), 12), 12);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(block.data()), 12),
              QByteArray(1, char(0x33)) + rom + QByteArray(3, char(0xFF)));
    EXPECT_EQ(reader.Poll(QString()).number, QStringLiteral("665544332211"));
}

TEST_F(W1TreeTest, TwoKeysReadAsTheLineAndsThemAndAGoneKeyReadsOnes) {
    W1SysfsAdapter adapter(Root());
    OneWire::SetAdapter(&adapter);
    AddSlave("01-665544332211", ScriptedOneWire::Rom(0x01, kSerial));
    AddSlave("01-0000000000aa", ScriptedOneWire::Rom(0x01, QByteArray::fromHex("AA0000000000")));
    ListSlaves({"01-665544332211", "01-0000000000aa"});
    OneWireKeyReader reader;
    OneWirePoll poll = PollOnce(reader);
    EXPECT_TRUE(poll.text.endsWith(QStringLiteral(" плохой"))) << poll.text.toStdString();
    EXPECT_TRUE(poll.number.isEmpty());

    // Listed, but gone before its bytes were read: nothing answers.
    ListSlaves({"01-123456789abc"});
    poll = reader.Poll(QString());
    EXPECT_TRUE(poll.text.startsWith(QStringLiteral("FFFFFFFFFFFFFFFF")));
    EXPECT_TRUE(poll.number.isEmpty());

    // The adapter unplugged while polling.
    QDir(Root() + "/w1_bus_master1").removeRecursively();
    EXPECT_EQ(reader.Poll(QString()).error, QStringLiteral("Прервалось соединение с адаптером"));
}

}  // namespace
}  // namespace OneWireReaderTestUnit
