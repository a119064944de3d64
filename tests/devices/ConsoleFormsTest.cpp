// The console screen, its hardware dialog and its melody form, rendered with
// the reference object and driven as the operator drives them.

#include "DeviceFixture.h"
#include "devices/ConsoleHardware.h"
#include "devices/ui/DeviceForms.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/MelodyListPane.h"
#include "devices/ui/TFMelP.h"
#include "devices/ui/TFpoAppr.h"
#include "devices/ui/TFrPo.h"
#include "foundation/NavigationHooks.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "support/QtPrinters.h"
#include "support/RecordingTones.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

namespace ConsoleFormsTestUnit {
namespace {

class ConsoleForms : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        SelectObject(1);
        appr_ = std::make_unique<TFpoAppr>();
        melodies_ = std::make_unique<TFMelP>();
        FpoAppr = appr_.get();
        FMelP = melodies_.get();
    }
    void TearDown() override {
        FMelP = nullptr;
        FpoAppr = nullptr;
        melodies_.reset();
        appr_.reset();
        Hooks() = savedHooks_;  // a test installs the forms' hooks
        DeviceFixture::TearDown();
    }
    NavigationHooks savedHooks_ = Hooks();
    QVariant Console(const QString& column) {
        return Scalar("SELECT " + column + " FROM k_po WHERE id_net=1");
    }
    // The console screen prepared as the main window opens it.
    std::unique_ptr<TFrPo> Screen() {
        auto frame = std::make_unique<TFrPo>();
        frame->resize(1280, 720);
        frame->show();
        frame->PrepareScreen(QString());
        return frame;
    }

    std::unique_ptr<TFpoAppr> appr_;
    std::unique_ptr<TFMelP> melodies_;
};

TEST_F(ConsoleForms, TheFirstLoadCreatesTheRowWithTheTablesHardwareDefaults) {
    // The dialog still shows another console's values.
    appr_->Buzy->setValue(4000);
    appr_->E_Raz->setText(QStringLiteral("170"));
    Exec("DELETE FROM k_po");
    auto screen = Screen();
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM k_po WHERE id_net=1"));
    EXPECT_EQ(31, Console("busy").toInt());
    EXPECT_EQ(45, Console("frmc").toInt());
    EXPECT_EQ(QStringLiteral("Пульт ПО ДАРВО"), screen->Sobj1->text());
    EXPECT_EQ(QDate::currentDate().toString("dd.MM.yyyy") + " конф.", screen->Sobj2->text());
    EXPECT_EQ(QStringLiteral("Оператор 4"), screen->Sus4->text());
    EXPECT_EQ(QStringLiteral("Вызов от посетителя"), screen->TxVzv->text());
    EXPECT_EQ(QStringLiteral("Вызов от абонента"), screen->TxOtz->text());
    EXPECT_EQ(QStringLiteral("08:00"), screen->TimeD->time().toString("HH:mm"));
    EXPECT_EQ(8, screen->ChMs->count());
    EXPECT_EQ(QStringLiteral("КМ"), screen->ChMs->item(0)->text());
    EXPECT_EQ(QStringLiteral("7"), screen->ChMs->item(7)->text());
    EXPECT_EQ(QStringLiteral("0"), screen->E_pPo->text());
    EXPECT_EQ(QStringLiteral("Сохранить для ППО"), screen->BitSavePo->text());
    EXPECT_EQ(QStringLiteral("Выбрать и определить мелодию"), screen->BitMel->text());
    EXPECT_EQ(QStringLiteral("Сохранить для всех подъездов"), screen->BitSaveKod->text());
    EXPECT_FALSE(SaveScreen(*screen, QStringLiteral("FrPo")).isEmpty());

    // The navigation hook reaches the same load.
    Exec("DELETE FROM k_po");
    {
        RecordingTones tones;  // the hooks would install the sound card
        DeviceForms::InstallHooks();
    }
    Hooks().LoadSecurityPost();
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM k_po WHERE id_net=1"));
    EXPECT_EQ(1, dm_->Q_PO->RecordCount());
}

