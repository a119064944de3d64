// The keys screen as the operator uses it: typing, confirming, deleting,
// sorting, the modes, the saved settings, the marks applied on leaving, and
// pictures of the screen.

#include "KeysScreenFixture.h"
#include "app/TFMainVesk.h"
#include "keys/KeyRegister.h"
#include "keys/ui/TFrKeys.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "support/QtPrinters.h"
#include "support/RecordingTones.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace TFrKeysTestUnit {

namespace {

class FrKeysTest : public KeysScreenFixture {
  protected:
    void Confirm(const QString& number) {
        frame_->E_sn->setText(number);
        frame_->BitAdd->click();
    }
    void SaveScreen(const QString& name) { EXPECT_FALSE(::SaveScreen(*frame_, name).isEmpty()); }

    ScriptedDialogs dialogs_;
    RecordingTones tones_;
};

TEST_F(FrKeysTest, TheNumberFieldTakesHexadecimalDigitsOnlyTypedOrPasted) {
    QTest::keyClicks(frame_->E_sn, QStringLiteral("a1.b2xc3"));
    EXPECT_EQ(frame_->E_sn->text(), QStringLiteral("A1B2C3"));
    QTest::keyClick(frame_->E_sn, Qt::Key_Escape);
    EXPECT_EQ(frame_->E_sn->text(), QString());

    QGuiApplication::clipboard()->setText(QStringLiteral("ключ 00:1a:22:33:44:55"));
    frame_->E_sn->paste();
    EXPECT_EQ(frame_->E_sn->text(), QStringLiteral("001A22334455"));
    QTest::keyClicks(frame_->E_sn, QStringLiteral("7"));  // twelve digits at most
    EXPECT_EQ(frame_->E_sn->text(), QStringLiteral("001A22334455"));
}

TEST_F(FrKeysTest, ConfirmingStoresTheKeyEmptiesTheFieldsAndCounts) {
    frame_->Beep->setChecked(true);
    GoToApartment(0, 6);
    QTest::keyClicks(frame_->E_sn, QStringLiteral("1a2b3c"));
    frame_->E_Met->setText(QStringLiteral("кв 6"));
    QTest::keyClick(frame_->E_Met, Qt::Key_Return);  // Enter in the label confirms
    EXPECT_EQ(Scalar("SELECT un_key || '|' || s_met FROM k_key WHERE bv_key='1A2B3C'").toString(),
              QStringLiteral("0000001A2B3C|0001"));
    EXPECT_EQ(frame_->E_sn->text(), QString());
    EXPECT_EQ(frame_->E_Met->text(), QString());
    EXPECT_EQ(frame_->LCtKeyPod->text(), QStringLiteral("14"));
    EXPECT_EQ(frame_->LCtKeyObj->text(), QStringLiteral("42"));
    EXPECT_EQ(frame_->LRzKeyPod->text(), QStringLiteral("160"));
    EXPECT_EQ(tones_.Heard(), QStringList{"512/20"});

    // A duplicate keeps the number for correcting and sounds low.
    Confirm(QStringLiteral("1A2B3C"));
    EXPECT_EQ(frame_->E_sn->text(), QStringLiteral("0000001A2B3C"));
    EXPECT_EQ(tones_.Heard(), (QStringList{"512/20", "120/100"}));

    dialogs_.Expect(QStringLiteral("Ошибка"), QStringLiteral("Неверная длина номера!"));
    Confirm(QStringLiteral("12345"));
    EXPECT_EQ(frame_->E_sn->text(), QString());
}

TEST_F(FrKeysTest, EnteringTheLabelFieldProposesTheNextLabel) {
    GoToApartment(0, 1);
    frame_->AN->setValue(3);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(frame_->E_Met, &in);
    EXPECT_EQ(frame_->E_Met->text(), QStringLiteral("003"));
    QTest::keyClick(frame_->E_Met, Qt::Key_Escape);
    EXPECT_EQ(frame_->E_Met->text(), QString());
}

TEST_F(FrKeysTest, EditingLoadsTheKeyAndAGridClickEndsIt) {
    GoToApartment(0, 1);
    dm_->QKeys->SetRecNo(2);
    frame_->BitEdit->click();
    EXPECT_EQ(frame_->E_sn->text(), QStringLiteral("0000001A0002"));
    EXPECT_EQ(frame_->E_Met->text(), QStringLiteral("0002"));
    EXPECT_EQ(frame_->Register()->EditMode(), 1);
    const QModelIndex cell = frame_->DBGrid1->model()->index(3, 0);
    QTest::mouseClick(frame_->DBGrid1->viewport(), Qt::LeftButton, {},
                      frame_->DBGrid1->visualRect(cell).center());
    EXPECT_EQ(frame_->Register()->EditMode(), 0);
    EXPECT_EQ(frame_->E_sn->text(), QString());
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(0, 4));
}

