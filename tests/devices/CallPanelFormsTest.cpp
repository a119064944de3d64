// The call panel editor, its two dialogs and the call panel list screen,
// rendered with the reference object and driven as the operator drives them.

#include "DeviceFixture.h"
#include "devices/DeviceListLayout.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/TFbvApp.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFbvReCount.h"
#include "devices/ui/TFrBv.h"
#include "app/TFMainVesk.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "support/QtPrinters.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace CallPanelFormsTestUnit {
namespace {

// The editor with its two dialogs as the program's global forms.
class PanelForms : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        SelectObject(1);
        app_ = std::make_unique<TFbvApp>();
        recount_ = std::make_unique<TFbvReCount>();
        edit_ = std::make_unique<TFbvEdit>();
        FbvApp = app_.get();
        FbvReCount = recount_.get();
        FbvEdit = edit_.get();
    }
    void TearDown() override {
        FbvEdit = nullptr;
        FbvReCount = nullptr;
        FbvApp = nullptr;
        edit_.reset();
        recount_.reset();
        app_.reset();
        DeviceFixture::TearDown();
    }
    // The editor shown on panel idBv, as the list screen opens it.
    TFbvEdit& Open(qint64 idBv) {
        EXPECT_TRUE(dm_->Q_bv->Locate("id_bv", idBv));
        edit_->show();
        edit_->LoadPanel();
        return *edit_;
    }
    QString Code(int i) { return edit_->Ocode->item(i / 5, i % 5)->text(); }
    int KfPr(qint64 idBv) { return Int("SELECT kf_pr FROM k_bv WHERE id_bv=?", {idBv}); }
    // Answers a modal dialog once it runs.
    static void WhenModal(std::function<void()> answer) { QTimer::singleShot(0, answer); }

    std::unique_ptr<TFbvApp> app_;
    std::unique_ptr<TFbvReCount> recount_;
    std::unique_ptr<TFbvEdit> edit_;
};

TEST_F(PanelForms, TheEditorShowsAPanelByItsKind) {
    Exec("UPDATE k_bv SET ocode0='111111', ocode7='4242', sn_bv='A000000017' WHERE id_bv=1");
    TFbvEdit& e = Open(1);
    EXPECT_EQ(QStringLiteral("Общие параметры БВ. Редактирование. — Дом на Садовой, БВ01 калитка"),
              e.windowTitle());
    EXPECT_EQ(QStringLiteral("БВ01 калитка "), e.TxName->text());
    EXPECT_EQ(QStringLiteral("Сохранить для всех БВ калиток"), e.BitSaveDm->text());
    EXPECT_EQ(QString(), Code(0));
    EXPECT_EQ(QStringLiteral("4242"), Code(7));
    EXPECT_EQ(QStringLiteral("A000000017"), e.E_SN->text());
    EXPECT_TRUE(e.CB01->isChecked());
    EXPECT_FALSE(e.CB01->isEnabled());
    EXPECT_FALSE(e.BitSavePk->isEnabled());
    EXPECT_TRUE(e.CPK->isEnabled());
    EXPECT_EQ(3, e.CPK->count());
    EXPECT_FALSE(e.BtnDown->isEnabled());  // door panels first, the gate last
    for (auto [button, text] : {std::pair{e.BitSave, "Сохранить данные БВ"},
                                {e.BitSavePk, "Сохранить для всех БВ данного подъезда"},
                                {e.BitSaveOb, "Сохранить для всех БВ объекта"},
                                {e.BitDeEdit, "№ трубки для ППО"},
                                {e.BitAppr, "Аппаратные настройки"},
                                {e.ButExit, "Закрыть"}})
        EXPECT_EQ(QString::fromUtf8(text), button->text());
    QStringList titles;
    for (int c = 0; c < e.DBGrid1->Model()->columnCount(); ++c)
        titles << e.DBGrid1->Model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ((QStringList{"C адрес КМ", "№ подъезда", "1 кв", "Посл.кв.", "К-во кв.", "Гостин.№",
                           "Префикс д.", "Дом №", "AI", "AH", "FC"}),
              titles);
    EXPECT_EQ(3, e.DBGrid1->Model()->rowCount());
    EXPECT_EQ(QStringLiteral("1"), e.DBGrid1->Model()->index(0, 7).data().toString());
    EXPECT_FALSE(SaveScreen(e, QStringLiteral("FbvEdit")).isEmpty());

    e.BtnUpClick();  // the last door panel
    EXPECT_EQ(4, e.Editor()->PanelId());
    EXPECT_EQ(QStringLiteral("Сохранить для всех БВ подъездов"), e.BitSaveDm->text());
    EXPECT_TRUE(e.BitSavePk->isEnabled());
    EXPECT_FALSE(e.CPK->isEnabled());
    EXPECT_TRUE(e.BtnDown->isEnabled());
    e.BtnUpClick();
    e.BtnUpClick();
    EXPECT_EQ(2, e.Editor()->PanelId());
    EXPECT_FALSE(e.BtnUp->isEnabled());
    e.BtnUpClick();  // stays on the first panel
    EXPECT_EQ(2, e.Editor()->PanelId());
    EXPECT_TRUE(DrawnGrey(e.CBkns));
    EXPECT_FALSE(DrawnGrey(e.CBpo));
}

