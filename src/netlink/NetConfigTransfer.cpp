#include "netlink/NetConfigTransfer.h"

#include "config/ConfigImage.h"
#include "config/ConfigRecords.h"
#include "foundation/BitAndStr.h"
#include "netlink/EComPort.h"
#include "netlink/NetAnswerWait.h"
#include "netlink/NetDeviceRecords.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/TNetLink.h"
#include "platform/Dialogs.h"
#include "platform/DurableFile.h"
#include "platform/SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kTransferErrorCaption = QStringLiteral("Ошибка");
const QString kNotCreated = QStringLiteral("Не создан конфигурационный файл!");

// The header bytes a file read from a device gets; its image follows.
constexpr int kDeviceHeaderBytes = 29;
// Where a workstation file's date word starts: the device gets the rest.
constexpr int kSentFrom = 29;
// Configuration memory below this address belongs to the device's program.
constexpr int kLowestConfigStart = 0x2800;
// More than any device's memory can hold: a file is read no further.
constexpr qint64 kLargestImage = 0x10000 + kSentFrom;
// Free names tried for a read file before giving up.
constexpr int kMaxCopies = 10000;

std::array<quint8, 8> DefaultClassMask(int address, int sepDevice) {
    if (address < sepDevice) return {0x0F, 0, 0, 0, 0, 0, 0, 0x90};
    if (address == sepDevice) return {0x64, 0x01, 0, 0, 0, 0, 0, 0x90};
    if (address >= kFirstPanelAddress) return {0xF0, 0, 0, 0, 0, 0, 0, 0xC0};
    return {};
}

// The class mask in the order of the class reply: the text holds the last
// reply byte first.
std::array<quint8, 8> ClassMaskBytes(const QString& maskText, int address, int sepDevice) {
    if (maskText.size() != 64) return DefaultClassMask(address, sepDevice);
    std::array<quint8, 8> bytes{};
    for (int i = 0; i < 8; ++i) bytes[size_t(i)] = quint8(BinToInt(maskText.mid(56 - 8 * i, 8)));
    return bytes;
}

void PutLe16(QByteArray& bytes, int at, int value) {
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char((value >> 8) & 0xFF);
}

int HeadByte(const QByteArray& file, int i) {
    return i < file.size() ? quint8(file[i]) : 0;
}

bool HasWorkstationHeader(const QByteArray& file) {
    return (HeadByte(file, 20) == 0x80 || HeadByte(file, 21) == 0x80) && HeadByte(file, 28) == 0xFF;
}

// The n data bytes of a memory-read answer (1 <= n <= asked), or nothing.
std::optional<QByteArray> ReadAnswerData(const TNetFrame& answer, int asked) {
    const int s = 4 + answer.Selector();
    const int n = answer[s + 2];
    if (n < 1 || n > asked || s + 2 + n >= kNetFrameSize) return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(answer.data()) + s + 3, n);
}

}  // namespace

QByteArray DeviceFileHeader(const NetDeviceTables& tables, int address, int sepDevice) {
    QByteArray header(kDeviceHeaderBytes, '\0');
    const TNetDeviceInfo d =
        NetDeviceTables::InTable(address) ? tables.NetDevices[size_t(address)] : TNetDeviceInfo{};
    header[0] = char(address);
    const std::array<quint8, 8> mask =
        ClassMaskBytes(tables.Text(address, kTextClassMask), address, sepDevice);
    for (int i = 0; i < 8; ++i) header[1 + i] = char(mask[size_t(i)]);
    PutLe16(header, 9, d[kNdNidLow]);
    header[11] = char(d[kNdNidHigh] & 0xFF);
    PutLe16(header, 12, d[kNdPtg2]);
    PutLe16(header, 14, d[kNdPtg1]);
    PutLe16(header, 16, d[kNdConfigStart]);
    PutLe16(header, 18, d[kNdConfigEnd]);
    header[20] = char(0x80);
    PutLe16(header, 21, d[kNdAppVersion]);
    PutLe16(header, 23, d[kNdAtg2]);
    header[25] = char(d[kNdAtg1] & 0xFF);
    header[26] = char(0xFF);
    header[27] = char(0xC3);
    header[28] = char(0xFF);
    return header;
}

