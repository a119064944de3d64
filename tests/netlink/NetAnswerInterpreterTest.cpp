#include "netlink/NetAnswerInterpreter.h"

#include "support/DeviceBusSimulator.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace NetAnswerInterpreterTestUnit {

namespace {

TNetFrame FrameOf(const QByteArray& bytes) {
    return TNetFrame::FromBytes(reinterpret_cast<const quint8*>(bytes.constData()),
                                int(bytes.size()));
}

// The request turned into the device's answer, as the bus does it.
TNetFrame Answer(const TNetFrame& request, int from, bool positive = true) {
    TNetFrame answer = request;
    answer.Set(0, from);
    answer.Set(1, 0x7F);
    if (positive) answer.Set(3, request[3] | 0x80);
    return answer;
}

class InterpreterTest : public ::testing::Test {
  protected:
    // One pass; returns the mode text it leaves.
    QString Run(const QString& mode = "1") {
        NetInterpretation io{memoSend,   memoRead, tables, selected,        answerLog,
                             deviceList, formLog,  63,     "/tmp/log1.log", false};
        QString modeText = mode;
        result = InterpretAnswers(io, modeText, status);
        return modeText;
    }
    void Sent(const TNetFrame& request) { memoSend.append(request.ToHex()); }
    void Received(const TNetFrame& packet) { memoRead.append(packet.ToHex()); }
    void Received(const QByteArray& packet) { Received(FrameOf(packet)); }

