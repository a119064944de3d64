// A database file that cannot be used is named at start-up in Russian, with
// no statement, no table or column, no bare code and none of the engine's
// English words, and is never changed, byte for byte: not a file that is no
// database at all, not one of another program or one missing part of the
// program's, not a damaged one, and not one refused after its open had
// begun to write. A file that is taken takes new work on its own objects.

#include "MainWindowFixture.h"
#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "foundation/DatabaseSoleUse.h"
#include "foundation/DbSchema.h"
#include "foundation/Globals.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/NavigationHooks.h"
#include "foundation/StoredCounts.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"
#include "site/ObjectScreen.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/THouseGrid.h"
#include "support/BoundedChild.h"
#include "support/ProgramRoads.h"
#include "support/QtPrinters.h"
#include "support/ReadOnlyPath.h"
#include "support/ScriptedDialogs.h"
#include "support/TempProgramDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSqlRecord>
#include <QtEndian>

#include <limits>

namespace DatabaseOpenFailureTestUnit {

namespace {

// What the operator reads, less the paths it names: no Latin letter is left.
QString latinOutsidePaths(QString text, const QString& folder) {
    text.remove(folder + QLatin1String(AppPaths::kDbFileName)).remove(folder);
    QStringList runs;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral("[A-Za-z]+")).globalMatch(text))
        runs << m.captured();
    return runs.join(QLatin1Char(' '));
}

// Starts the program on folder, which holds an unusable database file, and
// returns the open error it shows; the ways out are declined.
QString startAndTellWhy(const QString& folder) {
    TFDM fdm;
    ScriptedDialogs dialogs;
    dialogs.ExpectContaining(QStringLiteral("Ошибка"),
                             QStringLiteral("Ошибка открытия БД ") + folder + QStringLiteral("!\n"));
    DeclineTheWaysOut(dialogs, folder, false);  // nothing new over a file that is there
    TFMainVesk window;
    dialogs.VerifyDone();
    EXPECT_EQ(0, window.VisibleScreen());
    EXPECT_FALSE(fdm.Connected());
    return dialogs.Shown().value(0).section(QLatin1Char('|'), 1);
}

// The open error names the folder on its first line and says why in Russian
// sentences of their own below it, with no engine's code; the file is as it
// was, header included, and no journal of an upgrade is left beside it.
// Returns the reason.
QString expectToldAndUntouched(const QString& folder, const QByteArray& before) {
    const QString text = startAndTellWhy(folder);
    SCOPED_TRACE(text.toStdString());
    const QString head = QStringLiteral("Ошибка открытия БД ") + folder + QStringLiteral("!\n");
    EXPECT_TRUE(text.startsWith(head));
    EXPECT_TRUE(text.endsWith(QLatin1Char('.')));
    EXPECT_EQ(QString(), latinOutsidePaths(text, folder));
    EXPECT_FALSE(text.contains(QStringLiteral("код")));
    const QString file = folder + QLatin1String(AppPaths::kDbFileName);
    EXPECT_EQ(before, fileBytes(file));
    EXPECT_FALSE(QFile::exists(file + QStringLiteral("-journal")));
    return text.mid(head.size());
}

// A database of the kind after statements that reshape it.
struct Reshaped {
    const char* what;
    TestDatabase::Kind kind;
    QStringList statements;
};

// The file after the statements ran on it, as bytes.
QByteArray reshape(TestDatabase& database, const QStringList& statements) {
    QDir().mkpath(database.dbDir());
    {
        QSqlDatabase db = database.open();
        QSqlQuery q(db);
        for (const QString& sql : statements)
            EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << "\n"
                                     << sql.toStdString();
        db.close();
    }
    return fileBytes(database.dbPath());
}

// Each file is refused with the reason the maker gives for it, as it is.
void expectEachRefused(const QList<Reshaped>& files,
                       const std::function<QString(const QString& file)>& reason) {
    for (const Reshaped& file : files) {
        SCOPED_TRACE(file.what);
        TestDatabase database(file.kind);
        const QByteArray before = reshape(database, file.statements);
        EXPECT_EQ(reason(database.dbPath()), expectToldAndUntouched(database.dbDir(), before));
    }
}