TEST_F(PanelForms, OpenCodesTakeDigitsAndMoveOnAfterFive) {
    TFbvEdit& e = Open(2);
    e.Ocode->setFocus();
    e.Ocode->setCurrentCell(0, 0);
    QTest::keyClicks(e.Ocode, "12a34567");
    EXPECT_EQ(QStringLiteral("12345"), Code(0));
    EXPECT_EQ(QStringLiteral("67"), Code(1));
    QTest::keyClick(e.Ocode, Qt::Key_Backspace);
    QTest::keyClick(e.Ocode, Qt::Key_Return);
    QTest::keyClicks(e.Ocode, "9");
    EXPECT_EQ(QStringLiteral("6"), Code(1));
    EXPECT_EQ(QStringLiteral("9"), Code(2));
    e.BitSaveClick();
    EXPECT_EQ(QStringLiteral("12345"), Scalar("SELECT ocode0 FROM k_bv WHERE id_bv=2"));
    EXPECT_EQ(QStringLiteral("9"), Scalar("SELECT ocode2 FROM k_bv WHERE id_bv=2"));
    EXPECT_EQ(QStringLiteral("9"), Code(2));  // loaded again after the save
}

TEST_F(PanelForms, SavingUnchangedControlsKeepsTheFileStateAndAStoredNoCodeIsSavedEmpty) {
    Exec("UPDATE k_bv SET kf_pr=3 WHERE id_bv=2");
    TFbvEdit& e = Open(2);
    e.BitSaveClick();
    EXPECT_EQ(3, KfPr(2));

    Exec("UPDATE k_bv SET ocode3='111111' WHERE id_bv=2");
    Open(2);
    EXPECT_EQ(QString(), Code(3));
    e.BitSaveClick();
    EXPECT_EQ(QString(), Scalar("SELECT ocode3 FROM k_bv WHERE id_bv=2").toString());
    EXPECT_EQ(4, KfPr(2));
}

