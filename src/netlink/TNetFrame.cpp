#include "netlink/TNetFrame.h"

#include "foundation/BitAndStr.h"

TNetFrame::TNetFrame(std::initializer_list<int> bytes) {
    bytes_.fill(0);
    int i = 0;
    for (int b : bytes) {
        if (i >= kNetFrameSize) break;
        bytes_[size_t(i++)] = quint8(b);
    }
}

TNetFrame TNetFrame::FromBytes(const quint8* bytes, int count) {
    TNetFrame frame;
    for (int i = 0; i < count && i < kNetFrameSize; ++i) frame.bytes_[size_t(i)] = bytes[i];
    return frame;
}

std::optional<TNetFrame> TNetFrame::FromHex(const QString& line) {
    if (line.size() != kNetHexLineSize) return std::nullopt;
    TNetFrame frame;
    for (int i = 0; i < kNetFrameSize; ++i) {
        const int b = HexLineByte(line, i);
        if (b < 0) return std::nullopt;
        frame.bytes_[size_t(i)] = quint8(b);
    }
    return frame;
}

void TNetFrame::Set(int i, int value) {
    if (i >= 0 && i < kNetFrameSize) bytes_[size_t(i)] = quint8(value);
}

QString TNetFrame::ToHex() const {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    QString hex(qsizetype(bytes_.size()) * 2, Qt::Uninitialized);
    QChar* out = hex.data();
    for (quint8 b : bytes_) {
        *out++ = QLatin1Char(kDigits[b >> 4]);
        *out++ = QLatin1Char(kDigits[b & 0xF]);
    }
    return hex;
}

bool TNetFrame::EmptyHead() const {
    for (int i = 0; i < 5; ++i)
        if (bytes_[size_t(i)] != 0) return false;
    return true;
}

namespace {

int HexDigit(QChar c) {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return c.unicode() - '0';
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F')) return c.unicode() - 'A' + 10;
    if (c >= QLatin1Char('a') && c <= QLatin1Char('f')) return c.unicode() - 'a' + 10;
    return -1;
}

}  // namespace

