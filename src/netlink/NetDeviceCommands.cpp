#include "netlink/NetDeviceCommands.h"

#include "config/ConfigHeader.h"
#include "config/ConfigRecords.h"
#include "foundation/BitAndStr.h"
#include "netlink/AppFirmwareCatalog.h"
#include "netlink/NetAppUpload.h"
#include "netlink/NetConfigTransfer.h"
#include "netlink/NetDeviceRecords.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/NetIdentityOps.h"
#include "netlink/TNetLink.h"
#include "platform/Dialogs.h"
#include "platform/DurableFile.h"
#include "platform/SystemErrorText.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <exception>

namespace {

const QString kCommandErrorCaption = QStringLiteral("Ошибка");

enum Command {
    kClassInfo = 0,
    kSerialNumber = 1,
    kReadFile = 2,
    kWriteFile = 3,
    kUpload = 4,
    kNetworkId = 5,
    kAddressBySerial = 6,
    kFindObject = 7,
    kTestNet = 8,
    kWriteChosenFile = 9,
    kJumperReset = 10,
};

constexpr int kLastDevice = 126;
constexpr int kShortestChainLine = 15;

// A second identity word as the report shows it: two "$" bytes at least.
QString TwoByteHex(int value) {
    const QString hex = IntToHexBytes(value);
    return hex.size() < 6 ? QLatin1Char('$') + PadLeft(hex, QLatin1Char('0'), 5) : hex;
}

// Skips an operation that needs a device when the line names none.
bool NeedsDevice(int index) {
    return index == kClassInfo || index == kSerialNumber || index == kReadFile ||
           index == kWriteFile || index == kAddressBySerial;
}

}  // namespace

QStringList NetListState::SelectedLines() const {
    QStringList out;
    for (int row : selected)
        if (row >= 0 && row < lines.size()) out << lines.at(row);
    return out;
}

QList<int> PollAddresses(int sepDevice, int maxDevice) {
    QList<int> addresses;
    for (int a = 0; a <= sepDevice + maxDevice && a <= kLastDevice; ++a)
        if (a <= maxDevice - 1 || a >= sepDevice) addresses << a;
    return addresses;
}

void NetDeviceCommands::Log1(const QString& line) const {
    ctx_.RequestLog().append(line);
}

void NetDeviceCommands::Log2(const QString& line) const {
    ctx_.AnswerLog().append(line);
}

// ---------------------------------------------------------------- dispatcher

NetList NetDeviceCommands::ChooseSource(int index, const NetListState& configured,
                                        const NetListState& found, bool* chosen) {
    *chosen = true;
    if (index == kAddressBySerial && configured.HasSelection()) {
        if (hooks_.clearSelection) hooks_.clearSelection(NetList::Found);
        return NetList::Configured;
    }
    const bool undecided = index <= kAddressBySerial || index == kWriteChosenFile ||
                           (index == kJumperReset && found.HasSelection());
    if (!undecided) return NetList::None;
    if (found.HasSelection()) {
        if (hooks_.clearSelection) hooks_.clearSelection(NetList::Configured);
        if (hooks_.disableChain) hooks_.disableChain();
        return NetList::Found;
    }
    if ((index == kClassInfo || index == kSerialNumber || index == kAddressBySerial) &&
        configured.HasSelection()) {
        if (hooks_.clearSelection) hooks_.clearSelection(NetList::Found);
        return NetList::Configured;
    }
    if (hooks_.clearSelection) hooks_.clearSelection(NetList::Configured);
    if (hooks_.disableChain) hooks_.disableChain();
    *chosen = false;
    return NetList::None;
}

