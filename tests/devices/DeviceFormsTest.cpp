// The parameter-set picker and the switch melody form, rendered with the
// reference object and driven as the operator drives them.

#include "DeviceFixture.h"
#include "devices/Melody.h"
#include "devices/ParamSet.h"
#include "devices/ui/TFFindPar.h"
#include "devices/ui/TFMelF.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "support/QtPrinters.h"
#include "support/RecordingTones.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace DeviceFormsTestUnit {
namespace {

QStringList Headers(const DatasetGrid* grid) {
    QStringList titles;
    for (int c = 0; c < grid->Model()->columnCount(); ++c)
        titles << grid->Model()->headerData(c, Qt::Horizontal).toString();
    return titles;
}

class PickerForm : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        Exec(
            "INSERT INTO t_ke (id_ke, id_net, name, t_cm, t_dl, t_ed) VALUES "
            "(2, 1, 'Дом на Садовой 1 под.1', 10, 120, 2), (3, 1, 'Дом на Садовой', 20, 95, 3)");
        Exec("UPDATE k_pk SET id_ke=3 WHERE id_pk=1");
        ASSERT_TRUE(dm_->Q_ke->Reopen());
    }
    QString CurrentName() { return dm_->Q_ke->FieldByName("name").AsString(); }
};

TEST_F(PickerForm, RendersTheStoredSetsUnderTheirColumnTitles) {
    TFFindPar form;
    form.show();
    EXPECT_EQ(QStringLiteral("Выбор набора общих параметров для КМ"), form.windowTitle());
    EXPECT_EQ((QStringList{"Наименование", "TCM", "TCL", "TDL", "TVC", "TDX", "ST", "MTO", "BTO",
                           "WAIT", "PTTO", "Edge", "TED", "DET", "АЦП1", "АЦП2", "АЦП3", "АЦП4"}),
              Headers(form.DBGrid1));
    EXPECT_EQ(3, form.DBGrid1->Model()->rowCount());
    EXPECT_EQ(QStringLiteral("Использовать параметры"), form.BitYes->text());
    EXPECT_EQ(QStringLiteral("Закрыть, не применяя"), form.BitNo->text());
    EXPECT_EQ(QStringLiteral("Изменить наименование"), form.M_Nane->text());
    EXPECT_EQ(QStringLiteral("Удалить строку"), form.N1->text());
    EXPECT_EQ(QKeySequence(Qt::Key_F5), form.NReOpen->shortcut());
    EXPECT_FALSE(SaveScreen(form, QStringLiteral("TFFindPar")).isEmpty());
}

TEST_F(PickerForm, EnterUsesTheRowAndEscReturnsToTheRowItOpenedOn) {
    dm_->Q_ke->SetRecNo(1);
    TFFindPar form;
    form.show();
    dm_->Q_ke->SetRecNo(2);
    EXPECT_EQ(1, form.DBGrid1->currentIndex().row());  // the grid follows the dataset
    QTest::keyClick(form.DBGrid1, Qt::Key_Return);
    EXPECT_EQ(QDialog::Accepted, form.result());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(2, dm_->Q_ke->RecNo());

    form.show();
    QTest::keyClick(form.DBGrid1, Qt::Key_Down);
    EXPECT_EQ(3, dm_->Q_ke->RecNo());  // and the dataset follows the grid
    QTest::keyClick(form.DBGrid1, Qt::Key_Escape);
    EXPECT_EQ(TFFindPar::kNoResult, form.result());
    EXPECT_EQ(2, dm_->Q_ke->RecNo());

    form.show();
    QTest::keyClick(form.DBGrid1, Qt::Key_Up);
    form.BitNo->click();
    EXPECT_EQ(TFFindPar::kNoResult, form.result());
    EXPECT_EQ(1, dm_->Q_ke->RecNo());  // "Закрыть, не применяя" stays where it is

    form.show();
    QTest::keyClick(form.DBGrid1, Qt::Key_Delete);  // never deletes
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(3, Int("SELECT COUNT(*) FROM t_ke"));
    form.BitYes->click();
    EXPECT_EQ(QDialog::Accepted, form.result());
}

