#include "netlink/NetIdentityOps.h"

#include "config/ConfigHeader.h"
#include "config/ConfigRecords.h"
#include "devices/SerialNumber.h"
#include "foundation/BitAndStr.h"
#include "foundation/TFDM.h"
#include "netlink/NetAnswerWait.h"
#include "netlink/NetDeviceRecords.h"
#include "netlink/TNetLink.h"
#include "platform/Dialogs.h"

namespace {

const QString kUndefinedCaption = QStringLiteral("Не определено");
const QString kNoSerial = QStringLiteral("Не задан серийный номер устройства!");

constexpr int kSwitchProgrammingAddress = 128;
constexpr int kPanelProgrammingAddress = 136;
constexpr int kConsoleProgrammingAddress = 144;
// Below this BIOS version a device cannot tell its serial number.
constexpr int kFirstBiosWithSerial = 3;

QString InQuotes(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The address a list line names by its kind (characters 2-3) and number
// (4-5; two blanks for the console). Configured lines start with their file
// mark, found lines with "С": both keep these positions.
int AddressOfListLine(const QString& line, int sepDevice) {
    const QString kind = line.mid(1, 2);
    const QString digits = line.mid(3, 2);
    if (kind == QStringLiteral("ПО") && digits.trimmed().isEmpty()) return sepDevice;
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (!ok || number < 0) return -1;
    if (kind == QStringLiteral("КМ")) return number;
    if (kind == QStringLiteral("БВ")) return kFirstPanelAddress + number;
    return -1;
}

}  // namespace

int ProgrammingModeAddress(int address, int sepDevice) {
    if (address == sepDevice) return kConsoleProgrammingAddress;
    if (address > sepDevice) return kPanelProgrammingAddress;
    return kSwitchProgrammingAddress;
}

bool IsDeviceSerialNumber(const QString& text) {
    // A device reports the full ten-character form, the one every kind stores.
    return text.size() == SerialNumber::kMaxLength &&
           SerialNumber::Accepted(SerialNumber::Kind::Console, text);
}

void NetIdentityOps::Log1(const QString& line) const {
    ctx_.RequestLog().append(line);
}

void NetIdentityOps::Log2(const QString& line) const {
    ctx_.AnswerLog().append(line);
}

bool NetIdentityOps::WaitWhilePending(const TNetFrame& request, int firstAttempts) {
    NetWaitRule rule;
    rule.requestHex = request.ToHex();
    rule.firstAttempts = firstAttempts;
    rule.secondAttempts = 3 * ctx_.link.Settings.CountRead;
    return AwaitAnswer(ctx_.link, rule).answered;
}

// ---------------------------------------------------------------- serial number

QString NetIdentityOps::ReadDevSN(int address) {
    TNetLink& link = ctx_.link;
    if (!NetDeviceTables::InTable(address)) return QString();
    const int bios = link.Tables.NetDevices[size_t(address)][kNdPtg1];
    if (bios != 0 && (bios & 0xFF) < kFirstBiosWithSerial) {
        Log2(QStringLiteral("Чтение SN невозможно."));
        return QString();
    }
    Log1(QStringLiteral("Чтение SN устройства ") + ctx_.Name(address));
    const TNetFrame request = NetRequest::SerialNumber(address, link.Tables.Selector(address) == 1);
    if (!link.SendFrame(request, ctx_.RequestLog())) return QString();
    if (!WaitWhilePending(request, 3 * link.Settings.CountRead)) return QString();
    return link.Tables.Text(address, kTextSerial);
}

// ---------------------------------------------------------------- identifier

NetOpOutcome NetIdentityOps::ChangeNetId(int address) {
    TNetLink& link = ctx_.link;
    if (!ctx_.dm || ctx_.dm->Q_Net->IsEmpty()) {
        Dialogs::Error(QStringLiteral("Ошибка"), QStringLiteral("Отсутствует объект для ввода!"));
        return NetOpOutcome::Refused;
    }
    NetOpOutcome outcome = NetOpOutcome::Failed;
    if (link.SelectedAddr != address) link.SelectedAddr = link.SelectDevice(address, ctx_.password);
    if (link.SelectedAddr == address && NetDeviceTables::InTable(address)) {
        const qint64 idNom = ctx_.dm->Q_Net->FieldByName(QStringLiteral("id_nom")).AsLargeInt();
        Log2(QStringLiteral("Замена идентификатора сети."));
        const TNetFrame request =
            NetRequest::NetworkId(address, link.Tables.Selector(address) == 1, idNom);
        if (link.SendFrame(request, ctx_.RequestLog()) &&
            WaitWhilePending(request, 3 * link.Settings.CountRead))
            outcome = NetOpOutcome::Done;
    }
    if (link.SelectedAddr >= 0) link.SelectedAddr = link.DeselectDevice(link.SelectedAddr);
    return outcome;
}

// ---------------------------------------------------------------- address by serial number

std::optional<NetIdentityOps::Target> NetIdentityOps::TargetOfLine(const QString& line) const {
    const int sep = ctx_.SepDevice();
    Target target;
    target.address = AddressOfListLine(line, sep);
    const QString kind = line.mid(1, 2);
    if (target.address < 0) return std::nullopt;
    if (kind == QStringLiteral("КМ")) {
        target.first = 0;
        target.last = sep;
    } else if (kind == QStringLiteral("БВ")) {
        target.first = kFirstPanelAddress;
        target.last = 2 * sep;
    } else {
        target.first = target.last = sep;
    }
    if (target.address < target.first || target.address > target.last ||
        !NetDeviceTables::InTable(target.address))
        return std::nullopt;
    target.programming = ProgrammingModeAddress(target.address, sep);
    return target;
}

// The lowest address of the kind whose device reported this serial number.
int NetIdentityOps::FoundAddress(const Target& target, const QString& serial) const {
    for (int a = target.first; a <= target.last && NetDeviceTables::InTable(a); ++a)
        if (ctx_.link.Tables.Text(a, kTextSerial) == serial) return a;
    return -1;
}

// A target address at which a device answers is either this device's
// already or another device's, which must not be given a twin.
bool NetIdentityOps::TargetTaken(const Target& target, const QString& serial) {
    const NetDeviceTables& tables = ctx_.link.Tables;
    if (tables.AnswerCount(target.address) < 1) return false;
    const QString name = ctx_.Name(target.address);
    if (tables.Text(target.address, kTextSerial) == serial)
        Log2(QStringLiteral("Сетевой номер уже соответствует устройству ") + name);
    else
        Log2(QStringLiteral("Нельзя назначать устройству сетевой адрес уже имеющийся в сети!! ") +
             name);
    return true;
}

std::optional<std::array<int, 3>> NetIdentityOps::PasswordForChange() {
    const std::optional<std::array<int, 3>> digits = PasswordDigits(ctx_.password);
    if (!digits)
        Dialogs::Error(QStringLiteral("Ошибка"),
                       QStringLiteral("Пароль устройства - три цифры. Смена адреса не выполнена."));
    return digits;
}

// Orders the device at candidate to take the target address; the device
// that moved is asked its class and serial number at the new address.
int NetIdentityOps::MoveDevice(int candidate, const Target& target, const QString& serial,
                               const std::array<int, 3>& password) {
    TNetLink& link = ctx_.link;
    const bool programming = !NetDeviceTables::InTable(candidate);
    const bool selector = !programming && link.Tables.Selector(candidate) == 1;
    const int selectorByte = programming ? 0 : link.Tables.NetReplies[size_t(candidate)][4];
    const TNetFrame request = NetRequest::AddressBySerial(candidate, selector, selectorByte,
                                                          password, serial, target.address);
    if (!link.SendFrame(request, ctx_.RequestLog())) return kAddrNothingDone;
    NetWaitRule rule;
    rule.requestHex = request.ToHex();
    rule.firstAttempts = 3 * link.Settings.CountRead;
    rule.secondAttempts = 3 * link.Settings.CountRead;
    // The device that moved answers its class at the new address: "sn" + NN.
    rule.accept = [](const NetTakenAnswer&) { return false; };
    rule.modeDone = [](const QString& modeText) { return modeText.startsWith(QLatin1Char('s')); };
    rule.interpretWithoutFrame = programming;
    const NetWaitResult answer = AwaitAnswer(link, rule);
    // A request to a class address stays pending for more answers; left
    // there, it would take the answer of the next device moved from such an
    // address for its own.
    if (programming) link.MemoSend.removeAll(rule.requestHex);
    // Devices asked again after the move may leave another address in the
    // answer text; the one that matters is whether the target answers now.
    if (!answer.modeText.startsWith(QStringLiteral("sn")) ||
        link.Tables.AnswerCount(target.address) < 1)
        return kAddrNothingDone;
    link.ParseClassReply(target.address);
    ReadDevSN(target.address);
    return target.address;
}

int NetIdentityOps::ChangeAddrBySN(const std::optional<QString>& line) {
    if (!line) {
        Dialogs::Message(kUndefinedCaption, QStringLiteral("Выделите конфигурацию для записи SN!"));
        return kAddrNothingDone;
    }
    const QString serial = line->mid(9, 10);
    const std::optional<Target> target = TargetOfLine(*line);
    if (line->size() < 19 || !target || !IsDeviceSerialNumber(serial)) {
        Dialogs::Message(kUndefinedCaption, kNoSerial);
        return kAddrNothingDone;
    }
    const std::optional<std::array<int, 3>> password = PasswordForChange();
    if (!password) return kAddrNothingDone;
    Log2(QStringLiteral("Замена сетевого адреса по SN."));
    TNetLink& link = ctx_.link;
    if (link.Tables.AnswerCount(target->address) > 1) {
        Log2(QStringLiteral("Нельзя добавлять уже имеющийся сетевой адрес. ") +
             ctx_.Name(target->address));
        return kAddrRefused;
    }
    if (TargetTaken(*target, serial))
        return link.Tables.Text(target->address, kTextSerial) == serial ? target->address
                                                                        : kAddrRefused;
    // A serial number the devices that answer do not report belongs to a
    // device without a valid address, which answers at its kind's address.
    const int found = FoundAddress(*target, serial);
    const bool answers =
        found >= 0 && link.Tables.AnswerCount(found) > 0 && link.Tables.ReplyStored(found);
    const int candidate = answers ? found : target->programming;
    if (ctx_.view.selectFoundLine) ctx_.view.selectFoundLine(serial);
    int address = kAddrNothingDone;
    if (candidate != target->address) address = MoveDevice(candidate, *target, serial, *password);
    if (address < 0) address = kAddrNoDevice;
    link.BuildDeviceList(link.DeviceList);
    return address;
}

// ---------------------------------------------------------------- jumpers

NetOpOutcome NetIdentityOps::ResetKmAddr(int address, const std::optional<QString>& line) {
    TNetLink& link = ctx_.link;
    if (address < 0 || address >= ctx_.MaxDevice()) {
        Dialogs::Message(kUndefinedCaption, QStringLiteral("Устройство не является КМ!"));
        return NetOpOutcome::Refused;
    }
    if (!line) {
        link.BuildDeviceList(link.DeviceList);
        return NetOpOutcome::Refused;
    }
    const QString serial = line->mid(11, 10);
    if (line->size() < 21 || !IsDeviceSerialNumber(serial)) {
        Dialogs::Message(kUndefinedCaption, kNoSerial);
        return NetOpOutcome::Refused;
    }
    const std::optional<std::array<int, 3>> password = PasswordForChange();
    if (!password) return NetOpOutcome::Refused;
    Log2(QStringLiteral("Замена сетевого адреса ") + ctx_.Name(address) +
         QStringLiteral(" на перемычки."));
    // The selector byte of this request is byte 5 of the stored class reply.
    const TNetFrame request = NetRequest::AddressBySerial(
        address, link.Tables.Selector(address) == 1, link.Tables.NetReplies[size_t(address)][5],
        *password, serial, kJumperAddress);
    const bool done = link.SendFrame(request, ctx_.RequestLog()) &&
                      WaitWhilePending(request, link.Settings.CountRead);
    link.BuildDeviceList(link.DeviceList);
    return done ? NetOpOutcome::Done : NetOpOutcome::Failed;
}

// ---------------------------------------------------------------- object search

bool NetIdentityOps::FindObjectByNet() {
    TFDM* dm = ctx_.dm;
    if (!dm || dm->Q_Net->IsEmpty()) {
        Dialogs::Error(QStringLiteral("Ошибка"), QStringLiteral("Отсутствует объект для поиска!"));
        return false;
    }
    const NetDeviceTables& tables = ctx_.link.Tables;
    const int sep = ctx_.SepDevice();
    int switches = 0, panels = 0;
    qint64 nid = 0;
    for (int a = 0; a < sep && NetDeviceTables::InTable(a); ++a) {
        const NetDeviceTables::Reply& slot = tables.NetReplies[size_t(a)];
        if (slot[0] == a && slot[1] > 0) switches += slot[kReplyCountByte];
        if (nid == 0) nid = tables.NetDevices[size_t(a)].Nid();
    }
    for (int a = kFirstPanelAddress;
         a <= kFirstPanelAddress - 1 + sep && NetDeviceTables::InTable(a); ++a)
        if (tables.NetReplies[size_t(a)][0] == a)
            panels += tables.NetReplies[size_t(a)][kReplyCountByte];

    Log2(QStringLiteral("Поиск объекта."));
    Dataset* objects = dm->Q_Net;
    const auto value = [objects](int row, const char* field) {
        return objects->Value(row, objects->FieldIndex(QLatin1String(field)));
    };
    int chosen = -1;
    for (int row = 0; row < objects->RecordCount() && chosen < 0; ++row) {
        const int entrances = value(row, "v_pod").toInt();
        const QString ident = value(row, "ident").toString();
        if (entrances != switches || value(row, "v_kal").toInt() + entrances > panels) continue;
        Log2(QStringLiteral("Совпадает количество подъездов с объектом ") + ident +
             QLatin1Char('.'));
        if (value(row, "id_nom").toLongLong() == nid)
            Log2(QStringLiteral("Совпадают идентификаторы объекта ") + ident + QLatin1Char('.'));
        if (Dialogs::AskYesNo(QStringLiteral("Поиск объекта"),
                              QStringLiteral("Найден похожий объект, ") + InQuotes(ident) +
                                  QStringLiteral(" выберем его? Нет - продолжить.")))
            chosen = row;
        else
            Log2(QStringLiteral("Объект ") + InQuotes(ident) + QStringLiteral(" не выбран."));
    }
    // Declining them all leaves the object that was current.
    if (chosen >= 0) {
        objects->SetRecNo(chosen + 1);
        Log2(QStringLiteral("Найден похожий объект ") + value(chosen, "ident").toString() +
             QLatin1Char('.'));
        if (ctx_.view.fillDeviceList) ctx_.view.fillDeviceList();
    }
    Log2(QStringLiteral("Поиск окончен."));
    if (ctx_.view.showScreen) ctx_.view.showScreen();
    return chosen >= 0;
}

// ---------------------------------------------------------------- network test

void NetIdentityOps::AskConfiguredDevices(const QStringList& configuredLines) {
    for (const QString& line : configuredLines) {
        if (ctx_.StopRequested()) return;
        const int address = AddressOfListLine(line, ctx_.SepDevice());
        if (address >= 0) ctx_.link.RequestClass(address);
        ctx_.Refresh();
    }
}

// Each device that answered is asked its serial number; devices that carry
// another network identifier than the first one are pointed out.
void NetIdentityOps::ReadFoundSerials() {
    TNetLink& link = ctx_.link;
    std::optional<qint64> reference;
    const QStringList lines = link.DeviceList;
    for (const QString& line : lines) {
        if (ctx_.StopRequested()) return;
        const int address = DesignationToAddress(line, ctx_.SepDevice());
        if (address < 0 || link.Tables.AnswerCount(address) < 1) continue;
        link.ParseClassReply(address);
        link.Pause(link.Settings.SWaitNet);
        ReadDevSN(address);
        const qint64 nid = link.Tables.NetDevices[size_t(address)].Nid();
        if (!reference)
            reference = nid;
        else if (nid != *reference)
            Log2(
                QStringLiteral("Разные устройства имеют разные идентификаторы сети, возможно не "
                               "все конфигурации устройств залиты верно."));
        ctx_.Refresh();
    }
}

// Answers still on their way are taken in.
void NetIdentityOps::DrainPending() {
    TNetLink& link = ctx_.link;
    const int attempts = int(link.MemoSend.size());
    for (int i = 0; i < attempts && link.BComNet.Connected(); ++i) {
        QString errorText, status;
        if (link.ReadFrame(errorText)) {
            QString modeText = QStringLiteral("1");
            link.InterpretNetAnswers(modeText, status, link.AnswerLog, link.DeviceList);
        }
        if (status.isEmpty()) link.Pause(link.Settings.SWaitNet);
    }
}

void NetIdentityOps::CheckSerials(bool& asked, bool& store) {
    TNetLink& link = ctx_.link;
    const QStringList lines = link.DeviceList;
    for (const QString& line : lines) {
        const int address = AddressOfListLine(line, ctx_.SepDevice());
        if (!NetDeviceTables::InTable(address)) continue;
        link.Tables.AddDeviceListLine(address, link.DeviceList, ctx_.SepDevice());
        for (int i = 0; i < link.Settings.CountRead && link.BComNet.Connected() &&
                        link.Tables.Text(address, kTextSerial).isEmpty();
             ++i) {
            QString errorText, status;
            if (link.ReadFrame(errorText)) {
                QString modeText = QStringLiteral("1");
                link.InterpretNetAnswers(modeText, status, link.AnswerLog, link.DeviceList);
            } else {
                link.Pause(link.Settings.SWaitNet);
            }
        }
        const QString serial = link.Tables.Text(address, kTextSerial);
        // "Не доступно." and other texts that are no serial number are never stored.
        if (link.Tables.AnswerCount(address) > 0 && IsDeviceSerialNumber(serial))
            CheckSerial(address, serial, asked, store);
    }
}

void NetIdentityOps::CheckSerial(int address, const QString& serial, bool& asked, bool& store) {
    NetDeviceRecords records(*ctx_.dm);
    const NetRecordKind kind = RecordKindOfAddress(address, ctx_.SepDevice());
    if (kind == NetRecordKind::None) return;
    const bool panel = kind == NetRecordKind::CallPanel;
    const QString device = panel ? QStringLiteral("СБВ") : QStringLiteral("СКМ");
    if (kind != NetRecordKind::Console) {
        const std::optional<NetDeviceRecord> other = records.WithSerial(kind, serial);
        if (other && other->nNet != address) {
            Log2((panel ? QStringLiteral("Cерийный номер принадлежит блоку вызова с другим "
                                         "сетевым номером ")
                        : QStringLiteral("Cерийный номер принадлежит устройству с другим "
                                         "сетевым номером ")) +
                 device + IntToStrZ(other->number, 2) + QStringLiteral(" !"));
            return;
        }
        if (other) return;
    }
    const std::optional<NetDeviceRecord> record = records.AtAddress(kind, address);
    if (!record) return;
    if (!record->serial.isEmpty()) {
        if (record->serial == serial) return;
        if (kind == NetRecordKind::Console)
            Log2(QStringLiteral(
                "Серийный номер СПО не соответствует серийному номеру ППО объекта!"));
        else
            Log2(QStringLiteral("Cерийные номера не совпадают! ") + device +
                 IntToStrZ(record->number, 2) + QStringLiteral(" !"));
        return;
    }
    // Asked once per test; the answer holds for every blank record after.
    if (!asked) {
        store = Dialogs::AskYesNo(
            QStringLiteral("Включая остальные"),
            QStringLiteral("Будем сохранять серийные номера в объекте при их отсутствии?"));
        asked = true;
    }
    if (store && !records.StoreSerial(kind, address, serial) && !records.LastError().isEmpty())
        Dialogs::Error(QStringLiteral("Ошибка"), records.LastError());
}

NetOpOutcome NetIdentityOps::TestNet(const QStringList& configuredLines) {
    TNetLink& link = ctx_.link;
    if (!ctx_.dm || ctx_.dm->Q_Net->IsEmpty()) {
        Log2(QStringLiteral("Нет объекта."));
        return NetOpOutcome::Refused;
    }
    Log2(QStringLiteral("Тест сети по объекту."));
    link.Tables.ClearAll();
    link.DeviceList.clear();
    AskConfiguredDevices(configuredLines);
    link.BuildDeviceList(link.DeviceList);
    if (!link.DeviceList.isEmpty())
        Log2(QStringLiteral("ИТОГО найдено устройств ") + QString::number(link.DeviceList.size()) +
             QStringLiteral(" из ") + QString::number(configuredLines.size()) + QLatin1Char(':'));
    ReadFoundSerials();
    DrainPending();
    bool asked = false, store = false;
    if (!ctx_.StopRequested()) CheckSerials(asked, store);
    if (store && ctx_.view.fillDeviceList) ctx_.view.fillDeviceList();
    Log2(QStringLiteral("Тест сети по объекту окончен."));
    return ctx_.StopRequested() ? NetOpOutcome::Stopped : NetOpOutcome::Done;
}