void NetDeviceCommands::Run(int index, const QString& caption, const NetListState& configured,
                            const NetListState& found) {
    if (index < 0 || index >= kNetCommandCount) return;
    if (!Dialogs::AskYesNo(QStringLiteral("Разрешение на операцию"),
                           QStringLiteral("Произвести операцию ") + caption + QLatin1Char('?')))
        return;
    NetBusyScope busy(ctx_);
    bool chosen = false;
    const NetList source = ChooseSource(index, configured, found, &chosen);
    if (!chosen) {
        Dialogs::Error(kCommandErrorCaption, QStringLiteral("Определите устройство из списка!"));
        return;
    }
    const QStringList lines = source == NetList::None ? QStringList{QString()}
                              : source == NetList::Found ? found.SelectedLines()
                                                         : configured.SelectedLines();
    for (const QString& line : lines) {
        if (ctx_.StopRequested()) break;
        const int address = line.isEmpty() ? -1 : DesignationToAddress(line, ctx_.SepDevice());
        Log2(QStringLiteral("* -------- * * * -------- *"));
        bool goOn = true;
        // One device's failure does not stop the others; it is said in the log.
        try {
            goOn = RunOne(index, address, line, source, configured);
        } catch (const std::exception& e) {
            Log2(ctx_.Name(address) + QStringLiteral(" Операция не выполнена: ") +
                 QString::fromLocal8Bit(e.what()));
        }
        ctx_.Refresh();
        if (hooks_.unselect && source != NetList::None) hooks_.unselect(source, line);
        if (!goOn) break;
    }
    if (hooks_.clearSelection && source != NetList::None) hooks_.clearSelection(source);
    if (index == kAddressBySerial || index == kJumperReset)
        ctx_.link.BuildDeviceList(ctx_.DeviceList());
}

bool NetDeviceCommands::RunOne(int index, int address, const QString& line, NetList source,
                               const NetListState& configured) {
    if (NeedsDevice(index) && address < 0) return true;
    NetIdentityOps identity(ctx_);
    switch (index) {
        case kClassInfo:
            RunClassRequest(address);
            break;
        case kSerialNumber:
            identity.ReadDevSN(address);
            ctx_.link.Tables.AddDeviceListLine(address, ctx_.DeviceList(), ctx_.SepDevice());
            break;
        case kReadFile:
            NetConfigTransfer(ctx_).ReadCnf(address);
            break;
        case kWriteFile:
            RunWrite(address, true);
            break;
        case kUpload:
            RunUpload(address);
            break;
        case kNetworkId:
            identity.ChangeNetId(address);
            break;
        case kAddressBySerial:
            identity.ChangeAddrBySN(source == NetList::Configured ? std::optional<QString>(line)
                                                                  : std::nullopt);
            break;
        case kFindObject:
            identity.FindObjectByNet();
            break;
        case kTestNet:
            identity.TestNet(configured.lines);
            break;
        case kWriteChosenFile:
            RunWrite(address, false);
            break;
        case kJumperReset:
            return RunJumperReset(address, line);
        default:
            break;
    }
    return true;
}

void NetDeviceCommands::RunClassRequest(int address) {
    TNetLink& link = ctx_.link;
    const int answers = link.RequestClass(address);
    link.ParseClassReply(address);
    if (answers > 0) {
        NetIdentityOps(ctx_).ReadDevSN(address);
        if (ctx_.view.showClassInfo) ctx_.view.showClassInfo(address);
    }
    const QStringList& found = ctx_.DeviceList();
    if (!found.isEmpty() && !found.first().startsWith(QStringLiteral("С")))
        link.BuildDeviceList(ctx_.DeviceList());
}

void NetDeviceCommands::RunWrite(int address, bool fromObject) {
    QString file;
    if (!fromObject) {
        // Any file may be chosen: the dialog starts in the database folder.
        file = Dialogs::OpenFile(QStringLiteral("Конфигурационный файл для записи"),
                                 NetFolders::Base(ctx_.dbFolder),
                                 QStringLiteral("Конфигурационные файлы (*.bin);;Все файлы (*)"));
        if (file.isEmpty()) return;
    }
    NetConfigTransfer(ctx_).WriteCnf(address, fromObject, file);
    if (hooks_.updateHdevLine) hooks_.updateHdevLine(address);
    if (hooks_.lockSerialStore) hooks_.lockSerialStore();
}

