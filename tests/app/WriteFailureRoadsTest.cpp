// A write refused part-way (its second statement refused, as a full disk
// refuses it) leaves the screen showing what the file holds, read through a
// connection of the test's own: at once, and after the main menu and back.

#include "app/TFMainVesk.h"
#include "platform/Dataset.h"
#include "site/EntranceScreen.h"
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
#include <QSqlRecord>
#include <QTest>

#include <functional>

class WriteFailureRoads : public ProgramRoads {
  protected:
    QSqlDatabase file_;

    void Refuse(const QString& onWhat) {
        file_ = database_.open();
        QSqlQuery(file_).exec(QStringLiteral("CREATE TRIGGER full_disk BEFORE ") + onWhat +
                              QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    }
    // The rows of a query on the file, a line each.
    std::string Stored(const QString& sql) {
        QSqlQuery q(file_);
        q.exec(sql.arg(IdNet()));
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i) cells << q.value(i).toString();
            rows << cells.join(QLatin1Char(' '));
        }
        return rows.join(QLatin1Char('\n')).toStdString();
    }

    TFrMatr* Objects() { return qobject_cast<TFrMatr*>(FMainVesk->FrameOfScreen(1)); }
    TFrPod* Entrances() { return qobject_cast<TFrPod*>(FMainVesk->FrameOfScreen(3)); }

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

TEST_F(WriteFailureRoads, AWriteRefusedPartWayLeavesTheScreenShowingTheFile) {
    const QString houses =
        QStringLiteral("SELECT kod_d, v_pod FROM k_dom WHERE id_net=%1 ORDER BY id_dom");
    const struct {
        const char* what;
        int screen;
        QString refused, told;
        std::function<void()> prepare;        // the operator's steps, questions answered
        std::function<QPushButton*()> press;  // the button whose write fails
        std::function<std::string()> shown;
        QString stored;
    } writes[] = {
        {"the entrance recount", 3, "UPDATE OF v_kvr ON k_pod WHEN NEW.n_pod=2",
         "Квартиры не пересчитаны.",
         [this] {
             // The last apartments are typed.
             if (!Entrances()->ChBxLast->isChecked()) Entrances()->ChBxLast->click();
             QLineEdit* last = Entrances()->CGridP->Editor(0, QStringLiteral("npkvr"));
             last->setFocus();
             last->selectAll();
             QTest::keyClicks(last, QStringLiteral("30"));
             dialogs_.Expect(QStringLiteral("Продолжение"), EntranceTexts::kRecountQuestion,
                             DlgAnswer::Yes);
         },
         [this] { return Entrances()->But1kv; }, [this] { return EntranceGrid(); },
         "SELECT n1kvr, npkvr, v_kvr FROM k_pod WHERE id_dom=(SELECT MIN(id_dom) FROM k_dom "
         "WHERE id_net=%1) ORDER BY n_pod"},
        {"one more house", 1, "UPDATE OF v_dom ON k_net", "Дома не сохранены.",
         [this] {
             Objects()->BEdit->click();
             Objects()->P1_EDom->setValue(3);
         },
         [this] { return Objects()->BitSave; }, [this] { return HouseGrid(); }, houses},
        {"houses brought in line on closing", 1, "UPDATE OF kod_d ON k_dom WHEN NEW.kod_d='2'",
         "Дома не приведены в порядок.",
         [this] {
             Objects()->BEdit->click();
             Objects()->CGridD->PrefixEdit(1)->selectAll();
             QTest::keyClicks(Objects()->CGridD->PrefixEdit(1), QStringLiteral("5"));
             Objects()->CGridD->EntrancesEdit(1)->setValue(3);
         },
         [this] { return Objects()->BitCancel; }, [this] { return HouseGrid(); }, houses},
    };
    for (const auto& w : writes) {
        SCOPED_TRACE(w.what);
        TakeRoad(Road::FirstStart, w.screen);
        Refuse(w.refused);
        w.prepare();
        dialogs_.ExpectContaining(QStringLiteral("Ошибка"), w.told);
        w.press()->click();
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
        EXPECT_EQ(w.shown(), Stored(w.stored)) << "at once";
        ShowByMenu(0);
        ShowByMenu(w.screen);
        EXPECT_EQ(w.shown(), Stored(w.stored)) << "after the main menu";
        file_.close();
        EndTheProgram();
        RestoreTheReferenceDatabase();
    }
}