NetConfigTransfer::NetConfigTransfer(NetOpContext& ctx)
    : commitFile([](const QString& temp, const QString& target, QString* error) {
          return DurableFile::Commit(temp, target, DurableFile::Existing::Keep, error);
      }),
      ctx_(ctx) {}

void NetConfigTransfer::Log1(const QString& line) const {
    ctx_.RequestLog().append(line);
}

void NetConfigTransfer::Log2(const QString& line) const {
    ctx_.AnswerLog().append(line);
}

NetConfigTransfer::Place NetConfigTransfer::MemoryOf(int address) const {
    if (!NetDeviceTables::InTable(address)) return {};
    const TNetDeviceInfo& d = ctx_.link.Tables.NetDevices[size_t(address)];
    return {d[kNdConfigStart], d[kNdConfigEnd]};
}

bool NetConfigTransfer::Selector(int address) const {
    return ctx_.link.Tables.Selector(address) == 1;
}

// ---------------------------------------------------------------- reading

std::optional<QByteArray> NetConfigTransfer::ReadPacket(int address, int at, int count, bool* sent,
                                                        QString* answerText) {
    TNetLink& link = ctx_.link;
    const TNetFrame request = NetRequest::MemoryRead(address, Selector(address), at, count);
    DropMemoryAnswers(link, address);
    *sent = link.SendFrame(request, ctx_.RequestLog());
    if (!*sent) return std::nullopt;
    NetWaitRule rule;
    rule.requestHex = request.ToHex();
    rule.firstAttempts = 3 * link.Settings.CountRead;
    rule.secondAttempts = 3 * link.Settings.CountRead;
    // A stale answer for another address, or one that brings no bytes or
    // more than asked, is no answer to this request.
    rule.accept = [address, at, count](const NetTakenAnswer& taken) {
        return taken.kind == NetTakenAnswer::Positive &&
               IsMemoryAnswer(taken.answer, address, kCmdMemoryRead, at) &&
               ReadAnswerData(taken.answer, count).has_value();
    };
    const NetWaitResult answer = AwaitAnswer(link, rule);
    if (answerText) *answerText = answer.modeText.isEmpty() ? QStringLiteral("0") : answer.modeText;
    if (!answer.answered) return std::nullopt;
    return ReadAnswerData(answer.answer, count);
}

void NetConfigTransfer::ReportReadFailure(const QString& sentHex, const QString& answerText) {
    Log2(QStringLiteral("послано   ") + sentHex);
    Log2(QStringLiteral("прочитано ") + answerText);
}

// Reads until the end mark has come whole or the end of the memory is
// reached; the last packet brings what lies behind the end mark as well.
NetOpOutcome NetConfigTransfer::ReadImage(int address, QByteArray& image) {
    const Place place = MemoryOf(address);
    Log1(QStringLiteral("Чтение конфигурационного файла устройства ") + ctx_.Name(address) +
         QLatin1Char('.'));
    Log1(QStringLiteral("AdrB:=") + QString::number(place.start) + QStringLiteral(" AdrE:=") +
         QString::number(place.end));
    image.clear();
    if (place.end <= place.start) {
        Log2(QStringLiteral("Ошибка адреса ") + QString::number(place.start));
        return NetOpOutcome::Failed;
    }
    NetReceiveHold hold(ctx_.link);
    QString hex;
    int index = 2, sections = -1;  // the walk starts behind the date word
    int next = place.start, count = qMin(kMemoryPacketBytes, place.end - place.start);
    if (ctx_.StopRequested()) return NetOpOutcome::Stopped;
    for (;;) {
        Log1(QStringLiteral("adrNext:=") + QString::number(next) + QStringLiteral(" AdrE:=") +
             QString::number(place.end));
        bool sent = false;
        QString answerText;
        const std::optional<QByteArray> bytes =
            ReadPacket(address, next, count, &sent, &answerText);
        if (!sent) {
            Log2(QStringLiteral("Ошика пакета "));
            return NetOpOutcome::Failed;
        }
        if (!bytes) {
            ReportReadFailure(
                NetRequest::MemoryRead(address, Selector(address), next, count).ToHex(),
                answerText);
            return NetOpOutcome::Failed;
        }
        image += *bytes;
        hex += QString::fromLatin1(bytes->toHex().toUpper());
        const bool endMark = CountHexSections(hex, index, sections) < 0;
        count = int(bytes->size());
        next += count;
        if (place.end - next < count) count = place.end - next;
        if (endMark || place.end <= next) return NetOpOutcome::Done;
        if (ctx_.StopRequested()) return NetOpOutcome::Stopped;
        ctx_.Refresh();
    }
}

