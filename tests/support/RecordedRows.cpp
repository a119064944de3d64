#include "support/RecordedRows.h"

#include "foundation/TFDM.h"
#include "platform/Dataset.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>

#include <QDate>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QString recordedPath(const QString& name) {
    return QStringLiteral(ARM_TEST_DATA_DIR "/") + name + QStringLiteral(".rows");
}

bool recording() {
    return qEnvironmentVariableIntValue("ARM_RECORD_ROWS") == 1;
}

}  // namespace

QString WithoutToday(QString text) {
    const QDate today = QDate::currentDate();
    for (const QString& date :
         {today.toString(QStringLiteral("dd.MM.yyyy")), today.toString(Qt::ISODate)})
        text.replace(date, QStringLiteral("<дата>"));
    return text;
}

QStringList TableRowsOf(QSqlDatabase db, const QStringList& tables) {
    QStringList rows;
    for (const QString& table : tables) {
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)))
            << table.toStdString();
        while (q.next()) {
            QString row = table + QLatin1Char(':');
            const QSqlRecord r = q.record();
            for (int i = 0; i < r.count(); ++i)
                row += QLatin1Char('|') +
                       (r.isNull(i) ? QStringLiteral("NULL") : r.value(i).toString());
            rows << WithoutToday(row);
        }
    }
    return rows;
}

QStringList DatasetStates(const TFDM& dm) {
    QStringList states;
    for (Dataset* ds : dm.AllDatasets()) {
        QCryptographicHash digest(QCryptographicHash::Md5);
        // Counted here, a closed dataset would open: it is told as closed.
        if (!ds->IsOpen()) {
            states << QStringLiteral("%1 closed rows 0 at 0 %2")
                          .arg(ds->Name(), QString::fromLatin1(digest.result().toHex().left(12)));
            continue;
        }
        for (int row = 0; row < ds->RecordCount(); ++row)
            for (int f = 0; f < ds->FieldCount(); ++f)
                digest.addData(
                    WithoutToday(ds->Value(row, f).toString() + QLatin1Char('|')).toUtf8());
        states << QStringLiteral("%1 %2 rows %3 at %4 %5")
                      .arg(ds->Name(),
                           ds->IsOpen() ? QStringLiteral("open") : QStringLiteral("closed"))
                      .arg(ds->RecordCount())
                      .arg(ds->RecNo())
                      .arg(QString::fromLatin1(digest.result().toHex().left(12)));
    }
    return states;
}

void ExpectRecordedRows(const QString& name, const QStringList& rows) {
    QFile file(recordedPath(name));
    if (recording()) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            << file.fileName().toStdString();
        file.write((rows.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no kept rows " << file.fileName().toStdString();
    QStringList expected = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!expected.isEmpty() && expected.last().isEmpty()) expected.removeLast();
    const qsizetype common = qMin(expected.size(), rows.size());
    for (qsizetype i = 0; i < common; ++i)
        if (expected[i] != rows[i]) {
            ADD_FAILURE() << name.toStdString() << ", row " << i + 1
                          << "\n  kept:    " << expected[i].toStdString()
                          << "\n  written: " << rows[i].toStdString();
            return;
        }
    EXPECT_EQ(expected.size(), rows.size()) << name.toStdString() << ": rows kept and written";
}