void expectEachNotTheProgramsDatabase(const QList<Reshaped>& files) {
    expectEachRefused(files, &DbFileTexts::NotProgramsDatabase);
}

// The file's first page as it is; every page after it overwritten.
QByteArray damagedAfterFirstPage(const QByteArray& database) {
    const int pageSize = (quint8(database[16]) << 8) | quint8(database[17]);
    EXPECT_GE(pageSize, 512);
    QByteArray damaged = database;
    for (qsizetype i = pageSize; i < damaged.size(); ++i) damaged[i] = char(0x5A ^ (i & 0x3F));
    return damaged;
}

// Rows of the file as text, read beside the program.
QString rowsOf(const QString& file, const QString& sql) {
    const QString connection = QStringLiteral("open_failure_reader");
    QString rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        QSqlQuery q(db);
        EXPECT_TRUE(db.open() && q.exec(sql)) << sql.toStdString();
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i) rows += q.value(i).toString() + u'|';
            rows += u'\n';
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return rows;
}

QString objectOne(const QString& file) {
    QString rows;
    for (const char* table : {"k_net", "k_dom", "k_pod", "k_kvr"})
        rows += rowsOf(
            file, QStringLiteral("SELECT * FROM %1 WHERE id_net = 1 ORDER BY rowid").arg(table));
    return rows;
}

// The whole program started on the database of the program folder: an object
// entered on the object screen ("Новый Объект", one house, "Сохранить дома",
// two entrances, "Сохранить подъезды") is stored as a new object of its own,
// and object 1 stays as the open left it.
void expectANewObjectBesideObjectOne(const QString& file,
                                     const std::function<void()>& afterStart = {}) {
    ScriptedDialogs dialogs;
    TheWholeProgram program;
    ASSERT_TRUE(FDM && FDM->Connected());
    FMainVesk->show();
    if (afterStart) afterStart();
    const QString before = objectOne(file);
    FMainVesk->MenuItem(QStringLiteral("MConfObject"))->trigger();
    auto* screen = qobject_cast<TFrMatr*>(FMainVesk->FrMatr1);
    ASSERT_TRUE(screen);
    screen->BNew->click();
    screen->P1_ENew->setText(QStringLiteral("Новый объект"));
    screen->P1_EAdr->setPlainText(QStringLiteral("ул. Новая, 1"));
    screen->P1_EDom->setValue(1);
    dialogs.Expect(ObjectScreenTexts::kConfirmNewCaption, ObjectScreenTexts::kConfirmNew,
                   DlgAnswer::Yes);
    screen->BitSave->click();
    ASSERT_TRUE(screen->CGridD->isVisible());
    screen->CGridD->EntrancesEdit(0)->setValue(2);
    screen->BitSavePod->click();
    dialogs.VerifyDone();
    program.End();
    EXPECT_EQ(before, objectOne(file));
    EXPECT_EQ(
        QStringLiteral("1|2|\n"),
        rowsOf(file, QStringLiteral("SELECT COUNT(DISTINCT d.id_dom), COUNT(p.id_pod) FROM k_net n "
                                    "JOIN k_dom d ON d.id_net = n.id_net JOIN k_pod p "
                                    "ON p.id_dom = d.id_dom WHERE n.ident = 'Новый объект' "
                                    "AND n.id_net > 1")));
}

TEST(DatabaseOpenFailure, AFileThatIsNoDatabaseIsToldInRussianAndLeftAsItWas) {
    const struct {
        const char* what;
        QByteArray bytes;
    } files[] = {
        {"a text file", "Это список квартир, а не база данных.\nkv 1 - 5\n"},
        // A new database to SQLite; to the program a file that holds none.
        {"an empty file", QByteArray()},
        {"an SQLite header and then text",
         QByteArray("SQLite format 3\0", 16) + QByteArray(200, 'x')},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.what);
        TempProgramDir dir;
        const QString folder = dir.path() + QStringLiteral("DB_ARM/");
        dir.writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), file.bytes);
        expectToldAndUntouched(folder, file.bytes);
    }
}

