#include "netlink/NetAppUpload.h"

#include "foundation/BitAndStr.h"
#include "netlink/AppFirmwareCatalog.h"
#include "netlink/EComPort.h"
#include "netlink/NetAnswerWait.h"
#include "netlink/NetIdentityOps.h"
#include "netlink/TNetLink.h"
#include "platform/Dialogs.h"

#include <QFile>

namespace {

const QString kUploadErrorCaption = QStringLiteral("Ошибка");
const QString kUnreadable = QStringLiteral("Отсутствует файл АРР или произошла ошибка его чтения");

constexpr int kClassCallPanel = 0x0001;
constexpr int kClassSwitch = 0x0002;
constexpr int kClassConsole = 0x0004;
constexpr int kClassAnyDevice = 0xFFFE;
constexpr int kClassAdapter = 0xFFFF;
constexpr int kNoBound = 0xFF;
constexpr int kSendTries = 3;
// No firmware of any device comes near this; a larger file is no firmware file.
constexpr qint64 kLargestAppFile = 4 * 1024 * 1024;
constexpr int kMemoryTop = 0x10000;

int ByteAt(const QByteArray& bytes, qsizetype i) {
    return quint8(bytes[i]);
}

int Le16At(const QByteArray& bytes, qsizetype i) {
    return ByteAt(bytes, i) | (ByteAt(bytes, i + 1) << 8);
}

bool KnownMagic(const QByteArray& bytes) {
    const QByteArray magic = bytes.left(5).toHex().toUpper();
    return magic == kAppMagicCyrillic || magic == kAppMagicLatin;
}

// A section of the file's data from pos on; pos moves behind it. False when
// the section is damaged.
bool ReadSection(const QByteArray& bytes, qsizetype& pos, int size, AppSection& section) {
    if (pos + 2 > bytes.size()) return false;
    section.start = Le16At(bytes, pos);
    pos += 2;
    if (section.start + size > kMemoryTop) return false;
    for (int left = size; left > 0;) {
        if (pos >= bytes.size()) return false;
        const int n = ByteAt(bytes, pos++);
        if (n < 1 || n > kMemoryPacketBytes || n > left || pos + n > bytes.size()) return false;
        section.frames.append(bytes.mid(pos, n));
        pos += n;
        left -= n;
    }
    return true;
}

bool IsDeviceClass(int classWord) {
    return classWord == kClassCallPanel || classWord == kClassSwitch ||
           classWord == kClassConsole || classWord == kClassAdapter;
}

// The version log decides a file made for a newer BIOS: the entry of the
// highest BIOS version up to the file's that has one.
bool VersionLogAllows(int fileBios, int deviceBios, const QList<AppVersionEntry>& log,
                      const QString& classWordText, bool ok) {
    for (int v = deviceBios + 1; v <= fileBios; ++v) {
        const QString bios = ByteToHex(v);
        for (const AppVersionEntry& entry : log) {
            if (entry.classWord != classWordText || entry.bios != bios) continue;
            ok = entry.flag == QLatin1String("1");
            break;
        }
    }
    return ok;
}

}  // namespace

std::optional<AppFileImage> ParseAppFile(const QByteArray& bytes, AppFileFault* fault) {
    const auto fail = [fault](AppFileFault why) {
        if (fault) *fault = why;
        return std::nullopt;
    };
    if (fault) *fault = AppFileFault::None;
    const std::optional<AppFileHeader> header = ParseAppHeader(bytes);
    if (!header)
        return fail(KnownMagic(bytes) ? AppFileFault::Damaged : AppFileFault::ForeignMagic);
    AppFileImage image;
    image.header = *header;
    qsizetype pos = header->sectionsOffset;
    for (;;) {
        // The file may end right behind a whole section instead of a size-0 word.
        if (pos == bytes.size() && !image.sections.isEmpty()) break;
        if (pos + 2 > bytes.size()) return fail(AppFileFault::Damaged);
        const int size = Le16At(bytes, pos);
        pos += 2;
        if (size == 0) break;
        AppSection section;
        if (!ReadSection(bytes, pos, size, section)) return fail(AppFileFault::Damaged);
        image.sections.append(section);
    }
    return image;
}

