#include "foundation/DbSchema.h"
#include "foundation/Globals.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <cmath>
#include <map>

namespace DbSchemaTestUnit {
namespace {

QStringList Names(const QString& prefix, int from, int to) {
    QStringList names;
    for (int i = from; i <= to; ++i) names << prefix + QString::number(i).rightJustified(2, u'0');
    return names;
}

// Every column the program's screens, datasets and device files use.
const std::map<QString, QStringList>& ExpectedColumns() {
    static const std::map<QString, QStringList> columns = {
        {"k_net", {"id_net", "ident", "id_nom", "d_beg", "d_net", "v_pod",  "v_kal",
                   "adres",  "l_pok", "l_obv",  "l_otz", "l_pnp", "st_net", "farc",
                   "incr",   "v_key", "p_kvr",  "p_dop", "v_dom", "flbv",   "flpo"}},
        {"k_dom",
         {"id_dom", "id_net", "house", "kod_d", "v_pod", "st_dom", "v_kvr", "p_dop", "kvv_t"}},
        {"k_pod",
         {"id_pod", "id_net", "id_dom", "n_pod", "v_dvr", "v_kvr", "n1kvr", "npkvr", "type_n",
          "d_key", "o_key", "o_rky", "p_dop", "nm_pod", "kvv_t"}},
        {"k_kvr", QStringList{"id_kvr", "id_net", "id_pod", "p_nom",  "n_kvr", "p_kvr", "call",
                              "m_obr",  "p_pk",   "l_otz",  "l_del",  "v_key", "r_key", "mtdy",
                              "mtnt",   "l_pnp",  "st_kvr", "l_trub", "l_vid", "m_blk", "p_dop",
                              "Fam",    "Nam",    "Och",    "x_key",  "y_key"} +
                      Names("f_m", 3, 16) + Names("f_p", 2, 16) + Names("f_k", 3, 9)},
        {"k_key",
         {"un_key", "id_pod", "bv_key", "id_kvr", "id_net", "l_ob", "s_met", "status", "l_del"}},
        {"k_pk", {"id_pk", "id_pod", "id_net", "id_ke", "id_mvv", "id_mot", "m_vo",   "m_vb",
                  "n_xl",  "p_fc",   "sn_pk",  "n_net", "type_k", "type_f", "id_dip", "ai",
                  "ah",    "l_cnf",  "conf",   "kf_pr", "p_dop",  "n_vid",  "rsrv",   "passw"}},
        {"k_bv",
         QStringList{"id_bv", "id_net", "n_net", "n_nt0", "n_bv", "bv_type", "sn_bv", "adrcs",
                     "adrpk", "auto",   "bell",  "blato", "dsoc", "farc",    "kfilt", "l_kns",
                     "nrcs",  "ot",     "ph_0",  "ph_1",  "sl",   "l_use",   "kf_pr", "p_dop",
                     "rsrv",  "scud",   "lrez",  "passw", "l_pok"} +
             QStringList{"ocode0", "ocode1", "ocode2", "ocode3", "ocode4", "ocode5", "ocode6",
                         "ocode7", "ocode8", "ocode9"}},
        {"k_po",
         {"id_po", "id_net", "n_net", "sn_po", "id_mel0", "id_mel1", "adcch", "adccl", "adccm",
          "adchh", "adchl",  "adchm", "blato", "busy",    "cbto",    "cldp",  "clha",  "clvl",
          "dpto",  "exec",   "frmc",  "frmi",  "klvl",    "mcam",    "ncam",  "scam",  "mtdy",
          "mtnt",  "npce",   "rmto",  "sobj1", "sobj2",   "sus1",    "sus2",  "sus3",  "sus4",
          "talk",  "kf_pr",  "p_dop", "lrez",  "passw"}},
        {"m_pk",
         {"id_net", "n_pk", "n_pod", "kod_d", "v_dvr", "n_net", "id_pk", "id_dom", "nm_pod",
          "l_del"}},
        {"m_bv",
         {"id_net", "n_bv", "n_pk", "bv_type", "n_net", "n_nt0", "plus", "id_bv", "tract", "mk_bv",
          "mk_po", "l_use", "nm_bv", "l_del"}},
        {"t_global",
         {"KolTractPK", "MaxCountBV", "CamPO", "MaxDevice", "SepDevice", "APP_pk", "APP_bv",
          "APP_po", "MaskBvEnabled", "MaskPoEnabled", "WidthMain", "HeightMain", "Shapka", "Colstp",
          "nmBVp", "nmBVk"}},
        {"t_fl", {"tabl", "nomf", "namf"}},
        {"t_ke", {"id_ke", "id_net", "name", "t_cm",  "t_cl", "t_dl", "t_vc", "t_dx",
                  "t_st",  "t_mo",   "t_bo", "t_po",  "edge", "t_ed", "t_de", "acp1",
                  "acp2",  "acp3",   "acp4", "l_use", "t_wt", "p_dop"}},
        {"t_dip", {"id_dip", "id_pk", "id_net", "n_dip", "n_nul", "n_ful", "k_kol", "lline"}},
        {"t_mel", {"id_mel", "name", "forr", "l_edit"}},
        {"t_bp", {"id_mel", "nom", "noot", "gerc", "gercbeep", "leng"}},
        {"t_not", {"oct", "Name", "Valn", "Gerc"}},
        {"t_sec", {"id_net", "n_net", "n_sec", "n_nt0"}},
        {"t_pkrd", {"n_pk", "s_pk"}},
        {"t_pkwt", {"n_pk", "t_pk"}},
    };
    return columns;
}

QVariant Value(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
    return q.next() ? q.value(0) : QVariant();
}

QStringList Column(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
    QStringList values;
    while (q.next()) values << q.value(0).toString();
    return values;
}

bool Upgrade(QSqlDatabase& db) {
    QString error;
    const bool ok = UpgradeSchema(db, &error);
    EXPECT_TRUE(ok) << error.toStdString();
    return ok;
}

// "1" + digits, padded with '0' to 32 characters.
QString Mask(const QString& digits) {
    return digits + QString(32 - digits.size(), u'0');
}

TEST(DbSchemaNew, HasEveryTableAndColumn) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    for (const auto& [table, columns] : ExpectedColumns())
        for (const QString& column : columns)
            EXPECT_TRUE(FieldExists(db, table, column))
                << table.toStdString() << "." << column.toStdString();
    EXPECT_TRUE(FieldExists(db, "t_pack", "id_pack"));
    // Names compare case-insensitively; a missing table or column is not found.
    EXPECT_TRUE(FieldExists(db, "k_net", "ID_NET"));
    EXPECT_TRUE(FieldExists(db, "t_global", "koltractpk"));
    EXPECT_FALSE(FieldExists(db, "k_net", "f_m03"));
    EXPECT_FALSE(FieldExists(db, "no_such_table", "id_net"));
    EXPECT_FALSE(FieldExists(db, "k_net'; DROP TABLE k_net; --", "id_net"));
    EXPECT_TRUE(FieldExists(db, "k_net", "id_net"));
}

TEST(DbSchemaNew, GlobalRowAndFlagNames) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    EXPECT_EQ(Value(db, "SELECT COUNT(*) FROM t_global").toInt(), 1);
    QSqlQuery g(db);
    ASSERT_TRUE(
        g.exec("SELECT KolTractPK, MaxDevice, SepDevice, Shapka, Colstp, WidthMain, "
               "HeightMain, nmBVp, nmBVk, APP_pk, APP_bv, APP_po FROM t_global"));
    ASSERT_TRUE(g.next());
    EXPECT_EQ(g.value(0).toInt(), 8);
    EXPECT_EQ(g.value(1).toInt(), 50);
    EXPECT_EQ(g.value(2).toInt(), 63);
    EXPECT_EQ(g.value(3).toInt(), 5);
    EXPECT_EQ(g.value(4).toInt(), 2);
    EXPECT_EQ(g.value(5).toInt(), 800);
    EXPECT_EQ(g.value(6).toInt(), 595);
    EXPECT_EQ(g.value(7).toString(), QStringLiteral("БВ подъезда"));
    EXPECT_EQ(g.value(8).toString(), QStringLiteral("БВ калитки"));
    // Section-0 sizes in the order the file-kind recognition needs.
    EXPECT_LT(g.value(9).toInt(), g.value(10).toInt());
    EXPECT_LT(g.value(10).toInt(), g.value(11).toInt());