TEST_F(PickerForm, RenamesAnyRowButTheRecommendedSet) {
    TFFindPar form;
    form.show();
    ASSERT_TRUE(dm_->Q_ke->Locate("id_ke", 2));
    form.BitName->click();
    ASSERT_TRUE(form.E_Name->isVisible());
    EXPECT_EQ(QStringLiteral("Дом на Садовой 1 под.1"), form.E_Name->text());
    EXPECT_FALSE(SaveScreen(form, QStringLiteral("TFFindPar_rename")).isEmpty());
    form.E_Name->setText(QStringLiteral("  Летний  "));
    QTest::keyClick(form.E_Name, Qt::Key_Return);
    EXPECT_FALSE(form.E_Name->isVisible());
    EXPECT_TRUE(form.isVisible());  // Enter stored the name and closed nothing
    EXPECT_EQ(QStringLiteral("Летний"), Scalar("SELECT name FROM t_ke WHERE id_ke=2"));
    EXPECT_EQ(QStringLiteral("Летний"), CurrentName());

    ASSERT_TRUE(dm_->Q_ke->Locate("id_ke", 1));
    form.M_Nane->trigger();
    EXPECT_FALSE(form.E_Name->isVisible());

    // A click in the grid puts the name edit away unstored.
    ASSERT_TRUE(dm_->Q_ke->Locate("id_ke", 2));
    form.BitName->click();
    ASSERT_TRUE(form.E_Name->isVisible());
    form.E_Name->setText(QStringLiteral("Зимний"));
    const QModelIndex cell = form.DBGrid1->model()->index(0, 0);
    QTest::mouseClick(form.DBGrid1->viewport(), Qt::LeftButton, {},
                      form.DBGrid1->visualRect(cell).center());
    EXPECT_FALSE(form.E_Name->isVisible());
    EXPECT_EQ(QStringLiteral("Летний"), Scalar("SELECT name FROM t_ke WHERE id_ke=2"));
}

TEST_F(PickerForm, DeletesOnlyASetNoSwitchUses) {
    TFFindPar form;
    form.show();
    ScriptedDialogs dialogs;
    ASSERT_TRUE(dm_->Q_ke->Locate("id_ke", 3));
    dialogs.Expect(QStringLiteral("Отказ"),
                   QStringLiteral("Набор параметров используется, удаление невозможно!"));
    form.N1->trigger();
    ASSERT_TRUE(dm_->Q_ke->Locate("id_ke", 2));
    dialogs.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить запись?"), DlgAnswer::Yes);
    form.N1->trigger();
    EXPECT_EQ(2, form.DBGrid1->Model()->rowCount());
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM t_ke WHERE id_ke=2"));
}

namespace {

class MelodyForm : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        SelectObject(1);
        ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 1));
    }
    // Puts the staff on the note with this tone value.
    void PickStaffNote(TFMelF& form, int valn) { ASSERT_TRUE(form.NotKeys->Locate("Valn", valn)); }
    int NoteCount(qint64 idMel) { return Int("SELECT COUNT(*) FROM t_bp WHERE id_mel=?", {idMel}); }
};

}  // namespace

TEST_F(MelodyForm, ShowsTheSwitchsMelodiesAndRendersTheStaff) {
    TFMelF form;
    form.show();
    EXPECT_EQ(QStringLiteral("Определить мелодию КМ — Дом на Садовой, СКМ01"), form.windowTitle());
    EXPECT_EQ(kStandardCallMelody, form.TxVzv->text());
    EXPECT_EQ(kStandardRingBackMelody, form.TxOtz->text());
    EXPECT_FALSE(form.NotesEnabled());  // the list stands on the closed ring-back melody
    EXPECT_EQ(48, form.DBGrid1->Model()->rowCount());
    EXPECT_EQ((QStringList{"Октава", "Нота", "Значение", "Гц"}), Headers(form.DBGrid1));
    EXPECT_EQ(7, form.SLen->value());
    EXPECT_EQ(20, form.SLen->maximum());
    EXPECT_FALSE(form.PPClose->isEnabled());
    for (auto [button, text] : {std::pair{form.BitAppd, "Добавить мелодию"},
                                {form.BitEdit, "Изменить мелодию"},
                                {form.BitBeep, "Проиграть мелодию"},
                                {form.BitSavePk, "Сохранить для данного КМ"},
                                {form.BitSaveDm, "Сохранить для всех КМ дома"},
                                {form.BitSaveOb, "Сохранить для всех КМ объекта"},
                                {form.ButExit, "Закрыть (Esc)"}})
        EXPECT_EQ(QString::fromUtf8(text), button->text());
    ASSERT_TRUE(dm_->Q_Mel->Locate("id_mel", 1));
    EXPECT_FALSE(SaveScreen(form, QStringLiteral("TFMelF")).isEmpty());

    // A switch whose ring-back melody is gone.
    Exec("UPDATE k_pk SET id_mot=77 WHERE id_pk=1");
    ASSERT_TRUE(dm_->ReopenSwitches());
    form.ShowAssignedMelodies();
    EXPECT_EQ(kMelodyNotDefined, form.TxOtz->text());
}

