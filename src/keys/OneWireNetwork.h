#pragma once
// One session on a 1-Wire port through the adapter, the texts of its
// failures, and what a Read ROM block gives: the CRC check and the ROM as
// text, whose middle twelve digits are the key number.

#include <QString>

#include <array>
#include <stdexcept>

class OneWireAdapter;

// A failure of the 1-Wire reader, with the text the operator reads.
class OneWireError : public std::runtime_error {
  public:
    explicit OneWireError(const QString& message);
    QString Message() const { return message_; }

  private:
    QString message_;
};

// The error of an adapter code; context names the call for codes without a
// text of their own. Not raised here: the caller raises it.
OneWireError TmexErrorText(qint16 code, const QString& context);

// The Read ROM block: byte 0 the command 0x33, bytes 1 to 8 the ROM as it
// arrives on the line (family, six serial bytes least significant first,
// CRC), bytes 9 to 11 ones.
using RomBuffer = std::array<quint8, 12>;
constexpr quint8 kReadRomCommand = 0x33;
RomBuffer ReadRomRequest();

// The 1-Wire CRC8 (x^8 + x^5 + x^4 + 1, bits least significant first) of count bytes.
quint8 OneWireCrc8(const quint8* bytes, int count);
// 16 upper-case hexadecimal digits: bytes 8 down to 1 of the block (CRC,
// serial most significant byte first, family).
QString RomText(const RomBuffer& buffer);
// The key number within a ROM text: its characters 3 to 14.
QString RomKeyNumber(const QString& romText);

class OneWireNetwork {
  public:
    // Opens a session on the port and sets it up; throws OneWireError. A
    // session that opened but could not be set up is ended again.
    OneWireNetwork(OneWireAdapter& adapter, int portNumber, int portType, quint8 option);
    ~OneWireNetwork();
    OneWireNetwork(const OneWireNetwork&) = delete;
    OneWireNetwork& operator=(const OneWireNetwork&) = delete;

    // True when a device answered the reset; throws on a shorted line or an
    // adapter error.
    bool TouchReset();
    // Exchanges the buffer's first length bytes; the count exchanged.
    int ReadBlock(quint8* buffer, int length);
    // The 8 ROM bytes of the block (with their CRC byte) are consistent.
    static bool CrcOk(const RomBuffer& buffer);

  private:
    void endSession();

    OneWireAdapter& adapter_;
    qint32 handle_ = 0;
};