    EXPECT_EQ(Column(db, "SELECT tabl || '/' || nomf || '/' || namf FROM t_fl ORDER BY tabl, nomf"),
              QStringList({"БВ/1/Прямой вызов", "БВ/2/Отзвонка", "ППО/1/Перенаправление вызова"}));
}

TEST(DbSchemaNew, RecommendedParameterSet) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    QSqlQuery q(db);
    ASSERT_TRUE(
        q.exec("SELECT t_cm, t_cl, t_dl, t_vc, t_dx, t_st, t_mo, t_bo, t_wt, t_po, t_ed, "
               "t_de, edge, acp1, acp2, acp3, acp4, l_use, id_ke FROM t_ke WHERE name = "
               "'АРМ DUZAVIZOR рекомендовано'"));
    ASSERT_TRUE(q.next());
    const int expected[] = {0, 0, 95, 0, 0, 1, 0, 0, 66, 5, 1, 1, 0, 64, 128, 192, 0, 1};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(q.value(i).toInt(), expected[i]) << "column " << i;
    EXPECT_GT(q.value(18).toInt(), 0);
    EXPECT_FALSE(q.next());

    // A set appended with only a name gets the same values from the defaults.
    ASSERT_TRUE(q.exec("INSERT INTO t_ke (name) VALUES ('x')"));
    ASSERT_TRUE(
        q.exec("SELECT t_dl, t_st, t_wt, t_po, t_ed, t_de, acp1, acp2, acp3, l_use FROM "
               "t_ke WHERE name = 'x'"));
    ASSERT_TRUE(q.next());
    const int defaults[] = {95, 1, 66, 5, 1, 1, 64, 128, 192, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(q.value(i).toInt(), defaults[i]) << "column " << i;
}

