#include "devices/SecurityPost.h"

#include "devices/Melody.h"
#include "devices/SerialEntry.h"
#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"
#include "foundation/ProgressSteps.h"
#include "platform/Cp1251.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

constexpr int kMinutesPerDay = 1440;
const QString kConsolePurposes = QStringLiteral("(forr='посетитель' OR forr='абонент')");

}  // namespace

int MinutesOfDay(const QTime& t) {
    return t.isValid() ? t.hour() * 60 + t.minute() + (t.second() >= 30 ? 1 : 0) : 0;
}

QTime TimeOfMinutes(int minutes) {
    const int m = ((minutes % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay;
    return QTime(m / 60, m % 60);
}

QString CameraMask(const QList<bool>& cameras) {
    QString mask;
    for (bool on : cameras) mask += on ? QLatin1Char('1') : QLatin1Char('0');
    return mask;
}

QList<bool> CamerasFromMask(const QString& mcam, int count) {
    QList<bool> cameras;
    for (int i = 0; i < count; ++i) cameras << (i < mcam.size() && mcam[i] == QLatin1Char('1'));
    return cameras;
}

int AdjustSeparatorPosition(int frmi, const QStringList& housePrefixes) {
    for (const QString& prefix : housePrefixes) {
        const QString trimmed = prefix.trimmed();
        if (!trimmed.isEmpty()) frmi = qMax(frmi, int(trimmed.size()) + 1);
    }
    return frmi;
}

QString DefaultSlideLine1() {
    return QStringLiteral("Пульт ПО ДАРВО");
}

QString DefaultSlideLine2(const QDate& today) {
    return today.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" конф.");
}

QString DefaultOperator(int n) {
    return QStringLiteral("Оператор %1").arg(n);
}

QString SlideCharsRefusedText(const QList<char32_t>& chars) {
    if (chars.size() == 1)
        return QStringLiteral("Символ ") + CharNameForMessage(chars.first()) +
               QStringLiteral(" нельзя записать в файл пульта.");
    return QStringLiteral("Символы ") + CharNamesForMessage(chars) +
           QStringLiteral(" нельзя записать в файл пульта.");
}

bool ReadSecurityPostObject(QSqlDatabase db, qint64 idNet, SecurityPostObject* o, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT l_pok, l_obv, farc, p_kvr FROM k_net WHERE id_net=?"),
                   {idNet}, error))
        return false;
    *o = SecurityPostObject{};
    if (!q.next()) return true;
    o->hasConsole = q.value(0).toInt() != 0;
    o->callBack = q.value(1).toInt() != 0;
    o->packedCodes = q.value(2).toInt() != 0;
    o->callCode = q.value(3).toString();
    return true;
}

int CameraCount(QSqlDatabase db) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT CamPO FROM t_global")) || !q.next()) return 0;
    return CountLimits::Cameras(q.value(0).toLongLong());
}

namespace {

const QString kSettingsColumns = QStringLiteral(
    "klvl, clvl, mtdy, mtnt, mcam, ncam, scam, rmto, dpto, clha, cldp, talk, frmi, "
    "sobj1, sobj2, sus1, sus2, sus3, sus4, sn_po, id_mel0, id_mel1");

QString OrDefault(const QString& stored, const QString& fallback) {
    return stored.isEmpty() ? fallback : stored;
}

// Empty texts show what they stand for.
void ShowDefaultTexts(SecurityPostSettings* s, const QDate& today) {
    s->sobj1 = OrDefault(s->sobj1, DefaultSlideLine1());
    s->sobj2 = OrDefault(s->sobj2, DefaultSlideLine2(today));
    for (int i = 0; i < kOperatorCount; ++i)
        s->operators[i] = OrDefault(s->operators.value(i), DefaultOperator(i + 1));
}

SecurityPostSettings SettingsFrom(const QSqlQuery& q, int cameraCount, const QDate& today) {
    SecurityPostSettings s;
    s.klvl = q.value(0).toInt();
    s.clvl = q.value(1).toInt();
    s.dayStart = TimeOfMinutes(q.value(2).toInt());
    s.nightStart = TimeOfMinutes(q.value(3).toInt());
    s.cameras = CamerasFromMask(q.value(4).toString(), cameraCount);
    int* spins[] = {&s.ncam, &s.scam, &s.rmto, &s.dpto, &s.clha, &s.cldp, &s.talk, &s.frmi};
    for (int i = 0; i < 8; ++i) *spins[i] = q.value(5 + i).toInt();
    s.sobj1 = q.value(13).toString();
    s.sobj2 = q.value(14).toString();
    for (int i = 0; i < kOperatorCount; ++i) s.operators[i] = q.value(15 + i).toString();
    ShowDefaultTexts(&s, today);
    s.serial = q.value(19).toString();
    s.idMel0 = q.value(20).toLongLong();
    s.idMel1 = q.value(21).toLongLong();
    return s;
}

qint64 ConsoleMelodyNamed(QSqlDatabase db, const QString& name) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_mel FROM t_mel WHERE name=? AND ") + kConsolePurposes +
                       QStringLiteral(" ORDER BY id_mel LIMIT 1"),
                   {name}, nullptr) ||
        !q.next())
        return 0;
    return q.value(0).toLongLong();
}

