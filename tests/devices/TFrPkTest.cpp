// The switch list screen with the reference object, driven as the operator
// drives it: grids and drawn cells, totals, the editors, the bold toggle, the
// height split, and the reports it previews. Pictures go to build/screens/.

#include "DeviceFixture.h"
#include "devices/SwitchReports.h"
#include "devices/ui/TFQRepObject.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFrPk.h"
#include "devices/ui/TReportForm.h"
#include "app/TFMainVesk.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFskEdit.h"
#include "support/QtPrinters.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace TFrPkTestUnit {
namespace {

QList<QPrintPreviewDialog*> Previews() {
    QList<QPrintPreviewDialog*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<QPrintPreviewDialog*>(w); p && p->isVisible()) found << p;
    return found;
}

void ClosePreviews() {
    for (QPrintPreviewDialog* p : Previews()) p->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString Cell(const DatasetGrid* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
}

QStringList Column(const DatasetGrid* grid, int column) {
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row) texts << Cell(grid, row, column);
    return texts;
}

QStringList Headers(const DatasetGrid* grid) {
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    return titles;
}

// The editors the screen opens, as the program makes them at start-up.
struct Editors {
    TFpkEdit pk;
    TFskEdit sk;
    TFkvEdit kv;
    Editors() {
        FpkEdit = &pk;
        FskEdit = &sk;
        FkvEdit = &kv;
    }
    ~Editors() {
        FpkEdit = nullptr;
        FskEdit = nullptr;
        FkvEdit = nullptr;
    }
};

class SwitchListScreen : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        SelectObject(1);
        frame_ = std::make_unique<TFrPk>();
        frame_->resize(1000, 640);
        frame_->PrepareScreen(QString());
        frame_->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        ClosePreviews();
        frame_.reset();
        DeviceFixture::TearDown();
    }
    void SelectObjectWithoutSwitches() {
        Exec("INSERT INTO k_net (id_net, ident, v_kal, st_net) VALUES (3, 'Новый', 2, 'закрыто')");
        ASSERT_TRUE(dm_->Q_Net->Reopen());
        SelectObject(3);
        frame_->PrepareScreen(QString());
    }
    QStringList Totals() const {
        return {frame_->P3_Itpk->text(), frame_->P3_Itbv->text(), frame_->P3_VKal->text()};
    }
    // The state every way out of a print leaves.
    void ExpectIdleAfterPrint(const QPushButton* button) {
        EXPECT_TRUE(button->isEnabled());
        EXPECT_TRUE(frame_->LabWait->isHidden());
        EXPECT_EQ(nullptr, QApplication::overrideCursor());
    }

    std::unique_ptr<TFrPk> frame_;
};

