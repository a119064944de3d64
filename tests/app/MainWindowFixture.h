#pragma once
// A program folder with a new database, its data module and the dialog
// script, with small builders of objects for the main window's tests.

#include "app/AppForms.h"
#include "foundation/Globals.h"
#include "foundation/IniFile.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"
#include "support/ScriptedDialogs.h"
#include "support/SmallDisk.h"
#include "support/TempProgramDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

// A file's bytes, to see that it was left as it was.
inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A program folder whose database folder (a link) lies on a small disk of
// its own; a test skips where none can be mounted.
struct ProgramOnASmallDisk {
    ProgramOnASmallDisk() {
        if (disk.Mounted()) {
            EXPECT_TRUE(QFile::link(disk.Path(), program.path() + QStringLiteral("DB_ARM")));
        }
    }
    // With a trailing '/'.
    QString Folder() const { return program.path() + QStringLiteral("DB_ARM/"); }
    QString File() const { return Folder() + QLatin1String(AppPaths::kDbFileName); }

    SmallDisk disk{1024 * 1024};
    TempProgramDir program;
};

// The whole program, started as main() starts it and ended with the object
// (or by End()); the hooks and globals it installed are given back.
class TheWholeProgram {
  public:
    TheWholeProgram() { AppForms::CreateAll(); }
    ~TheWholeProgram() { End(); }
    TheWholeProgram(const TheWholeProgram&) = delete;
    TheWholeProgram& operator=(const TheWholeProgram&) = delete;
    void End() {
        if (ended_) return;
        ended_ = true;
        AppForms::DestroyAll();
        Hooks() = hooks_;
        Globals() = globals_;
    }

  private:
    NavigationHooks hooks_ = Hooks();
    ArmGlobals globals_ = Globals();
    bool ended_ = false;
};

// The ways out a window offers when it has no database, each declined: a new
// database in folder when nothing is there, then another folder.
inline void DeclineTheWaysOut(ScriptedDialogs& dialogs, const QString& folder,
                              bool newDatabaseOffered = true) {
    if (newDatabaseOffered)
        dialogs.Expect(QStringLiteral("Подтверждение"),
                       QStringLiteral("В папке ") + folder +
                           QStringLiteral(" нет файла БД. Создать в ней новую пустую БД?"),
                       DlgAnswer::No);
    dialogs.Expect(QStringLiteral("Вопрос"), QStringLiteral("Выбрать другую папку с БД?"),
                   DlgAnswer::No);
}

// A window starting in programDir, which holds no database: the open error,
// then the ways out, declined.
inline void ExpectAStartWithoutDatabase(ScriptedDialogs& dialogs, const QString& programDir) {
    dialogs.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("Ошибка открытия БД "));
    DeclineTheWaysOut(dialogs, programDir + QStringLiteral("DB_ARM/"));
}

// A program folder with a new database, its data module, and the dialog script.
class MainWindowDb : public ::testing::Test {
  protected:
    ~MainWindowDb() override { Hooks() = savedHooks_; }

    void exec(const QString& sql) {
        QSqlDatabase db = database_.open();
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << "\n" << sql.toStdString();
    }
    int addObject(const QString& name, int gates = 0, bool console = false) {
        QSqlDatabase db = database_.open();
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("INSERT INTO k_net (ident, v_kal, l_pok, st_net) "
                           "VALUES (?, ?, ?, 'пусто')"));
        q.addBindValue(name);
        q.addBindValue(gates);
        q.addBindValue(console ? 1 : 0);
        EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
        return q.lastInsertId().toInt();
    }
    void writeSettings(const QByteArray& text) {
        database_.programDir().writeFile(QStringLiteral("Ini/save.ini"), text);
    }
    IniFile savedSettings() {
        IniFile ini(database_.programDir().path() + QStringLiteral("Ini/save.ini"));
        ini.Load();
        return ini;
    }
    QString dbDir() const { return database_.dbDir(); }
    int addHouse(int idNet, int plannedEntrances = 0) {
        return insert(
            QStringLiteral("INSERT INTO k_dom (id_net, house, v_pod) VALUES (%1, 'Дом', %2)")
                .arg(idNet)
                .arg(plannedEntrances));
    }
    int addEntrance(int idNet, int idDom, int number = 1) {
        return insert(
            QStringLiteral("INSERT INTO k_pod (id_net, id_dom, n_pod) VALUES (%1, %2, %3)")
                .arg(idNet)
                .arg(idDom)
                .arg(number));
    }
    int addApartment(int idNet, int idPod, int number = 1) {
        return insert(QStringLiteral("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr) "
                                     "VALUES (%1, %2, %3, '%3', '%3')")
                          .arg(idNet)
                          .arg(idPod)
                          .arg(number));
    }
    int addSwitch(int idNet, int idPod) {
        return insert(QStringLiteral("INSERT INTO k_pk (id_net, id_pod, n_net) VALUES (%1, %2, 1)")
                          .arg(idNet)
                          .arg(idPod));
    }
    void setState(int idNet, const QString& state) {
        exec(QStringLiteral("UPDATE k_net SET st_net='%1' WHERE id_net=%2").arg(state).arg(idNet));
    }
    int insert(const QString& sql) {
        QSqlDatabase db = database_.open();
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << "\n" << sql.toStdString();
        return q.lastInsertId().toInt();
    }

    NavigationHooks savedHooks_ = Hooks();
    TestDatabase database_;
    TFDM fdm_;
    ScriptedDialogs dialogs_;
};
