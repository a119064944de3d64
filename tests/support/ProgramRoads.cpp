#include "support/ProgramRoads.h"

#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"
#include "site/ui/TFrMatr.h"
#include "support/ReferenceObject.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <iterator>

namespace {

// The reference object's database file with its device records, built by
// the program itself in a program folder of its own; its id_net.
QByteArray BuildReferenceDatabase(const ReferenceObjectOptions& options, qint64* idNet) {
    return ProgramRoads::BuiltByTheProgram({}, [&options, idNet] {
        ReferenceObject reference(options);
        const bool built = reference.Build(ReferenceStep::DeviceRecords);
        if (!built) ADD_FAILURE() << "reference object: " << reference.Error().toStdString();
        *idNet = reference.IdNet();
        return built;
    });
}

// The object deletion: a modal dialog, not a frame of the main window.
constexpr int kObjectDeletion = 8;

// The menu item of each screen 1..14, by design name (0 is the main menu).
QString MenuItemOf(int screen) {
    static const char* const items[] = {"",           "MConfObject", "MConfDom",   "MConfPod",
                                        "MPk",        "MBv",         "MConfKvr",   "MPo",
                                        "MServDel",   "MKey",        "MWriteConf", "MReadConf",
                                        "MNetDevice", "MRedactConf", "MAbonent"};
    return screen > 0 && screen < int(std::size(items)) ? QString::fromLatin1(items[screen])
                                                        : QString();
}

}  // namespace

QString RoadName(Road road) {
    switch (road) {
        case Road::FirstStart:
            return QStringLiteral("first start");
        case Road::AnotherFolderAndBack:
            return QStringLiteral("folder and back");
        case Road::FailedFolderChoice:
            return QStringLiteral("failed choice");
    }
    return {};
}

void ProgramRoads::SetUpTestSuite() {
    BuildReference({});
}

void ProgramRoads::BuildReference(const ReferenceObjectOptions& options) {
    reference_ = BuildReferenceDatabase(options, &idNet_);
}

void ProgramRoads::TearDownTestSuite() {
    reference_.clear();
}

void ProgramRoads::SetUp() {
    ASSERT_FALSE(reference_.isEmpty());
    RestoreTheReferenceDatabase();
}

void ProgramRoads::TearDown() {
    EndTheProgram();
}

QByteArray ProgramRoads::BuiltByTheProgram(const QByteArray& start,
                                           const std::function<bool()>& build) {
    TestDatabase db(start.isEmpty() ? TestDatabase::Kind::New : TestDatabase::Kind::None);
    if (!start.isEmpty())
        db.programDir().writeFile(
            QStringLiteral("DB_ARM/") + QString::fromLatin1(AppPaths::kDbFileName), start);
    NavigationHooks hooks = Hooks();
    ArmGlobals globals = Globals();
    AppForms::CreateAll();
    const bool built = FDM && build();
    AppForms::DestroyAll();
    Hooks() = hooks;
    Globals() = globals;
    QFile f(db.dbPath());
    return built && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray ProgramRoads::ThreeObjects(const QByteArray& reference) {
    return BuiltByTheProgram(reference, [] {
        ReferenceObjectOptions second, third;
        second.name = kOtherObject;
        third.name = kNoApartments;
        ReferenceObject other(second), empty(third);
        const bool built =
            other.Build(ReferenceStep::DeviceRecords) && empty.Build(ReferenceStep::Entrances);
        if (!built) ADD_FAILURE() << (other.Error() + empty.Error()).toStdString();
        return built;
    });
}

std::string ProgramRoads::Rows(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec(sql.arg(IdNet()))) << q.lastError().text().toStdString();
    QStringList rows;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i) cells << q.value(i).toString();
        rows << cells.join(QLatin1Char(' '));
    }
    return rows.join(QLatin1Char('\n')).toStdString();
}

void ProgramRoads::RestoreTheReferenceDatabase() {
    RestoreDatabase(reference_);
}

