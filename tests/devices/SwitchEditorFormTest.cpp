// The switch editor and its hardware dialog on the reference object, rendered
// and driven as the operator drives them.

#include "DeviceFixture.h"
#include "devices/ParamSet.h"
#include "devices/TractAssignment.h"
#include "devices/ui/SwitchTractPanel.h"
#include "devices/ui/TFFindPar.h"
#include "devices/ui/TFpkAppr.h"
#include "devices/ui/TFpkEdit.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "support/QtPrinters.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace SwitchEditorFormTestUnit {
namespace {

const QString kSaveOne = QStringLiteral("Сохранить для данного КМ?");
// Questions before a save name what they save for.
const QString kSwitchOne = QStringLiteral("Дом на Садовой, СКМ01");

class SwitchEditor : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        Exec("UPDATE k_pk SET kf_pr=1");
        for (qint64 idPk : {1, 2, 3})
            ASSERT_TRUE(AssignTracts(Db(), SwitchColumnOf(Db(), idPk)).ok);
        SelectObject(1);
        ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 1));
        // After the data module: the forms' grids show its datasets.
        apprForm_ = std::make_unique<TFpkAppr>();
        pickerForm_ = std::make_unique<TFFindPar>();
        editor_ = std::make_unique<TFpkEdit>();
        appr_ = FpkAppr = apprForm_.get();
        picker_ = FFindPar = pickerForm_.get();
        form_ = editor_.get();
    }
    void TearDown() override {
        FpkAppr = nullptr;
        FFindPar = nullptr;
        editor_.reset();
        pickerForm_.reset();
        apprForm_.reset();
        DeviceFixture::TearDown();
    }
    // Runs act on the modal dialog once it is open.
    static void WhenOpen(std::function<void()> act) { QTimer::singleShot(0, std::move(act)); }
    int SwitchSet(qint64 idPk) { return Int("SELECT id_ke FROM k_pk WHERE id_pk=?", {idPk}); }
    int SetValue(const char* column, qint64 idPk) {
        return Int(QStringLiteral("SELECT t.%1 FROM t_ke t, k_pk k WHERE t.id_ke=k.id_ke AND "
                                  "k.id_pk=?")
                       .arg(QString::fromLatin1(column)),
                   {idPk});
    }
    static QStringList Items(const QListWidget* list) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text() +
                         (list->item(i)->checkState() == Qt::Checked ? QStringLiteral("+") : "");
        return items;
    }

    std::unique_ptr<TFpkAppr> apprForm_;
    std::unique_ptr<TFFindPar> pickerForm_;
    std::unique_ptr<TFpkEdit> editor_;
    TFpkAppr* appr_ = nullptr;
    TFFindPar* picker_ = nullptr;
    TFpkEdit* form_ = nullptr;
};

