#include "netlink/NetAnswerInterpreter.h"

#include "foundation/BitAndStr.h"

namespace {

enum class Pairing { Error, Answer, AnswerUncounted, Success, Negativ };

// One pending request of the journal and the texts its answers are known by.
struct Request {
    TNetFrame frame;
    int a = 0;     // destination
    int c = 0;     // command byte as sent
    int base = 0;  // command without the selector bit
    int s = 0;     // selector flag
    QString key;   // hex digits of the key field
    QString memory;
    QString positive, refusal, echo;
    int count = 0;  // positive answers counted in this pass

    int Function() const { return base == kCmdParameter ? frame[7 + s] : -1; }
};

QString Hex(int b) {
    return ByteToHex(b);
}

std::optional<Request> ParseRequest(const QString& line) {
    const std::optional<TNetFrame> frame = TNetFrame::FromHex(line);
    if (!frame) return std::nullopt;
    Request rq;
    rq.frame = *frame;
    rq.a = rq.frame[1];
    rq.c = rq.frame[3];
    rq.s = rq.frame.Selector();
    rq.base = rq.c & ~kSelectorBit;
    if (rq.base == kCmdParameter) rq.key = Hex(rq.frame[7 + rq.s]);
    if (rq.base == kCmdCard) {
        rq.key = Hex(rq.frame[4 + rq.s]);
        if (rq.frame[4 + rq.s] == 0) rq.key += Hex(rq.frame[5 + rq.s]);
    }
    if (rq.base == kCmdMemoryRead || rq.base == kCmdMemoryWrite)
        rq.memory = Hex(rq.frame[5 + rq.s]) + Hex(rq.frame[4 + rq.s]);
    const QString a = Hex(rq.a), station = Hex(kAdapterAddress), c = Hex(rq.c);
    rq.positive = a + station + Hex(rq.c + kAnswerBit) + rq.key + rq.memory;
    rq.refusal = a + station + c + rq.key;
    rq.echo = station + a + c + rq.key + rq.memory;
    return rq;
}

// The received packet read in the layout of the request's answer. The command
// is where the frame layout puts it, byte 3; a packet of a selector request
// that carries it one byte further is read there as well.
QString ReceivedText(const Request& rq, const TNetFrame& r, int commandAt, bool withMemory) {
    int command = r[commandAt];
    // A device with the internal selector answers the class request with C0.
    if (rq.c == kCmdClass) command &= ~kSelectorBit;
    // Made in one piece: every packet is read against every request.
    QString text;
    text.reserve(14);
    AppendByteHex(text, r[0]);
    AppendByteHex(text, r[1]);
    AppendByteHex(text, command);
    if (rq.base == kCmdCard) {
        AppendByteHex(text, r[4 + rq.s]);
        if (rq.key.size() > 2) AppendByteHex(text, r[5 + rq.s]);
    } else if (!rq.key.isEmpty()) {
        AppendByteHex(text, r[7 + rq.s]);
    }
    if (withMemory && !rq.memory.isEmpty()) {
        AppendByteHex(text, r[5 + rq.s]);
        AppendByteHex(text, r[4 + rq.s]);
    }
    return text;
}

Pairing PairAt(const Request& rq, const TNetFrame& r, int commandAt) {
    const QString text = ReceivedText(rq, r, commandAt, true);
    if (text == rq.positive) return Pairing::Answer;
    if (text == rq.echo) return Pairing::Success;
    // A refusal carries no memory address to compare.
    if (ReceivedText(rq, r, commandAt, false) == rq.refusal) return Pairing::Negativ;
    // A card operation that answers "FF": the device is ready, nothing is counted.
    if (rq.base == kCmdCard && text.size() == 10 && text.endsWith(QStringLiteral("FF")) &&
        (text.left(6) == rq.positive.left(6) || text.left(6) == rq.refusal.left(6)))
        return Pairing::AnswerUncounted;
    // A device asked at a class address answers the address change from its own.
    if (rq.a >= kNetAddressCount && rq.base == kCmdParameter && rq.Function() == kFnAddress &&
        text.mid(2) == rq.positive.mid(2))
        return Pairing::Answer;
    return Pairing::Error;
}

Pairing Pair(const Request& rq, const TNetFrame& r) {
    const Pairing atThree = PairAt(rq, r, 3);
    if (atThree != Pairing::Error || rq.s == 0) return atThree;
    return PairAt(rq, r, 3 + rq.s);
}

// One answer to turn into a result: paired with a request, or taken by itself.
struct AnswerCase {
    Pairing status = Pairing::Error;
    bool late = false;  // unsolicited mode
    const TNetFrame* request = nullptr;
    TNetFrame answer;
    int a = 0;  // the device the result speaks of
    int base = 0;
    int s = 0;
    int function = -1;  // of command 01
    int count = 0;