TEST_F(FrKeysTest, TheDeleteKeyAsksForOneKeyAndReports) {
    GoToApartment(0, 1);
    dialogs_.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить ключ?"), DlgAnswer::No);
    QTest::keyClick(frame_->DBGrid2, Qt::Key_Delete);
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 2);
    dialogs_.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить ключ?"), DlgAnswer::Yes);
    QTest::keyClick(frame_->DBGrid2, Qt::Key_Delete);
    EXPECT_EQ(KeysOf(ApartmentId(0, 1)), 1);
    EXPECT_EQ(frame_->OtmBlue->text(), QStringLiteral("Удал 1"));
    EXPECT_TRUE(frame_->Register()->ChangeFlags().IsSet(1));
}

TEST_F(FrKeysTest, SelectedRowsAreDeletedTogether) {
    GoToApartment(0, 2);
    frame_->NSelectAll->trigger();
    EXPECT_EQ(frame_->OtmBlue->text(), QStringLiteral("Выделено 2"));
    EXPECT_EQ(frame_->ListValue(), 2);
    // From the keyboard the key's release reports the selection.
    QTest::keyClick(frame_->DBGrid2, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(frame_->OtmBlue->text(), QStringLiteral("Отм 2"));
    // With two rows selected the Delete key does nothing.
    QTest::keyClick(frame_->DBGrid2, Qt::Key_Delete);
    dialogs_.Expect(QStringLiteral("Удаление записей"),
                    QStringLiteral("Удалить выделенные строки?"), DlgAnswer::Yes);
    frame_->NDelete->trigger();
    EXPECT_EQ(KeysOf(ApartmentId(0, 2)), 0);
    EXPECT_EQ(frame_->OtmBlue->text(), QStringLiteral("Удал 2"));
    EXPECT_EQ(frame_->ListValue(), 0);
}

TEST_F(FrKeysTest, TheFirstClickOnTheLabelTitleSortsDescending) {
    GoToApartment(0, 1);
    EXPECT_EQ(frame_->ListValue(), 3);
    emit frame_->DBGrid2->horizontalHeader()->sectionClicked(1);
    EXPECT_TRUE(dm_->QKeys->Sql().endsWith(QStringLiteral("ORDER BY s_met DESC")));
    EXPECT_EQ(dm_->QKeys->FieldByName("s_met").AsString(), QStringLiteral("0002"));
    EXPECT_EQ(frame_->DBGrid2->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Метка ключа"));
    emit frame_->DBGrid2->horizontalHeader()->sectionClicked(1);
    EXPECT_TRUE(dm_->QKeys->Sql().endsWith(QStringLiteral("ORDER BY s_met")));
}

TEST_F(FrKeysTest, EachModeShowsItsPanelAndList) {
    auto shown = [this](QWidget* w) { return w->isVisibleTo(frame_.get()); };
    EXPECT_TRUE(shown(frame_->PanelKv));
    EXPECT_EQ(frame_->DBGrid2->GetDataset(), dm_->QKeys);
    EXPECT_EQ(frame_->CB_Auto->text(),
              QStringLiteral("Автоматический переход на следующую квартиру"));

    frame_->RB_ObsKey->click();
    EXPECT_TRUE(shown(frame_->PanelOb));
    EXPECT_FALSE(shown(frame_->PanelKv));
    EXPECT_EQ(frame_->DBGrid2->GetDataset(), dm_->QOKeys);
    EXPECT_EQ(frame_->CB_Auto->text(),
              QStringLiteral("Автоматический переход на следующий подъезд"));
    EXPECT_EQ(frame_->KeyObs->value(), 3);

    frame_->RBTer->click();
    EXPECT_TRUE(shown(frame_->PanelTr));
    EXPECT_FALSE(frame_->CB_Auto->isEnabled());
    EXPECT_EQ(frame_->DBGrid2->GetDataset(), dm_->QKeys);

    frame_->RB_KalKey->click();
    EXPECT_TRUE(shown(frame_->PanelKl));
    EXPECT_EQ(frame_->DBGrid2->GetDataset(), dm_->QKKeys);
    EXPECT_EQ(frame_->DBGrid2->model()->rowCount(), 2);

    // Without gates the gate mode gives way to the apartment keys.
    Exec("UPDATE k_net SET v_kal=0");
    Reload();
    frame_->ShowFrKeys();
    EXPECT_FALSE(frame_->RB_KalKey->isEnabled());
    EXPECT_TRUE(frame_->RB_KvrKey->isChecked());
    EXPECT_TRUE(shown(frame_->PanelKv));
}

TEST_F(FrKeysTest, SettingsComeBackAsTheyWereSaved) {
    KeyScreenSettings s;
    s.an = 6;
    s.rb = 4;
    s.am = false;
    s.al = true;
    s.au = false;
    s.bp = true;
    s.ai = false;
    frame_->ApplySettings(s, true);
    EXPECT_TRUE(frame_->RB_KalKey->isChecked());
    EXPECT_TRUE(frame_->PanelKl->isVisibleTo(frame_.get()));
    EXPECT_TRUE(frame_->CB_Lim->isEnabled());
    const KeyScreenSettings back = frame_->Settings();
    EXPECT_EQ(back.an, 6);
    EXPECT_EQ(back.rb, 4);
    EXPECT_EQ(back.am, false);
    EXPECT_EQ(back.al, true);
    EXPECT_EQ(back.au, false);
    EXPECT_EQ(back.bp, true);
    EXPECT_EQ(back.ai, false);

    frame_->ApplySettings(s, false);
    EXPECT_EQ(frame_->Settings().rb, 1);
}

TEST_F(FrKeysTest, LeavingTheScreenAppliesTheMarks) {
    Exec("UPDATE k_bv SET kf_pr=3 WHERE id_net=?", {objectId_});
    Reload();
    frame_->ShowFrKeys();  // clears the marks
    GoToApartment(2, 8);
    Confirm(QStringLiteral("C0FFEE"));
    EXPECT_EQ(PanelState(EntrancePanelNet(2)), 3);
    frame_->hide();
    EXPECT_EQ(PanelState(EntrancePanelNet(2)), 4);
    EXPECT_EQ(PanelState(kGateNet), 4);
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 3);
}

TEST_F(FrKeysTest, EachPanelsControlsAskAndAct) {
    const QString confirm = QStringLiteral("Подтвердите");
    frame_->RBTer->click();
    ASSERT_TRUE(dm_->Q_Dom->Locate("id_dom", houseIds_[1]));
    QTest::keyClicks(frame_->E_Find, QStringLiteral("7"));
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(2, 7));
    GoToApartment(2, 1);
    dialogs_.Expect(confirm, QStringLiteral("Удалить все ключи квартиры?"), DlgAnswer::No);
    frame_->BitDel->click();
    EXPECT_EQ(KeysOf(ApartmentId(2, 1)), 2);
    dialogs_.Expect(confirm, QStringLiteral("Удалить все ключи квартиры?"), DlgAnswer::Yes);
    frame_->BitDel->click();
    EXPECT_EQ(KeysOf(ApartmentId(2, 1)), 0);

    frame_->RB_ObsKey->click();
    ASSERT_TRUE(dm_->QPodKey->Locate("id_pod", entranceIds_[2]));
    frame_->KeyObs->setValue(20);
    emit frame_->KeyObs->editingFinished();
    EXPECT_EQ(Count("SELECT o_key FROM k_pod WHERE id_pod=?", {entranceIds_[2]}), 20);
    dialogs_.Expect(confirm, QStringLiteral("Удалить все общие ключи подъезда?"), DlgAnswer::Yes);
    frame_->BitDelOb->click();
    EXPECT_EQ(CommonKeysOf(2), 0);

    frame_->RB_KalKey->click();
    dialogs_.Expect(confirm, QStringLiteral("Удалить все общие ключи калитки?"), DlgAnswer::Yes);
    frame_->BitDelKl->click();
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE id_kvr=-2"), 0);

    frame_->RB_KvrKey->click();
    GoToApartment(0, 1);
    frame_->AN->setValue(6);
    dialogs_.Expect(QStringLiteral("Подтверждение изменения"),
                    QStringLiteral("Изменить длину метки до 6 символов?"), DlgAnswer::Yes);
    frame_->BitMetLen->click();
    EXPECT_EQ(Scalar("SELECT s_met FROM k_key WHERE bv_key='1A0001'").toString(), "000001");
}