TEST_F(SwitchEditor, ShowsTheSwitchWithItsTractPanel) {
    form_->show();
    EXPECT_EQ(QStringLiteral("Общие параметры и тракты. Редактирование КМ — Дом на Садовой, СКМ01"),
              form_->windowTitle());
    EXPECT_EQ(QStringLiteral("Дом 1, подъезд 1, СКМ01"), form_->LSwitch->text());
    EXPECT_EQ(kRecommendedParamSetName, form_->EName->text());
    EXPECT_EQ(95, form_->TDL->value());
    EXPECT_EQ(95, form_->TDL->minimum());
    EXPECT_EQ(66, form_->WAIT->value());
    EXPECT_EQ(1, form_->STe3->value());
    EXPECT_EQ(5, form_->DialogValues().edt);  // t_ed 1 shown as 5 minutes
    EXPECT_EQ(QStringLiteral("Стандарт вызова Darvo"), form_->TxVzv->text());
    EXPECT_EQ(QStringLiteral("Стандарт отзвонки Darvo"), form_->TxOtz->text());
    EXPECT_FALSE(form_->ChVideo->isChecked());
    EXPECT_FALSE(form_->E_Video->isEnabled());
    EXPECT_FALSE(form_->BtnUp->isEnabled());
    EXPECT_TRUE(form_->BtnDown->isEnabled());
    EXPECT_FALSE(form_->ParamsChanged());

    SwitchTractPanel* tracts = form_->Tracts;
    EXPECT_EQ(2, tracts->SGTract->rowCount());
    EXPECT_EQ(QStringLiteral("2"), tracts->SGTract->item(0, 0)->text());  // the gate row first
    EXPECT_EQ(QStringLiteral("1"), tracts->SGTract->item(1, 0)->text());
    EXPECT_EQ((QStringList{"2+", "1+"}), Items(tracts->ChMskBv));
    EXPECT_EQ((QStringList{"2+", "1+"}), Items(tracts->ChMskPo));
    EXPECT_TRUE(tracts->ChMskPo->isEnabled());
    EXPECT_EQ(2, tracts->DBGrid2->Model()->rowCount());
    EXPECT_EQ(QStringLiteral("№ сетевой"), tracts->DBGrid2->Model()->headerData(0, Qt::Horizontal));
    EXPECT_EQ(QStringLiteral("БВ"), tracts->DBGrid2->Model()->headerData(1, Qt::Horizontal));
    // The ranges of the object: one door per entrance, one gate.
    EXPECT_EQ((TractRanges{2, 2, 1, 1}), tracts->Ranges());
    for (auto [button, text] : {std::pair{form_->BitSavePk, "Сохранить для данного КМ"},
                                {form_->BitSaveDm, "Сохранить для всех КМ дома"},
                                {form_->BitSaveOb, "Сохранить для всех КМ объекта"},
                                {form_->BitFindPk, "Выбрать параметры из сохраненных"},
                                {form_->BitAppr, "Аппаратные настройки"},
                                {form_->BitMel, "Выбрать и определить мелодию"},
                                {form_->Bitsp, "Данные подъезда"},
                                {form_->Bitkv, "Квартиры и трубки"},
                                {form_->ButExit, "Закрыть"},
                                {tracts->BitRetryTr, "Перераспределить тракты на КМ"},
                                {tracts->BitRetryTrAll, "Перераспределить тракты на всех КМ"},
                                {tracts->BitSaveTrack, "Сохранить тракты"},
                                {tracts->BitSaveMask, "Маски"},
                                {tracts->BitAvtoTr, "Пересчитать тракты объекта"}})
        EXPECT_EQ(QString::fromUtf8(text), button->text());
    EXPECT_FALSE(SaveScreen(*form_, QStringLiteral("TFpkEdit")).isEmpty());
    ExpectNoClippedText(form_);
}

TEST_F(SwitchEditor, AnEditorWithoutSwitchesSavesNothing) {
    SelectObject(2);
    Exec("DELETE FROM k_pk WHERE id_net=2");
    ASSERT_TRUE(dm_->ReopenSwitches());
    form_->show();
    EXPECT_FALSE(form_->BitSavePk->isEnabled());
    EXPECT_TRUE(form_->ButExit->isEnabled());
    EXPECT_EQ(0, form_->Tracts->SGTract->rowCount());
    EXPECT_FALSE(form_->BtnDown->isEnabled());
    form_->SaveForSwitch();
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM t_ke"));
}

TEST_F(SwitchEditor, TheHardwareDialogUnlocksOnlyForTheExactCode) {
    appr_->show();
    EXPECT_EQ(QStringLiteral("Аппаратные настройки КМ"), appr_->windowTitle());
    EXPECT_EQ(QStringLiteral("Введите пароль для изменения порогов АЦП"), appr_->LPass->text());
    EXPECT_EQ(QStringLiteral("Пороги АЦП"), appr_->LTimePass->text());
    EXPECT_EQ(QStringLiteral("Сохранить"), appr_->BitOk->text());
    EXPECT_EQ(QStringLiteral("Отмена"), appr_->BitCancel->text());
    EXPECT_EQ(QLineEdit::Password, appr_->PassEdit->echoMode());
    EXPECT_EQ(5, appr_->EDT->singleStep());
    EXPECT_EQ(15, appr_->Reserv->maximum());
    EXPECT_TRUE(appr_->ThresholdsLocked());
    EXPECT_FALSE(SaveScreen(*appr_, QStringLiteral("TFpkAppr_locked")).isEmpty());
    ExpectNoClippedText(appr_);

    QTest::keyClicks(appr_->PassEdit, QStringLiteral("kQ39@.T"));
    EXPECT_TRUE(appr_->ThresholdsLocked());
    appr_->PassEdit->clear();
    QTest::keyClicks(appr_->PassEdit, QStringLiteral("kQ39@.t "));
    EXPECT_TRUE(appr_->ThresholdsLocked());
    QTest::keyClick(appr_->PassEdit, Qt::Key_Backspace);
    EXPECT_FALSE(appr_->ThresholdsLocked());
    EXPECT_TRUE(appr_->ACP1->isEnabled());
    EXPECT_FALSE(SaveScreen(*appr_, QStringLiteral("TFpkAppr_unlocked")).isEmpty());
    appr_->hide();
    appr_->show();  // the code stays typed
    EXPECT_FALSE(appr_->ThresholdsLocked());
}

