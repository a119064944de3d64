#include "keys/OneWireNetwork.h"

#include "platform/OneWireAdapter.h"

namespace {

QString errorTextOf(qint16 code) {
    switch (code) {
        case -1:
            return QStringLiteral(
                "Specified 1-Wire network has not been initialized with a call to the TMSetup "
                "function");
        case -2:
            return QStringLiteral("Specified 1-Wire network nonexistent");
        case -3:
            return QStringLiteral("Function not supported");
        case -4:
            return QStringLiteral("error reading or writing a packet");
        case -5:
            return QStringLiteral("packet larger than provided buffer");
        case -6:
            return QStringLiteral("not enough room for packet on device");
        case -7:
            return QStringLiteral("device not found");
        case -8:
            return QStringLiteral("block transfer too long");
        case -9:
            return QStringLiteral("wrong type of device for this function");
        case -10:
            return QStringLiteral("the page being read is redirected");
        case -11:
            return QStringLiteral("the device is written in a way that can not be changed");
        case -12:
            return QStringLiteral("Прервалось соединение с адаптером");
        case -13:
            return QStringLiteral("An unsolicited event occurred on the 1-Wire");
        case -200:
            return QStringLiteral("session not valid");
        case -201:
            return QStringLiteral("Hardware_Specific driver not found and is required");
        default:
            return QString();
    }
}

}  // namespace

OneWireError::OneWireError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

OneWireError TmexErrorText(qint16 code, const QString& context) {
    const QString text = errorTextOf(code);
    if (!text.isEmpty()) return OneWireError(text);
    return OneWireError(QStringLiteral("TMEX %1 UNKNOWN ERROR # %2").arg(context).arg(code));
}

RomBuffer ReadRomRequest() {
    RomBuffer buffer;
    buffer.fill(0xFF);
    buffer[0] = kReadRomCommand;
    return buffer;
}

quint8 OneWireCrc8(const quint8* bytes, int count) {
    quint8 crc = 0;
    for (int i = 0; i < count; ++i) {
        quint8 byte = bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = (crc ^ byte) & 1;
            crc >>= 1;
            if (mix) crc ^= 0x8C;  // the polynomial, bit-reversed
            byte >>= 1;
        }
    }
    return crc;
}

QString RomText(const RomBuffer& buffer) {
    QString text;
    for (int i = 8; i >= 1; --i)
        text += QStringLiteral("%1").arg(buffer[i], 2, 16, QLatin1Char('0')).toUpper();
    return text;
}

QString RomKeyNumber(const QString& romText) {
    return romText.mid(2, 12);
}

// ---------------------------------------------------------------- the session

OneWireNetwork::OneWireNetwork(OneWireAdapter& adapter, int portNumber, int portType, quint8 option)
    : adapter_(adapter) {
    if (!adapter_.Load()) throw OneWireError(QStringLiteral("Драйвер не установлен"));
    qint32 optionValue = option;
    const qint32 handle = adapter_.StartSession(qint16(portNumber), qint16(portType), &optionValue);
    if (handle == 0)
        throw OneWireError(
            QStringLiteral("port not available, it is being used by another application"));
    if (handle < 0) throw TmexErrorText(qint16(handle), QStringLiteral("TMExtendedStartSession"));
    handle_ = handle;
    const qint16 setup = adapter_.Setup(handle_);
    if (setup == 1 || setup == 2) return;
    endSession();
    switch (setup) {
        case 0:
            throw OneWireError(QStringLiteral("Setup failed."));
        case 3:
            throw OneWireError(QStringLiteral("1-Wire network does not exist."));
        case 4:
            throw OneWireError(QStringLiteral("TMSetup not supported"));
        default:
            throw TmexErrorText(setup, QStringLiteral("TMSetup"));
    }
}

OneWireNetwork::~OneWireNetwork() {
    endSession();
}

void OneWireNetwork::endSession() {
    if (handle_ <= 0) return;
    adapter_.Close(handle_);
    adapter_.EndSession(handle_);
    handle_ = 0;
}

bool OneWireNetwork::TouchReset() {
    const qint16 r = adapter_.TouchReset(handle_);
    switch (r) {
        case 0:
            return false;
        case 1:
        case 2:
            return true;
        case 3:
            throw OneWireError(QStringLiteral("1-Wire network is shorted."));
        case 5:
            throw OneWireError(QStringLiteral("TMTouchReset not supported"));
        default:
            throw TmexErrorText(r, QStringLiteral("TMTouchReset"));
    }
}

int OneWireNetwork::ReadBlock(quint8* buffer, int length) {
    const qint16 r = adapter_.BlockStream(handle_, buffer, qint16(length));
    if (r < 0 || r > length) throw TmexErrorText(r, QStringLiteral("ReadBlock\\TMBlockStream"));
    return r;
}

bool OneWireNetwork::CrcOk(const RomBuffer& buffer) {
    return OneWireCrc8(buffer.data() + 1, 8) == 0;
}
