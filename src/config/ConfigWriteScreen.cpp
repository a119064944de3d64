#include "config/ConfigWriteScreen.h"

#include "config/CallPanelFile.h"
#include "config/ConfigImage.h"
#include "config/ConfigRepository.h"
#include "config/ConsoleFile.h"
#include "config/SwitchFile.h"
#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "platform/Dialogs.h"
#include "platform/DurableFile.h"

#include <QMap>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <exception>

namespace {

using namespace WriteScreenTexts;

constexpr int kMaxIdNomDigits = 18;  // always within a 64-bit number

bool blank(const QString& text) {
    return text.trimmed().isEmpty();
}

// Runs a statement with bound values and hands each row to each.
bool forEachRow(QSqlDatabase db, const QString& sql, const QVariantList& values,
                const std::function<void(const QSqlQuery&)>& each, QString* error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!ExecBound(q, sql, values, error)) {
        if (error) *error = QStringLiteral("Ошибка чтения базы данных: ") + *error;
        return false;
    }
    while (q.next()) each(q);
    return true;
}

// Where a switch's entrance is, as its list row describes it.
struct WriteSwitchPlace {
    bool entranceFound = false;
    bool houseFound = false;
    QString nPod;
    QString nmPod;
    QString house;
};

QString placeText(const WriteSwitchPlace& p) {
    if (!p.entranceFound) return QString();
    if (p.houseFound) {
        if (blank(p.house)) return QStringLiteral(" под.") + p.nPod;
        if (blank(p.nmPod))
            return QStringLiteral(" д.") + p.house + QStringLiteral(" под.") + p.nPod;
        return QStringLiteral(" д.") + p.house + QLatin1Char(' ') + p.nmPod;
    }
    return blank(p.nmPod) ? QStringLiteral(" подъезд ") + p.nPod : QLatin1Char(' ') + p.nmPod;
}

// A call panel's row after its mark: its name when the name says it is a
// panel, else the panel's designation and the name.
QString panelText(int address, int sepDevice, const QString& name) {
    if (name.contains(QStringLiteral("БВ"))) return name;
    return DeviceAddrName(address, sepDevice).mid(1, 4) + QLatin1Char(' ') + name;
}

// The table and key column holding a device kind's kf_pr.
struct StateColumn {
    const char* table;
    const char* key;
};
StateColumn stateColumn(int kind) {
    switch (kind) {
        case kKindCallPanel:
            return {"k_bv", "id_bv"};
        case kKindConsole:
            return {"k_po", "id_po"};
        default:
            return {"k_pk", "id_pk"};
    }
}

QString fileIn(const QString& folder, const QString& stem, int number) {
    return folder + QLatin1Char('/') + stem + IntToStrZ(number, 2) + QStringLiteral(".bin");
}

// The console's part of the logs; its file is cpo00 whatever its address.
const QString kConsoleLabel = QStringLiteral("ППО00");

// A panel's part of the logs, numbered as its file.
QString panelLabel(int address) {
    return QStringLiteral("БВ") + IntToStrZ(address - kFirstPanelAddress, 2);
}

// A panel as the results name it: its list text, after its number when the
// text lacks it (panels of one object are often named alike).
QString panelDevice(int address, const QString& text) {
    const QString label = panelLabel(address);
    return text.startsWith(label) ? text : label + QLatin1Char(' ') + text;
}

}  // namespace

// ---------------------------------------------------------------- helpers

qint64 ReduceIdNom(qint64 n) {
    // The same as subtracting the step while the value is above it.
    if (n <= kIdNomStep) return n;
    return n - kIdNomStep * ((n - 1) / kIdNomStep);
}

std::optional<qint64> IdNomFromText(const QString& text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > kMaxIdNomDigits) return std::nullopt;
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    return ReduceIdNom(digits.toLongLong());
}

QString NoFileLine(const QString& device, const QString& reason) {
    return QStringLiteral("Файл для ") + device + QStringLiteral(" НЕ СОЗДАН: ") + reason +
           QLatin1Char('.');
}