TEST_F(ConsoleForms, AnObjectWithoutAConsoleLeavesTheScreenAsItWas) {
    auto screen = Screen();
    screen->Sobj1->setText(QStringLiteral("как было"));
    SelectObject(2);
    screen->PrepareScreen(QString());
    EXPECT_EQ(QStringLiteral("как было"), screen->Sobj1->text());
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_po WHERE id_net=2"));
}

TEST_F(ConsoleForms, SavingKeepsTheSlideLinesTimesAndCameras) {
    Exec("UPDATE t_global SET CamPO=10");
    Exec("UPDATE k_po SET mcam='11', kf_pr=1");
    auto screen = Screen();
    ASSERT_EQ(10, screen->ChMs->count());
    EXPECT_EQ(Qt::Checked, screen->ChMs->item(1)->checkState());
    EXPECT_EQ(Qt::Unchecked, screen->ChMs->item(2)->checkState());
    EXPECT_EQ(Qt::Unchecked, screen->ChMs->item(9)->checkState());
    screen->ChMs->item(9)->setCheckState(Qt::Checked);
    screen->Sobj1->setText(QStringLiteral(" Первая строка "));
    screen->Sobj2->setText(QStringLiteral("Вторая строка"));
    screen->TimeD->setTime(QTime(7, 30));
    screen->E_Vss->setValue(3);
    EXPECT_EQ(3, screen->T_Vss->value());
    screen->T_Vmv->setValue(12);
    EXPECT_EQ(12, screen->E_Vmv->value());
    screen->BitSavePoClick();
    EXPECT_FALSE(screen->LabelSaving->isVisible());
    EXPECT_EQ(QStringLiteral("1100000001"), Console("mcam").toString());
    EXPECT_EQ(450, Console("mtdy").toInt());
    EXPECT_EQ(3, Console("klvl").toInt());
    EXPECT_EQ(12, Console("clvl").toInt());
    EXPECT_EQ(2, Console("kf_pr").toInt());
    screen->PrepareScreen(QString());
    EXPECT_EQ(QStringLiteral("Первая строка"), screen->Sobj1->text());
    EXPECT_EQ(QStringLiteral("Вторая строка"), screen->Sobj2->text());
    EXPECT_EQ(QTime(7, 30), screen->TimeD->time());
}

TEST_F(ConsoleForms, TheSeparatorFollowsTheHousePrefixesAndMelodiesFallBackByName) {
    Exec("UPDATE k_dom SET kod_d='12' WHERE id_dom=1");
    Exec("UPDATE k_dom SET kod_d='3' WHERE id_dom=2");
    Exec("UPDATE k_po SET id_mel0=0, id_mel1=0");
    Exec("UPDATE t_mel SET name='Иная' WHERE id_mel=4");
    auto screen = Screen();
    EXPECT_EQ(kMelodyNotDefined, screen->TxVzv->text());
    screen->Frmi->setValue(2);
    screen->BitSavePoClick();
    EXPECT_EQ(3, screen->Frmi->value());
    EXPECT_EQ(3, Console("frmi").toInt());
    EXPECT_EQ(3, Console("id_mel0").toInt());
    EXPECT_EQ(0, Console("id_mel1").toInt());
    EXPECT_EQ(QStringLiteral("Вызов от посетителя"), screen->TxVzv->text());
    EXPECT_EQ(kMelodyNotDefined, screen->TxOtz->text());
    screen->Frmi->setValue(4);
    screen->AdjustSeparatorPosition();
    EXPECT_EQ(4, screen->Frmi->value());
}

