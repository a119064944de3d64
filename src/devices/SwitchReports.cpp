#include "devices/SwitchReports.h"

#include "foundation/TFDM.h"
#include "platform/DatabaseErrorText.h"
#include "platform/SystemErrorText.h"

#include <QSqlError>
#include <QSqlQuery>

#include <functional>

namespace SwitchReportTexts {
QString EntranceNotFound(const QString& switchNumber) {
    return QStringLiteral("Подъезд коммутатора КМ %1 не найден в списке подъездов объекта.")
        .arg(switchNumber);
}
QString ReadFailed(const QString& why) {
    return WithReason(QStringLiteral("Ошибка чтения базы данных"), why);
}
}  // namespace SwitchReportTexts

namespace {

// Values print as stored; a null prints nothing.
QString storedText(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

bool failWith(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

// One cached row of a dataset, read by field name without moving the dataset.
class RowReader {
  public:
    RowReader(const Dataset& ds, int row) : ds_(ds), row_(row) {}
    QVariant Value(const char* field) const {
        return ds_.Value(row_, ds_.FieldIndex(QLatin1String(field)));
    }
    QString Text(const char* field) const { return storedText(Value(field)); }

  private:
    const Dataset& ds_;
    int row_;
};

// The current record of a dataset, as a RowReader.
RowReader current(const Dataset& ds) {
    return RowReader(ds, ds.RecNo() - 1);
}

// A list that cannot be read is told, never printed as one without rows.
bool ensureRead(Dataset* ds, QString* error) {
    if (ds->EnsureRead()) return true;
    return failWith(error, SwitchReportTexts::ReadFailed(ds->LastError()));
}

// The call panels wired (plus 1 or 3) to one switch, as the switch list's
// panel grid (Q_MNbv) shows them: tract, panel number, panel name.
class WiredPanels {
  public:
    explicit WiredPanels(const QSqlDatabase& db) : q_(db) {
        q_.setForwardOnly(true);
        prepared_ = q_.prepare(QStringLiteral(
            "SELECT m.tract, b.n_nt0, b.n_bv FROM m_bv m, k_bv b, m_pk p"
            " WHERE m.id_bv = b.id_bv AND m.n_pk = p.n_pk AND m.id_net = p.id_net"
            " AND p.id_pk = ? AND (m.plus = 1 OR m.plus = 3) ORDER BY m.n_pk, m.n_bv"));
    }
    bool Read(const QVariant& idPk, QList<QStringList>* rows, QString* error) {
        q_.bindValue(0, idPk);
        if (!prepared_ || !q_.exec())
            return failWith(error,
                            SwitchReportTexts::ReadFailed(LoggedDatabaseReason(q_.lastError())));
        while (q_.next())
            *rows << QStringList{storedText(q_.value(0)), storedText(q_.value(1)),
                                 storedText(q_.value(2))};
        return true;
    }

  private:
    QSqlQuery q_;
    bool prepared_ = false;
};

using SwitchBand = std::function<QList<ReportField>(const RowReader&)>;

// A group per switch of the list: its band and the panels wired to it.
std::optional<QList<ReportGroup>> switchGroups(TFDM& dm, const SwitchBand& band,
                                               const QString& rowsLabel, QString* error) {
    if (!ensureRead(dm.Q_MNpk, error)) return std::nullopt;
    WiredPanels panels(dm.ConnectionDB());
    QList<ReportGroup> groups;
    for (int row = 0; row < dm.Q_MNpk->RecordCount(); ++row) {
        const RowReader sw(*dm.Q_MNpk, row);
        ReportGroup g{band(sw), rowsLabel, {}};
        if (!panels.Read(sw.Value("k.id_pk"), &g.rows, error)) return std::nullopt;
        groups << g;
    }
    return groups;
}

const QList<double> kPanelCells = {1, 1, 8};

}  // namespace

bool PositionOnSwitchEntrance(TFDM& dm, QString* error) {
    if (!ensureRead(dm.Q_MNpk, error)) return false;
    if (dm.Q_MNpk->IsEmpty()) return failWith(error, SwitchReportTexts::kNoSwitch);
    const RowReader sw = current(*dm.Q_MNpk);
    const bool found = ensureRead(dm.Q_Dom, error) && ensureRead(dm.Q_DPd, error) &&
                       dm.Q_Dom->Locate(QStringLiteral("id_dom"), sw.Value("p.id_dom")) &&
                       dm.Q_DPd->Locate(QStringLiteral("id_pod"), sw.Value("k.id_pod"));
    return found || failWith(error, SwitchReportTexts::EntranceNotFound(sw.Text("k.n_net")));
}

std::optional<ReportModel> BuildTerminalReport(TFDM& dm, QString* error) {
    if (!PositionOnSwitchEntrance(dm, error) || !ensureRead(dm.Q_Kvp, error)) return std::nullopt;
    const RowReader house = current(*dm.Q_Dom);
    const RowReader entrance = current(*dm.Q_DPd);
    ReportModel m;
    m.caption = SwitchReportTexts::kTerminalCaption;
    m.pageHeader = {SwitchReportTexts::kTerminalHeader, current(*dm.Q_MNpk).Text("k.n_net")};
    m.columns = 2;
    m.title = {{QStringLiteral("Дом:"), house.Text("house")},
               {QStringLiteral("Подъезд:"), entrance.Text("n_pod")},
               {QStringLiteral("Первая кв:"), entrance.Text("n1kvr")},
               {QStringLiteral("Последняя кв:"), entrance.Text("npkvr")},
               {QStringLiteral("ВСЕГО кв:"), entrance.Text("v_kvr")}};
    m.columnHeader = {{QStringLiteral("№пп")},
                      {QStringLiteral("Квартира №")},
                      {QStringLiteral("Клемма Торвин")},
                      {QStringLiteral("Код вызова")}};
    m.cellWeights = {0.6, 1.3, 1.6, 1.3};
    ReportGroup apartments;
    for (int row = 0; row < dm.Q_Kvp->RecordCount(); ++row) {
        const RowReader a(*dm.Q_Kvp, row);
        apartments.rows << QStringList{a.Text("p_nom"), a.Text("n_kvr"), a.Text("p_pk"),
                                       a.Text("p_kvr")};
    }
    m.groups = {apartments};
    return m;
}

std::optional<ReportModel> BuildTractReport(TFDM& dm, QString* error) {
    auto groups = switchGroups(
        dm,
        [](const RowReader& sw) {
            return QList<ReportField>{{QStringLiteral("КМ"), sw.Text("k.n_net")},
                                      {QStringLiteral("Дом:"), sw.Text("house")},
                                      {QStringLiteral("Подъезд:"), sw.Text("p.n_pod")}};
        },
        QString(), error);
    if (!groups) return std::nullopt;
    ReportModel m;
    m.caption = SwitchReportTexts::kTractCaption;
    m.pageHeader = {SwitchReportTexts::kTractHeader, QString()};
    m.columns = 2;
    // The row reads tract, panel number, panel name: "БВ" stands over the two
    // cells of the panel.
    m.columnHeader = {{QStringLiteral("Тракт")}, {QStringLiteral("БВ"), 2}};
    m.cellWeights = kPanelCells;
    m.groups = *groups;
    return m;
}

std::optional<ReportModel> BuildObjectReport(TFDM& dm, QString* error) {
    if (!ensureRead(dm.Q_Net, error)) return std::nullopt;
    if (dm.Q_Net->IsEmpty()) {
        failWith(error, SwitchReportTexts::kNoObject);
        return std::nullopt;
    }
    auto groups = switchGroups(
        dm,
        [](const RowReader& sw) {
            return QList<ReportField>{{QStringLiteral("КМ"), sw.Text("k.n_net")},
                                      {QStringLiteral("Дом:"), sw.Text("house")},
                                      {QStringLiteral("Подъезд:"), sw.Text("p.n_pod")},
                                      {QStringLiteral("Нумерация"), sw.Text("type_n")},
                                      {QStringLiteral("Коммутатор"), sw.Text("type_k")},
                                      {QStringLiteral("с"), sw.Text("n1kvr")},
                                      {QStringLiteral("по"), sw.Text("npkvr")},
                                      {QStringLiteral("Квартир"), sw.Text("p.v_kvr")}};
        },
        SwitchReportTexts::kTractRows, error);
    if (!groups) return std::nullopt;
    ReportModel m;
    m.pageHeader = {SwitchReportTexts::kObject, current(*dm.Q_Net).Text("ident")};
    m.caption = m.pageHeader.Text();
    m.pageNumberLabel = SwitchReportTexts::kPage;
    m.columns = 1;
    m.cellWeights = kPanelCells;
    m.groups = *groups;
    return m;
}