    bool Answered() const {
        return status == Pairing::Answer || status == Pairing::AnswerUncounted;
    }
};

QString CardStateText(int state) {
    static const char* const kTexts[] = {
        "Работа с устройством завершена.",
        "ПРИЛОЖИТЕ КАРТУ ДЛЯ ЗАГОТОВКИ РАЗРЕШАЮЩЕГО КЛЮЧА ОПЕРАЦИИ.",
        "ПРИЛОЖИТЕ КАРТУ ВЛАДЕЛЬЦА ДЛЯ ГЕНЕРАЦИИ КОДА БЕЗОПАСНОСТИ ДЛЯ ДАННОГО ОБЪЕКТА.",
        "ПРИЛОЖИТЕ КАРТУ ДЛЯ ЕЕ ЧТЕНИЯ.",
        "ПРИЛОЖИТЕ КАРТУ ДЛЯ УДАЛЕНИЯ КЛЮЧА ПРОХОДА.",
        "ПРИЛОЖИТЕ КАРТУ ДЛЯ СОЗДАНИЯ КЛЮЧА ПРОХОДА.",
        "ПРИЛОЖИТЕ КАРТУ ДЛЯ СОЗДАНИЯ КАРТЫ КЛЮЧНИКА.",
        "ПРИЛОЖИТЕ КАРТУ ДЛЯ СОЗДАНИЯ КАРТЫ НАСТРОЙЩИКА.",
        "ПРИЛОЖИТЕ КАРТУ ДЛЯ СОЗДАНИЯ КАРТЫ АДМИНИСТРАТОРА.",
        "ПРИЛОЖИТЕ КАРТУ ДЛЯ СОЗДАНИЯ КАРТЫ ЗАМЕНЫ.",
    };
    if (state == 0xFF) return QStringLiteral("Устройство готово к работе c EMC.");
    if (state >= 0 && state < int(std::size(kTexts))) return QString::fromUtf8(kTexts[state]);
    return QString();
}

QString CardFunctionText(int function) {
    switch (function) {
        case 1:
            return QStringLiteral("Ключ безопасности администратора получен.");
        case 3:
            return QStringLiteral("ОЗ \"Ключ безопасности владельца\" установлен.");
        case 4:
            return QStringLiteral("Ключ безопасности ключника получен.");
        case 5:
            return QStringLiteral("ОЗ \"Ключ безопасности ключника/администратора\" установлен.");
        case 6:
            return QStringLiteral("Ключ безопасности для КФ БВ получен.");
        case 7:
            return QStringLiteral("Прыдыдущий ключ безопасности PAS получен.");
        case 8:
            return QStringLiteral("ОЗ \"Прыдыдущий ключ безопасности PAS\" установлен.");
        case 9:
            return QStringLiteral("Прыдыдущий ключ безопасности PAS для КФ БВ получен.");
        case 10:
            return QStringLiteral("Ключ безопасности SYS для сторонней организации получен.");
        case 11:
            return QStringLiteral(
                "ОЗ \"Ключ безопасности SYS от сторонней организации \" установлен.");
        case 12:
            return QStringLiteral("ОЗ \"Новый ключ безопасности\" установлен.");
        case 13:
            return QStringLiteral("ОЗ \"Первый пакет данных\" установлен.");
        case 14:
            return QStringLiteral("ОЗ \"Второй пакет данных\" установлен.");
        case 15:
            return QStringLiteral("ОЗ \"Третий пакет данных\" установлен.");
        case 16:
            return QStringLiteral("Прыдыдущий ключ безопасности с производства получен.");
        default:
            return QString();
    }
}

// The functions whose answer carries a key after the function code.
bool CardFunctionReturnsKey(int function) {
    return function == 1 || function == 4 || function == 6 || function == 7 || function == 9 ||
           function == 10 || function == 16;
}

QString CardEventText(int event) {
    static const char* const kTexts[] = {
        nullptr,
        "Карта отформатирована",
        "Карта не отформатирована (действие)",
        "Карта не отформатирована (состояние)",
        "Карта пуста",
        "Нет нужного сектора",
        "Ошибка операции",
        "Ошибка карты",
        "Ошибка CRC",
        "Успех удаления",
        "Ошибка записи",
        "Сектор записан",
        "Сбой активного ключа безопасности",
        "Замена",
        "Открытие двери (успех)",
        "Открытие двери (отказ)",
        "Открытие карты (неудача)",
        "Карта высокого доступа: операция невозможна",
        "Карта владельца: зарезервировано на будущее",
        "Ключ безопасности для объекта сгенерирован",
        "Карта владельца: успех генерации ключа безопасности",
        "Первый блок сектора получен",
        "Второй блок сектора получен",
        "Третий блок сектора получен",
        "Карта высокого доступа: операция запрещена",
        "Успех чтения",
        "Неизвестный тип сектора",
        "Вход в режим программирования по карте (успех)",
        "Вход в режим программирования по карте (неудача)",
        "Открытие двери (успех)",
        "Чтение CSN (завершение операции)",
        "Серийный номер получен",
    };
    if (event > 0 && event < int(std::size(kTexts))) return QString::fromUtf8(kTexts[event]);
    return QString();
}

// Hex digits of the answer's bytes from..to-1, within its meaningful bytes.
QString HexBytes(const TNetFrame& frame, int from, int to) {
    QString hex;
    for (int i = from; i < to && i < kNetFrameSize; ++i) hex += Hex(frame[i]);
    return hex;
}

// A little-endian number of count bytes of the frame from byte at on.
qint64 LittleEndian(const TNetFrame& frame, int at, int count) {
    qint64 value = 0;
    for (int i = count - 1; i >= 0; --i) value = value * 256 + frame[at + i];
    return value;
}

class ResultWriter {
  public:
    ResultWriter(NetInterpretation& io, NetInterpretResult& result, QString& modeText)
        : io_(io), result_(result), mode_(modeText) {}