TEST_F(ConsoleForms, TheObjectWideSettings) {
    auto screen = Screen();
    screen->CBOv->click();  // on
    EXPECT_EQ(1, Int("SELECT l_obv FROM k_net WHERE id_net=1"));
    screen->FArc->click();
    EXPECT_EQ(1, Int("SELECT farc FROM k_net WHERE id_net=1"));
    screen->CBPnp->click();
    EXPECT_EQ(0, Int("SELECT l_pnp FROM k_net WHERE id_net=1"));

    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("ВНИМАНИЕ"),
                   QStringLiteral("Переписать всем квартирам обратный вызов?"), DlgAnswer::Yes);
    screen->BitSaveObr->click();
    EXPECT_EQ(123, Int("SELECT COUNT(*) FROM k_kvr WHERE id_net=1 AND m_obr=1"));
    EXPECT_EQ(nullptr, QApplication::overrideCursor());

    screen->E_pPo->clear();
    screen->E_pPo->setFocus();
    QTest::keyClicks(screen->E_pPo, "9x87654");
    EXPECT_EQ(QStringLiteral("98765"), screen->E_pPo->text());
    screen->E_pPo->clear();
    dialogs.Expect(QStringLiteral("Ошибка"), QStringLiteral("Код вызова не может быть пустым!!"));
    screen->BitSaveKod->click();
    screen->E_pPo->setText(QStringLiteral("12"));
    dialogs.Expect(QStringLiteral("Ошибка"), QStringLiteral("Данный код вызова занят!"));
    screen->BitSaveKod->click();
    EXPECT_EQ(QStringLiteral("0"), Scalar("SELECT p_kvr FROM k_net WHERE id_net=1"));
    screen->E_pPo->setText(QStringLiteral("900"));
    screen->BitSaveKod->click();
    EXPECT_EQ(QStringLiteral("900"), Scalar("SELECT p_kvr FROM k_net WHERE id_net=1"));
    EXPECT_EQ(QStringLiteral("900"), dm_->Q_Net->FieldByName("p_kvr").AsString());
}

TEST_F(ConsoleForms, TheSerialNumberOfTheConsole) {
    auto screen = Screen();
    screen->E_SN->setFocus();
    QTest::keyClicks(screen->E_SN, "123456789");
    screen->E_SNExit();
    EXPECT_EQ(QStringLiteral("A123456789"), screen->E_SN->text());
    EXPECT_EQ(QStringLiteral("A123456789"), Console("sn_po").toString());
    screen->E_SN->clear();
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Поле очищено"), QStringLiteral("Стереть SN?"), DlgAnswer::No);
    screen->E_SNExit();
    EXPECT_EQ(QStringLiteral("A123456789"), screen->E_SN->text());
}

// ---------------------------------------------------------------- hardware

