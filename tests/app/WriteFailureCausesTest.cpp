// A write the file refuses tells its true cause in one sentence under what
// was not done, whatever stopped it: a full disk, a rule of the file itself,
// a counter that has given out its last row number, a trigger that quietly
// drops the row. The file stays as it was. A matrix table the matrix screen
// cannot use is told in one box, "Ошибка матрицы!" with the reason under it.
// The database folder lies on a small disk of its own; where none can be
// mounted, the full disk's cases skip.

#include "app/TFMainVesk.h"
#include "keys/ui/TFrKeys.h"
#include "platform/Dataset.h"
#include "platform/ui/DatasetGrid.h"
#include "site/MatrixRules.h"
#include "site/ObjectScreen.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/THouseGrid.h"
#include "support/FakeClipboard.h"
#include "support/ProgramRoads.h"
#include "support/SmallDisk.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>
#include <optional>

namespace WriteFailureCausesTestUnit {

namespace {

enum class Cause { FullDisk, FileRule, SpentCounter, DroppedRow };

const char* NameOf(Cause cause) {
    switch (cause) {
        case Cause::FullDisk:
            return "a full disk";
        case Cause::FileRule:
            return "a rule of the file";
        case Cause::SpentCounter:
            return "a spent counter";
        case Cause::DroppedRow:
            return "a dropped row";
    }
    return "";
}

class WriteFailureCauses : public ProgramRoads {
  protected:
    void SetUp() override {
        ProgramRoads::SetUp();
        if (HasFatalFailure() || !disk_.Mounted()) return;
        const QString folder = QDir::cleanPath(database_.dbDir());
        ASSERT_TRUE(QDir(folder).removeRecursively());
        ASSERT_TRUE(QFile::link(disk_.Path(), folder));
        RestoreTheReferenceDatabase();
    }

    // The program started on the screen, the file open beside it.
    void Start(int screen) {
        TakeRoad(Road::FirstStart, screen);
        file_ = database_.open();
    }
    void End() {
        clipboard_.reset();
        file_ = QSqlDatabase();
        EndTheProgram();
        disk_.Free();
        RestoreTheReferenceDatabase();
    }
    void Sql(const QString& sql) {
        QSqlQuery q(file_);
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << '\n' << sql.toStdString();
    }
    // The cause, set up on the table the write adds a row to.
    void Arm(Cause cause, const QString& table) {
        const QString trigger =
            QStringLiteral("CREATE TRIGGER file_rule BEFORE INSERT ON %1 BEGIN SELECT %2; END");
        switch (cause) {
            case Cause::FullDisk:
                ASSERT_TRUE(disk_.Fill());
                break;
            case Cause::FileRule:
                Sql(trigger.arg(table, QStringLiteral("RAISE(ABORT, 'refused')")));
                break;
            case Cause::SpentCounter:
                Sql(QStringLiteral(
                        "UPDATE sqlite_sequence SET seq=9223372036854775807 WHERE name='%1'")
                        .arg(table));
                break;
            case Cause::DroppedRow:
                Sql(trigger.arg(table, QStringLiteral("RAISE(IGNORE)")));
                break;
        }
    }
    QString FileNow() { return TestDatabase::Dump(file_); }

    TFrMatr* Objects() { return qobject_cast<TFrMatr*>(FMainVesk->FrameOfScreen(1)); }
    TFrDom* Matrix() { return qobject_cast<TFrDom*>(FMainVesk->FrameOfScreen(2)); }
    TFrKeys* Keys() { return qobject_cast<TFrKeys*>(FMainVesk->FrameOfScreen(9)); }

