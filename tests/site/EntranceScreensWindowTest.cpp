// The entrance screen, the repeated call code dialog and the apartment screen
// in the main window, driven through their controls, and pictures of them;
// the screens of the object's rows after the database is opened anew.
#include "SiteWindow.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ApartmentList.h"
#include "site/EntranceScreen.h"
#include "site/ui/TFRedVV.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFrPod.h"
#include "site/ui/TRecordGrid.h"
#include "support/ScreenShots.h"

#include <QApplication>
#include <QSqlQuery>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

namespace EntranceScreensWindowTestUnit {
namespace {

using namespace EntranceTexts;

class EntranceWindow : public SiteWindow {
  protected:
    ~EntranceWindow() override { FRedVV = nullptr; }

    TFrPod* OpenEntrances() {
        OpenWindowOn(1);
        window_->ShowScreen(3);
        EXPECT_EQ(3, window_->VisibleScreen());
        return qobject_cast<TFrPod*>(window_->FrPod1);
    }
    TFrKvr* OpenApartments() {
        OpenWindowOn(1);
        window_->ShowScreen(6);
        EXPECT_EQ(6, window_->VisibleScreen());
        return qobject_cast<TFrKvr*>(window_->FrKvr1);
    }
    void Exec(const QString& sql) {
        QSqlQuery q(dm_.ConnectionDB());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
    QString Value(const QString& sql) {
        QSqlQuery q(dm_.ConnectionDB());
        return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }
    // Types into a field of the entrances grid and leaves it with Enter.
    void Enter(TRecordGrid* grid, int row, const QString& field, const QString& text) {
        QLineEdit* edit = grid->Editor(row, field);
        ASSERT_TRUE(edit);
        edit->setFocus();
        edit->selectAll();
        Type(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // Answers the repeated-code dialog once it is shown.
    void WhenCorrectionShows(const std::function<void(TFRedVV&)>& act) {
        auto* poll = new QTimer(window_.get());
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, act] {
            if (!redVV_.isVisible()) return;
            poll->stop();
            poll->deleteLater();
            act(redVV_);
        });
        poll->start();
    }

    TFRedVV redVV_{nullptr};
};

// The program started on the entrance screen: the grids have as many panels
// as there are houses and entrances from the first showing, not after a click.
TEST_F(EntranceWindow, AtStartUpTheGridsShowEveryHouseAndEveryEntrance) {
    BuildReference({}, ReferenceStep::Matrix);
    OpenWindowOn(3);
    auto* f = qobject_cast<TFrPod*>(window_->FrPod1);
    ASSERT_TRUE(f);
    EXPECT_EQ(2, f->CGridD->VisibleRows());
    EXPECT_EQ(2, f->CGridP->VisibleRows());
    SaveScreen(*window_, QStringLiteral("FrPod1_at_start"));

    // A window too low for every panel shows as many as fit, and all of
    // them again when it grows back.
    const QSize roomy = window_->size();
    window_->resize(roomy.width(), window_->minimumHeight());
    QApplication::processEvents();
    EXPECT_EQ(1, f->CGridD->VisibleRows());
    window_->resize(roomy);
    QApplication::processEvents();
    EXPECT_EQ(2, f->CGridD->VisibleRows());
    EXPECT_EQ(2, f->CGridP->VisibleRows());
}

TEST_F(EntranceWindow, AnEngineerEntersTheLastApartmentsRecountsAndSavesTheApartments) {
    // The saved matrix's "Далее >>" leads here.
    BuildReference({}, ReferenceStep::Matrix);
    OpenWindowOn(1);
    window_->ShowScreen(2);
    ASSERT_EQ(2, window_->VisibleScreen());
    window_->FrDom1->BitNext->click();
    ASSERT_EQ(3, window_->VisibleScreen());
    auto* f = qobject_cast<TFrPod*>(window_->FrPod1);
    ASSERT_TRUE(f);
    EXPECT_EQ(QStringLiteral("ул. Садовая, 12"), f->DBTextAdres->text());
    EXPECT_EQ(2, f->CGridD->RowCount());
    ASSERT_EQ(2, f->CGridP->RowCount());
    // The defaults: last numbers entered, first numbers and counts locked.
    EXPECT_TRUE(f->ChBxLast->isChecked());
    EXPECT_TRUE(f->CGridP->Editor(0, "n1kvr")->isReadOnly());
    EXPECT_FALSE(f->CGridP->Editor(0, "npkvr")->isReadOnly());
    EXPECT_FALSE(f->RBGos->isEnabled());  // two entrances in the house
    EXPECT_EQ(4, f->E_Kk->value());  // a new object's keys per apartment
    EXPECT_EQ(kKeysHint, f->E_Kk->toolTip());

    Enter(f->CGridP, 0, "npkvr", "40");
    EXPECT_EQ(f->CGridP->Editor(1, "npkvr"), Focused());
    Type(Focused(), QStringLiteral("80"));
    dialogs_.Expect(kRecountCaption, kRecountQuestion, DlgAnswer::Yes);
    f->But1kv->click();
    EXPECT_EQ(QStringLiteral("41"), f->CGridP->Editor(1, "n1kvr")->text());
    EXPECT_EQ(QStringLiteral("40"), f->CGridP->Editor(1, "v_kvr")->text());
    EXPECT_EQ(QStringLiteral("80"), f->P1_Itkv->text());
    SaveScreen(*window_, QStringLiteral("FrPod1"));
    ExpectNoClippedText(f);

    // Down past the last entrance goes on to the next house.
    f->CGridP->FocusField(1, false);
    QTest::keyClick(Focused(), Qt::Key_Down);
    EXPECT_EQ(2, dm_.Q_Dom->RecNo());
    EXPECT_EQ(f->CGridP->Editor(0, "npkvr"), Focused());
    EXPECT_TRUE(f->RBGos->isEnabled());  // one entrance
    Type(Focused(), QStringLiteral("40"));
    dialogs_.Expect(kRecountCaption, kRecountQuestion, DlgAnswer::Yes);
    f->But1kv->click();

    f->E_Kk->setValue(4);
    f->BtnSave->click();
    EXPECT_EQ(QStringLiteral("123"), Value("SELECT COUNT(*) FROM k_kvr"));
    EXPECT_EQ(QStringLiteral("120"), f->P1_Itob->text());
    EXPECT_EQ(QStringLiteral("40"), f->P1_Itkv->text());
    EXPECT_TRUE(f->PanelGrids->isVisible());
    EXPECT_EQ(QStringLiteral("4"), Value("SELECT v_key FROM k_net"));
    EXPECT_EQ(QStringLiteral("сохранено"), Value("SELECT st_net FROM k_net"));
}

TEST_F(EntranceWindow, TheKeyboardMovesThroughEntrancesFieldsAndHouses) {
    BuildReference();
    TFrPod* f = OpenEntrances();
    f->ChNomPod->click();
    EXPECT_EQ(f->CGridP->Editor(0, "nm_pod"), Focused());
    QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(f->CGridP->Editor(0, "npkvr"), Focused());
    QTest::keyClick(Focused(), Qt::Key_Tab);  // round to the first field
    EXPECT_EQ(f->CGridP->Editor(0, "nm_pod"), Focused());
    QTest::keyClick(Focused(), Qt::Key_Backtab);
    EXPECT_EQ(f->CGridP->Editor(0, "npkvr"), Focused());
    QTest::keyClick(Focused(), Qt::Key_Return);  // past the last field: next entrance
    EXPECT_EQ(f->CGridP->Editor(1, "nm_pod"), Focused());
    QTest::keyClick(Focused(), Qt::Key_Up);
    EXPECT_EQ(f->CGridP->Editor(0, "npkvr"), Focused());
    QTest::keyClick(Focused(), Qt::Key_PageUp);
    EXPECT_EQ(f->CGridD->Editor(0, "house"), Focused());
    Type(Focused(), QStringLiteral("Первый"));
    QTest::keyClick(Focused(), Qt::Key_Down);
    EXPECT_EQ(f->CGridD->Editor(1, "house"), Focused());
    EXPECT_EQ(QStringLiteral("Первый"), Value("SELECT house FROM k_dom ORDER BY id_dom"));
    QTest::keyClick(Focused(), Qt::Key_PageDown);
    EXPECT_EQ(f->CGridP->Editor(0, "nm_pod"), Focused());
    // Up before the first entrance: the previous house's last one.
    QTest::keyClick(Focused(), Qt::Key_Up);
    EXPECT_EQ(1, dm_.Q_Dom->RecNo());
    EXPECT_EQ(f->CGridP->Editor(1, "npkvr"), Focused());
    // The number fields take digits only.
    Type(Focused(), QStringLiteral("-+7x"));
    EXPECT_EQ(QStringLiteral("7"), f->CGridP->Editor(1, "npkvr")->text());
}

TEST_F(EntranceWindow, HotelNumberingIsChosenForAHouseWithOneEntrance) {
    ReferenceObjectOptions o;
    o.houses = {{QStringLiteral("1"), 1}};
    BuildReference(o);
    TFrPod* f = OpenEntrances();
    ASSERT_TRUE(f->RBGos->isEnabled());
    f->RBGos->click();
    EXPECT_EQ(QStringLiteral("1"), Value("SELECT type_n FROM k_pod"));
    EXPECT_FALSE(f->ChBxLast->isEnabled());
    EXPECT_TRUE(f->CGridP->Editor(0, "npkvr")->isReadOnly());
    f->ChKolKv->click();
    Type(f->CGridP->Editor(0, "v_kvr"), QStringLiteral("6"));
    dialogs_.Expect(kRecountCaption, kRecountQuestion, DlgAnswer::Yes);
    f->But1kv->click();
    f->BtnSave->click();
    EXPECT_EQ(QStringLiteral("0/6"), Value("SELECT n_kvr || '/' || p_kvr FROM k_kvr "
                                           "WHERE p_nom=6"));
    f->RBPod->click();
    EXPECT_EQ(QStringLiteral("0"), Value("SELECT type_n FROM k_pod"));
    EXPECT_FALSE(f->CGridP->Editor(0, "npkvr")->isReadOnly());
}

TEST_F(EntranceWindow, TheFlagMasksAreEditedInTheirPanelAndDefaultWhenMissing) {
    BuildReference();
    Exec(QStringLiteral("UPDATE k_net SET flbv=NULL, flpo=''"));
    TFrPod* f = OpenEntrances();
    const QString bv = QStringLiteral("0000000000000011");
    const QString po = QStringLiteral("0000000000000001");
    EXPECT_EQ(bv + bv + "|" + po + po, Value("SELECT flbv || '|' || flpo FROM k_net"));

    Exec(QStringLiteral("UPDATE k_net SET flbv='11000000000000000100000000000000'"));
    dm_.Q_Net->Reopen();
    f->BitFlag->click();
    ASSERT_TRUE(f->PanelFlag->isVisible());
    EXPECT_FALSE(f->Panel1->isVisible());
    EXPECT_FALSE(f->PanelGrids->isVisible());
    EXPECT_EQ(QStringLiteral("Закрыть маски"), f->BitFlag->text());
    ASSERT_EQ(2, f->MaskSv->count());
    EXPECT_EQ(QStringLiteral("Отзвонка"), f->MaskSv->item(1)->text());
    EXPECT_EQ(Qt::Checked, f->MaskSv->item(1)->checkState());
    EXPECT_FALSE(f->MaskPs->item(1)->flags() & Qt::ItemIsEnabled);
    EXPECT_FALSE(f->MaskPs->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(f->GroupPo->isEnabled());  // the object has a console
    SaveScreen(*window_, QStringLiteral("FrPod1_masks"));
    ExpectNoClippedText(f);
    f->ButHelp->click();
    EXPECT_TRUE(f->PanelExample->isVisible());
    SaveScreen(*window_, QStringLiteral("FrPod1_masks_example"));

    // The stored flag 2 cleared frees its default; accepting stores both masks.
    f->MaskSv->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(f->MaskPs->item(1)->flags() & Qt::ItemIsEnabled);
    f->MaskPs->item(1)->setCheckState(Qt::Unchecked);
    f->ButYes->click();
    EXPECT_FALSE(f->PanelFlag->isVisible());
    EXPECT_TRUE(f->PanelGrids->isVisible());
    EXPECT_EQ(QStringLiteral("Маски флагов"), f->BitFlag->text());
    EXPECT_EQ(QStringLiteral("10000000000000000000000000000000"), Value("SELECT flbv FROM k_net"));

    // Cancel keeps what is stored.
    f->BitFlag->click();
    f->MaskSv->item(0)->setCheckState(Qt::Unchecked);
    f->BitFlag->click();
    EXPECT_FALSE(f->PanelFlag->isVisible());
    EXPECT_EQ(QStringLiteral("10000000000000000000000000000000"), Value("SELECT flbv FROM k_net"));
}

TEST_F(EntranceWindow, ARepeatedCodeIsCorrectedInItsDialogDuringTheSave) {
    FRedVV = &redVV_;
    BuildReference({}, ReferenceStep::Apartments);
    Exec(QStringLiteral("UPDATE k_kvr SET p_kvr='7', st_kvr='код' WHERE n_kvr='47'"));
    TFrPod* f = OpenEntrances();
    dialogs_.Expect(QStringLiteral("ВНИМАНИЕ"),
                    QStringLiteral("Все номера квартир будут перезаписаны! Подолжить?"),
                    DlgAnswer::Ok);
    bool shown = false;
    WhenCorrectionShows([&](TFRedVV& d) {
        shown = true;
        EXPECT_EQ(QStringLiteral("Исправление кода вызова"), d.windowTitle());
        EXPECT_EQ(QStringLiteral("7"), d.DBTextKvr->text());
        EXPECT_EQ(QStringLiteral("47"), d.DBTextOther->text());
        EXPECT_EQ(QStringLiteral("7"), d.EQRab->text());
        EXPECT_FALSE(SaveScreen(d, QStringLiteral("FRedVV")).isEmpty());
        ExpectNoClippedText(&d);
        d.EQRab->clear();
        QTest::keyClicks(d.EQRab, QStringLiteral("4a7.1x"));
        EXPECT_EQ(QStringLiteral("47.1"), d.EQRab->text());
        d.OKBtn->click();
    });
    f->BtnSave->click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(0, redVV_.Mark());
    EXPECT_EQ(QStringLiteral("47.1|код"),
              Value("SELECT p_kvr || '|' || st_kvr FROM k_kvr WHERE n_kvr='47'"));
    EXPECT_EQ(QStringLiteral("1"), Value("SELECT kvv_t FROM k_dom ORDER BY id_dom"));
}

TEST_F(EntranceWindow, EscapeIgnoresOneRepeatAndTheThirdButtonIgnoresThemAll) {
    redVV_.SetMark(5);
    QTimer::singleShot(0, &redVV_, [this] { QTest::keyClick(&redVV_, Qt::Key_Escape); });
    EXPECT_EQ(CorrectionMark::Ignored, redVV_.Correct(CallCodeRepeat{}));
    QTimer::singleShot(0, &redVV_, [this] { redVV_.BitBtn1->click(); });
    EXPECT_EQ(CorrectionMark::IgnoreAll, redVV_.Correct(CallCodeRepeat{}));
    EXPECT_EQ(2, redVV_.Mark());
}

// ---------------------------------------------------------------- apartments

TEST_F(EntranceWindow, TheApartmentScreenShowsAnEntranceAndMovesBetweenThem) {
    BuildReference({}, ReferenceStep::Apartments);
    TFrKvr* f = OpenApartments();
    ASSERT_TRUE(f);
    EXPECT_EQ(41, f->DBGrid1->model()->rowCount());
    EXPECT_EQ(QStringLiteral("1"), f->DBTextNPod->text());
    EXPECT_EQ(QStringLiteral("40"), f->DBTextVKvr->text());
    EXPECT_FALSE(f->BtnUp->isEnabled());
    EXPECT_FALSE(f->E_Kk->isEnabled());  // not a hotel entrance
    const QModelIndex pk = f->DBGrid1->model()->index(4, 3);
    EXPECT_EQ(QStringLiteral("00"), pk.data().toString());
    SaveScreen(*window_, QStringLiteral("FrKvr1"));
    ExpectNoClippedText(f);

    f->BtnDown->click();
    f->BtnDown->click();
    EXPECT_EQ(2, dm_.Q_Dom->RecNo());
    EXPECT_FALSE(f->BtnDown->isEnabled());
    EXPECT_TRUE(f->BtnUp->isEnabled());
    f->BitUpGrup->click();
    EXPECT_EQ(1, dm_.Q_Dom->RecNo());
    EXPECT_EQ(1, dm_.Q_DPd->RecNo());

    // An entrance whose codes want checking is drawn red.
    Exec(QStringLiteral("UPDATE k_pod SET kvv_t=1"));
    dm_.Q_DPd->Reopen();
    f->RefreshEntrance();
    EXPECT_EQ(QColor(Qt::red), f->DBTextNPod->palette().color(QPalette::WindowText));
}

TEST_F(EntranceWindow, AHotelEntranceIsNumberedFloorByFloorFromTheScreen) {
    ReferenceObjectOptions o;
    o.console = false;
    o.houses = {{QStringLiteral("1"), 1}};
    BuildReference(o);
    Exec(QStringLiteral("UPDATE k_pod SET type_n=1, n1kvr=0, npkvr=0, v_kvr=8"));
    ApartmentGenerator generator;
    ASSERT_EQ(GenerationResult::Done, generator.Run(4));
    TFrKvr* f = OpenApartments();
    EXPECT_TRUE(f->E_Kk->isEnabled());
    EXPECT_FALSE(f->BitNum->isEnabled());
    dialogs_.Expect(ApartmentListTexts::kZeroCaption, ApartmentListTexts::kEnterPerFloor);
    f->BitNum->setEnabled(true);
    f->BitNum->click();

    // The first position on a floor is the object's, stored on leaving it.
    f->E_n1->setFocus();
    f->E_n1->setValue(1);
    f->E_Kk->setFocus();
    EXPECT_EQ(QStringLiteral("1"), Value("SELECT incr FROM k_net"));
    f->E_Kk->setValue(4);
    f->Ch_all->click();
    EXPECT_TRUE(f->BitNum->isEnabled());
    f->BitNum->click();
    EXPECT_EQ(QStringLiteral("101,102,103,104,201,202,203,204"),
              Value("SELECT group_concat(n_kvr) FROM (SELECT n_kvr FROM k_kvr ORDER BY p_nom)"));
    // One floor again from row 3 in thousands: "102" is then on floor 0.
    f->CBLevel->setCurrentIndex(2);
    dm_.Q_Kvp->SetRecNo(3);
    QTest::keyClick(f->DBGrid1, Qt::Key_Space);
    EXPECT_EQ(QStringLiteral("101,102,1001,1002,1003,1004,203,204"),
              Value("SELECT group_concat(n_kvr) FROM (SELECT n_kvr FROM k_kvr ORDER BY p_nom)"));
    EXPECT_EQ(7, dm_.Q_Kvp->RecNo());
    SaveScreen(*window_, QStringLiteral("FrKvr1_hotel"));
}

TEST_F(EntranceWindow, ManualApartmentsAreInsertedAndDeletedFromTheScreen) {
    BuildReference({}, ReferenceStep::Apartments);
    TFrKvr* f = OpenApartments();
    dm_.Q_Kvp->SetRecNo(5);
    f->Efkv->setFocus();
    EXPECT_EQ(QStringLiteral("5"), f->Efkv->text());
    QTest::keyClick(f->Efkv, Qt::Key_Return);
    EXPECT_EQ(f->Enkv, Focused());
    Type(f->Enkv, QStringLiteral("5а"));
    QTest::keyClick(f->Enkv, Qt::Key_Return);
    QTest::keyClicks(f->Ekvv, QStringLiteral("5x01"));
    EXPECT_EQ(QStringLiteral("501"), f->Ekvv->text());
    QTest::keyClick(f->Ekvv, Qt::Key_Return);
    EXPECT_EQ(f->BitInsert, Focused());
    ASSERT_TRUE(f->BitInsert->isEnabled());
    f->BitInsert->click();
    EXPECT_EQ(6, dm_.Q_Kvp->RecNo());
    EXPECT_EQ(QStringLiteral("5а"), dm_.Q_Kvp->FieldByName("n_kvr").AsString());
    EXPECT_TRUE(f->BitDelete->isEnabled());
    EXPECT_FALSE(f->BitInsert->isEnabled());
    EXPECT_EQ(QStringLiteral("41"), f->DBTextVKvr->text());

    dialogs_.Expect(ApartmentListTexts::kDeleteCaption, ApartmentListTexts::kDeleteApartment,
                    DlgAnswer::Yes);
    QTest::keyClick(f->DBGrid1, Qt::Key_Delete);
    EXPECT_EQ(QStringLiteral("0"), Value("SELECT COUNT(*) FROM k_kvr WHERE n_kvr='5а'"));
    EXPECT_FALSE(f->BitDelete->isEnabled());
    EXPECT_EQ(QStringLiteral("40"), f->DBTextVKvr->text());

    // The list's menu: codes from numbers, then the check of the entrance.
    Exec(
        QStringLiteral("UPDATE k_kvr SET n_kvr='3б', p_kvr='300' WHERE p_nom=3 AND "
                       "id_pod=(SELECT MIN(id_pod) FROM k_pod)"));
    dm_.Q_Kvp->Reopen();
    f->PM_Kodvv->trigger();
    EXPECT_EQ(QStringLiteral("3|код"),
              Value("SELECT p_kvr || '|' || st_kvr FROM k_kvr WHERE n_kvr='3б'"));
    EXPECT_EQ(QColor(Qt::red), f->DBTextNPod->palette().color(QPalette::WindowText));
    f->PM_Double->trigger();
    EXPECT_NE(QColor(Qt::red), f->DBTextNPod->palette().color(QPalette::WindowText));
}

// "БД" choosing the folder in use opens the database anew, the houses,
// entrances and apartments left closed: each screen shows them as it did.
TEST_F(EntranceWindow, AfterTheDatabaseFolderIsChosenAgainTheScreensShowTheObjectsRows) {
    BuildReference({}, ReferenceStep::Apartments);
    OpenWindowOn(1);
    QString folder = db_.dbDir();
    if (folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    dialogs_.ExpectPicker(QStringLiteral("Выберите папку с БД"), folder);
    window_->BitSelect->click();
    dialogs_.VerifyDone();
    for (const Dataset* ds : {dm_.Q_Dom, dm_.Q_DPd, dm_.Q_Kvp, dm_.Q_Ppl})
        ASSERT_FALSE(ds->IsOpen()) << ds->Name().toStdString();

    window_->ShowScreen(3);
    auto* entrances = qobject_cast<TFrPod*>(window_->FrPod1);
    ASSERT_TRUE(entrances);
    EXPECT_EQ(2, entrances->CGridD->RowCount());
    EXPECT_EQ(2, entrances->CGridP->RowCount());
    EXPECT_EQ(0, entrances->CGridP->CurrentRow());

    window_->ShowScreen(6);
    auto* apartments = qobject_cast<TFrKvr*>(window_->FrKvr1);
    ASSERT_TRUE(apartments);
    EXPECT_EQ(41, apartments->DBGrid1->model()->rowCount());
    EXPECT_EQ(QStringLiteral("1"), apartments->DBTextNPod->text());

    window_->ShowScreen(14);
    auto* residents = qobject_cast<TFrPiople*>(window_->FrPiople1);
    ASSERT_TRUE(residents);
    EXPECT_EQ(dm_.Q_Ppl->RecordCount(), residents->DBGrid1->model()->rowCount());
    EXPECT_GT(residents->DBGrid1->model()->rowCount(), 100);
    EXPECT_TRUE(residents->BtnDown->isEnabled());
}
}  // namespace
}  // namespace EntranceScreensWindowTestUnit