TEST_F(MelodyForm, AClosedMelodyIsRefusedAndItsNotesStay) {
    TFMelF form;
    form.show();
    ScriptedDialogs dialogs;
    ASSERT_TRUE(dm_->Q_Mel->Locate("id_mel", 1));
    dialogs.Expect(QStringLiteral("Запрет"),
                   QStringLiteral("Данная мелодия защищена от редактирования!"));
    form.BitEdit->click();
    EXPECT_FALSE(form.PanelName->isVisible());
    dialogs.Expect(QStringLiteral("Запрет"),
                   QStringLiteral("Данная мелодия защищена от редактирования!"));
    QTest::keyClick(form.DBGm, Qt::Key_Delete);
    form.NoteAppClick();  // the notes grid is off: nothing happens
    EXPECT_EQ(6, NoteCount(1));
    dialogs.Expect(QStringLiteral("Ограничение"), QStringLiteral("Мелодия закрыта для удаления"));
    form.PPDel->trigger();
}

TEST_F(MelodyForm, ANewMelodyIsNamedComposedPlayedAndAssigned) {
    TFMelF form;
    form.show();
    ScriptedDialogs dialogs;
    form.BitAppd->click();
    ASSERT_TRUE(form.PanelName->isVisible());
    form.ENew->setText(QStringLiteral("  Утро "));
    form.RBot->click();
    EXPECT_FALSE(SaveScreen(form, QStringLiteral("TFMelF_name")).isEmpty());
    dialogs.Expect(QStringLiteral("Подтверждение"), QStringLiteral("Сохраняем?"), DlgAnswer::Yes);
    form.BitSaveMel->click();
    EXPECT_FALSE(form.PanelName->isVisible());
    const qint64 id = CurrentMelodyId();
    ASSERT_GT(id, 4);
    EXPECT_EQ(QStringLiteral("Утро"), dm_->Q_Mel->FieldByName("name").AsString());
    EXPECT_EQ(kRingBackPurpose, MelodyPurpose(Db(), id));
    EXPECT_TRUE(form.NotesEnabled());

    PickStaffNote(form, 35);  // Ля of octave 4
    QTest::keyClick(form.DBGrid1, Qt::Key_Space);
    form.SLen->setValue(3);
    form.N2Click();
    PickStaffNote(form, 88);
    form.SLen->setValue(7);
    form.NoteAppClick();
    EXPECT_EQ(3, NoteCount(id));
    dm_->Q_Beep->First();
    PickStaffNote(form, 59);
    QTest::keyClick(form.DBGrid1, Qt::Key_Return);  // replaces the first note
    EXPECT_EQ(59, Int("SELECT gerc FROM t_bp WHERE id_mel=? AND nom=1", {id}));

    RecordingTones tones;
    form.BitBeep->click();
    EXPECT_EQ((QStringList{QStringLiteral("%1/224").arg(ToneHz(59)), "pause/96", "176/224"}),
              tones.Heard());
    EXPECT_EQ(176, Int("SELECT gercbeep FROM t_bp WHERE id_mel=? AND nom=3", {id}));

    dialogs.Expect(QStringLiteral("Дом на Садовой, СКМ01"), QStringLiteral("Сохранить для данного КМ?"),
                   DlgAnswer::Yes);
    form.BitSavePk->click();
    EXPECT_EQ(id, Int("SELECT id_mot FROM k_pk WHERE id_pk=1"));
    EXPECT_EQ(QStringLiteral("Утро"), form.TxOtz->text());
    EXPECT_EQ(id, CurrentMelodyId());

    dialogs.Expect(QStringLiteral("Удаление строки"), QStringLiteral("Удалить ноту?"),
                   DlgAnswer::Yes);
    QTest::keyClick(form.DBGb, Qt::Key_Delete);
    EXPECT_EQ(2, NoteCount(id));
}

TEST_F(MelodyForm, ClickingAStaffCellSoundsItsNoteOrItsToneValue) {
    TFMelF form;
    form.show();
    RecordingTones tones;
    PickStaffNote(form, 35);
    form.SLen->setValue(5);
    form.DBGrid1CellClick(form.DBGrid1->Model()->ColumnOf("Name"));
    form.DBGrid1CellClick(form.DBGrid1->Model()->ColumnOf("Valn"));
    form.DBGrid1CellClick(form.DBGrid1->Model()->ColumnOf("oct"));
    EXPECT_EQ((QStringList{"440/160", QStringLiteral("%1/160").arg(ToneHz(35))}), tones.Heard());
}
}  // namespace
}  // namespace DeviceFormsTestUnit