TEST(DbSchemaNew, StandardMelodiesAndNoteTable) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    const std::pair<const char*, const char*> melodies[] = {
        {"Стандарт вызова Darvo", "вызов"},
        {"Стандарт отзвонки Darvo", "отзвонка"},
        {"Вызов от посетителя", "посетитель"},
        {"Вызов от абонента", "абонент"},
    };
    const int consoleTones[] = {0, 88, 94, 106, 120, 134, 150, 178, 198, 238};
    for (const auto& [name, purpose] : melodies) {
        QSqlQuery q(db);
        q.prepare("SELECT id_mel, forr FROM t_mel WHERE name = ?");
        q.addBindValue(QString::fromUtf8(name));
        ASSERT_TRUE(q.exec());
        ASSERT_TRUE(q.next()) << name;
        EXPECT_EQ(q.value(1).toString(), QString::fromUtf8(purpose));
        const int id = q.value(0).toInt();
        const int notes =
            Value(db, QString("SELECT COUNT(*) FROM t_bp WHERE id_mel = %1").arg(id)).toInt();
        EXPECT_GE(notes, 2) << name;
        // Notes numbered 1..n without gaps.
        EXPECT_EQ(Value(db, QString("SELECT MAX(nom) FROM t_bp WHERE id_mel = %1").arg(id)).toInt(),
                  notes);
        const bool console =
            QString::fromUtf8(purpose) == "посетитель" || QString::fromUtf8(purpose) == "абонент";
        if (!console) continue;
        // A console melody: at most 5 notes from the 10-tone picker, 4-bit lengths.
        EXPECT_LE(notes, 5);
        QSqlQuery n(db);
        ASSERT_TRUE(n.exec(QString("SELECT noot, gerc, leng FROM t_bp WHERE id_mel = %1").arg(id)));
        while (n.next()) {
            const int cell = n.value(0).toInt();
            ASSERT_TRUE(cell >= 0 && cell <= 9);
            EXPECT_EQ(n.value(1).toInt(), consoleTones[cell]);
            EXPECT_LE(n.value(2).toInt(), 15);
        }
    }
    // Switch melody notes take tone values of the staff.
    EXPECT_EQ(Value(db,
                    "SELECT COUNT(*) FROM t_bp b JOIN t_mel m ON m.id_mel = b.id_mel WHERE "
                    "m.forr IN ('вызов', 'отзвонка') AND b.gerc > 0 AND b.gerc NOT IN "
                    "(SELECT Valn FROM t_not)")
                  .toInt(),
              0);

    // The staff: distinct 8-bit tone values that sound the stated frequency.
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("SELECT Valn, Gerc, Name FROM t_not"));
    int rows = 0;
    while (q.next()) {
        ++rows;
        const int valn = q.value(0).toInt();
        ASSERT_TRUE(valn >= 1 && valn <= 255);
        const double sounded = 16000000.0 / (1024.0 * (valn + 1));
        EXPECT_LT(std::abs(sounded - q.value(1).toDouble()) / q.value(1).toDouble(), 0.03)
            << q.value(2).toString().toStdString();
    }
    EXPECT_GE(rows, 12);
    EXPECT_EQ(Value(db, "SELECT COUNT(DISTINCT Valn) FROM t_not").toInt(), rows);
}

