#include "support/ScriptedOneWire.h"

#include "keys/OneWireNetwork.h"

QByteArray ScriptedOneWire::Rom(quint8 family, const QByteArray& serialLineOrder) {
    QByteArray rom = QByteArray(1, char(family)) + serialLineOrder.left(6);
    rom += char(OneWireCrc8(reinterpret_cast<const quint8*>(rom.constData()), 7));
    return rom;
}

qint16 ScriptedOneWire::BlockStream(qint32, quint8* buffer, qint16 length) {
    calls_ << QStringLiteral("TMBlockStream");
    for (int i = 1; i < length; ++i)
        buffer[i] = i <= rom.size() && i <= 8 ? quint8(rom[i - 1]) : 0xFF;
    return exchanged < 0 ? length : exchanged;
}