ConfigFileMakers::ConfigFileMakers()
    : switchFile(BuildSwitchFile),
      panelFile(BuildCallPanelFile),
      consoleFile(BuildConsoleFile),
      writeFile([](const QString& path, const QByteArray& bytes, QString* error) {
          return DurableFile::Write(path, bytes, error);
      }) {}

ConfigWriteScreen::ConfigWriteScreen(QSqlDatabase db) : db_(db) {
    rowOfAddress_.fill(-1);
}

// ---------------------------------------------------------------- folder

void ConfigWriteScreen::SetWriteFolder(const QString& dbFolder, qint64 idNet) {
    dbFolder_ = dbFolder;
    idNet_ = idNet;
    folder_ = WriteFolderFor(dbFolder, idNet);
}

bool ConfigWriteScreen::BuildWriteFolder(const QString& dbFolder, qint64 idNet, QString* error) {
    SetWriteFolder(dbFolder, idNet);
    if (EnsureConfigFolder(folder_)) return true;
    if (error) *error = QStringLiteral("Не удалось создать папку ") + folder_;
    return false;
}

// ---------------------------------------------------------------- device list

bool ConfigWriteScreen::readSepDevice() {
    ConfigRepository repo(db_);
    if (repo.ReadSepDevice(sepDevice_)) return true;
    error_ = repo.LastError();
    return false;
}

int ConfigWriteScreen::lastPanelAddress() const {
    return qMin(2 * sepDevice_, kLastPanelAddress);
}

int ConfigWriteScreen::RowOfAddress(int address) const {
    if (address < 0 || address >= kWriteAddresses) return -1;
    return rowOfAddress_[address];
}

bool ConfigWriteScreen::RefreshDeviceList() {
    rows_.clear();
    rowOfAddress_.fill(-1);
    if (!readSepDevice()) return false;
    auto add = [this](int kind, qint64 nNet, qint64 id, int kfPr, const QString& text) {
        const bool tabled = nNet >= 0 && nNet < kWriteAddresses;
        if (tabled) rowOfAddress_[nNet] = int(rows_.size());
        rows_ << WriteListRow{tabled ? int(nNet) : -1, KfPrMark(kfPr) + text, kind, nNet, id};
    };

    const bool switchesRead = forEachRow(
        db_,
        "SELECT k.n_net, k.kf_pr, p.id_pod, p.n_pod, p.nm_pod, d.id_dom, d.house, k.id_pk"
        " FROM k_pk k LEFT JOIN k_pod p ON p.id_pod = k.id_pod"
        " LEFT JOIN k_dom d ON d.id_dom = p.id_dom WHERE k.id_net = ? ORDER BY k.n_net, k.id_pk",
        {idNet_},
        [&](const QSqlQuery& q) {
            const qint64 nNet = q.value(0).toLongLong();
            const WriteSwitchPlace place{!q.value(2).isNull(), !q.value(5).isNull(),
                                         q.value(3).toString(), q.value(4).toString(),
                                         q.value(6).toString()};
            add(kKindSwitch, nNet, q.value(7).toLongLong(), q.value(1).toInt(),
                QStringLiteral("КМ") + IntToStrZ(nNet, 2) + placeText(place));
        },
        &error_);
    if (!switchesRead) return false;

    bool hasConsole = false;
    int consoleState = 0;
    qint64 idPo = 0;
    if (!forEachRow(
            db_, "SELECT l_pok FROM k_net WHERE id_net = ?", {idNet_},
            [&](const QSqlQuery& q) { hasConsole = q.value(0).toLongLong() != 0; }, &error_) ||
        !forEachRow(
            db_, "SELECT kf_pr, id_po FROM k_po WHERE id_net = ? ORDER BY id_po LIMIT 1", {idNet_},
            [&](const QSqlQuery& q) {
                consoleState = q.value(0).toInt();
                idPo = q.value(1).toLongLong();
            },
            &error_))
        return false;
    if (hasConsole) add(kKindConsole, sepDevice_, idPo, consoleState, kConsoleRow);

    // The first panel of each address in the data module's order.
    struct ListedPanel {
        int state;
        QString name;
        qint64 idBv;
    };
    QMap<qint64, ListedPanel> panels;
    if (!forEachRow(
            db_,
            "SELECT n_net, kf_pr, n_bv, id_bv FROM k_bv WHERE id_net = ?"
            " ORDER BY bv_type, n_net, id_bv",
            {idNet_},
            [&](const QSqlQuery& q) {
                const qint64 address = q.value(0).toLongLong();
                if (!panels.contains(address))
                    panels.insert(address, {q.value(1).toInt(), q.value(2).toString(),
                                            q.value(3).toLongLong()});
            },
            &error_))
        return false;
    for (int a = kFirstPanelAddress; a <= lastPanelAddress(); ++a) {
        const auto it = panels.constFind(a);
        if (it != panels.cend())
            add(kKindCallPanel, a, it->idBv, it->state, panelText(a, sepDevice_, it->name));
    }
    return true;
}