NetReadResult NetConfigTransfer::ReadCnf(int address) {
    NetReadResult result;
    NetBusyScope busy(ctx_);
    QByteArray image;
    try {
        result.outcome = ReadImage(address, image);
    } catch (const EComPort&) {
        result.outcome = NetOpOutcome::Failed;
    }
    if (result.outcome == NetOpOutcome::Failed) {
        ctx_.link.Pause(3 * ctx_.link.Settings.SWaitNet);
        Log2(QStringLiteral("Произошла ошибка при чтении КФ ") + ctx_.Name(address) +
             QLatin1Char('.'));
    } else if (result.outcome == NetOpOutcome::Stopped) {
        Log2(QStringLiteral("Операция прервана."));
    } else {
        result.savedFile = SaveReadCnf(address, image);
        if (result.savedFile.isEmpty()) result.outcome = NetOpOutcome::Failed;
    }
    return result;
}

QString NetConfigTransfer::SaveReadCnf(int address, const QByteArray& image) {
    if (image.isEmpty()) return QString();
    const QString folder = NetFolders::ReadFolder(ctx_.dbFolder, ctx_.dm);
    const QString stem = NetFolders::FileStem(address, ctx_.SepDevice());
    const QByteArray bytes = DeviceFileHeader(ctx_.link.Tables, address, ctx_.SepDevice()) + image;
    QString error;
    bool announced = false;
    for (int copy = 0; copy < kMaxCopies && QDir().mkpath(folder); ++copy) {
        const QString name =
            copy == 0 ? stem : stem + QLatin1Char('(') + QString::number(copy) + QLatin1Char(')');
        const QString target = folder + QLatin1Char('/') + name + QStringLiteral(".bin");
        if (QFileInfo::exists(target)) continue;
        if (!announced) {
            Log2(ctx_.Name(address) + QStringLiteral(" готов. Файл сохраняется в ") + target);
            announced = true;
        }
        // The image goes to a temporary name first: a device file is never
        // left half-written, and never put over another one. The name is the
        // durable writes' own, so that one left by a crash is cleared by a
        // later write into the folder.
        QFile temp(DurableFile::TemporaryPath(target));
        if (!temp.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
            temp.write(bytes) != bytes.size() || !temp.flush()) {
            error = SystemReason(temp.errorString());
            temp.remove();
            break;
        }
        temp.close();
        if (commitFile(temp.fileName(), target, &error)) {
            Log2(QStringLiteral("Файл сохранен."));
            return target;
        }
        // Another file took the name meanwhile: the next free one is taken.
        if (!QFileInfo::exists(target)) break;
        announced = false;
    }
    if (error.isEmpty()) error = folder;
    Log2(QStringLiteral("Ошибка сохранения файла. ") + error);
    return QString();
}

// ---------------------------------------------------------------- writing

QString NetConfigTransfer::WriteText(int address, const QString& tail) const {
    return QStringLiteral("Записи конфигурационного файла в устройство ") + ctx_.Name(address) +
           tail;
}

std::optional<NetConfigTransfer::LoadedFile> NetConfigTransfer::LoadFile(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    LoadedFile loaded;
    loaded.size = file.size();
    // No device holds more: a larger file is refused by its size alone.
    const qint64 wanted = qMin(loaded.size, kLargestImage);
    loaded.bytes = file.read(wanted);
    if (loaded.bytes.size() != wanted) return std::nullopt;
    return loaded;
}

