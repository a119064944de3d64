#include "foundation/ColumnDefault.h"

#include "platform/DatabaseErrorText.h"
#include "platform/SqlTransaction.h"

#include <QList>
#include <algorithm>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace {

// ---------------------------------------------------------------- the CREATE text

struct Token {
    enum Kind { Word, Literal, Open, Close, Comma, Other } kind;
    qsizetype begin;
    qsizetype end;
};

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Position after the quoted run that starts at i with quote and ends with
// close; a doubled closing quote stays inside.
qsizetype afterQuoted(const QString& sql, qsizetype i, QChar close) {
    for (++i; i < sql.size(); ++i) {
        if (sql[i] != close) continue;
        if (i + 1 < sql.size() && sql[i + 1] == close && close != u']') {
            ++i;
            continue;
        }
        return i + 1;
    }
    return sql.size();
}

// Comments and blanks are skipped; what is left is enough to find a column's
// definition and its DEFAULT clause.
QList<Token> tokens(const QString& sql) {
    QList<Token> out;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql[i];
        const QChar next = i + 1 < n ? sql[i + 1] : QChar();
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && next == u'-') {
            while (i < n && sql[i] != u'\n') ++i;
        } else if (c == u'/' && next == u'*') {
            const qsizetype close = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = close < 0 ? n : close + 2;
        } else if (c == u'\'') {
            const qsizetype end = afterQuoted(sql, i, u'\'');
            out.append({Token::Literal, i, end});
            i = end;
        } else if (c == u'"' || c == u'`' || c == u'[') {
            const qsizetype end = afterQuoted(sql, i, c == u'[' ? QChar(u']') : c);
            out.append({Token::Word, i, end});
            i = end;
        } else if (isWordChar(c)) {
            qsizetype end = i;
            while (end < n && (isWordChar(sql[end]) || sql[end] == u'.')) ++end;
            out.append({Token::Word, i, end});
            i = end;
        } else {
            const Token::Kind kind = c == u'('   ? Token::Open
                                     : c == u')' ? Token::Close
                                     : c == u',' ? Token::Comma
                                                 : Token::Other;
            out.append({kind, i, i + 1});
            ++i;
        }
    }
    return out;
}

QString unquoted(const QString& word) {
    if (word.size() >= 2 && (word.front() == u'"' || word.front() == u'`' || word.front() == u'['))
        return word.mid(1, word.size() - 2);
    return word;
}

// The tokens [first, last) of the column's definition inside the table's
// outer parentheses; first < 0 when there is none.
struct Definition {
    int first = -1;
    int last = -1;
};

Definition findDefinition(const QString& sql, const QList<Token>& t, const QString& column) {
    int depth = 0;
    int start = -1;
    for (int i = 0; i < t.size(); ++i) {
        const Token::Kind kind = t[i].kind;
        if (kind == Token::Open && ++depth == 1) {
            start = i + 1;
            continue;
        }
        if (kind == Token::Close && --depth == 0) {
            if (start >= 0 && start < i) {
                const Token& name = t[start];
                if (unquoted(sql.mid(name.begin, name.end - name.begin))
                        .compare(column, Qt::CaseInsensitive) == 0)
                    return {start, i};
            }
            return {};
        }
        if (kind == Token::Comma && depth == 1) {
            const Token& name = t[start];
            if (start < i && unquoted(sql.mid(name.begin, name.end - name.begin))
                                     .compare(column, Qt::CaseInsensitive) == 0)
                return {start, i};
            start = i + 1;
        }
    }
    return {};
}

// The last token of the value that starts at token i: a signed number, a
// literal, a word or a parenthesised expression.
int valueEnd(const QString& sql, const QList<Token>& t, int i, int last) {
    if (i < last && t[i].kind == Token::Other &&
        (sql[t[i].begin] == u'-' || sql[t[i].begin] == u'+'))
        ++i;
    if (i >= last) return -1;
    if (t[i].kind != Token::Open) return i;
    int depth = 0;
    for (int j = i; j < last; ++j) {
        if (t[j].kind == Token::Open) ++depth;
        if (t[j].kind == Token::Close && --depth == 0) return j;
    }
    return -1;
}

// ---------------------------------------------------------------- the database

// The reason goes to the operator; the statement that failed, to the log.
bool defaultFailed(QString* error, const QString& sql, const QSqlQuery& q) {
    const QString reason = LoggedDatabaseReason(q.lastError(), sql);
    if (error) *error = reason;
    return false;
}