QList<int> ConfigWriteScreen::ChangedRows() const {
    QList<int> rows;
    for (int i = 0; i < rows_.size(); ++i) {
        const QChar mark = rows_[i].text.isEmpty() ? QChar() : rows_[i].text.front();
        if (mark != QLatin1Char('*') && mark != QLatin1Char('+') && mark != QLatin1Char('w'))
            rows << i;
    }
    return rows;
}

// ---------------------------------------------------------------- building

bool ConfigWriteScreen::buildsAt(const WriteListRow& row) const {
    switch (row.kind) {
        case kKindConsole:
            return row.address >= 0 && row.address == sepDevice_;
        case kKindCallPanel:
            return row.address >= kFirstPanelAddress && row.address <= lastPanelAddress();
        default:
            return row.address >= 0 && row.address < sepDevice_;
    }
}

void ConfigWriteScreen::selectRows(const QList<int>& selectedRows) {
    chosen_.clear();
    for (int row : selectedRows)
        if (row >= 0 && row < rows_.size() && !chosen_.contains(row)) chosen_ << row;
    std::sort(chosen_.begin(), chosen_.end());
}

QList<int> ConfigWriteScreen::chosenRowsAt(int kind, qint64 nNet) const {
    QList<int> rows;
    for (int row : chosen_)
        if (rows_[row].kind == kind && rows_[row].nNet == nNet && buildsAt(rows_[row])) rows << row;
    return rows;
}

QString ConfigWriteScreen::rowDevice(int row) const {
    const QString text = rows_[row].text.mid(1).trimmed();  // without the state mark
    return rows_[row].kind == kKindCallPanel ? panelDevice(rows_[row].address, text) : text;
}

QString ConfigWriteScreen::rowLabel(int row) const {
    const WriteListRow& r = rows_[row];
    if (r.kind == kKindConsole) return kConsoleLabel;
    if (r.kind == kKindCallPanel) return panelLabel(r.address);
    return QStringLiteral("КМ") + IntToStrZ(r.nNet, 2);
}

WritePassResult ConfigWriteScreen::BitCreateClick(const QList<int>& selectedRows) {
    logs_.summary.clear();
    lastPass_.clear();
    summaryAt_.clear();
    reported_.clear();
    selectRows(selectedRows);
    stepsDone_ = 0;
    stepsTotal_ = int(chosen_.size());
    WritePassResult pass;
    passReads_ = std::make_shared<ConfigPassReads>();
    if (objectStillThere()) {
        buildSwitches(pass);
        tellRowsLeft(kKindSwitch);
        pass.stopped = !buildConsole(pass);
        if (!pass.stopped) {
            tellRowsLeft(kKindConsole);
            buildPanels(pass);
            tellRowsLeft(kKindCallPanel);
        }
    }
    takeDeviceLines();
    if (pass.stopped) {
        listStopped();
    } else {
        closeSummary();
        logs_.result << kSummaryRule << kSummaryTitle << logs_.summary;
        // Without it the results end at the title, and the operator is left guessing.
        if (selectedRows.isEmpty()) logs_.result << kNoDeviceChosen;
    }
    passReads_.reset();
    chosen_.clear();
    if (progress_) progress_(0, 0, false);
    if (pass.driversRun > 0 && !RefreshDeviceList()) logs_.result << error_;
    return pass;
}

