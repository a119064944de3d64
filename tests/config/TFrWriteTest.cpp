// The write screen as the operator uses it on the fixture object: the list
// and its menu, the legend, the identifier field, building with its logs,
// and pictures of the screen.

#include "app/TFMainVesk.h"
#include "config/ui/TFrWrite.h"
#include "foundation/TFDM.h"
#include "site/ObjectDeletion.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include "WriteScreenFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace TFrWriteTestUnit {

namespace {

class FrWrite : public WriteScreenFixture {
  protected:
    void SetUp() override {
        WriteScreenFixture::SetUp();
        dm_ = std::make_unique<TFDM>();
        QString error;
        ASSERT_TRUE(dm_->Connect(DbPath(), &error)) << error.toStdString();
        ASSERT_TRUE(dm_->OpenAllTables()) << dm_->LastError().toStdString();
        ASSERT_TRUE(dm_->Q_Net->Locate("id_net", kIdNet));
        frame_ = std::make_unique<TFrWrite>();
        frame_->resize(1180, 720);
        frame_->PrepareScreen(DbFolder());
        frame_->show();
    }
    void TearDown() override {
        frame_.reset();
        dm_.reset();
    }

    QStringList ListTexts() const {
        QStringList texts;
        for (int i = 0; i < frame_->ListCdev->count(); ++i)
            texts << frame_->ListCdev->item(i)->text();
        return texts;
    }
    QList<int> SelectedRows() const {
        QList<int> rows;
        for (int i = 0; i < frame_->ListCdev->count(); ++i)
            if (frame_->ListCdev->item(i)->isSelected()) rows << i;
        return rows;
    }
    QStringList Lines(QPlainTextEdit* memo) const {
        return memo->toPlainText().split(QLatin1Char('\n'));
    }
    // The screen as the main window opens it from its menu on the fixture object.
    TFrWrite* ScreenOfMainWindow(TFMainVesk& w) {
        frame_.reset();
        w.show();
        EXPECT_TRUE(dm_->Q_Net->Locate("id_net", kIdNet));
        w.MenuItem(QStringLiteral("MWriteConf"))->trigger();
        return qobject_cast<TFrWrite*>(w.FrWrite1);
    }
    void Picture(const QString& name) {
        EXPECT_FALSE(SaveScreen(*frame_, name).isEmpty());
        ExpectNoClippedText(frame_.get());
    }