TEST_F(SwitchEditor, BlockingTimesAreStoredInUnitsOfFiveAndShownAsTheirMultiple) {
    form_->show();
    WhenOpen([this] {
        EXPECT_EQ(5, appr_->EDT->value());
        appr_->EDT->setValue(12);
        appr_->DET->setValue(7);
        appr_->BitOk->click();
    });
    form_->BitApprClick();
    EXPECT_EQ(2, SetValue("t_ed", 1));
    EXPECT_EQ(1, SetValue("t_de", 1));
    EXPECT_EQ(2, Int("SELECT kf_pr FROM k_pk WHERE id_pk=1"));
    form_->LoadParams();
    EXPECT_EQ(10, form_->DialogValues().edt);
    EXPECT_EQ(5, form_->DialogValues().det);
}

TEST_F(SwitchEditor, CancelPutsBackTheValuesTheDialogOpenedWith) {
    form_->show();
    WhenOpen([this] {
        appr_->PTTO->setValue(9);
        appr_->Reserv->setValue(4);
        appr_->BitCancel->click();
    });
    form_->BitApprClick();
    EXPECT_EQ(5, appr_->PTTO->value());
    EXPECT_EQ(0, appr_->Reserv->value());
    ScriptedDialogs dialogs;
    dialogs.Expect(kSwitchOne, kSaveOne, DlgAnswer::Yes);
    form_->BitSavePk->click();
    EXPECT_EQ(5, SetValue("t_po", 1));
    EXPECT_EQ(0, Int("SELECT rsrv FROM k_pk WHERE id_pk=1"));
    EXPECT_EQ(1, SwitchSet(1));  // still the recommended set
}

TEST_F(SwitchEditor, ASinglesSaveStoresTheSetTheVideoAndNamesANewSet) {
    form_->show();
    ScriptedDialogs dialogs;
    form_->TCM->setValue(14);
    EXPECT_TRUE(form_->ParamsChanged());
    form_->ChVideo->click();
    EXPECT_TRUE(form_->E_Video->isEnabled());
    form_->E_Video->setValue(3);
    dialogs.Expect(kSwitchOne, kSaveOne, DlgAnswer::No);
    form_->BitSavePk->click();
    EXPECT_EQ(1, SwitchSet(1));  // "Нет" stores nothing, the video neither
    EXPECT_EQ(-1, Int("SELECT n_vid FROM k_pk WHERE id_pk=1"));
    dialogs.Expect(kSwitchOne, kSaveOne, DlgAnswer::Yes);
    form_->BitSavePk->click();
    EXPECT_EQ(14, SetValue("t_cm", 1));
    EXPECT_EQ(3, Int("SELECT n_vid FROM k_pk WHERE id_pk=1"));
    EXPECT_EQ(QStringLiteral("Дом на Садовой 1 под.1"), form_->EName->text());
    EXPECT_FALSE(form_->ParamsChanged());

    dialogs.Expect(QStringLiteral("Дом на Садовой, дом 1"), QStringLiteral("Сохранить для всего дома?"),
                   DlgAnswer::Yes);
    form_->BitSaveDm->click();
    EXPECT_EQ(SwitchSet(1), SwitchSet(2));
    EXPECT_EQ(1, SwitchSet(3));
    EXPECT_EQ(1, CurrentSwitchId());
}

