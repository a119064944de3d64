// Two copies of the program on one database file, each with its own program
// folder: this copy shows a screen (its lists read), the other copy writes
// rows and the counter it keeps beside them, then this copy writes through
// the screen. Every counter stored beside rows ends equal to what the rows
// give it, the other copy's rows counted.

#include "app/TFMainVesk.h"
#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "keys/ui/TFrKeys.h"
#include "site/MatrixRules.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPod.h"
#include "site/ui/TFskEdit.h"
#include "support/ProgramRoads.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QToolButton>

#include <functional>

namespace TwoCopiesCountsTestUnit {

namespace {

// One counter written by this copy after the other copy wrote: the screen it
// is written on, what this copy does before (its lists read), the other
// copy's statements (%1 the object's id_net, %2 the owner this copy stands
// on), the write with the questions it asks, answered Yes, and a query of the
// counter beside what the rows give it (the same placeholders).
struct CounterRoad {
    const char* counter;
    int screen;
    std::function<void()> prepare;
    QStringList otherCopy;
    QStringList questions;  // caption, text, caption, text...
    std::function<void()> write;
    QString counted;
    std::string expected;
};

class TwoCopiesCounts : public ProgramRoads {
  protected:
    TFrKeys* Keys() { return qobject_cast<TFrKeys*>(FMainVesk->FrameOfScreen(9)); }
    TFrDom* Matrix() { return qobject_cast<TFrDom*>(FMainVesk->FrameOfScreen(2)); }
    TFrKvr* Apartments() { return qobject_cast<TFrKvr*>(FMainVesk->FrameOfScreen(6)); }
    TFrPod* Entrances() { return qobject_cast<TFrPod*>(FMainVesk->FrameOfScreen(3)); }
    TFrMatr* Objects() { return qobject_cast<TFrMatr*>(FMainVesk->FrameOfScreen(1)); }

    // A key typed on the key screen and entered.
    void EnterKey(const QString& number) {
        Keys()->E_sn->setText(number);
        Keys()->BitAdd->click();
        QCoreApplication::processEvents();
    }
    qint64 Current(Dataset* ds, const char* field) {
        return ds->FieldByName(QLatin1String(field)).AsLargeInt();
    }
    // The other copy's statements, with the object and the owner put in.
    void OtherCopyWrites(const QStringList& statements) {
        QSqlDatabase other = database_.open();
        for (QString sql : statements) {
            sql.replace(QStringLiteral("%1"), QString::number(IdNet()))
                .replace(QStringLiteral("%2"), QString::number(owner_));
            QSqlQuery q(other);
            EXPECT_TRUE(q.exec(sql))
                << sql.toStdString() << ": " << q.lastError().text().toStdString();
        }
    }
    std::string Counted(const QString& sql) {
        return Rows(database_.open(),
                    QString(sql).replace(QStringLiteral("%2"), QString::number(owner_)));
    }