bool HousePrefixes(QSqlDatabase db, qint64 idNet, QStringList* prefixes, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT kod_d FROM k_dom WHERE id_net=? ORDER BY id_dom"),
                   {idNet}, error))
        return false;
    while (q.next()) *prefixes << q.value(0).toString();
    return true;
}

// What a save stores besides the screen's values: melodies still 0 take the
// standard ones by name, the separator position follows the house prefixes.
bool CompleteForStoring(QSqlDatabase db, qint64 idNet, SecurityPostSettings* s, QString* error) {
    if (s->idMel0 == 0) s->idMel0 = ConsoleMelodyNamed(db, kVisitorMelody);
    if (s->idMel1 == 0) s->idMel1 = ConsoleMelodyNamed(db, kSubscriberMelody);
    QStringList prefixes;
    if (!HousePrefixes(db, idNet, &prefixes, error)) return false;
    s->frmi = AdjustSeparatorPosition(s->frmi, prefixes);
    return true;
}

// A console row not made yet, as the screen shows it: the values a new row
// takes (the screen's initial ones, which are the table's defaults), the
// default texts and what its first save adds.
bool NewRowSettings(QSqlDatabase db, qint64 idNet, const QDate& today, SecurityPostSettings* s,
                    QString* error) {
    *s = SecurityPostSettings{};
    s->cameras = CamerasFromMask(QString(), CameraCount(db));
    ShowDefaultTexts(s, today);
    return CompleteForStoring(db, idNet, s, error);
}

// The console row of the object (the first one) and its kf_pr; *idPo 0 when
// the object has none.
bool ReadConsoleRow(QSqlDatabase db, qint64 idNet, qint64* idPo, int* kfPr, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT id_po, kf_pr FROM k_po WHERE id_net=? ORDER BY id_po"),
                   {idNet}, error))
        return false;
    const bool found = q.next();
    *idPo = found ? q.value(0).toLongLong() : 0;
    *kfPr = found ? q.value(1).toInt() : 0;
    return true;
}

bool ReadConsoleRow(QSqlDatabase db, qint64 idNet, qint64* idPo, QString* error) {
    int kfPr = 0;
    return ReadConsoleRow(db, idNet, idPo, &kfPr, error);
}

bool AppendConsoleRow(QSqlDatabase db, qint64 idNet, QString* error) {
    QSqlQuery q(db);
    return ExecInsert(q, QStringLiteral("INSERT INTO k_po (id_net) VALUES (?)"), {idNet}, error);
}

SecurityPostLoad LoadFailed(const QString& error) {
    SecurityPostLoad l;
    l.error = error;
    return l;
}

bool Failed(const QString& why, QString* error) {
    if (error) *error = why;
    return false;
}

}  // namespace

