#include "site/ApartmentGenerator.h"

#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"
#include "platform/Dataset.h"
#include "platform/Dialogs.h"
#include "site/ApartmentFlags.h"
#include "site/ObjectState.h"
#include "site/SiteData.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVector>

#include <algorithm>
#include <optional>

namespace {

constexpr int kMaxCallLength = 5;  // prefix and code together
// The columns of a new row bound before its flags.
constexpr int kInsertColumns = 9;

// The operator's answer to the overwrite question.
enum class Answer {
    KeepManual,    // Yes: manual and hand-coded rows stay
    DropManual,    // No: manual rows go, repeated codes are not checked
    OverwriteAll,  // OK: there were no manual rows
};

struct GeneratorObjectRow {
    int vKey = 0;
    bool console = false;
    QString consoleCode;
    bool callBack = false;  // l_obv, the default of m_obr
    QString flbv;
    QString flpo;
    int vPod = 0;
};

struct GeneratorHouseRow {
    qint64 idDom = 0;
    QString name;
    QString prefix;
    int kvvT = 0;
};

struct GeneratorEntranceRow {
    qint64 idPod = 0;
    qint64 idDom = 0;
    int first = 0;
    int last = 0;
    int count = 0;
    bool hotel = false;
    int kvvT = 0;
};

// One k_kvr row as the run sees and changes it.
struct ApartmentRow {
    qint64 id = 0;
    qint64 idPod = 0;
    int pNom = 0;  // as read: the walk looks rows up by it
    QString nKvr;
    QString pKvr;
    QString origin;
    bool handset = false;
    int yKey = 0;
    int xKey = 0;
    int newPNom = 0;
    bool marked = false;  // deleted at the end unless kept
    bool placed = false;  // given its new position

    bool IsConsole() const { return handset && origin == RowOrigin::kConsole; }
};

// The rows of one entrance in position order, looked up by position.
struct EntranceRows {
    QVector<int> order;          // indexes into the run's rows
    QHash<int, int> byPosition;  // p_nom -> the first row holding it
};

// A row of a house as the repeated-code count reads it.
struct HouseApartment {
    qint64 id = 0;
    qint64 idPod = 0;
    QString nKvr;
    QVariant pKvr;
    bool handset = false;
};

class GenerationRun {
  public:
    GenerationRun(QSqlDatabase db, qint64 idNet, const ProgressFn& progress,
                  const CallCodeCorrector& corrector, const HeldRows& held)
        : db_(db), q_(db), idNet_(idNet), progress_(progress), corrector_(corrector), held_(held) {}

    GenerationResult Run(int keysPerApartment, const std::function<void()>& workStart);
    int CodeLength() const { return codeLength_; }
    int PrefixLength() const { return prefixLength_; }

  private:
    bool fail(const QString& why) {
        if (error_.isEmpty()) error_ = why;
        return false;
    }
    bool exec(const QString& sql, const QVariantList& values) {
        return ExecBound(q_, sql, values, &error_);
    }
    void step(int n = 1) {
        gauge_ = qMin(gauge_ + n, gaugeMax_);
        if (progress_) progress_(gauge_, gaugeMax_, true);
    }

    bool readObject();
    bool readHouses();
    bool readEntrances();
    bool readRows();
    std::optional<Answer> ask();
    bool storeKeyQuota(int keys);
    bool rangesEntered();
    bool prepareWrites();
    bool generate();

    void markRows();
    EntranceRows rowsOf(qint64 idPod) const;
    bool walk(const GeneratorEntranceRow& e, const EntranceRows& rows, int* pos);
    bool keepManual(ApartmentRow& row, int* aptNo, int* pos);
    void keepRow(ApartmentRow& row, const GeneratorEntranceRow& e, int* aptNo, int pos);
    bool appendRow(const GeneratorEntranceRow& e, int* aptNo, int pos, bool console);
    bool placeRest(const GeneratorEntranceRow& e, const EntranceRows& rows, int* pos);
    static void place(ApartmentRow& row, int pos) {
        row.newPNom = pos;
        row.marked = false;
        row.placed = true;
    }
    void noteLengths(const QString& code, qint64 idDom);
    int keyQuota(int yKey) const { return yKey > object_.vKey ? yKey : object_.vKey; }

