#include "platform/Dataset.h"

#include "platform/DatabaseErrorText.h"
#include "platform/DatasetSchema.h"
#include "platform/SqlTransaction.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QtGlobal>

#include <algorithm>
#include <optional>

namespace {

using DatasetSchema::TableInfo;

QString quoted(const QString& identifier) {
    return '"' + QString(identifier).replace('"', "\"\"") + '"';
}

bool isNumeric(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Bool:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::UChar:
            return true;
        default:
            return false;
    }
}

bool sameValue(const QVariant& a, const QVariant& b, int options = 0) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    if (isNumeric(a) && isNumeric(b)) return a.toDouble() == b.toDouble();
    const QString sa = a.toString();
    const QString sb = b.toString();
    const Qt::CaseSensitivity cs =
        (options & LocateCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (options & LocatePartialKey) return sa.startsWith(sb, cs);
    return sa.compare(sb, cs) == 0;
}

bool isBlank(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); });
}

bool isIdentStart(QChar c) {
    return c.isLetter() || c == '_';
}
bool isIdentChar(QChar c) {
    return c.isLetterOrNumber() || c == '_' || c == '.';
}

}  // namespace

// ---------------------------------------------------------------- Field

QVariant Field::Value() const {
    if (index_ < 0 || !ds_) return QVariant();
    ds_->readIfPending();
    if (ds_->cur_ < 0) return QVariant();
    return ds_->rows_[ds_->cur_][index_];
}

bool Field::IsNull() const {
    return Value().isNull();
}
int Field::AsInt() const {
    return Value().toInt();
}
qint64 Field::AsLargeInt() const {
    return Value().toLongLong();
}
double Field::AsFloat() const {
    return Value().toDouble();
}

bool Field::AsBool() const {
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        return s.compare("true", Qt::CaseInsensitive) == 0 || s.toLongLong() != 0;
    }
    return v.toDouble() != 0;
}

QString Field::AsString() const {
    return Value().toString();
}

void Field::SetValue(const QVariant& value) {
    if (!ds_) return;
    if (index_ < 0) {
        if (ds_->state_ == DsState::Browse) ds_->Edit();
        ds_->fieldError_ = QStringLiteral("Поле '%1' не найдено").arg(name_);
        qWarning("Dataset %s: no field %s", qPrintable(ds_->name_), qPrintable(name_));
        return;
    }
    ds_->setField(index_, value);
}

// ---------------------------------------------------------------- Dataset

Dataset::Dataset(const QString& name, const QString& connectionName, QObject* parent)
    : QObject(parent), name_(name), connection_(connectionName) {
    setObjectName(name);
}

Dataset::~Dataset() {
    if (master_) master_->details_.removeAll(this);
    for (Dataset* d : std::as_const(details_)) d->master_ = nullptr;
}

void Dataset::SetConnectionName(const QString& connectionName) {
    Close();
    select_.Release();
    connection_ = connectionName;
    schemaVersion_ = -1;
}

QSqlDatabase Dataset::Database() const {
    return connection_.isEmpty() ? QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
                                 : QSqlDatabase::database(connection_, false);
}

bool Dataset::failOn(const QSqlError& error, const QString& statement) {
    fail(LoggedDatabaseReason(error, statement, SqliteConnection(Database())));
    lastCode_ = DatabaseResultCode(error);
    return false;
}

bool Dataset::fail(const QString& message) {
    lastError_ = message;
    lastCode_ = 0;
    qWarning("Dataset %s: %s", qPrintable(name_), qPrintable(message));
    return false;
}

// ---------------------------------------------------------------- SQL text

void Dataset::SetSql(const QString& sql) {
    Close();
    sql_ = sql;
    selectMode_ = false;
    sources_.clear();
    schemaVersion_ = -1;
    expanded_ = sql_;
    parseParams(expanded_);
}

void Dataset::AddSql(const QString& line) {
    SetSql(sql_.isEmpty() ? line : sql_ + '\n' + line);
}