    std::unique_ptr<TFDM> dm_;
    std::unique_ptr<TFrWrite> frame_;
};

TEST_F(FrWrite, OpensOnTheObjectWithItsIdentifierFolderAndDevices) {
    EXPECT_EQ(frame_->EIdent->text(), "1193046");
    EXPECT_EQ(frame_->LFile1->text(), Folder());
    // Showing the screen writes nothing: the folder comes with the first files.
    EXPECT_FALSE(QFileInfo(Folder()).exists());
    frame_->BitCreateClick();
    EXPECT_TRUE(QFileInfo(Folder()).isDir());
    EXPECT_EQ(frame_->Memo3->toolTip(), DbFolder());
    EXPECT_FALSE(frame_->Memo3->isVisible());
    EXPECT_TRUE(frame_->ChSlot->isChecked());
    EXPECT_EQ(frame_->VvodObj->text(), "Далее >>");
    EXPECT_EQ(frame_->ButBack->text(), "<< Назад");
    EXPECT_EQ(ListTexts().mid(0, 4), (QStringList{" КМ01 д.1 под.1", " КМ02 д.1 под.2",
                                                  " КМ03 д.2 под.1", " ПO  пульт охраны"}));
    EXPECT_EQ(frame_->ListCdev->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(FrWrite, TheMenuSelectsAllChangesOrNothingAndTheLegendOpensAndCloses) {
    Sql("UPDATE k_pk SET kf_pr = n_net - 1");  // 0, 1, 2
    Sql("UPDATE k_po SET kf_pr = 3");
    Sql("UPDATE k_bv SET kf_pr = n_net - 61");  // 4, 5, 6, 7
    frame_->NReList->trigger();
    EXPECT_EQ(ListTexts(), (QStringList{" КМ01 д.1 под.1", "+КМ02 д.1 под.2", "-КМ03 д.2 под.1",
                                        "wПO  пульт охраны", "~БВ подъезда", "*БВ подъезда",
                                        " БВ подъезда", " БВ04 калитка "}));
    frame_->N_all->trigger();
    EXPECT_EQ(SelectedRows().size(), 8);
    frame_->NClearSel->trigger();
    EXPECT_TRUE(SelectedRows().isEmpty());
    frame_->N1->trigger();
    EXPECT_EQ(SelectedRows(), (QList<int>{0, 2, 4, 6, 7}));
    EXPECT_EQ(frame_->N_all->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));

    EXPECT_FALSE(frame_->LegendOpen());
    const int closed = frame_->Panel5->height();
    frame_->Bit1ch->click();
    EXPECT_TRUE(frame_->LegendOpen());
    EXPECT_GT(frame_->Panel5->height(), closed);
    EXPECT_EQ(frame_->Memo4->toPlainText().split('\n').value(4),
              "~   - КФ записан, но данные изменены, следует пересоздать и перезаписать в СУ");
    Picture(QStringLiteral("write_screen_marks"));
    frame_->Bit1ch->click();
    EXPECT_FALSE(frame_->LegendOpen());
    EXPECT_EQ(frame_->Panel5->height(), closed);
}

TEST_F(FrWrite, BuildingShowsTheLogsTheSummaryAndTheNewMarks) {
    frame_->N_all->trigger();
    frame_->BitCreate->click();
    const QStringList result = Lines(frame_->Memo2);
    const qsizetype title = result.indexOf("ИТОГИ формирования файлов:");
    ASSERT_GT(title, 0);
    EXPECT_EQ(result[title - 1], "----------------");
    EXPECT_EQ(result.mid(title + 1), Lines(frame_->Memo3));
    EXPECT_EQ(Lines(frame_->Memo3).mid(0, 2),
              (QStringList{"КМ01 :", "Файл " + FileOf("ckm01.bin") + " сохранен."}));
    EXPECT_TRUE(frame_->Memo1->toPlainText().contains("***** ППО00 *****"));
    EXPECT_TRUE(SelectedRows().isEmpty());
    EXPECT_EQ(ListTexts().mid(0, 4), (QStringList{"+КМ01 д.1 под.1", "+КМ02 д.1 под.2",
                                                  "+КМ03 д.2 под.1", "+ПO  пульт охраны"}));
    // The data module's datasets show the new states too.
    ASSERT_TRUE(dm_->Q_pk->Locate("n_net", 2));
    EXPECT_EQ(dm_->Q_pk->FieldByName("kf_pr").AsInt(), 1);
    EXPECT_EQ(dm_->Q_PO->FieldByName("kf_pr").AsInt(), 1);
    Picture(QStringLiteral("write_screen_built"));

    frame_->BitClear->click();
    EXPECT_TRUE(frame_->Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(frame_->Memo2->toPlainText().isEmpty());
}

TEST_F(FrWrite, TheSlotBoxDecidesTheSpareKeySlotsOfPanelFiles) {
    frame_->ChSlot->setChecked(false);
    frame_->ListCdev->item(5)->setSelected(true);  // panel 66
    frame_->BitCreate->click();
    EXPECT_EQ(ReadFile(FileOf("cbv02.bin")), PanelBytes(66, false));
    frame_->ChSlot->setChecked(true);
    frame_->ListCdev->item(5)->setSelected(true);
    frame_->BitCreate->click();
    EXPECT_EQ(ReadFile(FileOf("cbv02.bin")), PanelBytes(66, true));
}

TEST_F(FrWrite, RepeatedCodesStopTheConsoleWithTheBox) {
    Sql("UPDATE k_dom SET kvv_t = 1 WHERE id_dom = 1");
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("ОШИБКА!!!"),
                   QStringLiteral("Имеются непроверенные или двойные коды вызова в доме. Сделайте "
                                  "проверку! Операция прервана."));
    frame_->ListCdev->item(3)->setSelected(true);
    frame_->BitCreate->click();
    ASSERT_FALSE(Lines(frame_->Memo2).isEmpty());
    EXPECT_EQ(Lines(frame_->Memo2).last(),
              "Имеются двойные или непроверенные коды вызова в доме! Операция прервана.");
    EXPECT_EQ(Lines(frame_->Memo3), QStringList{"ППО00 :"});
}

// Another copy of the program deletes the object while the screen shows its
// devices: "Создать" makes no file and names every device with the reason.
TEST_F(FrWrite, AfterASecondCopyDeletedTheObjectEveryDeviceIsToldWhy) {
    TFMainVesk w;
    TFrWrite* screen = ScreenOfMainWindow(w);
    ASSERT_NE(screen, nullptr);
    const int devices = screen->ListCdev->count();
    ASSERT_EQ(devices, 8);
    QString error;
    ASSERT_TRUE(ObjectDeletion::DeleteObjectRows(SecondConnection(), kIdNet, {}, &error))
        << error.toStdString();

    screen->N_all->trigger();
    screen->BitCreate->click();
    const QStringList summary = Lines(screen->Memo3);
    ASSERT_EQ(summary.size(), 2 * devices + 1);
    EXPECT_EQ(summary.mid(0, 2),
              (QStringList{"КМ01 :",
                           "Файл для КМ01 д.1 под.1 НЕ СОЗДАН: объект удалён из базы данных."}));
    EXPECT_EQ(summary.mid(6, 2),
              (QStringList{"ППО00 :",
                           "Файл для ПO  пульт охраны НЕ СОЗДАН: объект удалён из базы данных."}));
    EXPECT_EQ(summary.last(), "Не создано файлов: 8 из 8.");
    const QStringList result = Lines(screen->Memo2);
    const qsizetype title = result.indexOf("ИТОГИ формирования файлов:");
    ASSERT_GT(title, 0);
    EXPECT_EQ(result.mid(title + 1), summary);
    EXPECT_TRUE(FilesInFolder().isEmpty());
}

// "Создать" with no device chosen makes nothing and says how to choose them.
TEST_F(FrWrite, AWriteWithNoDeviceChosenSaysHowToChooseThem) {
    TFMainVesk w;
    TFrWrite* screen = ScreenOfMainWindow(w);
    ASSERT_NE(screen, nullptr);
    screen->NClearSel->trigger();
    screen->BitCreate->click();
    const QStringList result = Lines(screen->Memo2);
    const qsizetype title = result.indexOf("ИТОГИ формирования файлов:");
    ASSERT_GE(title, 0);
    const QStringList told{QStringLiteral(
        "Не выбрано ни одного устройства. Выберите устройства в списке (Ctrl+A — выбрать все).")};
    EXPECT_EQ(result.mid(title + 1), told);
    EXPECT_EQ(screen->Memo3->toPlainText(), QString());  // the summary holds no device
    EXPECT_TRUE(FilesInFolder().isEmpty());
    // The key it names chooses them all, and the next write says nothing of the kind.
    screen->ListCdev->setFocus();
    QTest::keyClick(screen->ListCdev, Qt::Key_A, Qt::ControlModifier);
    screen->BitCreate->click();
    const QStringList after = Lines(screen->Memo2);
    const qsizetype last = after.lastIndexOf("ИТОГИ формирования файлов:");
    ASSERT_GT(last, title);
    EXPECT_FALSE(after.mid(last).contains(told.first()));
    EXPECT_FALSE(FilesInFolder().isEmpty());
}

TEST_F(FrWrite, TheIdentifierTakesDigitsAndStoresTheReducedNumber) {
    frame_->EIdent->clear();
    QTest::keyClicks(frame_->EIdent, QStringLiteral("12a.5-x"));
    EXPECT_EQ(frame_->EIdent->text(), "12.5");
    QTest::keyClick(frame_->EIdent, Qt::Key_Backspace);
    EXPECT_EQ(frame_->EIdent->text(), "12.");
    // Not a whole number: the stored identifier comes back.
    QTest::keyClick(frame_->EIdent, Qt::Key_Return);
    EXPECT_EQ(frame_->EIdent->text(), "1193046");

    frame_->EIdent->clear();
    QTest::keyClicks(frame_->EIdent, QStringLiteral("33554431"));
    QTest::keyClick(frame_->EIdent, Qt::Key_Return);
    EXPECT_EQ(frame_->EIdent->text(), "1");
    EXPECT_EQ(dm_->Q_Net->FieldByName("id_nom").AsLargeInt(), 1);
    QSqlQuery q(Db());
    ASSERT_TRUE(q.exec("SELECT id_nom FROM k_net WHERE id_net = 1") && q.next());
    EXPECT_EQ(q.value(0).toLongLong(), 1);
}

TEST_F(FrWrite, TheMainWindowOpensTheScreenAndItsButtonsLeadOn) {
    TFMainVesk w;
    TFrWrite* screen = ScreenOfMainWindow(w);
    ASSERT_EQ(w.VisibleScreen(), 10);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->objectName(), "FrWrite1");
    EXPECT_EQ(screen->ListCdev->count(), 8);
    EXPECT_EQ(screen->LFile1->text(), WriteFolderFor(w.Path->text(), kIdNet));

    screen->ButRead1->click();
    EXPECT_EQ(w.VisibleScreen(), 11);
    w.ShowScreen(10);
    screen->ButRedact1->click();
    EXPECT_EQ(w.VisibleScreen(), 13);
    w.ShowScreen(10);
    screen->VvodObj->click();
    EXPECT_EQ(w.VisibleScreen(), 12);
    w.ShowScreen(10);
    screen->ButBack->click();
    EXPECT_EQ(w.VisibleScreen(), 9);
}

}  // namespace
}  // namespace TFrWriteTestUnit