SecurityPostLoad LoadSecurityPost(QSqlDatabase db, qint64 idNet, const QDate& today,
                                  bool makeMissingRow) {
    SecurityPostObject object;
    QString error;
    if (!ReadSecurityPostObject(db, idNet, &object, &error)) return LoadFailed(error);
    SecurityPostLoad load;
    load.ok = true;
    load.object = object;
    if (!object.hasConsole) return load;

    SqlTransaction tr(db);
    if (!tr.started()) return LoadFailed(tr.LastError());
    qint64 idPo = 0;
    if (!ReadConsoleRow(db, idNet, &idPo, &error)) return LoadFailed(error);
    if (idPo == 0 && !makeMissingRow) {
        if (!NewRowSettings(db, idNet, today, &load.settings, &error)) return LoadFailed(error);
        load.loaded = true;
        return load;
    }
    if (idPo == 0) {
        if (!AppendConsoleRow(db, idNet, &error) || !ReadConsoleRow(db, idNet, &idPo, &error))
            return LoadFailed(error);
        load.created = true;
    }
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT ") + kSettingsColumns +
                       QStringLiteral(" FROM k_po WHERE id_po=?"),
                   {idPo}, &error) ||
        !q.next())
        return LoadFailed(error);
    load.settings = SettingsFrom(q, CameraCount(db), today);
    // A new row is saved once with what the screen shows: the default texts,
    // the standard melodies, the separator position for the house prefixes.
    if (load.created && !SaveSecurityPost(db, idNet, &load.settings, &error))
        return LoadFailed(error);
    if (!tr.Commit()) return LoadFailed(tr.LastError());
    load.loaded = true;
    return load;
}

int AdjustSeparatorPosition(QSqlDatabase db, qint64 idNet, int frmi) {
    QStringList prefixes;
    HousePrefixes(db, idNet, &prefixes, nullptr);
    return AdjustSeparatorPosition(frmi, prefixes);
}

bool SaveSecurityPost(QSqlDatabase db, qint64 idNet, SecurityPostSettings* s, QString* error) {
    SqlTransaction tr(db);
    if (!tr.started()) return Failed(tr.LastError(), error);
    qint64 idPo = 0;
    int kfPr = 0;
    if (!ReadConsoleRow(db, idNet, &idPo, &kfPr, error)) return false;
    // A console shown while its row could not be made gets the row with its
    // first save.
    if (idPo == 0) {
        SecurityPostObject object;
        if (!ReadSecurityPostObject(db, idNet, &object, error)) return false;
        if (!object.hasConsole)
            return Failed(QStringLiteral("Пульт поста охраны объекта не найден"), error);
        if (!AppendConsoleRow(db, idNet, error) || !ReadConsoleRow(db, idNet, &idPo, &kfPr, error))
            return false;
    }
    const int kf = KfPrAfterEdit(kfPr);
    if (!CompleteForStoring(db, idNet, s, error)) return false;

    QVariantList values = {s->klvl,
                           s->clvl,
                           MinutesOfDay(s->dayStart),
                           MinutesOfDay(s->nightStart),
                           CameraMask(s->cameras),
                           s->ncam,
                           s->scam,
                           s->rmto,
                           s->dpto,
                           s->clha,
                           s->cldp,
                           s->talk,
                           s->frmi,
                           s->sobj1.trimmed(),
                           s->sobj2.trimmed()};
    for (int i = 0; i < kOperatorCount; ++i) values << s->operators.value(i).trimmed();
    values << s->serial.trimmed() << s->idMel0 << s->idMel1 << kf << idNet << idPo;
    QSqlQuery q(db);
    if (!ExecBound(
            q,
            QStringLiteral("UPDATE k_po SET klvl=?, clvl=?, mtdy=?, mtnt=?, mcam=?, ncam=?, "
                           "scam=?, rmto=?, dpto=?, clha=?, cldp=?, talk=?, frmi=?, sobj1=?, "
                           "sobj2=?, sus1=?, sus2=?, sus3=?, sus4=?, sn_po=?, id_mel0=?, "
                           "id_mel1=?, kf_pr=?, id_net=? WHERE id_po=?"),
            values, error))
        return false;
    return tr.Commit() || Failed(tr.LastError(), error);
}

namespace {

struct KeyedState {
    qint64 id = 0;
    QVariant value;
};

bool ReadKeyed(QSqlDatabase db, const QString& sql, qint64 idNet, QList<KeyedState>* rows,
               QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q, sql, {idNet}, error)) return false;
    while (q.next()) rows->append({q.value(0).toLongLong(), q.value(1)});
    return true;
}