    QStringList memoSend, memoRead, answerLog, deviceList, formLog;
    NetDeviceTables tables;
    int selected = -1;
    QString status;
    NetInterpretResult result;
};

TEST_F(InterpreterTest, ClassReplyPairsWithItsRequestAndIsStored) {
    const SimDevice device = SimDevice::Switch(5);
    Sent(NetRequest::Class(5));
    Sent(NetRequest::Class(6));
    Received(DeviceBusSimulator::ClassReply(device));
    EXPECT_EQ(Run(), "1");
    EXPECT_EQ(status, "");
    EXPECT_EQ(answerLog, QStringList{" Получен ответ устройства: СКМ05"});
    EXPECT_EQ(memoSend, QStringList{NetRequest::Class(6).ToHex()});  // only the answered one goes
    EXPECT_TRUE(memoRead.isEmpty());
    EXPECT_EQ(tables.AnswerCount(5), 1);
    EXPECT_TRUE(tables.ReplyStored(5));
    EXPECT_EQ(deviceList, QStringList{"СКМ05  "});
}

TEST_F(InterpreterTest, TwoDevicesAtOneAddressAreCountedTwice) {
    Sent(NetRequest::Class(5));
    Received(DeviceBusSimulator::ClassReply(SimDevice::Switch(5)));
    Received(DeviceBusSimulator::ClassReply(SimDevice::Switch(5)));
    Run();
    EXPECT_EQ(tables.AnswerCount(5), 2);
    EXPECT_EQ(deviceList, (QStringList{"СКМ05  ", "СКМ05 2"}));
    EXPECT_EQ(answerLog.size(), 2);
}

TEST_F(InterpreterTest, SelectorDeviceClassReplyPairsWithThePlainRequest) {
    SimDevice device = SimDevice::CallPanel(3);
    device.selector = true;
    Sent(NetRequest::Class(67));
    Received(DeviceBusSimulator::ClassReply(device));
    Run();
    EXPECT_EQ(tables.AnswerCount(67), 1);
    EXPECT_TRUE(memoSend.isEmpty());
}

TEST_F(InterpreterTest, RefusalsEchoesAndStrangersEachGetTheirStatus) {
    Sent(NetRequest::Class(9));
    Received(Answer(NetRequest::Class(9), 9, false));
    Run();
    EXPECT_EQ(answerLog, QStringList{"Отсутствует устройство СКМ09"});
    EXPECT_EQ(tables.AnswerCount(9), 0);
    EXPECT_TRUE(memoSend.isEmpty());

    // The own request coming back is no reply: logged, not stored.
    answerLog.clear();
    Sent(NetRequest::Class(8));
    Received(NetRequest::Class(8));
    Run();
    EXPECT_EQ(answerLog, QStringList{" Получен ответ устройства: СКМ08"});
    EXPECT_FALSE(tables.ReplyStored(8));
    EXPECT_TRUE(memoSend.isEmpty());

    // A packet that pairs with nothing stays for the late pass.
    Sent(NetRequest::Class(7));
    Received(DeviceBusSimulator::ClassReply(SimDevice::Switch(12)));
    Run();
    EXPECT_EQ(status, "Error");
    EXPECT_EQ(memoRead.size(), 1);
    EXPECT_EQ(memoSend.size(), 1);
}

TEST_F(InterpreterTest, ShortLinesAreDroppedFromBothJournals) {
    memoSend << "7F0506";
    memoRead << "057F";
    Run();
    EXPECT_TRUE(memoSend.isEmpty());
    memoRead << "057F";
    Sent(NetRequest::Class(5));
    Run();
    EXPECT_TRUE(memoRead.isEmpty());
    EXPECT_EQ(memoSend.size(), 1);
}

TEST_F(InterpreterTest, SelectAndDeselectMoveTheSelectedDevice) {
    const TNetFrame select = NetRequest::Select(5, false, {1, 2, 3});
    Sent(select);
    Received(Answer(select, 5, false));
    Run();
    ASSERT_FALSE(answerLog.isEmpty());
    EXPECT_EQ(answerLog.last(), "Нет входа в РП. СКМ05");
    EXPECT_EQ(selected, -1);

    Sent(select);
    Received(Answer(select, 5));
    Run();
    EXPECT_EQ(answerLog.last(), "Вход в РП. СКМ05");
    EXPECT_EQ(selected, 5);

    Sent(NetRequest::Deselect(5));
    Received(Answer(NetRequest::Deselect(5), 5));
    Run();
    EXPECT_EQ(answerLog.last(), "Выход из РП. СКМ05");
    EXPECT_EQ(selected, -1);

    // A selector request whose answer carries the command one byte further.
    const TNetFrame selectorSelect = NetRequest::Select(70, true, {0, 0, 0});
    TNetFrame shifted = Answer(selectorSelect, 70, false);
    shifted.Set(3, 0x01);
    shifted.Set(4, 0xC1);
    Sent(selectorSelect);
    Received(shifted);
    Run();
    EXPECT_EQ(selected, 70);
}

TEST_F(InterpreterTest, SerialNumberAnswerFillsTheTextsAndTheList) {
    const TNetFrame request{0x7F, 0x05, 0x0A, 0x01, 0, 0, 0, 0x03};
    TNetFrame answer = Answer(request, 5);
    answer.Set(2, 23);
    const QByteArray serial = DeviceBusSimulator::EncodeSerial("B123456789");
    for (int i = 0; i < 10; ++i) answer.Set(8 + i, quint8(serial[i]));
    answer.Set(18, 0x12);
    answer.Set(19, 0x56);
    answer.Set(20, 0x34);
    tables.StoreReply(5, TNetFrame{5, 0x7F, 31, 0x80}, 1);
    Sent(request);
    Received(answer);
    Run();
    ASSERT_FALSE(answerLog.isEmpty());
    EXPECT_EQ(answerLog.last(), "СКМ05 SN:= B123456789");
    EXPECT_EQ(tables.Text(5, kTextSerial), "B123456789");
    EXPECT_EQ(tables.Text(5, kTextDtg), "123456");
    EXPECT_EQ(deviceList, QStringList{"СКМ05   SN B123456789"});

    // Without the DTG bytes the identity is blank; a short answer is not read.
    answer.Set(2, 20);
    Sent(request);
    Received(answer);
    Run();
    EXPECT_EQ(tables.Text(5, kTextDtg), "");
    answer.Set(2, 19);
    Sent(request);
    Received(answer);
    Run();
    EXPECT_EQ(answerLog.last(), "Ответ не определен.");

    Sent(request);
    Received(Answer(request, 5, false));
    Run();
    EXPECT_EQ(answerLog.last(), "Устройство СКМ05 не вернуло свой SN.");
}

TEST_F(InterpreterTest, NetworkIdentifierAnswerFollowsIntoTheStoredReply) {
    SimDevice device = SimDevice::Switch(5);
    device.nid = 0x000102;
    tables.StoreReply(5, FrameOf(DeviceBusSimulator::ClassReply(device)), 1);
    tables.ParseClassReply(5);
    const TNetFrame request{0x7F, 0x05, 0x0D, 0x01, 0, 0, 0, 0x01, 0x56, 0x34, 0x12};
    Sent(request);
    Received(Answer(request, 5));
    Run();
    ASSERT_FALSE(answerLog.isEmpty());
    EXPECT_EQ(answerLog.last(), "СКМ05 Идентификатор сети изменился на NID:=1193046  $12$34$56");
    EXPECT_EQ(tables.NetDevices[5].Nid(), 0x123456);
    tables.ParseClassReply(5);
    EXPECT_EQ(tables.NetDevices[5].Nid(), 0x123456);

    Sent(request);
    Received(Answer(request, 5, false));
    Run();
    EXPECT_EQ(answerLog.last(),
              "Идентификатор не изменился СКМ05. Идентификатор сети NID:=1193046");
}

TEST_F(InterpreterTest, AddressChangeIsHandedBackForAskingAgain) {
    TNetFrame request{0x7F, 0x05, 0x19, 0x01, 0, 0, 0, 0x04};
    request.Set(20, 0x07);
    Sent(request);
    Received(Answer(request, 5));
    Run();
    ASSERT_FALSE(answerLog.isEmpty());
    EXPECT_EQ(answerLog.last(),
              "Сетевой адрес СУ СКМ05 изменен на СКМ07. Операция смены выполнена.");
    ASSERT_EQ(result.addressChanges.size(), 1);
    EXPECT_EQ(result.addressChanges[0].oldAddress, 5);
    EXPECT_EQ(result.addressChanges[0].newAddress, 7);

    // Back to the jumpers: the old address is forgotten.
    tables.StoreReply(5, TNetFrame{5, 0x7F, 31, 0x80}, 1);
    request.Set(20, 0xFF);
    Sent(request);
    Received(Answer(request, 5));
    Run();
    EXPECT_EQ(answerLog.last(), "Сетевой адрес сброшен. Операция смены выполнена.");
    EXPECT_EQ(tables.AnswerCount(5), 0);

    // Asked at a programming-mode address, the device answers from its own.
    TNetFrame atClass{0x7F, 0x80, 0x19, 0x01, 0, 0, 0, 0x04};
    atClass.Set(20, 0x09);
    Sent(atClass);
    Received(Answer(atClass, 9));
    Run();
    ASSERT_EQ(result.addressChanges.size(), 1);
    EXPECT_EQ(result.addressChanges[0].newAddress, 9);
    EXPECT_EQ(memoSend.size(), 1);  // a class address keeps its request
}

TEST_F(InterpreterTest, MemoryReadAndWriteAnswers) {
    const TNetFrame read{0x7F, 0x05, 0x09, 0x03, 0x00, 0x28, 0x16};
    TNetFrame data = Answer(read, 5);
    data.Set(7, 0xAB);
    Sent(read);
    Received(data);
    EXPECT_EQ(Run(), data.ToHex());

    const TNetFrame write{0x7F, 0x05, 0x0C, 0x04, 0x10, 0x28, 0x01, 0xEE};
    Sent(write);
    Received(Answer(write, 5));
    Run();
    ASSERT_FALSE(answerLog.isEmpty());
    EXPECT_EQ(answerLog.last(), "Пакет по адресу 10256 записан успешно.");
    Sent(write);
    Received(Answer(write, 5, false));
    Run();
    EXPECT_EQ(answerLog.last(), "Пакет не записан.");

    // Another memory address is another packet.
    TNetFrame other = Answer(write, 5);
    other.Set(4, 0x11);
    Sent(write);
    Received(other);
    Run();
    EXPECT_EQ(memoSend.size(), 1);
}

TEST_F(InterpreterTest, AdapterResultsGoToTheFormLog) {
    Sent(NetRequest::Class(0x7F));
    Received(DeviceBusSimulator::FrameFromHex("7F7F0B800102000003"));
    Run();
    ASSERT_FALSE(formLog.isEmpty());
    EXPECT_EQ(formLog.last(), "Версия APP СУС = $01$02$03");
    ASSERT_TRUE(result.adapterVersion);
    EXPECT_EQ(*result.adapterVersion, "$01$02$03");
    EXPECT_EQ(tables.NetDevices[127][kNdAppVersion], 0x0102);
    EXPECT_EQ(tables.NetDevices[127][kNdFormat], 11);

    Sent(NetRequest::Class(0x7F));
    Received(DeviceBusSimulator::FrameFromHex("7F7F0A800102000003"));  // 8 bytes: no third part
    Run();
    EXPECT_EQ(formLog.last(), "Версия APP СУС = $01$02$00");

    Sent(NetRequest::AdapterDriverOn());
    Received(Answer(NetRequest::AdapterDriverOn(), 0x7F));
    EXPECT_EQ(Run(), "*");
    EXPECT_EQ(formLog.last(), "Включен драйвер СУС.");
    Sent(NetRequest::AdapterDriverOn());
    Received(Answer(NetRequest::AdapterDriverOn(), 0x7F, false));
    EXPECT_EQ(Run(), "*");
    EXPECT_EQ(formLog.last(), "Драйвер был запущен.");

    TNetFrame every = Answer(NetRequest::AdapterReceptionMode(1), 0x7F);
    Sent(NetRequest::AdapterReceptionMode(1));
    Received(every);
    EXPECT_EQ(Run(), "#");
    EXPECT_EQ(formLog.last(),
              "Принимаются любые пакеты сети, log файл для их сохранения: /tmp/log1.log. Файл "
              "перезаписан.");
    Sent(NetRequest::AdapterReceptionMode(0));
    Received(Answer(NetRequest::AdapterReceptionMode(0), 0x7F));
    EXPECT_EQ(Run(), "%");
    EXPECT_EQ(formLog.last(), "Принимаются пакеты только для СУС .");

    Sent(NetRequest::AdapterRestart());
    Received(Answer(NetRequest::AdapterRestart(), 0x7F));
    Run();
    EXPECT_EQ(formLog.last(), "Произведен рестарт.");
    EXPECT_TRUE(answerLog.isEmpty());
}

TEST_F(InterpreterTest, LatePacketsAreTakenByThemselvesAndLeaveRequests) {
    tables.StoreReply(5, TNetFrame{5, 0x7F, 31, 0x80}, 1);
    Sent(NetRequest::Class(9));
    Received(DeviceBusSimulator::ClassReply(SimDevice::Switch(5)));
    Received(NetRequest::Class(12));  // some station's request, passed on in sniffer mode
    EXPECT_EQ(Run("0"), "0");
    EXPECT_EQ(answerLog, QStringList{" Получен ответ устройства: СКМ05 Ответ пришёл с задержкой!"});
    EXPECT_EQ(tables.AnswerCount(5), 2);
    EXPECT_TRUE(memoRead.isEmpty());
    EXPECT_EQ(memoSend.size(), 1);
}

TEST_F(InterpreterTest, CardEventsGiveTheirMarkers) {
    TNetFrame event{0x05, 0x7F, 0x08, 0x0D, 0xFF, 0x13};
    Received(event);
    EXPECT_EQ(Run("0"), "EM0DFF13");
    ASSERT_FALSE(answerLog.isEmpty());
    EXPECT_EQ(answerLog.last(), "Ключ безопасности для объекта сгенерирован");

    TNetFrame ready{0x05, 0x7F, 0x08, 0x8D, 0x00, 0xFF};
    Received(ready);
    EXPECT_EQ(Run("0"), "EM8D00FF");
    EXPECT_EQ(answerLog.last(), "Устройство готово к работе c EMC.");

    TNetFrame key{0x05, 0x7F, 0x0A, 0x8D, 0x04, 0xA1, 0xB2, 0xC3};
    Received(key);
    EXPECT_EQ(Run("0"), "EM8D04A1B2C3");
    EXPECT_EQ(answerLog.last(), "Ключ безопасности ключника получен.");
}

}  // namespace
}  // namespace NetAnswerInterpreterTestUnit
