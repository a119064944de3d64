// The terminal distribution rule dialog, the entrance switch parameters, the
// apartment editor and the residents screen on the reference object with its
// device records, driven through their controls, and pictures of them.
#include "SiteWindow.h"
#include "SwitchRecordsDb.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ApartmentList.h"
#include "site/ui/TFdpkPort.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFskEdit.h"
#include "support/ScreenShots.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QToolButton>

namespace SiteEditorsWindowTestUnit {
namespace {

class EditorsWindow : public SiteWindow {
  protected:
    ~EditorsWindow() override {
        FskEdit = nullptr;
        FkvEdit = nullptr;
        FdpkPort = nullptr;
    }
    // The reference object with apartments and device records, the main
    // window on the object screen and the three editors made as at start-up.
    void Open(ReferenceObjectOptions options = {}) {
        BuildReference(std::move(options), ReferenceStep::DeviceRecords);
        ASSERT_TRUE(dm_.OpenAllTables());
        OpenWindowOn(1);
        ASSERT_TRUE(dm_.Q_Net->Locate("id_net", idNet_));
        dm_.Q_MNpk->First();
        FskEdit = new TFskEdit(window_.get());
        FkvEdit = new TFkvEdit(window_.get());
        FdpkPort = new TFdpkPort(window_.get());
        pods_ =
            Ids("SELECT p.id_pod FROM k_pod p JOIN k_dom d ON d.id_dom=p.id_dom "
                "WHERE p.id_net=? ORDER BY d.id_dom, p.n_pod");
        pks_ =
            Ids("SELECT k.id_pk FROM k_pk k JOIN k_pod p ON p.id_pod=k.id_pod "
                "WHERE k.id_net=? ORDER BY p.id_dom, p.n_pod");
    }
    QList<qint64> Ids(const QString& sql) {
        QSqlQuery q(dm_.ConnectionDB());
        q.prepare(sql);
        q.addBindValue(idNet_);
        q.exec();
        QList<qint64> ids;
        while (q.next()) ids << q.value(0).toLongLong();
        return ids;
    }
    QString Value(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(dm_.ConnectionDB());
        q.prepare(sql);
        for (const QVariant& v : values) q.addBindValue(v);
        return q.exec() && q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }
    void Exec(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(dm_.ConnectionDB());
        q.prepare(sql);
        for (const QVariant& v : values) q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << sql.toStdString();
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
    // Shows a non-modal editor the way the menu does.
    static void ShowForm(QWidget* form) {
        form->show();
        form->raise();
        form->activateWindow();
        QCoreApplication::processEvents();
    }
    TFrPiople* OpenResidents() {
        window_->ShowScreen(14);
        EXPECT_EQ(14, window_->VisibleScreen());
        return qobject_cast<TFrPiople*>(window_->FrPiople1);
    }

    QList<qint64> pods_;
    QList<qint64> pks_;
};

// ---------------------------------------------------------------- FdpkPort

TEST_F(EditorsWindow, TheRuleDialogWaitsForARuleAndNoChangesNothing) {
    Open();
    TFdpkPort* d = FdpkPort;
    ShowForm(d);
    EXPECT_EQ(QStringLiteral("Распределение клемм КМ — Дом на Садовой"), d->windowTitle());
    EXPECT_TRUE(d->RBTop1->isChecked());
    EXPECT_FALSE(d->Panel1->isEnabled());
    EXPECT_TRUE(d->OKBtn->isEnabled());
    EXPECT_FALSE(d->RB_2->isEnabled());
    EXPECT_GE(d->width(), 455);
    EXPECT_GE(d->height(), 356);
    d->RBTop2->click();
    EXPECT_TRUE(d->Panel1->isEnabled());
    EXPECT_FALSE(d->OKBtn->isEnabled());
    d->RB_0->click();
    EXPECT_TRUE(d->OKBtn->isEnabled());
    SaveScreen(*d, QStringLiteral("FdpkPort"));
    ExpectNoClippedText(d);

    const QString before = Value("SELECT group_concat(p_pk) FROM k_kvr");
    dialogs_.Expect(TerminalRuleTexts::kCaption, TerminalRuleTexts::kQuestion, DlgAnswer::No);
    d->OKBtn->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(before, Value("SELECT group_concat(p_pk) FROM k_kvr"));

    // Back to the first choice: the rule chosen below is ignored.
    Exec("UPDATE k_pk SET type_f=3, type_k='Lusk' WHERE id_pk=?", {pks_[0]});
    d->RBTop1->click();
    EXPECT_FALSE(d->Panel1->isEnabled());
    dialogs_.Expect(TerminalRuleTexts::kCaption, TerminalRuleTexts::kQuestion, DlgAnswer::Yes);
    d->OKBtn->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(QStringLiteral("0"), Value("SELECT MAX(p_pk) FROM k_kvr WHERE id_pod=?", {pods_[0]}));
    EXPECT_EQ(QStringLiteral("41"),
              Value("SELECT MAX(p_pk) FROM k_kvr WHERE id_pod=?", {pods_[2]}));
}

TEST_F(EditorsWindow, TheRuleDialogGivesEverySwitchTheCommonRuleAndClosesOutside) {
    Open();
    TFdpkPort* d = FdpkPort;
    Exec("UPDATE k_pk SET type_f=1, p_fc=41 WHERE id_pk=?", {pks_[1]});
    ShowForm(d);
    d->RBTop2->click();
    d->RB_0->click();
    dialogs_.Expect(TerminalRuleTexts::kCaption, TerminalRuleTexts::kQuestion, DlgAnswer::Yes);
    d->OKBtn->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(QStringLiteral("0|0|0"), Value("SELECT group_concat(type_f, '|') FROM k_pk"));
    EXPECT_EQ(QStringLiteral("1"),
              Value("SELECT p_pk FROM k_kvr WHERE id_pod=? AND p_nom=1", {pods_[1]}));

    // The choice stays for the next showing; another window closes it.
    ShowForm(d);
    EXPECT_TRUE(d->RB_0->isChecked());
    EXPECT_TRUE(QTest::qWaitForWindowActive(d));
    window_->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([d] { return !d->isVisible(); }, 2000));
}

TEST_F(EditorsWindow, TheRuleDialogOnAnObjectWithoutSwitchesRunsEmptyAndCloses) {
    Open();
    Exec("DELETE FROM k_pk");
    ASSERT_TRUE(dm_.OpenAllTables());
    ShowForm(FdpkPort);
    dialogs_.Expect(TerminalRuleTexts::kCaption, TerminalRuleTexts::kQuestion, DlgAnswer::Yes);
    FdpkPort->OKBtn->click();
    EXPECT_FALSE(FdpkPort->isVisible());
}

// ---------------------------------------------------------------- FskEdit

TEST_F(EditorsWindow, TheEntranceSwitchFormShowsTheSwitchAndItsApartments) {
    Open();
    TFskEdit* f = FskEdit;
    ShowForm(f);
    EXPECT_EQ(QStringLiteral("Подъездные параметры  для КМ и БВ — Дом на Садовой, СКМ01"),
              f->windowTitle());
    EXPECT_EQ(QStringLiteral("1"), f->DBTextN1kvr->text());
    EXPECT_EQ(QStringLiteral("40"), f->DBTextNpkvr->text());
    EXPECT_EQ(QStringLiteral("1"), f->LGates->text());
    EXPECT_TRUE(f->RBType0->isChecked());
    EXPECT_TRUE(f->RGkm0->isChecked());
    EXPECT_EQ(1, f->Pr1kv->value());
    EXPECT_EQ(QStringLiteral("42"), f->E_mxl->text());
    EXPECT_EQ(QStringLiteral("Распределить клеммы по квартирам"), f->BitPorts->text());
    EXPECT_TRUE(f->LAttan->text().isEmpty());
    ASSERT_EQ(41, f->DBGrid1->model()->rowCount());
    EXPECT_EQ(QStringLiteral("01"), f->DBGrid1->model()->index(0, 3).data().toString());
    EXPECT_EQ(QStringLiteral("Номер клеммы"),
              f->DBGrid1->model()->headerData(3, Qt::Horizontal).toString());
    SaveScreen(*f, QStringLiteral("FskEdit"));
    ExpectNoClippedText(f);

    // The next entrance, and back at the first.
    f->BtnDown->click();
    EXPECT_EQ(QStringLiteral("41"), f->DBTextN1kvr->text());
    EXPECT_EQ(QStringLiteral("41"), f->AI->text());
    f->BtnUp->click();
    EXPECT_FALSE(f->BtnUp->isEnabled());
    EXPECT_EQ(QStringLiteral("1"), f->DBTextN1kvr->text());
}

TEST_F(EditorsWindow, AMethodChangedWithoutADistributionIsAskedAboutOnClosing) {
    Open();
    TFskEdit* f = FskEdit;
    ShowForm(f);
    f->RGkm1->click();
    EXPECT_FALSE(f->Pr1kv->isVisible());
    EXPECT_EQ(QStringLiteral("1"), Value("SELECT type_f FROM k_pk WHERE id_pk=?", {pks_[0]}));
    dialogs_.Expect(EntranceSwitchTexts::kError, EntranceSwitchTexts::kMethodNotDistributed,
                    DlgAnswer::No);
    f->ButExit->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(QStringLiteral("0"), Value("SELECT type_f FROM k_pk WHERE id_pk=?", {pks_[0]}));

    // Lusk chosen and distributed on the question.
    ShowForm(f);
    f->RBType1->click();
    EXPECT_FALSE(f->RGkm->isEnabled());
    EXPECT_FALSE(f->AH->isEnabled());
    EXPECT_EQ(QStringLiteral("Lusk|0|1|3|42"),
              Value("SELECT type_k || '|' || ah || '|' || p_fc || '|' || type_f || '|' || n_xl "
                    "FROM k_pk WHERE id_pk=?",
                    {pks_[0]}));
    dialogs_.Expect(EntranceSwitchTexts::kError, EntranceSwitchTexts::kMethodNotDistributed,
                    DlgAnswer::Yes);
    f->BtnDown->click();
    EXPECT_EQ(QStringLiteral("0"), Value("SELECT MAX(p_pk) FROM k_kvr WHERE id_pod=?", {pods_[0]}));
}

TEST_F(EditorsWindow, ATerminalTypedInTheGridIsStoredAndKept) {
    Open();
    TFskEdit* f = FskEdit;
    ShowForm(f);
    QAbstractItemModel* m = f->DBGrid1->model();
    EXPECT_FALSE(m->flags(m->index(2, 1)) & Qt::ItemIsEditable);
    ASSERT_TRUE(m->setData(m->index(2, 3), 70, Qt::EditRole));
    EXPECT_EQ(QStringLiteral("70"),
              Value("SELECT p_pk FROM k_kvr WHERE id_pod=? AND p_nom=3", {pods_[0]}));
    EXPECT_EQ(QStringLiteral("71"), f->E_mxl->text());
    // Typed into the grid's cell, as the operator does.
    f->DBGrid1->setFocus();
    f->DBGrid1->setCurrentIndex(m->index(4, 3));
    QTest::keyClick(f->DBGrid1, Qt::Key_7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("75"),
              Value("SELECT p_pk FROM k_kvr WHERE id_pod=? AND p_nom=5", {pods_[0]}));
    EXPECT_EQ(5, dm_.Q_KvN->RecNo());
    f->close();
    EXPECT_EQ(QStringLiteral("70"),
              Value("SELECT p_pk FROM k_kvr WHERE id_pod=? AND p_nom=3", {pods_[0]}));
}

// ---------------------------------------------------------------- FkvEdit

TEST_F(EditorsWindow, TheApartmentEditorSavesTheBlockBoxAndMarksTheSwitch) {
    Open();
    Exec("UPDATE k_pk SET kf_pr=1");
    TFkvEdit* f = FkvEdit;
    ShowForm(f);
    EXPECT_EQ(QStringLiteral("Коды вызова квартир и трубки. Редактирование — Дом на Садовой, "
                             "дом 1, подъезд 1"),
              f->windowTitle());
    EXPECT_EQ(QStringLiteral(" КМ 01"), f->Label15->text());
    EXPECT_EQ(QStringLiteral("1"), f->E_kv->text());
    EXPECT_FALSE(f->E_nk->isEnabled());
    EXPECT_TRUE(f->Panel4->isEnabled());
    EXPECT_TRUE(f->STime->isChecked());
    EXPECT_FALSE(f->TimeD->isEnabled());
    EXPECT_EQ(14, f->Mask->count());
    EXPECT_EQ(15, f->Mspo->count());
    EXPECT_FALSE(f->Mask->isEnabled());
    SaveScreen(*f, QStringLiteral("FkvEdit"));
    ExpectNoClippedText(f);

    const QString blocked = Value("SELECT m_blk FROM k_kvr WHERE id_pod=? AND p_nom=1", {pods_[0]});
    f->C_Block->click();
    f->BitSave->click();
    EXPECT_NE(blocked, Value("SELECT m_blk FROM k_kvr WHERE id_pod=? AND p_nom=1", {pods_[0]}));
    EXPECT_EQ(QStringLiteral("2"), Value("SELECT kf_pr FROM k_pk WHERE id_pk=?", {pks_[0]}));

    // A mouse click on the arrow saves first, then steps.
    f->E_kk->setValue(9);
    QTest::mouseClick(f->BtnDown, Qt::LeftButton);
    EXPECT_EQ(QStringLiteral("9"),
              Value("SELECT x_key FROM k_kvr WHERE id_pod=? AND p_nom=1", {pods_[0]}));
    EXPECT_EQ(QStringLiteral("2"), f->E_kv->text());
}

TEST_F(EditorsWindow, TheApartmentEditorAddsAHandsetAndWalksIntoTheNextEntrance) {
    Open();
    TFkvEdit* f = FkvEdit;
    ShowForm(f);
    f->BitLast->click();
    EXPECT_EQ(QStringLiteral("пост охраны"), f->E_kv->text());
    f->BitAdd->click();
    EXPECT_TRUE(f->Trubka->isChecked());
    EXPECT_EQ(42, f->E_nk->value());
    EXPECT_EQ(QStringLiteral("трубка"), f->E_kv->text());
    dialogs_.Expect(ApartmentRowTexts::kError, ApartmentEditorTexts::kEmptyCode);
    f->BitSave->click();  // no code yet
    EXPECT_TRUE(f->Editor().RowAdding());
    f->E_bv->setText(QStringLiteral("700"));
    f->BitSave->click();
    EXPECT_FALSE(f->Editor().RowAdding());
    EXPECT_EQ(QStringLiteral("трубка|700|42|ввод"),
              Value("SELECT n_kvr || '|' || p_kvr || '|' || p_pk || '|' || st_kvr FROM k_kvr "
                    "WHERE id_pod=? AND p_nom=42",
                    {pods_[0]}));
    EXPECT_EQ(QStringLiteral("трубка"), f->E_kv->text());
    EXPECT_EQ(QStringLiteral("43"), Value("SELECT n_xl FROM k_pk WHERE id_pk=?", {pks_[0]}));

    // Down from the last row goes on to the next switch's first row.
    f->BitLast->click();
    f->BtnDown->click();
    EXPECT_EQ(QStringLiteral("41"), f->E_kv->text());
    EXPECT_TRUE(f->Label15->text().endsWith(QStringLiteral("02")));
    f->BitDownGrup->click();
    EXPECT_FALSE(f->BitDownGrup->isEnabled());
    f->BitLast->click();
    EXPECT_FALSE(f->BtnDown->isEnabled());
}

TEST_F(EditorsWindow, ADoubleClickFlipsAPermissionOfTheRow) {
    Open();
    TFkvEdit* f = FkvEdit;
    ShowForm(f);
    const int column = 9;  // "Блокировка"
    ASSERT_EQ(QStringLiteral("Блокировка"),
              f->DBGrid1->model()->headerData(column, Qt::Horizontal).toString());
    const QString before = Value("SELECT m_blk FROM k_kvr WHERE id_pod=? AND p_nom=1", {pods_[0]});
    f->ToggleCell(column);
    EXPECT_NE(before, Value("SELECT m_blk FROM k_kvr WHERE id_pod=? AND p_nom=1", {pods_[0]}));
    EXPECT_EQ(before == QStringLiteral("0"), f->C_Block->isChecked());
    f->ToggleCell(1);  // the apartment number is not a permission
}

// ---------------------------------------------------------------- residents

TEST_F(EditorsWindow, TheResidentsScreenSavesANameAndMovesOn) {
    Open();
    TFrPiople* f = OpenResidents();
    ASSERT_TRUE(f);
    ASSERT_EQ(123, f->DBGrid1->model()->rowCount());
    EXPECT_FALSE(f->BitSave->isEnabled());
    EXPECT_TRUE(f->BitKey->isEnabled());
    EXPECT_EQ(QStringLiteral("Начать выборку"), f->BitFind->text());
    EXPECT_EQ(QStringLiteral("Фамилия"), f->LFam->text());
    dm_.Q_Ppl->First();
    f->ShowSubscriber();
    const qint64 first = dm_.Q_Ppl->FieldByName("id_kvr").AsLargeInt();
    f->EFam->setFocus();
    Type(f->EFam, QStringLiteral("пЕТРОВ"));
    EXPECT_TRUE(f->BitSave->isEnabled());
    QTest::keyClick(f->EFam, Qt::Key_Return);
    EXPECT_EQ(f->ENam, Focused());
    Type(f->ENam, QStringLiteral("иван"));
    QTest::keyClick(f->ENam, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(f->BitSave, Focused());
    f->BitSave->click();
    EXPECT_EQ(QStringLiteral("Петров|Иван"),
              Value("SELECT Fam || '|' || Nam FROM k_kvr WHERE id_kvr=?", {first}));
    EXPECT_EQ(2, dm_.Q_Ppl->RecNo());
    EXPECT_EQ(QStringLiteral("Петров И."),
              f->DBGrid1->model()->index(0, 2).data().toString().trimmed());
    SaveScreen(*window_, QStringLiteral("FrPiople1"));
    ExpectNoClippedText(f);

    // The last row stays the last.
    dm_.Q_Ppl->Last();
    f->ShowSubscriber();
    const qint64 last = dm_.Q_Ppl->FieldByName("id_kvr").AsLargeInt();
    f->EOch->setText(QStringLiteral("Петрович"));
    f->BitSave->click();
    EXPECT_EQ(last, dm_.Q_Ppl->FieldByName("id_kvr").AsLargeInt());
    EXPECT_FALSE(f->BtnDown->isEnabled());
}

TEST_F(EditorsWindow, TheResidentsSelectionListsThePrefixAndEndsEmpty) {
    Open();
    Exec("UPDATE k_kvr SET Fam='Иванов' WHERE id_pod=? AND p_nom=3", {pods_[0]});
    Exec("UPDATE k_kvr SET Fam='ивлева' WHERE id_pod=? AND p_nom=4", {pods_[1]});
    Exec("UPDATE k_kvr SET Fam='Сивова' WHERE id_pod=? AND p_nom=5", {pods_[2]});
    TFrPiople* f = OpenResidents();
    f->BitFind->click();
    EXPECT_EQ(QStringLiteral("Подтвердить выборку"), f->BitFind->text());
    EXPECT_EQ(QStringLiteral("Ввод параметров выбора"), f->LEdit->text());
    EXPECT_TRUE(f->C_Block->isChecked());
    EXPECT_FALSE(f->Panel6->isEnabled());
    Type(f->EFam, QStringLiteral("Ив"));
    EXPECT_EQ(2, dm_.Q_Ppl->RecordCount());
    EXPECT_EQ(QStringLiteral("Фамилия*"), f->LFam->text());
    f->BitFind->click();
    EXPECT_EQ(QStringLiteral("Снять ограничение"), f->BitFind->text());
    EXPECT_EQ(QStringLiteral("Редактирование"), f->LEdit->text());
    EXPECT_TRUE(f->Panel6->isEnabled());
    f->BitFind->click();
    EXPECT_EQ(123, dm_.Q_Ppl->RecordCount());
    EXPECT_EQ(QStringLiteral("Фамилия"), f->LFam->text());

    // Confirming an empty selection goes back to editing.
    f->BitFind->click();
    f->BitFind->click();
    EXPECT_EQ(QStringLiteral("Начать выборку"), f->BitFind->text());
    EXPECT_EQ(123, dm_.Q_Ppl->RecordCount());
}

TEST_F(EditorsWindow, TheResidentsAreSortedByTitlesClickedInSortMode) {
    Open();
    TFrPiople* f = OpenResidents();
    QHeaderView* titles = f->DBGrid1->horizontalHeader();
    f->DBGrid1TitleClick(1);  // not in sort mode: nothing
    EXPECT_EQ(0, f->SortView->count());
    f->SortBeg->click();
    EXPECT_EQ(QStringLiteral("Просмотреть"), f->SortBeg->text());
    emit titles->sectionClicked(6);  // "Код вв"
    ASSERT_EQ(1, f->SortView->count());
    EXPECT_EQ(QStringLiteral("Код вв возрастание"), f->SortView->item(0)->text());
    emit titles->sectionClicked(6);
    EXPECT_EQ(QStringLiteral("Код вв убывание"), f->SortView->item(0)->text());
    f->SortBeg->click();
    EXPECT_EQ(QStringLiteral("Сортировать"), f->SortBeg->text());
    dm_.Q_Ppl->First();
    EXPECT_EQ(QStringLiteral("9"), dm_.Q_Ppl->FieldByName("p_kvr").AsString());
    f->SortBeg->click();
    emit titles->sectionClicked(6);
    EXPECT_EQ(0, f->SortView->count());
    f->Panel5->click();
    EXPECT_FALSE(f->List().Ordered());
}

TEST_F(EditorsWindow, TheResidentsKeysButtonOpensTheKeysScreen) {
    Open();
    TFrPiople* f = OpenResidents();
    f->BitKey->click();
    EXPECT_EQ(9, window_->VisibleScreen());
}

TEST_F(EditorsWindow, TheEntranceSwitchFormOpensWithItsWarningsOnUncheckedApartments) {
    Open();
    // Rows out of order in the second entrance, none in the first.
    Exec("UPDATE k_kvr SET p_nom=p_nom+1 WHERE id_pod=? AND p_nom>20", {pods_[1]});
    Exec("DELETE FROM k_kvr WHERE id_pod=?", {pods_[0]});
    ASSERT_TRUE(dm_.OpenAllTables());
    dm_.Q_MNpk->First();
    dialogs_.Expect(EntranceSwitchTexts::kError, EntranceSwitchTexts::kNumberingFailed);
    dialogs_.Expect(Dialogs::ApplicationTitle(), EntranceSwitchTexts::kNoApartments);
    ShowForm(FskEdit);
    EXPECT_TRUE(FskEdit->isVisible());
    EXPECT_EQ(0, FskEdit->DBGrid1->model()->rowCount());
    EXPECT_EQ(QStringLiteral("42"), FskEdit->E_mxl->text());  // as stored
}

TEST_F(EditorsWindow, WithoutAConsoleTheResidentsConsoleGroupStaysLockedAfterASelection) {
    ReferenceObjectOptions options;
    options.console = false;
    Open(options);
    TFrPiople* f = OpenResidents();
    EXPECT_FALSE(f->Panel3->isEnabled());
    f->BitFind->click();
    Type(f->EFam, QStringLiteral("Я"));
    EXPECT_EQ(0, dm_.Q_Ppl->RecordCount());
    f->EFam->clear();
    f->BitFind->click();
    EXPECT_TRUE(f->Panel6->isEnabled());
    EXPECT_FALSE(f->Panel3->isEnabled());
    EXPECT_FALSE(f->C_obr->isEnabled());
    // The Enter chain skips the console's controls.
    f->C_Block->setFocus();
    QTest::keyClick(f->C_Block, Qt::Key_Return);
    EXPECT_EQ(f->EFam, Focused());
    EXPECT_EQ(0, Value("SELECT COUNT(*) FROM k_po").toInt());
}
}  // namespace
}  // namespace SiteEditorsWindowTestUnit
