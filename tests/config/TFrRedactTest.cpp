#include "config/ui/TFrRedact.h"

#include "config/ui/CallCodeGrid.h"
#include "config/ui/ConfigFileChooser.h"
#include "config/ui/EditorConsoleTab.h"
#include "config/ui/EditorGrid.h"
#include "config/ui/EditorKeysTab.h"
#include "config/ui/EditorPanelTab.h"
#include "config/ui/EditorSwitchTab.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include "ConfigScreenFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace TFrRedactTestUnit {

namespace {

const QString kAsk = QStringLiteral("Запрос на сохранение");
const QString kSave = QStringLiteral("Сохранить файл конфигурации?");

class TFrRedactTest : public ScreenFrameFixture<TFrRedact> {
  protected:
    // Opens a file through the button; the dialog's title names the folder
    // the first time only.
    void Open(const QString& path, const QString& title = QStringLiteral("Открыть КФ")) {
        ScriptedDialogs dialogs;
        dialogs.ExpectPicker(title, path);
        QTest::mouseClick(frame_->ButBit, Qt::LeftButton);
    }

    void Save(QPushButton* button, DlgAnswer answer = DlgAnswer::Yes) {
        ScriptedDialogs dialogs;
        dialogs.Expect(kAsk, kSave, answer);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // The index of a tab's page; a page that scrolls holds the tab inside.
    int PageOf(QWidget* tab) const {
        for (int i = 0; i < frame_->PageFile->count(); ++i) {
            QWidget* page = frame_->PageFile->widget(i);
            if (auto* area = qobject_cast<QScrollArea*>(page)) page = area->widget();
            if (page == tab) return i;
        }
        return -1;
    }

    bool TabShown(QWidget* tab) const {
        const int i = PageOf(tab);
        return i >= 0 && frame_->PageFile->isTabVisible(i);
    }

    void ShowTab(QWidget* tab) {
        ASSERT_TRUE(TabShown(tab));
        frame_->PageFile->setCurrentIndex(PageOf(tab));
    }
};

TEST_F(TFrRedactTest, ASwitchFileOpensOnItsTabAndSavesUnchanged) {
    Sql("UPDATE k_pk SET n_vid = 2 WHERE n_net = 2");
    const QString path = Write("ckm02.bin", SwitchFile(2));
    const QByteArray before = Read(path);
    Open(path, "Открыть созданный в АРМЕ КФ");
    EXPECT_EQ(frame_->ODtxt->InitialDir(), DbFolder() + "Data/FlWrite/Fl_1/");
    EXPECT_EQ(frame_->LFile1->text(), path);
    EXPECT_EQ(frame_->jDev->value(), 2);
    EXPECT_EQ(frame_->EIdent->text(), QString::number(kIdNom));
    EXPECT_EQ(frame_->L_Izmen->text(), "  Файл не изменен.");
    EXPECT_TRUE(TabShown(frame_->TabCPK1));
    EXPECT_FALSE(TabShown(frame_->TabCPO1));
    EXPECT_EQ(frame_->TabCPK1->L_pk_net->text(), "02");
    EXPECT_EQ(frame_->TabCPK1->TractDev->Cell(0, 0), "т\\у");
    EXPECT_EQ(frame_->TabCPK1->TractDev->Cell(1, 1), "2");
    EXPECT_EQ(frame_->MemoTitle->toPlainText().split('\n').size(), 29);
    EXPECT_EQ(frame_->MemoKm->toPlainText(), frame_->MemoTitle->toPlainText());
    EXPECT_TRUE(frame_->TabCPK1->ChVideo->isChecked());
    EXPECT_TRUE(frame_->TabCPK1->MVideo->isEnabled());
    ExpectNoClippedText(frame_->TabCPK1);
    EXPECT_FALSE(SaveScreen(*frame_, "editor_switch").isEmpty());
    EXPECT_FALSE(SaveScreen(*frame_->TabCPK1, "editor_switch_tab").isEmpty());

    Save(frame_->TabCPK1->BitSaveKm);
    EXPECT_EQ(Read(path), before);
    const QStringList log = frame_->Memo4->toPlainText().split('\n');
    EXPECT_TRUE(log.contains("Размер заголовка := 31"));
    EXPECT_TRUE(log.contains("Размер секции 5 КМ := 2"));
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.last(), "Файл " + path + " сохранен.");
    EXPECT_TRUE(frame_->Memo2->toPlainText().contains("Размер секции 0:=22 байт"));
}

TEST_F(TFrRedactTest, AChangedValueIsWrittenOnlyAfterYes) {
    const QString path = Write("ckm01.bin", SwitchFile(1));
    const QByteArray before = Read(path);
    Open(path, "Открыть созданный в АРМЕ КФ");
    frame_->TabCPK1->PTTO->setValue(9);
    Save(frame_->TabCPK1->BitSaveKm, DlgAnswer::No);
    EXPECT_EQ(Read(path), before);

    Save(frame_->TabCPK1->BitSaveKm);
    const QByteArray after = Read(path);
    EXPECT_NE(after, before);
    EXPECT_EQ(after.size(), before.size());
    // Reopened, the file shows the new value.
    Open(path);
    EXPECT_EQ(frame_->TabCPK1->PTTO->value(), 9);
}

TEST_F(TFrRedactTest, AFailedLoadLeavesNothingToSave) {
    const QString good = Write("ckm01.bin", SwitchFile(1));
    const QByteArray before = Read(good);
    Open(good, "Открыть созданный в АРМЕ КФ");
    ASSERT_TRUE(frame_->SaveArmed());
    frame_->TabCPK1->PTTO->setValue(9);

    QByteArray unknown = SwitchFile(1);
    unknown[0] = char(55);
    {
        ScriptedDialogs dialogs;
        dialogs.ExpectPicker("Открыть КФ", Write("c55.bin", unknown));
        dialogs.Expect("Ошибка", "Неопределенный формат файла.");
        QTest::mouseClick(frame_->ButBit, Qt::LeftButton);
    }
    EXPECT_FALSE(frame_->SaveArmed());
    EXPECT_EQ(frame_->LFile1->text(), "");
    EXPECT_FALSE(TabShown(frame_->TabCPK1));
    EXPECT_FALSE(frame_->TabCPK1->BitSaveKm->isEnabled());
    {
        ScriptedDialogs none;  // no question, nothing written
        frame_->BitSaveKmClick();
    }
    EXPECT_EQ(Read(good), before);

    // A missing file disarms the screen the same way.
    Open(good);
    ASSERT_TRUE(frame_->SaveArmed());
    {
        ScriptedDialogs dialogs;
        dialogs.ExpectPicker("Открыть КФ", Path("gone.bin"));
        dialogs.Expect("Ошибка", "Не удалось открыть файл " + Path("gone.bin"));
        QTest::mouseClick(frame_->ButBit, Qt::LeftButton);
    }
    EXPECT_FALSE(frame_->SaveArmed());
}

TEST_F(TFrRedactTest, TheAccessCodeUnlocksAtOnceAndOneMoreCharacterLocks) {
    EditorSwitchTab* tab = frame_->TabCPK1;
    EXPECT_FALSE(tab->PanelAcp->isEnabled());
    QTest::keyClicks(tab->PassEdit, "kQ39@.");
    EXPECT_FALSE(tab->PanelAcp->isEnabled());
    QTest::keyClicks(tab->PassEdit, "t");
    EXPECT_TRUE(tab->PanelAcp->isEnabled());
    QTest::keyClicks(tab->PassEdit, "x");
    EXPECT_FALSE(tab->PanelAcp->isEnabled());

    EditorConsoleTab* console = frame_->TabCPO1;
    QTest::keyClicks(console->PassPo, "kQ39@.t");
    EXPECT_TRUE(console->PanelPass->isEnabled());
    QTest::keyClick(console->PassPo, Qt::Key_Backspace);
    EXPECT_FALSE(console->PanelPass->isEnabled());
}

TEST_F(TFrRedactTest, TractAddressesAtOrAboveMaxDeviceAreRefused) {
    Open(Write("ckm01.bin", SwitchFile(1)), "Открыть созданный в АРМЕ КФ");
    EditorGrid* tracts = frame_->TabCPK1->TractDev;
    tracts->SetCell(3, 2, "49");
    EXPECT_TRUE(frame_->TabCPK1->TractDevExit(50));
    tracts->SetCell(3, 2, "50");
    ScriptedDialogs dialogs;
    dialogs.Expect("Ошибка", "Уменьшите значение сетевого адреса!");
    EXPECT_FALSE(frame_->TabCPK1->TractDevExit(50));
    EXPECT_EQ(tracts->currentColumn(), 3);
    EXPECT_EQ(tracts->currentRow(), 2);
}

TEST_F(TFrRedactTest, ABadCellIsNamedFocusedAndNothingIsWritten) {
    const QString path = Write("ckm01.bin", SwitchFile(1));
    const QByteArray before = Read(path);
    Open(path, "Открыть созданный в АРМЕ КФ");
    frame_->TabCPK1->MelOt->SetCell(2, 1, "3.5");
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(kAsk, kSave, DlgAnswer::Yes);
        dialogs.ExpectContaining("Ошибка",
                                 "\"3.5\" в таблице \"Мелодия отзвонки\" (столбец 2, строка 1)");
        QTest::mouseClick(frame_->TabCPK1->BitSaveKm, Qt::LeftButton);
    }
    EXPECT_EQ(Read(path), before);
    EXPECT_EQ(frame_->TabCPK1->MelOt->currentColumn(), 2);
    EXPECT_EQ(frame_->TabCPK1->MelOt->currentRow(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The console file of another writer, its first operator slide holding bytes
// a slide shows as marks: saved unedited, it keeps them.
TEST_F(TFrRedactTest, TheConsoleFileShowsEntrancesAndCodesAndSavesUnchanged) {
    Sql("UPDATE k_kvr SET mtdy = 420, mtnt = 1380 WHERE id_pod = 2 AND p_nom = 3");
    const QString path = Write("cpo00.bin", WithSlide(ConsoleFile(), 2, Hex("41 01 1B 42 98")));
    const QByteArray before = Read(path);
    Open(path, "Открыть созданный в АРМЕ КФ");
    EditorConsoleTab* tab = frame_->TabCPO1;
    EXPECT_TRUE(TabShown(tab));
    EXPECT_EQ(tab->L_po_net->text(), "63");
    EXPECT_EQ(tab->MPod->Cell(2, 1), "1");
    EXPECT_EQ(tab->MPod->Cell(2, 2), "41");
    EXPECT_EQ(tab->KodVv->ColCount(), 1);  // column 1 is switch 0, which the object lacks
    tab->MPod->setCurrentCell(1, 3);
    ASSERT_EQ(tab->KodVv->ColCount(), 42);
    EXPECT_EQ(tab->KodVv->Cell(3, 3), "07:00");
    EXPECT_EQ(tab->KodVv->Cell(3, 4), "23:00");
    EXPECT_EQ(tab->MCbv->Cell(3, 1), "1");  // panel 66 is wired to switch 2
    EXPECT_EQ(tab->E_Raz->text(), "45");
    EXPECT_EQ(tab->Sus1->text(), QStringLiteral("A\u2401\u241BB\uFFFD") + QString(11, ' '));
    ExpectNoClippedText(tab);
    EXPECT_FALSE(SaveScreen(*frame_, "editor_console").isEmpty());
    EXPECT_FALSE(SaveScreen(*tab, "editor_console_tab").isEmpty());

    Save(tab->BitSavePo);
    EXPECT_EQ(Read(path), before);
}

// The slide lines of the console tab take only what the file carries, as the
// console screen's do.
TEST_F(TFrRedactTest, ASlideLineRefusesACharacterTheFileCannotCarry) {
    Open(Write("cpo00.bin", ConsoleFile()), "Открыть созданный в АРМЕ КФ");
    QLineEdit* slide = frame_->TabCPO1->Sus1;
    slide->clear();
    slide->setFocus();
    slide->insert(QStringLiteral("Петров"));
    {
        ScriptedDialogs dialogs;
        dialogs.Expect("Ошибка", "Символ \"é\" нельзя записать в файл пульта.");
        QTest::sendKeyEvent(QTest::Click, slide, Qt::Key_unknown, QStringLiteral("é"),
                            Qt::NoModifier);
        QApplication::processEvents();
    }
    EXPECT_EQ(slide->text(), "Петров");
}

// A door-open code whose digits give another value (another writer's file):
// saved unedited, it keeps its value.
TEST_F(TFrRedactTest, TheCallPanelFileShowsItsEntrancesCodesAndKeysAndSavesUnchanged) {
    const QString path = Write("cbv04.bin", WithOpenCode(PanelFile(68), 4, 123456));
    const QByteArray before = Read(path);
    Open(path, "Открыть созданный в АРМЕ КФ");
    EditorPanelTab* tab = frame_->TabCBV1;
    EXPECT_TRUE(TabShown(tab));
    EXPECT_TRUE(TabShown(frame_->TabCBV2));
    EXPECT_FALSE(TabShown(frame_->TabCPK1));
    EXPECT_EQ(tab->L_bv_net->text(), "04");
    EXPECT_EQ(frame_->LFile1->toolTip(), frame_->LFile1->text());  // a long path is cut
    EXPECT_EQ(frame_->V_n_net->value(), 68);
    EXPECT_EQ(frame_->V_type_bv->value(), 1);
    EXPECT_EQ(frame_->V_id_net->value(), kIdNet);
    EXPECT_EQ(frame_->V_id_nom->value(), kIdNom);
    EXPECT_EQ(frame_->Mpd->toPlainText().left(5), "01110");
    EXPECT_EQ(tab->MsPod->Cell(2, 2), "41");
    EXPECT_EQ(tab->KodBv->ColCount(), 1);  // switch 0 serves no entrance
    EXPECT_EQ(tab->Ocode->Cell(4, 0), "23456");
    EXPECT_FALSE(tab->AI->isEnabled());
    tab->MsPod->setCurrentCell(1, 3);
    ASSERT_EQ(tab->KodBv->ColCount(), 42);
    EXPECT_EQ(tab->KodBv->Cell(1, 1), "141");  // a gate's codes carry the house prefix
    EXPECT_TRUE(tab->AI->isEnabled());
    EXPECT_FALSE(tab->BitASave->isEnabled());
    EXPECT_EQ(frame_->TabCBV2->Keys7->Cell(0, 0), "№");
    EXPECT_EQ(frame_->TabCBV2->Keys5->Cell(3, 0), "осн/доп");
    EXPECT_GT(frame_->TabCBV2->Keys5->RowCount(), 1);
    ExpectNoClippedText(tab);
    EXPECT_FALSE(SaveScreen(*frame_, "editor_panel").isEmpty());
    EXPECT_FALSE(SaveScreen(*tab, "editor_panel_tab").isEmpty());
    ShowTab(frame_->TabCBV2);
    EXPECT_FALSE(SaveScreen(*frame_, "editor_panel_keys").isEmpty());

    Save(tab->BitSaveBv);
    ExpectPanelSavedUnchanged(Read(path), before);
    EXPECT_TRUE(frame_->Memo4->toPlainText().contains("Слияние в файл"));
}

TEST_F(TFrRedactTest, AKeyGridShowsAnnouncedSlotsItsSectionDidNotHoldAsBlankRows) {
    Keys6List six;
    six.kolSl6 = 4;
    six.bitSl = 2;
    six.rows = {Keys6Row{"2", "111111"}, Keys6Row{"0", "222222"}};
    six.blankRows = 2;
    Keys7List seven;
    seven.kolSl7 = 1;  // fewer than held: every held key still gets its row
    seven.keys = {"333333", "FFFFFF"};
    EditorKeysTab* tab = frame_->TabCBV2;
    tab->Show(Keys5List(), six, seven);
    ASSERT_EQ(tab->Keys6->RowCount(), 5);
    EXPECT_EQ(tab->Keys6->Cell(2, 2), "222222");
    EXPECT_EQ(tab->Keys6->Cell(1, 3), "");
    EXPECT_EQ(tab->Keys6->Cell(2, 4), "");
    EXPECT_EQ(tab->Keys7->RowCount(), 3);
    EXPECT_EQ(tab->Keys5->RowCount(), 1);

    Keys5List five;
    tab->Read(five, six, seven);
    EXPECT_EQ(six.rows.size(), 4);  // read back, the blank rows are rows
    EXPECT_EQ(six.blankRows, 0);
    EXPECT_EQ(six.kolSl6, 4);
}

TEST_F(TFrRedactTest, APanelsAiAndAhAreWrittenIntoItsEntranceColumn) {
    Open(Write("cbv01.bin", PanelFile(65)), "Открыть созданный в АРМЕ КФ");
    EditorPanelTab* tab = frame_->TabCBV1;
    tab->MsPod->setCurrentCell(1, 2);
    EXPECT_FALSE(tab->BitASave->isEnabled());
    tab->AI->setValue(7);
    EXPECT_TRUE(tab->BitASave->isEnabled());
    QTest::mouseClick(tab->BitASave, Qt::LeftButton);
    EXPECT_EQ(tab->MsPod->Cell(2, 3), "7");
    EXPECT_FALSE(tab->BitASave->isEnabled());
    BvEditorValues values;
    tab->Read(values);
    EXPECT_EQ(values.entrances.columns[1].ai, "7");

    tab->PH_0->setChecked(true);
    EXPECT_FALSE(tab->PH_1->isEnabled());
    tab->PH_0->setChecked(false);
    EXPECT_TRUE(tab->PH_1->isEnabled());
}

TEST_F(TFrRedactTest, ARepeatedCodeIsPutBackWithItsMessage) {
    Open(Write("cpo00.bin", ConsoleFile()), "Открыть созданный в АРМЕ КФ");
    EditorConsoleTab* tab = frame_->TabCPO1;
    auto type = [&](int entranceColumn, int column, const QString& code) {
        tab->MPod->setCurrentCell(1, entranceColumn);
        tab->KodVv->item(1, column)->setText(code);
    };
    tab->MPod->setCurrentCell(1, 3);
    const QString own = tab->KodVv->Cell(1, 1);
    const QString second = tab->KodVv->Cell(2, 1);
    tab->MPod->setCurrentCell(1, 2);
    const QString previous = tab->KodVv->Cell(5, 1);
    tab->MPod->setCurrentCell(1, 4);
    const QString next = tab->KodVv->Cell(5, 1);

    const std::pair<QString, QString> cases[] = {
        {second, "Восстанавливаю код вызова из-за повторения!"},
        {previous, "Восстанавливаю код вызова из-за повторения в предыдущем подъезде!"},
        {next, "Восстанавливаю код вызова из-за повторения в следующем подъезде!"}};
    for (const auto& [code, message] : cases) {
        ScriptedDialogs dialogs;
        dialogs.Expect("Предупреждение", message);
        type(3, 1, code);
        dialogs.VerifyDone();
        EXPECT_EQ(tab->KodVv->Cell(1, 1), own);
    }
    // A code of its own stays, and the table keeps it when the entrance is shown again.
    type(3, 1, "77777");
    tab->MPod->setCurrentCell(1, 2);
    tab->MPod->setCurrentCell(1, 3);
    EXPECT_EQ(tab->KodVv->Cell(1, 1), "77777");
}

TEST_F(TFrRedactTest, TheEntranceListsNameTheHousesAndEntrances) {
    frame_->FillEntranceLists();
    ASSERT_EQ(frame_->ListHdev->count(), 3);
    EXPECT_EQ(frame_->ListHdev->item(0)->text(), "дом 1 пд.№ 01");
    EXPECT_EQ(frame_->ListHdev->item(2)->text(), "дом 2 пд.№ 01");
    EXPECT_EQ(frame_->ListKvKey->count(), 3);
    Sql("UPDATE k_dom SET house = ' ' WHERE id_dom = 2");
    frame_->FillEntranceLists();
    EXPECT_EQ(frame_->ListKvKey->item(2)->text(), "дом 2 пд.№ 01");
    Sql("UPDATE k_dom SET house = '', kod_d = '' WHERE id_dom = 2");
    frame_->FillEntranceLists();
    EXPECT_EQ(frame_->ListKvKey->item(2)->text(), "пд.№ 01");
}

TEST_F(TFrRedactTest, TheServiceTabComesAndGoes) {
    // The screen fits the main window at its smallest.
    EXPECT_LE(frame_->minimumSizeHint().width(), 780);
    const int sys = frame_->PageFile->indexOf(frame_->Sys);
    EXPECT_FALSE(frame_->PageFile->isTabVisible(sys));
    QTest::mouseClick(frame_->StaticText2, Qt::LeftButton);
    EXPECT_TRUE(frame_->PageFile->isTabVisible(sys));
    QTest::mouseClick(frame_->ButDebug, Qt::LeftButton);
    EXPECT_FALSE(frame_->PageFile->isTabVisible(sys));
}

}  // namespace
}  // namespace TFrRedactTestUnit