TEST(DatabaseOpenFailure, ADatabaseDamagedAfterItsFirstPageIsToldAndNeverChanged) {
    // A current file, and one whose upgrade would add columns and convert rows.
    for (TestDatabase::Kind kind : {TestDatabase::Kind::New, TestDatabase::Kind::OldFormat}) {
        SCOPED_TRACE(kind == TestDatabase::Kind::New ? "a current database" : "an old database");
        TestDatabase database(kind);
        const QByteArray damaged = damagedAfterFirstPage(fileBytes(database.dbPath()));
        database.programDir().writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), damaged);
        expectToldAndUntouched(database.dbDir(), damaged);
    }
}

TEST(DatabaseOpenFailure, AFileOfAnotherProgramIsNotTakenForTheProgramsOwn) {
    expectEachNotTheProgramsDatabase({
        {"a list of notes",
         TestDatabase::Kind::None,
         {QStringLiteral("CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT)"),
          QStringLiteral("INSERT INTO notes (text) VALUES ('Позвонить в управляющую компанию')")}},
        {"an SQLite file without tables",
         TestDatabase::Kind::None,
         {QStringLiteral("PRAGMA user_version = 7")}},
    });
}

TEST(DatabaseOpenFailure, AFileMissingATableIsRefusedAsItIs) {
    expectEachNotTheProgramsDatabase({
        {"no key table", TestDatabase::Kind::New, {QStringLiteral("DROP TABLE k_key")}},
        {"a view in place of an old file's houses",
         TestDatabase::Kind::OldFormat,
         {QStringLiteral("ALTER TABLE k_dom RENAME TO houses"),
          QStringLiteral("CREATE VIEW k_dom AS SELECT * FROM houses")}},
    });
}

TEST(DatabaseOpenFailure, AFileMissingAColumnIsRefusedAsItIs) {
    expectEachNotTheProgramsDatabase({
        {"objects without their state",
         TestDatabase::Kind::New,
         {QStringLiteral("ALTER TABLE k_net DROP COLUMN st_net")}},
        // Was upgraded in full, then refused with a bare code.
        {"an old file whose objects have no state",
         TestDatabase::Kind::OldFormat,
         {QStringLiteral("ALTER TABLE k_net DROP COLUMN st_net")}},
    });
}

TEST(DatabaseOpenFailure, AFileWhoseKeyIsNotTheRowKeyIsRefusedAsItIs) {
    expectEachNotTheProgramsDatabase({
        // Rebuilt by a tool that kept the rows, not the key: opened before,
        // and new objects were written over object 1.
        {"objects keyed by a plain column",
         TestDatabase::Kind::New,
         {QStringLiteral("CREATE TABLE k_net_copy AS SELECT * FROM k_net"),
          QStringLiteral("DROP TABLE k_net"),
          QStringLiteral("ALTER TABLE k_net_copy RENAME TO k_net")}},
        {"keys without row numbers",
         TestDatabase::Kind::New,
         {QStringLiteral("DROP TABLE k_key"),
          QStringLiteral("CREATE TABLE k_key (un_key TEXT PRIMARY KEY, id_pod INTEGER, bv_key TEXT,"
                         " id_kvr INTEGER, id_net INTEGER, l_ob INTEGER, s_met TEXT, status TEXT,"
                         " l_del INTEGER) WITHOUT ROWID")}},
    });
}

// A file the program's own files never resemble: the engine's failure is
// the file's, after the open had written to it.
TEST(DatabaseOpenFailure, AFailureAfterTheUpgradesFirstStepsLeavesTheFileAsItWas) {
    expectEachRefused(
        {
            {"apartments that refuse the upgrade's late step",
             TestDatabase::Kind::OldFormat,
             {QStringLiteral("CREATE TRIGGER no_change BEFORE UPDATE ON k_kvr "
                             "BEGIN SELECT RAISE(ABORT, 'no'); END")}},
            {"a table under an index's name, met after the whole upgrade",
             TestDatabase::Kind::OldFormat,
             {QStringLiteral("CREATE TABLE ix_t_bp_mel (x)")}},
        },
        &DbFileTexts::NotPrepared);
}