bool ConfigWriteScreen::objectStillThere() {
    ConfigRepository repo(db_);
    std::optional<ConfigObjectRow> object;
    // A failed read is left to each device's own reads, which tell it.
    if (!repo.ReadObject(idNet_, object) || object) return true;
    for (int row : chosen_)
        skipDevice(row, rows_[row].kind, rowLabel(row),
                   QStringLiteral("объект удалён из базы данных"));
    return false;
}

void ConfigWriteScreen::beginDevice(int row, int kind, const QString& device, const QString& label,
                                    int detailBlankLines) {
    summaryAt_ << logs_.summary.size();  // the label's line
    deviceHeading(label, detailBlankLines);
    lastPass_ << WriteDeviceResult{kind, row, device, false, {}, {}, {}};
    if (row >= 0) reported_ << row;
}

void ConfigWriteScreen::skipDevice(int row, int kind, const QString& label, const QString& reason,
                                   const QString& device) {
    const QString name = device.isEmpty() && row >= 0 ? rowDevice(row) : device;
    beginDevice(row, kind, name, label, 1);
    addResult(NoFileLine(name, reason));
}

void ConfigWriteScreen::deviceHeading(const QString& label, int detailBlankLines) {
    for (int i = 0; i < detailBlankLines; ++i) logs_.detail << QString();
    logs_.detail << QStringLiteral("***** ") + label + QStringLiteral(" *****");
    logs_.summary << label + QStringLiteral(" :");
    logs_.result << QString()
                 << QStringLiteral("---------------") + label + QStringLiteral("----------------");
}

void ConfigWriteScreen::addResult(const QString& line) {
    logs_.result << line;
    logs_.summary << line;
    if (progress_) progress_(qMin(++stepsDone_, stepsTotal_), stepsTotal_, true);
}

void ConfigWriteScreen::tellRowsLeft(int kind) {
    for (int row : chosen_) {
        const WriteListRow& r = rows_[row];
        if (r.kind != kind || reported_.contains(row)) continue;
        const qint64 last = kind == kKindSwitch ? sepDevice_ - 1 : kWriteAddresses - 1;
        // A row at an address the pass built is one whose record went meanwhile.
        skipDevice(row, kind, rowLabel(row),
                   buildsAt(r)
                       ? QStringLiteral("устройство удалено из базы данных")
                       : WithNumber(u"сетевой номер ", r.nNet) + WithNumber(u" вне 0..", last));
    }
}

void ConfigWriteScreen::takeDeviceLines() {
    for (qsizetype i = 0; i < lastPass_.size(); ++i) {
        const qsizetype from = summaryAt_[i] + 1;  // after the device's label
        const qsizetype to = i + 1 < summaryAt_.size() ? summaryAt_[i + 1] : logs_.summary.size();
        lastPass_[i].lines = logs_.summary.mid(from, to - from);
    }
}

void ConfigWriteScreen::listStopped() {
    // The result log ends with the stop; the pass's list still has every device.
    lastPass_.last().lines = QStringList{kRepeatedCodesLog};  // the console's
    for (int row : chosen_)
        if (!reported_.contains(row))
            lastPass_ << WriteDeviceResult{rows_[row].kind,     row, rowDevice(row), false,
                                           {kRepeatedCodesLog}, {}, {}};
}

void ConfigWriteScreen::closeSummary() {
    const qsizetype without = std::count_if(lastPass_.cbegin(), lastPass_.cend(),
                                            [](const WriteDeviceResult& d) { return !d.fileMade; });
    if (without > 0)
        logs_.summary << WithNumber(u"Не создано файлов: ", without) +
                             WithNumber(u" из ", lastPass_.size()) + QLatin1Char('.');
}

// ---------------------------------------------------------------- switches

void ConfigWriteScreen::buildSwitches(WritePassResult& pass) {
    for (int a = 0; a < qMin(sepDevice_, kWriteAddresses); ++a)
        if (!chosenRowsAt(kKindSwitch, a).isEmpty()) buildSwitch(a, pass);
}

int ConfigWriteScreen::rowOf(int kind, qint64 id) const {
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].kind == kind && rows_[i].id == id) return i;
    return -1;
}

