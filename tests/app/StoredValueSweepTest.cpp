// Every column of the schema, one at a time, set to values a file from
// elsewhere may hold: an integer to -1, 0, one past the largest its field or
// count means, the ends of 32 bits, the top of 64 bits and a text; a text to
// NULL, 10,000 characters, bytes that are not UTF-8 and a control
// character. Then what reads
// the column runs on it: the open's check of the counts, the write screen's
// pass over the devices whose files it feeds with the editor on each file
// made, and the screens and editors that read it. Nothing may end the
// program, run away or compute past its numbers (the sanitizer build is the
// judge of that): a count beyond the program's limits is refused by the
// open, everything else is bounded where it is read. No window grows wider
// than the screen, and a text a device file cannot hold as it is is told.
//
// The cases run in children under bounds of memory and time (BoundedChild),
// several at once, so that one that runs away fails on its own, in seconds;
// the columns are dealt into shares, each a test of its own, so that the
// shares run side by side and none takes long.

#include "StoredColumns.h"
#include "app/TFMainVesk.h"
#include "config/ConfigEditorFile.h"
#include "config/ConfigScreenSettings.h"
#include "config/ConfigWriteScreen.h"
#include "devices/ui/TFpkEdit.h"
#include "foundation/StoredCounts.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"
#include "platform/SqliteSelect.h"
#include "support/BoundedChild.h"
#include "support/ProgramRoads.h"
#include "support/ScreenShots.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace StoredValueSweepTestUnit {

namespace {

using namespace Reads;

// Children at once in a share, and the columns each takes; the shares of
// the files' sweep and of the screens' sweep, each a test that runs beside
// the others.
constexpr int kChildrenAtOnce = 2;
constexpr int kColumnsPerChild = 6;
constexpr int kFileShares = 12;
constexpr int kScreenShares = 36;

struct StoredValue {
    QVariant value;
    QString text;
};

// A text longer than any field or window holds, of characters its role
// takes (a code's digits), so that the length alone is what is wrong.
constexpr int kLongText = 10000;

QList<StoredValue> textValuesOf(const StoredColumn& c) {
    const QChar filler = c.role == ColumnRole::Code ? QLatin1Char('1') : QChar(0x0416);
    return {
        {QVariant(), QStringLiteral("NULL")},
        {QString(kLongText, filler), QStringLiteral("10000 characters")},
        {QByteArray("\xC3\x28\xFF\x00\x31", 5), QStringLiteral("X'C328FF0031'")},
        {QStringLiteral("1\n2"), QStringLiteral("'1' LF '2'")},
    };
}

// The values each column is set to in turn.
QList<StoredValue> valuesOf(const StoredColumn& c) {
    if (IsText(c.role)) return textValuesOf(c);
    QList<qint64> numbers{-1, 0};
    if (c.role == ColumnRole::Device) numbers << (qint64(1) << c.width);
    if (!numbers.contains(c.most + 1)) numbers << c.most + 1;
    numbers << std::numeric_limits<qint32>::max() << std::numeric_limits<qint32>::min()
            << std::numeric_limits<qint64>::max();
    QList<StoredValue> values;
    for (qint64 n : numbers) values << StoredValue{n, QString::number(n)};
    values << StoredValue{QStringLiteral("x"), QStringLiteral("'x'")};
    return values;
}

QString caseName(const StoredColumn& c, const StoredValue& v) {
    return c.Name() + QStringLiteral(" = ") + v.text;
}

// The count's limits when the open checks the column.
std::optional<StoredCountLimit> checkedCount(const StoredColumn& c) {
    for (const StoredCountLimit& limit : StoredCountLimits())
        if (QLatin1String(limit.table) == QLatin1String(c.table) &&
            QLatin1String(limit.column) == QLatin1String(c.column))
            return limit;
    return std::nullopt;
}

// Whether the open refuses the value: a count it checks, beyond its limits.
// A start's upgrade gives the tract count its own value first.
bool refusedValue(const StoredColumn& c, const QVariant& v, bool atStart = false) {
    const std::optional<StoredCountLimit> limit = checkedCount(c);
    if (!limit || v.typeId() == QMetaType::QString) return false;
    if (atStart && c.Name() == QLatin1String("t_global.KolTractPK")) return false;
    const qint64 n = v.toLongLong();
    return n < limit->least || n > limit->most;
}

// One column of a file changed, and how to give the rows their values back.
class StoredChange {
  public:
    StoredChange(QSqlDatabase db, const StoredColumn& c) : db_(db), c_(c) {}