// The open of a current file writes little (a call timeout below 66 is
// raised); refused afterwards, not even the header's counters move.
TEST(DatabaseOpenFailure, ARefusalInsideTheOpenLeavesEvenTheHeaderAsItWas) {
    const QString shortTimeout = QStringLiteral("UPDATE t_ke SET t_dl = 30");
    expectEachRefused(
        {
            {"flag names that refuse a change",
             TestDatabase::Kind::New,
             {shortTimeout, QStringLiteral("DELETE FROM t_fl WHERE nomf = 2"),
              QStringLiteral("CREATE TRIGGER no_flag BEFORE INSERT ON t_fl "
                             "BEGIN SELECT RAISE(ABORT, 'no'); END")}},
            {"a table under an index's name",
             TestDatabase::Kind::New,
             {shortTimeout, QStringLiteral("DROP INDEX IF EXISTS ix_k_dom_net"),
              QStringLiteral("CREATE TABLE ix_k_dom_net (x)")}},
        },
        &DbFileTexts::NotPrepared);
}

TEST(DatabaseOpenFailure, TheTrueCauseIsToldForADamagedFileInAReadOnlyFolderAndANewerFormat) {
    TestDatabase damaged;
    const QByteArray damagedBytes = damagedAfterFirstPage(fileBytes(damaged.dbPath()));
    damaged.programDir().writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), damagedBytes);
    {
        ReadOnlyPath readOnly(damaged.dbDir());
        if (!readOnly.Active()) GTEST_SKIP() << "no way to make a folder read-only here";
        EXPECT_EQ(QStringLiteral("Файл базы данных повреждён."),
                  expectToldAndUntouched(damaged.dbDir(), damagedBytes));
    }
    TestDatabase newer;
    QByteArray newerBytes = fileBytes(newer.dbPath());
    newerBytes[18] = 3;  // written by an engine whose format this one only reads
    newer.programDir().writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), newerBytes);
    EXPECT_EQ(DbFileTexts::NewerFormat(newer.dbPath()),
              expectToldAndUntouched(newer.dbDir(), newerBytes));
}

// Measured: such a file was refused for the disk, yet converted, grown and
// indexed. Now the disk runs out at the first write, among the upgrade's
// steps, or at the commit with the indexes; with room again it opens.
TEST(DatabaseOpenFailure, AnOlderFileOnAFullDiskIsLeftAsItWas) {
    ProgramOnASmallDisk place;
    if (!place.disk.Mounted()) GTEST_SKIP() << place.disk.WhyNot().toStdString();
    const QString folder = place.Folder();
    const QString file = place.File();
    QString error;
    ASSERT_TRUE(TestDatabase::BuildOldFormatDatabase(file, &error)) << error.toStdString();
    const QByteArray before = fileBytes(file);
    for (qint64 room : {0, 24, 48, 96}) {
        SCOPED_TRACE(room);
        ASSERT_TRUE(place.disk.Fill(room * 1024));
        EXPECT_EQ(QStringLiteral("На диске нет места."), expectToldAndUntouched(folder, before));
        place.disk.Free();
    }
    expectANewObjectBesideObjectOne(file);
}

