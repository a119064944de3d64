#include "config/ui/TFrRead.h"

#include "config/ui/ConfigFileChooser.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include "ConfigScreenFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace TFrReadTestUnit {

namespace {

class TFrReadTest : public ScreenFrameFixture<TFrRead> {
  protected:
    // Reads a file through the button and the open dialog.
    void ReadFile(const QString& path) {
        ScriptedDialogs dialogs;
        dialogs.ExpectPicker("Открыть КФ", path);
        QTest::mouseClick(frame_->ButBit, Qt::LeftButton);
    }
};

TEST_F(TFrReadTest, TheDialogStartsInTheFolderOfTheChoice) {
    // The screen fits the main window at its smallest.
    EXPECT_LE(frame_->minimumSizeHint().width(), 780);
    EXPECT_EQ(frame_->EIdent->text(), QString::number(kIdNom));
    EXPECT_EQ(frame_->R_Div->toolTip(), DbFolder());
    EXPECT_TRUE(frame_->RBarm->isChecked());
    {
        ScriptedDialogs dialogs;
        dialogs.ExpectPicker("Открыть КФ", "");
        QTest::mouseClick(frame_->RBany, Qt::LeftButton);
        QTest::mouseClick(frame_->ButBit, Qt::LeftButton);
    }
    EXPECT_EQ(frame_->ODtxt->InitialDir(), DbFolder() + "Data/");
    EXPECT_TRUE(QDir(DbFolder() + "Data").exists());

    // The folder stays until a radio button is clicked, then is worked out again.
    QTest::mouseClick(frame_->RBnet, Qt::LeftButton);
    EXPECT_EQ(frame_->ODtxt->InitialDir(), "");
    {
        ScriptedDialogs dialogs;
        dialogs.ExpectPicker("Открыть КФ", "");
        QTest::mouseClick(frame_->ButBit, Qt::LeftButton);
    }
    EXPECT_EQ(frame_->ODtxt->InitialDir(), DbFolder() + "Data/FlRead/Fl_1/");
    EXPECT_TRUE(QDir(frame_->ODtxt->InitialDir()).exists());
    EXPECT_TRUE(frame_->Memo1->toPlainText().isEmpty());  // a cancelled dialog reads nothing
}

TEST_F(TFrReadTest, AFileIsDecodedIntoTheMemosAndTheKind) {
    Sql("UPDATE k_pk SET n_vid = 2 WHERE n_net = 2");
    ReadFile(Write("ckm02.bin", SwitchFile(2)));
    EXPECT_EQ(frame_->RDivIndex(), 0);
    EXPECT_EQ(frame_->jDev->value(), 2);
    const QString detail = frame_->Memo1->toPlainText();
    EXPECT_TRUE(detail.contains("Файл создан в АРМ Kiro-2"));
    EXPECT_TRUE(detail.contains("-------------------------- КМ    СЕКЦИЯ 7"));
    EXPECT_TRUE(frame_->Memo2->toPlainText().endsWith("Чтение файла закончено."));
    ExpectNoClippedText(frame_.get());
    EXPECT_FALSE(SaveScreen(*frame_, "read_screen_decoded").isEmpty());

    ReadFile(Write("cpo00.bin", ConsoleFile()));
    EXPECT_EQ(frame_->RDivIndex(), 2);
    EXPECT_EQ(frame_->jDev->value(), 63);

    QTest::mouseClick(frame_->BitClear, Qt::LeftButton);
    EXPECT_TRUE(frame_->Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(frame_->Memo2->toPlainText().isEmpty());
}

// The slides of a console file another writer made: every byte shows, in
// its place on its slide's line, a byte that shows nothing of itself as a
// visible mark.
TEST_F(TFrReadTest, EveryByteOfASlideShowsOnItsLine) {
    const QString blanks(11, QLatin1Char(' '));
    const struct {
        int slide;
        const char* bytes;
        QString line;
    } slides[] = {
        {0, "41 42 0A 43 44", QStringLiteral(" Cлайд объекта: AB\u240ACD") + blanks},
        {1, "41 42 00 43 44", QStringLiteral(" Cлайд объекта: AB\u2400CD") + blanks},
        {2, "41 01 1B 42 7F", QStringLiteral(" Слайд оператора 1: A\u2401\u241BB\u2421") + blanks},
        {3, "41 42 98 43 44", QStringLiteral(" Слайд оператора 2: AB\uFFFDCD") + blanks},
        {4, "09 0D C6 E6 20", QStringLiteral(" Слайд оператора 3: \u2409\u240DЖж ") + blanks},
    };
    QByteArray file = ConsoleFile();
    for (const auto& s : slides) file = WithSlide(file, s.slide, Hex(s.bytes));
    ReadFile(Write("cpo00.bin", file));
    const QStringList lines = frame_->Memo1->toPlainText().split('\n');
    for (const auto& s : slides) EXPECT_TRUE(lines.contains(s.line)) << s.line.toStdString();
}

TEST_F(TFrReadTest, UnknownFilesLeaveNoKindAndRawDumpsChangeNothing) {
    QByteArray file = SwitchFile(1);
    file[0] = char(55);
    {
        ScriptedDialogs dialogs;
        dialogs.ExpectPicker("Открыть КФ", Write("c55.bin", file));
        dialogs.Expect("Ошибка", "Неопределенный формат файла.");
        QTest::mouseClick(frame_->ButBit, Qt::LeftButton);
    }
    EXPECT_EQ(frame_->RDivIndex(), -1);
    EXPECT_EQ(frame_->jDev->value(), 55);
    EXPECT_TRUE(frame_->Memo1->toPlainText().contains("bt00000001:  "));

    frame_->BitClearClick();
    frame_->CB_not->setChecked(true);
    ReadFile(Write("ckm01.bin", SwitchFile(1)));
    EXPECT_EQ(frame_->jDev->value(), 55);  // a dump reads no header
    const QStringList lines = frame_->Memo1->toPlainText().split('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "bt00000000 $00000$00:  00000001 - $01");
    EXPECT_TRUE(lines.contains("- - - - - - - - - -00000001"));
    EXPECT_TRUE(frame_->Memo2->toPlainText().endsWith("Чтение файла без анализа закончено."));
    EXPECT_FALSE(SaveScreen(*frame_, "read_screen_raw").isEmpty());
}

}  // namespace
}  // namespace TFrReadTestUnit