TEST_F(PanelForms, AChangedSwitchAloneIsSavedAndTheConciergeOnTheConsoleHandsetRingsTheConsole) {
    Exec("UPDATE k_bv SET adrpk=1, adrcs=41, kf_pr=1 WHERE id_bv=1");
    TFbvEdit& e = Open(1);
    e.CPK->setCurrentIndex(e.CPK->findData(2));
    e.CPKExit();
    e.BitSaveClick();
    EXPECT_EQ(2, Int("SELECT adrpk FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(2, KfPr(1));

    e.CBkns->click();
    EXPECT_FALSE(e.CBpo->isChecked());
    EXPECT_TRUE(e.DBkv->isEnabled());
    EXPECT_FALSE(DrawnGrey(e.CBkns));
    e.DBkv->setCurrentIndex(e.DBkv->findData(41));
    e.DBkvExit();
    EXPECT_EQ(41, e.ADRCS->value());
    e.BitSaveClick();
    EXPECT_EQ(0, Int("SELECT l_kns FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(1, Int("SELECT l_pok FROM k_bv WHERE id_bv=1"));
    EXPECT_TRUE(e.CBpo->isChecked());
}

TEST_F(PanelForms, TheEntranceCopyDoesNothingOnAGatePanel) {
    TFbvEdit& e = Open(1);
    e.OT->setValue(15);
    QSqlDatabase db = Db();
    const QString before = TestDatabase::Dump(db);
    e.BitSavePkClick();
    EXPECT_EQ(before, TestDatabase::Dump(db));

    Open(2);
    e.OT->setValue(15);
    e.BitSavePkClick();
    EXPECT_EQ(15, Int("SELECT ot FROM k_bv WHERE id_bv=2"));
    EXPECT_EQ(5, Int("SELECT ot FROM k_bv WHERE id_bv=3"));
    EXPECT_EQ(2, dm_->Q_bv->FieldByName("id_bv").AsInt());
}

TEST_F(PanelForms, ObjectAndKindSavesAskFirstAndAFailureChangesNothing) {
    TFbvEdit& e = Open(2);
    e.SL->setValue(2);
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Подтверждение"),
                   QStringLiteral("Запишем общие параметры в БВ этого типа?"), DlgAnswer::No);
    e.BitSaveDmClick();
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_bv WHERE sl=2"));

    Exec(
        "CREATE TRIGGER refuse BEFORE UPDATE ON k_bv WHEN NEW.id_bv=4 "
        "BEGIN SELECT RAISE(ABORT, 'отказ записи'); END");
    dialogs.Expect(QStringLiteral("Подтверждение"),
                   QStringLiteral("Запишем общие параметры во все БВ?"), DlgAnswer::Yes);
    dialogs.ExpectContaining(
        QStringLiteral("Ошибка"),
        QStringLiteral("Запись отклонена триггером самого файла базы данных."));
    e.BitSaveObClick();
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_bv WHERE sl=2"));
    EXPECT_EQ(nullptr, QApplication::overrideCursor());
    EXPECT_EQ(2, dm_->Q_bv->FieldByName("id_bv").AsInt());

    Exec("DROP TRIGGER refuse");
    dialogs.Expect(QStringLiteral("Подтверждение"),
                   QStringLiteral("Запишем общие параметры в БВ этого типа?"), DlgAnswer::Yes);
    e.BitSaveDmClick();
    EXPECT_EQ(3, Int("SELECT COUNT(*) FROM k_bv WHERE sl=2"));
    EXPECT_EQ(8, Int("SELECT sl FROM k_bv WHERE id_bv=1"));  // the gate is of the other kind
}

TEST_F(PanelForms, TheSerialNumberIsTypedInUpperCaseAndStoredInItsLongForm) {
    TFbvEdit& e = Open(2);
    e.E_SN->setFocus();
    QTest::keyClicks(e.E_SN, "k123456789");  // K is no first letter
    EXPECT_EQ(QStringLiteral("123456789"), e.E_SN->text());
    e.E_SNExit();
    EXPECT_EQ(QStringLiteral("A123456789"), e.E_SN->text());
    EXPECT_EQ(QStringLiteral("A123456789"), Scalar("SELECT sn_bv FROM k_bv WHERE id_bv=2"));
    e.E_SN->setText(QStringLiteral("12345"));
    e.E_SNExit();
    EXPECT_EQ(QStringLiteral("A123456789"), e.E_SN->text());

    Open(3);
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Повторение!"),
                   QStringLiteral("Попытка ввести имеющийся серийный номер! Перейти на "
                                  "найденный SN?"),
                   DlgAnswer::Yes);
    e.E_SN->setText(QStringLiteral("a123456789"));
    e.E_SNExit();
    EXPECT_EQ(2, e.Editor()->PanelId());  // the form shows the panel it went to
    EXPECT_EQ(2, dm_->Q_bv->FieldByName("id_bv").AsInt());
    EXPECT_EQ(QString(), Scalar("SELECT sn_bv FROM k_bv WHERE id_bv=3").toString());
}

TEST_F(PanelForms, TheRecountAsksTakesTheChosenModeAndRefusesNoChoice) {
    Exec("UPDATE k_bv SET kf_pr=1, adrpk=1, adrcs=5 WHERE id_net=1");
    TFbvEdit& e = Open(2);
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Пакетная операция"),
                   QStringLiteral("Пересчитать индексы трубок?"), DlgAnswer::Yes);
    dialogs.Expect(QStringLiteral("Отмена операции"), QStringLiteral("Выбор не сделан."));
    WhenModal([this] { recount_->BitOk->click(); });
    e.BitDeEditClick();
    EXPECT_EQ(4, Int("SELECT COUNT(*) FROM k_bv WHERE id_net=1 AND kf_pr=1"));

    dialogs.Expect(QStringLiteral("Пакетная операция"),
                   QStringLiteral("Пересчитать индексы трубок?"), DlgAnswer::Yes);
    WhenModal([this] {
        recount_->CB_null->click();
        recount_->BitOk->click();
    });
    e.BitDeEditClick();
    EXPECT_EQ(4, Int("SELECT COUNT(*) FROM k_bv WHERE id_net=1 AND adrcs=-1 AND kf_pr=2"));
    EXPECT_EQ(-1, e.ADRCS->value());
}

TEST_F(PanelForms, TheRecountDialogOffersTheConsoleOnlyWhereThereIsOne) {
    recount_->show();
    EXPECT_EQ(QStringLiteral("Условия расчета индексов трубок"), recount_->windowTitle());
    EXPECT_TRUE(recount_->CB_ppo->isEnabled());
    EXPECT_EQ(QStringLiteral("Сохранить консьержа, остальные на ППО для каждого блока вызова"),
              recount_->CB_KnPo->text());
    EXPECT_EQ(QStringLiteral("Сохранить индивидуальные настройки  для каждого блока вызова"),
              recount_->CB_Kons->text());
    EXPECT_FALSE(SaveScreen(*recount_, QStringLiteral("FbvReCount")).isEmpty());
    recount_->CB_Kons->click();
    recount_->hide();

    SelectObject(2);
    recount_->show();
    EXPECT_FALSE(recount_->CB_Kons->isChecked());
    EXPECT_FALSE(recount_->ChosenMode().has_value());
    EXPECT_FALSE(recount_->CB_ppo->isEnabled());
    EXPECT_EQ(QStringLiteral("Сохранить консьержа, остальные обнулить"), recount_->CB_KnPo->text());
}

TEST_F(PanelForms, TheHardwareDialogLocksWritesOnlyOnOkAndLoadsThePanelItOpensOn) {
    Exec("UPDATE k_bv SET kfilt=7, rsrv=3, kf_pr=1 WHERE id_bv=1");
    Exec("UPDATE k_bv SET rsrv=9 WHERE id_bv=2");
    TFbvEdit& e = Open(1);
    WhenModal([this] {
        EXPECT_EQ(3, app_->ReservKey->value());
        EXPECT_EQ(7, app_->KFilt->value());
        EXPECT_FALSE(app_->PanelProtected->isEnabled());
        QTest::keyClicks(app_->PassEdit, "kQ39@.t");
        EXPECT_TRUE(app_->PanelProtected->isEnabled());
        EXPECT_TRUE(DrawnGrey(app_->LabelPass));
        QTest::keyClicks(app_->PassEdit, "x");
        EXPECT_FALSE(app_->PanelProtected->isEnabled());
        EXPECT_FALSE(DrawnGrey(app_->LabelPass));
        app_->ReservKey->setValue(200);
        app_->BitCancel->click();
    });
    e.BitApprClick();
    EXPECT_EQ(3, Int("SELECT rsrv FROM k_bv WHERE id_bv=1"));

    WhenModal([this] { app_->BitSave->click(); });  // unchanged
    e.BitApprClick();
    EXPECT_EQ(1, KfPr(1));

    Open(2);
    WhenModal([this] {
        EXPECT_EQ(9, app_->ReservKey->value());  // this panel's, not the last one's
        EXPECT_FALSE(SaveScreen(*app_, QStringLiteral("FbvApp")).isEmpty());
        app_->Reserv->setChecked(true);
        app_->BitSave->click();
    });
    e.BitApprClick();
    EXPECT_EQ(1, Int("SELECT lrez FROM k_bv WHERE id_bv=2"));
    EXPECT_EQ(9, Int("SELECT rsrv FROM k_bv WHERE id_bv=2"));
    EXPECT_EQ(QStringLiteral("Аппаратные настройки БВ"), app_->windowTitle());
}

// ---------------------------------------------------------------- the list screen

namespace {

class PanelList : public PanelForms {
  protected:
    QString Drawn(DatasetGrid* grid, int row, int column) {
        return grid->Model()->index(row, column).data().toString();
    }
};

}  // namespace

TEST_F(PanelList, ShowsThePanelsTheirSwitchesAndTheTotals) {
    Exec("UPDATE k_bv SET n_nt0=7 WHERE id_bv=2");
    Exec("UPDATE k_pk SET n_net=12 WHERE id_pk=1");
    Exec("UPDATE m_pk SET n_net=12 WHERE id_pk=1");
    ASSERT_TRUE(dm_->OpenAllTables());
    SelectObject(1);
    TFrBv frame;
    frame.resize(1000, 600);
    frame.show();
    frame.PrepareScreen(QString());
    EXPECT_EQ(QStringLiteral("Дом на Садовой"), frame.TxIdent->text());
    EXPECT_EQ(QStringLiteral("ул. Садовая, 12"), frame.TxAdres->text());
    EXPECT_EQ(QStringLiteral("3"), frame.TxKm->text());
    EXPECT_EQ(QStringLiteral("4"), frame.TxBv->text());
    EXPECT_EQ(QStringLiteral("1"), frame.TxKal->text());
    EXPECT_EQ(QStringLiteral("калитка"), Drawn(frame.DBGrid1, 3, 2));
    EXPECT_EQ(QStringLiteral("вход в подъезд"), Drawn(frame.DBGrid1, 0, 2));
    EXPECT_EQ(QStringLiteral("БВ07"), Drawn(frame.DBGrid1, 0, 1));
    EXPECT_EQ(QStringLiteral("БВ03"), Drawn(frame.DBGrid1, 1, 1));
    ASSERT_TRUE(dm_->Q_bv->Locate("id_bv", 2));
    EXPECT_EQ(QStringLiteral("КМ12"), Drawn(frame.DBGrid2, 0, 0));
    EXPECT_FALSE(SaveScreen(frame, QStringLiteral("FrBv")).isEmpty());

    // 3 panels, 5 switches, 2 gates.
    Exec("DELETE FROM k_bv WHERE id_bv=4");
    for (int id : {5, 6}) {
        Exec("INSERT INTO k_pk (id_pk, id_net, id_pod, n_net) VALUES (?, 1, 1, ?)", {id + 10, id});
        Exec(
            "INSERT INTO m_pk (id_net, n_pk, n_pod, n_net, id_pk, id_dom) VALUES (1, ?, 1, ?, ?, "
            "1)",
            {id, id, id + 10});
    }
    Exec("UPDATE k_net SET v_kal=2 WHERE id_net=1");
    ASSERT_TRUE(dm_->OpenAllTables());
    SelectObject(1);
    frame.ShowDeviceTotals();
    EXPECT_EQ(QStringLiteral("5"), frame.TxKm->text());
    EXPECT_EQ(QStringLiteral("3"), frame.TxBv->text());
    EXPECT_EQ(QStringLiteral("2"), frame.TxKal->text());
}

TEST_F(PanelList, DeleteDeletesNothingAndEnterOpensTheEditor) {
    TFrBv frame;
    frame.resize(1000, 600);
    frame.show();
    frame.PrepareScreen(QString());
    ASSERT_TRUE(dm_->Q_bv->Locate("id_bv", 3));
    QTest::keyClick(frame.DBGrid1, Qt::Key_Delete);
    QTest::keyClick(frame.DBGrid2, Qt::Key_Delete);
    EXPECT_EQ(5, Int("SELECT COUNT(*) FROM k_bv"));
    EXPECT_EQ(4, Int("SELECT COUNT(*) FROM k_pk"));
    EXPECT_FALSE(edit_->isVisible());
    QTest::keyClick(frame.DBGrid1, Qt::Key_Return);
    EXPECT_TRUE(edit_->isVisible());
    EXPECT_EQ(3, edit_->Editor()->PanelId());
}

TEST_F(PanelList, TheFontSwitchAndTheHeightSplit) {
    TFrBv frame;
    frame.resize(1000, 600);
    frame.show();
    frame.PrepareScreen(QString());
    EXPECT_EQ(QStringLiteral("ж"), frame.P3_Fs->text());
    EXPECT_TRUE(frame.P3_Fs->font().bold());
    QTest::mouseClick(frame.P3_Fs, Qt::LeftButton);
    EXPECT_EQ(QStringLiteral("н"), frame.P3_Fs->text());
    EXPECT_FALSE(frame.P3_Fs->font().bold());
    EXPECT_TRUE(frame.DBGrid1->font().bold());
    EXPECT_TRUE(frame.DBGrid2->font().bold());
    frame.P3_FsClick();
    EXPECT_FALSE(frame.DBGrid2->font().bold());

    // The grids take exactly the split of what the header and the totals leave.
    for (int height : {600, 401}) {
        frame.resize(1000, height);
        const GridHeights h =
            SplitGridHeights(height, frame.PanelHead->height(), frame.PanelTotals->height());
        EXPECT_EQ(h.upper, frame.DBGrid1->height()) << height;
        EXPECT_EQ(h.lower, frame.DBGrid2->height()) << height;
    }
}

TEST_F(PanelList, TheGridTypeComesFromTheSettingsAndGoesBackToThem) {
    ScriptedDialogs dialogs;
    TFMainVesk window;
    window.SetGridToggle(QStringLiteral("fb"), QStringLiteral("н"));
    window.ShowScreen(5);
    auto* frame = qobject_cast<TFrBv*>(window.FrBv1);
    ASSERT_NE(nullptr, frame);
    EXPECT_TRUE(frame->GridsBold());
    EXPECT_TRUE(frame->DBGrid1->font().bold());
    QTest::mouseClick(frame->P3_Fs, Qt::LeftButton);
    EXPECT_FALSE(frame->GridsBold());
    EXPECT_EQ(QStringLiteral("ж"), window.GridToggle(QStringLiteral("fb")));
    // The switch list screen keeps its own.
    EXPECT_EQ(QStringLiteral("ж"), window.GridToggle(QStringLiteral("fp")));
}
}  // namespace
}  // namespace CallPanelFormsTestUnit