// A value of the global parameters that is not a number reads as the
// parameter's default: the limit of devices is not 0, and entrances save.
TEST(DatabaseOpenFailure, GlobalParametersThatAreNoNumbersReadAsTheirDefaults) {
    TestDatabase database;
    reshape(database,
            {QStringLiteral("UPDATE t_global SET MaxDevice = 'x', Shapka = '', SepDevice = NULL"),
             QStringLiteral("INSERT INTO k_net (id_net, ident) VALUES (1, 'Объект 1')"),
             QStringLiteral("INSERT INTO k_dom (id_net, house, v_pod) VALUES (1, 'Дом 1', 1)"),
             QStringLiteral("INSERT INTO k_pod (id_net, id_dom, n_pod) VALUES (1, 1, 1)")});
    expectANewObjectBesideObjectOne(database.dbPath(), [] {
        EXPECT_EQ(ArmGlobals().MaxDevice, Globals().MaxDevice);
        EXPECT_EQ(ArmGlobals().Shapka, Globals().Shapka);
        EXPECT_EQ(ArmGlobals().SepDevice, Globals().SepDevice);
    });
}

// The log holds real failures only: a start on a good database, an older one
// to be upgraded, writes nothing of the database's there.
TEST(DatabaseOpenFailure, ANormalStartLogsNoDatabaseFailure) {
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && type != QtInfoMsg) logged << text;
        });
    {
        TestDatabase database(TestDatabase::Kind::OldFormat);
        ScriptedDialogs dialogs;
        TheWholeProgram program;
        EXPECT_TRUE(FDM && FDM->Connected());
    }
    qInstallMessageHandler(previous);
    const QRegularExpression databaseFailure(QStringLiteral("^(Dataset |Database |QSqlQuery)"));
    EXPECT_EQ(QStringList(), logged.filter(databaseFailure));
}

// Runs statement with values bound on the file, beside the program; the
// rows it changed.
int runOn(const QString& file, const QString& statement, const QVariantList& values) {
    const QString connection = QStringLiteral("open_failure_writer");
    int changed = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        QSqlQuery q(db);
        EXPECT_TRUE(db.open() && q.prepare(statement)) << statement.toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString() << "\n"
                              << statement.toStdString();
        changed = q.numRowsAffected();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return changed;
}

// The file with the count set in every row of its table (in a new row where
// the table has none), as bytes.
QByteArray withCount(const QString& file, const StoredCountLimit& count, qint64 value) {
    const QString table = QString::fromLatin1(count.table);
    const QString column = QString::fromLatin1(count.column);
    if (runOn(file, QStringLiteral("UPDATE %1 SET %2 = ?").arg(table, column), {value}) == 0)
        runOn(file, QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(table, column), {value});
    return fileBytes(file);
}

// The reference object's file, changed before each start. A count the
// check let through would size the program's loops and lists: each test
// runs in a child of its own, whose memory and time are bounded, so that
// such a count fails it in seconds.
class ReferenceDatabaseAtOpen : public ProgramRoads {
  protected:
    void TheCountAtItsEndsAndBeyond(const StoredCountLimit& count);
    void ACountChangedUnderTheProgram();
};

// One case per count, so that each bounded child starts the program only a
// few times.
class ReferenceDatabaseCountAtOpen : public ReferenceDatabaseAtOpen,
                                     public ::testing::WithParamInterface<int> {};

// Every count that sizes a loop, a list or a statement, at the ends of its
// limits and far beyond, through the start. Within them the reference object
// opens; beyond them the file is refused as it is. Every start ends: one on
// 2^31 - 1 entrances never showed its window.
TEST_P(ReferenceDatabaseCountAtOpen, ACountBeyondTheProgramsLimitsIsRefusedAsItIs) {
    const StoredCountLimit& count = StoredCountLimits().at(GetParam());
    BoundedChild child;
    EXPECT_TRUE(child.Run([&] { TheCountAtItsEndsAndBeyond(count); }))
        << child.Output().toStdString();
}

INSTANTIATE_TEST_SUITE_P(EachCount, ReferenceDatabaseCountAtOpen,
                         ::testing::Range(0, int(StoredCountLimits().size())),
                         [](const ::testing::TestParamInfo<int>& info) {
                             const StoredCountLimit& count = StoredCountLimits().at(info.param);
                             return std::string(count.table) + "_" + count.column;
                         });