void Dataset::SetSelect(const QList<Source>& sources, const QString& tail,
                        const QString& primaryAlias) {
    Close();
    selectMode_ = true;
    sources_ = sources;
    tail_ = tail;
    primaryAlias_ = primaryAlias;
    updateTable_.clear();
    schemaVersion_ = -1;
    QStringList from;
    for (const Source& s : sources) from << (s.alias.isEmpty() ? s.table : s.table + ' ' + s.alias);
    sql_ = "SELECT * FROM " + from.join(", ") + ' ' + tail;
    expanded_.clear();
    parseParams(tail_);
}

void Dataset::SetUpdateTable(const QString& table, const QString& keyField) {
    updateTable_ = table;
    updateKey_ = keyField;
    schemaVersion_ = -1;
}

void Dataset::parseParams(const QString& text) {
    QList<ParamSlot> previous = params_;
    params_.clear();
    paramOrder_.clear();
    prepared_.clear();
    prepared_.reserve(text.size());

    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            prepared_ += c;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            prepared_ += c;
            continue;
        }
        const bool startsParam = c == ':' && i + 1 < text.size() && isIdentStart(text[i + 1]) &&
                                 (i == 0 || text[i - 1] != ':');
        if (!startsParam) {
            prepared_ += c;
            continue;
        }
        qsizetype j = i + 1;
        while (j < text.size() && isIdentChar(text[j])) ++j;
        while (j > i + 1 && text[j - 1] == '.') --j;
        const QString name = text.mid(i + 1, j - i - 1);
        paramOrder_ << name;
        prepared_ += '?';
        i = j - 1;
    }

    // Parameter list in order of first appearance; values survive a new text.
    static const QRegularExpression linkRe(
        QStringLiteral(R"(([A-Za-z_][\w.]*)\s*=\s*:([A-Za-z_][\w.]*))"));
    for (const QString& name : std::as_const(paramOrder_)) {
        bool known = false;
        for (const ParamSlot& p : std::as_const(params_))
            if (p.name.compare(name, Qt::CaseInsensitive) == 0) known = true;
        if (known) continue;
        ParamSlot p;
        p.name = name;
        for (const ParamSlot& old : std::as_const(previous))
            if (old.name.compare(name, Qt::CaseInsensitive) == 0) p.value = old.value;
        auto it = linkRe.globalMatch(text);
        while (it.hasNext()) {
            const auto m = it.next();
            if (m.captured(2).compare(name, Qt::CaseInsensitive) == 0) {
                p.linkColumn = m.captured(1);
                break;
            }
        }
        params_ << p;
    }
}

QStringList Dataset::ParamNames() const {
    QStringList names;
    for (const ParamSlot& p : params_) names << p.name;
    return names;
}

void Dataset::SetParam(const QString& name, const QVariant& value) {
    for (ParamSlot& p : params_)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) {
            p.value = value;
            return;
        }
    qWarning("Dataset %s: no parameter %s", qPrintable(name_), qPrintable(name));
}

QVariant Dataset::Param(const QString& name) const {
    for (const ParamSlot& p : params_)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) return p.value;
    return QVariant();
}

void Dataset::SetMaster(Dataset* master, const QMap<QString, QString>& links) {
    if (master_) master_->details_.removeAll(this);
    master_ = master;
    linkOverrides_ = links;
    if (master_) master_->details_ << this;
}

