// The edit of a column's declared default in a table's CREATE text.

#include "foundation/ColumnDefault.h"

#include <gtest/gtest.h>
#include <QString>

namespace ColumnDefaultTestUnit {
namespace {

QString Edited(const QString& sql, const QString& column = QStringLiteral("v_key")) {
    return WithColumnDefault(sql, column, QStringLiteral("4"));
}

TEST(ColumnDefault, ReplacesTheValueAndKeepsEverythingElseAsWritten) {
    const QString sql = QStringLiteral(
        "CREATE TABLE k_net (\n"
        "    ident TEXT DEFAULT '',                 -- object name, 50 characters\n"
        "    incr INTEGER DEFAULT 0,                -- (byte), default 0\n"
        "    v_key INTEGER DEFAULT 0,               -- default key quota, 0 or more\n"
        "    p_kvr TEXT DEFAULT ''\n"
        ")");
    QString expected = sql;
    expected.replace(QStringLiteral("v_key INTEGER DEFAULT 0,"),
                     QStringLiteral("v_key INTEGER DEFAULT 4,"));
    EXPECT_EQ(Edited(sql), expected);
    // The column is found whatever its case, and the last one too.
    QString last = sql;
    last.replace(QStringLiteral("p_kvr TEXT DEFAULT ''"), QStringLiteral("p_kvr TEXT DEFAULT 4"));
    EXPECT_EQ(Edited(sql, QStringLiteral("P_KVR")), last);
}

TEST(ColumnDefault, AddsADefaultToAColumnWithout) {
    EXPECT_EQ(Edited("CREATE TABLE t (a INTEGER, v_key INTEGER, b TEXT)"),
              "CREATE TABLE t (a INTEGER, v_key INTEGER DEFAULT 4, b TEXT)");
    EXPECT_EQ(Edited("CREATE TABLE t (a INTEGER, v_key INTEGER /* quota, (0) */)"),
              "CREATE TABLE t (a INTEGER, v_key INTEGER DEFAULT 4 /* quota, (0) */)");
    EXPECT_EQ(Edited("CREATE TABLE t (\"v_key\" NUMERIC(3, 0) NOT NULL)"),
              "CREATE TABLE t (\"v_key\" NUMERIC(3, 0) NOT NULL DEFAULT 4)");
}

TEST(ColumnDefault, ReplacesSignedLiteralAndExpressionDefaults) {
    EXPECT_EQ(Edited("CREATE TABLE t (v_key INTEGER DEFAULT -1 NOT NULL)"),
              "CREATE TABLE t (v_key INTEGER DEFAULT 4 NOT NULL)");
    EXPECT_EQ(Edited("CREATE TABLE t (v_key TEXT DEFAULT 'a, (b)', c)"),
              "CREATE TABLE t (v_key TEXT DEFAULT 4, c)");
    EXPECT_EQ(Edited("CREATE TABLE t (v_key INTEGER default (1 + (2)), c)"),
              "CREATE TABLE t (v_key INTEGER default 4, c)");
}

TEST(ColumnDefault, OnlyTheNamedColumnOfTheTableItself) {
    // A name inside a comment, a text or another column's type is not the column.
    EXPECT_EQ(Edited("CREATE TABLE t (a TEXT DEFAULT 'v_key', -- v_key\n b INTEGER)"), QString());
    EXPECT_EQ(Edited("CREATE TABLE t (v_keys INTEGER, x_key INTEGER)"), QString());
    EXPECT_EQ(Edited("not sql at all"), QString());
}
}  // namespace
}  // namespace ColumnDefaultTestUnit