void ReferenceDatabaseAtOpen::TheCountAtItsEndsAndBeyond(const StoredCountLimit& count) {
    const QString file = database_.dbPath();
    const struct {
        qint64 value;
        bool within;
    } values[] = {
        {0, true},
        {count.most, true},
        {count.least, true},
        {count.least - 1, false},
        {count.most + 1, false},
        {std::numeric_limits<qint32>::max(), false},
        {qint64(std::numeric_limits<qint32>::min()) - 1, false},  // 2^31 - 1 in 32 bits
    };
    // The upgrade gives the tract count 8, whatever the file held.
    const bool setByTheUpgrade = QLatin1String(count.column) == QLatin1String("KolTractPK");
    for (const auto& v : values) {
        const QString what = QStringLiteral("%1.%2 = %3")
                                 .arg(QLatin1String(count.table), QLatin1String(count.column))
                                 .arg(v.value);
        BoundedChild::Step(what);
        SCOPED_TRACE(what.toStdString());
        RestoreTheReferenceDatabase();
        const QByteArray before = withCount(file, count, v.value);
        if (!v.within && !setByTheUpgrade) {
            EXPECT_EQ(DbFileTexts::CountsBeyondLimits(file),
                      expectToldAndUntouched(database_.dbDir(), before));
            continue;
        }
        StartOn(1);
        if (setByTheUpgrade) {
            EXPECT_EQ(8, Globals().KolTractPK);
        }
        EndTheProgram();
    }
}

// Another program set a count beyond its limit while the file was open: F5
// refuses the file and closes everything, rather than hang on it.
TEST_F(ReferenceDatabaseAtOpen, ACountChangedUnderTheProgramIsRefusedByTheReopen) {
    BoundedChild child;
    EXPECT_TRUE(child.Run([this] { ACountChangedUnderTheProgram(); }))
        << child.Output().toStdString();
}

void ReferenceDatabaseAtOpen::ACountChangedUnderTheProgram() {
    StartOn(1);
    ASSERT_FALSE(HasFatalFailure());
    runOn(database_.dbPath(), QStringLiteral("UPDATE k_net SET v_pod = 2147483647"), {});
    dialogs_.Expect(QStringLiteral("Ошибка"),
                    MainWindowTexts::OpenFailed(
                        database_.dbDir(), {DbFileTexts::CountsBeyondLimits(database_.dbPath())}));
    Menu(QStringLiteral("MReOpen"));
    dialogs_.VerifyDone();
    EXPECT_FALSE(FDM->Connected());
    EXPECT_EQ(0, FMainVesk->VisibleScreen());
}

// A file the program left whole, then changed by another program: a
// dropped table's pages kept for later use, and their list damaged. No read
// goes there, the next write that needs a page does, and would spread the
// damage. The engine's quick check finds it before anything is written.
TEST_F(ReferenceDatabaseAtOpen, ADatabaseDamagedWhereTheOpenDoesNotReadIsToldAndNeverChanged) {
    const QString file = database_.dbPath();
    StartOn(1);
    EndTheProgram();
    for (const char* sql : {"CREATE TABLE spare (x)", "INSERT INTO spare VALUES (zeroblob(20000))",
                            "DROP TABLE spare"})
        runOn(file, QString::fromLatin1(sql), {});
    QByteArray damaged = fileBytes(file);
    const int pageSize = qFromBigEndian<quint16>(damaged.constData() + 16);
    const quint32 firstFree = qFromBigEndian<quint32>(damaged.constData() + 32);
    ASSERT_GT(firstFree, 1u) << "the dropped table's pages are kept";
    // Its count of pages listed, far beyond the file.
    qToBigEndian<quint32>(0xFFFFFFF0u, damaged.data() + qint64(firstFree - 1) * pageSize + 4);
    database_.programDir().writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), damaged);
    EXPECT_EQ(QStringLiteral("Файл базы данных повреждён."),
              expectToldAndUntouched(database_.dbDir(), damaged));
}

