#include "netlink/NetDeviceTables.h"

#include "foundation/BitAndStr.h"

#include <QDate>

namespace {

const QString kNotAvailable = QStringLiteral("Не доступно.");

// Reads a stored class reply within its 30 received bytes.
class ReplyReader {
  public:
    explicit ReplyReader(const NetDeviceTables::Reply& reply) : reply_(reply) {}
    int Byte(int i) const { return i >= 0 && i < kNetFrameSize ? reply_[size_t(i)] : 0; }
    int Le16(int i) const { return Byte(i) | (Byte(i + 1) << 8); }
    QString Hex(int i) const { return ByteToHex(Byte(i)); }

  private:
    const NetDeviceTables::Reply& reply_;
};

QString FormatText(int format, int selector) {
    switch (format) {
        case 29:
            return selector ? QStringLiteral("Формат с внутренним селектором.")
                            : QStringLiteral("Формат полный, без внутреннего селектора.");
        case 30:
            return selector ? QStringLiteral("Формат полный, с внутренним селектором.")
                            : QStringLiteral("Формат альфа-версии.");
        case 24:
            return QStringLiteral("Нет полей AVR и ATG.");
        case 25:
            return QStringLiteral("Нет полей AVR и ATG, есть внутренний селектор.");
        default:
            return QStringLiteral("Пакет нарушен!");
    }
}

// The 64 class bits as binary digits, the last mask byte first.
QString ClassMaskText(const ReplyReader& r, int p) {
    QString mask;
    for (int i = p + 7; i >= p; --i) mask += PadLeft(IntToBin(r.Byte(i)), QLatin1Char('0'), 8);
    return mask;
}

QString DecimalAndHex(qint64 value) {
    return QString::number(value) + QStringLiteral("  ") + IntToHexBytes(value);
}

}  // namespace

QString NetDeviceTables::Text(int a, int text) const {
    if (!InTable(a) || text < 0 || text >= kTextCount) return QString();
    return NetDeviceTexts[size_t(a)][size_t(text)];
}

void NetDeviceTables::StoreReply(int a, const TNetFrame& reply, int count) {
    if (!InTable(a)) return;
    Reply& slot = NetReplies[size_t(a)];
    for (int i = 0; i < kNetFrameSize; ++i) slot[size_t(i)] = quint8(reply[i]);
    slot[kReplyStoredByte] = 1;
    slot[kReplyCountByte] = quint8(qBound(0, count, 255));
}

void NetDeviceTables::ClearReply(int a) {
    if (InTable(a)) NetReplies[size_t(a)].fill(0);
}

void NetDeviceTables::ClearDeviceReplies() {
    for (int a = 0; a < kAdapterAddress; ++a) ClearReply(a);
}

void NetDeviceTables::ClearAddress(int a) {
    if (!InTable(a)) return;
    ClearReply(a);
    NetDevices[size_t(a)] = TNetDeviceInfo{};
    for (QString& text : NetDeviceTexts[size_t(a)]) text.clear();
}

void NetDeviceTables::ClearAll() {
    for (int a = 0; a < kNetAddressCount; ++a) ClearAddress(a);
}

void NetDeviceTables::ParseClassReply(int a) {
    if (a < 0 || a >= kAdapterAddress) return;
    const ReplyReader r(NetReplies[size_t(a)]);
    TNetDeviceInfo d;
    auto& texts = NetDeviceTexts[size_t(a)];

    d[kNdAddress] = a;
    d[kNdFormat] = r.Byte(2) - 2;
    const int s = (r.Byte(3) & kSelectorBit) ? 1 : 0;
    d[kNdSelector] = s;
    // Only the alpha format carries a two-byte high part of the identifier.
    const int f = d[kNdFormat] == 30 && s == 0 ? 1 : 0;
    d[kNdAlpha] = f;

    const int p = 4 + s;
    texts[kTextClassMask] = ClassMaskText(r, p);
    d[kNdNidLow] = r.Le16(p + 8);
    d[kNdNidHigh] = f ? r.Le16(p + 10) : r.Byte(p + 10);

    const int q = p + 11 + f;
    d[kNdPtg1] = r.Byte(q);
    d[kNdPtg2] = r.Le16(q + 1);
    texts[kTextPtg] = r.Hex(q) + r.Hex(q + 2) + r.Hex(q + 1);
    d[kNdConfigStart] = r.Le16(q + 3);
    d[kNdConfigEnd] = r.Le16(q + 5);
    const int cnf = (r.Byte(q + 7) << 8) | r.Byte(q + 8);  // the one big-endian word
    d[kNdCnfUnchanged] = cnf >> 15;
    d[kNdCnfVersion] = cnf & 0x7FFF;

    texts[kTextFormat] = FormatText(d[kNdFormat], s);
    if (d[kNdFormat] >= 24) {
        d[kNdAppVersion] = r.Le16(q + 9);
        d[kNdAtg1] = r.Byte(q + 11);
        d[kNdAtg2] = r.Le16(q + 12);
        texts[kTextFormat] = r.Hex(q + 11) + r.Hex(q + 13) + r.Hex(q + 12);
    }

    const QString dtg = texts[kTextDtg].trimmed();
    if (!dtg.isEmpty()) {
        d[kNdDtg1] = int(HexToInt(dtg.mid(0, 2)));
        d[kNdDtg2] = int(HexToInt(dtg.mid(2, 4)));
    }
    NetDevices[size_t(a)] = d;
}

