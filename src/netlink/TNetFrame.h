#pragma once
// The 30-byte packet of the device network, its hexadecimal journal form and
// the requests the link layer builds itself. Bytes a packet does not fill are 0.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <initializer_list>
#include <optional>

constexpr int kNetFrameSize = 30;
constexpr int kNetHexLineSize = 2 * kNetFrameSize;
// The workstation through the adapter, and the adapter itself.
constexpr int kAdapterAddress = 0x7F;
// The internal selector flag in a command byte: fields after byte 3 move one on.
constexpr int kSelectorBit = 0x40;
constexpr int kAnswerBit = 0x80;

// Commands of byte 3 (without the selector bit).
constexpr int kCmdClass = 0x00;
constexpr int kCmdParameter = 0x01;
constexpr int kCmdDeselect = 0x02;
constexpr int kCmdMemoryRead = 0x03;
constexpr int kCmdMemoryWrite = 0x04;
constexpr int kCmdCard = 0x0D;

// Function codes of command 01 (byte 7, or 8 with the selector).
constexpr int kFnNetworkId = 0x01;    // devices: write the network identifier
constexpr int kFnUsbIdentity = 0x01;  // the adapter: set its USB identity
constexpr int kFnSerialNumber = 0x03;
constexpr int kFnAddress = 0x04;
constexpr int kFnSelect = 0x80;
constexpr int kFnDriverOn = 0x00;
constexpr int kFnReceptionMode = 0xFE;
constexpr int kFnRestart = 0xFF;

// Bytes of configuration memory one read or write packet carries at most.
constexpr int kMemoryPacketBytes = 22;
// The address a set-address request gives to send a device back to its jumpers.
constexpr int kJumperAddress = 0xFF;

class TNetFrame {
  public:
    TNetFrame() { bytes_.fill(0); }
    // The given bytes, the rest 0; bytes past the 30th are dropped.
    TNetFrame(std::initializer_list<int> bytes);
    static TNetFrame FromBytes(const quint8* bytes, int count);
    // A frame from its 60-digit journal line; empty for any other text.
    static std::optional<TNetFrame> FromHex(const QString& line);

    // Byte i, or 0 outside the frame: decoders of answers never read past it.
    int operator[](int i) const { return i >= 0 && i < kNetFrameSize ? bytes_[size_t(i)] : 0; }
    void Set(int i, int value);
    const quint8* data() const { return bytes_.data(); }
    quint8* data() { return bytes_.data(); }

    // 60 upper-case hexadecimal digits, two per byte in byte order.
    QString ToHex() const;
    // Bytes 0 to 4 are all zero: an empty line, never a packet.
    bool EmptyHead() const;
    // Byte 0 or byte 1 is the workstation's address.
    bool ForWorkstation() const {
        return bytes_[0] == kAdapterAddress || bytes_[1] == kAdapterAddress;
    }
    // The selector flag of the command byte (0 or 1).
    int Selector() const { return (bytes_[3] & kSelectorBit) ? 1 : 0; }
    // Meaningful bytes by the length code (the code counts two more).
    int PayloadLength() const { return bytes_[2] - 2; }

    bool operator==(const TNetFrame&) const = default;

  private:
    std::array<quint8, kNetFrameSize> bytes_;
};

// Byte i of a journal line, -1 when the line does not hold it as two hex digits.
int HexLineByte(const QString& line, int i);

// Device passwords are three decimal digits; an empty one counts as "000".
// Empty when the text is no such password.
std::optional<std::array<int, 3>> PasswordDigits(const QString& password);

// Requests the link layer builds (a = destination address).
namespace NetRequest {
TNetFrame Class(int a);
// Select with a password of three digits; the selector variant carries byte 4 = 01.
TNetFrame Select(int a, bool selector, const std::array<int, 3>& digits);
TNetFrame Deselect(int a);
TNetFrame AdapterDriverOn();
TNetFrame AdapterRestart();
TNetFrame AdapterReceptionMode(int mode);
TNetFrame AdapterUsbIdentity(int vid, int pid);

// Device requests; selector: the device carries the internal selector, whose
// byte then stands at byte 4 and moves every later field one on.
// Read count (1..22) bytes of configuration memory from address at. The
// length code stays 09 with the selector too.
TNetFrame MemoryRead(int a, bool selector, int at, int count);
// Write the bytes (at most 22; more are dropped) at address at;
// selectorByte is byte 4 of the device's stored class reply.
TNetFrame MemoryWrite(int a, bool selector, int selectorByte, int at, const QByteArray& bytes);
TNetFrame SerialNumber(int a, bool selector);
// Write the object's identifier: its low 24 bits, low byte first.
TNetFrame NetworkId(int a, bool selector, qint64 idNom);
// Give the device whose serial number is serial (a letter and nine digits;
// the letter is not sent) the address newAddress (kJumperAddress: its
// jumpers'); the password travels third digit first.
TNetFrame AddressBySerial(int a, bool selector, int selectorByte,
                          const std::array<int, 3>& password, const QString& serial,
                          int newAddress);
}  // namespace NetRequest