void NetDeviceCommands::RunUpload(int address) {
    const QString folder =
        appFolder.trimmed().isEmpty() ? AppFirmwareCatalog::AppFolder() : appFolder;
    const QString file =
        Dialogs::OpenFile(NetAppUpload::ChooseCaption(), folder, NetAppUpload::ChooseFilter());
    if (file.isEmpty()) return;
    NetDeviceTables& tables = ctx_.link.Tables;
    const qsizetype before = tables.AppFiles.size();
    const int index = NetAppUpload::AppFileIndex(tables, file);
    if (tables.AppFiles.size() > before)
        AppFirmwareCatalog(tables.AppFiles, tables.AppVersionLog)
            .ReadAppHeader(index, ctx_.AnswerLog());
    NetAppUpload upload(ctx_);
    upload.appFolder = appFolder;
    upload.UploadApp(address, index);
}

// False when the command ends here.
bool NetDeviceCommands::RunJumperReset(int address, const QString& line) {
    if (address < 0) {
        Log2(QStringLiteral("СУ не выбрано!"));
        return false;
    }
    if (address >= kFirstPanelAddress && address <= kLastDevice) {
        Log2(QStringLiteral("СУ ") + ctx_.Name(address) + QStringLiteral(" не является КМ!"));
        return false;
    }
    if (address < ctx_.SepDevice())
        NetIdentityOps(ctx_).ResetKmAddr(address, line.isEmpty() ? std::nullopt
                                                                 : std::optional<QString>(line));
    return true;
}

// ---------------------------------------------------------------- polls

// The question, and the network that must run; false when no poll runs.
bool NetDeviceCommands::StartPoll() {
    if (!Dialogs::AskYesNo(QStringLiteral("Подтверждение"), QStringLiteral("Опросить устройства?")))
        return false;
    if (!ctx_.link.LinkRunning()) {
        Dialogs::Error(QStringLiteral("Ошибка оборудования"),
                       QStringLiteral("Сеть не обнаружена. Подключите СУС!"));
        return false;
    }
    if (hooks_.findCaption) hooks_.findCaption(QStringLiteral(" Поиск устройств..."));
    Log2(QStringLiteral("-  -  -  -  -  -  -  -  -  -  -  -  -  -"));
    return true;
}

void NetDeviceCommands::FindDevices(int maxDevice) {
    if (!StartPoll()) return;
    NetBusyScope busy(ctx_);
    TNetLink& link = ctx_.link;
    const QList<int> addresses = PollAddresses(ctx_.SepDevice(), maxDevice);
    for (int a : addresses) {
        if (ctx_.StopRequested()) break;
        link.RequestClass(a);
        ctx_.Refresh();
    }
    link.BuildDeviceList(ctx_.DeviceList());
    for (int a : addresses) {
        if (ctx_.StopRequested()) break;
        const int answers = link.Tables.AnswerCount(a);
        if (answers > 1)
            Log1(QStringLiteral("Обнаружено НЕСКОЛЬКО ответов от устройства ") + ctx_.Name(a) +
                 QStringLiteral("!!!"));
        if (answers < 1) continue;
        link.ParseClassReply(a);
        NetIdentityOps(ctx_).ReadDevSN(a);
        link.BuildDeviceList(ctx_.DeviceList());
        ctx_.Refresh();
    }
    Log2(QStringLiteral("Опрос окончен. "));
    link.BuildDeviceList(ctx_.DeviceList());
    if (hooks_.findCaption) hooks_.findCaption(QStringLiteral("Найденные устройства:"));
}

void NetDeviceCommands::PollRest() {
    if (!StartPoll()) return;
    NetBusyScope busy(ctx_);
    TNetLink& link = ctx_.link;
    if (hooks_.enableCommands) hooks_.enableCommands();
    QList<int> added;
    for (int a : PollAddresses(ctx_.SepDevice(), ctx_.MaxDevice())) {
        if (ctx_.StopRequested()) break;
        if (link.Tables.ReplyStored(a)) continue;
        const int answers = link.RequestClass(a);
        if (answers > 1)
            Log1(QStringLiteral("Обнаружено ") + QString::number(answers) +
                 QStringLiteral(" устройств ") + ctx_.Name(a) + QStringLiteral("!!!"));
        if (answers > 0) {
            link.Tables.AddDeviceListLine(a, ctx_.DeviceList(), ctx_.SepDevice());
            added << a;
        }
        ctx_.Refresh();
    }
    for (int a : added) {
        if (ctx_.StopRequested()) break;
        link.ParseClassReply(a);
        NetIdentityOps(ctx_).ReadDevSN(a);
    }
    Log2(QStringLiteral("Опрос окончен. "));
    link.BuildDeviceList(ctx_.DeviceList());
    if (hooks_.findCaption) hooks_.findCaption(QStringLiteral("Найденные устройства:"));
}