TEST_F(SwitchEditor, APickedSetComesIntoTheControlsAndCountsAsAChange) {
    Exec(
        "INSERT INTO t_ke (id_ke, id_net, name, t_cm, t_ed, acp1) VALUES (5, 1, 'Зимний', 40, 3, "
        "99)");
    form_->show();
    ASSERT_TRUE(dm_->Q_ke->Reopen());
    WhenOpen([this] {
        ASSERT_TRUE(dm_->Q_ke->Locate("id_ke", 5));
        picker_->BitYes->click();
    });
    form_->BitFindPkClick();
    EXPECT_EQ(40, form_->TCM->value());
    EXPECT_EQ(QStringLiteral("Зимний"), form_->EName->text());
    EXPECT_EQ(15, form_->DialogValues().edt);
    EXPECT_EQ(99, form_->DialogValues().set.acp1);
    EXPECT_TRUE(form_->ParamsChanged());
    EXPECT_EQ(1, SwitchSet(1));  // nothing stored yet

    WhenOpen([this] { picker_->BitNo->click(); });
    form_->TCM->setValue(41);
    form_->BitFindPkClick();
    EXPECT_EQ(41, form_->TCM->value());  // "Закрыть, не применяя"

    ScriptedDialogs dialogs;
    dialogs.Expect(kSwitchOne, kSaveOne, DlgAnswer::Yes);
    form_->ButExitClick();  // changed: asks to save before closing
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(41, SetValue("t_cm", 1));
}

TEST_F(SwitchEditor, TheSerialFieldTakesItsFormsAndJumpsToTheHolder) {
    Exec("UPDATE k_pk SET sn_pk='A000000002' WHERE id_pk=2");
    form_->show();
    form_->E_SN->setFocus();
    QTest::keyClicks(form_->E_SN, QStringLiteral("kb1x2.3"));
    EXPECT_EQ(QStringLiteral("B12.3"), form_->E_SN->text());
    form_->E_SNExit();
    EXPECT_EQ(QString(), form_->E_SN->text());  // refused: back to the stored number

    form_->E_SN->setText(QStringLiteral("123456789"));
    form_->E_SNExit();
    EXPECT_EQ(QStringLiteral("A123456789"), form_->E_SN->text());
    EXPECT_EQ(QStringLiteral("A123456789"), Scalar("SELECT sn_pk FROM k_pk WHERE id_pk=1"));

    ScriptedDialogs dialogs;
    dialogs.Expect(
        QStringLiteral("Повторение!"),
        QStringLiteral("Попытка ввести имеющийся серийный номер! Перейти на найденный SN?"),
        DlgAnswer::Yes);
    form_->E_SN->setText(QStringLiteral("000000002"));
    form_->E_SNExit();
    EXPECT_EQ(2, CurrentSwitchId());
    EXPECT_EQ(QStringLiteral("Дом 1, подъезд 2, СКМ02"), form_->LSwitch->text());
    EXPECT_EQ(QStringLiteral("A000000002"), form_->E_SN->text());
    EXPECT_EQ(QStringLiteral("A123456789"), Scalar("SELECT sn_pk FROM k_pk WHERE id_pk=1"));
    EXPECT_TRUE(form_->BtnUp->isEnabled());
}

TEST_F(SwitchEditor, MovingOnSavesClickedMasksAndAsksAboutChangedParameters) {
    form_->show();
    ScriptedDialogs dialogs;
    form_->TCL->setValue(9);
    dialogs.Expect(QStringLiteral("Закрытие"),
                   QStringLiteral("Произведены изменения, сохраним для одного КМ?"),
                   DlgAnswer::Cancel);
    form_->BtnDown->click();
    EXPECT_EQ(1, CurrentSwitchId());

    form_->Tracts->ChMskBv->item(1)->setCheckState(Qt::Unchecked);  // the entrance panel
    EXPECT_TRUE(form_->Tracts->MasksChanged());
    EXPECT_EQ((QStringList{"2+", "1"}), Items(form_->Tracts->ChMskPo));
    dialogs.Expect(QStringLiteral("Закрытие"),
                   QStringLiteral("Произведены изменения, сохраним для одного КМ?"), DlgAnswer::No);
    form_->BtnDown->click();
    EXPECT_EQ(2, CurrentSwitchId());
    EXPECT_EQ(QStringLiteral("01000000"), Scalar("SELECT m_vb FROM k_pk WHERE id_pk=1"));
    EXPECT_EQ(1, SwitchSet(1));  // "Нет": the parameters were not stored
    EXPECT_EQ(0, form_->TCL->value());
    EXPECT_FALSE(form_->Tracts->MasksChanged());

    form_->BtnDown->click();
    EXPECT_EQ(3, CurrentSwitchId());
    EXPECT_FALSE(form_->BtnDown->isEnabled());
    form_->BtnUp->click();
    EXPECT_EQ(2, CurrentSwitchId());
}