TEST_F(ConsoleForms, TheHardwareDialogSavesInFullWithTheCodeAndInPartWithout) {
    Exec("UPDATE k_po SET kf_pr=1");
    auto screen = Screen();
    screen->BitAppr->click();
    TFpoAppr& d = *appr_;
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(QStringLiteral("Аппаратные настройки ППО — Дом на Садовой"), d.windowTitle());
    EXPECT_EQ(QStringLiteral("45"), d.E_Raz->text());
    EXPECT_TRUE(d.Images[37]->isChecked());  // Image39
    EXPECT_FALSE(d.PanelProtected->isEnabled());
    EXPECT_TRUE(DrawnGrey(d.LabelTimeouts));
    EXPECT_EQ(65535, d.Buzy->maximum());

    QTest::mouseClick(d.Label25, Qt::LeftButton);
    EXPECT_EQ(QStringLiteral("170"), d.E_Raz->text());
    EXPECT_FALSE(d.Images[37]->isChecked());
    d.BitSavePo->click();
    EXPECT_TRUE(d.LabelSaved->isVisible());
    EXPECT_EQ(170, Console("frmc").toInt());
    EXPECT_EQ(2, Console("kf_pr").toInt());
    Exec("UPDATE k_po SET kf_pr=3");
    d.BitSavePo->click();  // nothing changed, no code: nothing written
    EXPECT_FALSE(d.LabelSaved->isVisible());
    EXPECT_EQ(3, Console("kf_pr").toInt());

    d.ReservPO->setChecked(true);
    EXPECT_FALSE(d.LabelSaved->isVisible());
    d.BitSavePo->click();
    EXPECT_EQ(1, Console("lrez").toInt());
    EXPECT_EQ(4, Console("kf_pr").toInt());

    d.Images[37]->click();
    EXPECT_EQ(QStringLiteral("45"), d.E_Raz->text());
    d.Buzy->setValue(500);  // locked: ignored without the code
    d.ReservPO->setChecked(false);
    QTest::keyClicks(d.PassEdit, "kQ39@.t");
    EXPECT_TRUE(d.PanelProtected->isEnabled());
    EXPECT_FALSE(DrawnGrey(d.LabelTimeouts));
    EXPECT_TRUE(DrawnGrey(d.LabelPass));
    d.Npce->setValue(65535);
    d.BitSavePo->click();
    EXPECT_EQ(0, Console("lrez").toInt());
    EXPECT_EQ(45, Console("frmc").toInt());
    EXPECT_EQ(500, Console("busy").toInt());
    EXPECT_EQ(65535, Console("npce").toInt());

    EXPECT_EQ(QStringLiteral("Развернуть знаки"), d.BitKod->text());
    d.BitKod->click();
    EXPECT_EQ(QStringLiteral("Свернуть"), d.BitKod->text());
    EXPECT_EQ(209, d.PanelGlyphs->height());
    EXPECT_FALSE(SaveScreen(d, QStringLiteral("FpoAppr")).isEmpty());
    d.BitKod->click();
    EXPECT_EQ(41, d.PanelGlyphs->height());
    EXPECT_FALSE(SaveScreen(d, QStringLiteral("FpoAppr_folded")).isEmpty());
}

TEST_F(ConsoleForms, AStoredSeparatorThatIsNoGlyphIsKept) {
    Exec("UPDATE k_po SET frmc=99, kf_pr=3");
    appr_->show();
    EXPECT_EQ(QStringLiteral("99"), appr_->E_Raz->text());
    for (QToolButton* image : appr_->Images) EXPECT_FALSE(image->isChecked());
    appr_->BitSavePo->click();
    EXPECT_EQ(99, Console("frmc").toInt());
    EXPECT_EQ(3, Console("kf_pr").toInt());
}

// ---------------------------------------------------------------- melodies