void NetConfigTransfer::ReportFileFailure() {
    Dialogs::Error(kTransferErrorCaption, kNotCreated);
    Log2(kNotCreated + QStringLiteral("  Операция отменена."));
}

// A workstation's file is sent from its date word on, and only into a device
// of its kind; a differing device number asks. A file without the header is
// sent whole, and only to the device it names.
std::optional<QByteArray> NetConfigTransfer::CheckFile(int address, const LoadedFile& file) {
    const int fileAddress = HeadByte(file.bytes, 0) & 0x7F;
    bool match = true;
    QByteArray payload = file.bytes;
    qint64 size = file.size;
    if (HasWorkstationHeader(file.bytes)) {
        const int kind = HeadByte(file.bytes, 12) + 256 * HeadByte(file.bytes, 13);
        if (ctx_.link.Tables.NetDevices[size_t(address)][kNdPtg2] != kind) {
            Dialogs::Error(kTransferErrorCaption,
                           QStringLiteral("Файл не соответствует классу устройств!"));
            return std::nullopt;
        }
        if (fileAddress != address)
            match = Dialogs::AskYesNo(
                QStringLiteral("Подтверждение"),
                QStringLiteral(
                    "Сетевые номера устройства и файла не совпадают. Продолжить запись?"));
        payload = file.bytes.mid(kSentFrom);
        size -= kSentFrom;
    } else {
        match = fileAddress == address;
    }
    Log2(QStringLiteral("размер CNF ") + QString::number(size));
    if (!CheckPlace(address, size, match)) return std::nullopt;
    return payload;
}

bool NetConfigTransfer::CheckPlace(int address, qint64 size, bool match) {
    const Place place = MemoryOf(address);
    if (place.start < kLowestConfigStart) {
        Log2(QStringLiteral("Ошибка адреса ") + QString::number(place.start));
        return false;
    }
    Log2(QStringLiteral("размер места под CNF ") + QString::number(place.end - place.start));
    if (Selector(address)) Log2(QStringLiteral("Наличие внешней сети."));
    if (!match) {
        Log2(WriteText(address, QStringLiteral(" ОТКАЗАНО. Несоответствие типа.")));
        return false;
    }
    if (place.end - place.start < size) {
        Log2(WriteText(address, QStringLiteral(" ОТКАЗАНО. Превышение длины CNF.")));
        return false;
    }
    // Nothing to send would leave the device as it was while its record said written.
    if (size == 0) {
        Log2(WriteText(address, QStringLiteral(" ОТКАЗАНО. Файл пуст.")));
        return false;
    }
    return true;
}

NetConfigTransfer::PacketResult NetConfigTransfer::WritePacket(int address, int at,
                                                               const QByteArray& bytes) {
    TNetLink& link = ctx_.link;
    bool sent = false;
    if (ReadPacket(address, at, int(bytes.size()), &sent, nullptr) == bytes) {
        Log1(QStringLiteral("Пакет не будет изменен, запись пакета пропускается."));
        return PacketResult::Skipped;
    }
    if (!sent) return PacketResult::Failed;
    const TNetFrame request = NetRequest::MemoryWrite(
        address, Selector(address), link.Tables.NetReplies[size_t(address)][4], at, bytes);
    DropMemoryAnswers(link, address);
    if (!link.SendFrame(request, ctx_.RequestLog())) return PacketResult::Failed;
    NetWaitRule rule;
    rule.requestHex = request.ToHex();
    rule.firstAttempts = link.Settings.CountRead;
    rule.secondAttempts = 3 * link.Settings.CountRead;
    rule.accept = [address, at](const NetTakenAnswer& taken) {
        return taken.kind == NetTakenAnswer::Positive &&
               IsMemoryAnswer(taken.answer, address, kCmdMemoryWrite, at);
    };
    const NetWaitResult answer = AwaitAnswer(link, rule);
    if (answer.answered) return PacketResult::Written;
    if (answer.refused || !link.BComNet.Connected()) return PacketResult::Failed;
    // The confirmation may have been lost on the way: the device's memory says.
    return ReadPacket(address, at, int(bytes.size()), &sent, nullptr) == bytes
               ? PacketResult::Written
               : PacketResult::Failed;
}