TEST(DbSchemaNew, NewRowsGetUsableDefaults) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("INSERT INTO k_net (ident) VALUES ('a')"));
    ASSERT_TRUE(q.exec("INSERT INTO k_po (id_net) VALUES (1)"));
    ASSERT_TRUE(q.exec("INSERT INTO k_kvr (id_net) VALUES (1)"));
    EXPECT_EQ(Value(db, "SELECT st_net || v_dom || '/' || l_pok || '/' || flbv FROM k_net"),
              QVariant("пусто1/0/"));
    EXPECT_EQ(Value(db, "SELECT v_key FROM k_net").toInt(), 4);
    EXPECT_EQ(Value(db,
                    "SELECT busy || ',' || blato || ',' || npce || ',' || n_net || ',' || "
                    "frmc || ',' || frmi || ',' || talk FROM k_po")
                  .toString(),
              "31,152,915,63,45,3,60");
    EXPECT_EQ(Value(db, "SELECT l_vid || m_blk || l_trub || mtdy FROM k_kvr").toString(), "110-1");
    // Counters are never reused.
    ASSERT_TRUE(q.exec("DELETE FROM k_net"));
    ASSERT_TRUE(q.exec("INSERT INTO k_net (ident) VALUES ('b')"));
    EXPECT_EQ(Value(db, "SELECT id_net FROM k_net").toInt(), 2);
}

TEST(DbSchemaNew, NeverOverwritesAnExistingFile) {
    TestDatabase fx(TestDatabase::Kind::None);
    fx.programDir().writeFile("DB_ARM/db_arm_vesk.mdb", "precious");
    QString error;
    EXPECT_FALSE(CreateNewDatabase(fx.dbPath(), &error));
    EXPECT_TRUE(error.contains(fx.dbPath()));
    QFile f(fx.dbPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == "precious");
    // Nothing was left beside it.
    EXPECT_EQ(QDir(fx.dbDir()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(DbSchemaNew, LeavesNoTemporaryFileAndRefusesAFolderThatIsNotThere) {
    TestDatabase fx(TestDatabase::Kind::None);
    QDir(fx.programDir().path()).mkpath("a/b");
    const QString path = fx.programDir().path() + "a/b/db.mdb";
    QString error;
    ASSERT_TRUE(CreateNewDatabase(path, &error)) << error.toStdString();
    EXPECT_EQ(QDir(fx.programDir().path() + "a/b").entryList(QDir::Files | QDir::Hidden),
              QStringList{"db.mdb"});
    EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::ReadOther);

    // A mistyped folder is not made, parents and all.
    EXPECT_FALSE(CreateNewDatabase(fx.programDir().path() + "c/d/db.mdb", &error));
    EXPECT_EQ(error, "Нет папки " + fx.programDir().path() + "c/d");
    EXPECT_FALSE(QFileInfo::exists(fx.programDir().path() + "c"));
}

TEST(DbSchemaNew, BuildWritesDatabaseNextToProgram) {
    const QString path = QStringLiteral(ARM_BIN_DIR "/DB_ARM/db_arm_vesk.mdb");
    ASSERT_TRUE(QFileInfo::exists(path));
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "build_output_db");
    db.setDatabaseName(path);
    db.setConnectOptions("QSQLITE_OPEN_READONLY");
    ASSERT_TRUE(db.open());
    EXPECT_TRUE(FieldExists(db, "t_global", "SepDevice"));
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("build_output_db");
}

// The new-database tool of the build, run in a folder of its own.
TEST(NewDatabaseTool, HelpAndUnknownOptionsWriteNoFile) {
    QTemporaryDir dir;
    auto run = [&dir](const QStringList& args, QByteArray* out = nullptr) {
        QProcess tool;
        tool.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(ARM_BIN_DIR "/arm_newdb"), args);
        EXPECT_TRUE(tool.waitForFinished(30000));
        if (out) *out = tool.readAllStandardOutput() + tool.readAllStandardError();
        return tool.exitCode();
    };
    auto entries = [&dir] {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    QByteArray out;
    EXPECT_EQ(0, run({"--help"}, &out));
    EXPECT_TRUE(out.startsWith("Вызов: arm_newdb [--keep-existing] ФАЙЛ\n"
                               "Записывает новую БД рабочего места в ФАЙЛ")) << out.toStdString();
    EXPECT_EQ(0, run({"-h", "x.mdb"}));
    EXPECT_EQ(2, run({"--force", "x.mdb"}, &out));
    EXPECT_TRUE(out.startsWith("arm_newdb: неизвестный параметр --force\nВызов:"))
        << out.toStdString();
    EXPECT_EQ(2, run({}));
    EXPECT_EQ(2, run({"a.mdb", "b.mdb"}));
    EXPECT_EQ(QStringList(), entries());

    // A file whose name starts with a dash, after "--".
    EXPECT_EQ(0, run({"--keep-existing", "--", "-odd.mdb"}, &out));
    EXPECT_EQ(out, "Записана новая БД -odd.mdb\n");
    EXPECT_EQ(QStringList({"-odd.mdb"}), entries());
    EXPECT_EQ(0, run({"--keep-existing", "--", "-odd.mdb"}, &out));
    EXPECT_EQ(out, "БД -odd.mdb уже есть и оставлена как есть\n");
    EXPECT_EQ(1, run({"--", "-odd.mdb"}, &out)) << "an existing file is never overwritten";
    EXPECT_TRUE(out.startsWith("arm_newdb: Файл БД уже существует: ")) << out.toStdString();

    // A path under a folder that is not there is refused, and nothing is made.
    EXPECT_EQ(1, run({"no/such/db.mdb"}, &out));
    EXPECT_EQ(out, "arm_newdb: Нет папки " + dir.path().toUtf8() + "/no/such\n");
    EXPECT_EQ(QStringList({"-odd.mdb"}), entries());
}

TEST(DbSchemaUpgrade, NewDatabasePassesThroughUnchanged) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    const QString before = TestDatabase::Dump(db);
    ASSERT_TRUE(Upgrade(db));
    EXPECT_EQ(TestDatabase::Dump(db), before);
}