void NetDeviceTables::AddDeviceListLine(int a, QStringList& list, int sepDevice) const {
    if (!InTable(a)) return;
    const QString serial = Text(a, kTextSerial);
    for (int k = 1; k <= AnswerCount(a); ++k) {
        QString line = DeviceAddrName(a, sepDevice) +
                       (k == 1 ? QStringLiteral("  ") : QLatin1Char(' ') + QString::number(k));
        if (!serial.trimmed().isEmpty()) line += QStringLiteral(" SN ") + serial;
        const QString head = line.left(7);
        qsizetype at = 0;
        while (at < list.size() && !list.at(at).startsWith(head)) ++at;
        if (at < list.size())
            list[at] = line;
        else
            list.append(line);
    }
}

void NetDeviceTables::BuildDeviceList(QStringList& list, int sepDevice) const {
    list.clear();
    for (int a = 0; a < kAdapterAddress; ++a) AddDeviceListLine(a, list, sepDevice);
}

NetClassInfo NetDeviceTables::ShowClassInfo(int a, int sepDevice) const {
    NetClassInfo info;
    if (!InTable(a)) return info;
    const TNetDeviceInfo& d = NetDevices[size_t(a)];
    const QString mask = Text(a, kTextClassMask);
    QStringList& out = info.lines;
    out << DeviceAddrName(a, sepDevice);
    out << (d[kNdFormat] < 1 ? QStringLiteral("Ответ на запрос класса не получен!")
                             : QStringLiteral("Получен ответ на запрос класса."));
    out << QStringLiteral("Маска класса: ") + ReverseStr(mask);
    out << DeviceClassList(mask);
    out << QStringLiteral("Идентификатор сети NID:=") + QString::number(d.Nid()) +
               QStringLiteral("  ") + IntToHexBytes(d[kNdNidHigh]) + IntToHexBytes(d[kNdNidLow]);
    out << QStringLiteral("A\\C:=") + DecimalAndHex(d[kNdConfigStart]);
    out << QStringLiteral("C\\B:=") + DecimalAndHex(d[kNdConfigEnd]);
    out << QStringLiteral("Номер версии CNF: ") +
               QDate(2000, 12, 30).addDays(d[kNdCnfVersion]).toString(QStringLiteral("dd.MM.yyyy"));
    out << (d[kNdCnfUnchanged] == 1 ? QStringLiteral("CNF не изменен.")
                                    : QStringLiteral("CNF изменен пользователем!"));
    out << QStringLiteral("Номер версии переменной части программы (APP): ") +
               IntToHexBytes(d[kNdAppVersion]);
    out << QStringLiteral("SN: ") + Text(a, kTextSerial);
    out << QStringLiteral("UID PTG:= ") + IntToHexBytes(d[kNdPtg1]) + IntToHexBytes(d[kNdPtg2]);
    out << QStringLiteral("UID ATG:= ") + IntToHexBytes(d[kNdAtg1]) + IntToHexBytes(d[kNdAtg2]);
    out << QStringLiteral("UID DTG:= ") + IntToHexBytes(d[kNdDtg1]) + IntToHexBytes(d[kNdDtg2]);
    if (LooksLikeSerialNumber(Text(a, kTextSerial))) {
        info.serial = Text(a, kTextSerial);
        info.serialAddress = a;
    }
    // A known firmware fault of early switches.
    if (a < sepDevice && d[kNdAppVersion] == 4 && d[kNdPtg1] == 5) {
        out << QStringLiteral("Обнаружен СКМ с ошибочным АРР ");
        out << QStringLiteral("Залейте новую версию АРР!");
    }
    return info;
}

QString DecodeSerialNumber(const TNetFrame& answer, int selector) {
    const int first = 8 + selector;
    const QChar letter(answer[first] + 55);
    if (letter < QLatin1Char('A') || letter > QLatin1Char('J')) return kNotAvailable;
    QString serial(letter);
    // Each digit travels as its seven-segment pattern with the top bit set.
    for (int i = first + 1; i <= first + 9; ++i)
        serial += QString::number(SegmentsToDigit(quint8(answer[i] - 0x80)));
    return serial;
}

QString DecodeDtgIdentity(const TNetFrame& answer, int selector) {
    if (answer[2] < 23) return QString();
    const int at = 18 + selector;
    return ByteToHex(answer[at]) + ByteToHex(answer[at + 2]) + ByteToHex(answer[at + 1]);
}

bool LooksLikeSerialNumber(const QString& text) {
    return text.size() == 10 && text.at(0) >= QLatin1Char('A') && text.at(0) <= QLatin1Char('J') &&
           text.at(9) >= QLatin1Char('0') && text.at(9) <= QLatin1Char('9');
}
