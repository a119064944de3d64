// Both key readers on the keys screen: switching on and off, the 1-Wire poll
// with a scripted adapter, the card reader on a pseudo-terminal, the console's
// log, and the readers stopped when the program closes.

#include "KeysScreenFixture.h"
#include "app/TFMainVesk.h"
#include "keys/KeyRegister.h"
#include "keys/ui/TFMifare.h"
#include "keys/ui/TFrKeys.h"
#include "support/PtyPair.h"
#include "support/QtPrinters.h"
#include "support/RecordingTones.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedOneWire.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace KeyReadersScreenTestUnit {

namespace {

const QByteArray kSerial = QByteArray::fromHex("112233445566");

class KeyReadersScreenTest : public KeysScreenFixture {
  protected:
    void SetUp() override {
        KeysScreenFixture::SetUp();
        FMifare = console_.get();
        GoToApartment(0, 7);
    }
    void TearDown() override {
        KeysScreenFixture::TearDown();
        FMifare = nullptr;
    }
    // The card reader is the pseudo-terminal, named in the settings file.
    void PlugCardReader() {
        tdb_.programDir().writeFile("Ini/save.ini",
                                    ("[Readers]\nrfid=" + pty_->SlavePath() + "\n").toUtf8());
    }
    void TouchKey() {
        oneWire_.reset = 1;
        oneWire_.rom = ScriptedOneWire::Rom(0x01, kSerial);
    }
    QStringList Log() const { return console_->LogLines(); }
    int StoredKeys(const QString& code) {
        return Count("SELECT COUNT(*) FROM k_key WHERE bv_key=? AND id_kvr=?",
                     {code, ApartmentId(0, 7)});
    }