    bool writeRows();
    bool deleteLeftovers();
    bool recountEntrances();
    bool countRepeats();
    bool readHouseApartments(qint64 idDom, QVector<HouseApartment>* out);
    bool countHouseRepeats(const GeneratorHouseRow& house, int* repeats,
                           QHash<qint64, int>* perEntrance, bool* ignoreAll);
    bool writeRepeatCounts(const GeneratorHouseRow& house, int repeats,
                           const QHash<qint64, int>& perEntrance);

    QSqlDatabase db_;
    QSqlQuery q_;
    qint64 idNet_;
    ProgressFn progress_;
    CallCodeCorrector corrector_;
    const HeldRows& held_;
    bool heldGone_ = false;  // a row held was gone: refused and told
    QString error_;

    GeneratorObjectRow object_;
    QList<GeneratorHouseRow> houses_;
    QList<GeneratorEntranceRow> entrances_;
    QVector<ApartmentRow> rows_;
    Answer answer_ = Answer::OverwriteAll;
    QList<QPair<QString, bool>> newFlags_;
    // Prepared once for the whole run, when it starts writing.
    std::optional<BoundStatement> insert_;
    std::optional<BoundStatement> update_;
    std::optional<BoundStatement> houseRows_;

    int gauge_ = 0;
    int gaugeMax_ = 0;
    int codeLength_ = 0;
    int prefixLength_ = 0;
};

// ---------------------------------------------------------------- reading

bool GenerationRun::readObject() {
    if (!exec(QStringLiteral("SELECT v_key, l_pok, p_kvr, l_obv, flbv, flpo, v_pod FROM k_net "
                             "WHERE id_net=?"),
              {idNet_}))
        return false;
    if (!q_.next()) return fail(QStringLiteral("Объект %1 не найден").arg(idNet_));
    object_ = {
        q_.value(0).toInt(),      q_.value(1).toInt() != 0,      SiteData::TextOf(q_.value(2)),
        q_.value(3).toInt() != 0, SiteData::TextOf(q_.value(4)), SiteData::TextOf(q_.value(5)),
        q_.value(6).toInt()};
    q_.finish();
    return true;
}

bool GenerationRun::readHouses() {
    houses_.clear();
    if (!exec(QStringLiteral(
                  "SELECT id_dom, house, kod_d, kvv_t FROM k_dom WHERE id_net=? ORDER BY id_dom"),
              {idNet_}))
        return false;
    while (q_.next())
        houses_.append({q_.value(0).toLongLong(), SiteData::TextOf(q_.value(1)),
                        SiteData::TextOf(q_.value(2)).trimmed(), q_.value(3).toInt()});
    q_.finish();
    return true;
}

bool GenerationRun::readEntrances() {
    entrances_.clear();
    if (!exec(QStringLiteral("SELECT id_pod, id_dom, n1kvr, npkvr, v_kvr, type_n, kvv_t "
                             "FROM k_pod WHERE id_net=? ORDER BY id_dom, n_pod, id_pod"),
              {idNet_}))
        return false;
    while (q_.next())
        entrances_.append({q_.value(0).toLongLong(), q_.value(1).toLongLong(), q_.value(2).toInt(),
                           q_.value(3).toInt(), q_.value(4).toInt(), q_.value(5).toInt() != 0,
                           q_.value(6).toInt()});
    q_.finish();
    return true;
}

bool GenerationRun::readRows() {
    rows_.clear();
    BoundStatement q(db_, QStringLiteral("SELECT id_kvr, id_pod, p_nom, n_kvr, p_kvr, st_kvr, "
                                         "l_trub, y_key, x_key FROM k_kvr WHERE id_net=? "
                                         "ORDER BY id_pod, p_nom, id_kvr"));
    q.Bind(0, idNet_);
    while (q.Next()) {
        ApartmentRow r;
        r.id = q.Value(0).toLongLong();
        r.idPod = q.Value(1).toLongLong();
        r.pNom = q.Value(2).toInt();
        r.nKvr = SiteData::TextOf(q.Value(3));
        r.pKvr = SiteData::TextOf(q.Value(4));
        r.origin = SiteData::TextOf(q.Value(5));
        r.handset = q.Value(6).toInt() != 0;
        r.yKey = q.Value(7).toInt();
        r.xKey = q.Value(8).toInt();
        rows_ << r;
    }
    return q.LastError().isEmpty() || fail(q.LastError());
}

// ---------------------------------------------------------------- before the rows

// No question for an object without rows: everything is generated.
std::optional<Answer> GenerationRun::ask() {
    if (rows_.isEmpty()) return Answer::KeepManual;
    const bool manual = std::any_of(rows_.begin(), rows_.end(), [](const ApartmentRow& r) {
        return r.origin == RowOrigin::kManual;
    });
    if (manual) {
        switch (Dialogs::Message(GenerationTexts::kCaption, GenerationTexts::kKeepManual,
                                 DlgButtons::YesNoCancel, DlgIcon::Warning)) {
            case DlgAnswer::Yes:
                return Answer::KeepManual;
            case DlgAnswer::No:
                return Answer::DropManual;
            default:
                return std::nullopt;
        }
    }
    if (Dialogs::Message(GenerationTexts::kCaption, GenerationTexts::kOverwrite,
                         DlgButtons::OkCancel, DlgIcon::Warning) == DlgAnswer::Ok)
        return Answer::OverwriteAll;
    return std::nullopt;
}

bool GenerationRun::storeKeyQuota(int keys) {
    if (keys == object_.vKey) return true;
    object_.vKey = keys;
    return exec(QStringLiteral("UPDATE k_net SET v_key=? WHERE id_net=?"), {keys, idNet_});
}

// An entrance without apartments is entered as first 1, last 0; any other
// entrance needs its count.
bool GenerationRun::rangesEntered() {
    for (const GeneratorEntranceRow& e : std::as_const(entrances_)) {
        step();
        if (e.count == 0 && !(e.first == 1 && e.last == 0)) return false;
    }
    return true;
}

// ---------------------------------------------------------------- the walk

void GenerationRun::markRows() {
    for (ApartmentRow& r : rows_)
        r.marked = answer_ != Answer::KeepManual ||
                   (r.origin != RowOrigin::kManual && r.origin != RowOrigin::kCodeByHand);
}

EntranceRows GenerationRun::rowsOf(qint64 idPod) const {
    EntranceRows out;
    // rows_ is in entrance and position order.
    const auto first =
        std::lower_bound(rows_.begin(), rows_.end(), idPod,
                         [](const ApartmentRow& r, qint64 id) { return r.idPod < id; });
    for (auto it = first; it != rows_.end() && it->idPod == idPod; ++it) {
        const int index = int(it - rows_.begin());
        out.order << index;
        if (!out.byPosition.contains(it->pNom)) out.byPosition.insert(it->pNom, index);
    }
    return out;
}

void GenerationRun::noteLengths(const QString& code, qint64 idDom) {
    codeLength_ = qMax(codeLength_, int(code.trimmed().size()));
    for (const GeneratorHouseRow& h : std::as_const(houses_))
        if (h.idDom == idDom) prefixLength_ = qMax(prefixLength_, int(h.prefix.size()));
}

// A manual row takes a position of its own but no apartment number, unless it
// holds the next number to give, in which case it is that apartment. It is
// kept only when the operator said so; false when it took no number.
bool GenerationRun::keepManual(ApartmentRow& row, int* aptNo, int* pos) {
    if (answer_ != Answer::KeepManual) return false;
    row.xKey = keyQuota(row.yKey);
    bool numbered = false;
    if (row.nKvr == QString::number(*aptNo)) {
        row.origin = RowOrigin::kGenerated;
        ++*aptNo;
        numbered = true;
    }
    place(row, (*pos)++);
    return numbered;
}

// A row kept at position pos: a sequential entrance renumbers it unless its
// code was set by hand; a hotel entrance keeps its numbers.
void GenerationRun::keepRow(ApartmentRow& row, const GeneratorEntranceRow& e, int* aptNo, int pos) {
    row.xKey = keyQuota(row.yKey);
    if (!e.hotel && row.origin != RowOrigin::kCodeByHand) {
        row.nKvr = row.pKvr = QString::number(*aptNo);
        row.origin = RowOrigin::kGenerated;
    }
    ++*aptNo;
    place(row, pos);
    noteLengths(row.pKvr, e.idDom);
}

bool GenerationRun::appendRow(const GeneratorEntranceRow& e, int* aptNo, int pos, bool console) {
    QString number;
    QString code;
    if (console) {
        number = RowOrigin::kConsoleNumber;
        code = object_.consoleCode;
    } else if (e.hotel) {
        // Hotel numbers are given floor by floor on the apartment screen.
        number = QStringLiteral("0");
        code = QString::number(pos);
    } else {
        number = code = QString::number((*aptNo)++);
    }
    BoundStatement& insert = *insert_;
    insert.Bind(0, idNet_)
        .Bind(1, e.idPod)
        .Bind(2, qint64(pos))
        .Bind(3, number)
        .Bind(4, code)
        .Bind(5, qint64(console ? 0 : object_.vKey))
        .Bind(6, console ? RowOrigin::kConsole : RowOrigin::kGenerated)
        .Bind(7, qint64(console ? 1 : 0))
        .Bind(8, qint64(object_.callBack ? 1 : 0));
    for (int i = 0; i < newFlags_.size(); ++i)
        insert.Bind(kInsertColumns + i, qint64(newFlags_[i].second ? 1 : 0));
    if (!insert.ExecInsert()) return fail(insert.LastError());
    if (!console) noteLengths(code, e.idDom);
    return true;
}

// The positions of an entrance: its range, and one more for every manual row
// and handset met on the way, which take positions but no apartment numbers.
bool GenerationRun::walk(const GeneratorEntranceRow& e, const EntranceRows& rows, int* pos) {
    int aptNo = e.first;
    int count = e.last - e.first + 1;
    // A hotel entrance has no range: its count says how many rows it has.
    if (count <= 1) count = e.count;
    for (int i = 1; i <= count; ++i) {
        const int index = rows.byPosition.value(i, -1);
        ApartmentRow* row = index >= 0 ? &rows_[index] : nullptr;
        if (row && row->handset) {
            ++count;  // placed after the apartments
            continue;
        }
        if (row && row->origin == RowOrigin::kManual) {
            if (!keepManual(*row, &aptNo, pos)) ++count;
            step();
            continue;
        }
        if (row)
            keepRow(*row, e, &aptNo, *pos);
        else if (!appendRow(e, &aptNo, *pos, false))
            return false;
        ++*pos;
        step();
    }
    return true;
}

// After the apartments come the rows the walk did not place, in their old
// order: the handsets, and apartments kept by hand beyond the range. The
// entrance ends with its one console handset (a repeat of it goes), which is
// made when the object has a console and the entrance none.
bool GenerationRun::placeRest(const GeneratorEntranceRow& e, const EntranceRows& rows, int* pos) {
    ApartmentRow* console = nullptr;
    for (int index : rows.order) {
        ApartmentRow& row = rows_[index];
        if (row.placed) continue;
        if (row.IsConsole()) {
            if (!console) console = &row;
            continue;
        }
        if (!row.handset && row.marked) continue;
        if (row.handset) row.xKey = keyQuota(row.yKey);
        place(row, (*pos)++);
    }
    if (console) {
        console->xKey = 0;  // the console handset holds no keys
        place(*console, (*pos)++);
        return true;
    }
    if (!object_.console) return true;
    int unused = 0;
    return appendRow(e, &unused, (*pos)++, true);
}

// ---------------------------------------------------------------- writing

bool GenerationRun::prepareWrites() {
    newFlags_ = NewApartmentFlags(object_.flbv, object_.flpo);
    QStringList columns = {
        QStringLiteral("id_net"), QStringLiteral("id_pod"), QStringLiteral("p_nom"),
        QStringLiteral("n_kvr"),  QStringLiteral("p_kvr"),  QStringLiteral("x_key"),
        QStringLiteral("st_kvr"), QStringLiteral("l_trub"), QStringLiteral("m_obr")};
    for (const auto& flag : std::as_const(newFlags_)) columns << flag.first;
    const QString fixed = QStringLiteral(", p_pk, f_k03, l_vid, l_del, mtdy, mtnt");
    const QString fixedValues = QStringLiteral(", 0, 1, 0, 0, -1, -1");
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i) marks << QStringLiteral("?");
    const QString insert = QStringLiteral("INSERT INTO k_kvr (") +
                           columns.join(QStringLiteral(", ")) + fixed +
                           QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
                           fixedValues + QStringLiteral(")");
    insert_.emplace(db_, insert);
    if (!insert_->Prepared()) return fail(insert_->LastError());
    update_.emplace(db_, QStringLiteral("UPDATE k_kvr SET p_nom=?, n_kvr=?, p_kvr=?, st_kvr=?, "
                                        "x_key=?, l_del=0 WHERE id_kvr=?"));
    if (!update_->Prepared()) return fail(update_->LastError());
    return true;
}