// Writes the column list of a SetSelect text from the tables as they are now.
bool Dataset::expandSelect() {
    const QSqlDatabase db = Database();
    QVector<TableInfo> infos;
    QHash<QString, int> uses;
    for (const Source& s : std::as_const(sources_)) {
        TableInfo info = DatasetSchema::Table(db, s.table, schemaVersion_);
        if (!info.exists) return fail(QStringLiteral("Таблица %1 не найдена").arg(s.table));
        for (const QString& c : std::as_const(info.columns)) ++uses[c.toLower()];
        infos << info;
    }

    fields_.clear();
    ++layout_;
    targets_.clear();
    primary_ = 0;
    QStringList columns;
    QStringList hidden;
    QVector<FieldInfo> hiddenFields;
    for (int t = 0; t < sources_.size(); ++t) {
        const Source& s = sources_[t];
        const QString ref = s.alias.isEmpty() ? s.table : s.alias;
        Target target{s.table, s.alias, infos[t].keyColumn, -1};
        if (!primaryAlias_.isEmpty() && s.alias.compare(primaryAlias_, Qt::CaseInsensitive) == 0)
            primary_ = t;
        for (const QString& c : std::as_const(infos[t].columns)) {
            const bool shared = uses.value(c.toLower()) > 1;
            const QString name = shared ? ref + '.' + c : c;
            columns << ref + '.' + quoted(c) + " AS " + quoted(name);
            if (c.compare(target.keyColumn, Qt::CaseInsensitive) == 0)
                target.keyField = fields_.size();
            fields_ << FieldInfo{name, t, c};
        }
        if (target.keyField < 0) {
            const QString name = ref + ".rowid";
            hidden << ref + ".rowid AS " + quoted(name);
            hiddenFields << FieldInfo{name, -1, QString()};
            target.keyField = -(hiddenFields.size());  // fixed below
        }
        targets_ << target;
    }
    visibleFields_ = fields_.size();
    for (Target& t : targets_)
        if (t.keyField < 0) t.keyField = visibleFields_ + (-t.keyField - 1);
    fields_ += hiddenFields;
    columns += hidden;

    QStringList from;
    for (const Source& s : std::as_const(sources_))
        from << (s.alias.isEmpty() ? s.table : s.table + ' ' + s.alias);
    expanded_ = "SELECT " + columns.join(", ") + " FROM " + from.join(", ") + ' ' + tail_;
    parseParams(expanded_);
    fieldIndex_.clear();
    for (int i = 0; i < visibleFields_; ++i) fieldIndex_.insert(fields_[i].name.toLower(), i);
    // The rowid of a table without a key is read by name ("t_bp.rowid"), never shown.
    for (int i = visibleFields_; i < fields_.size(); ++i)
        fieldIndex_.insert(fields_[i].name.toLower(), i);
    return true;
}

// Maps the result columns of a SetSql text onto its declared update table.
bool Dataset::resolveUpdateTable() {
    targets_.clear();
    primary_ = -1;
    for (FieldInfo& f : fields_) {
        f.target = -1;
        f.column.clear();
    }
    if (updateTable_.isEmpty()) return true;
    const TableInfo info = DatasetSchema::Table(Database(), updateTable_, schemaVersion_);
    if (!info.exists) return fail(QStringLiteral("Таблица %1 не найдена").arg(updateTable_));
    Target target{updateTable_, QString(), info.keyColumn, -1};
    const QString keyField = updateKey_.isEmpty() ? info.keyColumn : updateKey_;
    if (!updateKey_.isEmpty() && updateKey_.compare("rowid", Qt::CaseInsensitive) != 0)
        target.keyColumn = updateKey_;
    for (int i = 0; i < fields_.size(); ++i) {
        for (const QString& c : info.columns)
            if (c.compare(fields_[i].name, Qt::CaseInsensitive) == 0) {
                fields_[i].target = 0;
                fields_[i].column = c;
            }
        if (fields_[i].name.compare(keyField, Qt::CaseInsensitive) == 0) target.keyField = i;
    }
    targets_ << target;
    primary_ = 0;
    return true;
}

// The kept select follows a schema change made since it was prepared (by
// another connection, noticed only when it ran); the column list written out
// for it and the update table's columns must follow too.
bool Dataset::schemaMovedUnderSelect(bool ran) {
    if (!selectMode_ && updateTable_.isEmpty()) return false;
    if (ran && !select_.Reprepared()) return false;
    const qint64 now = DatasetSchema::Version(Database());
    return now >= 0 && now != schemaVersion_;
}