// A key that is not stored for want of room is never refused in silence,
// and never stored on another apartment or entrance than the chosen one.
TEST_F(FrKeysTest, AKeyRefusedForItsQuotaSaysSoAndKeepsTheFields) {
    Exec("UPDATE k_kvr SET x_key=y_key");
    Exec("UPDATE k_net SET v_key=0");
    Exec("UPDATE k_pod SET o_key=0");
    Reload();
    frame_->ShowFrKeys();
    frame_->RB_KvrKey->click();
    ASSERT_TRUE(frame_->CB_Auto->isChecked());
    GoToApartment(0, 6);
    frame_->E_Met->setText(QStringLiteral("кв 6"));
    dialogs_.ExpectContaining(QStringLiteral("Ошибка"),
                              QStringLiteral("Норма ключей на квартиру равна 0, ключ не записан!"));
    frame_->E_sn->setText(QStringLiteral("D00D01"));
    QTest::keyClick(frame_->E_Met, Qt::Key_Return);
    dialogs_.VerifyDone();
    EXPECT_EQ(frame_->E_sn->text(), QStringLiteral("D00D01"));
    EXPECT_EQ(frame_->E_Met->text(), QStringLiteral("кв 6"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='D00D01'"), 0);

    // Common keys of an entrance without slots: asked, and kept where typed.
    frame_->RB_ObsKey->click();
    ASSERT_TRUE(dm_->QPodKey->Locate("id_pod", entranceIds_[0]));
    dialogs_.Expect(QStringLiteral("Превышение"), QStringLiteral("Добавить ключ сверх нормы?!"),
                    DlgAnswer::Yes);
    Confirm(QStringLiteral("D00D02"));
    dialogs_.VerifyDone();
    EXPECT_EQ(Scalar("SELECT id_pod FROM k_key WHERE bv_key='D00D02'").toInt(), entranceIds_[0]);
}

TEST_F(FrKeysTest, TheResidentsButtonPositionsTheResidents) {
    GoToApartment(1, 3);
    frame_->BitRead->click();
    EXPECT_EQ(dm_->Q_Ppl->FieldByName("id_kvr").AsInt(), ApartmentId(1, 3));
}

TEST_F(FrKeysTest, RendersEveryMode) {
    GoToApartment(0, 2);
    SaveScreen(QStringLiteral("keys_apartments"));
    frame_->RB_ObsKey->click();
    SaveScreen(QStringLiteral("keys_entrances"));
    frame_->RBTer->click();
    SaveScreen(QStringLiteral("keys_lost"));
    frame_->RB_KalKey->click();
    SaveScreen(QStringLiteral("keys_gate"));
}

// The program closing on the keys screen leaves it too.
TEST_F(FrKeysTest, ClosingTheProgramOnTheKeysScreenAppliesTheMarks) {
    frame_.reset();
    Exec("UPDATE k_bv SET kf_pr=1 WHERE id_net=?", {objectId_});
    TFMainVesk window;
    window.ShowScreen(9);
    ASSERT_EQ(window.VisibleScreen(), 9);
    auto* keys = dynamic_cast<TFrKeys*>(window.FrKeys1);
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(&window.KeysScreen(), static_cast<KeysScreenService*>(keys));
    ASSERT_TRUE(keys->RB_KalKey->isEnabled());
    keys->RB_KalKey->click();
    ASSERT_EQ(keys->Register()->Mode(), KeyGroup::Gate);
    keys->E_sn->setText(QStringLiteral("BADA55"));
    keys->BitAdd->click();
    window.close();
    EXPECT_EQ(PanelState(kGateNet), 2);
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 1);
}

}  // namespace
}  // namespace TFrKeysTestUnit
