// A write that fails part-way (the second statement refused, as a full disk
// refuses it) leaves the screen showing what the file holds: at once, after
// the failure is told, and after leaving the screen for the main menu and
// coming back. The file is read through a connection of its own.

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
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <functional>

namespace {

constexpr int kObjectScreen = 1;
constexpr int kEntranceScreen = 3;

QString Joined(const QStringList& cells) {
    return cells.join(QStringLiteral(" | "));
}

std::string Lines(const QStringList& rows) {
    return rows.join(QLatin1Char('\n')).toStdString();
}

}  // namespace

class WriteFailureRoads : public ProgramRoads {
  protected:
    // A connection of the test's own: it sees only what the program committed.
    QSqlDatabase File() {
        if (!file_.isValid()) file_ = database_.open();
        return file_;
    }

    void Sql(const QString& sql) {
        QSqlQuery q(File());
        ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << "\n" << sql.toStdString();
    }

    // Each row of the result, its values joined.
    QStringList Rows(const QString& sql) {
        QSqlQuery q(File());
        if (!q.exec(sql)) return {q.lastError().text()};
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i) cells << q.value(i).toString();
            rows << Joined(cells);
        }
        return rows;
    }

    // A trigger that refuses the statement the way a full disk does.
    void RefuseWhen(const QString& onWhat) {
        Sql(QStringLiteral("CREATE TRIGGER full_disk BEFORE ") + onWhat +
            QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
    }

    TFrMatr* Objects() { return qobject_cast<TFrMatr*>(FMainVesk->FrameOfScreen(kObjectScreen)); }
    TFrPod* Entrances() { return qobject_cast<TFrPod*>(FMainVesk->FrameOfScreen(kEntranceScreen)); }

    // The houses grid of the object's edit panel, opened from the object as
    // "Действующий объект" opens it when it is closed.
    QStringList HouseGrid() {
        TFrMatr* f = Objects();
        if (!f->PanelEdit->isVisible()) f->BEdit->click();
        QCoreApplication::processEvents();
        QStringList rows;
        for (int r = 0; r < f->CGridD->RowCount(); ++r)
            rows << Joined({f->CGridD->PrefixEdit(r)->text(),
                            QString::number(f->CGridD->EntrancesEdit(r)->value())});
        return rows;
    }
    QStringList StoredHouses() {
        return Rows(QStringLiteral("SELECT kod_d, v_pod FROM k_dom WHERE id_net=%1 ORDER BY id_dom")
                        .arg(IdNet()));
    }

    // The apartment ranges of the first house's entrances on the entrance screen.
    QStringList EntranceGrid() {
        TRecordGrid* grid = Entrances()->CGridP;
        QStringList rows;
        for (int r = 0; r < grid->RowCount(); ++r) {
            QStringList cells;
            for (const char* field : {"n1kvr", "npkvr", "v_kvr"})
                cells << grid->Editor(r, QLatin1String(field))->text();
            rows << Joined(cells);
        }
        return rows;
    }
    QStringList StoredEntrances() {
        return Rows(QStringLiteral("SELECT n1kvr, npkvr, v_kvr FROM k_pod WHERE id_dom=(SELECT "
                                   "MIN(id_dom) FROM k_dom WHERE id_net=%1) ORDER BY n_pod")
                        .arg(IdNet()));
    }

    // The last apartment of the current house's first entrance, typed.
    void TypeLastApartment(const QString& number) {
        TFrPod* f = Entrances();
        if (!f->ChBxLast->isChecked()) f->ChBxLast->click();
        QLineEdit* last = f->CGridP->Editor(0, QStringLiteral("npkvr"));
        last->setFocus();
        last->selectAll();
        QTest::keyClicks(last, number);
    }

    void TypePrefix(int house, const QString& prefix) {
        QLineEdit* edit = Objects()->CGridD->PrefixEdit(house);
        edit->selectAll();
        QTest::keyClicks(edit, prefix);
    }

    QSqlDatabase file_;
};

// Each write screen's write, refused at its second statement.
struct FailingWrite {
    const char* what;
    int screen;
    QString refused;                     // the statement the trigger refuses
    QString told;                        // the start of the failure's text
    std::function<void()> prepare;       // the operator's steps, questions answered
    std::function<void()> press;         // the button whose write fails
    std::function<QStringList()> shown;  // what the screen shows of the rows written
    std::function<QStringList()> stored;
};

TEST_F(WriteFailureRoads, AWriteRefusedPartWayLeavesTheScreenShowingTheFile) {
    const FailingWrite writes[] = {
        {"the entrance recount", kEntranceScreen, "UPDATE OF v_kvr ON k_pod WHEN NEW.n_pod=2",
         "Квартиры не пересчитаны.",
         [this] {
             TypeLastApartment(QStringLiteral("30"));
             dialogs_.Expect(QStringLiteral("Продолжение"), EntranceTexts::kRecountQuestion,
                             DlgAnswer::Yes);
         },
         [this] { Entrances()->But1kv->click(); }, [this] { return EntranceGrid(); },
         [this] { return StoredEntrances(); }},
        {"one more house", kObjectScreen, "UPDATE OF v_dom ON k_net", "Дома не сохранены.",
         [this] {
             Objects()->BEdit->click();
             Objects()->P1_EDom->setValue(3);
         },
         [this] { Objects()->BitSave->click(); }, [this] { return HouseGrid(); },
         [this] { return StoredHouses(); }},
        {"houses brought in line on closing", kObjectScreen,
         "UPDATE OF kod_d ON k_dom WHEN NEW.kod_d='2'", "Дома не приведены в порядок.",
         [this] {
             Objects()->BEdit->click();
             TypePrefix(1, QStringLiteral("5"));
             Objects()->CGridD->EntrancesEdit(1)->setValue(3);
         },
         [this] { Objects()->BitCancel->click(); }, [this] { return HouseGrid(); },
         [this] { return StoredHouses(); }},
    };
    for (const FailingWrite& w : writes) {
        SCOPED_TRACE(w.what);
        TakeRoad(Road::FirstStart, w.screen);
        RefuseWhen(w.refused);
        w.prepare();
        dialogs_.ExpectContaining(QStringLiteral("Ошибка"), w.told);
        w.press();
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
        EXPECT_EQ(Lines(w.shown()), Lines(w.stored())) << "at once";
        ShowByMenu(0);
        ShowByMenu(w.screen);
        EXPECT_EQ(Lines(w.shown()), Lines(w.stored())) << "after the main menu";
        file_.close();
        file_ = QSqlDatabase();
        EndTheProgram();
        RestoreTheReferenceDatabase();
    }
}