void NetDeviceCommands::AddDevice(int address, const QString& itemText) {
    if (address < 0 || address >= 255) return;
    NetBusyScope busy(ctx_);
    TNetLink& link = ctx_.link;
    Log2(QStringLiteral(" -  -  -  -  -  -  -  -  -  -  "));
    const int answers = link.RequestClass(address);
    if (answers > 1)
        Log1(QStringLiteral("Обнаружено ") + QString::number(answers) +
             QStringLiteral(" устройств ") + ctx_.Name(address) + QStringLiteral("!!!"));
    if (answers > 0 && address < kAdapterAddress) {
        link.ParseClassReply(address);
        NetIdentityOps(ctx_).ReadDevSN(address);
        if (hooks_.enableCommands) hooks_.enableCommands();
    }
    link.BuildDeviceList(ctx_.DeviceList());
    Log2(itemText + QStringLiteral(". Поиск окончен. "));
}

// ---------------------------------------------------------------- commissioning chain

void NetDeviceCommands::Deselect() {
    TNetLink& link = ctx_.link;
    if (link.SelectedAddr >= 0) link.SelectedAddr = link.DeselectDevice(link.SelectedAddr);
}

// Patch.usb first when the device's BDS part still needs it.
void NetDeviceCommands::UploadPatch(int address) {
    TNetLink& link = ctx_.link;
    const AppDeviceIdentity id = DeviceIdentityOf(link.Tables, address);
    if (!id.bds || link.Tables.Text(address, kTextDtg).trimmed().mid(2, 4) != QLatin1String("0000"))
        return;
    const QString patch = AppFirmwareCatalog::AppFolder() + QStringLiteral("Patch.usb");
    int index = -1;
    for (int i = 0; i < link.Tables.AppFiles.size() && index < 0; ++i)
        if (link.Tables.AppFiles[i].f[kAfFileName] == patch) index = i;
    if (index < 0) return;
    Log2(QStringLiteral("Заливка DBS2."));
    NetAppUpload(ctx_).UploadApp(address, index);
    Deselect();
    if (link.RequestClass(address) == 1) link.ParseClassReply(address);
}

void NetDeviceCommands::UpdateFirmware(int address) {
    TNetLink& link = ctx_.link;
    const TNetDeviceInfo& d = link.Tables.NetDevices[size_t(address)];
    const QString ptg = link.Tables.Text(address, kTextPtg);
    const bool anyClass = WordHex(d[kNdAtg2]) == QLatin1String("FFFE");
    const QString identity =
        ptg.mid(0, 2) + (anyClass ? QStringLiteral("FFFE") : WordHex(d[kNdAppVersion])) +
        ptg.mid(2, 4);
    const int k = AppFirmwareCatalog(link.Tables.AppFiles, link.Tables.AppVersionLog)
                      .FindAppForDevice(identity);
    if (k < 0) {
        Log2(QStringLiteral("Версия АРР удовлетворительна: ") + DollarWord(d[kNdAppVersion]) +
             QStringLiteral(" >= $") + identity.mid(2, 2) + QLatin1Char('$') + identity.mid(4, 2));
        return;
    }
    const QString fileApp = link.Tables.AppFiles[k].f[kAfApp];
    if (anyClass)
        Log2(QStringLiteral("Требуется обновление АРР: ") + DollarWord(d[kNdAtg2]) +
             QStringLiteral(" <> ") + fileApp);
    else
        Log2(QStringLiteral("Устаревшая версия АРР: ") + DollarWord(d[kNdAppVersion]) +
             QStringLiteral(" <= ") + fileApp);
    if (HexToInt(ptg.mid(0, 2)) <= 1) {
        Log2(QStringLiteral("Экспериментальная версия BIOS обновлению не подлежит."));
        return;
    }
    UploadPatch(address);
    NetAppUpload(ctx_).UploadApp(address, k);
}

