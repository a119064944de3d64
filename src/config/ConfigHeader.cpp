#include "config/ConfigHeader.h"

#include "config/FieldFit.h"
#include "foundation/BitAndStr.h"
#include "foundation/Globals.h"

#include <QDate>

namespace {

// Class signatures, header bytes 1-8, by the kind the device number implies.
constexpr quint8 kSignatureSwitch[8] = {0x0F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x90};
constexpr quint8 kSignatureConsole[8] = {0x64, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x90};
constexpr quint8 kSignatureCallPanel[8] = {0xF0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0};

constexpr int kSignatureOffset = 1;
constexpr int kIdNomOffset = 9;
constexpr int kFileCodeOffset = 12;
constexpr int kMarkOffset = 20;
constexpr int kProducerOffset = 27;
constexpr int kHeaderEndOffset = 28;

constexpr quint8 kMark80 = 0x80;
constexpr quint8 kProducerOwn = 0xFF;
constexpr quint8 kProducerDevice = 0xC3;

constexpr int kIdentVersion = 1;
constexpr int kIdentSection = 1;
constexpr int kDateBits = 16;

// A header byte, 0 past the end of a short file.
quint8 headByte(QByteArrayView head, int i) {
    return i < head.size() ? quint8(head[i]) : 0;
}

bool hasMark80(QByteArrayView head) {
    return (headByte(head, 21) == kMark80 || headByte(head, kMarkOffset) == kMark80) &&
           headByte(head, kHeaderEndOffset) == 0xFF;
}

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// |a - b| <= 16 without overflow for any pair of values.
bool withinSixteen(qint64 a, qint64 b) {
    const quint64 diff = a >= b ? quint64(a) - quint64(b) : quint64(b) - quint64(a);
    return diff <= 16;
}

// The fields of a device's section 1 as they go into it, each told when it
// does not fit; the header's 24 bits of id_nom are told here too.
ConfigIdent fittedIdent(const ConfigIdent& ident, const char* recordColumn, ConfigLogs& logs) {
    const auto fit = [&logs](const QString& column, qint64 stored, int width) {
        return FitField(logs, column, stored, width, FieldFit::LowBitsOrZero);
    };
    FitField(logs, QStringLiteral("id_nom (заголовок)"), ident.idNom, 24, FieldFit::LowBitsOrZero);
    return ConfigIdent{fit(QStringLiteral("n_net"), ident.nNet, 12),
                       fit(QStringLiteral("bv_type"), ident.type, 4),
                       fit(QStringLiteral("id_net"), ident.idNet, 32),
                       fit(QString::fromLatin1(recordColumn), ident.recordId, 32),
                       fit(QStringLiteral("id_nom"), ident.idNom, 32)};
}

QString identHeading(int kind) {
    switch (kind) {
        case kKindCallPanel:
            return ConfigWriteHeading(QStringLiteral("бв сек 1"));
        case kKindConsole:
            return ConfigWriteHeading(QStringLiteral("ППО сек 1"));
        default:
            return ConfigWriteHeading(QStringLiteral("КМ сек 1"));
    }
}

}  // namespace

QString ProducerTextKiro1() {
    return QStringLiteral("Файл создан в АРМ Kiro-1");
}
QString ProducerTextKiro2() {
    return QStringLiteral("Файл создан в АРМ Kiro-2");
}
QString ProducerTextFromDevice() {
    return QStringLiteral("Файл считан с устройства в АРМ Kiro-2");
}
QString ProducerTextScreenDevice() {
    return QStringLiteral("Файл создан и считан с устройства в АРМ Kiro-2");
}
QString TrailerTooShortText() {
    return QStringLiteral("Не хватает длины заголовка.");
}

QByteArray BuildConfigHeaderBytes(int deviceNo, qint64 idNom, int sepDevice) {
    QByteArray h(kConfigHeaderBytes, '\0');
    h[0] = char(deviceNo < 0 ? 0 : deviceNo & 0xFF);

    const quint8* signature = kSignatureSwitch;
    int fileCode = kFileCodeSwitch;
    if (deviceNo == sepDevice) {
        signature = kSignatureConsole;
        fileCode = kFileCodeConsole;
    } else if (deviceNo > sepDevice) {
        signature = kSignatureCallPanel;
        fileCode = kFileCodeCallPanel;
    }
    for (int i = 0; i < 8; ++i) h[kSignatureOffset + i] = char(signature[i]);

    const quint64 nom = idNom < 0 ? 0 : quint64(idNom);
    for (int i = 0; i < 3; ++i) h[kIdNomOffset + i] = char((nom >> (8 * i)) & 0xFF);
    h[kFileCodeOffset] = char(fileCode & 0xFF);
    h[kFileCodeOffset + 1] = char((fileCode >> 8) & 0xFF);

    h[kMarkOffset] = char(kMark80);
    h[kProducerOffset] = char(kProducerOwn);
    h[kHeaderEndOffset] = char(0xFF);
    const QByteArray date = BitStringToBytes(BuildConfigTrailer());
    h[kConfigDateWordOffset] = date[0];
    h[kConfigDateWordOffset + 1] = date[1];
    return h;
}

