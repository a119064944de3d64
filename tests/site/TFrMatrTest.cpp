// The object screen in the main window, driven as the operator drives it,
// and pictures of it for a look at the layout.
#include "SiteWindow.h"
#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "app/TFMainVesk.h"
#include "site/ObjectScreen.h"
#include "site/ui/SiteForms.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/THouseGrid.h"
#include "support/ReferenceObject.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

#include <memory>

namespace TFrMatrTestUnit {
namespace {

using namespace ObjectScreenTexts;

class ObjectScreenWindow : public SiteWindow {
  protected:
    void Exec(const QString& sql) {
        QSqlQuery q(dm_.ConnectionDB());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    int Count(const QString& table) {
        QSqlQuery q(dm_.ConnectionDB());
        return q.exec("SELECT COUNT(*) FROM " + table) && q.next() ? q.value(0).toInt() : -1;
    }

    // The main window on the object screen, shown and active.
    TFrMatr* OpenWindow() {
        OpenWindowOn(1);
        return qobject_cast<TFrMatr*>(window_->FrMatr1);
    }

    // The window as a picture under build/screens.
    void Snap(const QString& name) { EXPECT_FALSE(SaveScreen(*window_, name).isEmpty()); }

    QWidget* Focused() { return QApplication::focusWidget(); }
};

TEST_F(ObjectScreenWindow, AnEngineerEntersANewObjectWithItsHousesAndEntrances) {
    TFrMatr* f = OpenWindow();
    ASSERT_TRUE(f);
    f->BNew->click();
    EXPECT_TRUE(f->PanelEdit->isVisible());
    EXPECT_FALSE(f->DBGrid1->isVisible());
    EXPECT_FALSE(f->CGridD->isVisible());
    EXPECT_EQ(kNewHeadline, f->P1_LInf->text());
    EXPECT_FALSE(f->BNew->isEnabled());
    EXPECT_FALSE(window_->BitSelect->isEnabled());
    EXPECT_TRUE(f->P1_EKal->isEnabled());
    EXPECT_TRUE(f->CB_po->isChecked());

    Type(f->P1_ENew, QStringLiteral("Дом на Садовой"));
    QTest::keyClick(f->P1_ENew, Qt::Key_Return);
    EXPECT_EQ(f->P1_EAdr, Focused());
    Type(f->P1_EAdr, QStringLiteral("ул. Садовая, 12"));
    QTest::keyClick(f->P1_EAdr, Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("ул. Садовая, 12"), f->P1_EAdr->toPlainText());
    f->P1_EDom->setValue(2);
    f->P1_EKal->setValue(1);
    dialogs_.Expect(kConfirmNewCaption, kConfirmNew, DlgAnswer::Yes);
    f->BitSave->click();

    ASSERT_TRUE(f->CGridD->isVisible());
    ASSERT_EQ(2, f->CGridD->RowCount());
    EXPECT_EQ(f->CGridD->PrefixEdit(0), Focused());
    EXPECT_EQ(0, f->P1_EPod->value());  // no entrance rows yet
    EXPECT_FALSE(f->BitSavePod->isEnabled());
    // The prefix takes digits only; Enter moves on to the entrance count.
    QTest::keyClicks(f->CGridD->PrefixEdit(0), QStringLiteral("1a"));
    EXPECT_EQ(QStringLiteral("1"), f->CGridD->PrefixEdit(0)->text());
    EXPECT_TRUE(f->BitSavePod->isEnabled());
    QTest::keyClick(f->CGridD->PrefixEdit(0), Qt::Key_Return);
    f->CGridD->EntrancesEdit(0)->setValue(2);
    QTest::keyClicks(f->CGridD->PrefixEdit(1), QStringLiteral("2"));
    f->BitSavePod->click();

    EXPECT_FALSE(f->PanelEdit->isVisible());
    EXPECT_TRUE(f->DBGrid1->isVisible());
    EXPECT_TRUE(window_->BitSelect->isEnabled());
    EXPECT_EQ(3, Count("k_pod"));
    EXPECT_EQ(1, f->DBGrid1->model()->rowCount());
    // The matrix was rebuilt from the new entrances: "созд+сохр", a state
    // the status line has no sentence for.
    QSqlQuery q(dm_.ConnectionDB());
    ASSERT_TRUE(q.exec("SELECT st_net FROM k_net") && q.next());
    EXPECT_EQ(QStringLiteral("созд+сохр"), q.value(0).toString());
    EXPECT_EQ(QString(), window_->P1_LSt->text());
    EXPECT_FALSE(window_->NewObjectEntry());
}

TEST_F(ObjectScreenWindow, TheEditPanelShowsTheObjectAndItsHouses) {
    BuildReference();
    TFrMatr* f = OpenWindow();
    f->BEdit->click();
    EXPECT_EQ(QStringLiteral("Вы производите корректировку существующего объекта Дом на Садовой."),
              f->P1_LInf->text());
    EXPECT_EQ(QStringLiteral("Дом на Садовой"), f->P1_ENew->text());
    EXPECT_EQ(2, f->P1_EDom->value());
    EXPECT_EQ(3, f->P1_EPod->value());
    EXPECT_EQ(dm_.Q_Net->FieldByName("v_kal").AsInt(), f->P1_EKal->value());
    EXPECT_FALSE(f->P1_EKal->isEnabled());
    ASSERT_TRUE(f->CGridD->isVisible());
    EXPECT_EQ(QStringLiteral("2"), f->CGridD->PrefixEdit(1)->text());
    EXPECT_EQ(1, f->CGridD->EntrancesEdit(1)->value());
    EXPECT_EQ(2, f->Screen().EditMark());

    // Ctrl+Enter opens an empty line above the caret's line; Enter adds none.
    f->P1_EAdr->setFocus();
    QTest::keyClick(f->P1_EAdr, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("\nул. Садовая, 12"), f->P1_EAdr->toPlainText());
    Type(f->P1_EAdr, QStringLiteral("Москва"));
    EXPECT_EQ(QStringLiteral("Москва\nул. Садовая, 12"), f->P1_EAdr->toPlainText());
    QTest::keyClick(f->P1_EAdr, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(f->P1_ENew, Focused());
    EXPECT_EQ(QStringLiteral("Москва\nул. Садовая, 12"), f->P1_EAdr->toPlainText());

    f->BitCancel->click();
    EXPECT_FALSE(f->PanelEdit->isVisible());
    EXPECT_EQ(0, f->Screen().EditMark());
}

TEST_F(ObjectScreenWindow, NextNormalisesTheEditedObjectAndOpensTheMatrix) {
    BuildReference();
    Exec(
        QStringLiteral("INSERT INTO k_dom (id_net, kod_d, v_pod) VALUES (%1, '3', 1)").arg(idNet_));
    TFrMatr* f = OpenWindow();
    f->BEdit->click();
    EXPECT_EQ(3, f->CGridD->RowCount());
    f->VvodObj->click();
    EXPECT_EQ(2, window_->VisibleScreen());
    EXPECT_EQ(2, Count("k_dom"));
    EXPECT_FALSE(f->PanelEdit->isVisibleTo(f));
}

TEST_F(ObjectScreenWindow, LeavingTheScreenClosesTheEditPanel) {
    BuildReference();
    TFrMatr* f = OpenWindow();
    f->BEdit->click();
    window_->ButEnd->click();
    EXPECT_EQ(0, window_->VisibleScreen());
    EXPECT_FALSE(f->PanelEdit->isVisibleTo(f));
    window_->MenuItem(QStringLiteral("MConfObject"))->trigger();
    EXPECT_TRUE(f->DBGrid1->isVisible());
    EXPECT_TRUE(f->BEdit->isEnabled());
}

TEST_F(ObjectScreenWindow, ClickingAnObjectMakesItCurrentAndShowsItsState) {
    BuildReference();
    BuildReference({QStringLiteral("Другой")});
    Exec(QStringLiteral("UPDATE k_net SET st_net='закрыто' WHERE id_net=%1").arg(idNet_));
    TFrMatr* f = OpenWindow();
    const QModelIndex second = f->DBGrid1->model()->index(1, 0);
    EXPECT_EQ(QStringLiteral("Дом на Садовой"), second.data().toString());
    f->DBGrid1->setCurrentIndex(second);
    f->FrMatr1DBGrid1CellClick();
    EXPECT_EQ(idNet_, dm_.Q_Net->FieldByName("id_net").AsLargeInt());
    EXPECT_EQ(QStringLiteral("Матрица в состоянии конфигурации устройств"),
              window_->P1_LSt->text());
    EXPECT_EQ(2, f->Screen().EditMark());
}

TEST_F(ObjectScreenWindow, PicturesOfTheObjectListAndTheEditPanel) {
    BuildReference();
    TFrMatr* f = OpenWindow();
    ExpectNoClippedText(f);
    Snap(QStringLiteral("FrMatr1"));
    f->BEdit->click();
    ExpectNoClippedText(f);
    Snap(QStringLiteral("FrMatr1_edit"));
    f->BitCancel->click();
    f->BNew->click();
    ExpectNoClippedText(f);
    Snap(QStringLiteral("FrMatr1_new"));
}
}  // namespace
}  // namespace TFrMatrTestUnit
