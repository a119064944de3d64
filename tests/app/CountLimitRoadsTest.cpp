// Every road of the program that stores a count the open checks against the
// program's limits either stores one within them or is refused with its
// reason, the file as it was; either way the program starts on the file
// again, by F5 and by a new start. A count the program wrote itself and then
// refused at the next open would cost the engineer his database.

#include "app/TFMainVesk.h"
#include "devices/ui/TFMelF.h"
#include "devices/ui/TFpkEdit.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/TFDM.h"
#include "keys/ui/TFrKeys.h"
#include "platform/Dataset.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ApartmentGenerator.h"
#include "site/ApartmentList.h"
#include "site/EntranceScreen.h"
#include "site/SiteData.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrPod.h"
#include "site/ui/TRecordGrid.h"
#include "support/BoundedChild.h"
#include "support/FakeClipboard.h"
#include "support/ProgramRoads.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <functional>
#include <optional>
#include <span>

namespace CountLimitRoadsTestUnit {

namespace {

// The first entrance of the object's first house, as the lists show it first.
const QString kFirstEntrance = QStringLiteral(
    "(SELECT p.id_pod FROM k_pod p JOIN k_dom d ON d.id_dom=p.id_dom WHERE d.id_net=%1 "
    "ORDER BY d.id_dom, p.n_pod LIMIT 1)");
const QString kFirstHouseRanges = QStringLiteral(
    "SELECT n1kvr, npkvr, v_kvr FROM k_pod WHERE id_dom=(SELECT MIN(id_dom) FROM k_dom "
    "WHERE id_net=%1) ORDER BY n_pod");

// One road that stores a count: what the file holds before the start (a
// statement each, %1 the object's id_net), the operator's steps up to the
// write, the question the write asks and its answer, the write itself, and
// then either the box of its refusal or what it stored (a query, %1 the
// object's id_net, and its rows).
struct CountRoad {
    const char* what;
    QStringList before;
    int screen;
    std::function<void()> prepare;
    std::pair<QString, QString> question;
    DlgAnswer answer;
    std::function<void()> press;
    std::pair<QString, QString> refusal;
    QString stored = {};
    std::string expected = {};
};

class CountLimitRoads : public ProgramRoads {
  protected:
    void Start(const CountRoad& road) {
        file_ = database_.open();
        for (const QString& sql : road.before) {
            QSqlQuery q(file_);
            EXPECT_TRUE(
                q.exec(QString(sql).replace(QStringLiteral("%1"), QString::number(IdNet()))))
                << q.lastError().text().toStdString();
        }
        TakeRoad(Road::FirstStart, road.screen);
    }
    void End() {
        clipboard_.reset();
        file_.close();
        EndTheProgram();
        RestoreTheReferenceDatabase();
    }
    std::string Stored(const QString& sql) { return Rows(file_, sql); }
    // Each road: the steps, the write, F5 and a new start.
    void TakeEach(std::span<const CountRoad> roads);

    TFrPod* Entrances() { return qobject_cast<TFrPod*>(FMainVesk->FrameOfScreen(3)); }
    TFrKvr* Apartments() { return qobject_cast<TFrKvr*>(FMainVesk->FrameOfScreen(6)); }
    TFrKeys* Keys() { return qobject_cast<TFrKeys*>(FMainVesk->FrameOfScreen(9)); }

    // The check boxes of the entrance screen set to what is entered.
    void Entering(bool first, bool last, bool count) {
        for (auto [box, on] : {std::pair{Entrances()->ChBxFirst, first},
                               {Entrances()->ChBxLast, last},
                               {Entrances()->ChKolKv, count}})
            if (box->isChecked() != on) box->click();
    }
    // A value typed into an entrance's field, stored as leaving it stores it.
    void Type(int entrance, const char* field, const QString& value) {
        QLineEdit* edit = Entrances()->CGridP->Editor(entrance, QLatin1String(field));
        ASSERT_TRUE(edit);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, value);
        Entrances()->CGridP->CommitEdit();
    }
    // An apartment inserted by hand after the current one of the list.
    void InsertApartment() {
        Apartments()->Efkv->setFocus();  // takes the current row's number
        Apartments()->Enkv->setText(QStringLiteral("501"));
        Apartments()->Ekvv->setText(QStringLiteral("501"));
        Apartments()->BitInsert->click();
    }