    void Write(const AnswerCase& x) {
        const bool adapter = x.a == kAdapterAddress;
        QString text = adapter ? AdapterText(x) : DeviceText(x);
        if (text.isEmpty()) return;
        if (x.late && x.base != kCmdCard) text += DelayedAnswerSuffix();
        (adapter ? io_.formLog : io_.answerLog).append(text);
    }

  private:
    QString Name(int a) const { return DeviceAddrName(a, io_.sepDevice); }

    QString DeviceText(const AnswerCase& x) {
        if (x.status == Pairing::Negativ) return DeviceRefusal(x);
        switch (x.base) {
            case kCmdClass:
                return ClassAnswer(x);
            case kCmdParameter:
                return ParameterAnswer(x);
            case kCmdDeselect:
                if (x.Answered()) io_.selectedAddr = -1;
                return QStringLiteral("Выход из РП. ") + Name(x.a);
            case kCmdMemoryRead:
                // The caller takes the data from the packet itself.
                if (x.Answered()) mode_ = x.answer.ToHex();
                return QString();
            case kCmdMemoryWrite: {
                const qint64 at = x.request ? LittleEndian(*x.request, 4 + x.s, 2) : 0;
                return QStringLiteral("Пакет по адресу ") + QString::number(at) +
                       QStringLiteral(" записан успешно.");
            }
            case kCmdCard:
                return CardAnswer(x);
            default:
                return QString();
        }
    }

    QString ClassAnswer(const AnswerCase& x) {
        // An echo of the own request is no reply of the device.
        if (x.Answered() && x.a < kAdapterAddress) {
            io_.tables.StoreReply(x.a, x.answer, x.count);
            io_.tables.AddDeviceListLine(x.a, io_.deviceList, io_.sepDevice);
        }
        return QStringLiteral(" Получен ответ устройства: ") + Name(x.a);
    }