TEST(DbSchemaUpgrade, OldFormatGetsMasksAndLosesOldColumns) {
    TestDatabase fx(TestDatabase::Kind::OldFormat);
    QSqlDatabase db = fx.open();
    ASSERT_TRUE(Upgrade(db));

    EXPECT_EQ(Column(db, "SELECT flbv FROM k_net ORDER BY id_net"),
              QStringList({Mask("1"
                                "1"
                                "10100000000001"),
                           Mask("1"
                                "0"
                                "01000000000000")}));
    EXPECT_EQ(Column(db, "SELECT flpo FROM k_net ORDER BY id_net"),
              QStringList({Mask("1"
                                "100000000000001"),
                           Mask("1"
                                "010000000000000")}));
    for (const QString& column : Names("f_m", 3, 16)) {
        EXPECT_FALSE(FieldExists(db, "k_net", column));
        EXPECT_FALSE(FieldExists(db, "k_bv", column));
        EXPECT_TRUE(FieldExists(db, "k_kvr", column));  // apartments keep their flags
    }
    for (const QString& column : Names("f_p", 2, 16)) {
        EXPECT_FALSE(FieldExists(db, "k_net", column));
        EXPECT_FALSE(FieldExists(db, "k_po", column));
        EXPECT_TRUE(FieldExists(db, "k_kvr", column));
    }
    EXPECT_FALSE(FieldExists(db, "k_net", "n_dir"));
    // Other data survive the column drops.
    EXPECT_EQ(Column(db, "SELECT ident || '/' || st_net FROM k_net ORDER BY id_net"),
              QStringList({"Объект 1/закрыто", "Объект 2/сохранено"}));
    EXPECT_EQ(Value(db, "SELECT n_bv FROM k_bv WHERE id_bv = 2").toString(), "БВ02");
    EXPECT_EQ(Value(db, "SELECT busy || ',' || npce FROM k_po").toString(), "31,915");

    // Every table now has every column.
    for (const auto& [table, columns] : ExpectedColumns())
        for (const QString& column : columns)
            EXPECT_TRUE(FieldExists(db, table, column))
                << table.toStdString() << "." << column.toStdString();
}