void ConfigWriteScreen::buildSwitch(int a, WritePassResult& pass) {
    const QList<int> rows = chosenRowsAt(kKindSwitch, a);
    const QString label = QStringLiteral("КМ") + IntToStrZ(a, 2);
    ConfigRepository repo(db_);
    std::optional<SwitchRow> sw;
    const bool read = repo.ReadSwitch(idNet_, a, sw);
    if (read && !sw) {
        for (int row : rows) skipDevice(row, kKindSwitch, label, switchAbsence(rows_[row]));
        return;
    }
    // The switch the address's file is for; another at the address gets none.
    const int builtRow = read ? rowOf(kKindSwitch, sw->idPk) : rows.first();
    const QString built = builtRow >= 0 ? rowDevice(builtRow) : label;
    beginDevice(builtRow, kKindSwitch, built, label, 1);
    const QString file = fileIn(folder_, QStringLiteral("ckm"), a);
    addResult(read ? WritePkFile(file, a) : readFailure(file, repo.LastError()));
    ++pass.driversRun;
    if (!read) {
        reported_ << rows;  // the read's failure stands for each of them
        return;
    }
    for (int row : rows)
        if (rows_[row].id != sw->idPk)
            skipDevice(
                row, kKindSwitch, label,
                WithNumber(u"сетевой номер ", a) + QStringLiteral(" занят коммутатором ") + built);
}

QString ConfigWriteScreen::switchAbsence(const WriteListRow& row) {
    bool exists = false, inMatrix = false;
    const auto any = [](bool& found) {
        return [&found](const QSqlQuery& q) { found = q.value(0).toLongLong() > 0; };
    };
    forEachRow(db_, "SELECT COUNT(*) FROM k_pk WHERE id_pk = ?", {row.id}, any(exists), &error_);
    forEachRow(db_, "SELECT COUNT(*) FROM m_pk WHERE id_net = ? AND n_net = ?", {idNet_, row.nNet},
               any(inMatrix), &error_);
    if (!exists) return QStringLiteral("коммутатор удалён из базы данных");
    if (!inMatrix)
        return WithNumber(u"сетевого номера ", row.nNet) + QStringLiteral(" нет в матрице объекта");
    return QStringLiteral("подъезд или дом коммутатора не найден в объекте");
}

// ---------------------------------------------------------------- console

bool ConfigWriteScreen::buildConsole(WritePassResult& pass) {
    const QList<int> rows = chosenRowsAt(kKindConsole, sepDevice_);
    if (rows.isEmpty()) return true;
    // The console's file is cpo00 whatever its address.
    beginDevice(rows.first(), kKindConsole, rowDevice(rows.first()), kConsoleLabel, 2);
    bool repeated = false;
    if (!houseCodesRepeated(repeated)) {
        addResult(readFailure(fileIn(folder_, QStringLiteral("cpo"), 0), error_));
        return true;
    }
    if (repeated) {
        // The console serves every house: nothing more is built.
        reportRepeatedCodes();
        return false;
    }
    addResult(WritePoFile(fileIn(folder_, QStringLiteral("cpo"), 0)));
    ++pass.driversRun;
    return true;
}

// ---------------------------------------------------------------- call panels

void ConfigWriteScreen::buildPanels(WritePassResult& pass) {
    for (int a = kFirstPanelAddress; a <= lastPanelAddress(); ++a)
        if (!chosenRowsAt(kKindCallPanel, a).isEmpty()) buildPanel(a, pass);
}

