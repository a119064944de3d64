// A write refused part-way (its second statement refused, as a full disk
// refuses it) leaves the screen showing what the file holds, read through a
// connection of the test's own: at once, and after the main menu and back.

#include "app/TFMainVesk.h"
#include "foundation/TFDM.h"
#include "platform/Dataset.h"
#include "site/EntranceScreen.h"
#include "site/ObjectScreen.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPod.h"
#include "site/ui/THouseGrid.h"
#include "site/ui/TRecordGrid.h"
#include "support/ProgramRoads.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>

#include <functional>

namespace WriteFailureRoadsTestUnit {
namespace {

// A write of several tables that the file refuses part-way.
struct RefusedWrite {
    const char* what;
    int screen;                               // where the operator starts
    QString refused, told;                    // the refused statement; the start of the failure
    std::function<void()> prepare;            // the operator's steps, questions answered
    std::function<QPushButton*()> press;      // the button whose write fails
    QString stored;                           // what the write changes, read from the file
    std::function<std::string()> shown = {};  // what the screen shows of it
};

class WriteFailureRoads : public ProgramRoads {
  protected:
    QSqlDatabase file_;

    // The write made and refused, the failure told; whileTold runs while the
    // failure's box is up.
    void MakeRefused(const RefusedWrite& w, std::function<void()> whileTold = {}) {
        TakeRoad(Road::FirstStart, w.screen);
        Refuse(w.refused);
        w.prepare();
        dialogs_.ExpectContaining(QStringLiteral("Ошибка"), w.told);
        if (whileTold) dialogs_.WhenShown(std::move(whileTold));
        w.press()->click();
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
    }
    void EndAndRestore() {
        file_.close();
        EndTheProgram();
        RestoreTheReferenceDatabase();
    }