TEST_F(SwitchListScreen, ShowsTheObjectsSwitchesAndThePanelsOfTheSelectedOne) {
    EXPECT_EQ((QStringList{"3", "4", "1"}), Totals());
    EXPECT_EQ(QStringLiteral("Дом на Садовой"), frame_->LIdent->text());
    EXPECT_EQ(QStringLiteral("ул. Садовая, 12"), frame_->LAdres->text());
    EXPECT_EQ(QStringLiteral("Список всех КМ"), frame_->GBoxPk->title());
    EXPECT_EQ(QStringLiteral("Блоки вызова, соответствующие КМ"), frame_->GBoxBv->title());
    EXPECT_EQ((QStringList{"Дом, под.", "Тип коммутатора", "Префикс дома", "Сетевой адрес",
                           "Серийный № КМ", "Количество БВ", "№ 1 кв.", "№ последней кв.",
                           "Количество квартир", "Доп.ключей", "Общ.ключей", "Тип нумерации",
                           "Дом №", "№ подъезда", "Наименование подъезда"}),
              Headers(frame_->DBGrid1));
    EXPECT_TRUE(frame_->DBGrid1->isColumnHidden(12));
    EXPECT_TRUE(frame_->DBGrid1->isColumnHidden(13));
    EXPECT_EQ((QStringList{"1 под.1", "1 под.2", "2 под.1"}), Column(frame_->DBGrid1, 0));
    EXPECT_EQ((QStringList{"КМ01", "КМ02", "КМ03"}), Column(frame_->DBGrid1, 3));
    EXPECT_EQ((QStringList{"Торвин", "Торвин", "Торвин"}), Column(frame_->DBGrid1, 1));
    EXPECT_EQ((QStringList{"1", "41", "1"}), Column(frame_->DBGrid1, 6));
    EXPECT_EQ((QStringList{"40", "80", "40"}), Column(frame_->DBGrid1, 7));

    EXPECT_EQ((QStringList{"Тракт", "Подъезд", "Сетевой адрес БВ", "Название БВ, к данному КМ",
                           "Тип БВ"}),
              Headers(frame_->DBGrid2));
    EXPECT_EQ((QStringList{"БВ01", "БВ02"}), Column(frame_->DBGrid2, 2));
    EXPECT_EQ((QStringList{"калитка", "вход в подъезд"}), Column(frame_->DBGrid2, 4));
    // The panels follow the switch chosen in the upper grid.
    frame_->DBGrid1->selectRow(2);
    EXPECT_EQ((QStringList{"БВ01", "БВ04"}), Column(frame_->DBGrid2, 2));
    frame_->DBGrid1->selectRow(0);

    for (auto [button, text] : {std::pair{frame_->BitskEdit, "Подъездные параметры"},
                                {frame_->BitpkEdit, "Общие параметры и тракты"},
                                {frame_->BitkvEdit, "Коды вызова квартир и трубки"},
                                {frame_->BitKlemm, "Печать распределений подъезда"},
                                {frame_->BitTract, "Печать трактов для всех подъездов"},
                                {frame_->VvodObj, "Далее >>"},
                                {frame_->ButBack, "<< Назад"}})
        EXPECT_EQ(QString::fromUtf8(text), button->text());
    EXPECT_EQ(QStringLiteral("Ждите..."), frame_->LabWait->text());
    EXPECT_TRUE(frame_->LabWait->isHidden());
    EXPECT_EQ(QStringLiteral("ж"), frame_->P3_Fs->text());
    ExpectNoClippedText(frame_.get());
    EXPECT_FALSE(SaveScreen(*frame_, QStringLiteral("FrPk1")).isEmpty());
}

TEST_F(SwitchListScreen, AnObjectWithoutSwitchRecordsShowsEmptyGridsAndItsGates) {
    SelectObjectWithoutSwitches();
    EXPECT_EQ((QStringList{"0", "0", "2"}), Totals());
    EXPECT_EQ(0, frame_->DBGrid1->model()->rowCount());
    EXPECT_EQ(0, frame_->DBGrid2->model()->rowCount());
    EXPECT_EQ(QStringLiteral("Новый"), frame_->LIdent->text());
}

TEST_F(SwitchListScreen, DeleteInEitherGridLeavesTheRows) {
    for (DatasetGrid* grid : {frame_->DBGrid1, frame_->DBGrid2}) {
        grid->setFocus();
        grid->selectRow(0);
        QTest::keyClick(grid, Qt::Key_Delete);
    }
    EXPECT_EQ(3, frame_->DBGrid1->model()->rowCount());
    EXPECT_EQ(2, frame_->DBGrid2->model()->rowCount());
    EXPECT_EQ(4, Int("SELECT COUNT(*) FROM k_pk"));
    EXPECT_EQ(5, Int("SELECT COUNT(*) FROM k_bv"));
    EXPECT_EQ(7, Int("SELECT COUNT(*) FROM m_bv"));
}