int HexLineByte(const QString& line, int i) {
    if (i < 0 || 2 * i + 1 >= line.size()) return -1;
    const int high = HexDigit(line.at(2 * i));
    const int low = HexDigit(line.at(2 * i + 1));
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

std::optional<std::array<int, 3>> PasswordDigits(const QString& password) {
    if (password.isEmpty()) return std::array<int, 3>{0, 0, 0};
    if (password.size() != 3) return std::nullopt;
    std::array<int, 3> digits{};
    for (int i = 0; i < 3; ++i) {
        const QChar c = password.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        digits[size_t(i)] = c.unicode() - '0';
    }
    return digits;
}

namespace NetRequest {

TNetFrame Class(int a) {
    return TNetFrame{kAdapterAddress, a, 0x06, kCmdClass};
}

TNetFrame Select(int a, bool selector, const std::array<int, 3>& d) {
    // The password goes third digit first.
    if (selector)
        return TNetFrame{kAdapterAddress,
                         a,
                         0x0E,
                         kCmdParameter | kSelectorBit,
                         0x01,
                         0,
                         0,
                         0,
                         kFnSelect,
                         d[2],
                         d[1],
                         d[0]};
    return TNetFrame{kAdapterAddress, a, 0x0D, kCmdParameter, 0, 0, 0, kFnSelect, d[2], d[1], d[0]};
}

TNetFrame Deselect(int a) {
    return TNetFrame{kAdapterAddress, a, 0x06, kCmdDeselect, 0, 0};
}

TNetFrame AdapterDriverOn() {
    return TNetFrame{kAdapterAddress, kAdapterAddress, 0x0A, kCmdParameter, 0, 0, 0, kFnDriverOn};
}

TNetFrame AdapterRestart() {
    return TNetFrame{kAdapterAddress, kAdapterAddress, 0x0A, kCmdParameter, 0, 0, 0, kFnRestart};
}

TNetFrame AdapterReceptionMode(int mode) {
    return TNetFrame{
        kAdapterAddress, kAdapterAddress, 0x0B, kCmdParameter, 0, 0, 0, kFnReceptionMode, mode};
}

TNetFrame AdapterUsbIdentity(int vid, int pid) {
    return TNetFrame{
        kAdapterAddress, kAdapterAddress,   0x0E,       kCmdParameter,    0, 0, 0, kFnUsbIdentity,
        vid & 0xFF,      (vid >> 8) & 0xFF, pid & 0xFF, (pid >> 8) & 0xFF};
}

namespace {

// A device request of command c: byte 4 is the selector byte when the device
// has the selector; returns s, where the fields after it start.
int StartDeviceRequest(TNetFrame& frame, int a, bool selector, int command, int selectorByte) {
    frame.Set(0, kAdapterAddress);
    frame.Set(1, a);
    frame.Set(3, command | (selector ? kSelectorBit : 0));
    if (selector) frame.Set(4, selectorByte);
    return 4 + (selector ? 1 : 0);
}

// A parameter request (command 01) with its function code; returns s.
int StartParameterRequest(TNetFrame& frame, int a, bool selector, int selectorByte, int function,
                          int lengthCode) {
    const int s = StartDeviceRequest(frame, a, selector, kCmdParameter, selectorByte);
    frame.Set(2, lengthCode + (selector ? 1 : 0));
    frame.Set(s + 3, function);
    return s;
}

}  // namespace

TNetFrame MemoryRead(int a, bool selector, int at, int count) {
    TNetFrame frame;
    const int s = StartDeviceRequest(frame, a, selector, kCmdMemoryRead, 0);
    frame.Set(2, 0x09);
    frame.Set(s, at & 0xFF);
    frame.Set(s + 1, (at >> 8) & 0xFF);
    frame.Set(s + 2, count);
    return frame;
}

TNetFrame MemoryWrite(int a, bool selector, int selectorByte, int at, const QByteArray& bytes) {
    TNetFrame frame;
    const int s = StartDeviceRequest(frame, a, selector, kCmdMemoryWrite, selectorByte);
    const int n = int(qMin(bytes.size(), qsizetype(kMemoryPacketBytes)));
    frame.Set(2, 9 + (selector ? 1 : 0) + n);
    frame.Set(s, at & 0xFF);
    frame.Set(s + 1, (at >> 8) & 0xFF);
    frame.Set(s + 2, n);
    for (int i = 0; i < n; ++i) frame.Set(s + 3 + i, quint8(bytes[i]));
    return frame;
}

TNetFrame SerialNumber(int a, bool selector) {
    TNetFrame frame;
    StartParameterRequest(frame, a, selector, 0x01, kFnSerialNumber, 10);
    return frame;
}

TNetFrame NetworkId(int a, bool selector, qint64 idNom) {
    TNetFrame frame;
    const int s = StartParameterRequest(frame, a, selector, 0x01, kFnNetworkId, 13);
    for (int i = 0; i < 3; ++i) frame.Set(s + 4 + i, int((idNom >> (8 * i)) & 0xFF));
    return frame;
}

TNetFrame AddressBySerial(int a, bool selector, int selectorByte,
                          const std::array<int, 3>& password, const QString& serial,
                          int newAddress) {
    TNetFrame frame;
    const int s = StartParameterRequest(frame, a, selector, selectorByte, kFnAddress, 23);
    frame.Set(s + 4, password[2]);
    frame.Set(s + 5, password[1]);
    frame.Set(s + 6, password[0]);
    // Characters 2 to 10 of the serial number, each a seven-segment digit with the top bit set.
    for (int i = 1; i < 10; ++i) {
        const QChar c = i < serial.size() ? serial.at(i) : QChar();
        frame.Set(s + 6 + i, DigitToSegments(c.isDigit() ? c.digitValue() : -1) + 0x80);
    }
    frame.Set(s + 16, newAddress);
    return frame;
}

}  // namespace NetRequest