TEST(DbSchemaUpgrade, OldFormatValuesAndFlagTable) {
    Globals() = ArmGlobals{};
    TestDatabase fx(TestDatabase::Kind::OldFormat);
    QSqlDatabase db = fx.open();
    ASSERT_TRUE(Upgrade(db));

    EXPECT_EQ(Value(db, "SELECT KolTractPK || ',' || SepDevice || ',' || MaxDevice FROM t_global")
                  .toString(),
              "8,63,50");
    // Call timeouts below 66 become 95; t_wt and t_st are set on the added column.
    EXPECT_EQ(Column(db, "SELECT t_dl || ',' || t_wt || ',' || t_st FROM t_ke ORDER BY id_ke"),
              QStringList({"95,66,1", "100,66,1", "95,66,1"}));
    EXPECT_EQ(Column(db,
                     "SELECT x_key || ',' || y_key || ',' || l_vid || m_blk || f_k03 FROM "
                     "k_kvr ORDER BY id_kvr"),
              QStringList({"4,2,110", "5,5,110", "0,1,110"}));
    // Panels take their object's console flag.
    EXPECT_EQ(Column(db, "SELECT l_pok FROM k_bv ORDER BY id_bv"), QStringList({"1", "1", "0"}));
    EXPECT_EQ(Value(db, "SELECT COUNT(*) FROM k_pk WHERE kf_pr = 0 AND n_vid = -1").toInt(), 2);
    EXPECT_EQ(Value(db, "SELECT v_dom || ',' || p_dop FROM k_net WHERE id_net = 1").toString(),
              "1,0");

    // The old flag table: its columns replaced, its leftover row gone, the fixed rows in.
    for (const char* old : {"f_nm", "id_net", "n_net", "f_sz"})
        EXPECT_FALSE(FieldExists(db, "t_fl", old));
    EXPECT_EQ(Column(db, "SELECT tabl || '/' || nomf || '/' || namf FROM t_fl ORDER BY tabl, nomf"),
              QStringList({"БВ/1/Прямой вызов", "БВ/2/Отзвонка", "ППО/1/Перенаправление вызова"}));
}

TEST(DbSchemaUpgrade, SecondUpgradeChangesNothing) {
    TestDatabase fx(TestDatabase::Kind::OldFormat);
    QSqlDatabase db = fx.open();
    ASSERT_TRUE(Upgrade(db));
    const QString once = TestDatabase::Dump(db);
    ASSERT_TRUE(Upgrade(db));
    EXPECT_EQ(TestDatabase::Dump(db), once);
}

// A database made before new objects got four keys per apartment, and one of
// the old layout whose column has no default at all: both keep their
// objects' values, and an object made afterwards gets 4.
TEST(DbSchemaUpgrade, NewObjectsGetFourKeysPerApartmentOldOnesKeepTheirs) {
    for (const auto kind : {TestDatabase::Kind::New, TestDatabase::Kind::OldFormat}) {
        TestDatabase fx(kind);
        QSqlDatabase db = fx.open();
        QSqlQuery q(db);
        if (kind == TestDatabase::Kind::New) {
            // As the earlier schema wrote it, comments and all.
            ASSERT_TRUE(q.exec("PRAGMA writable_schema=ON"));
            ASSERT_TRUE(q.exec("UPDATE sqlite_master SET sql=replace(sql, "
                               "'v_key INTEGER DEFAULT 4,', 'v_key INTEGER DEFAULT 0,') "
                               "WHERE name='k_net'"));
            ASSERT_TRUE(q.exec("PRAGMA writable_schema=OFF"));
            db.close();
            ASSERT_TRUE(db.open());
            q = QSqlQuery(db);
            ASSERT_TRUE(q.exec("INSERT INTO k_net (ident) VALUES ('старый')"));
        }
        const QStringList before = Column(db, "SELECT id_net || '=' || v_key FROM k_net");
        const QString tableText =
            Value(db, "SELECT sql FROM sqlite_master WHERE name='k_net'").toString();
        ASSERT_EQ(Value(db, "SELECT dflt_value FROM pragma_table_info('k_net') "
                            "WHERE name='v_key'")
                      .toString(),
                  kind == TestDatabase::Kind::New ? "0" : "");
        ASSERT_TRUE(Upgrade(db));
        EXPECT_EQ(Column(db, "SELECT id_net || '=' || v_key FROM k_net"), before);
        ASSERT_TRUE(q.exec("INSERT INTO k_net (ident) VALUES ('новый')"));
        EXPECT_EQ(Value(db, "SELECT v_key FROM k_net WHERE ident='новый'").toInt(), 4);
        EXPECT_EQ(Value(db, "PRAGMA integrity_check").toString(), "ok");
        // Nothing else of the table changed (the old layout also loses its old
        // columns), and a second open changes nothing.
        const QString after =
            Value(db, "SELECT sql FROM sqlite_master WHERE name='k_net'").toString();
        if (kind == TestDatabase::Kind::New)
            EXPECT_EQ(after, QString(tableText).replace("v_key INTEGER DEFAULT 0,",
                                                        "v_key INTEGER DEFAULT 4,"));
        else
            EXPECT_TRUE(after.contains("incr INTEGER, v_key INTEGER DEFAULT 4,\n    p_kvr TEXT,"))
                << after.toStdString();
        const QString once = TestDatabase::Dump(db);
        ASSERT_TRUE(Upgrade(db));
        EXPECT_EQ(TestDatabase::Dump(db), once);
    }
}