bool GenerationRun::writeRows() {
    BoundStatement& update = *update_;
    for (const ApartmentRow& r : std::as_const(rows_)) {
        if (!r.placed) continue;
        update.Bind(0, qint64(r.newPNom))
            .Bind(1, r.nKvr)
            .Bind(2, r.pKvr)
            .Bind(3, r.origin)
            .Bind(4, qint64(r.xKey))
            .Bind(5, r.id);
        if (!update.Exec()) return fail(update.LastError());
    }
    return true;
}

// Rows still marked go, and with them exactly their keys.
bool GenerationRun::deleteLeftovers() {
    BoundStatement keys(db_, QStringLiteral("DELETE FROM k_key WHERE id_kvr=?"));
    BoundStatement rows(db_, QStringLiteral("DELETE FROM k_kvr WHERE id_kvr=?"));
    if (!keys.Prepared()) return fail(keys.LastError());
    if (!rows.Prepared()) return fail(rows.LastError());
    for (const ApartmentRow& r : std::as_const(rows_)) {
        if (!r.marked) continue;
        if (!keys.Bind(0, r.id).Exec()) return fail(keys.LastError());
        if (!rows.Bind(0, r.id).Exec()) return fail(rows.LastError());
    }
    return true;
}

bool GenerationRun::recountEntrances() {
    if (!exec(QStringLiteral("SELECT id_pod, COUNT(*) FROM k_kvr WHERE id_net=? AND NOT l_trub "
                             "GROUP BY id_pod"),
              {idNet_}))
        return false;
    QHash<qint64, int> apartments;
    while (q_.next()) apartments.insert(q_.value(0).toLongLong(), q_.value(1).toInt());
    q_.finish();
    for (GeneratorEntranceRow& e : entrances_) {
        step();
        const int n = apartments.value(e.idPod, 0);
        // A range of 32768 numbers, or rows kept by hand beyond the range,
        // make more apartments than the entrance's count holds.
        if (n > CountLimits::kMaxApartmentNumber) return fail(SiteData::ApartmentCountBeyond());
        if (n == e.count) continue;
        e.count = n;
        if (!exec(QStringLiteral("UPDATE k_pod SET v_kvr=? WHERE id_pod=?"), {n, e.idPod}))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- repeated codes

bool GenerationRun::readHouseApartments(qint64 idDom, QVector<HouseApartment>* out) {
    out->clear();
    // The house's entrances first, then their rows by entrance: left to
    // itself SQLite walks every row of the object for each house.
    if (!houseRows_)
        houseRows_.emplace(db_,
                           QStringLiteral("SELECT k.id_kvr, k.id_pod, k.n_kvr, k.p_kvr, k.l_trub "
                                          "FROM k_pod p CROSS JOIN k_kvr k ON k.id_pod=p.id_pod "
                                          "WHERE p.id_dom=? AND k.id_net=? "
                                          "ORDER BY p.n_pod, k.p_nom, k.id_kvr"));
    BoundStatement& q = *houseRows_;
    if (!q.Prepared()) return fail(q.LastError());
    q.Bind(0, idDom).Bind(1, idNet_);
    while (q.Next())
        out->append({q.Value(0).toLongLong(), q.Value(1).toLongLong(), SiteData::TextOf(q.Value(2)),
                     q.Value(3), q.Value(4).toInt() != 0});
    return q.LastError().isEmpty() || fail(q.LastError());
}

// Every row of the house (handsets too) whose code other apartments of the
// house also hold is a repeat; each is offered for correction until the
// operator ignores them all. A correction is read back before the next row.
bool GenerationRun::countHouseRepeats(const GeneratorHouseRow& house, int* repeats,
                                      QHash<qint64, int>* perEntrance, bool* ignoreAll) {
    QVector<HouseApartment> rows;
    if (!readHouseApartments(house.idDom, &rows)) return false;
    QHash<QString, QVector<int>> holders;  // code -> apartments holding it
    auto index = [&] {
        holders.clear();
        for (int i = 0; i < rows.size(); ++i)
            if (!rows[i].handset && !rows[i].pKvr.isNull()) holders[rows[i].pKvr.toString()] << i;
    };
    index();
    for (int i = 0; i < rows.size(); ++i) {
        step();
        const HouseApartment& row = rows[i];
        if (row.pKvr.isNull()) continue;
        const QVector<int> same = holders.value(row.pKvr.toString());
        if (same.size() <= 1) continue;
        ++*repeats;
        ++(*perEntrance)[row.idPod];
        if (*ignoreAll || !corrector_) continue;
        // The other apartment: the first of the house with the code that is
        // not the row itself.
        const int other = same[0] != i ? same[0] : same[1];
        const CallCodeRepeat repeat{house.idDom,
                                    house.name,
                                    row.id,
                                    row.nKvr,
                                    SiteData::TextOf(row.pKvr),
                                    rows[other].id,
                                    rows[other].nKvr,
                                    SiteData::TextOf(rows[other].pKvr)};
        const CorrectionMark mark = corrector_(repeat);
        if (mark == CorrectionMark::IgnoreAll) *ignoreAll = true;
        if (mark == CorrectionMark::Saved) {
            if (!readHouseApartments(house.idDom, &rows)) return false;
            index();
        }
    }
    return true;
}

bool GenerationRun::writeRepeatCounts(const GeneratorHouseRow& house, int repeats,
                                      const QHash<qint64, int>& perEntrance) {
    if (repeats != house.kvvT &&
        !exec(QStringLiteral("UPDATE k_dom SET kvv_t=? WHERE id_dom=?"), {repeats, house.idDom}))
        return false;
    for (const GeneratorEntranceRow& e : std::as_const(entrances_)) {
        if (e.idDom != house.idDom) continue;
        const int n = perEntrance.value(e.idPod, 0);
        if (n != e.kvvT &&
            !exec(QStringLiteral("UPDATE k_pod SET kvv_t=? WHERE id_pod=?"), {n, e.idPod}))
            return false;
    }
    return true;
}

bool GenerationRun::countRepeats() {
    bool ignoreAll = false;
    for (const GeneratorHouseRow& house : std::as_const(houses_)) {
        int repeats = 0;
        QHash<qint64, int> perEntrance;
        if (!countHouseRepeats(house, &repeats, &perEntrance, &ignoreAll) ||
            !writeRepeatCounts(house, repeats, perEntrance))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- the run

bool GenerationRun::generate() {
    SqlTransaction tr(db_);
    if (!tr.started()) return fail(tr.LastError());
    if (!held_.StillThereIn(tr)) {
        heldGone_ = true;
        return false;
    }
    if (!prepareWrites()) return false;
    markRows();
    for (const GeneratorEntranceRow& e : std::as_const(entrances_)) {
        const EntranceRows rows = rowsOf(e.idPod);
        int pos = 1;
        if (!walk(e, rows, &pos) || !placeRest(e, rows, &pos)) return false;
        step();
    }
    const bool ok = writeRows() && deleteLeftovers() && recountEntrances() &&
                    (answer_ == Answer::DropManual || countRepeats()) &&
                    ObjectState::Apply(db_, idNet_, ObjectState::AfterApartmentsChanged, &error_) &&
                    (tr.Commit() || fail(tr.LastError()));
    return ok;
}

GenerationResult GenerationRun::Run(int keysPerApartment, const std::function<void()>& workStart) {
    if (!readObject() || !readHouses() || !readEntrances() || !readRows()) {
        SiteData::ShowFailure(QStringLiteral("Квартиры не созданы."), error_);
        return GenerationResult::Failed;
    }
    const std::optional<Answer> answer = ask();
    if (!answer) return GenerationResult::Cancelled;
    answer_ = *answer;
    if (!storeKeyQuota(keysPerApartment)) {
        SiteData::ShowFailure(QStringLiteral("Количество ключей не сохранено."), error_);
        return GenerationResult::Failed;
    }
    if (workStart) workStart();
    int total = 0;  // an object without entrances has nothing to sum
    for (const GeneratorEntranceRow& e : std::as_const(entrances_)) total += e.count;
    gaugeMax_ = total * 2 + object_.vPod * 5 + 4;
    step(0);
    if (!rangesEntered()) {
        Dialogs::Message(GenerationTexts::kRangesCaption, GenerationTexts::kRangesMissing,
                         DlgButtons::Ok, DlgIcon::Error);
        return GenerationResult::Refused;
    }
    if (!generate()) {
        if (heldGone_) return GenerationResult::Refused;
        SiteData::ShowFailure(QStringLiteral("Квартиры не созданы."), error_);
        return GenerationResult::Failed;
    }
    return GenerationResult::Done;
}

}  // namespace

namespace {

// The object's datasets after a run: reopening the object reopens every open
// dataset that hangs on it, the apartment and key lists among them, each once
// and on its first row; a closed one reads the new rows when first read.
//
// The lists of every apartment of the object are not shown on the entrance
// screen, where a run starts, and are the largest reads; they (and the keys
// of the apartment the key list stands on) read their new rows on first use.
void showGeneratedRows() {
    const Dataset::DeferredRefresh onFirstUse({FDM->Q_kv, FDM->QForKey});
    SiteData::ReopenObjectKeepingPlace();
}

}  // namespace

GenerationResult ApartmentGenerator::Run(int keysPerApartment) {
    codeLength_ = prefixLength_ = 0;
    const qint64 idNet = SiteData::CurrentObjectId();
    if (!FDM || idNet == 0) return GenerationResult::Failed;
    GenerationResult result;
    {
        GenerationRun run(FDM->ConnectionDB(), idNet, progress_, corrector_, held_);
        result = run.Run(keysPerApartment, workStart_);
        codeLength_ = run.CodeLength();
        prefixLength_ = run.PrefixLength();
        if (progress_) progress_(0, 0, false);
    }
    if (result != GenerationResult::Cancelled) showGeneratedRows();
    if (result == GenerationResult::Done && CodeAndPrefixLength() > kMaxCallLength)
        Dialogs::Message(GenerationTexts::kLengthCaption, GenerationTexts::kCodeTooLong,
                         DlgButtons::Ok, DlgIcon::Error);
    return result;
}