    QString ParameterAnswer(const AnswerCase& x) {
        switch (x.function) {
            case kFnNetworkId:
                return NetworkIdAnswer(x);
            case kFnSerialNumber:
                return SerialNumberAnswer(x);
            case kFnAddress:
                return AddressAnswer(x);
            case kFnSelect:
                if (x.Answered()) io_.selectedAddr = x.a;
                return QStringLiteral("Вход в РП. ") + Name(x.a);
            default:
                return QString();
        }
    }

    QString NetworkIdAnswer(const AnswerCase& x) {
        NetDeviceTables& t = io_.tables;
        const bool known = x.a < kAdapterAddress && NetDeviceTables::InTable(x.a);
        const int bytes = known && t.NetDevices[size_t(x.a)][kNdAlpha] == 1 ? 4 : 3;
        const qint64 id = LittleEndian(x.answer, 8 + x.s, bytes);
        if (x.Answered() && known) {
            // The identifier of the stored class reply follows the device.
            const int p = 4 + t.Selector(x.a);
            for (int i = 0; i < bytes && p + 8 + i < kNetFrameSize; ++i)
                t.NetReplies[size_t(x.a)][size_t(p + 8 + i)] = quint8(x.answer[8 + x.s + i]);
            t.NetDevices[size_t(x.a)][kNdNidHigh] = int(id / 65536);
            t.NetDevices[size_t(x.a)][kNdNidLow] = int(id % 65536);
        }
        return Name(x.a) + QStringLiteral(" Идентификатор сети изменился на NID:=") +
               QString::number(id) + QStringLiteral("  ") + IntToHexBytes(id / 65536) +
               IntToHexBytes(id % 65536);
    }

    QString SerialNumberAnswer(const AnswerCase& x) {
        if (x.answer[2] < 20) return QStringLiteral("Ответ не определен.");
        const QString serial = DecodeSerialNumber(x.answer, x.s);
        if (x.Answered() && NetDeviceTables::InTable(x.a)) {
            auto& texts = io_.tables.NetDeviceTexts[size_t(x.a)];
            texts[kTextSerial] = serial;
            // An answer without the DTG bytes leaves no identity: blank, not zeros.
            texts[kTextDtg] = DecodeDtgIdentity(x.answer, x.s);
            io_.tables.AddDeviceListLine(x.a, io_.deviceList, io_.sepDevice);
        }
        return Name(x.a) + QStringLiteral(" SN:= ") + serial;
    }

    QString AddressAnswer(const AnswerCase& x) {
        // A late answer comes from the new address; the old one is not known.
        const int oldAddress = x.request ? (*x.request)[1] : -1;
        const int newAddress = x.request ? (*x.request)[20 + x.s] : x.answer[0];
        const bool reset = newAddress >= 255;
        if (x.Answered()) {
            result_.addressChanges.append({oldAddress, newAddress});
            if (reset) {
                io_.tables.ClearAddress(oldAddress);
                io_.tables.BuildDeviceList(io_.deviceList, io_.sepDevice);
            }
        }
        if (reset) return QStringLiteral("Сетевой адрес сброшен. Операция смены выполнена.");
        return QStringLiteral("Сетевой адрес СУ ") + Name(oldAddress) +
               QStringLiteral(" изменен на ") + Name(newAddress) +
               QStringLiteral(". Операция смены выполнена.");
    }

    QString CardAnswer(const AnswerCase& x) {
        const int function = x.answer[4 + x.s];
        QString text, marker = QStringLiteral("EM8D") + Hex(function);
        if (function == 0) {
            const int state = x.answer[5 + x.s];
            text = CardStateText(state);
            marker += Hex(state);
        } else {
            text = CardFunctionText(function);
            if (CardFunctionReturnsKey(function))
                marker += HexBytes(x.answer, 5 + x.s, x.answer.PayloadLength());
        }
        if (x.Answered()) mode_ = PadRight(marker, QLatin1Char('0'), qMax(8, int(marker.size())));
        return text;
    }

    QString CardEvent(const AnswerCase& x) {
        const int function = x.answer[4 + x.s];
        const int flag = x.answer[5 + x.s];
        if (function == 0 && flag == 1) {
            mode_ = QStringLiteral("EM0D00") + HexBytes(x.answer, 6 + x.s, 22 + x.s);
            return QStringLiteral("Устройство вернуло данные.");
        }
        if (function == 0xFF) {
            mode_ = QStringLiteral("EM0DFF") + Hex(flag);
            return CardEventText(flag);
        }
        return QStringLiteral("Устройство ") + Name(x.a) +
               QStringLiteral(" не смогло выполнить операцию.");
    }