QString BuildConfigHeader(int deviceNo, qint64 idNom, int sepDevice) {
    // The byte writer writes a text's last byte first, so the header text is
    // the bytes in reverse, exactly what the byte reader makes of them.
    return ImageFromBytes(BuildConfigHeaderBytes(deviceNo, idNom, sepDevice));
}

QString BuildConfigHeader(int deviceNo, qint64 idNom) {
    return BuildConfigHeader(deviceNo, idNom, Globals().SepDevice);
}

QString BuildConfigTrailer() {
    // Low byte first, high byte last: prepended last, it is written as 80 00.
    return BitField(0x00, 8) + BitField(0x80, 8);
}

QDate ConfigDateFromDays(qint64 days) {
    return QDate(2000, 12, 30).addDays(days);
}

int CheckConfigTrailer(QString& image, QString& text) {
    text = TrailerTooShortText();
    if (image.size() < kDateBits) return kTrailerTooShort;
    const QString word = image.right(8) + image.mid(image.size() - kDateBits, 8);
    text.clear();
    int result = kTrailerNone;
    if (word != EmptySlot(kDateBits)) {
        const qint64 days = BinToInt(word.mid(1));
        if (days != 0)
            text = QStringLiteral(" от ") +
                   ConfigDateFromDays(days).toString(QStringLiteral("dd.MM.yyyy"));
        if (word.at(0) == QLatin1Char('1')) {
            text += QStringLiteral("  Файл не изменен.");
            result = kTrailerUnchanged;
        } else {
            text += QStringLiteral("  Файл изменен!");
            result = kTrailerChanged;
        }
    }
    image.chop(kDateBits);
    return result;
}

QString IdentPayload(const ConfigIdent& ident) {
    QString payload;
    PrependField(payload, ident.nNet, 12);
    PrependField(payload, ident.type, 4);
    PrependField(payload, ident.idNet, 32);
    PrependField(payload, ident.recordId, 32);
    PrependField(payload, ident.idNom, 32);
    return payload;
}

QString EncodeIdentSection(int kind, const ConfigIdent& ident, const QString& panelName,
                           QStringList* detailLog, QStringList* resultLog) {
    if (detailLog) {
        detailLog->append(identHeading(kind));
        if (kind == kKindCallPanel)
            detailLog->append(DeviceAddrName(int(ident.nNet), Globals().SepDevice) +
                              QStringLiteral("  ") + panelName);
    }
    QString payload = IdentPayload(ident);
    if (detailLog) {
        const QString label = kind == kKindConsole ? QStringLiteral("длина 1 sec бит  ")
                                                   : QStringLiteral("длина 1 sec бит ");
        detailLog->append(label + QString::number(payload.size()));
    }
    return WrapSection(payload, kIdentSection, kIdentVersion, resultLog);
}

QString EncodePkSection1(const ConfigObjectRow& object, const SwitchRow& sw, ConfigLogs& logs) {
    const ConfigIdent ident =
        fittedIdent({sw.nNet, 0, object.idNet, sw.idPk, object.idNom}, "id_pk", logs);
    return EncodeIdentSection(kKindSwitch, ident, QString(), &logs.detail, &logs.result);
}

QString EncodeBvSection1(const ConfigObjectRow& object, const PanelRow& panel, ConfigLogs& logs) {
    const ConfigIdent ident = fittedIdent(
        {panel.nNet, panel.bvType, panel.idNet, panel.idBv, object.idNom}, "id_bv", logs);
    return EncodeIdentSection(kKindCallPanel, ident, panel.nBv, &logs.detail, &logs.result);
}

QString EncodePoSection1(const ConfigObjectRow& object, const ConsoleRow& console,
                         ConfigLogs& logs) {
    const ConfigIdent ident =
        fittedIdent({console.nNet, 0, object.idNet, console.idPo, object.idNom}, "id_po", logs);
    return EncodeIdentSection(kKindConsole, ident, QString(), &logs.detail, &logs.result);
}