TEST(DbSchemaUpgrade, MissingOldColumnsReadAsZero) {
    TestDatabase fx(TestDatabase::Kind::OldFormat);
    QSqlDatabase db = fx.open();
    QSqlQuery q(db);
    for (const char* sql :
         {"ALTER TABLE k_net DROP COLUMN l_otz", "ALTER TABLE k_net DROP COLUMN f_m05",
          "ALTER TABLE k_net DROP COLUMN f_p16", "ALTER TABLE k_net DROP COLUMN l_pok",
          "ALTER TABLE k_kvr DROP COLUMN v_key", "ALTER TABLE k_bv DROP COLUMN f_m10",
          "ALTER TABLE t_ke DROP COLUMN t_st"})
        ASSERT_TRUE(q.exec(sql)) << sql;
    ASSERT_TRUE(Upgrade(db));
    EXPECT_EQ(Column(db, "SELECT flbv FROM k_net ORDER BY id_net"),
              QStringList({Mask("1"
                                "0"
                                "10000000000001"),
                           Mask("1"
                                "0"
                                "01000000000000")}));
    EXPECT_EQ(Column(db, "SELECT flpo FROM k_net ORDER BY id_net"),
              QStringList({Mask("1"
                                "100000000000000"),
                           Mask("1"
                                "010000000000000")}));
    EXPECT_EQ(Column(db, "SELECT x_key FROM k_kvr ORDER BY id_kvr"), QStringList({"0", "0", "0"}));
    EXPECT_EQ(Column(db, "SELECT l_pok FROM k_bv ORDER BY id_bv"), QStringList({"0", "0", "0"}));
    EXPECT_FALSE(FieldExists(db, "k_bv", "f_m03"));
    EXPECT_FALSE(FieldExists(db, "k_net", "f_m16"));
}

TEST(DbSchemaUpgrade, ForcesTractCountOnlyWhenItDiffers) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("UPDATE t_global SET SepDevice = 70, MaxDevice = 45"));
    ASSERT_TRUE(Upgrade(db));
    EXPECT_EQ(Value(db, "SELECT SepDevice || ',' || MaxDevice FROM t_global").toString(), "70,45");

    Globals().SepDevice = 72;
    Globals().MaxDevice = 48;
    ASSERT_TRUE(q.exec("UPDATE t_global SET KolTractPK = 12"));
    ASSERT_TRUE(Upgrade(db));
    Globals() = ArmGlobals{};
    EXPECT_EQ(Value(db, "SELECT KolTractPK || ',' || SepDevice || ',' || MaxDevice FROM t_global")
                  .toString(),
              "8,72,48");
}

TEST(DbSchemaUpgrade, KeyQuotaMovesButRegisteredCountIsKept) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("INSERT INTO k_kvr (v_key, r_key, x_key, y_key) VALUES (4, 1, 9, 3)"));
    ASSERT_TRUE(q.exec("ALTER TABLE k_kvr DROP COLUMN x_key"));
    ASSERT_TRUE(Upgrade(db));
    EXPECT_EQ(Value(db, "SELECT x_key || ',' || y_key FROM k_kvr").toString(), "4,3");
}