AppDeviceIdentity DeviceIdentityOf(const NetDeviceTables& tables, int address) {
    AppDeviceIdentity id;
    if (address == kAdapterAddress) {
        // The adapter's version reply: bytes 4, 5 its APP version, byte 8 its BIOS.
        const NetDeviceTables::Reply& reply = tables.NetReplies[size_t(kAdapterAddress)];
        id.classWord = kClassAdapter;
        id.bios = reply[2] - 2 > 8 ? reply[8] : 0;
        return id;
    }
    const QString ptg = tables.Text(address, kTextPtg);
    id.bios = int(HexToInt(ptg.mid(0, 2)));
    id.classWord = int(HexToInt(ptg.mid(2, 4)));
    // Digits 2-3 of the DTG text, across its first two bytes.
    const QString bds = tables.Text(address, kTextDtg).trimmed().mid(1, 2);
    bool ok = false;
    const int value = bds.toInt(&ok, 16);
    if (bds.size() == 2 && ok) id.bds = value;
    return id;
}

AppFit CheckAppFit(const AppFileHeader& header, const AppDeviceIdentity& device,
                   const QList<AppVersionEntry>& versionLog, const QString& classWordText) {
    if (header.classWord != kClassAnyDevice && header.classWord != device.classWord)
        return AppFit::OtherDevice;
    if (header.classWord == kClassAnyDevice) {
        const int bound = header.minBds.value_or(kNoBound);
        const bool ok = bound == kNoBound || (device.bds && *device.bds >= bound);
        return ok ? AppFit::Fits : AppFit::IncompatibleBios;
    }
    if (!IsDeviceClass(header.classWord)) return AppFit::IncompatibleBios;
    const int minBios = header.minBios.value_or(kNoBound);
    bool ok = header.bios == device.bios || (minBios < kNoBound && device.bios >= minBios);
    if (!ok) ok = VersionLogAllows(header.bios, device.bios, versionLog, classWordText, ok);
    return ok ? AppFit::Fits : AppFit::IncompatibleBios;
}

// ---------------------------------------------------------------- the upload

QString NetAppUpload::ChooseCaption() {
    return QStringLiteral("Выберите файл APP");
}

QString NetAppUpload::ChooseFilter() {
    return QStringLiteral("Файлы APP (*.usb)");
}

int NetAppUpload::AppFileIndex(NetDeviceTables& tables, const QString& fileName) {
    for (int i = 0; i < tables.AppFiles.size(); ++i)
        if (tables.AppFiles[i].f[kAfFileName] == fileName) return i;
    TAppFile record;
    record.f[kAfFileName] = fileName;
    tables.AppFiles.append(record);
    return int(tables.AppFiles.size()) - 1;
}

void NetAppUpload::Log1(const QString& line) const {
    ctx_.RequestLog().append(line);
}

void NetAppUpload::Log2(const QString& line) const {
    ctx_.AnswerLog().append(line);
}

void NetAppUpload::LogAdapter(const QString& line) const {
    ctx_.link.FormLog.append(line);
}

void NetAppUpload::Log2AndAdapter(const QString& line) const {
    Log2(line);
    if (adapter_) LogAdapter(line);
}

std::optional<QString> NetAppUpload::AdapterFile(int fileIndex) {
    QString name;
    if (fileIndex > -2) {
        const QString folder = appFolder.trimmed().isEmpty() ? AppFirmwareCatalog::AppFolder()
                                                             : appFolder;
        name = Dialogs::OpenFile(ChooseCaption(), folder, ChooseFilter());
        if (name.isEmpty()) return std::nullopt;
    } else {
        name = AppFirmwareCatalog::AppFolder() + QStringLiteral("usb20s.usb");
    }
    // The patch is meant for devices; in the adapter it would break it.
    if (name.contains(QStringLiteral("Patch.usb"))) {
        LogAdapter(QStringLiteral("Недопустимо записывать этот файл в СУС."));
        return std::nullopt;
    }
    return name;
}