    qint64 owner_ = 0;
};

TEST_F(TwoCopiesCounts, EveryCounterBesideRowsCountsTheRowsBothCopiesWrote) {
    const QString apartmentKeys = QStringLiteral(
        "SELECT y_key, (SELECT COUNT(*) FROM k_key WHERE id_kvr=%2) FROM k_kvr WHERE id_kvr=%2");
    const QString commonKeys = QStringLiteral(
        "SELECT o_rky, (SELECT COUNT(*) FROM k_key WHERE id_kvr=-1 AND id_pod=%2) FROM k_pod "
        "WHERE id_pod=%2");
    const QString otherApartmentKeys = QStringLiteral(
        "INSERT INTO k_key (un_key, bv_key, id_pod, id_kvr, id_net) SELECT '0000002B000' || n, "
        "'2B000' || n, id_pod, id_kvr, id_net FROM k_kvr, (SELECT 1 AS n UNION SELECT 2) "
        "WHERE id_kvr=%2");
    const QString otherCommonKeys = QStringLiteral(
        "INSERT INTO k_key (un_key, bv_key, id_pod, id_kvr, id_net, l_ob) SELECT "
        "'0000002C000' || n, '2C000' || n, %2, -1, %1, 1 FROM (SELECT 1 AS n UNION SELECT 2)");
    const QString gateName = MatrixRules::GatePanelName(Globals().nmBVk, 2);
    const CounterRoad roads[] = {
        {"y_key, a key entered on the key screen",
         9,
         [this] {
             Keys()->RB_KvrKey->click();
             owner_ = Current(FDM->QForKey, "id_kvr");
         },
         {otherApartmentKeys, QStringLiteral("UPDATE k_kvr SET y_key=2 WHERE id_kvr=%2")},
         {},
         [this] { EnterKey(QStringLiteral("0000001C0001")); },
         apartmentKeys,
         "3 3"},
        {"y_key, a key deleted on the key screen",
         9,
         [this] {
             Keys()->RB_KvrKey->click();
             owner_ = Current(FDM->QForKey, "id_kvr");
             EnterKey(QStringLiteral("0000001C0002"));
         },
         {otherApartmentKeys, QStringLiteral("UPDATE k_kvr SET y_key=3 WHERE id_kvr=%2")},
         {QStringLiteral("Удаление"), QStringLiteral("Удалить ключ?")},
         [this] { Keys()->DeleteOneKey(); },
         apartmentKeys,
         "2 2"},
        {"o_rky, a common key entered",
         9,
         [this] {
             Keys()->RB_ObsKey->click();
             owner_ = Current(FDM->QPodKey, "id_pod");
         },
         {otherCommonKeys, QStringLiteral("UPDATE k_pod SET o_rky=2 WHERE id_pod=%2")},
         {},
         [this] { EnterKey(QStringLiteral("0000001D0001")); },
         commonKeys,
         "3 3"},
        {"o_rky, the common keys deleted",
         9,
         [this] {
             Keys()->RB_ObsKey->click();
             owner_ = Current(FDM->QPodKey, "id_pod");
             EnterKey(QStringLiteral("0000001D0002"));
         },
         {otherCommonKeys, QStringLiteral("UPDATE k_pod SET o_rky=3 WHERE id_pod=%2")},
         {QStringLiteral("Подтвердите"), QStringLiteral("Удалить все общие ключи подъезда?")},
         [this] { Keys()->BitDelOb->click(); },
         commonKeys,
         "2 2"},
        {"n_xl, a handset added in the apartment editor",
         4,
         [this] {
             Menu(QStringLiteral("MkvEdit"));
             owner_ = Current(FDM->Q_MNpk, "k.id_pk");
             FkvEdit->BitLast->click();
             FkvEdit->BitAdd->click();
             FkvEdit->E_bv->setText(QStringLiteral("700"));
         },
         {QStringLiteral("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, p_pk, l_trub, "
                         "st_kvr) SELECT id_net, id_pod, 90, 'трубка 90', '701', 90, 1, 'ввод' "
                         "FROM k_pk WHERE id_pk=%2"),
          QStringLiteral("UPDATE k_pk SET n_xl=91 WHERE id_pk=%2")},
         {},
         [] { FkvEdit->BitSave->click(); },
         QStringLiteral("SELECT n_xl, (SELECT MAX(p_pk)+1 FROM k_kvr WHERE id_pod=k.id_pod) "
                        "FROM k_pk k WHERE id_pk=%2"),
         "91 91"},
        {"n_xl, the floor switch chosen",
         4,
         [this] {
             Menu(QStringLiteral("MskEdit"));
             owner_ = Current(FDM->Q_MNpk, "k.id_pk");
         },
         {QStringLiteral(
             "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, p_pk, l_trub, "
             "st_kvr) SELECT id_net, id_pod, 90 + n, 'трубка ' || n, 710 + n, 90 + n, 1, "
             "'ввод' FROM k_pk, (SELECT 1 AS n UNION SELECT 2) WHERE id_pk=%2")},
         {},
         [] { FskEdit->RBType1->click(); },
         QStringLiteral("SELECT n_xl, (SELECT COUNT(*)+1 FROM k_kvr WHERE id_pod=k.id_pod) "
                        "FROM k_pk k WHERE id_pk=%2"),
         "44 44"},
        {"v_kal, a gate added on the matrix screen",
         2,
         [] {},
         {QStringLiteral("INSERT INTO matr_%1 (name, sys_n) VALUES ('") + gateName +
              QStringLiteral("', '40')"),
          QStringLiteral("UPDATE k_net SET v_kal=2 WHERE id_net=%1")},
         {MatrixTexts::kAddGateCaption, MatrixTexts::kAddGate},
         [this] { Matrix()->BitAppKal->click(); },
         QStringLiteral("SELECT v_kal, (SELECT COUNT(*) FROM matr_%1 WHERE name LIKE '") +
             MatrixRules::GatePanelName(Globals().nmBVk, 0).chopped(2) +
             QStringLiteral("%') FROM k_net WHERE id_net=%1"),
         "3 3"},
        // Counted inside the write already: kept so.
        {"v_kvr, an apartment inserted by hand",
         6,
         [this] { owner_ = Current(FDM->Q_DPd, "id_pod"); },
         {QStringLiteral("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr) "
                         "VALUES (%1, %2, 80, '601', '601', 'ввод')"),
          QStringLiteral("UPDATE k_pod SET v_kvr=v_kvr+1 WHERE id_pod=%2")},
         {},
         [this] {
             Apartments()->Efkv->setFocus();
             Apartments()->Enkv->setText(QStringLiteral("901"));
             Apartments()->Ekvv->setText(QStringLiteral("901"));
             Apartments()->BitInsert->click();
         },
         QStringLiteral("SELECT v_kvr, (SELECT COUNT(*) FROM k_kvr WHERE id_pod=%2 AND NOT l_trub) "
                        "FROM k_pod WHERE id_pod=%2"),
         "42 42"},
        // A house count left as the panel showed it asks for no house to come
        // or go: the house the other copy added stays, and so is counted.
        {"v_dom, the object's address saved with its house count as shown",
         1,
         [this] {
             Objects()->BEdit->click();
             Objects()->P1_EAdr->setPlainText(QStringLiteral("ул. Садовая, 12а"));
         },
         {QStringLiteral("INSERT INTO k_dom (id_net, v_pod, kod_d, st_dom) "
                         "VALUES (%1, 1, '3', 'добавлен')"),
          QStringLiteral("UPDATE k_net SET v_dom=3 WHERE id_net=%1")},
         {},
         [this] { Objects()->BitSave->click(); },
         QStringLiteral("SELECT v_dom, (SELECT COUNT(*) FROM k_dom WHERE id_net=%1) FROM k_net "
                        "WHERE id_net=%1"),
         "3 3"},
        {"v_kvr, the apartments recounted on the entrance screen",
         3,
         [this] { owner_ = Current(FDM->Q_DPd, "id_pod"); },
         {QStringLiteral("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, st_kvr) "
                         "VALUES (%1, %2, 80, '601', '601', 'ввод')")},
         {},
         [this] { Entrances()->ButKolKv->click(); },
         QStringLiteral("SELECT v_kvr, (SELECT COUNT(*) FROM k_kvr WHERE id_pod=%2 AND NOT l_trub) "
                        "FROM k_pod WHERE id_pod=%2"),
         "41 41"},
    };
    for (const CounterRoad& road : roads) {
        SCOPED_TRACE(road.counter);
        // Quotas with room for the keys entered, so that no entry asks.
        OtherCopyWrites({QStringLiteral("UPDATE k_kvr SET x_key=10 WHERE id_net=%1"),
                         QStringLiteral("UPDATE k_pod SET o_key=10 WHERE id_net=%1")});
        TakeRoad(Road::FirstStart, road.screen);
        road.prepare();
        ASSERT_FALSE(HasFatalFailure());
        OtherCopyWrites(road.otherCopy);
        for (int i = 0; i + 1 < road.questions.size(); i += 2)
            dialogs_.Expect(road.questions[i], road.questions[i + 1], DlgAnswer::Yes);
        road.write();
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
        EXPECT_EQ(road.expected, Counted(road.counted));
        EndTheProgram();
        RestoreTheReferenceDatabase();
    }
}

}  // namespace
}  // namespace TwoCopiesCountsTestUnit