// While another copy holds the file for itself (compaction, about to
// replace it), a start is refused and writes nothing; once given back, the
// same file opens.
TEST(DatabaseOpenFailure, ADatabaseAnotherCopyHoldsForItselfIsRefusedAsBusyAndLeftAsItWas) {
    TestDatabase database;
    {
        DatabaseSoleUse compaction;
        ASSERT_EQ(DatabaseSoleUse::Outcome::Taken, compaction.Take(database.dbPath()));
        EXPECT_EQ(QStringLiteral("База данных занята другой программой."),
                  expectToldAndUntouched(database.dbDir(), fileBytes(database.dbPath())));
    }
    ScriptedDialogs dialogs;
    TheWholeProgram program;
    EXPECT_TRUE(FDM && FDM->Connected());
}

// The file opened once, as bytes: its next open has nothing to write.
QByteArray openedOnce(const QString& file) {
    TFDM fdm;
    QString error;
    EXPECT_TRUE(fdm.Connect(file, &error)) << error.toStdString();
    fdm.Disconnect();
    return fileBytes(file);
}

// The program starts on the database of its folder where nothing can be
// written: it opens the file with the warning, and the file is as it was.
void expectOpensReadOnly(const QString& folder, const QString& warning, const QByteArray& before) {
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(QStringLiteral("Внимание"), warning);
        TheWholeProgram program;
        EXPECT_TRUE(FDM && FDM->Connected());
        EXPECT_EQ(folder, FMainVesk->DatabaseFolder());
        EXPECT_TRUE(FDM && FDM->Q_Net->IsOpen());
        dialogs.VerifyDone();
    }
    EXPECT_EQ(before, fileBytes(folder + QLatin1String(AppPaths::kDbFileName)));
}

// A good file opens wherever nothing can be written: the file itself, its
// folder, a read-only medium. One that needs the upgrade is refused there
// with that reason, as it is.
TEST(DatabaseOpenFailure, AGoodFileWhereNothingCanBeWrittenOpensReadOnlyWithTheWarning) {
    {
        SCOPED_TRACE("a read-only file");
        TestDatabase database;
        const QByteArray before = openedOnce(database.dbPath());
        ReadOnlyPath readOnly(database.dbPath());
        if (!readOnly.Active()) GTEST_SKIP() << "no way to make a file read-only here";
        expectOpensReadOnly(database.dbDir(),
                            MainWindowTexts::ReadOnlyFileWarning(database.dbPath()), before);
    }
    {
        SCOPED_TRACE("a read-only folder");
        TestDatabase database;
        const QByteArray before = openedOnce(database.dbPath());
        ReadOnlyPath readOnly(database.dbDir());
        ASSERT_TRUE(readOnly.Active());
        expectOpensReadOnly(database.dbDir(),
                            MainWindowTexts::ReadOnlyFolderWarning(database.dbDir()), before);
    }
    // A new file, never opened: without the indexes the program adds, it
    // opens all the same, only slower.
    SCOPED_TRACE("a read-only medium");
    TestDatabase good;
    const QByteArray before = fileBytes(good.dbPath());
    ProgramOnASmallDisk place;
    if (!place.disk.Mounted()) GTEST_SKIP() << place.disk.WhyNot().toStdString();
    QFile(good.dbPath()).copy(place.File());
    ASSERT_TRUE(place.disk.SetReadOnly(true));
    expectOpensReadOnly(place.Folder(), MainWindowTexts::ReadOnlyFolderWarning(place.Folder()),
                        before);
    ASSERT_TRUE(place.disk.SetReadOnly(false));
    QString error;
    ASSERT_TRUE(QFile::remove(place.File()));
    ASSERT_TRUE(TestDatabase::BuildOldFormatDatabase(place.File(), &error)) << error.toStdString();
    const QByteArray old = fileBytes(place.File());
    ASSERT_TRUE(place.disk.SetReadOnly(true));
    EXPECT_EQ(DbFileTexts::UpgradeInReadOnlyFolder(place.File()),
              expectToldAndUntouched(place.Folder(), old));
    place.disk.SetReadOnly(false);
}

}  // namespace
}  // namespace DatabaseOpenFailureTestUnit