struct ColumnInfo {
    QString name, type, defaultValue;
    bool notNull = false;
    int key = 0;
    bool operator==(const ColumnInfo&) const = default;
};

bool readColumns(QSqlDatabase& db, const QString& table, QList<ColumnInfo>* columns,
                 QString* error) {
    const QString sql =
        QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?)");
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql);
    q.addBindValue(table);
    if (!q.exec()) return defaultFailed(error, sql, q);
    columns->clear();
    while (q.next())
        columns->append({q.value(0).toString(), q.value(1).toString(), q.value(3).toString(),
                         q.value(2).toInt() != 0, q.value(4).toInt()});
    return true;
}

// The columns the edited text declares, read back from a scratch database.
QList<ColumnInfo> columnsOfText(const QString& createSql, const QString& table) {
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("arm_column_default_%1").arg(++counter);
    QList<ColumnInfo> columns;
    {
        QSqlDatabase scratch = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        scratch.setDatabaseName(QStringLiteral(":memory:"));
        QSqlQuery q(scratch);
        QString ignored;
        if (scratch.open() && q.exec(createSql)) readColumns(scratch, table, &columns, &ignored);
        scratch.close();
    }
    QSqlDatabase::removeDatabase(name);
    return columns;
}

// The edited text declares the same columns as the table, but for the one
// default.
bool onlyDefaultDiffers(QList<ColumnInfo> stored, const QList<ColumnInfo>& edited,
                        const QString& column, const QString& value) {
    for (ColumnInfo& c : stored)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) c.defaultValue = value;
    return !edited.isEmpty() && stored == edited;
}

bool exec(QSqlDatabase& db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant& v : values) q.addBindValue(v);
    return q.exec();
}

// Writes the new text into the schema table and tells every connection the
// schema changed; all or nothing.
bool replaceTableText(QSqlDatabase& db, const QString& table, const QString& createSql) {
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA schema_version")) || !version.next()) return false;
    const qint64 next = version.value(0).toLongLong() + 1;
    version.finish();
    SqlTransaction change(db);
    if (!change.started()) return false;
    const bool ok =
        exec(db, QStringLiteral("PRAGMA writable_schema=ON")) &&
        exec(db, QStringLiteral("UPDATE sqlite_master SET sql=? WHERE type='table' AND name=?"),
             {createSql, table}) &&
        exec(db, QStringLiteral("PRAGMA schema_version=%1").arg(next));
    exec(db, QStringLiteral("PRAGMA writable_schema=OFF"));
    return ok && change.Commit();
}

}  // namespace

QString WithColumnDefault(const QString& createSql, const QString& column, const QString& value) {
    const QList<Token> t = tokens(createSql);
    const Definition def = findDefinition(createSql, t, column);
    if (def.first < 0) return QString();
    QString sql = createSql;
    for (int i = def.first + 1; i < def.last; ++i) {
        if (t[i].kind != Token::Word ||
            createSql.mid(t[i].begin, t[i].end - t[i].begin)
                    .compare(QStringLiteral("DEFAULT"), Qt::CaseInsensitive) != 0)
            continue;
        const int end = valueEnd(createSql, t, i + 1, def.last);
        if (end < 0) return QString();
        return sql.replace(t[i + 1].begin, t[end].end - t[i + 1].begin, value);
    }
    return sql.insert(t[def.last - 1].end, QStringLiteral(" DEFAULT ") + value);
}

bool SetColumnDefault(QSqlDatabase& db, const QString& table, const QString& column,
                      const QString& value, QString* error) {
    QList<ColumnInfo> stored;
    if (!readColumns(db, table, &stored, error)) return false;
    const auto it = std::find_if(stored.cbegin(), stored.cend(), [&column](const ColumnInfo& c) {
        return c.name.compare(column, Qt::CaseInsensitive) == 0;
    });
    if (it == stored.cend() || it->defaultValue == value) return true;

    const QString sql = QStringLiteral("SELECT sql FROM sqlite_master WHERE type='table' AND name=?");
    QSqlQuery q(db);
    q.prepare(sql);
    q.addBindValue(table);
    if (!q.exec()) return defaultFailed(error, sql, q);
    if (!q.next()) return true;
    const QString edited = WithColumnDefault(q.value(0).toString(), column, value);
    q.finish();
    if (edited.isEmpty() || !onlyDefaultDiffers(stored, columnsOfText(edited, table), column, value))
        return true;
    if (!replaceTableText(db, table, edited))
        qWarning("The default of %s.%s stays as it was", qPrintable(table), qPrintable(column));
    return true;
}