    // The value set in every row (in the first only for a key, which may be
    // unique), in a new row where the table has none. False where the file
    // cannot hold it: a text in a row's own key.
    bool Set(const QVariant& value) {
        QSqlQuery q(db_);
        const QString table = QLatin1String(c_.table);
        const QString column = QLatin1String(c_.column);
        q.exec(QStringLiteral("SELECT rowid, %1 FROM %2").arg(column, table));
        kept_.clear();
        while (q.next()) kept_.append({q.value(0).toLongLong(), q.value(1)});
        QString sql = QStringLiteral("UPDATE %1 SET %2 = ?").arg(table, column);
        if (c_.role == ColumnRole::Key)
            sql += QStringLiteral(" WHERE rowid = (SELECT MIN(rowid) FROM %1)").arg(table);
        if (kept_.isEmpty())
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(table, column);
        if (!q.prepare(sql)) return fail(q);
        q.addBindValue(value);
        if (!q.exec()) return fail(q);
        inserted_ = kept_.isEmpty() ? q.lastInsertId().toLongLong() : 0;
        return true;
    }
    // The rows as they were.
    void Undo() {
        QSqlQuery q(db_);
        const QString table = QLatin1String(c_.table);
        if (inserted_) {
            q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table));
            q.addBindValue(inserted_);
            q.exec();
        }
        q.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                      .arg(table, QLatin1String(c_.column)));
        for (const auto& [rowid, value] : kept_) {
            q.bindValue(0, value);
            q.bindValue(1, rowid);
            EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
        }
    }

  private:
    bool fail(const QSqlQuery& q) {
        const bool mismatch = q.lastError().nativeErrorCode() == QLatin1String("20");
        EXPECT_TRUE(mismatch) << c_.Name().toStdString() << ": "
                              << q.lastError().text().toStdString();
        return false;
    }

    QSqlDatabase db_;
    const StoredColumn& c_;
    QList<std::pair<qint64, QVariant>> kept_;
    qint64 inserted_ = 0;
};

// What one pass of the write screen did.
struct WritePass {
    QStringList listed;     // the device list
    QList<int> chosenRows;  // the rows chosen for the pass
    QList<WriteDeviceResult> devices;
    ConfigLogs logs;
    QMap<QString, QByteArray> files;  // by path
    QString folder;                   // the database's, which the lines name
};

// The files a device of a kind has.
unsigned filesOf(int kind) {
    switch (kind) {
        case kKindConsole:
            return kConsoleFile;
        case kKindCallPanel:
            return kPanelFiles;
        default:
            return kSwitchFiles;
    }
}

// The write screen's pass over the devices of the kinds, the files kept in
// memory.
WritePass writeFiles(QSqlDatabase db, const QString& dbFolder, qint64 idNet, unsigned kinds) {
    WritePass pass;
    pass.folder = dbFolder;
    ConfigWriteScreen screen(db);
    screen.Makers().writeFile = [&pass](const QString& path, const QByteArray& bytes, QString*) {
        pass.files.insert(path, bytes);
        return true;
    };
    screen.BuildWriteFolder(dbFolder, idNet);
    if (!screen.RefreshDeviceList()) {
        pass.logs.result << screen.LastError();
        return pass;
    }
    for (int i = 0; i < screen.Rows().size(); ++i) {
        pass.listed << screen.Rows()[i].text;
        if (filesOf(screen.Rows()[i].kind) & kinds) pass.chosenRows << i;
    }
    screen.BitCreateClick(pass.chosenRows);
    pass.devices = screen.LastPass();
    pass.logs = screen.Logs();
    return pass;
}