bool NetDeviceCommands::PrepareDevice(const QString& line) {
    if (line.size() < kShortestChainLine) return true;
    Log2(QStringLiteral("---------------------------------------------------"));
    Log2(QStringLiteral("Стартует подготовка устройства к работе ") + line);
    NetIdentityOps identity(ctx_);
    TNetLink& link = ctx_.link;
    const int a = identity.ChangeAddrBySN(line);
    if (a == kAddrNothingDone) Log2(QStringLiteral("Операция выполнилась частично, повторите попытку!"));
    if (a == kAddrNoDevice)
        Log2(QStringLiteral("Серийный номер не найден среди устройств этого типа!"));
    if (a < 0) return true;
    link.Pause(3 * link.Settings.SWaitNet);
    QString modeText = QStringLiteral("1"), status;
    link.InterpretNetAnswers(modeText, status, ctx_.AnswerLog(), ctx_.DeviceList());
    const int answers = link.Tables.AnswerCount(a);
    bool goOn = true;
    if (answers == 1) {
        goOn = CommissionDevice(a, line);
    } else if (answers > 1) {
        Log2(QStringLiteral(
            "Получено множество устройств с одинаковым сетевым адресом. Остановлено выполнение."));
    } else {
        Log2(QStringLiteral("Устройство не ответило. Операции ОТМЕНЕНЫ. "));
    }
    Deselect();
    return goOn;
}

bool NetDeviceCommands::CommissionDevice(int a, const QString& line) {
    TNetLink& link = ctx_.link;
    const int sep = ctx_.SepDevice();
    const QString expected = a < sep    ? QStringLiteral("0002")
                             : a == sep ? QStringLiteral("0004")
                                        : QStringLiteral("0001");
    if (link.Tables.Text(a, kTextPtg).mid(2, 4) != expected) {
        Log2(QStringLiteral("Несоответствие типов устройства?"));
        return false;
    }
    UpdateFirmware(a);
    Deselect();
    // Only a file that is the object's current one may be written.
    if (!QStringLiteral(" *+w").contains(line.left(1))) {
        Log2(QStringLiteral("КФ не обновлен! ОПЕРАЦИЯ ЗАПИСИ КФ ПРОПУЩЕНА! Создайте КФ, обновите "
                            "листинг и повторите операцию."));
        return false;
    }
    const NetWriteResult written = NetConfigTransfer(ctx_).WriteCnf(a, true);
    if (hooks_.updateHdevLine) hooks_.updateHdevLine(a);
    // A device that did not take its file is not given the object's identifier.
    if (written.outcome != NetOpOutcome::Done) return true;
    if (NetIdentityOps(ctx_).ChangeNetId(a) != NetOpOutcome::Done) return true;
    link.BuildDeviceList(ctx_.DeviceList());
    Log2(QStringLiteral("Подготовка завершена. Проверьте отчет по этапам выполнения выше в этом "
                        "окне."));
    return true;
}

// ---------------------------------------------------------------- serial number into the object

void NetDeviceCommands::SaveFoundSerial(int target, int serialAddress, const QString& serial) {
    if (target < 0 || serialAddress < 0 || !ctx_.dm) return;
    const int sep = ctx_.SepDevice();
    const NetRecordKind kind = RecordKindOfAddress(serialAddress, sep);
    if (kind == NetRecordKind::None) return;
    NetDeviceRecords records(*ctx_.dm);
    if (kind != NetRecordKind::Console) {
        const std::optional<NetDeviceRecord> other = records.WithSerial(kind, serial);
        if (other && other->nNet != target) {
            Dialogs::Error(QStringLiteral("Отказ"), QStringLiteral("SN занят!"));
            return;
        }
    }
    const int at = kind == NetRecordKind::Console ? sep : target;
    const std::optional<NetDeviceRecord> record = records.AtAddress(kind, at);
    if (!record || record->serial == serial) return;
    if (!record->serial.isEmpty() &&
        !Dialogs::AskYesNo(QStringLiteral("Вопрос"), QStringLiteral("SN занят, переписать?")))
        return;
    if (!records.StoreSerial(kind, at, serial)) {
        if (!records.LastError().isEmpty())
            Dialogs::Error(kCommandErrorCaption, records.LastError());
        return;
    }
    if (hooks_.updateHdevLine) hooks_.updateHdevLine(at);
}