// The object's devices whose file a change of apartment data makes stale.
struct StaleDevices {
    QList<KeyedState> panels;    // id_bv, kf_pr
    QList<KeyedState> consoles;  // id_po, kf_pr
};

bool ReadDevices(QSqlDatabase db, qint64 idNet, StaleDevices* d, QString* error) {
    return ReadKeyed(db,
                     QStringLiteral("SELECT id_bv, kf_pr FROM k_bv WHERE id_net=? "
                                    "ORDER BY bv_type, n_net, id_bv"),
                     idNet, &d->panels, error) &&
           ReadKeyed(db, QStringLiteral("SELECT id_po, kf_pr FROM k_po WHERE id_net=?"), idNet,
                     &d->consoles, error);
}

bool AdvanceFileStates(QSqlDatabase db, const QString& table, const QString& key,
                       const QList<KeyedState>& rows, ProgressSteps* gauge, QString* error) {
    QSqlQuery q(db);
    const QString sql =
        QStringLiteral("UPDATE ") + table + QStringLiteral(" SET kf_pr=? WHERE ") + key + "=?";
    for (const KeyedState& row : rows) {
        const int kf = row.value.toInt();
        if (KfPrAfterEdit(kf) != kf && !ExecBound(q, sql, {KfPrAfterEdit(kf), row.id}, error))
            return false;
        gauge->Step();
    }
    return true;
}

bool MarkDevices(QSqlDatabase db, const StaleDevices& d, ProgressSteps* gauge, QString* error) {
    return AdvanceFileStates(db, QStringLiteral("k_bv"), QStringLiteral("id_bv"), d.panels, gauge,
                             error) &&
           AdvanceFileStates(db, QStringLiteral("k_po"), QStringLiteral("id_po"), d.consoles, gauge,
                             error);
}

DeviceChange Failed(QString* error, const QString& why) {
    if (error) *error = why;
    return DeviceChange::Failed;
}

// Sets an apartment flag on every row of the object, then marks the devices.
DeviceChange RewriteApartmentFlag(QSqlDatabase db, qint64 idNet, const QString& column, bool on,
                                  const QString& question, const ProgressFn& progress,
                                  QString* error) {
    if (!Dialogs::AskYesNo(QStringLiteral("ВНИМАНИЕ"), question)) return DeviceChange::Declined;
    QString why;
    QList<KeyedState> apartments;
    StaleDevices devices;
    if (!ReadKeyed(db,
                   QStringLiteral("SELECT id_kvr, ") + column +
                       QStringLiteral(" FROM k_kvr WHERE id_net=? ORDER BY id_pod, p_nom"),
                   idNet, &apartments, &why) ||
        !ReadDevices(db, idNet, &devices, &why))
        return Failed(error, why);
    ProgressSteps gauge(progress, int(apartments.size() + devices.panels.size()) + 1);
    SqlTransaction tr(db);
    if (!tr.started()) return Failed(error, tr.LastError());
    QSqlQuery q(db);
    const QString sql =
        QStringLiteral("UPDATE k_kvr SET ") + column + QStringLiteral("=? WHERE id_kvr=?");
    for (const KeyedState& row : std::as_const(apartments)) {
        if ((row.value.toInt() != 0) != on && !ExecBound(q, sql, {int(on), row.id}, &why))
            return Failed(error, why);
        gauge.Step();
    }
    if (!MarkDevices(db, devices, &gauge, &why)) return Failed(error, why);
    if (!tr.Commit()) return Failed(error, tr.LastError());
    return DeviceChange::Done;
}

}  // namespace

DeviceChange RewriteCallBack(QSqlDatabase db, qint64 idNet, bool on, const ProgressFn& progress,
                             QString* error) {
    return RewriteApartmentFlag(db, idNet, QStringLiteral("m_obr"), on,
                                QStringLiteral("Переписать всем квартирам обратный вызов?"),
                                progress, error);
}

DeviceChange RewriteRedirect(QSqlDatabase db, qint64 idNet, bool on, const ProgressFn& progress,
                             QString* error) {
    return RewriteApartmentFlag(db, idNet, QStringLiteral("l_pnp"), on,
                                QStringLiteral("Переписать всем квартирам перенаправление вызова?"),
                                progress, error);
}