    ScriptedDialogs dialogs_;
    RecordingTones tones_;
    ScriptedOneWire oneWire_;
    std::unique_ptr<PtyPair> pty_ = std::make_unique<PtyPair>();
    std::unique_ptr<TFMifare> console_ = std::make_unique<TFMifare>();
};

TEST_F(KeyReadersScreenTest, ATouchedKeyIsEnteredOnceAndAgainAfterItWasLifted) {
    frame_->Btn1WireOn->click();
    EXPECT_EQ(Log(), QStringList{"Порт USB для 1-Wire открыт"});
    EXPECT_TRUE(frame_->OneWireOn());
    EXPECT_TRUE(frame_->Timer1->isActive());
    EXPECT_TRUE(frame_->AIn->isEnabled());
    EXPECT_TRUE(frame_->Btn1WireOff->isEnabled());
    EXPECT_TRUE(frame_->Btn1WireOn->isEnabled());  // the card reader is still off
    EXPECT_TRUE(console_->isVisible());

    TouchKey();
    frame_->Timer1Timer();
    EXPECT_EQ(StoredKeys("332211"), 1);
    EXPECT_EQ(frame_->E_sn->text(), QString());
    frame_->Timer1Timer();  // still held
    EXPECT_TRUE(tones_.Heard().isEmpty());

    oneWire_.reset = 0;
    frame_->Timer1Timer();  // lifted: "нет ключа"
    TouchKey();
    frame_->Timer1Timer();  // touched again: entered again, and refused as a duplicate
    EXPECT_EQ(tones_.Heard(), QStringList{"120/100"});
    EXPECT_EQ(frame_->E_sn->text(), QStringLiteral("665544332211"));

    // Without "Авто ввод" the number only waits in the field.
    frame_->AIn->setChecked(false);
    frame_->E_sn->clear();
    oneWire_.reset = 0;
    frame_->Timer1Timer();
    oneWire_.rom = ScriptedOneWire::Rom(0x01, QByteArray::fromHex("0102030405AA"));
    oneWire_.reset = 1;
    frame_->Timer1Timer();
    EXPECT_EQ(frame_->E_sn->text(), QStringLiteral("AA0504030201"));
    EXPECT_EQ(StoredKeys("030201"), 0);
    EXPECT_TRUE(frame_->Timer1->isActive());
}

TEST_F(KeyReadersScreenTest, APollErrorAsksRetryOrCancelAndCancelSwitchesOff) {
    frame_->Btn1WireOn->click();
    oneWire_.reset = -12;
    dialogs_.Expect(QString(), QStringLiteral("Прервалось соединение с адаптером"),
                    DlgAnswer::Retry);
    frame_->Timer1Timer();
    EXPECT_TRUE(frame_->OneWireOn());
    EXPECT_TRUE(frame_->Timer1->isActive());

    dialogs_.Expect(QString(), QStringLiteral("Прервалось соединение с адаптером"),
                    DlgAnswer::Cancel);
    frame_->Timer1Timer();
    EXPECT_FALSE(frame_->OneWireOn());
    EXPECT_FALSE(oneWire_.SessionOpen());
    EXPECT_FALSE(frame_->Timer1->isActive());
    EXPECT_FALSE(frame_->AIn->isEnabled());
    EXPECT_TRUE(frame_->Btn1WireOn->isEnabled());
    EXPECT_FALSE(frame_->Btn1WireOff->isEnabled());
    EXPECT_FALSE(console_->isVisible());
    ASSERT_FALSE(Log().isEmpty());
    EXPECT_EQ(Log().last(), QStringLiteral("Порт USB для 1-Wire закрыт"));

    // A shorted line is only recorded.
    frame_->Btn1WireOn->click();
    oneWire_.reset = 3;
    frame_->Timer1Timer();
    EXPECT_TRUE(frame_->OneWireOn());
}

TEST_F(KeyReadersScreenTest, WithoutAnyReaderTheOperatorIsToldWhy) {
    oneWire_.driverInstalled = false;
    dialogs_.Expect(Dialogs::ApplicationTitle(), QStringLiteral("Драйвер не установлен"));
    frame_->Btn1WireOn->click();
    EXPECT_EQ(Log(), QStringList{"Порт USB нужно передернуть."});
    EXPECT_FALSE(frame_->AIn->isEnabled());
    EXPECT_FALSE(frame_->Btn1WireOff->isEnabled());
    EXPECT_TRUE(console_->isVisible());
}

// Switching on twice without a card reader logs nothing for it.
TEST_F(KeyReadersScreenTest, SwitchingOnAgainLeavesAReaderThatIsOnAlone) {
    frame_->Btn1WireOn->click();
    frame_->Btn1WireOn->click();
    EXPECT_EQ(Log(), QStringList{"Порт USB для 1-Wire открыт"});
    EXPECT_EQ(oneWire_.Calls().count("TMExtendedStartSession"), 1);
    EXPECT_FALSE(frame_->ReaderPortOpen());
}

TEST_F(KeyReadersScreenTest, TheCardReaderHandsEveryLineOnceItIsComplete) {
    PlugCardReader();
    oneWire_.driverInstalled = false;  // present card reader, absent adapter: no box
    frame_->Btn1WireOn->click();
    const QString port = pty_->SlavePath();
    EXPECT_EQ(Log(), (QStringList{"Порт:=" + port + " Vid:= Pid:=", "Порт:=" + port + " открыт",
                                  "Порт USB нужно передернуть."}));
    EXPECT_TRUE(frame_->ReaderPortOpen());
    EXPECT_TRUE(frame_->Btn1WireOn->isEnabled());
    EXPECT_TRUE(frame_->AIn->isEnabled());

    for (const QByteArray piece : {"[1a2b", "3c4d]", "\r\n"}) {
        ASSERT_TRUE(pty_->WriteMaster(piece));
        QTest::qWait(30);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return StoredKeys("3C2B1A") == 1; }));
    EXPECT_EQ(Log().count("countBuf:=12 [1a2b3c4d]"), 1);

    ASSERT_TRUE(pty_->WriteMaster("[01020304]\r\n[0A0B0C0D]\r\n[1A2B3C]\r\n"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StoredKeys("0C0B0A") == 1; }));
    EXPECT_EQ(StoredKeys("030201"), 1);
    ASSERT_FALSE(Log().isEmpty());
    EXPECT_EQ(Log().last(), QStringLiteral("countBuf:=10 [1A2B3C]"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE id_kvr=?", {ApartmentId(0, 7)}), 3);

    EXPECT_FALSE(::SaveScreen(*console_, QStringLiteral("key_readers_console")).isEmpty());

    frame_->Btn1WireOff->click();
    ASSERT_FALSE(Log().isEmpty());
    EXPECT_EQ(Log().last(), "Порт:=" + port + " закрыт");
    EXPECT_FALSE(console_->BCPMifare.Connected());
    EXPECT_FALSE(frame_->ReaderPortOpen());
}

// The console's edits start from the port's time-outs and change them on leaving.
TEST_F(KeyReadersScreenTest, TheConsoleSetsTheReadTimeouts) {
    EXPECT_EQ(console_->SReadInterval->value(), -1);
    EXPECT_EQ(console_->SReadTotalConstant->value(), 0);
    EXPECT_EQ(console_->SReadTotalMultiplier->value(), 0);
    console_->SReadTotalConstant->setValue(250);
    emit console_->SReadTotalConstant->editingFinished();
    console_->SReadInterval->setValue(20);
    emit console_->SReadInterval->editingFinished();
    EXPECT_EQ(console_->BCPMifare.Timeouts().ReadTotalConstant(), 250);
    EXPECT_EQ(console_->BCPMifare.Timeouts().ReadInterval(), 20);
    EXPECT_EQ(console_->BCPMifare.Timeouts().ReadTotalMultiplier(), 0);
}

TEST_F(KeyReadersScreenTest, AHalfReceivedLineSurvivesSwitchingTheReadersOffAndOn) {
    PlugCardReader();
    frame_->Btn1WireOn->click();
    ASSERT_TRUE(pty_->WriteMaster("[0102"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return console_->PendingReaderLine() == "[0102"; }));
    frame_->Btn1WireOffClick();
    frame_->Btn1WireOn->click();
    ASSERT_TRUE(pty_->WriteMaster("0304]\r\n"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !Log().isEmpty() && Log().last().startsWith("countBuf:="); }));
    ASSERT_FALSE(Log().isEmpty());
    EXPECT_EQ(Log().last(), QStringLiteral("countBuf:=12 [01020304]"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StoredKeys("030201") == 1; }));
}

// The main window stops the readers when the program closes.
TEST_F(KeyReadersScreenTest, ClosingTheProgramEndsTheOneWireSession) {
    frame_.reset();
    TFMainVesk window;
    window.ShowScreen(9);
    auto* keys = dynamic_cast<TFrKeys*>(window.FrKeys1);
    ASSERT_NE(keys, nullptr);
    keys->Btn1WireOn->click();
    ASSERT_TRUE(oneWire_.SessionOpen());
    window.close();
    EXPECT_FALSE(oneWire_.SessionOpen());
    EXPECT_EQ(oneWire_.Calls().mid(oneWire_.Calls().size() - 2),
              (QStringList{"TMClose", "TMEndSession"}));
    EXPECT_FALSE(keys->Timer1->isActive());
}

}  // namespace
}  // namespace KeyReadersScreenTestUnit