// ---------------------------------------------------------------- report

void NetDeviceCommands::AppendDeviceReport(int a, QStringList& out) const {
    const NetDeviceTables& tables = ctx_.link.Tables;
    const TNetDeviceInfo& d = tables.NetDevices[size_t(a)];
    out << ctx_.Name(a);
    out << QStringLiteral("    Маска класса: ");
    out << QStringLiteral("    ") + ReverseStr(tables.Text(a, kTextClassMask));
    out << QStringLiteral("    Идентификатор сети NID:=") + QString::number(d.Nid()) +
               QStringLiteral("  ") + IntToHexBytes(d[kNdNidHigh]) + IntToHexBytes(d[kNdNidLow]);
    out << QStringLiteral("    A\\C:=") + QString::number(d[kNdConfigStart]) +
               QStringLiteral("  ") + IntToHexBytes(d[kNdConfigStart]);
    out << QStringLiteral("    C\\B:=") + QString::number(d[kNdConfigEnd]) +
               QStringLiteral("  ") + IntToHexBytes(d[kNdConfigEnd]);
    out << QStringLiteral("    Номер версии CNF: ") +
               QDate(2000, 12, 30).addDays(d[kNdCnfVersion]).toString(QStringLiteral("dd.MM.yyyy"));
    out << (d[kNdCnfUnchanged] == 0 ? QStringLiteral("    CNF изменен пользователем!")
                                    : QStringLiteral("    CNF не изменен."));
    out << QStringLiteral("    Номер версии переменной части программы (APP): ") +
               IntToHexBytes(d[kNdAppVersion]);
    out << QStringLiteral("    SN: ") + tables.Text(a, kTextSerial);
    out << QStringLiteral("    UID PTG:= ") + IntToHexBytes(d[kNdPtg1]) + TwoByteHex(d[kNdPtg2]);
    out << QStringLiteral("    UID ATG:= ") + IntToHexBytes(d[kNdAtg1]) + TwoByteHex(d[kNdAtg2]);
    out << QStringLiteral("    UID DTG:= ") + IntToHexBytes(d[kNdDtg1]) + TwoByteHex(d[kNdDtg2]);
    if (a < ctx_.SepDevice() && d[kNdAppVersion] == 4 && d[kNdPtg1] == 5)
        out.last() += QStringLiteral("  Обнаружен СКМ с ошибочным АРР. Залейте новую версию АРР!");
}

QStringList NetDeviceCommands::ReportLines() const {
    QStringList out;
    out << QStringLiteral("СПИСОК ВСЕХ НАЙДЕННЫХ УСТРОЙСТВ ") +
               QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    for (int a = 0; a <= kLastDevice; ++a) {
        if (progress) progress(a + 1, kLastDevice + 1, true);
        if (ctx_.link.Tables.NetDevices[size_t(a)][kNdFormat] <= 0) continue;
        ctx_.link.Tables.ParseClassReply(a);
        AppendDeviceReport(a, out);
    }
    const TNetLink& link = ctx_.link;
    out << ctx_.Name(kAdapterAddress);
    out << QStringLiteral("    Версия АПП СУС: ") + link.AdapterVersion;
    out << QStringLiteral("    VID:= ") + link.Adapter.vid;
    out << QStringLiteral("    PID:= ") + link.Adapter.pid;
    return out;
}

bool NetDeviceCommands::WriteReport(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray text = (ReportLines().join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (progress) progress(0, kLastDevice + 1, false);
    QString error;
    if (!DurableFile::Write(path, text, &error)) {
        Dialogs::Error(kCommandErrorCaption,
                       WithReason(QStringLiteral("Файл не сохранен: ") + path, error));
        return false;
    }
    Log2(QStringLiteral("Данные сохранены в файле ") + path + QLatin1Char('.'));
    return true;
}