// Each file of the pass opened in the editor and saved there.
void editEach(const WritePass& pass, const ConfigScreenSettings& settings, qint64 idNom) {
    for (auto file = pass.files.cbegin(); file != pass.files.cend(); ++file) {
        const EditorFile opened = LoadEditorBytes(file.value(), file.key(), settings);
        if (opened.Parsed()) BuildEditorFile(opened, idNom, settings);
    }
}

// The results name every chosen device once; one without a file says why
// (a file not made, or the repeated codes that stopped the pass).
void checkEveryDeviceNamed(const WritePass& pass) {
    for (int row : pass.chosenRows) {
        const qsizetype named =
            std::count_if(pass.devices.cbegin(), pass.devices.cend(),
                          [row](const WriteDeviceResult& d) { return d.row == row; });
        EXPECT_EQ(named, 1) << pass.listed.value(row).toStdString();
    }
    for (const WriteDeviceResult& d : pass.devices)
        if (!d.fileMade) {
            EXPECT_FALSE(d.lines.isEmpty()) << d.device.toStdString();
        }
}

// A value beyond what its field holds: each device it feeds writes the
// field's own value and tells it, or makes no file and says why.
void checkWideValueTold(const StoredColumn& c, const StoredValue& v, const WritePass& pass) {
    if (c.role != ColumnRole::Device || !c.alone || v.value.typeId() == QMetaType::QString) return;
    const qint64 n = v.value.toLongLong();
    const qint64 top = c.least + (qint64(1) << c.width) - 1;
    if ((n >= c.least && n <= top) || (n < c.least && c.noneBelow)) return;
    const QString column = QLatin1String(c.column);
    for (const WriteDeviceResult& d : pass.devices) {
        if (!(filesOf(d.kind) & c.reads) || !d.fileMade) continue;
        const bool told =
            std::any_of(d.narrowed.cbegin(), d.narrowed.cend(), [&](const NarrowedValue& t) {
                return t.field.section(QLatin1Char(' '), 0, 0) == column && t.stored == n &&
                       t.written >= 0 && t.written < (qint64(1) << c.width);
            });
        EXPECT_TRUE(told) << d.device.toStdString() << ": " << c.Name().toStdString() << " = " << n
                          << " is not told";
    }
}

// Whether a device file holds the text as it is: no longer than its field,
// of printable characters only.
bool textFits(const StoredColumn& c, const QVariant& v) {
    if (v.isNull()) return true;
    if (v.typeId() != QMetaType::QString) return false;
    const QString text = v.toString();
    return text.size() <= c.width &&
           std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.isPrint(); });
}

// What a pass gives each device of the object as it is, by its name: its
// lines in the results and its file. A pass on a changed value that leaves
// a device's file as it was did not bring the value into it; one that
// changed it tells what it says beyond those lines.
struct UsualPass {
    QMap<QString, QStringList> lines;
    QMap<QString, QByteArray> files;
};

// A device's lines, without the folder of the pass's database, which each
// case has its own.
QStringList linesOf(const WritePass& pass, const WriteDeviceResult& d) {
    QStringList lines = d.lines;
    lines.replaceInStrings(pass.folder, QString());
    return lines;
}

// A device's file: the one its lines say was saved.
QByteArray fileOf(const WritePass& pass, const WriteDeviceResult& d) {
    for (auto file = pass.files.cbegin(); file != pass.files.cend(); ++file)
        for (const QString& line : d.lines)
            if (line.contains(file.key())) return file.value();
    return {};
}

UsualPass usualPass(const WritePass& pass) {
    UsualPass usual;
    for (const WriteDeviceResult& d : pass.devices) {
        usual.lines[d.device] << linesOf(pass, d);
        usual.files[d.device] = fileOf(pass, d);
    }
    return usual;
}