    void Refuse(const QString& onWhat) {
        file_ = database_.open();
        QSqlQuery(file_).exec(QStringLiteral("CREATE TRIGGER full_disk BEFORE ") + onWhat +
                              QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    }
    // The rows of a query on the file, a line each.
    std::string Stored(const QString& sql) { return Rows(file_, sql); }
    // The same through the program's own connection, which sees its own writes
    // before they are committed.
    std::string ReadByTheProgram(const QString& sql) { return Rows(FDM->ConnectionDB(), sql); }
    // No write is pending on the file: another connection may start one at once.
    bool FreeForAnotherWriter() {
        QSqlQuery q(file_);
        const bool free = q.exec(QStringLiteral("PRAGMA busy_timeout=0")) &&
                          q.exec(QStringLiteral("BEGIN IMMEDIATE"));
        if (free) q.exec(QStringLiteral("ROLLBACK"));
        return free;
    }

    TFrMatr* Objects() { return qobject_cast<TFrMatr*>(FMainVesk->FrameOfScreen(1)); }
    TFrPod* Entrances() { return qobject_cast<TFrPod*>(FMainVesk->FrameOfScreen(3)); }

    // The last apartments of the first entrance typed, the recount agreed to.
    void TypeLastApartments() {
        if (!Entrances()->ChBxLast->isChecked()) Entrances()->ChBxLast->click();
        QLineEdit* last = Entrances()->CGridP->Editor(0, QStringLiteral("npkvr"));
        last->setFocus();
        last->selectAll();
        QTest::keyClicks(last, QStringLiteral("30"));
        dialogs_.Expect(QStringLiteral("Продолжение"), EntranceTexts::kRecountQuestion,
                        DlgAnswer::Yes);
    }
    // A third house asked for in the object's edit panel.
    void AskForAThirdHouse() {
        Objects()->BEdit->click();
        Objects()->P1_EDom->setValue(3);
    }

    // The houses grid of the object's edit panel, opened when it is closed.
    std::string HouseGrid() {
        if (!Objects()->PanelEdit->isVisible()) Objects()->BEdit->click();
        QStringList rows;
        for (int r = 0; r < Objects()->CGridD->RowCount(); ++r)
            rows << Objects()->CGridD->PrefixEdit(r)->text() + QLatin1Char(' ') +
                        Objects()->CGridD->EntrancesEdit(r)->text();
        return rows.join(QLatin1Char('\n')).toStdString();
    }
    // The apartment ranges of the first house's entrances.
    std::string EntranceGrid() {
        QStringList rows;
        for (int r = 0; r < Entrances()->CGridP->RowCount(); ++r) {
            QStringList cells;
            for (const char* field : {"n1kvr", "npkvr", "v_kvr"})
                cells << Entrances()->CGridP->Editor(r, QLatin1String(field))->text();
            rows << cells.join(QLatin1Char(' '));
        }
        return rows.join(QLatin1Char('\n')).toStdString();
    }
};

namespace {
const QString kHouses =
    QStringLiteral("SELECT kod_d, v_pod FROM k_dom WHERE id_net=%1 ORDER BY id_dom");
const QString kFirstHouseEntrances = QStringLiteral(
    "SELECT n1kvr, npkvr, v_kvr FROM k_pod WHERE id_dom=(SELECT MIN(id_dom) "
    "FROM k_dom WHERE id_net=%1) ORDER BY n_pod");
}  // namespace

TEST_F(WriteFailureRoads, AWriteRefusedPartWayLeavesTheScreenShowingTheFile) {
    const RefusedWrite writes[] = {
        {"the entrance recount", 3, "UPDATE OF v_kvr ON k_pod WHEN NEW.n_pod=2",
         "Квартиры не пересчитаны.", [this] { TypeLastApartments(); },
         [this] { return Entrances()->But1kv; }, kFirstHouseEntrances,
         [this] { return EntranceGrid(); }},
        {"one more house", 1, "UPDATE OF v_dom ON k_net", "Дома не сохранены.",
         [this] { AskForAThirdHouse(); }, [this] { return Objects()->BitSave; }, kHouses,
         [this] { return HouseGrid(); }},
        {"houses brought in line on closing", 1, "UPDATE OF kod_d ON k_dom WHEN NEW.kod_d='2'",
         "Дома не приведены в порядок.",
         [this] {
             Objects()->BEdit->click();
             Objects()->CGridD->PrefixEdit(1)->selectAll();
             QTest::keyClicks(Objects()->CGridD->PrefixEdit(1), QStringLiteral("5"));
             Objects()->CGridD->EntrancesEdit(1)->setValue(3);
         },
         [this] { return Objects()->BitCancel; }, kHouses, [this] { return HouseGrid(); }},
    };
    for (const auto& w : writes) {
        SCOPED_TRACE(w.what);
        MakeRefused(w);
        EXPECT_EQ(w.shown(), Stored(w.stored)) << "at once";
        ShowByMenu(0);
        ShowByMenu(w.screen);
        EXPECT_EQ(w.shown(), Stored(w.stored)) << "after the main menu";
        EndAndRestore();
    }
}

// A write of several tables that fails is undone before the operator is told:
// while the box is up, the program's own connection reads what the file
// holds, and no write of the program's is left open on the file.
TEST_F(WriteFailureRoads, AFailedWriteIsUndoneBeforeTheBoxComesUp) {
    const RefusedWrite writes[] = {
        {"the entrance recount", 3, "UPDATE OF v_kvr ON k_pod WHEN NEW.n_pod=2",
         "Квартиры не пересчитаны.", [this] { TypeLastApartments(); },
         [this] { return Entrances()->But1kv; }, kFirstHouseEntrances},
        {"\"Сохранить дома\"", 1, "UPDATE OF v_dom ON k_net", "Дома не сохранены.",
         [this] { AskForAThirdHouse(); }, [this] { return Objects()->BitSave; }, kHouses},
        {"\"Сохранить подъезды\"", 1, "UPDATE OF v_pod ON k_net", "Подъезды не сохранены.",
         [this] {
             // The second house gets a second entrance.
             Objects()->BEdit->click();
             Objects()->CGridD->EntrancesEdit(1)->setValue(2);
         },
         [this] { return Objects()->BitSavePod; },
         "SELECT n.v_pod, COUNT(p.id_pod) FROM k_net n LEFT JOIN k_pod p ON p.id_net=n.id_net "
         "WHERE n.id_net=%1 GROUP BY n.id_net"},
        {"a new object", 1, "UPDATE OF id_nom ON k_net", "Объект не сохранен.",
         [this] {
             Objects()->BNew->click();
             Objects()->P1_ENew->setText(QStringLiteral("Дом на Лесной"));
             Objects()->P1_EAdr->setPlainText(QStringLiteral("ул. Лесная, 3"));
             Objects()->P1_EDom->setValue(1);
             dialogs_.Expect(ObjectScreenTexts::kConfirmNewCaption, ObjectScreenTexts::kConfirmNew,
                             DlgAnswer::Yes);
         },
         [this] { return Objects()->BitSave; }, "SELECT ident FROM k_net WHERE id_net>=%1"},
    };
    for (const auto& w : writes) {
        SCOPED_TRACE(w.what);
        bool looked = false;
        MakeRefused(w, [&] {
            looked = true;
            EXPECT_EQ(ReadByTheProgram(w.stored), Stored(w.stored));
            EXPECT_TRUE(FreeForAnotherWriter());
        });
        EXPECT_TRUE(looked);
        EndAndRestore();
    }
}
}  // namespace
}  // namespace WriteFailureRoadsTestUnit