void ConfigWriteScreen::buildPanel(int a, WritePassResult& pass) {
    const int row = chosenRowsAt(kKindCallPanel, a).first();
    const QString label = panelLabel(a);
    ConfigRepository repo(db_);
    std::optional<PanelRow> panel;
    const bool read = repo.ReadPanel(idNet_, a, panel);
    if (read && !panel) {
        skipDevice(row, kKindCallPanel, label, QStringLiteral("блок вызова удалён из базы данных"));
        return;
    }
    // The list shows one panel an address; the file is for the panel the read finds.
    const bool shown = !read || rows_[row].id == panel->idBv;
    const QString name =
        shown ? rowDevice(row) : panelDevice(a, panelText(a, sepDevice_, panel->nBv));
    beginDevice(shown ? row : -1, kKindCallPanel, name, label, 1);
    // A panel's file number is its number: its address less 64.
    const QString file = fileIn(folder_, QStringLiteral("cbv"), a - kFirstPanelAddress);
    bool repeated = false;
    if (!read || !panelCodesRepeated(panel->idBv, panel->bvType, repeated)) {
        addResult(readFailure(file, read ? error_ : repo.LastError()));
        reported_ << row;
        return;
    }
    if (repeated) {
        // Only this panel is skipped.
        reportRepeatedCodes();
        addResult(NoFileLine(
            name, QStringLiteral("двойные или непроверенные коды вызова в доме или подъезде")));
    } else {
        addResult(WriteBvFile(file, a));
        ++pass.driversRun;
    }
    tellPanelsSharing(a, panel->idBv, name);
}

void ConfigWriteScreen::tellPanelsSharing(int a, qint64 builtId, const QString& built) {
    QList<QPair<qint64, QString>> others;
    forEachRow(
        db_,
        "SELECT id_bv, n_bv FROM k_bv WHERE id_net = ? AND n_net = ? AND id_bv <> ?"
        " ORDER BY id_bv",
        {idNet_, a, builtId},
        [&](const QSqlQuery& q) {
            others << qMakePair(q.value(0).toLongLong(), q.value(1).toString());
        },
        &error_);
    const QList<int> chosen = chosenRowsAt(kKindCallPanel, a);
    for (const auto& [idBv, nBv] : others) {
        const int row = !chosen.isEmpty() && rows_[chosen.first()].id == idBv ? chosen.first() : -1;
        skipDevice(
            row, kKindCallPanel, panelLabel(a),
            WithNumber(u"сетевой адрес ", a) + QStringLiteral(" занят блоком вызова ") + built,
            panelDevice(a, panelText(a, sepDevice_, nBv)));
    }
}

// ---------------------------------------------------------------- checks

bool ConfigWriteScreen::houseCodesRepeated(bool& repeated) {
    repeated = false;
    return forEachRow(
        db_, "SELECT COUNT(*) FROM k_dom WHERE id_net = ? AND kvv_t > 0", {idNet_},
        [&](const QSqlQuery& q) { repeated = q.value(0).toLongLong() > 0; }, &error_);
}

bool ConfigWriteScreen::panelCodesRepeated(qint64 idBv, int bvType, bool& repeated) {
    repeated = false;
    return forEachRow(
        db_,
        "SELECT d.kvv_t, p.kvv_t FROM m_bv b, m_pk m, k_pk k, k_pod p, k_dom d"
        " WHERE m.n_pk = b.n_pk AND b.id_net = m.id_net AND k.id_pk = m.id_pk"
        " AND p.id_pod = k.id_pod AND d.id_dom = p.id_dom AND b.id_bv = ?"
        " AND (b.plus = 1 OR b.plus = 3)",
        {idBv},
        [&](const QSqlQuery& q) {
            // A gate calls into several houses, so their prefixed codes count too.
            if (bvType == 1 && q.value(0).toLongLong() > 0) repeated = true;
            if (q.value(1).toLongLong() > 0) repeated = true;
        },
        &error_);
}

void ConfigWriteScreen::reportRepeatedCodes() {
    Dialogs::Message(kRepeatedCodesCaption, kRepeatedCodes, DlgButtons::Ok, DlgIcon::Error);
    logs_.result << kRepeatedCodesLog;
}

QString ConfigWriteScreen::readFailure(const QString& fileName, const QString& error) {
    TellInResults(logs_, error);
    return ConfigFileNotCreatedLine(fileName);
}

QString ConfigWriteScreen::noFileLine(const QString& reason) const {
    return NoFileLine(lastPass_.isEmpty() ? QString() : lastPass_.last().device, reason);
}

QString ConfigWriteScreen::WritePkFile(const QString& fileName, int nNet) {
    ConfigRepository repo(db_);
    std::optional<SwitchFileInput> in;
    if (!repo.ReadSwitchFileInput(idNet_, nNet, in)) return readFailure(fileName, repo.LastError());
    if (!in) return noFileLine(QStringLiteral("коммутатор или объект удалён из базы данных"));
    return makeFile(kKindSwitch, fileName, in->device.idPk,
                    [&] { return makers_.switchFile(*in, fileName); });
}