namespace {

DeviceChange RefuseCode(const QString& text) {
    Dialogs::Message(QStringLiteral("Ошибка"), text, DlgButtons::Ok, DlgIcon::Error);
    return DeviceChange::Refused;
}

}  // namespace

DeviceChange SaveCommonCallCode(QSqlDatabase db, qint64 idNet, const QString& typed,
                                const ProgressFn& progress, QString* error) {
    const QString code = typed.trimmed();
    if (code.isEmpty()) return RefuseCode(QStringLiteral("Код вызова не может быть пустым!!"));
    QString why;
    bool taken = false;
    if (!FindsRow(db,
                  QStringLiteral("SELECT 1 FROM k_kvr WHERE id_net=? AND l_trub=0 "
                                 "AND TRIM(p_kvr)=? LIMIT 1"),
                  {idNet, code}, &taken, &why))
        return Failed(error, why);
    if (taken) return RefuseCode(QStringLiteral("Данный код вызова занят!"));

    QSqlQuery q(db);
    StaleDevices devices;
    if (!ExecBound(q, QStringLiteral("SELECT COUNT(*) FROM k_kvr WHERE id_net=?"), {idNet}, &why) ||
        !q.next() || !ReadDevices(db, idNet, &devices, &why))
        return Failed(error, why);
    const int apartments = q.value(0).toInt();
    ProgressSteps gauge(progress, apartments + int(devices.panels.size()) + 2);
    SqlTransaction tr(db);
    if (!tr.started()) return Failed(error, tr.LastError());
    if (!ExecBound(q, QStringLiteral("UPDATE k_net SET p_kvr=? WHERE id_net=? AND p_kvr IS NOT ?"),
                   {code, idNet, code}, &why))
        return Failed(error, why);
    gauge.Step();
    if (!ExecBound(q,
                   QStringLiteral("UPDATE k_kvr SET p_kvr=? WHERE id_net=? AND st_kvr=? "
                                  "AND p_kvr IS NOT ?"),
                   {code, idNet, QStringLiteral("СПО"), code}, &why))
        return Failed(error, why);
    gauge.MoveTo(apartments + 1);
    if (!MarkDevices(db, devices, &gauge, &why)) return Failed(error, why);
    if (!tr.Commit()) return Failed(error, tr.LastError());
    return DeviceChange::Done;
}

DeviceChange LeaveConsoleSerialField(QSqlDatabase db, qint64 idNet, const QString& typed,
                                     QString* shown, QString* error) {
    QString why;
    QSqlQuery q(db);
    if (!ExecBound(q, QStringLiteral("SELECT id_po, sn_po FROM k_po WHERE id_net=? ORDER BY id_po"),
                   {idNet}, &why))
        return Failed(error, why);
    if (!q.next()) return DeviceChange::Refused;
    const qint64 idPo = q.value(0).toLongLong();
    *shown = q.value(1).toString().trimmed();
    if (typed.trimmed().isEmpty() && !shown->isEmpty() &&
        !Dialogs::AskYesNo(QStringLiteral("Поле очищено"), QStringLiteral("Стереть SN?")))
        return DeviceChange::Declined;
    // With one console an object there is nowhere to jump to: the answer to
    // the repeat question only keeps the operator where he is.
    const SerialExitResult r = LeaveSerialField(db, SerialColumn::Consoles(), idPo, idNet, typed);
    *shown = r.shown;
    switch (r.outcome) {
        case SerialExit::Unchanged:
        case SerialExit::Stored:
            return DeviceChange::Done;
        case SerialExit::Failed:
            return Failed(error, r.error);
        default:
            return DeviceChange::Refused;
    }
}

QString ConsoleMelodyName(QSqlDatabase db, qint64 idMel) {
    QSqlQuery q(db);
    if (idMel != 0 &&
        ExecBound(q,
                  QStringLiteral("SELECT name FROM t_mel WHERE id_mel=? AND ") + kConsolePurposes,
                  {idMel}, nullptr) &&
        q.next())
        return q.value(0).toString();
    return kMelodyNotDefined;
}