NetOpOutcome NetAppUpload::UploadApp(int address, int fileIndex) {
    NetBusyScope busy(ctx_);
    TNetLink& link = ctx_.link;
    NetOpOutcome outcome = NetOpOutcome::Refused;
    adapter_ = address == kAdapterAddress;
    if (address < 0 || !NetDeviceTables::InTable(address)) {
        Dialogs::Error(kUploadErrorCaption, QStringLiteral("Определите устройство из списка!"));
    } else {
        Log2AndAdapter(QStringLiteral("Заливка переменной части программы АРР."));
        // The adapter is never selected; it takes its own packets.
        const bool selected = adapter_ || SelectForChange(ctx_, address);
        std::optional<QString> fileName;
        if (adapter_) {
            fileName = AdapterFile(fileIndex);
            fileIndex = -1;
            link.SelectedAddr = -1;
            if (fileName) link.RearmReceive();
        } else if (fileIndex >= 0 && fileIndex < link.Tables.AppFiles.size()) {
            fileName = link.Tables.AppFiles[fileIndex].f[kAfFileName];
        }
        if (fileName && fileIndex < 0) {
            fileIndex = AppFileIndex(link.Tables, *fileName);
            AppFirmwareCatalog(link.Tables.AppFiles, link.Tables.AppVersionLog)
                .ReadAppHeader(fileIndex, ctx_.AnswerLog());
        }
        if (fileName && selected) outcome = UploadFile(address, *fileName, fileIndex);
    }
    if (link.SelectedAddr >= 0) link.SelectedAddr = link.DeselectDevice(link.SelectedAddr);
    return outcome;
}

std::optional<AppFileImage> NetAppUpload::LoadImage(const QString& fileName) {
    QFile file(fileName);
    AppFileFault fault = AppFileFault::Damaged;
    std::optional<AppFileImage> image;
    if (file.open(QIODevice::ReadOnly) && file.size() <= kLargestAppFile) {
        const QByteArray bytes = file.readAll();
        if (bytes.size() == file.size()) image = ParseAppFile(bytes, &fault);
    }
    if (image) return image;
    if (fault == AppFileFault::ForeignMagic) {
        const QString foreign = QStringLiteral("Чужой файл: ") + fileName;
        if (ctx_.AnswerLog().isEmpty() || ctx_.AnswerLog().last() != foreign) Log2(foreign);
        return std::nullopt;
    }
    Dialogs::Error(kUploadErrorCaption, kUnreadable + QLatin1Char('!'));
    Log2(QStringLiteral("Прерывание. ") + kUnreadable + QStringLiteral(": ") + fileName +
         QStringLiteral("  Операция отменена."));
    return std::nullopt;
}

bool NetAppUpload::Fits(int address, const AppFileImage& image, int fileIndex) {
    const NetDeviceTables& tables = ctx_.link.Tables;
    const QString classText = fileIndex >= 0 && fileIndex < tables.AppFiles.size()
                                  ? tables.AppFiles[fileIndex].f[kAfClassWord]
                                  : WordHex(image.header.classWord);
    const AppFit fit = CheckAppFit(image.header, DeviceIdentityOf(tables, address),
                                   tables.AppVersionLog, classText);
    if (fit == AppFit::OtherDevice) {
        Log2AndAdapter(QStringLiteral("Файл АРР не соответствует идентификатору устройства."));
        Dialogs::Error(kUploadErrorCaption,
                       QStringLiteral("Файл АРР не соответствует идентификатору устройства!"));
    } else if (fit == AppFit::IncompatibleBios) {
        Log2AndAdapter(
            QStringLiteral("Файл АРР имеет несовместимую версию BIOS! Операция отменена."));
    }
    return fit == AppFit::Fits;
}

NetOpOutcome NetAppUpload::UploadFile(int address, const QString& fileName, int fileIndex) {
    fileName_ = fileName;
    const std::optional<AppFileImage> image = LoadImage(fileName);
    if (!image) return NetOpOutcome::Refused;
    Log2(QStringLiteral("Заголовок APP UTG ") + DollarByte(image->header.bios) +
         DollarWord(image->header.classWord));
    if (!Fits(address, *image, fileIndex)) return NetOpOutcome::Refused;
    NetOpOutcome outcome = NetOpOutcome::Failed;
    portLost_ = false;
    try {
        outcome = SendImage(address, *image);
    } catch (const EComPort&) {
        outcome = ReportPortLost();
    }
    // The adapter restarts into its new firmware: nothing is read until the link starts again.
    if (adapter_) ctx_.link.SuspendReceiveUntilStart();
    if (!adapter_ && !portLost_) ReadClassAfterUpload(address);
    return outcome;
}

