// The matrix screen in the main window, driven as the operator drives it,
// and a picture of it with the reference object.
#include "SiteWindow.h"
#include "foundation/Globals.h"
#include "foundation/MatrTable.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFDialog.h"
#include "app/TFMainVesk.h"
#include "site/MatrixRules.h"
#include "site/ui/SiteForms.h"
#include "site/ui/TFrDom.h"
#include "support/ReferenceObject.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>

namespace TFrDomTestUnit {
namespace {

using namespace MatrixTexts;

class MatrixScreenWindow : public SiteWindow {
  protected:
    ~MatrixScreenWindow() override {
        delete FDialog;
        FDialog = nullptr;
    }

    // The reference object up to step, and the main window on its matrix screen.
    TFrDom* OpenMatrix(ReferenceStep step = ReferenceStep::Matrix) {
        BuildReference({}, step);
        InstallMatrTableHook();
        OpenWindowOn(2);
        QCoreApplication::processEvents();
        return qobject_cast<TFrDom*>(window_->FrDom1);
    }

    QString State() {
        QSqlQuery q(dm_.ConnectionDB());
        q.prepare("SELECT st_net FROM k_net WHERE id_net=?");
        q.addBindValue(idNet_);
        return q.exec() && q.next() ? q.value(0).toString() : QString();
    }
    // The grid's cell of the row whose name begins so, in the named column.
    QModelIndex CellOf(TFrDom* f, const QString& row, const QString& field) {
        QAbstractItemModel* m = f->DBGrid3->model();
        int column = -1;
        for (int c = 0; c < m->columnCount(); ++c)
            if (m->headerData(c, Qt::Horizontal).toString() == field) column = c;
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 0).data().toString().startsWith(row)) return m->index(r, column);
        return {};
    }
    QString Text(TFrDom* f, const QString& row, const QString& field) {
        return CellOf(f, row, field).data().toString();
    }
    void DoubleClick(TFrDom* f, const QModelIndex& at) {
        const QPoint point = f->DBGrid3->visualRect(at).center();
        QTest::mouseClick(f->DBGrid3->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(f->DBGrid3->viewport(), Qt::LeftButton, {}, point);
    }
    void Type(TFrDom* f, const QModelIndex& at, const QString& keys) {
        f->DBGrid3->setCurrentIndex(at);
        SiteWindow::Type(f->DBGrid3, keys);
    }
    // Every cell and title of the grid fits its column.
    void ExpectNoClippedColumn(TFrDom* f) {
        QCoreApplication::processEvents();
        QTableView* g = f->DBGrid3;
        QAbstractItemModel* m = g->model();
        for (int c = 0; c < m->columnCount(); ++c) {
            const int width = g->columnWidth(c);
            const QString title = m->headerData(c, Qt::Horizontal).toString();
            EXPECT_LE(g->horizontalHeader()->fontMetrics().horizontalAdvance(title) + 4, width)
                << title.toStdString();
            for (int r = 0; r < m->rowCount(); ++r) {
                const QString text = m->index(r, c).data().toString();
                EXPECT_LE(g->fontMetrics().horizontalAdvance(text) + 4, width)
                    << text.toStdString() << " in " << title.toStdString();
            }
            EXPECT_LE(g->columnViewportPosition(c) + width, g->viewport()->width())
                << title.toStdString();
        }
    }
};

TEST_F(MatrixScreenWindow, PictureOfTheReferenceObjectsMatrix) {
    TFrDom* f = OpenMatrix();
    ASSERT_TRUE(f);
    // Five header rows, the gate and three door panels; three switches.
    EXPECT_EQ(9, f->DBGrid3->model()->rowCount());
    EXPECT_EQ(QStringLiteral("3"), f->P3_Itpk->text());
    EXPECT_EQ(QStringLiteral("4"), f->P3_Itbv->text());
    EXPECT_EQ(QStringLiteral("+"), Text(f, "БВ калитки 01", "pk_03"));
    EXPECT_EQ(QStringLiteral("03"), Text(f, "4 ", "pk_03"));
    EXPECT_EQ(kGridHint, f->DBGrid3->toolTip());
    EXPECT_EQ(2, f->P3_Emax->value());
    EXPECT_EQ(8, f->P3_Emax->maximum());
    // A tract shows as its digit.
    QSqlQuery q(dm_.ConnectionDB());
    ASSERT_TRUE(q.exec("UPDATE m_bv SET tract=2 WHERE n_bv LIKE 'БВ подъезда 02%'"));
    f->FrDom1BtnSaveClick();
    EXPECT_EQ(QStringLiteral("2"), Text(f, "БВ подъезда 02", "pk_02"));
    ExpectNoClippedColumn(f);
    ExpectNoClippedText(f);
    EXPECT_FALSE(SaveScreen(*window_, QStringLiteral("FrDom1")).isEmpty());
    // In bold the names still fit.
    f->N1Click();
    window_->FormResize();
    EXPECT_EQ(QStringLiteral("н"), f->P3_Fs->text());
    EXPECT_EQ(QStringLiteral("н"), window_->GridToggle("fm"));
    ExpectNoClippedColumn(f);
    EXPECT_FALSE(SaveScreen(*window_, QStringLiteral("FrDom1_bold")).isEmpty());
    f->P3_FsDblClick();
    EXPECT_EQ(QStringLiteral("ж"), f->P3_Fs->text());
}

TEST_F(MatrixScreenWindow, TheOperatorEditsCellsWithTheMouseAndKeys) {
    TFrDom* f = OpenMatrix();
    ASSERT_TRUE(f);
    DoubleClick(f, CellOf(f, "БВ калитки 01", "pk_02"));
    EXPECT_EQ(QStringLiteral("--"), Text(f, "БВ калитки 01", "pk_02"));
    EXPECT_EQ(QStringLiteral("сохр+ввод"), State());
    Type(f, CellOf(f, "БВ калитки 01", "pk_02"), QStringLiteral(" "));
    EXPECT_EQ(QStringLiteral("-+-"), Text(f, "БВ калитки 01", "pk_02"));
    // A door more in column 1, the cursor back on the count.
    DoubleClick(f, CellOf(f, "3 ", "pk_01"));
    EXPECT_EQ(QStringLiteral("2"), Text(f, "3 ", "pk_01"));
    EXPECT_EQ(QStringLiteral("+"), Text(f, "БВ подъезда 01. 02", "pk_01"));
    EXPECT_EQ(CellOf(f, "3 ", "pk_01"), f->DBGrid3->currentIndex());
    EXPECT_EQ(QStringLiteral("5"), f->P3_Itbv->text());
    EXPECT_EQ(5, f->Secret->value());
    Type(f, CellOf(f, "4 ", "pk_01"), QStringLiteral("12"));
    EXPECT_EQ(QStringLiteral("12"), Text(f, "4 ", "pk_01"));
    f->DBGrid3->setCurrentIndex(CellOf(f, "0 ", "pk_01"));
    QTest::keyClick(f->DBGrid3, Qt::Key_Backspace);
    EXPECT_EQ(QStringLiteral("Л-0"), Text(f, "0 ", "pk_01"));
    // "Клик для калитки" from column 2 on.
    f->DBGrid3->setCurrentIndex(CellOf(f, "БВ калитки 01", "pk_02"));
    f->KClear->trigger();
    EXPECT_EQ(QString(), Text(f, "БВ калитки 01", "pk_03"));

    // Leaving the edited matrix asks; Yes saves it.
    dialogs_.Expect(QStringLiteral("Вопрос"), QStringLiteral("Сохранить матрицу?"), DlgAnswer::Yes);
    window_->ShowScreen(1);
    EXPECT_EQ(QStringLiteral("сохранено"), State());
    QSqlQuery q(dm_.ConnectionDB());
    ASSERT_TRUE(q.exec("SELECT n_net FROM m_pk WHERE n_pk=1") && q.next());
    EXPECT_EQ(12, q.value(0).toInt());
    ASSERT_TRUE(q.exec("SELECT v_dvr FROM k_pod ORDER BY id_pod") && q.next());
    EXPECT_EQ(2, q.value(0).toInt());
}

TEST_F(MatrixScreenWindow, LeavingWithoutSavingKeepsTheLinksAndTheRestoreUndoesTheEdits) {
    TFrDom* f = OpenMatrix();
    ASSERT_TRUE(f);
    DoubleClick(f, CellOf(f, "БВ калитки 01", "pk_01"));
    dialogs_.Expect(QStringLiteral("Вопрос"), QStringLiteral("Сохранить матрицу?"), DlgAnswer::No);
    window_->ShowScreen(1);
    QSqlQuery q(dm_.ConnectionDB());
    ASSERT_TRUE(q.exec("SELECT plus FROM m_bv WHERE n_pk=1 AND bv_type=1") && q.next());
    EXPECT_EQ(1, q.value(0).toInt());
    window_->ShowScreen(2);
    EXPECT_EQ(QStringLiteral("--"), Text(f, "БВ калитки 01", "pk_01"));
    f->BtnRetry->click();
    EXPECT_EQ(QStringLiteral("+"), Text(f, "БВ калитки 01", "pk_01"));
    EXPECT_EQ(QStringLiteral("сохранено"), State());
}

TEST_F(MatrixScreenWindow, AGateIsAddedAfterTheQuestion) {
    TFrDom* f = OpenMatrix();
    ASSERT_TRUE(f);
    dialogs_.Expect(kAddGateCaption, kAddGate, DlgAnswer::No);
    f->BitAppKal->click();
    EXPECT_EQ(QStringLiteral("4"), f->P3_Itbv->text());
    dialogs_.Expect(kAddGateCaption, kAddGate, DlgAnswer::Yes);
    f->BitAppKal->click();
    EXPECT_EQ(QStringLiteral("5"), f->P3_Itbv->text());
    EXPECT_EQ(QStringLiteral("+"), Text(f, "БВ калитки 02", "pk_02"));
    EXPECT_EQ(QStringLiteral("05"), Text(f, "БВ калитки 02", "sys_n"));
}

TEST_F(MatrixScreenWindow, SwitchesAreRenumberedFromTheGenericDialog) {
    TFrDom* f = OpenMatrix();
    ASSERT_TRUE(f);
    FDialog = new TFDialog;
    QString caption, text;
    int maximum = 0;
    QTimer::singleShot(0, [&] {
        caption = FDialog->windowTitle();
        text = FDialog->Answer->text();
        maximum = FDialog->VEdit->maximum();
        EXPECT_TRUE(FDialog->VEdit->isVisible());
        EXPECT_EQ(1, FDialog->VEdit->value());
        FDialog->VEdit->setValue(7);
        FDialog->BitYes->click();
    });
    f->N4->trigger();
    EXPECT_EQ(kRenumberSwitchesCaption, caption);
    EXPECT_EQ(kRenumberSwitches, text);
    EXPECT_EQ(49, maximum);
    EXPECT_EQ(QStringLiteral("07"), Text(f, "4 ", "pk_01"));
    EXPECT_EQ(QStringLiteral("09"), Text(f, "4 ", "pk_03"));
    EXPECT_EQ(QStringLiteral("Диалог"), FDialog->windowTitle());
    // No leaves the panels as they are.
    QTimer::singleShot(0, [] { FDialog->BitNo->click(); });
    f->N3->trigger();
    EXPECT_EQ(QStringLiteral("01"), Text(f, "БВ калитки 01", "sys_n"));
}

TEST_F(MatrixScreenWindow, ARestoreWithoutASavedMatrixIsRefused) {
    TFrDom* f = OpenMatrix(ReferenceStep::Entrances);
    ASSERT_TRUE(f);
    EXPECT_EQ(QStringLiteral("созд+сохр"), State());
    dialogs_.Expect(kError, kNothingSaved);
    f->BtnRetry->click();
    EXPECT_EQ(QStringLiteral("созд+сохр"), State());
    EXPECT_EQ(QStringLiteral("4"), f->P3_Itbv->text());
}

// The grid measures each kind of cell once; its widths are still those the
// table view itself gives the same cells, in either font.
TEST_F(MatrixScreenWindow, ColumnsAreMeasuredAsTheTableViewMeasuresThem) {
    TFrDom* f = OpenMatrix();
    ASSERT_TRUE(f);
    DoubleClick(f, CellOf(f, "БВ калитки 01", "pk_02"));
    Type(f, CellOf(f, "БВ калитки 01", "pk_03"), QStringLiteral(" "));
    Type(f, CellOf(f, "4 ", "pk_01"), QStringLiteral("12"));
    QTableView* grid = f->DBGrid3;
    for (bool bold : {false, true}) {
        bold ? f->N1Click() : f->N2Click();
        QTableView plain;
        plain.setFont(grid->font());
        plain.setModel(grid->model());
        plain.setItemDelegate(grid->itemDelegate());
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            plain.setItemDelegateForColumn(c, grid->itemDelegateForColumn(c));
        const QAbstractItemView* ours = grid;
        const QAbstractItemView* theirs = &plain;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            EXPECT_EQ(theirs->sizeHintForColumn(c), ours->sizeHintForColumn(c))
                << grid->model()->headerData(c, Qt::Horizontal).toString().toStdString();
    }
}
}  // namespace
}  // namespace TFrDomTestUnit