    QString DeviceRefusal(const AnswerCase& x) {
        switch (x.base) {
            case kCmdClass:
                return QStringLiteral("Отсутствует устройство ") + Name(x.a);
            case kCmdParameter:
                return ParameterRefusal(x);
            case kCmdDeselect:
                return QStringLiteral("Устройство ") + Name(x.a) +
                       QStringLiteral(" не ответило при выходе из РП.");
            case kCmdMemoryWrite:
                return QStringLiteral("Пакет не записан.");
            case kCmdCard:
                return CardEvent(x);
            default:
                return QString();
        }
    }

    QString ParameterRefusal(const AnswerCase& x) {
        switch (x.function) {
            case kFnNetworkId: {
                const qint64 stored =
                    NetDeviceTables::InTable(x.a) ? io_.tables.NetDevices[size_t(x.a)].Nid() : 0;
                const qint64 asked = x.request ? LittleEndian(*x.request, 8 + x.s, 3) : stored;
                const QString head =
                    QStringLiteral("Идентификатор не изменился ") + Name(x.a) + QLatin1Char('.');
                if (asked == stored)
                    return head + QStringLiteral(" Идентификатор сети NID:=") +
                           QString::number(stored);
                return head + QStringLiteral(" Сетевой идентификатор НЕ изменен на") +
                       QString::number(asked);
            }
            case kFnSerialNumber:
                return QStringLiteral("Устройство ") + Name(x.a) +
                       QStringLiteral(" не вернуло свой SN.");
            case kFnAddress: {
                const int newAddress = x.request ? (*x.request)[20 + x.s] : x.answer[0];
                return QStringLiteral(" Сетевой номер НЕ изменен на") + QString::number(newAddress);
            }
            case kFnSelect:
                return QStringLiteral("Нет входа в РП. ") + Name(x.a);
            default:
                return QString();
        }
    }

    // The adapter: a positive answer, or (refusal and echo read the same) not.
    QString AdapterText(const AnswerCase& x) {
        const bool positive = x.Answered();
        if (x.base == kCmdClass)
            return positive ? AdapterVersion(x) : QStringLiteral("Версия СУС не определена. ");
        if (x.base != kCmdParameter) return QString();
        switch (x.function) {
            case kFnDriverOn:
                mode_ = QStringLiteral("*");
                return positive ? QStringLiteral("Включен драйвер СУС.")
                                : QStringLiteral("Драйвер был запущен.");
            case kFnUsbIdentity:
                return positive ? QStringLiteral("Произведена смена VID PID.")
                                : QStringLiteral("Смена VID PID не произведена.");
            case kFnReceptionMode:
                return positive ? ReceptionModeAnswer(x) : QString();
            case kFnRestart:
                return positive ? QStringLiteral("Произведен рестарт.")
                                : QStringLiteral("Рестарт не произведен.");
            default:
                return QString();
        }
    }

    // The adapter's version: bytes 4 and 5 (high, low), byte 8 a third part
    // that short replies lack.
    QString AdapterVersion(const AnswerCase& x) {
        const int high = x.answer[4], low = x.answer[5];
        const int third = x.answer.PayloadLength() > 8 ? x.answer[8] : 0;
        const QString version = QLatin1Char('$') + Hex(high) + QLatin1Char('$') + Hex(low) +
                                QLatin1Char('$') + Hex(third);
        result_.adapterVersion = version;
        io_.tables.StoreReply(kAdapterAddress, x.answer, x.count);
        TNetDeviceInfo& d = io_.tables.NetDevices[kAdapterAddress];
        d[kNdAddress] = kAdapterAddress;
        d[kNdFormat] = x.answer[2];
        d[kNdAppVersion] = high * 256 + low;
        return QStringLiteral("Версия APP СУС = ") + version;
    }