// A text its device file cannot hold as it is: each device whose file it
// changes tells it (a line of its own in the results, or the column among
// its values written other than stored), or makes no file and says why.
void checkTextTold(const StoredColumn& c, const StoredValue& v, const WritePass& pass,
                   const UsualPass& usual) {
    if ((c.role != ColumnRole::Slide && c.role != ColumnRole::Code) || textFits(c, v.value))
        return;
    const QString column = QLatin1String(c.column);
    for (const WriteDeviceResult& d : pass.devices) {
        if (!(filesOf(d.kind) & c.reads) || !d.fileMade) continue;
        if (fileOf(pass, d) == usual.files.value(d.device)) continue;
        const QStringList before = usual.lines.value(d.device);
        const QStringList lines = linesOf(pass, d);
        const bool told =
            std::any_of(lines.cbegin(), lines.cend(),
                        [&](const QString& line) { return !before.contains(line); }) ||
            std::any_of(d.narrowed.cbegin(), d.narrowed.cend(), [&](const NarrowedValue& t) {
                return t.field.section(QLatin1Char(' '), 0, 0)
                           .compare(column, Qt::CaseInsensitive) == 0;
            }) ||
            std::any_of(d.narrowedTexts.cbegin(), d.narrowedTexts.cend(),
                        [&](const NarrowedText& t) {
                            return t.field.compare(column, Qt::CaseInsensitive) == 0;
                        });
        EXPECT_TRUE(told) << d.device.toStdString() << ": " << c.Name().toStdString() << " = "
                          << v.text.toStdString() << " is not told";
    }
}

// What every pass must show. A pass must not have failed on a device's data.
void checkPass(const StoredColumn& c, const StoredValue& v, const WritePass& pass,
               const UsualPass& usual) {
    for (const QString& line : pass.logs.result)
        EXPECT_FALSE(line.startsWith(QStringLiteral("Ошибка формирования файла")))
            << line.toStdString();
    checkEveryDeviceNamed(pass);
    checkWideValueTold(c, v, pass);
    checkTextTold(c, v, pass, usual);
}

// No window shown wider than the screen, nor taller: what is past its edge
// the operator cannot reach.
void checkWindowsFit(const QString& where) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) ExpectFitsTheScreen(w, where + QStringLiteral(": ") + w->objectName());
}

// The columns some of whose readers are among reads (or that the open
// checks), in groups of a table each, at most kColumnsPerChild to a group.
QList<QList<StoredColumn>> groups(unsigned reads, bool checkedCounts) {
    QList<QList<StoredColumn>> out;
    QString table;
    for (const StoredColumn& c : StoredColumns()) {
        if (!(c.reads & reads) && !(checkedCounts && checkedCount(c))) continue;
        if (out.isEmpty() || table != QLatin1String(c.table) ||
            out.last().size() == kColumnsPerChild)
            out.append(QList<StoredColumn>{});
        out.last() << c;
        table = QLatin1String(c.table);
    }
    return out;
}

class StoredValueSweep : public ProgramRoads {
  public:
    // An object as small as gives every kind of row: the sweep is about the
    // values, not the rows' number.
    static void SetUpTestSuite() {
        ReferenceObjectOptions small;
        small.apartmentsPerEntrance = 3;
        BuildReference(small);
        sweepObject_ = WithEveryKindOfRow(ReferenceDatabase());
    }
    static void TearDownTestSuite() {
        sweepObject_.clear();
        ProgramRoads::TearDownTestSuite();
    }

  protected:
    // The reference object with what it lacks for a sweep: keys of every
    // kind, a range of terminals, a row in each table only datasets read.
    static QByteArray WithEveryKindOfRow(const QByteArray& reference);

    // Runs sweep on each group in a child, several at once.
    void InChildren(const QList<QList<StoredColumn>>& all,
                    const std::function<void(const QList<StoredColumn>&)>& sweep) {
        std::vector<std::pair<QString, std::unique_ptr<BoundedChild>>> running;
        qsizetype next = 0;
        while (next < all.size() || !running.empty()) {
            while (next < all.size() && running.size() < std::size_t(kChildrenAtOnce)) {
                const QList<StoredColumn>& group = all[next++];
                auto child = std::make_unique<BoundedChild>();
                const QString names = group.first().Name() + QStringLiteral("..");
                EXPECT_TRUE(child->Start([&] { sweep(group); })) << names.toStdString();
                running.emplace_back(names, std::move(child));
            }
            for (auto it = running.begin(); it != running.end();) {
                if (it->second->Running()) {
                    ++it;
                    continue;
                }
                EXPECT_TRUE(it->second->Passed()) << it->first.toStdString() << "\n"
                                                  << it->second->Output().toStdString();
                it = running.erase(it);
            }
        }
    }