    QSqlDatabase file_;
    std::optional<FakeClipboard> clipboard_;
};

// The roads in two halves, each a test of its own.
class CountLimitRoadsInHalves : public CountLimitRoads, public ::testing::WithParamInterface<int> {};

TEST_P(CountLimitRoadsInHalves, ACountTheProgramStoresNeverKeepsTheFileFromOpening) {
    using SiteData::ApartmentCountBeyond;
    const std::pair<QString, QString> none;
    const std::pair<QString, QString> recount{EntranceTexts::kRecountCaption,
                                              EntranceTexts::kRecountQuestion};
    const auto pressRecount = [this] { Entrances()->But1kv->click(); };
    const CountRoad roads[] = {
        {"the recount of typed counts whose sum passes 32767",
         {},
         3,
         [this] {
             Entering(false, false, true);
             Type(0, "v_kvr", QStringLiteral("30000"));
             Type(1, "v_kvr", QStringLiteral("30000"));
         },
         recount,
         DlgAnswer::Yes,
         pressRecount,
         {EntranceTexts::kOrderCaption, EntranceTexts::RangeBeyondLimits(2)}},
        {"the recount of a first number 0 to a last number 32767",
         {},
         3,
         [this] {
             Entering(true, true, false);
             Type(0, "n1kvr", QStringLiteral("0"));
             Type(1, "npkvr", QStringLiteral("32767"));
             Type(0, "npkvr", QStringLiteral("32767"));
         },
         recount,
         DlgAnswer::Yes,
         pressRecount,
         {EntranceTexts::kOrderCaption, EntranceTexts::RangeBeyondLimits(1)}},
        // Counted as the rule has it: below 0, which sizes nothing.
        {"the recount of first numbers where the last entrance's last number lies below its first",
         {},
         3,
         [this] {
             Entering(true, false, false);
             Type(1, "n1kvr", QStringLiteral("90"));
         },
         recount,
         DlgAnswer::Yes,
         pressRecount,
         none,
         kFirstHouseRanges,
         "1 89 89\n90 80 -9"},
        // The last number one below the next entrance's first number 0.
        {"the recount of first numbers 0",
         {},
         3,
         [this] {
             Entering(true, false, false);
             Type(0, "n1kvr", QStringLiteral("0"));
             Type(1, "n1kvr", QStringLiteral("0"));
         },
         recount,
         DlgAnswer::Yes,
         pressRecount,
         none,
         kFirstHouseRanges,
         "0 -1 0\n0 80 81"},
        // In the second house, whose one entrance repeats no call code.
        {"the apartments of a range of 32768 numbers",
         {},
         3,
         [this] {
             QLineEdit* house = Entrances()->CGridD->Editor(0, QStringLiteral("house"));
             house->setFocus();
             QTest::keyClick(house, Qt::Key_Down);
             Entering(true, true, false);
             Type(0, "n1kvr", QStringLiteral("0"));
             Type(0, "npkvr", QStringLiteral("32767"));
         },
         {GenerationTexts::kCaption, GenerationTexts::kOverwrite},
         DlgAnswer::Ok,
         [this] { Entrances()->BtnSave->click(); },
         {QStringLiteral("Ошибка"),
          QStringLiteral("Квартиры не созданы.\n") + ApartmentCountBeyond()}},
        {"an apartment inserted into an entrance that counts 32767",
         {QStringLiteral("UPDATE k_pod SET v_kvr=32767 WHERE id_pod=") + kFirstEntrance},
         3,
         [this] {
             dialogs_.Expect(ScreenTexts::kRefused, ScreenTexts::kCountsDiffer);
             ShowByMenu(6);
         },
         none,
         DlgAnswer::Ok,
         [this] { InsertApartment(); },
         {QStringLiteral("Ошибка"),
          QStringLiteral("Квартира не вставлена.\n") + ApartmentCountBeyond()}},
        {"an apartment inserted by hand taken from an entrance whose count was typed 0",
         {},
         6,
         [this] {
             InsertApartment();
             ShowByMenu(3);
             Entering(false, true, true);
             Type(0, "v_kvr", QStringLiteral("0"));
             dialogs_.Expect(ScreenTexts::kRefused, ScreenTexts::kCountsDiffer);
             ShowByMenu(6);
             ASSERT_TRUE(FDM->Q_Kvp->Locate(QStringLiteral("n_kvr"), QStringLiteral("501")));
         },
         {ApartmentListTexts::kDeleteCaption, ApartmentListTexts::kDeleteApartment},
         DlgAnswer::Yes,
         [this] { Apartments()->BitDelete->click(); },
         none,
         QStringLiteral("SELECT v_kvr FROM k_pod WHERE id_pod=") + kFirstEntrance,
         "-1"},
        {"the common key slots typed past the field's top",
         {},
         9,
         [this] { Keys()->RB_ObsKey->click(); },
         none,
         DlgAnswer::Ok,
         [this] {
             Keys()->KeyObs->setFocus();
             Keys()->KeyObs->selectAll();
             QTest::keyClicks(Keys()->KeyObs, QStringLiteral("99999"));
             QTest::keyClick(Keys()->KeyObs, Qt::Key_Tab);
         },
         none,
         QStringLiteral("SELECT o_key BETWEEN 3 AND 5440 FROM k_pod WHERE id_pod=") +
             kFirstEntrance,
         "1"},
        // Kept at the counter's top, as those of keys taken from files are.
        {"a common key pasted into an entrance that holds 65535",
         {QStringLiteral(
              "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 65534) "
              "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status, "
              "l_del) SELECT printf('000000%06X', 9437184 + i), ") +
          kFirstEntrance +
          QStringLiteral(", printf('%06X', 9437184 + i), -1, %1, 1, '', '', 0 FROM n")},
         9,
         [this] {
             Keys()->RB_ObsKey->click();
             clipboard_.emplace();
             clipboard_->SetText(QStringLiteral("0000001B0001\r\n"));
             emit Keys()->DBGrid2->customContextMenuRequested(QPoint(5, 5));
             Keys()->PopupMenu->hide();
         },
         {QStringLiteral("Добавление записей"), QStringLiteral("Вставить строки?")},
         DlgAnswer::Yes,
         [this] { Keys()->NInsert->trigger(); },
         none,
         QStringLiteral("SELECT o_key, o_rky FROM k_pod WHERE id_pod=") + kFirstEntrance,
         "65534 65534"},
        {"a note from a note table whose value passes a byte",
         {QStringLiteral("INSERT INTO t_mel (id_mel, name, forr, l_edit) "
                         "VALUES (90, 'Своя', 'вызов', 0)"),
          QStringLiteral("INSERT INTO t_not (oct, Name, Valn, Gerc) VALUES (1, 'Си', 300, 52)")},
         0,
         [this] {
             Menu(QStringLiteral("MpkEdit"));
             FpkEdit->BitMel->click();
             ASSERT_TRUE(FDM->Q_Mel->Locate(QStringLiteral("id_mel"), 90));
             ASSERT_TRUE(FMelF->NotKeys->Locate(QStringLiteral("Valn"), 300));
         },
         none,
         DlgAnswer::Ok,
         [] { FMelF->NoteApp->trigger(); },
         {QStringLiteral("Ограничение"),
          QStringLiteral("Нота не записана: длительность и значение ноты должны быть "
                         "от 0 до 255.")}},
    };
    // A count the check let through would size the program's loops and lists
    // at the next start: the roads run in a child whose memory and time are
    // bounded, so that such a count fails them in seconds.
    const std::span<const CountRoad> all(roads);
    const size_t firstHalf = (all.size() + 1) / 2;
    const std::span<const CountRoad> half =
        GetParam() == 0 ? all.first(firstHalf) : all.subspan(firstHalf);
    BoundedChild child;
    EXPECT_TRUE(child.Run([&] { TakeEach(half); })) << child.Output().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Half, CountLimitRoadsInHalves, ::testing::Values(0, 1));

void CountLimitRoads::TakeEach(std::span<const CountRoad> roads) {
    for (const CountRoad& road : roads) {
        BoundedChild::Step(QString::fromUtf8(road.what));
        SCOPED_TRACE(road.what);
        Start(road);
        if (!HasFatalFailure()) road.prepare();
        ASSERT_FALSE(HasFatalFailure());
        const std::string before = TestDatabase::Dump(file_).toStdString();
        if (!road.question.first.isEmpty())
            dialogs_.Expect(road.question.first, road.question.second, road.answer);
        if (!road.refusal.first.isEmpty()) dialogs_.Expect(road.refusal.first, road.refusal.second);
        road.press();
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
        if (road.refusal.first.isEmpty())
            EXPECT_EQ(road.expected, Stored(road.stored));
        else
            EXPECT_EQ(before, TestDatabase::Dump(file_).toStdString()) << "the refused road wrote";
        Menu(QStringLiteral("MReOpen"));
        EXPECT_TRUE(FDM->Connected()) << "F5";
        EndTheProgram();
        StartOn(1);
        End();
    }
}

}  // namespace
}  // namespace CountLimitRoadsTestUnit
