#include "netlink/TNetFrame.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace NetFrameTestUnit {

namespace {

QString Hex(const TNetFrame& frame) {
    return frame.ToHex();
}

// 60 digits: the given ones, then zeros.
QString Padded(const QString& head) {
    return head + QString(kNetHexLineSize - head.size(), QLatin1Char('0'));
}

TEST(NetRequests, LinkLayerRequestsHaveTheirExactBytes) {
    EXPECT_EQ(Hex(NetRequest::Class(5)), Padded("7F050600"));
    EXPECT_EQ(Hex(NetRequest::Class(kAdapterAddress)), Padded("7F7F0600"));
    EXPECT_EQ(Hex(NetRequest::Select(5, false, {1, 2, 3})), Padded("7F050D0100000080030201"));
    EXPECT_EQ(Hex(NetRequest::Select(5, true, {1, 2, 3})), Padded("7F050E410100000080030201"));
    EXPECT_EQ(Hex(NetRequest::Deselect(70)), Padded("7F4606020000"));
    EXPECT_EQ(Hex(NetRequest::AdapterDriverOn()), Padded("7F7F0A0100000000"));
    EXPECT_EQ(Hex(NetRequest::AdapterRestart()), Padded("7F7F0A01000000FF"));
    EXPECT_EQ(Hex(NetRequest::AdapterReceptionMode(1)), Padded("7F7F0B01000000FE01"));
    EXPECT_EQ(Hex(NetRequest::AdapterUsbIdentity(0x0403, 0x6001)),
              Padded("7F7F0E010000000103040160"));
}

TEST(NetRequests, PasswordIsThreeDigitsAndEmptyMeansZeros) {
    EXPECT_EQ(PasswordDigits(""), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(PasswordDigits("907"), (std::array<int, 3>{9, 0, 7}));
    EXPECT_FALSE(PasswordDigits("12"));
    EXPECT_FALSE(PasswordDigits("1234"));
    EXPECT_FALSE(PasswordDigits("1a3"));
    EXPECT_FALSE(PasswordDigits(" 12"));
    EXPECT_EQ(Hex(NetRequest::Select(9, false, *PasswordDigits(""))),
              Padded("7F090D0100000080000000"));
}

TEST(NetFrame, JournalLineRoundTripsAndRejectsAnythingElse) {
    const TNetFrame frame{0x7F, 0x05, 0x06, 0xAB, 0xff};
    const QString line = frame.ToHex();
    EXPECT_EQ(line.size(), 60);
    EXPECT_TRUE(line.startsWith("7F0506ABFF"));
    EXPECT_EQ(TNetFrame::FromHex(line), frame);
    EXPECT_EQ(TNetFrame::FromHex(line.toLower()), frame);
    EXPECT_FALSE(TNetFrame::FromHex(line.left(58)));
    EXPECT_FALSE(TNetFrame::FromHex(line + "00"));
    EXPECT_FALSE(TNetFrame::FromHex(QString(line).replace(10, 1, "G")));
    EXPECT_EQ(HexLineByte(line, 3), 0xAB);
    EXPECT_EQ(HexLineByte(line, 30), -1);
    EXPECT_EQ(HexLineByte("7", 0), -1);
}

TEST(NetFrame, ReadsOutsideTheFrameGiveZeroAndWhatIsTaken) {
    TNetFrame frame{1, 2, 3};
    EXPECT_EQ(frame[-1], 0);
    EXPECT_EQ(frame[30], 0);
    frame.Set(40, 9);  // ignored
    EXPECT_TRUE(TNetFrame().EmptyHead());
    EXPECT_FALSE((TNetFrame{0, 0, 0, 0, 1}).EmptyHead());
    EXPECT_TRUE((TNetFrame{0x05, 0x7F}).ForWorkstation());
    EXPECT_TRUE((TNetFrame{0x7F, 0x05}).ForWorkstation());
    EXPECT_FALSE((TNetFrame{0x05, 0x06}).ForWorkstation());
}

}  // namespace
}  // namespace NetFrameTestUnit
