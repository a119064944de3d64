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
struct SwitchPlace {
    bool entranceFound = false;
    bool houseFound = false;
    QString nPod;
    QString nmPod;
    QString house;
};

QString placeText(const SwitchPlace& p) {
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

ConfigFileMakers::ConfigFileMakers()
    : switchFile(BuildSwitchFile),
      panelFile(BuildCallPanelFile),
      consoleFile(BuildConsoleFile),
      writeFile([](const QString& path, const QByteArray& bytes, QString* error) {
          return DurableFile::Write(path, bytes, error);
      }) {}

ConfigWriteScreen::ConfigWriteScreen(QSqlDatabase db) : db_(db) {
    rowOfAddress_.fill(-1);
    selection_.fill(false);
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
    selection_.fill(false);
    if (!readSepDevice()) return false;
    auto add = [this](int address, int kfPr, const QString& text) {
        const bool tabled = address >= 0 && address < kWriteAddresses;
        if (tabled) rowOfAddress_[address] = int(rows_.size());
        rows_ << WriteListRow{tabled ? address : -1, KfPrMark(kfPr) + text};
    };

    const bool switchesRead = forEachRow(
        db_,
        "SELECT k.n_net, k.kf_pr, p.id_pod, p.n_pod, p.nm_pod, d.id_dom, d.house FROM k_pk k"
        " LEFT JOIN k_pod p ON p.id_pod = k.id_pod LEFT JOIN k_dom d ON d.id_dom = p.id_dom"
        " WHERE k.id_net = ? ORDER BY k.n_net, k.id_pk",
        {idNet_},
        [&](const QSqlQuery& q) {
            const int nNet = q.value(0).toInt();
            const SwitchPlace place{!q.value(2).isNull(), !q.value(5).isNull(),
                                    q.value(3).toString(), q.value(4).toString(),
                                    q.value(6).toString()};
            add(nNet, q.value(1).toInt(),
                QStringLiteral("КМ") + IntToStrZ(nNet, 2) + placeText(place));
        },
        &error_);
    if (!switchesRead) return false;

    bool hasConsole = false;
    int consoleState = 0;
    if (!forEachRow(
            db_, "SELECT l_pok FROM k_net WHERE id_net = ?", {idNet_},
            [&](const QSqlQuery& q) { hasConsole = q.value(0).toLongLong() != 0; }, &error_) ||
        !forEachRow(
            db_, "SELECT kf_pr FROM k_po WHERE id_net = ? ORDER BY id_po LIMIT 1", {idNet_},
            [&](const QSqlQuery& q) { consoleState = q.value(0).toInt(); }, &error_))
        return false;
    if (hasConsole) add(sepDevice_, consoleState, kConsoleRow);

    // The first panel of each address in the data module's order.
    QMap<int, QPair<int, QString>> panels;
    if (!forEachRow(
            db_,
            "SELECT n_net, kf_pr, n_bv FROM k_bv WHERE id_net = ? ORDER BY bv_type, n_net, id_bv",
            {idNet_},
            [&](const QSqlQuery& q) {
                const int address = q.value(0).toInt();
                if (!panels.contains(address))
                    panels.insert(address, {q.value(1).toInt(), q.value(2).toString()});
            },
            &error_))
        return false;
    for (int a = kFirstPanelAddress; a <= lastPanelAddress(); ++a) {
        const auto it = panels.constFind(a);
        if (it != panels.cend()) add(a, it->first, panelText(a, sepDevice_, it->second));
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

bool ConfigWriteScreen::selected(int address) const {
    return address >= 0 && address < kWriteAddresses && selection_[address];
}

void ConfigWriteScreen::selectRows(const QList<int>& selectedRows) {
    selection_.fill(false);
    for (int row : selectedRows)
        if (row >= 0 && row < rows_.size() && rows_[row].address >= 0)
            selection_[rows_[row].address] = true;
}

WritePassResult ConfigWriteScreen::BitCreateClick(const QList<int>& selectedRows) {
    logs_.summary.clear();
    selectRows(selectedRows);
    stepsDone_ = 0;
    stepsTotal_ = int(std::count(selection_.cbegin(), selection_.cend(), true));
    WritePassResult pass;
    passReads_ = std::make_shared<ConfigPassReads>();
    buildSwitches(pass);
    if (!buildConsole(pass)) {
        pass.stopped = true;
    } else {
        buildPanels(pass);
        logs_.result << kSummaryRule << kSummaryTitle << logs_.summary;
    }
    passReads_.reset();
    selection_.fill(false);
    if (progress_) progress_(0, 0, false);
    if (pass.driversRun > 0 && !RefreshDeviceList()) logs_.result << error_;
    return pass;
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

void ConfigWriteScreen::buildSwitches(WritePassResult& pass) {
    for (int a = 0; a < qMin(sepDevice_, kWriteAddresses); ++a) {
        if (!selected(a)) continue;
        ConfigRepository repo(db_);
        std::optional<SwitchRow> sw;
        const bool read = repo.ReadSwitch(idNet_, a, sw);
        if (read && !sw) continue;  // no switch of the object at that address
        const QString label = QStringLiteral("КМ") + IntToStrZ(a, 2);
        deviceHeading(label, 1);
        const QString file = fileIn(folder_, QStringLiteral("ckm"), a);
        addResult(read ? WritePkFile(file, a) : readFailure(file, repo.LastError()));
        ++pass.driversRun;
    }
}

bool ConfigWriteScreen::buildConsole(WritePassResult& pass) {
    if (!selected(sepDevice_)) return true;
    // The console's file is cpo00 whatever its address.
    deviceHeading(QStringLiteral("ППО00"), 2);
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

void ConfigWriteScreen::buildPanels(WritePassResult& pass) {
    for (int a = kFirstPanelAddress; a <= lastPanelAddress(); ++a) {
        if (!selected(a)) continue;
        ConfigRepository repo(db_);
        std::optional<PanelRow> panel;
        const bool read = repo.ReadPanel(idNet_, a, panel);
        if (read && !panel) continue;  // no panel of the object at that address
        // A panel's file number is its number: its address less 64.
        const int number = a - kFirstPanelAddress;
        deviceHeading(QStringLiteral("БВ") + IntToStrZ(number, 2), 1);
        const QString file = fileIn(folder_, QStringLiteral("cbv"), number);
        bool repeated = false;
        if (!read || !panelCodesRepeated(panel->idBv, panel->bvType, repeated)) {
            addResult(readFailure(file, read ? error_ : repo.LastError()));
            continue;
        }
        if (repeated) {
            // Only this panel is skipped; its line stays out of the summary.
            reportRepeatedCodes();
            continue;
        }
        addResult(WriteBvFile(file, a));
        ++pass.driversRun;
    }
}

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
    logs_.result << error;
    return ConfigFileNotCreatedLine(fileName);
}

QString ConfigWriteScreen::WritePkFile(const QString& fileName, int nNet) {
    ConfigRepository repo(db_);
    std::optional<SwitchFileInput> in;
    if (!repo.ReadSwitchFileInput(idNet_, nNet, in)) return readFailure(fileName, repo.LastError());
    if (!in) return fileName;
    return makeFile(kKindSwitch, fileName, in->device.idPk,
                    [&] { return makers_.switchFile(*in, fileName); });
}

QString ConfigWriteScreen::WriteBvFile(const QString& fileName, int address) {
    ConfigRepository repo(db_);
    repo.ShareReads(passReads_);
    std::optional<PanelFileInput> in;
    if (!repo.ReadPanelFileInput(idNet_, address, in))
        return readFailure(fileName, repo.LastError());
    if (!in) return fileName;
    in->reserveSlots = reserveSlots_;
    return makeFile(kKindCallPanel, fileName, in->device.idBv,
                    [&] { return makers_.panelFile(*in, fileName); });
}

QString ConfigWriteScreen::WritePoFile(const QString& fileName) {
    ConfigRepository repo(db_);
    std::optional<ConsoleFileInput> in;
    if (!repo.ReadConsoleFileInput(idNet_, in)) return readFailure(fileName, repo.LastError());
    if (!in) return fileName;
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
        logs_.result << QStringLiteral("Ошибка формирования файла: ") +
                            QString::fromLocal8Bit(e.what());
        return ConfigFileNotCreatedLine(fileName);
    }
    logs_.detail << b.logs.detail;
    logs_.result << b.logs.result;
    logs_.summary << b.logs.summary;
    if (!b.HasFile()) return b.resultLine;

    QString error;
    if (!makers_.writeFile(fileName, b.bytes, &error)) {
        // The folder may have gone; the next attempt finds it again.
        BuildWriteFolder(dbFolder_, idNet_);
        logs_.result << kSaveFailed << error;
        return ConfigFileNotCreatedLine(fileName);
    }
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