    // In a child: the files of each column's devices at each value.
    void SweepFiles(const QList<StoredColumn>& columns);
    void FilesOf(const StoredColumn& c, const StoredValue& v);
    // In a child: the screens and editors that read each column.
    void SweepScreens(const QList<StoredColumn>& columns);
    void ShowWhatReads(const StoredColumn& c);
    // Each of the windows (screens, editors) shown in turn, shown called on it.
    // before, where given, runs just before each is shown.
    void ShowEachWindow(unsigned windows,
                        const std::function<void(unsigned window, const QString& name)>& shown,
                        const std::function<void()>& before = {});
    static void CloseOtherWindows();
    // While the melody form is shown: the windows open before it, whose
    // texts are not the form's.
    static inline QWidgetList windowsBeforeTheForm_;

    static inline QByteArray sweepObject_;
    static inline ConfigScreenSettings settings_;
    static inline qint64 idNom_ = 0;
    // In a files' child: what the results say of each device of the object as it is.
    static inline UsualPass usualPass_;
};

// A program folder holding file as its database.
void placeDatabase(TestDatabase& database, const QByteArray& file) {
    database.programDir().writeFile(
        QStringLiteral("DB_ARM/") + QLatin1String(AppPaths::kDbFileName), file);
}

QByteArray StoredValueSweep::WithEveryKindOfRow(const QByteArray& reference) {
    TestDatabase database(TestDatabase::Kind::None);
    placeDatabase(database, reference);
    {
        QSqlDatabase db = database.open();
        const char* const rows[] = {
            // Two keys of each of the first two rows of every entrance.
            "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status, "
            "l_del) SELECT printf('0000001%05X', id_kvr * 2 + k), id_pod, "
            "printf('1%05X', id_kvr * 2 + k), id_kvr, id_net, 0, '', '', 0 "
            "FROM k_kvr, (SELECT 0 AS k UNION ALL SELECT 1) WHERE p_nom <= 2",
            "UPDATE k_kvr SET y_key = 2 WHERE p_nom <= 2",
            // A common key of every entrance and a key of the gate.
            "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status, "
            "l_del) SELECT printf('0000002%05X', id_pod), id_pod, printf('2%05X', id_pod), -1, "
            "id_net, 1, '', '', 0 FROM k_pod",
            "UPDATE k_pod SET o_rky = 1, o_key = 2, d_key = 1",
            "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status, "
            "l_del) SELECT printf('0000003%05X', id_bv), id_bv, printf('3%05X', id_bv), -2, "
            "id_net, 0, 'калитка', '', 0 FROM k_bv WHERE bv_type = 1",
            // A range of terminals of the first switch.
            "INSERT INTO t_dip (id_pk, id_net, n_dip, n_nul, n_ful, k_kol, lline) "
            "SELECT id_pk, id_net, 1, 2, 20, 0, 0 FROM k_pk ORDER BY id_pk LIMIT 1",
            "INSERT INTO t_sec (id_net, n_net, n_sec, n_nt0) SELECT id_net, 64, 1, 0 FROM k_net",
            "INSERT INTO t_pack DEFAULT VALUES",
            "INSERT INTO t_pkrd (n_pk, s_pk) VALUES (1, 1)",
            "INSERT INTO t_pkwt (n_pk, t_pk) VALUES (1, 1)",
        };
        for (const char* sql : rows) {
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec(QString::fromUtf8(sql))) << sql << "\n"
                                                        << q.lastError().text().toStdString();
        }
    }
    QFile f(database.dbPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void StoredValueSweep::SweepFiles(const QList<StoredColumn>& columns) {
    dialogs_.AllowUnexpected();
    {
        TestDatabase database(TestDatabase::Kind::None);
        placeDatabase(database, sweepObject_);
        usualPass_ = usualPass(writeFiles(database.open(), database.dbDir(), IdNet(), kAllFiles));
    }
    for (const StoredColumn& c : columns)
        for (const StoredValue& v : valuesOf(c)) {
            BoundedChild::Step(caseName(c, v));
            SCOPED_TRACE(caseName(c, v).toStdString());
            FilesOf(c, v);
        }
}

void StoredValueSweep::FilesOf(const StoredColumn& c, const StoredValue& v) {
    TestDatabase database(TestDatabase::Kind::None);
    placeDatabase(database, sweepObject_);
    // A global parameter reaches the editor as the data module reads it on F5.
    std::unique_ptr<TFDM> module;
    const bool global = QLatin1String(c.table) == QLatin1String("t_global");
    if (global) {
        module = std::make_unique<TFDM>();
        QString error;
        ASSERT_TRUE(module->Connect(database.dbPath(), &error)) << error.toStdString();
    }
    QSqlDatabase db = database.open();
    StoredChange change(db, c);
    if (!change.Set(v.value)) return;
    const DatabaseFileCheck counts = CheckStoredCounts(db);
    ASSERT_TRUE(counts.read) << counts.error.toStdString();
    EXPECT_EQ(refusedValue(c, v.value), !counts.difference.isEmpty())
        << counts.difference.toStdString();
    if (!counts.difference.isEmpty() || !(c.reads & kFiles)) return;
    ConfigScreenSettings settings = settings_;
    if (global) {
        module->Global->Reopen();
        settings = LoadConfigScreenSettings();
    }
    const WritePass pass = writeFiles(db, database.dbDir(), IdNet(), c.reads & kFiles);
    editEach(pass, settings, idNom_);
    checkPass(c, v, pass, usualPass_);
}

// The columns of a new database, in the schema's order: its integer
// columns, or its text columns.
QStringList schemaColumns(bool text) {
    TestDatabase database;
    QSqlDatabase db = database.open();
    QSqlQuery tables(db);
    EXPECT_TRUE(tables.exec(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
        "ORDER BY rowid")));
    QStringList schema;
    while (tables.next()) {
        QSqlQuery columns(db);
        EXPECT_TRUE(columns.exec(QStringLiteral("SELECT name, type FROM pragma_table_info('%1')")
                                     .arg(tables.value(0).toString())));
        while (columns.next()) {
            const QString type = columns.value(1).toString().toUpper();
            const bool isText = type == QLatin1String("TEXT");
            const bool isInteger = type.contains(QLatin1String("INT"));
            EXPECT_TRUE(isText || isInteger) << columns.value(0).toString().toStdString();
            if (isText == text)
                schema << tables.value(0).toString() + QLatin1Char('.') +
                              columns.value(0).toString();
        }
    }
    return schema;
}