TEST_F(SwitchListScreen, TheGridsShareWhatTheHeaderAndTheTotalsLeave) {
    frame_->PanelHead->setFixedHeight(60);
    frame_->PanelTotals->setFixedHeight(40);
    frame_->resize(800, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(225, frame_->GBoxPk->height());
    EXPECT_EQ(75, frame_->GBoxBv->height());
    EXPECT_EQ(60 + 225 + 75 + 40, frame_->height());
    EXPECT_EQ(360, frame_->PanelTotals->geometry().top());
}

TEST_F(SwitchListScreen, TheLetterTogglesBoldTypeInBothGrids) {
    EXPECT_FALSE(frame_->GridsBold());
    EXPECT_TRUE(frame_->P3_Fs->font().bold());
    QTest::mouseClick(frame_->P3_Fs, Qt::LeftButton);
    EXPECT_TRUE(frame_->DBGrid1->font().bold());
    EXPECT_TRUE(frame_->DBGrid2->font().bold());
    EXPECT_FALSE(frame_->DBGrid1->horizontalHeader()->font().bold());  // titles keep their type
    EXPECT_EQ(QStringLiteral("н"), frame_->P3_Fs->text());
    EXPECT_FALSE(frame_->P3_Fs->font().bold());
    EXPECT_FALSE(SaveScreen(*frame_, QStringLiteral("FrPk1_bold")).isEmpty());
    QTest::mouseClick(frame_->P3_Fs, Qt::LeftButton);
    EXPECT_FALSE(frame_->DBGrid1->font().bold());
    EXPECT_FALSE(frame_->DBGrid2->font().bold());
    EXPECT_EQ(QStringLiteral("ж"), frame_->P3_Fs->text());
    EXPECT_TRUE(frame_->P3_Fs->font().bold());
}

TEST_F(SwitchListScreen, TheButtonsDoubleClickAndEnterShowTheEditorsWithoutBlocking) {
    Editors editors;
    frame_->BitpkEdit->click();
    EXPECT_TRUE(editors.pk.isVisible());
    EXPECT_FALSE(editors.pk.isModal());
    editors.pk.hide();

    const QRect cell = frame_->DBGrid1->visualRect(frame_->DBGrid1->model()->index(1, 1));
    QTest::mouseClick(frame_->DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(frame_->DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_TRUE(editors.pk.isVisible());
    EXPECT_EQ(2, dm_->Q_MNpk->RecNo());
    editors.pk.hide();

    frame_->DBGrid1->setFocus();
    QTest::keyClick(frame_->DBGrid1, Qt::Key_Return);
    EXPECT_TRUE(editors.pk.isVisible());
    EXPECT_EQ(2, dm_->Q_MNpk->RecNo());  // Enter opens the editor, it does not move

    frame_->BitskEdit->click();
    EXPECT_TRUE(editors.sk.isVisible());
    frame_->BitkvEdit->click();
    EXPECT_TRUE(editors.kv.isVisible());
}

TEST_F(SwitchListScreen, TerminalReportOfTheSelectedSwitchIsPreviewed) {
    frame_->DBGrid1->selectRow(1);
    frame_->BitKlemm->click();
    ExpectIdleAfterPrint(frame_->BitKlemm);
    const QList<QPrintPreviewDialog*> previews = Previews();
    ASSERT_EQ(1, previews.size());
    EXPECT_EQ(QStringLiteral("Распределение клемм коммутаторов"), previews[0]->windowTitle());
    EXPECT_FALSE(previews[0]->isModal());
    auto* pages = previews[0]->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(nullptr, pages);
    EXPECT_EQ(1, pages->pageCount());
    // The house and entrance lists stand on the switch's entrance.
    EXPECT_EQ(2, dm_->Q_DPd->FieldByName("id_pod").AsInt());
    const auto* report = previews[0]->findChild<TReportForm*>();
    ASSERT_NE(nullptr, report);
    EXPECT_EQ(41, report->Model().RowCount());
    EXPECT_FALSE(SaveScreen(*previews[0], QStringLiteral("TFQRepPK_preview")).isEmpty());
}

TEST_F(SwitchListScreen, TractReportAndObjectReportArePreviewedUnderTheirCaptions) {
    frame_->BitTract->click();
    ExpectIdleAfterPrint(frame_->BitTract);
    ASSERT_EQ(1, Previews().size());
    EXPECT_EQ(QStringLiteral("Распределение блоков вызова по трактам СПК"),
              Previews()[0]->windowTitle());
    EXPECT_FALSE(SaveScreen(*Previews()[0], QStringLiteral("TFQRepTract_preview")).isEmpty());
    ClosePreviews();

    PreviewObjectReport(frame_.get());
    EXPECT_EQ(nullptr, QApplication::overrideCursor());
    ASSERT_EQ(1, Previews().size());
    EXPECT_EQ(QStringLiteral("ОБЪЕКТ Дом на Садовой"), Previews()[0]->windowTitle());
}

TEST_F(SwitchListScreen, AReportThatCannotBeMadeIsShownAsAFailureNotABlankPreview) {
    SelectObjectWithoutSwitches();
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Ошибка"), SwitchReportTexts::kNoSwitch);
    frame_->BitKlemm->click();
    dialogs.VerifyDone();
    EXPECT_TRUE(Previews().isEmpty());
    ExpectIdleAfterPrint(frame_->BitKlemm);
}

TEST_F(SwitchListScreen, EveryPreviewFreesItsReportWhenClosed) {
    for (int i = 0; i < 20; ++i) {
        frame_->BitTract->click();
        const QList<QPrintPreviewDialog*> previews = Previews();
        ASSERT_EQ(1, previews.size()) << i;
        QPointer<QPrintPreviewDialog> preview = previews[0];
        QPointer<TReportForm> report = preview->findChild<TReportForm*>();
        ASSERT_FALSE(report.isNull());
        preview->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(preview.isNull()) << i;
        EXPECT_TRUE(report.isNull()) << i;
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(nullptr, qobject_cast<QPrintPreviewDialog*>(w));
}

TEST_F(DeviceFixture, TheMainWindowHostsTheScreenAndPrintsTheObjectFromItsMenu) {
    ScriptedDialogs dialogs;
    TFMainVesk window;
    SelectObject(1);
    window.ShowScreen(4);
    auto* frame = qobject_cast<TFrPk*>(window.FrPk1);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(4, window.VisibleScreen());
    EXPECT_EQ(QStringLiteral("3"), frame->P3_Itpk->text());
    EXPECT_EQ(QStringLiteral("4"), frame->P3_Itbv->text());
    // The house, entrance and apartment lists the terminal report reads are
    // not open yet when the program starts.
    frame->DBGrid1->selectRow(2);
    frame->BitKlemm->click();
    ASSERT_EQ(1, Previews().size());
    const auto* terminals = Previews()[0]->findChild<TReportForm*>();
    ASSERT_NE(nullptr, terminals);
    EXPECT_EQ(QStringLiteral("Дом: 2"), terminals->Model().title.value(0).Text());
    EXPECT_EQ(41, terminals->Model().RowCount());
    ClosePreviews();

    window.MenuItem(QStringLiteral("NObPrint"))->trigger();
    ASSERT_EQ(1, Previews().size());
    EXPECT_EQ(QStringLiteral("ОБЪЕКТ Дом на Садовой"), Previews()[0]->windowTitle());
    ClosePreviews();
}

TEST_F(DeviceFixture, TheGridTypeComesFromTheSettingsAndGoesBackToThem) {
    ScriptedDialogs dialogs;
    TFMainVesk window;
    SelectObject(1);
    window.SetGridToggle(QStringLiteral("fp"), QStringLiteral("н"));
    window.ShowScreen(4);
    auto* frame = qobject_cast<TFrPk*>(window.FrPk1);
    ASSERT_NE(nullptr, frame);
    EXPECT_TRUE(frame->GridsBold());
    QTest::mouseClick(frame->P3_Fs, Qt::LeftButton);
    EXPECT_FALSE(frame->GridsBold());
    EXPECT_EQ(QStringLiteral("ж"), window.GridToggle(QStringLiteral("fp")));
}
}  // namespace
}  // namespace TFrPkTestUnit