NetOpOutcome NetConfigTransfer::WritePackets(int address, const QByteArray& payload,
                                             NetWriteResult& result) {
    const Place place = MemoryOf(address);
    int next = place.start;
    Log1(QStringLiteral("Запись adrNext:=") + QString::number(next));
    NetReceiveHold hold(ctx_.link);
    for (qsizetype pos = 0; pos < payload.size();) {
        if (ctx_.StopRequested()) return NetOpOutcome::Stopped;
        const QByteArray bytes = payload.mid(pos, kMemoryPacketBytes);
        const PacketResult packet = WritePacket(address, next, bytes);
        if (packet == PacketResult::Failed) return NetOpOutcome::Failed;
        ++result.packets;
        if (packet == PacketResult::Skipped) ++result.skipped;
        pos += bytes.size();
        next += int(bytes.size());
        Log1(QStringLiteral("Запись adrNext:=") + QString::number(next));
        ctx_.Refresh();
    }
    return NetOpOutcome::Done;
}

void NetConfigTransfer::ReportWriteOutcome(int address, NetWriteResult& result, bool fromObject) {
    const QString name = ctx_.Name(address);
    if (result.outcome == NetOpOutcome::Stopped) {
        Log2(QStringLiteral("Операция прервана."));
        return;
    }
    if (result.outcome != NetOpOutcome::Done) {
        Log2(QStringLiteral("Произошла ошибка при записи КФ ") + name + QLatin1Char('.'));
        return;
    }
    Log2(QStringLiteral("Запись конфигурационного файла ") + name +
         QStringLiteral(" в устройство ") + name + QStringLiteral(" завершена."));
    if (!fromObject || !ctx_.dm) return;
    NetDeviceRecords records(*ctx_.dm);
    result.marked = records.MarkFileWritten(address, ctx_.SepDevice());
    if (!result.marked && !records.LastError().isEmpty())
        Dialogs::Error(kTransferErrorCaption, records.LastError());
}

NetWriteResult NetConfigTransfer::WriteCnf(int address, bool fromObject,
                                           const QString& chosenFile) {
    NetWriteResult result;
    NetBusyScope busy(ctx_);
    TNetLink& link = ctx_.link;
    if (address < 0 || !NetDeviceTables::InTable(address)) {
        Dialogs::Error(kTransferErrorCaption,
                       QStringLiteral("Определите устройство для записи CNF!"));
        Log2(QStringLiteral("Не определено устройство.  Операция отменена.") +
             QString::number(address) + QStringLiteral("  ") + QString::number(link.SelectedAddr));
        result.outcome = NetOpOutcome::Refused;
    } else if (SelectForChange(ctx_, address)) {
        const QString path =
            fromObject
                ? NetFolders::WriteFolder(ctx_.dbFolder, ctx_.dm) + QLatin1Char('/') +
                      NetFolders::FileStem(address, ctx_.SepDevice()) + QStringLiteral(".bin")
                : chosenFile;
        Log2(ctx_.Name(address) + QStringLiteral(" Запись конфигурационного файла ") + path);
        const std::optional<LoadedFile> file = LoadFile(path);
        std::optional<QByteArray> payload;
        if (!file)
            ReportFileFailure();
        else
            payload = CheckFile(address, *file);
        result.outcome = file ? NetOpOutcome::Refused : NetOpOutcome::Failed;
        if (payload) {
            try {
                result.outcome = WritePackets(address, *payload, result);
            } catch (const EComPort&) {
                result.outcome = NetOpOutcome::Failed;
            }
            ReportWriteOutcome(address, result, fromObject);
        }
    }
    if (link.SelectedAddr >= 0) link.SelectedAddr = link.DeselectDevice(link.SelectedAddr);
    return result;
}