// The table holds every integer column and every text column of a new
// database, each in the schema's order, each with what its role needs.
TEST(StoredColumnTable, HoldsEveryColumnOfTheSchema) {
    for (const bool text : {false, true}) {
        SCOPED_TRACE(text ? "text columns" : "integer columns");
        QStringList held;
        for (const StoredColumn& c : StoredColumns()) {
            if (IsText(c.role) != text) continue;
            held << c.Name();
            const bool hasWidth = c.role == ColumnRole::Device || c.role == ColumnRole::Slide ||
                                  c.role == ColumnRole::Code;
            EXPECT_EQ(hasWidth, c.width > 0) << c.Name().toStdString();
            if (c.role == ColumnRole::Slide) {
                EXPECT_TRUE(c.reads & kConsoleFile) << c.Name().toStdString();
            }
        }
        EXPECT_EQ(schemaColumns(text).join(QLatin1Char('\n')).toStdString(),
                  held.join(QLatin1Char('\n')).toStdString());
    }
}

void StoredValueSweep::SweepScreens(const QList<StoredColumn>& columns) {
    dialogs_.AllowUnexpected();
    TestDatabase own(TestDatabase::Kind::None);
    placeDatabase(own, sweepObject_);
    QSqlDatabase side = own.open();
    const auto restart = [&] {
        EndTheProgram();
        return StartIn(own.programDir(), 1);
    };
    bool running = restart();
    for (const StoredColumn& c : columns) {
        for (const StoredValue& v : valuesOf(c)) {
            BoundedChild::Step(caseName(c, v));
            SCOPED_TRACE(caseName(c, v).toStdString());
            if (!running) running = restart();
            StoredChange change(side, c);
            if (!change.Set(v.value)) continue;
            // The open and F5 refuse a count beyond its limits before any
            // screen reads it (the files' sweep sees the check refuse it).
            if (refusedValue(c, v.value, c.reads & kStart)) {
                change.Undo();
                continue;
            }
            if (c.reads & kStart) {
                running = restart();
            } else {
                Menu(QStringLiteral("MReOpen"));
                running = FDM->Connected();
            }
            EXPECT_TRUE(running);
            if (running) ShowWhatReads(c);
            change.Undo();
        }
    }
    EndTheProgram();
}