NetAppUpload::PacketResult NetAppUpload::SendPacket(const TNetFrame& request, int address,
                                                    int at) {
    TNetLink& link = ctx_.link;
    bool sent = false;
    for (int attempt = 0; attempt < kSendTries && !sent && link.BComNet.Connected(); ++attempt)
        sent = link.SendFrame(request, ctx_.RequestLog());
    if (!sent) return PacketResult::PortLost;
    NetWaitRule rule;
    rule.requestHex = request.ToHex();
    rule.firstAttempts = 3 * link.Settings.CountRead;
    rule.secondAttempts = 3 * link.Settings.CountRead;
    rule.accept = [address, at](const NetTakenAnswer& taken) {
        return taken.kind == NetTakenAnswer::Positive &&
               IsMemoryAnswer(taken.answer, address, kCmdMemoryWrite, at);
    };
    const NetWaitResult answer = AwaitAnswer(link, rule);
    if (answer.answered) return PacketResult::Answered;
    return link.BComNet.Connected() ? PacketResult::Unanswered : PacketResult::PortLost;
}

// Every packet left without an answer is sent once more.
NetAppUpload::PacketResult NetAppUpload::RepeatUnanswered(int address) {
    const QList<Pending> again = unanswered_;
    unanswered_.clear();
    for (const Pending& packet : again) {
        const PacketResult result = SendPacket(packet.request, address, packet.at);
        if (result == PacketResult::PortLost) return result;
        if (result == PacketResult::Unanswered) unanswered_.append(packet);
    }
    return PacketResult::Answered;
}

NetOpOutcome NetAppUpload::SendImage(int address, const AppFileImage& image) {
    TNetLink& link = ctx_.link;
    link.PrepareUpload();
    NetReceiveHold hold(link);
    unanswered_.clear();
    const bool selector = link.Tables.Selector(address) == 1;
    const int selectorByte = link.Tables.NetReplies[size_t(address)][4];
    for (const AppSection& section : image.sections) {
        int size = 0;
        for (const QByteArray& frame : section.frames) size += int(frame.size());
        LogAdapter(QStringLiteral("объем данных секции ") + WordHex(size) + QLatin1Char(' ') +
                   QString::number(size));
        Log1(QStringLiteral("объем данных секции $") + WordHex(size) + QStringLiteral(" = ") +
             QString::number(size) + QStringLiteral("Б"));
        Log1(QStringLiteral("стартовый адрес данных ") + WordHex(section.start) +
             QLatin1Char(' ') + QString::number(section.start));
        int at = section.start;
        for (const QByteArray& frame : section.frames) {
            Log1(QStringLiteral("размер фрейма ") + QString::number(frame.size()));
            const TNetFrame request =
                NetRequest::MemoryWrite(address, selector, selectorByte, at, frame);
            const PacketResult result = SendPacket(request, address, at);
            if (result == PacketResult::PortLost) return ReportPortLost();
            if (result == PacketResult::Unanswered) unanswered_.append({request, at});
            at += int(frame.size());
            Log1(QStringLiteral("Следующий адрес: ") + QString::number(at));
            if (adapter_) LogAdapter(QString::number(at));
            ctx_.Refresh();
        }
    }
    if (!unanswered_.isEmpty() && RepeatUnanswered(address) == PacketResult::PortLost)
        return ReportPortLost();
    if (!unanswered_.isEmpty()) {
        Log2AndAdapter(QStringLiteral("Заливка АРР не завершена."));
        return NetOpOutcome::Failed;
    }
    Log2AndAdapter(QStringLiteral("Заливка АРР завершена."));
    return NetOpOutcome::Done;
}

NetOpOutcome NetAppUpload::ReportPortLost() {
    portLost_ = true;
    Log2AndAdapter(QStringLiteral("Произошла ошибка чтения-записи: ") + fileName_ +
                   QStringLiteral("  Операция отменена."));
    return NetOpOutcome::Failed;
}

void NetAppUpload::ReadClassAfterUpload(int address) {
    TNetLink& link = ctx_.link;
    if (link.RequestClass(address) < 1) return;
    link.ParseClassReply(address);
    NetIdentityOps(ctx_).ReadDevSN(address);
    if (ctx_.view.showClassInfo) ctx_.view.showClassInfo(address);
}