    SmallDisk disk_{16 * 1024 * 1024};
    QSqlDatabase file_;
    std::optional<FakeClipboard> clipboard_;
};

// One write of each screen that adds a row: the operator's steps before it,
// the table it adds its row to, the sentence its failure starts with, the
// question it asks first (answered Yes), and the button or menu item.
struct WriteRoad {
    const char* what;
    int screen;
    QString table;
    QString notDone;
    std::function<void()> prepare;
    std::pair<QString, QString> question;
    std::function<void()> press;
};

TEST_F(WriteFailureCauses, AFailedWriteTellsItsOwnCauseAndLeavesTheFileAsItWas) {
    const WriteRoad roads[] = {
        {"a new object",
         1,
         "k_net",
         "Объект не сохранен.",
         [this] {
             Objects()->BNew->click();
             Objects()->P1_ENew->setText(QStringLiteral("Дом на Лесной"));
             Objects()->P1_EAdr->setPlainText(QStringLiteral("ул. Лесная, 3"));
         },
         {ObjectScreenTexts::kConfirmNewCaption, ObjectScreenTexts::kConfirmNew},
         [this] { Objects()->BitSave->click(); }},
        {"one more house",
         1,
         "k_dom",
         "Дома не сохранены.",
         [this] {
             Objects()->BEdit->click();
             Objects()->P1_EDom->setValue(3);
         },
         {},
         [this] { Objects()->BitSave->click(); }},
        {"one more entrance",
         1,
         "k_pod",
         "Подъезды не сохранены.",
         [this] {
             Objects()->BEdit->click();
             Objects()->CGridD->EntrancesEdit(1)->setValue(2);
         },
         {},
         [this] { Objects()->BitSavePod->click(); }},
        {"the matrix with a new gate",
         2,
         "m_bv",
         "Матрица не сохранена.",
         [this] {
             dialogs_.Expect(MatrixTexts::kAddGateCaption, MatrixTexts::kAddGate, DlgAnswer::Yes);
             Matrix()->BitAppKal->click();
         },
         {},
         [this] { Matrix()->BtnSave->click(); }},
        {"pasted keys",
         9,
         "k_key",
         "Ключи не вставлены.",
         [this] {
             clipboard_.emplace();
             clipboard_->SetText(QStringLiteral("0000001B0001\r\n0000001B0002\r\n"));
         },
         {QStringLiteral("Добавление записей"), QStringLiteral("Вставить строки?")},
         [this] {
             emit Keys()->DBGrid2->customContextMenuRequested(QPoint(5, 5));
             Keys()->PopupMenu->hide();
             Keys()->NInsert->trigger();
         }},
    };
    const QString kFull = QStringLiteral("На диске нет места.");
    const QString kRule = QStringLiteral("Запись отклонена триггером самого файла базы данных.");
    const QString kDropped = QStringLiteral("Новая запись не получила номера.");
    const QString kSpent = QStringLiteral("Номера новых записей в таблице %1 исчерпаны.");
    // The reason under the road's sentence; none: no box (a paste skips a
    // key the file refuses without a word, and says nothing of it pasted).
    const struct {
        int road;
        Cause cause;
        QString reason;
    } cases[] = {
        {0, Cause::FullDisk, kFull},      {0, Cause::FileRule, kRule},
        {0, Cause::SpentCounter, kSpent}, {0, Cause::DroppedRow, kDropped},
        {1, Cause::FullDisk, kFull},      {1, Cause::FileRule, kRule},
        {1, Cause::SpentCounter, kSpent}, {1, Cause::DroppedRow, kDropped},
        {2, Cause::FullDisk, kFull},      {2, Cause::FileRule, kRule},
        {2, Cause::SpentCounter, kSpent}, {2, Cause::DroppedRow, kDropped},
        {3, Cause::FullDisk, kFull},      {3, Cause::FileRule, kRule},
        {3, Cause::DroppedRow, kDropped}, {4, Cause::FullDisk, kFull},
        {4, Cause::FileRule, {}},         {4, Cause::DroppedRow, {}},
    };
    for (const auto& c : cases) {
        const WriteRoad& road = roads[c.road];
        SCOPED_TRACE(std::string(road.what) + ", " + NameOf(c.cause));
        if (c.cause == Cause::FullDisk && !disk_.Mounted()) continue;
        Start(road.screen);
        road.prepare();
        Arm(c.cause, road.table);
        const QString before = FileNow();
        const QString told = road.notDone + QLatin1Char('\n') +
                             QString(c.reason).replace(QStringLiteral("%1"), road.table);
        if (!road.question.first.isEmpty())
            dialogs_.Expect(road.question.first, road.question.second, DlgAnswer::Yes);
        if (!c.reason.isEmpty()) dialogs_.Expect(QStringLiteral("Ошибка"), told);
        road.press();
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
        EXPECT_EQ(before, FileNow());
        if (road.screen == 9) {
            EXPECT_EQ(QString(), Keys()->OtmBlue->text()) << "nothing pasted";
        }
        End();
    }
}

// The matrix screen opened on a table it cannot use, each time for another
// reason: one box, and no second one from the refill that follows the open.
TEST_F(WriteFailureCauses, TheMatrixScreenTellsATableItCannotUseInOneBox) {
    const struct {
        const char* what;
        QStringList arm;  // on the file, %1 the object's id_net
        bool fullDisk;
        QString reason;
    } cases[] = {
        {"a field gone from the table",
         {"ALTER TABLE matr_%1 DROP COLUMN sys_n"},
         false,
         "В базе данных нет поля sys_n."},
        {"no room to make the table again", {"DROP TABLE matr_%1"}, true, "На диске нет места."},
        // A table no longer as the saved matrix has it, which showing refills.
        {"a refill a rule of the file refuses",
         {"UPDATE matr_%1 SET nm_bv='изменено'",
          "CREATE TRIGGER file_rule BEFORE INSERT ON matr_%1 BEGIN SELECT RAISE(ABORT, 'no'); END"},
         false,
         "Запись отклонена триггером самого файла базы данных."},
        {"a view in the table's place",
         {"DROP TABLE matr_%1", "CREATE VIEW matr_%1 AS SELECT 1 AS name"},
         false,
         "Устройство базы данных отличается от того, которое ждёт программа."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fullDisk && !disk_.Mounted()) continue;
        Start(1);
        for (const QString& sql : c.arm) Sql(sql.arg(IdNet()));
        if (c.fullDisk) {
            ASSERT_TRUE(disk_.Fill());
        }
        dialogs_.Expect(QStringLiteral("Ошибка"), QStringLiteral("Ошибка матрицы!\n") + c.reason);
        ShowByMenu(2);
        dialogs_.VerifyDone();
        End();
    }
}

}  // namespace
}  // namespace WriteFailureCausesTestUnit