// The editors opened from the menu, by their bits and menu items.
constexpr std::pair<unsigned, const char*> kEditorItems[] = {
    {kSwitchEditor, "MpkEdit"},    {kEntranceSwitch, "MskEdit"}, {kPanelEditor, "MbvEdit"},
    {kApartmentEditor, "MkvEdit"}, {kGlobalForm, "MGlobal"},
};

void StoredValueSweep::ShowEachWindow(
    unsigned windows, const std::function<void(unsigned window, const QString& name)>& shown,
    const std::function<void()>& before) {
    const auto beforeShowing = [&before] {
        if (before) before();
    };
    for (int screen = 0; screen <= 14; ++screen) {
        if (screen == 8 || !(windows & Screen(screen))) continue;
        beforeShowing();
        ShowByMenu(screen);
        shown(Screen(screen), QStringLiteral("screen %1").arg(screen));
    }
    for (const auto& [window, item] : kEditorItems) {
        if (!(windows & window)) continue;
        beforeShowing();
        Menu(QLatin1String(item));
        shown(window, QLatin1String(item));
        CloseOtherWindows();
    }
    if (windows & kMelodyForm) {
        Menu(QStringLiteral("MpkEdit"));
        windowsBeforeTheForm_ = QApplication::topLevelWidgets();
        beforeShowing();
        FpkEdit->BitMel->click();
        shown(kMelodyForm, QStringLiteral("BitMel"));
        windowsBeforeTheForm_.clear();
        CloseOtherWindows();
    }
    // Back to the main menu: a screen shown again reads its values anew.
    ShowByMenu(0);
}

void StoredValueSweep::ShowWhatReads(const StoredColumn& c) {
    ShowEachWindow(c.reads, [](unsigned, const QString& name) { checkWindowsFit(name); });
}

void StoredValueSweep::CloseOtherWindows() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != FMainVesk && w->isVisible()) w->close();
    QCoreApplication::processEvents();
}

// Every share of the columns' groups, dealt in turn so that each share gets
// groups of every table: share i of n takes groups i, i + n, i + 2n...
QList<QList<StoredColumn>> share(const QList<QList<StoredColumn>>& all, int shares, int i) {
    QList<QList<StoredColumn>> mine;
    for (qsizetype g = i; g < all.size(); g += shares) mine << all[g];
    return mine;
}

class StoredValueFiles : public StoredValueSweep, public testing::WithParamInterface<int> {};
class StoredValueScreens : public StoredValueSweep, public testing::WithParamInterface<int> {};

TEST_P(StoredValueFiles, EveryColumnAtItsExtremesThroughTheFilesItFeeds) {
    {
        const QString file = database_.dbPath();
        RestoreDatabase(sweepObject_);
        TFDM module;
        QString error;
        ASSERT_TRUE(module.Connect(file, &error)) << error.toStdString();
        settings_ = LoadConfigScreenSettings();
        idNom_ = CurrentConfigObject().idNom;
    }
    InChildren(share(groups(kFiles, true), kFileShares, GetParam()),
               [this](const QList<StoredColumn>& g) { SweepFiles(g); });
}
INSTANTIATE_TEST_SUITE_P(Share, StoredValueFiles, testing::Range(0, kFileShares));

TEST_P(StoredValueScreens, EveryColumnAtItsExtremesThroughTheScreensThatReadIt) {
    InChildren(share(groups(kScreens, false), kScreenShares, GetParam()),
               [this](const QList<StoredColumn>& g) { SweepScreens(g); });
}
INSTANTIATE_TEST_SUITE_P(Share, StoredValueScreens, testing::Range(0, kScreenShares));