ConfigIdent DecodeIdentSection(const QString& sectionText) {
    ConfigIdent id;
    QString text = sectionText;
    if (text.size() >= 8) text.chop(8);  // the version byte
    struct Field {
        qint64* out;
        int width;
    };
    const Field fields[] = {
        {&id.nNet, 12}, {&id.type, 4}, {&id.idNet, 32}, {&id.recordId, 32}, {&id.idNom, 32}};
    for (const Field& f : fields) {
        if (text.size() < f.width) break;
        *f.out = CutField(text, f.width);
    }
    return id;
}

int ConfigKindByLength(qint64 l, const ConfigSection0Sizes& s) {
    const qint64 p = s.pk, b = s.bv, o = s.po;
    int kind = kKindUnknown;
    // The last test that holds wins.
    if (p < b && b < o) {
        if (l == p) kind = kKindSwitch;
        if (l == b) kind = kKindCallPanel;
        if (withinSixteen(l, o)) kind = kKindConsole;
    } else if (b < o && o < p) {
        if (l >= b) kind = kKindCallPanel;
        if (l >= o) kind = kKindConsole;
        if (l >= p) kind = kKindSwitch;
    } else if (o < p && p < b) {
        if (l >= o) kind = kKindConsole;
        if (l >= p) kind = kKindSwitch;
        if (l >= b) kind = kKindCallPanel;
    }
    return kind;
}

int ConfigKindByLength(const QString& section0, const ConfigSection0Sizes& sizes) {
    return ConfigKindByLength(qint64(section0.size()), sizes);
}

int ConfigKindByDeviceNumber(int deviceNo, int maxDevice, int sepDevice) {
    if (deviceNo < 0) return kKindUnknown;
    if (deviceNo < maxDevice) return kKindSwitch;
    if (deviceNo == sepDevice) return kKindConsole;
    if (deviceNo > sepDevice) return kKindCallPanel;
    return kKindUnknown;
}

int DesignationToAddress(const QString& s, int sepDevice) {
    int result = -1;
    if (s.size() <= 4) return result;
    const QString letters = s.mid(1, 2);
    if (isAsciiDigit(s.at(3)) && isAsciiDigit(s.at(4))) {
        const int number = (s.at(3).unicode() - u'0') * 10 + (s.at(4).unicode() - u'0');
        if (letters == QStringLiteral("КМ"))
            result = number;
        else if (letters == QStringLiteral("БВ"))
            result = number + 64;
    }
    if (letters == QStringLiteral("ПО")) result = sepDevice;
    return result;
}

int DesignationToAddress(const QString& designation) {
    return DesignationToAddress(designation, Globals().SepDevice);
}

ConfigHeaderMark RecogniseConfigHeader(QByteArrayView head) {
    ConfigHeaderMark m;
    const int d = headByte(head, 0) & 0x7F;
    if (hasMark80(head)) {
        m.recognised = true;
        m.namesDevice = true;
        if (headByte(head, 29) == 0xFF && headByte(head, 30) == 0xFF)
            m.producer = ProducerTextKiro1();
        else if (headByte(head, kProducerOffset) == kProducerOwn)
            m.producer = ProducerTextKiro2();
        else if (headByte(head, kProducerOffset) == kProducerDevice)
            m.producer = ProducerTextFromDevice();
    } else if (headByte(head, 29) == 0xFF && headByte(head, kHeaderEndOffset) == 0xFF) {
        m.recognised = true;
        m.producer = ProducerTextKiro1();
    }
    if (m.recognised) m.deviceNumber = d;
    return m;
}

ConfigHeaderMark RecogniseScreenHeader(QByteArrayView head) {
    // The screen peeks at bytes 0 to 29 only.
    head = head.first(qMin<qsizetype>(head.size(), 30));
    ConfigHeaderMark m;
    const int d = headByte(head, 0) & 0x7F;
    if (hasMark80(head)) {
        m.recognised = true;
        m.namesDevice = true;
        if (headByte(head, 29) == 0xFF)
            m.producer = ProducerTextKiro1();
        else if (headByte(head, kProducerOffset) == kProducerOwn)
            m.producer = ProducerTextKiro2();
        else if (headByte(head, kProducerOffset) == kProducerDevice)
            m.producer = ProducerTextScreenDevice();
    } else if (headByte(head, 29) == 0xFF && headByte(head, kHeaderEndOffset) == 0xFF) {
        m.recognised = true;  // an earlier header, read without a producer line
    }
    if (m.recognised) m.deviceNumber = d;
    return m;
}