TEST_F(SwitchEditor, ClickedMasksGoToTheSwitchTheyWereClickedOn) {
    form_->show();
    form_->Tracts->ChMskBv->item(0)->setCheckState(Qt::Unchecked);  // the gate panel
    ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 3));  // moved by another screen meanwhile
    form_->Tracts->BitSaveMask->click();
    EXPECT_EQ(QStringLiteral("10000000"), Scalar("SELECT m_vb FROM k_pk WHERE id_pk=1"));
    EXPECT_EQ(1, Int("SELECT kf_pr FROM k_pk WHERE id_pk=3"));
    EXPECT_EQ(0, Int("SELECT mk_bv FROM m_bv WHERE id_net=1 AND n_pk=1 AND bv_type=1"));
    EXPECT_EQ(1, Int("SELECT mk_bv FROM m_bv WHERE id_net=1 AND n_pk=3 AND bv_type=1"));

    // Closing keeps clicked masks too.
    form_->LoadParams();
    form_->Tracts->ChMskBv->item(1)->setCheckState(Qt::Unchecked);
    form_->ButExitClick();
    EXPECT_EQ(QStringLiteral("01000000"), Scalar("SELECT m_vb FROM k_pk WHERE id_pk=3"));
}

TEST_F(SwitchEditor, TypedTractsAreCutToTheTractCountAndSharedOnesLoseTheirMasks) {
    form_->show();
    QTableWidget* grid = form_->Tracts->SGTract;
    grid->item(0, 0)->setText(QStringLiteral("123"));
    EXPECT_EQ(QStringLiteral("8"), grid->item(0, 0)->text());
    grid->item(0, 0)->setText(QStringLiteral("3"));
    grid->item(1, 0)->setText(QStringLiteral("3"));
    form_->Tracts->BitSaveTrack->click();
    EXPECT_EQ((QStringList{"3", "3"}), Items(form_->Tracts->ChMskBv));
    EXPECT_EQ(
        0, Int("SELECT COUNT(*) FROM m_bv WHERE id_net=1 AND n_pk=1 AND (mk_bv<>0 OR mk_po<>0)"));
    EXPECT_EQ(2, Int("SELECT kf_pr FROM k_pk WHERE id_pk=1"));
    EXPECT_FALSE(SaveScreen(*form_, QStringLiteral("TFpkEdit_shared_tract")).isEmpty());

    ScriptedDialogs dialogs;
    form_->Tracts->BitRetryTr->click();  // no question for one switch
    EXPECT_EQ((QStringList{"2+", "1+"}), Items(form_->Tracts->ChMskBv));
}

TEST_F(SwitchEditor, TheObjectIsNumberedByTheRangesTyped) {
    form_->show();
    SwitchTractPanel* tracts = form_->Tracts;
    tracts->E_k1->setValue(1);  // gates from 1: entrances after the gate range
    EXPECT_EQ((TractRanges{1, 2, 3, 8}), tracts->Ranges());
    tracts->E_k2->setValue(1);
    tracts->E_p1->setValue(5);
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Тракты объекта"),
                   QStringLiteral("Перераспределить БВ по трактам объекта?"), DlgAnswer::Yes);
    tracts->BitAvtoTr->click();
    EXPECT_EQ((QStringList{"1", "5"}), (QStringList{tracts->SGTract->item(0, 0)->text(),
                                                    tracts->SGTract->item(1, 0)->text()}));
    EXPECT_EQ(5, Int("SELECT tract FROM m_bv WHERE id_net=1 AND n_pk=3 AND bv_type=0"));

    tracts->E_k2->setValue(6);  // overlaps the entrances' 5..8
    dialogs.Expect(QStringLiteral("Тракты объекта"),
                   QStringLiteral("Перераспределить БВ по трактам объекта?"), DlgAnswer::Yes);
    dialogs.Expect(QStringLiteral("Ошибка"), QStringLiteral("Некорректно заданы диапазоны!"));
    tracts->BitAvtoTr->click();
    EXPECT_EQ(5, Int("SELECT tract FROM m_bv WHERE id_net=1 AND n_pk=3 AND bv_type=0"));
}
}  // namespace
}  // namespace SwitchEditorFormTestUnit