// The texts of the visible widgets of a window: what an operator reads.
QStringList visibleTexts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->isVisible()) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
        if (auto* line = qobject_cast<QLineEdit*>(w)) texts << line->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
        if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) texts << plain->toPlainText();
        if (auto* box = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
        if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
            const QAbstractItemModel* model = view->model();
            for (int row = 0; row < model->rowCount(); ++row)
                for (int column = 0; column < model->columnCount(); ++column)
                    texts << model->index(row, column).data().toString();
        }
    }
    return texts;
}

// The statements the program's connections run, as written.
class StatementsRun {
  public:
    // Watches every open connection; again after F5, which opens new ones.
    void Watch() {
        for (const QString& name : QSqlDatabase::connectionNames())
            if (sqlite3* connection = SqliteConnection(QSqlDatabase::database(name, false)))
                sqlite3_trace_v2(connection, SQLITE_TRACE_STMT, &StatementsRun::Run, this);
        statements_.clear();
    }
    // Whether a statement that reads rows named the column (or all of its
    // table's columns).
    bool Read(const StoredColumn& c) const {
        const QRegularExpression table(QStringLiteral("\\b%1\\b").arg(QLatin1String(c.table)),
                                       QRegularExpression::CaseInsensitiveOption);
        const QRegularExpression column(
            QStringLiteral("\\b%1\\b|\\*").arg(QLatin1String(c.column)),
            QRegularExpression::CaseInsensitiveOption);
        return std::any_of(statements_.cbegin(), statements_.cend(), [&](const QString& sql) {
            return sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) &&
                   sql.contains(table) && sql.contains(column);
        });
    }

  private:
    static int Run(unsigned, void* self, void*, void* sql) {
        static_cast<StatementsRun*>(self)->statements_ << QString::fromUtf8(
            static_cast<const char*>(sql));
        return 0;
    }
    QStringList statements_;
};

// A text column the table sweeps on too few windows would leave a window
// that reads it out of the sweep: with each text column set to a text of its
// own, no window reads a column that does not have the window among its
// reads, whether the window shows the column or runs a statement naming it.
class StoredColumnReaders : public StoredValueSweep {};

// The text the nth text column is set to. A code's is digits, as its field
// takes: it shows only through its statements.
QString markerOf(int n) {
    return QStringLiteral("Жч%1ч").arg(n);
}
QString markedValue(const StoredColumn& c, int n) {
    return c.role == ColumnRole::Code ? QStringLiteral("1") : markerOf(n);
}

TEST_F(StoredColumnReaders, EveryWindowThatReadsATextColumnIsAmongItsReads) {
    dialogs_.AllowUnexpected();
    TestDatabase own(TestDatabase::Kind::None);
    placeDatabase(own, sweepObject_);
    {
        QSqlDatabase side = own.open();
        int n = 0;
        for (const StoredColumn& c : StoredColumns()) {
            if (!IsText(c.role)) continue;
            StoredChange change(side, c);
            ASSERT_TRUE(change.Set(markedValue(c, ++n)));
        }
    }
    ASSERT_TRUE(StartIn(own.programDir(), 1));
    StatementsRun statements;
    const auto read = [&](unsigned window, const QString& name) {
        QStringList texts;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && !windowsBeforeTheForm_.contains(top)) texts << visibleTexts(top);
        const QString shown = texts.join(QLatin1Char('\n'));
        int n = 0;
        for (const StoredColumn& c : StoredColumns()) {
            if (!IsText(c.role)) continue;
            const QString marker = markedValue(c, ++n);
            const bool readHere =
                (marker == markerOf(n) && shown.contains(marker)) || statements.Read(c);
            EXPECT_TRUE(!readHere || (c.reads & window))
                << c.Name().toStdString() << " is read on " << name.toStdString();
        }
    };
    // Each window as the program shows it first, and again after F5.
    ShowEachWindow(kScreens & ~kStart, read, [&statements] { statements.Watch(); });
    Menu(QStringLiteral("MReOpen"));
    ShowEachWindow(kScreens & ~kStart, read, [&statements] { statements.Watch(); });
    EndTheProgram();
}
}  // namespace
}  // namespace StoredValueSweepTestUnit