TEST(DbSchemaUpgrade, MissingTractCountReadsAsZero) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("ALTER TABLE t_global DROP COLUMN KolTractPK"));
    ASSERT_TRUE(q.exec("UPDATE t_global SET SepDevice = 70, MaxDevice = 45"));
    ASSERT_TRUE(Upgrade(db));
    EXPECT_EQ(Value(db, "SELECT SepDevice || ',' || MaxDevice FROM t_global").toString(), "63,50");
}

TEST(DbSchemaUpgrade, FlagTableKeepsOtherRowsAndRenamesConsoleFlag) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("DELETE FROM t_fl WHERE tabl = 'БВ' AND nomf = 2"));
    ASSERT_TRUE(q.exec("UPDATE t_fl SET namf = 'Обратный вызов' WHERE tabl = 'ППО'"));
    ASSERT_TRUE(q.exec("INSERT INTO t_fl (tabl, nomf, namf) VALUES ('БВ', 3, 'Мой флаг')"));
    QString error;
    ASSERT_TRUE(UpgradeFlagTable(db, &error)) << error.toStdString();
    EXPECT_EQ(Column(db, "SELECT tabl || '/' || nomf || '/' || namf FROM t_fl ORDER BY tabl, nomf"),
              QStringList({"БВ/1/Прямой вызов", "БВ/2/Отзвонка", "БВ/3/Мой флаг",
                           "ППО/1/Перенаправление вызова"}));
}

TEST(DbSchemaUpgrade, FailureLeavesFileAsItWas) {
    TestDatabase fx(TestDatabase::Kind::OldFormat);
    QSqlDatabase db = fx.open();
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("DROP TABLE k_po"));  // a step late in the order fails
    const QString before = TestDatabase::Dump(db);
    QString error;
    EXPECT_FALSE(UpgradeSchema(db, &error));
    // The statement that failed goes to the log, not to the operator.
    EXPECT_EQ("В базе данных нет таблицы k_po.", error);
    EXPECT_EQ(TestDatabase::Dump(db), before);
}

TEST(DbSchemaUpgrade, HooksRunInOrderAndCanStopTheUpgrade) {
    TestDatabase fx(TestDatabase::Kind::OldFormat);
    QSqlDatabase db = fx.open();
    QStringList calls;
    SchemaUpgradeHooks hooks;
    hooks.openMatrTable = [&](QSqlDatabase& d, QString*) {
        // Columns are done, the flag table is not yet.
        calls << QString("matrix:%1:%2")
                     .arg(FieldExists(d, "k_net", "flbv"))
                     .arg(FieldExists(d, "t_fl", "tabl"));
        return true;
    };
    hooks.afterFlagTable = [&](QSqlDatabase& d, QString*) {
        calls << QString("after:%1").arg(FieldExists(d, "t_fl", "tabl"));
        return true;
    };
    QString error;
    ASSERT_TRUE(UpgradeSchema(db, hooks, &error)) << error.toStdString();
    EXPECT_EQ(calls, QStringList({"matrix:1:0", "after:1"}));

    hooks.openMatrTable = [](QSqlDatabase&, QString* e) {
        *e = "Ошибка матрицы!";
        return false;
    };
    EXPECT_FALSE(UpgradeSchema(db, hooks, &error));
    EXPECT_EQ(error, "Ошибка матрицы!");
}

TEST(DbSchemaSql, SplitsStatementsOutsideQuotesAndComments) {
    EXPECT_EQ(SplitSqlStatements("-- a; comment\nCREATE TABLE a (x TEXT DEFAULT ';');\n"
                                 "INSERT INTO a VALUES ('it''s; -- not a comment'); -- tail;\n ;"),
              QStringList({"CREATE TABLE a (x TEXT DEFAULT ';')",
                           "INSERT INTO a VALUES ('it''s; -- not a comment')"}));
}

TEST(DbSchemaSql, DropTableReportsFailure) {
    TestDatabase fx;
    QSqlDatabase db = fx.open();
    EXPECT_TRUE(DropTable(db, "t_pack"));
    EXPECT_FALSE(FieldExists(db, "t_pack", "id_pack"));
    EXPECT_FALSE(DropTable(db, "t_pack"));
}
}  // namespace
}  // namespace DbSchemaTestUnit