bool Dataset::prepareText() {
    if (!selectMode_ && updateTable_.isEmpty()) return true;
    const qint64 version = DatasetSchema::Version(Database());
    if (version == schemaVersion_ && (!selectMode_ || !expanded_.isEmpty())) return true;
    schemaVersion_ = version;
    if (selectMode_ && !expandSelect()) {
        schemaVersion_ = -1;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- open/close

// The master field a parameter takes: the same name, or for an aliased name
// (p.id_pod) the plain one when the master's select has no such alias.
static int masterFieldOf(const Dataset* master, const QString& param) {
    int f = master->FieldIndex(param);
    if (f < 0 && param.contains('.')) f = master->FieldIndex(param.section('.', -1));
    return f;
}

void Dataset::takeMasterValues() {
    if (!master_) return;
    for (ParamSlot& p : params_) {
        const int f = masterFieldOf(master_, p.name);
        if (f >= 0) p.value = master_->IsOpen() ? Field(master_, f, p.name).Value() : QVariant();
    }
}

bool Dataset::runSelect() {
    QSqlDatabase db = Database();
    if (!db.isOpen()) return fail(QStringLiteral("Нет соединения с базой данных"));
    if (isBlank(expanded_)) return fail(QStringLiteral("Пустой текст запроса"));
    QVariantList values;
    values.reserve(paramOrder_.size());
    for (const QString& name : std::as_const(paramOrder_)) values << Param(name);
    QString error;
    if (!select_.Run(db, prepared_, values, &rows_, &error)) return fail(error);

    const int columns = select_.ColumnCount();
    if (columns == 0) return fail(QStringLiteral("Запрос не возвращает строк"));
    if (selectMode_) {
        if (columns != fields_.size()) return fail(QStringLiteral("Состав полей изменился"));
        return true;
    }
    fields_.clear();
    fieldIndex_.clear();
    ++layout_;
    for (int i = 0; i < columns; ++i) {
        const QString name = select_.ColumnName(i);
        fields_ << FieldInfo{name, -1, QString()};
        // The first of two equal names wins, as lookups by name expect.
        if (!fieldIndex_.contains(name.toLower())) fieldIndex_.insert(name.toLower(), i);
    }
    visibleFields_ = columns;
    return resolveUpdateTable();
}

bool Dataset::Open() {
    if (IsOpen()) return true;
    openRefused_ = false;
    fieldError_.clear();
    clearError();
    takeMasterValues();
    bool ok = prepareText() && runSelect();
    if (schemaMovedUnderSelect(ok)) {
        clearError();
        ok = prepareText() && runSelect();
    }
    if (!ok) {
        rows_.clear();
        state_ = DsState::Inactive;
        cur_ = -1;
        eof_ = bof_ = true;
        emit RowsReset();
        return false;
    }
    state_ = DsState::Browse;
    cur_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    lastLinkValues_.clear();
    emit RowsReset();
    notifyMoved(-2);
    return true;
}

void Dataset::Close() {
    openRefused_ = false;
    if (!IsOpen()) return;
    if (state_ == DsState::Insert || state_ == DsState::Edit) Cancel();
    state_ = DsState::Inactive;
    // Whoever is told of the close sees it closed, and does not open it
    // again from inside the close (its connection may be closing too).
    const bool wasSettling = settling_;
    settling_ = true;
    showNoRows();
    settling_ = wasSettling;
    rows_.squeeze();
}

bool Dataset::Reopen() {
    // Unread rows are read once, on the first row where they would stand.
    if (stale_) return readStale();
    const int recNo = RecNo();
    DisableControls();
    Close();
    const bool ok = Open();
    if (ok && recNo > 0) SetRecNo(recNo);
    EnableControls();
    return ok;
}

bool Dataset::ExecSql(int* rowsAffected) {
    clearError();
    if (!prepareText()) return false;
    QSqlDatabase db = Database();
    if (!db.isOpen()) return fail(QStringLiteral("Нет соединения с базой данных"));
    takeMasterValues();
    QSqlQuery q(db);
    if (!q.prepare(prepared_)) return failOn(q.lastError(), prepared_);
    for (int i = 0; i < paramOrder_.size(); ++i) q.bindValue(i, Param(paramOrder_[i]));
    if (!q.exec()) return failOn(q.lastError(), prepared_);
    if (rowsAffected) *rowsAffected = q.numRowsAffected();
    return true;
}

void Dataset::DisableControls() {
    ++disabled_;
}

void Dataset::EnableControls() {
    if (disabled_ > 0) --disabled_;
    if (disabled_ == 0 && movedWhileDisabled_) {
        movedWhileDisabled_ = false;
        emit CurrentChanged(cur_);
        refreshDetails();
    }
}

// ---------------------------------------------------------------- moving

void Dataset::notifyMoved(int previous) {
    if (previous == cur_) return;
    if (disabled_ > 0) {
        movedWhileDisabled_ = true;
        return;
    }
    emit CurrentChanged(cur_);
    refreshDetails();
}

void Dataset::setCurrent(int row) {
    const int previous = cur_;
    cur_ = row;
    notifyMoved(previous);
}

void Dataset::refreshDetails() {
    for (Dataset* d : std::as_const(details_)) d->masterChanged();
}

// The master moved, reopened or closed: take its row again.
void Dataset::masterChanged() {
    if (!IsOpen()) return;
    // A pending edit is kept, as when the dataset itself moves.
    if ((state_ == DsState::Insert || state_ == DsState::Edit) && !Post()) Cancel();
    // A master closed: rows of a detail that opens when read are unknown
    // until the master is read again, and so are read with it.
    if (opensWhenRead_ && master_ && !master_->IsOpen()) {
        Close();
        return;
    }
    // No master row: every parameter is null and nothing can match.
    if (!master_ || !master_->IsOpen() || master_->RecNo() < 1) {
        showNoRows();
        return;
    }
    if (deferring_ > 0) {
        markStale();
        return;
    }
    DisableControls();
    Close();
    Open();
    EnableControls();
}

void Dataset::showNoRows() {
    stale_ = false;
    rows_.clear();
    cur_ = -1;
    eof_ = bof_ = true;
    emit RowsReset();
    notifyMoved(-2);
}

bool Dataset::checkBrowse() {
    if (state_ == DsState::Edit || state_ == DsState::Insert) return Post();
    return true;
}

void Dataset::SetRecNo(int n) {
    readIfPending();
    if (!IsOpen() || !checkBrowse()) return;
    bof_ = eof_ = rows_.isEmpty();
    if (rows_.isEmpty()) return;
    setCurrent(qBound(1, n, int(rows_.size())) - 1);
}

void Dataset::First() {
    readIfPending();
    if (!IsOpen() || !checkBrowse()) return;
    bof_ = true;
    eof_ = rows_.isEmpty();
    setCurrent(rows_.isEmpty() ? -1 : 0);
}

void Dataset::Last() {
    readIfPending();
    if (!IsOpen() || !checkBrowse()) return;
    eof_ = true;
    bof_ = rows_.isEmpty();
    setCurrent(int(rows_.size()) - 1);
}

void Dataset::Next() {
    readIfPending();
    if (!IsOpen() || !checkBrowse()) return;
    bof_ = false;
    if (cur_ + 1 < rows_.size()) {
        eof_ = false;
        setCurrent(cur_ + 1);
    } else {
        eof_ = true;
    }
}

void Dataset::Prior() {
    readIfPending();
    if (!IsOpen() || !checkBrowse()) return;
    eof_ = false;
    if (cur_ > 0) {
        bof_ = false;
        setCurrent(cur_ - 1);
    } else {
        bof_ = true;
    }
}

bool Dataset::Locate(const QString& fields, const QVariantList& values, int options) {
    readIfPending();
    if (!IsOpen() || !checkBrowse()) return false;
    const QStringList names = fields.split(';', Qt::SkipEmptyParts);
    QVector<int> idx;
    for (const QString& n : names) {
        const int i = indexOf(n.trimmed());
        if (i < 0) {
            fail(QStringLiteral("Поле '%1' не найдено").arg(n.trimmed()));
            return false;
        }
        idx << i;
    }
    if (idx.isEmpty() || idx.size() != values.size()) return false;
    for (int r = 0; r < rows_.size(); ++r) {
        bool match = true;
        for (int k = 0; k < idx.size() && match; ++k)
            match = sameValue(rows_[r][idx[k]], values[k], options);
        if (match) {
            bof_ = eof_ = false;
            setCurrent(r);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- fields

QStringList Dataset::FieldNames() const {
    readIfPending();
    QStringList names;
    for (int i = 0; i < visibleFields_; ++i) names << fields_[i].name;
    return names;
}

int Dataset::FieldIndex(const QString& name) const {
    readIfPending();
    return indexOf(name);
}

Field Dataset::FieldByName(const QString& name) {
    const int i = FieldIndex(name);
    if (i < 0) qWarning("Dataset %s: no field %s", qPrintable(name_), qPrintable(name));
    return Field(this, i, name);
}

Field Dataset::Fields(int index) {
    readIfPending();
    if (index < 0 || index >= visibleFields_) return Field(this, -1, QString::number(index));
    return Field(this, index, fields_[index].name);
}

QVariant Dataset::Value(int row, int field) const {
    readIfPending();
    if (row < 0 || row >= rows_.size() || field < 0 || field >= visibleFields_) return QVariant();
    return rows_[row][field];
}

bool Dataset::FieldWritable(int field) const {
    return field >= 0 && field < visibleFields_ && fields_[field].target >= 0;
}

// ---------------------------------------------------------------- editing

void Dataset::Edit() {
    readIfPending();
    if (state_ != DsState::Browse) return;
    if (rows_.isEmpty()) {
        Append();
        return;
    }
    original_ = rows_[cur_];
    changed_.fill(false, fields_.size());
    fieldError_.clear();
    state_ = DsState::Edit;
}

void Dataset::setField(int index, const QVariant& value) {
    readIfPending();
    if (state_ == DsState::Browse) Edit();
    if ((state_ != DsState::Edit && state_ != DsState::Insert) || cur_ < 0) {
        fieldError_ = QStringLiteral("Набор данных %1 закрыт").arg(name_);
        qWarning("Dataset %s: write to %s while closed", qPrintable(name_),
                 qPrintable(fields_.value(index).name));
        return;
    }
    if (fields_[index].target < 0 && fieldError_.isEmpty())
        fieldError_ = QStringLiteral("Поле '%1' нельзя изменить").arg(fields_[index].name);
    rows_[cur_][index] = value;
    changed_[index] = true;
    emit RowChanged(cur_);
}

void Dataset::Append() {
    readIfPending();
    if (!IsOpen() || !checkBrowse()) return;
    rows_.append(QVector<QVariant>(fields_.size()));
    original_.clear();
    changed_.fill(false, fields_.size());
    fieldError_.clear();
    state_ = DsState::Insert;
    bof_ = eof_ = false;
    emit RowInserted(int(rows_.size()) - 1);
    fillLinkColumns();
    setCurrent(int(rows_.size()) - 1);
}

// A new detail row belongs to the master's current row.
void Dataset::fillLinkColumns() {
    if (!master_) return;
    for (const ParamSlot& p : std::as_const(params_)) {
        if (masterFieldOf(master_, p.name) < 0) continue;
        QString column = linkOverrides_.value(p.name, p.linkColumn);
        if (column.isEmpty()) continue;
        int f = indexOf(column);
        if (f < 0 && column.contains('.')) f = indexOf(column.section('.', -1));
        if (f < 0 || p.value.isNull()) continue;
        rows_.last()[f] = p.value;
        changed_[f] = true;
    }
}

void Dataset::Cancel() {
    if (state_ == DsState::Edit) {
        rows_[cur_] = original_;
        state_ = DsState::Browse;
        emit RowChanged(cur_);
    } else if (state_ == DsState::Insert) {
        const int row = cur_;
        rows_.removeAt(row);
        state_ = DsState::Browse;
        emit RowRemoved(row);
        cur_ = -1;
        eof_ = rows_.isEmpty();
        bof_ = rows_.isEmpty();
        setCurrent(rows_.isEmpty() ? -1 : qMin(row, int(rows_.size()) - 1));
    }
    fieldError_.clear();
}

// Whether a posted row moved the rows of its open details. A detail that is
// closed, or stale, takes the row's values when it is read; one that was
// never read holds none, which must not count as a change, or every open
// detail would be read again on its first row after each write to the master.
bool Dataset::linkValuesChanged() const {
    for (const Dataset* d : details_) {
        if (!d->IsOpen() || d->stale_) continue;
        for (const ParamSlot& p : d->params_) {
            const int f = masterFieldOf(this, p.name);
            if (f >= 0 && !sameValue(rows_[cur_][f], p.value)) return true;
        }
    }
    return false;
}

bool Dataset::Post() {
    // A value written while the dataset was closed was stored nowhere.
    if (state_ == DsState::Inactive && !fieldError_.isEmpty()) {
        const QString why = fieldError_;
        fieldError_.clear();
        return fail(why);
    }
    if (state_ != DsState::Edit && state_ != DsState::Insert) return true;
    clearError();
    if (!fieldError_.isEmpty()) return fail(fieldError_);
    const bool inserting = state_ == DsState::Insert;
    if (!(inserting ? writeInsert() : writeUpdate())) return false;
    state_ = DsState::Browse;
    emit RowChanged(cur_);
    if (inserting || linkValuesChanged()) {
        if (disabled_ > 0)
            movedWhileDisabled_ = true;
        else
            refreshDetails();
    }
    if (afterPost_) afterPost_(*this);
    return true;
}

bool Dataset::writeUpdate() {
    QSqlDatabase db = Database();
    QVector<QStringList> sets(targets_.size());
    QVector<QVariantList> values(targets_.size());
    for (int i = 0; i < fields_.size(); ++i) {
        if (!changed_.value(i) || sameValue(rows_[cur_][i], original_[i])) continue;
        const int t = fields_[i].target;
        if (t < 0) return fail(QStringLiteral("Поле '%1' нельзя изменить").arg(fields_[i].name));
        sets[t] << quoted(fields_[i].column) + "=?";
        values[t] << rows_[cur_][i];
    }
    int touched = 0;
    for (const QStringList& s : sets) touched += s.isEmpty() ? 0 : 1;
    if (touched == 0) return true;

    // Several base tables change together or not at all.
    std::optional<SqlTransaction> together;
    if (touched > 1) {
        together.emplace(db);
        if (!together->started()) return fail(together->LastError());
    }
    auto rollback = [&](const QString& message) {
        if (together) together->Rollback();
        return fail(message);
    };
    auto rollbackOn = [&](const QSqlQuery& failed) {
        const QSqlError error = failed.lastError();
        const QString statement = failed.lastQuery();
        if (together) together->Rollback();
        return failOn(error, statement);
    };
    for (int t = 0; t < targets_.size(); ++t) {
        if (sets[t].isEmpty()) continue;
        const Target& target = targets_[t];
        if (target.keyField < 0)
            return rollback(
                QStringLiteral("У набора %1 нет ключа таблицы %2").arg(name_, target.table));
        QSqlQuery q(db);
        q.prepare(
            "UPDATE " + quoted(target.table) + " SET " + sets[t].join(", ") + " WHERE " +
            (target.keyColumn == "rowid" ? QStringLiteral("rowid") : quoted(target.keyColumn)) +
            "=?");
        int b = 0;
        for (const QVariant& v : values[t]) q.bindValue(b++, v);
        q.bindValue(b, original_[target.keyField]);
        if (!q.exec()) return rollbackOn(q);
        if (q.numRowsAffected() < 1)
            return rollback(QStringLiteral("Запись не найдена: возможно, её удалили"));
    }
    if (together && !together->Commit()) return rollback(together->LastError());
    return true;
}

bool Dataset::writeInsert() {
    if (primary_ < 0 || primary_ >= targets_.size())
        return fail(QStringLiteral("Набор %1 не изменяется").arg(name_));
    QSqlDatabase db = Database();
    QStringList columns;
    QVariantList values;
    for (int i = 0; i < fields_.size(); ++i) {
        if (!changed_.value(i)) continue;
        if (fields_[i].target != primary_) {
            if (fields_[i].target < 0)
                return fail(QStringLiteral("Поле '%1' нельзя изменить").arg(fields_[i].name));
            continue;
        }
        columns << quoted(fields_[i].column);
        values << rows_[cur_][i];
    }
    QSqlQuery q(db);
    const QString table = quoted(targets_[primary_].table);
    if (columns.isEmpty()) {
        q.prepare("INSERT INTO " + table + " DEFAULT VALUES");
    } else {
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i) marks << "?";
        q.prepare("INSERT INTO " + table + " (" + columns.join(", ") + ") VALUES (" +
                  marks.join(", ") + ")");
        for (int i = 0; i < values.size(); ++i) q.bindValue(i, values[i]);
    }
    if (!q.exec()) return failOn(q.lastError(), q.lastQuery());
    // A trigger of the file may let the statement through without its row;
    // the connection's last row number is then another row's.
    if (q.numRowsAffected() < 1) return fail(NoNewRowReason());
    return rereadRow(primary_, QStringLiteral("rowid"), q.lastInsertId());
}

// Takes the stored row back after an insert (defaults and the new key), or
// after a write of its own that bypassed the dataset: the row found by key
// in keyColumn.
bool Dataset::rereadRow(int targetIndex, const QString& keyColumn, const QVariant& key) {
    QStringList columns;
    QVector<int> into;
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].target == targetIndex) {
            columns << quoted(fields_[i].column);
            into << i;
        }
    const Target& target = targets_[targetIndex];
    const bool hiddenKey = target.keyField >= visibleFields_;
    if (hiddenKey) {
        columns << "rowid";
        into << target.keyField;
    }
    if (columns.isEmpty()) return true;
    QSqlQuery q(Database());
    q.prepare("SELECT " + columns.join(", ") + " FROM " + quoted(target.table) + " WHERE " +
              (keyColumn == "rowid" ? keyColumn : quoted(keyColumn)) + "=?");
    q.bindValue(0, key);
    if (!q.exec()) return failOn(q.lastError(), q.lastQuery());
    if (!q.next()) return fail(QStringLiteral("Новая запись не найдена"));
    for (int k = 0; k < into.size(); ++k) rows_[cur_][into[k]] = q.value(k);
    return true;
}

bool Dataset::RereadCurrentRow(const QString& table) {
    readIfPending();
    if (state_ != DsState::Browse || cur_ < 0) return false;
    for (int t = 0; t < targets_.size(); ++t) {
        const Target& target = targets_[t];
        if (target.table.compare(table, Qt::CaseInsensitive) != 0 || target.keyField < 0) continue;
        if (!rereadRow(t, target.keyColumn, rows_[cur_][target.keyField])) return false;
        emit RowChanged(cur_);
        return true;
    }
    return false;
}

bool Dataset::Delete() {
    readIfPending();
    if (state_ == DsState::Insert) {
        Cancel();
        return true;
    }
    if (state_ == DsState::Edit) Cancel();
    if (!IsOpen() || cur_ < 0) return fail(QStringLiteral("Нет записи для удаления"));
    clearError();
    if (primary_ < 0 || primary_ >= targets_.size() || targets_[primary_].keyField < 0)
        return fail(QStringLiteral("Набор %1 не изменяется").arg(name_));
    const Target& target = targets_[primary_];
    QSqlQuery q(Database());
    q.prepare("DELETE FROM " + quoted(target.table) + " WHERE " +
              (target.keyColumn == "rowid" ? QStringLiteral("rowid") : quoted(target.keyColumn)) +
              "=?");
    q.bindValue(0, rows_[cur_][target.keyField]);
    if (!q.exec()) return failOn(q.lastError(), q.lastQuery());

    const int row = cur_;
    rows_.removeAt(row);
    emit RowRemoved(row);
    cur_ = -1;
    eof_ = rows_.isEmpty();
    bof_ = rows_.isEmpty();
    setCurrent(rows_.isEmpty() ? -1 : qMin(row, int(rows_.size()) - 1));
    if (afterDelete_) afterDelete_(*this);
    return true;
}