TEST_F(ConsoleForms, TheMelodyFormComposesFromThePickerAndPlaysThroughTheToneOutput) {
    Exec("UPDATE k_po SET id_mel0=3, id_mel1=4");
    auto screen = Screen();
    screen->BitMel->click();
    TFMelP& f = *melodies_;
    ASSERT_TRUE(f.isVisible());
    EXPECT_EQ(QStringLiteral("Мелодии пульта поста охраны — Дом на Садовой"), f.windowTitle());
    EXPECT_EQ(QStringLiteral("3-106"), f.GNoot->item(3, 0)->text());
    EXPECT_EQ(QStringLiteral("Вызов от посетителя"), f.TxVzv->text());
    EXPECT_EQ(5, f.Dol->value());
    EXPECT_FALSE(f.N1->isEnabled());

    RecordingTones tones;
    f.GNootClick(1);
    f.GNootClick(9);
    f.GNootClick(0);
    EXPECT_EQ((QStringList{"176/160", "65/160", "15625/160"}), tones.Heard());

    // An open melody of five notes, standing on its third note.
    Exec("INSERT INTO t_mel (id_mel, name, forr) VALUES (10, 'Моя', 'посетитель')");
    for (int nom = 1; nom <= 5; ++nom)
        Exec("INSERT INTO t_bp (id_mel, nom, leng, gerc, noot) VALUES (10, ?, 4, ?, 0)",
             {nom, nom == 2 ? 0 : 88});
    ASSERT_TRUE(dm_->ReopenMelodies());
    ASSERT_TRUE(dm_->Q_MelP->Locate("id_mel", 10));
    f.Melodies->DBGmCellClick();
    EXPECT_TRUE(f.NotesEnabled());
    ASSERT_TRUE(dm_->Q_Bepo->Locate("nom", 3));
    f.Dol->setValue(7);
    f.GNootDblClick(3);
    EXPECT_EQ(5, Int("SELECT COUNT(*) FROM t_bp WHERE id_mel=10"));
    EXPECT_EQ(
        QStringLiteral("106 3 7"),
        Scalar("SELECT gerc || ' ' || noot || ' ' || leng FROM t_bp WHERE id_mel=10 AND nom=3"));

    tones.Clear();
    f.BitBeep->click();
    EXPECT_EQ((QStringList{"176/128", "pause/128", "146/224", "176/128", "176/128"}),
              tones.Heard());

    QTest::keyClick(f.DBGm, Qt::Key_Delete);  // deletes nothing
    EXPECT_EQ(5, Int("SELECT COUNT(*) FROM t_bp WHERE id_mel=10"));
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM t_mel WHERE id_mel=10"));
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Удаление!"), QStringLiteral("Удалить ноту?"), DlgAnswer::Yes);
    QTest::keyClick(f.DBGb, Qt::Key_Delete);
    EXPECT_EQ(4, Int("SELECT COUNT(*) FROM t_bp WHERE id_mel=10"));
    f.GNootDblClick(9);  // a note again, after the last one
    EXPECT_EQ(6, Int("SELECT MAX(nom) FROM t_bp WHERE id_mel=10"));

    dialogs.Expect(QStringLiteral("Дом на Садовой"), QStringLiteral("Сохранить для ПО?"), DlgAnswer::Yes);
    f.BitSavePk->click();
    EXPECT_EQ(10, Console("id_mel0").toInt());
    EXPECT_EQ(QStringLiteral("Моя"), f.TxVzv->text());
    EXPECT_FALSE(SaveScreen(f, QStringLiteral("FMelP")).isEmpty());
}

TEST_F(ConsoleForms, AClosedMelodyRefusesNotesAndANewOneIsNamed) {
    melodies_->FillNotePicker();
    melodies_->show();
    TFMelP& f = *melodies_;
    ASSERT_TRUE(dm_->Q_MelP->Locate("id_mel", 3));
    f.Melodies->DBGmCellClick();
    EXPECT_FALSE(f.NotesEnabled());
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Пусто"), QStringLiteral("Мелодия закрыта для редактирования!"));
    f.GNootDblClick(2);
    EXPECT_EQ(5, Int("SELECT COUNT(*) FROM t_bp WHERE id_mel=3"));

    f.BitAppd->click();
    EXPECT_EQ(QStringLiteral("Введите имя новой мелодии"), f.PanelName->ENew->text());
    f.PanelName->ENewEnter();
    EXPECT_EQ(QString(), f.PanelName->ENew->text());
    f.PanelName->ENew->setText(QStringLiteral("Ночная"));
    f.PanelName->RBot->click();
    dialogs.Expect(QStringLiteral("Подтверждение"), QStringLiteral("Сохраняем?"), DlgAnswer::Yes);
    f.PanelName->BitSaveMel->click();
    EXPECT_EQ(QStringLiteral("абонент"), Scalar("SELECT forr FROM t_mel WHERE name='Ночная'"));
    EXPECT_EQ(QStringLiteral("Ночная"), dm_->Q_MelP->FieldByName("name").AsString());
    EXPECT_TRUE(f.NotesEnabled());

    // No console melody at all.
    Exec("DELETE FROM t_mel WHERE forr IN ('посетитель', 'абонент')");
    ASSERT_TRUE(dm_->ReopenMelodies());
    dialogs.Expect(QStringLiteral("Пусто"), QStringLiteral("Добавьте мелодию!"));
    f.GNootDblClick(2);
}
}  // namespace
}  // namespace ConsoleFormsTestUnit
