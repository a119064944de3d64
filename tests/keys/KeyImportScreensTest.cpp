// The editor's key parts driven as the operator drives them: the panel
// "Сохранение ключей" over an opened call-panel file, the dump tabs "БЭКУ"
// and "Mirel", and the popup menu and cell editing of the key grids. Each
// leaves a picture in build/screens.

#include "DumpFileBuilders.h"
#include "KeyObjectFixture.h"
#include "KeyTabHost.h"
#include "keys/DumpFileReader.h"
#include "keys/ui/TFKeyInKv.h"
#include "platform/ui/DatasetGrid.h"
#include "support/FakeClipboard.h"
#include "support/QtPrinters.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace KeyImportScreensTestUnit {

namespace {

class KeyImportScreens : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        ASSERT_EQ(FDM, dm_.get());
        host_ = std::make_unique<KeyTabHost>(tdb_.dbDir() + QLatin1Char('/'));
        host_->resize(1280, 760);
        host_->show();
        QApplication::setActiveWindow(host_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(host_.get()));
    }
    void TearDown() override {
        host_.reset();
        KeyObjectFixture::TearDown();
    }

    // The file the write screen makes of panel nNet now.
    QString FileOf(int nNet) { return host_->WritePanelFile(dm_->ConnectionDB(), objectId_, nNet); }
    QString WriteDump(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    void ChooseEntrance(QListWidget* list, int row) {
        list->setCurrentRow(row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    static QString Cell(QTableWidget* grid, int row, int column) {
        return GridCell(grid, row, column);
    }

    ScriptedDialogs dialogs_;
    FakeClipboard clipboard_;
    QTemporaryDir dir_;
    std::unique_ptr<KeyTabHost> host_;
};

TEST_F(KeyImportScreens, FindThePanelThenEnterItsKeys) {
    const QString file = FileOf(EntrancePanelNet(0));
    Exec("DELETE FROM k_key WHERE id_pod=?", {entranceIds_[0]});
    Reload();
    host_->Open(file);
    KeySavePanel* panel = host_->panel;
    EXPECT_FALSE(panel->BitKeys->isEnabled());
    EXPECT_TRUE(panel->CB_Ob->isEnabled());  // a file of one entrance

    QTest::mouseClick(panel->BitFind, Qt::LeftButton);
    EXPECT_EQ(panel->L_Found->text(), "БВ найден.");
    EXPECT_TRUE(panel->BitKeys->isEnabled());
    EXPECT_TRUE(host_->controls.Ch_n_net->isChecked());
    ExpectNoClippedText(host_.get());
    SaveScreen(*host_, "key_import_tab_found");

    QTest::mouseClick(panel->BitKeys, Qt::LeftButton);
    EXPECT_EQ(panel->L_Found->text(), "Внесено ключей: 13.");
    EXPECT_EQ(panel->L_Keys->text(), "");
    EXPECT_FALSE(panel->BitKeys->isEnabled());
    EXPECT_EQ(CommonKeysOf(0), 3);
    SaveScreen(*host_, "key_import_tab_entered");

    // A file without identification.
    host_->controls.V_id_net->setValue(0);
    QTest::mouseClick(panel->BitFind, Qt::LeftButton);
    EXPECT_EQ(panel->L_Found->text(), "Объект не определен в КФ.");
    EXPECT_FALSE(panel->BitKeys->isEnabled());
}

TEST_F(KeyImportScreens, AFailedStructureSearchIsShownAndNeverFoolsTheNext) {
    Exec("UPDATE k_pk SET p_fc=0 WHERE id_pk=?", {switchIds_[0]});
    Reload();
    const QString file = FileOf(EntrancePanelNet(0));
    Exec("UPDATE k_pk SET p_fc=4 WHERE id_pk=?", {switchIds_[0]});
    Reload();
    host_->Open(file);
    KeySavePanel* panel = host_->panel;
    panel->RB_Sr->click();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        panel->BitFindClick();
        EXPECT_EQ(panel->L_Found->text(), "БВ не найден.") << attempt;
        EXPECT_FALSE(panel->BitKeys->isEnabled());
        EXPECT_EQ(host_->controls.Mpp->blockCount(), 1 + attempt);
    }
    EXPECT_EQ(host_->controls.V_id_bv->value(), 0);
    // The database as the file was made: found by the section as read.
    Exec("UPDATE k_pk SET p_fc=0 WHERE id_pk=?", {switchIds_[0]});
    Reload();
    panel->BitFindClick();
    EXPECT_EQ(panel->L_Found->text(), "БВ найден.");
    EXPECT_EQ(host_->controls.V_id_bv->value(), entrancePanelIds_[0]);
    EXPECT_EQ(host_->controls.V_n_net->value(), EntrancePanelNet(0));
}

TEST_F(KeyImportScreens, APanelChosenFromTheListTakesTheKeys) {
    host_->Open(FileOf(EntrancePanelNet(2)));
    host_->controls.V_id_bv->setValue(0);
    KeySavePanel* panel = host_->panel;
    panel->BitChekClick();
    EXPECT_TRUE(panel->DBGrid1->isVisible());
    EXPECT_EQ(panel->BitChek->text(), "Отменить выбор");
    SaveScreen(*host_, "key_import_panel_list");
    ASSERT_TRUE(dm_->Q_bv->Locate("id_bv", entrancePanelIds_[2]));

    dialogs_.Expect("Вопрос", "Внести ключи в подъезд, связнный с этим БВ?", DlgAnswer::No);
    QTest::keyClick(panel->DBGrid1, Qt::Key_Return);
    EXPECT_TRUE(panel->DBGrid1->isVisible());

    dialogs_.Expect("Вопрос", "Внести ключи в подъезд, связанный с этим БВ?", DlgAnswer::Yes);
    panel->DBGrid1DblClick();
    EXPECT_FALSE(panel->DBGrid1->isVisible());
    EXPECT_EQ(panel->BitChek->text(), "Выбрать БВ");
    EXPECT_EQ(host_->controls.V_id_bv->value(), entrancePanelIds_[2]);
    EXPECT_EQ(panel->L_Keys->text(), "Подтверждено ключей: 13.");
    dialogs_.VerifyDone();
}

// The editor reached before any screen read the call panels, or after a
// change of database folder and back: the list shows every panel of the
// object, and the row the operator picks takes the keys.
TEST_F(KeyImportScreens, ThePanelListOfAFreshConnectionListsAndTakesTheChoice) {
    const QString file = FileOf(EntrancePanelNet(2));
    Reconnect();
    host_->Open(file);
    host_->controls.V_id_bv->setValue(0);
    KeySavePanel* panel = host_->panel;
    panel->BitChekClick();
    ASSERT_TRUE(panel->DBGrid1->isVisible());
    const QAbstractItemModel* rows = panel->DBGrid1->model();
    QStringList names;
    for (int row = 0; row < rows->rowCount(); ++row)
        names << rows->index(row, 0).data().toString().trimmed();
    ASSERT_EQ(names, (QStringList{"БВ02 дом 1 -  1. 01 вх", "БВ03 дом 1 -  2. 01 вх",
                                  "БВ04 дом 2 -  1. 01 вх", "БВ01 калитка"}));

    const QModelIndex third = rows->index(2, 0);
    QTest::mouseClick(panel->DBGrid1->viewport(), Qt::LeftButton, {},
                      panel->DBGrid1->visualRect(third).center());
    dialogs_.Expect("Вопрос", "Внести ключи в подъезд, связнный с этим БВ?", DlgAnswer::Yes);
    QTest::keyClick(panel->DBGrid1, Qt::Key_Return);
    EXPECT_FALSE(panel->DBGrid1->isVisible());
    EXPECT_EQ(host_->controls.V_id_bv->value(), entrancePanelIds_[2]);
    EXPECT_EQ(panel->L_Keys->text(), "Подтверждено ключей: 13.");
    dialogs_.VerifyDone();
}

TEST_F(KeyImportScreens, CommonKeysAreOfferedForOneEntranceOnly) {
    host_->Open(FileOf(kGateNet));
    EXPECT_FALSE(host_->panel->CB_Ob->isEnabled());
    EXPECT_FALSE(host_->panel->CB_Ob->isChecked());
}

TEST_F(KeyImportScreens, ABekuDumpPouredIntoAnEntrance) {
    const QString path =
        WriteDump("beku.bin", DumpBuild::Beku(3, {{"1A2B3C", "", "0F0E0D"}, {"1A000E", "5A5A5A"}}));
    BekuDumpTab* tab = host_->beku;
    host_->ShowTab(tab);
    ASSERT_EQ(tab->ListHdev->count(), 3);
    EXPECT_EQ(tab->ListHdev->item(1)->text(), "дом 1 пд.№ 02");

    dialogs_.ExpectPicker("Открыть файл БЭКУ", path);
    QTest::mouseClick(tab->BitBQ, Qt::LeftButton);
    EXPECT_EQ(tab->lFile4->text(), path);
    EXPECT_EQ(tab->KolByte->value(), 3);
    EXPECT_EQ(tab->KolKey->value(), 4);
    EXPECT_EQ(tab->KeysBQ->rowCount(), 1 + 4 + 1);
    EXPECT_EQ(Cell(tab->KeysBQ, 2, 1), "0F0E0D");
    EXPECT_EQ(Cell(tab->KeysBQ, 5, 1), "");
    EXPECT_FALSE(tab->BitBQkeys->isEnabled());  // no entrance yet
    ChooseEntrance(tab->ListHdev, 1);
    EXPECT_TRUE(tab->BitBQkeys->isEnabled());
    tab->ButVisibleClick();
    EXPECT_TRUE(tab->Memo1->isVisible());
    ExpectNoClippedText(tab);
    SaveScreen(*host_, "key_dump_beku");

    dialogs_.Expect("Подтверждение", "Залить ключи в выбранный подъезд?", DlgAnswer::Yes);
    QTest::mouseClick(tab->BitBQkeys, Qt::LeftButton);
    EXPECT_EQ(tab->InBQKey->value(), 3);  // 1A000E is a key of that entrance already
    EXPECT_TRUE(tab->Memo1->toPlainText().contains("дом 1 пд.№ 02\n1A2B3C  стр=0001 вписан"));
    EXPECT_EQ(CommonKeysOf(1), 6);

    dialogs_.Expect("Подтверждение", "Залить ключи в выбранный подъезд?", DlgAnswer::Yes);
    QTest::mouseClick(tab->BitBQkeys, Qt::LeftButton);
    EXPECT_EQ(tab->InBQKey->value(), 0);  // a second pour enters nothing
    EXPECT_EQ(CommonKeysOf(1), 6);

    // A file that is no dump: the console says so and the pour is off.
    const QString big = WriteDump("big.bin", QByteArray(kMaxDumpFileBytes + 1, char(0)));
    tab->ReadDump(big);
    EXPECT_EQ(tab->Memo1->toPlainText(), "! Возможно файл не соответствует структуре !");
    EXPECT_EQ(tab->KolKey->value(), 0);
    EXPECT_FALSE(tab->BitBQkeys->isEnabled());
    dialogs_.VerifyDone();
}

TEST_F(KeyImportScreens, AMirelDumpPouredIntoApartments) {
    TFKeyInKv conditions;
    FKeyInKv = &conditions;
    const QString path =
        WriteDump("mirel.bin", DumpBuild::Mirel(3, {{"0A0001"}, {"0A0002", "0A0003"}, {"0A0004"}}));
    MirelDumpTab* tab = host_->mirel;
    host_->ShowTab(tab);
    dialogs_.ExpectPicker("Открыть файл Mirel", path);
    QTest::mouseClick(tab->BitCP, Qt::LeftButton);
    EXPECT_EQ(tab->KolCPkey->value(), 4);
    EXPECT_EQ(Cell(tab->KeysCP, 3, 1), "0A0003");
    EXPECT_EQ(Cell(tab->KeysCP, 3, 2), "1");
    ChooseEntrance(tab->ListKvKey, 0);
    EXPECT_TRUE(tab->BitCPkeys->isEnabled());
    tab->ButCPVisClick();
    ExpectNoClippedText(tab);
    SaveScreen(*host_, "key_dump_mirel");

    // Indexes 1..2 of the dump into apartments 5 and 6.
    QTimer::singleShot(0, [&conditions] {
        EXPECT_EQ(conditions.KolIndIsx->value(), 3);  // the last index, 2, is poured too
        conditions.Ind_1->setValue(1);
        conditions.Kv_n1->setValue(5);
        conditions.OKBtn->click();
    });
    QTest::mouseClick(tab->BitCPkeys, Qt::LeftButton);
    EXPECT_EQ(tab->InCpKey->value(), 3);
    EXPECT_EQ(KeysOf(ApartmentId(0, 5)), 4);
    EXPECT_EQ(KeysOf(ApartmentId(0, 6)), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='0A0001'"), 0);

    // Cancelled conditions pour nothing.
    QTimer::singleShot(0, [&conditions] { conditions.CancelBtn->click(); });
    QTest::mouseClick(tab->BitCPkeys, Qt::LeftButton);
    EXPECT_EQ(tab->InCpKey->value(), 3);

    // A variant that is none: the console says so and the pour is off.
    tab->ReadDump(WriteDump("bad.bin", DumpBuild::Mirel(7, {{"0A0001"}})));
    EXPECT_TRUE(tab->Memo3->toPlainText().endsWith("! Возможно файл не соответствует структуре !"));
    EXPECT_FALSE(tab->BitCPkeys->isEnabled());
    FKeyInKv = nullptr;
    dialogs_.VerifyDone();
}

// ---------------------------------------------------------------- the key grids

class KeyGridScreens : public KeyImportScreens {
  protected:
    void SetUp() override {
        KeyImportScreens::SetUp();
        host_->Open(FileOf(EntrancePanelNet(0)));
    }
    void Focus(QTableWidget* grid, int row, int column) {
        grid->setFocus();
        grid->setCurrentCell(row, column);
        ASSERT_EQ(host_->menu->FocusedGrid() == KeyGrid::None, false);
    }
};

TEST_F(KeyGridScreens, CopyAndPasteMoveKeysBetweenTheSections) {
    QTableWidget* keys5 = host_->controls.Keys5;
    QTableWidget* keys6 = host_->controls.Keys6;
    KeyGridMenu* menu = host_->menu;
    Focus(keys5, 1, 2);
    keys5->setRangeSelected(QTableWidgetSelectionRange(1, 2, 2, 2), true);
    menu->NCopyClick();
    EXPECT_EQ(clipboard_.Text(), "1A00011\r\n1A00021\r\n");
    EXPECT_EQ(host_->panel->L_Keys->text(), "Копир 2");
    EXPECT_TRUE(keys5->selectedRanges().isEmpty());

    Focus(keys6, 0, 0);
    keys6->setCurrentItem(nullptr);
    dialogs_.Expect("Добавление записей", "Вставить ключи с 1-й строки с перекрытием существующих?",
                    DlgAnswer::Yes);
    menu->NInsertClick();
    EXPECT_EQ(keys6->rowCount(), 3);
    EXPECT_EQ(Cell(keys6, 1, 2), "1A0001");
    EXPECT_EQ(Cell(keys6, 2, 1), "1");
    EXPECT_EQ(Cell(keys5, 1, 2), "FFFFFF");
    EXPECT_EQ(host_->controls.KolSl6->value(), 2);
    EXPECT_EQ(host_->panel->L_Keys->text(), "Вставл 2");
    EXPECT_TRUE(menu->CopyBuffer().isEmpty());
    SaveScreen(*host_, "key_grids_pasted");

    // Text that is no keys: the message, and the keys before it stay.
    clipboard_.SetText("0B0B0B\r\n1234\tx\r\n");
    Focus(host_->controls.Keys7, 1, 1);
    dialogs_.Expect("Добавление записей", "Вставить ключи с 1-й строки с перекрытием существующих?",
                    DlgAnswer::Yes);
    dialogs_.Expect("Ошибка", "В буфере обмена находятся данные, не опознанные как ключи!");
    menu->NInsertClick();
    EXPECT_EQ(Cell(host_->controls.Keys7, 1, 1), "0B0B0B");
    dialogs_.VerifyDone();
}

// From the title row the keys go over the first rows, not after the last:
// the order of the list is the order of the slots in the file.
TEST_F(KeyGridScreens, APasteFromTheTitleRowStartsAtTheFirstRow) {
    QTableWidget* keys7 = host_->controls.Keys7;
    const int rows = keys7->rowCount();
    ASSERT_GT(rows, 2);
    const QString second = Cell(keys7, 2, 1);
    clipboard_.SetText("0B0B0B\r\n");
    Focus(keys7, 0, 1);
    ASSERT_EQ(keys7->currentRow(), 0);
    dialogs_.Expect("Добавление записей", "Вставить ключи с 1-й строки с перекрытием существующих?",
                    DlgAnswer::Yes);
    host_->menu->NInsertClick();
    EXPECT_EQ(keys7->rowCount(), rows);
    EXPECT_EQ(Cell(keys7, 1, 1), "0B0B0B");
    EXPECT_EQ(Cell(keys7, 2, 1), second);
    dialogs_.VerifyDone();
}

TEST_F(KeyGridScreens, PastedKeysGoIntoTheSavedFile) {
    clipboard_.SetText("0B0B0B\r\n0C0C0C\r\n");
    Focus(host_->controls.Keys7, 1, 1);
    dialogs_.Expect("Добавление записей", "Вставить ключи с 1-й строки с перекрытием существующих?",
                    DlgAnswer::Yes);
    host_->menu->NInsertClick();

    dialogs_.Expect("Запрос на сохранение", "Сохранить файл конфигурации?", DlgAnswer::Yes);
    host_->editor->BitSaveBvClick();
    host_->Open(host_->editor->OpenFile().fileName);
    QTableWidget* keys7 = host_->controls.Keys7;
    EXPECT_EQ(Cell(keys7, 1, 1), "0B0B0B");
    EXPECT_EQ(Cell(keys7, 2, 1), "0C0C0C");
    EXPECT_EQ(Cell(keys7, 3, 1), "1A000D");
    dialogs_.VerifyDone();
}

TEST_F(KeyGridScreens, EraseAsksFirstAndSelectionsAreCounted) {
    QTableWidget* keys5 = host_->controls.Keys5;
    KeyGridMenu* menu = host_->menu;
    Focus(keys5, 1, 2);
    keys5->setRangeSelected(QTableWidgetSelectionRange(1, 2, 3, 2), true);
    menu->CountSelectedKeys(keys5);
    EXPECT_EQ(host_->panel->L_Keys->text(), "Выдел 3");

    dialogs_.Expect("Удаление записей", "Стереть выделенные ключи ?", DlgAnswer::No);
    menu->NDeleteClick();
    EXPECT_EQ(Cell(keys5, 1, 2), "1A0001");
    EXPECT_EQ(Cell(keys5, 2, 2), "1A0002");

    dialogs_.Expect("Удаление записей", "Стереть выделенные ключи ?", DlgAnswer::Yes);
    menu->NDeleteClick();
    EXPECT_EQ(Cell(keys5, 1, 2), "FFFFFF");
    EXPECT_EQ(Cell(keys5, 3, 2), "FFFFFF");
    EXPECT_EQ(Cell(keys5, 4, 2), "FFFFFF");
    EXPECT_EQ(Cell(keys5, 5, 2), "1A0003");
    EXPECT_EQ(host_->panel->L_Keys->text(), "Удал 3");

    menu->NSelAllClick();
    EXPECT_EQ(host_->panel->L_Keys->text(),
              QStringLiteral("Выделено ") + QString::number(keys5->rowCount() - 1));
    menu->NSelCanClick();
    EXPECT_EQ(host_->panel->L_Keys->text(), "");
    EXPECT_TRUE(keys5->selectedRanges().isEmpty());
    dialogs_.VerifyDone();
}

TEST_F(KeyGridScreens, TypedKeysKeepTheirHexDigits) {
    QTableWidget* keys5 = host_->controls.Keys5;
    Focus(keys5, 6, 2);
    QTest::keyClick(keys5, Qt::Key_Return);  // editing on
    EXPECT_TRUE(host_->menu->Editing(KeyGrid::Keys5));
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, keys5);
    QTest::keyClicks(editor, "a1b2c3d4");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the editor's text is committed when it closes
    EXPECT_EQ(Cell(keys5, 6, 2), "1234");

    Focus(keys5, 7, 2);
    QTest::keyClick(keys5, Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), "A1B2C3D4");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(Cell(keys5, 7, 2), "A1B2C3");

    // The apartment index of section 5 is not typed into.
    Focus(keys5, 7, 1);
    QTest::keyClick(keys5, Qt::Key_Return);
    QTest::keyClicks(keys5, "9");
    EXPECT_EQ(Cell(keys5, 7, 1), "2");
}

}  // namespace
}  // namespace KeyImportScreensTestUnit