void ProgramRoads::RestoreDatabase(const QByteArray& file) {
    ASSERT_FALSE(FMainVesk) << "the program holds its database open";
    database_.programDir().writeFile(
        QStringLiteral("DB_ARM/") + QString::fromLatin1(AppPaths::kDbFileName), file);
}

void ProgramRoads::StartOn(int screen) {
    const bool connected = StartIn(database_.programDir(), screen);
    ASSERT_TRUE(FMainVesk);
    ASSERT_TRUE(connected);
}

bool ProgramRoads::StartIn(const TempProgramDir& folder, int screen) {
    folder.writeFile(QStringLiteral("Ini/save.ini"),
                     QStringLiteral("[Object]\nid=%1\nnf=%2\n").arg(idNet_).arg(screen).toUtf8());
    AppForms::CreateAll();
    if (!FMainVesk) return false;
    FMainVesk->show();
    QCoreApplication::processEvents();
    return FDM && FDM->Connected();
}

void ProgramRoads::EndTheProgram() {
    AppForms::DestroyAll();
    Hooks() = savedHooks_;
    Globals() = savedGlobals_;
}

void ProgramRoads::TakeRoad(Road road, int screen) {
    switch (road) {
        case Road::FirstStart:
            StartOn(screen);
            return;
        case Road::AnotherFolderAndBack:
            StartOn(1);
            if (!HasFatalFailure()) ToAnotherFolderAndBack();
            break;
        case Road::FailedFolderChoice:
            StartOn(1);
            if (!HasFatalFailure()) AFailedFolderChoice();
            break;
    }
    if (HasFatalFailure() || screen == kObjectDeletion) return;
    if (FMainVesk->VisibleScreen() != screen) ShowByMenu(screen);
}

void ProgramRoads::Menu(const QString& item) {
    QAction* action = FMainVesk->MenuItem(item);
    ASSERT_TRUE(action) << item.toStdString();
    action->trigger();
    QCoreApplication::processEvents();
}

void ProgramRoads::ChooseObject(const QString& name) {
    ShowByMenu(1);
    QTableView* list = qobject_cast<TFrMatr*>(FMainVesk->FrameOfScreen(1))->DBGrid1;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex cell = list->model()->index(row, 0);
        if (cell.data().toString() == name)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(cell).center());
    }
    QCoreApplication::processEvents();
    ASSERT_EQ(name, FDM->Q_Net->FieldByName(QStringLiteral("ident")).AsString());
}

void ProgramRoads::ShowByMenu(int screen) {
    if (screen == 0) {
        FMainVesk->ButEnd->click();
        QCoreApplication::processEvents();
        return;
    }
    Menu(MenuItemOf(screen));
}

void ProgramRoads::ChooseDatabaseFolder(const QString& folder, bool refused) {
    dialogs_.ExpectPicker(QStringLiteral("Выберите папку с БД"), folder);
    if (refused)
        dialogs_.ExpectContaining(QStringLiteral("Ошибка"),
                                  QStringLiteral("Ошибка открытия БД ") + folder);
    FMainVesk->BitSelectClick();
    QCoreApplication::processEvents();
}

void ProgramRoads::ToAnotherFolderAndBack() {
    QTemporaryDir otherDir;
    const QString other = otherDir.path() + QLatin1Char('/');
    QString error;
    ASSERT_TRUE(MainWindowLogic::MakeNewDatabase(other, &error)) << error.toStdString();
    const QString home = database_.dbDir();
    ChooseDatabaseFolder(other);
    ASSERT_EQ(other, FMainVesk->DatabaseFolder());
    ChooseDatabaseFolder(home);
    ASSERT_EQ(home, FMainVesk->DatabaseFolder());
}

void ProgramRoads::AFailedFolderChoice() {
    QTemporaryDir damagedDir;
    const QString damaged = damagedDir.path() + QLatin1Char('/');
    QFile file(damaged + QString::fromLatin1(AppPaths::kDbFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    ChooseDatabaseFolder(damaged, true);
    dialogs_.VerifyDone();
    ASSERT_EQ(database_.dbDir(), FMainVesk->DatabaseFolder());
    ASSERT_TRUE(FDM->Connected());
}