    QString ReceptionModeAnswer(const AnswerCase& x) {
        if ((x.answer[8] & 1) == 0) {
            mode_ = QStringLiteral("%");
            return QStringLiteral("Принимаются пакеты только для СУС .");
        }
        mode_ = QStringLiteral("#");
        return QStringLiteral("Принимаются любые пакеты сети, log файл для их сохранения: ") +
               io_.logFileName + QLatin1Char('.') +
               (io_.appendLog ? QStringLiteral(" Пакеты добавляются в конец log файла.")
                              : QStringLiteral(" Файл перезаписан."));
    }

    NetInterpretation& io_;
    NetInterpretResult& result_;
    QString& mode_;
};

// Takes the frame of a received journal line; a line that is no packet is dropped.
std::optional<TNetFrame> TakeReceived(QStringList& memoRead, qsizetype at) {
    const std::optional<TNetFrame> frame = TNetFrame::FromHex(memoRead.at(at));
    if (!frame) memoRead.removeAt(at);
    return frame;
}

NetTakenAnswer::Kind TakenKind(Pairing pairing) {
    if (pairing == Pairing::Negativ) return NetTakenAnswer::Refusal;
    if (pairing == Pairing::Success) return NetTakenAnswer::Echo;
    return NetTakenAnswer::Positive;
}

void PairWithRequests(NetInterpretation& io, ResultWriter& writer, QString& status,
                      QList<NetTakenAnswer>& taken) {
    for (qsizetype i = 0; i < io.memoSend.size();) {
        const QString requestLine = io.memoSend.at(i);
        std::optional<Request> rq = ParseRequest(requestLine);
        if (!rq) {
            io.memoSend.removeAt(i);
            continue;
        }
        bool answered = false;
        for (qsizetype j = 0; j < io.memoRead.size();) {
            const std::optional<TNetFrame> r = TakeReceived(io.memoRead, j);
            if (!r) continue;
            status = QStringLiteral("Error");
            const Pairing pairing = Pair(*rq, *r);
            if (pairing == Pairing::Error) {
                ++j;
                continue;
            }
            if (pairing == Pairing::Answer) ++rq->count;
            AnswerCase x;
            x.status = pairing;
            x.request = &rq->frame;
            x.answer = *r;
            x.a = rq->a;
            x.base = rq->base;
            x.s = rq->s;
            x.function = rq->Function();
            x.count = rq->count;
            writer.Write(x);
            taken.append({TakenKind(pairing), *r, requestLine});
            io.memoRead.removeAt(j);
            answered = true;
            status.clear();
        }
        // A request to a class address stays: more than one device may answer it.
        if (answered && rq->a < kNetAddressCount)
            io.memoSend.removeAt(i);
        else
            ++i;
    }
}

void TakeEachByItself(NetInterpretation& io, ResultWriter& writer, QString& status,
                      QList<NetTakenAnswer>& taken) {
    while (!io.memoRead.isEmpty()) {
        const std::optional<TNetFrame> r = TakeReceived(io.memoRead, 0);
        if (!r) continue;
        io.memoRead.removeAt(0);
        status.clear();
        const int c = (*r)[3];
        AnswerCase x;
        x.late = true;
        x.answer = *r;
        x.a = (*r)[0];
        x.s = r->Selector();
        x.base = c & ~(kAnswerBit | kSelectorBit);
        x.function = x.base == kCmdParameter ? (*r)[7 + x.s] : -1;
        if (c & kAnswerBit) {
            x.status = Pairing::Answer;
            x.count = io.tables.AnswerCount(x.a) + 1;
        } else if (x.base == kCmdCard) {
            x.status = Pairing::Negativ;
        } else {
            // A request of some station, passed on in sniffer mode: nothing to report.
            continue;
        }
        writer.Write(x);
        taken.append({TakenKind(x.status), *r, QString()});
    }
}

}  // namespace

QString DelayedAnswerSuffix() {
    return QStringLiteral(" Ответ пришёл с задержкой!");
}

NetInterpretResult InterpretAnswers(NetInterpretation& io, QString& modeText, QString& status) {
    NetInterpretResult result;
    status.clear();
    const bool unsolicited = modeText == QLatin1String("0");
    ResultWriter writer(io, result, modeText);
    if (unsolicited)
        TakeEachByItself(io, writer, status, result.taken);
    else
        PairWithRequests(io, writer, status, result.taken);
    return result;
}