QString ConfigWriteScreen::WriteBvFile(const QString& fileName, int address) {
    ConfigRepository repo(db_);
    repo.ShareReads(passReads_);
    std::optional<PanelFileInput> in;
    if (!repo.ReadPanelFileInput(idNet_, address, in))
        return readFailure(fileName, repo.LastError());
    if (!in) return noFileLine(QStringLiteral("блок вызова или объект удалён из базы данных"));
    in->reserveSlots = reserveSlots_;
    return makeFile(kKindCallPanel, fileName, in->device.idBv,
                    [&] { return makers_.panelFile(*in, fileName); });
}

QString ConfigWriteScreen::WritePoFile(const QString& fileName) {
    ConfigRepository repo(db_);
    std::optional<ConsoleFileInput> in;
    if (!repo.ReadConsoleFileInput(idNet_, in)) return readFailure(fileName, repo.LastError());
    if (!in) return noFileLine(QStringLiteral("объект удалён из базы данных"));
    const qint64 idPo = in->console ? in->console->idPo : 0;
    return makeFile(kKindConsole, fileName, idPo,
                    [&] { return makers_.consoleFile(*in, fileName); });
}

QString ConfigWriteScreen::makeFile(int kind, const QString& fileName, qint64 recordId,
                                    const std::function<ConfigFileBuild()>& build) {
    ConfigFileBuild b;
    try {
        b = build();
    } catch (const std::exception& e) {
        // One device's bad data must not end the pass for the others.
        TellInResults(logs_, QStringLiteral("Ошибка формирования файла: ") +
                                 QString::fromLocal8Bit(e.what()));
        return ConfigFileNotCreatedLine(fileName);
    }
    logs_.detail << b.logs.detail;
    logs_.result << b.logs.result;
    logs_.summary << b.logs.summary;
    if (!lastPass_.isEmpty()) {
        lastPass_.last().narrowed << b.logs.narrowed;
        lastPass_.last().narrowedTexts << b.logs.narrowedTexts;
    }
    if (b.status == ConfigBuildStatus::NotSetUp)
        TellInResults(logs_, noFileLine(QStringLiteral("не задан тип коммутатора")));
    if (!b.HasFile()) return b.resultLine;

    QString error;
    if (!makers_.writeFile(fileName, b.bytes, &error)) {
        // The folder may have gone; the next attempt finds it again.
        BuildWriteFolder(dbFolder_, idNet_);
        logs_.result << kSaveFailed << error;
        logs_.summary << kSaveFailed << error;
        return ConfigFileNotCreatedLine(fileName);
    }
    if (!lastPass_.isEmpty()) lastPass_.last().fileMade = true;
    if (!advanceFileState(kind, recordId)) {
        const QString line = QStringLiteral("Состояние файла не записано в базу данных: ") + error_;
        logs_.result << line;
        logs_.summary << line;
    }
    return b.resultLine;
}

bool ConfigWriteScreen::advanceFileState(int kind, qint64 recordId) {
    const StateColumn c = stateColumn(kind);
    const QString where = QStringLiteral(" WHERE ") + QLatin1String(c.key) + QStringLiteral(" = ?");
    std::optional<int> state;
    if (!forEachRow(
            db_, QStringLiteral("SELECT kf_pr FROM ") + QLatin1String(c.table) + where, {recordId},
            [&](const QSqlQuery& q) { state = q.value(0).toInt(); }, &error_))
        return false;
    if (!state) return true;  // the row went away meanwhile
    const int next = KfPrAfterFileMade(*state);
    if (next != *state) {
        QSqlQuery q(db_);
        if (!ExecBound(q,
                       QStringLiteral("UPDATE ") + QLatin1String(c.table) +
                           QStringLiteral(" SET kf_pr = ?") + where,
                       {next, recordId}, &error_))
            return false;
    }
    if (afterStateChange_) afterStateChange_(kind);
    return true;
}
