#pragma once
// The whole program reached the ways an engineer reaches it, as it starts:
// on a database that already holds the reference object with its device
// records (built once per test program by the program itself), with no table
// opened by the test. The roads:
//   - a first start on the screen the settings file names as the last shown;
//   - "БД" to another folder, with a new empty database, and back;
//   - a "БД" choice that fails on a damaged database file, after which the
//     previous folder is opened again.
// F5 ("Обновить таблицы") opens every table of the data module: what a
// screen shows after it is what the screen must show on every road.
//
// Usage:
//     class MyRoads : public ProgramRoads {};
//     TEST_F(MyRoads, ...) {
//         TakeRoad(Road::AnotherFolderAndBack, 13);
//         ...
//     }
// A test may end the program and start it again (EndTheProgram, then
// RestoreTheReferenceDatabase and a road).

#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "support/ReferenceObject.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <string>

class QWidget;

enum class Road {
    FirstStart,            // started on the screen
    AnotherFolderAndBack,  // started on the object screen, "БД" away and back, then the screen
    FailedFolderChoice,    // started on the object screen, a failed "БД", then the screen
};

// "first start", "folder and back", "failed choice": for messages and file names.
QString RoadName(Road road);

class ProgramRoads : public ::testing::Test {
  public:
    // A database file the program builds: started on start (a new database
    // when empty), build run on its open data module, ended; empty when
    // build fails.
    static QByteArray BuiltByTheProgram(const QByteArray& start,
                                        const std::function<bool()>& build);
    // The reference object with kOtherObject built the same way beside it, and
    // kNoApartments built up to its entrances.
    static QByteArray ThreeObjects(const QByteArray& reference);
    static inline const QString kOtherObject = QStringLiteral("Дом на Лесной");
    static inline const QString kNoApartments = QStringLiteral("Дом без квартир");

  protected:
    // Built once, before any test's program folder is made: the builder's
    // folder must not outlive it as the program's.
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // The same with an object of other options, for a suite that needs it.
    static void BuildReference(const ReferenceObjectOptions& options);

    void SetUp() override;
    void TearDown() override;

    // The program starts with its settings saying which screen was shown last.
    void StartOn(int screen);
    // The same in another program folder (made after the fixture's, which it
    // stands in for); false when the program did not open its database.
    static bool StartIn(const TempProgramDir& folder, int screen);
    // The program ends; the hooks and globals it installed are given back.
    void EndTheProgram();
    // The program folder's database is the reference object's as built, or
    // the given file (only while the program is not running).
    void RestoreTheReferenceDatabase();
    void RestoreDatabase(const QByteArray& file);

    // The road, ending on screen (shown through the menu where the road
    // does not start there). The object deletion (8) is a modal dialog: a
    // road to it stops short, for the caller to open it as it needs.
    void TakeRoad(Road road, int screen);

    void Menu(const QString& item);
    // On the object screen, the object named name clicked in the list.
    void ChooseObject(const QString& name);
    // The screen shown as the operator shows it: its menu item, or the
    // button back to the main menu for screen 0.
    void ShowByMenu(int screen);
    // "БД": the folder chosen in the folder picker; a refused one is met
    // with the open error.
    void ChooseDatabaseFolder(const QString& folder, bool refused = false);
    // "БД" to a folder with a new empty database, then back home.
    void ToAnotherFolderAndBack();
    // "БД" to a folder whose database file is damaged: refused, and the
    // home folder is open again.
    void AFailedFolderChoice();

    // The rows of a query (%1 the reference object's id_net) on a connection
    // of the file, a line each, their values apart by blanks.
    static std::string Rows(const QSqlDatabase& db, const QString& sql);

    // The reference object's id_net, and its database file as built.
    static qint64 IdNet() { return idNet_; }
    static const QByteArray& ReferenceDatabase() { return reference_; }

    TestDatabase database_;
    ScriptedDialogs dialogs_;

  private:
    static inline QByteArray reference_;
    static inline qint64 idNet_ = 0;
    NavigationHooks savedHooks_ = Hooks();
    ArmGlobals savedGlobals_ = Globals();
};
