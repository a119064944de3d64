#include "app/TFMainVesk.h"
#include "config/ui/ConfigForms.h"
#include "config/ui/EditorPanelTab.h"
#include "config/ui/TFrRead.h"
#include "config/ui/TFrRedact.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"

#include "ConfigScreenFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace ConfigScreensWindowTestUnit {

namespace {

class ConfigScreensWindowTest : public ConfigScreenFixture {};

TEST_F(ConfigScreensWindowTest, TheReadScreenLeadsToTheWriteScreenAndTheEditor) {
    ConfigForms::RegisterFrames();
    TFMainVesk w;
    w.ShowScreen(11);
    ASSERT_EQ(w.VisibleScreen(), 11);
    auto* read = qobject_cast<TFrRead*>(w.FrRead1);
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(read->BitNext->isVisibleTo(read));
    QTest::mouseClick(read->ButRedact, Qt::LeftButton);
    EXPECT_EQ(w.VisibleScreen(), 13);
    auto* editor = qobject_cast<TFrRedact*>(w.FrRedact1);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Path, w.Path->text());
    w.ShowScreen(11);
    QTest::mouseClick(read->ButWrite, Qt::LeftButton);
    EXPECT_EQ(w.VisibleScreen(), 10);
}

// Pixels that differ between two pictures of one size.
int DifferentPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return n;
}

// The editor's "Служебная", a caption Tab reaches, shows when it has the focus.
TEST_F(ConfigScreensWindowTest, TheServiceCaptionShowsTheFocusTabGivesIt) {
    ConfigForms::RegisterFrames();
    TFMainVesk w;
    w.show();
    QApplication::setActiveWindow(&w);
    w.MenuItem(QStringLiteral("MRedactConf"))->trigger();
    auto* editor = qobject_cast<TFrRedact*>(w.FrRedact1);
    ASSERT_NE(editor, nullptr);
    QPushButton* caption = editor->StaticText2;
    editor->ButBit->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    const QImage unfocused = caption->grab().toImage();
    for (int i = 0; i < 100 && QApplication::focusWidget() != caption; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), caption);
    const QImage focused = caption->grab().toImage();
    ASSERT_EQ(focused.size(), unfocused.size());  // the mark takes no room of its own
    // A mark a user sees: more than a line along the caption's width changes.
    EXPECT_GT(DifferentPixels(focused, unfocused), focused.width());
    EXPECT_FALSE(SaveScreen(w, QStringLiteral("editor_service_caption_focus")).isEmpty());
    QTest::keyClick(caption, Qt::Key_Space);
    EXPECT_TRUE(editor->PageFile->isTabVisible(editor->PageFile->indexOf(editor->Sys)));
    // Left, it reads as a caption again.
    QTest::keyClick(caption, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), caption);
    EXPECT_EQ(DifferentPixels(caption->grab().toImage(), unfocused), 0);
}

// A file saved in the editor, the screen left and shown again: nothing of the
// file stays, the service tab's header and sections included.
TEST_F(ConfigScreensWindowTest, TheEditorComesBackWithoutTheFileItSaved) {
    ConfigForms::RegisterFrames();
    TFMainVesk w;
    w.show();
    w.MenuItem(QStringLiteral("MRedactConf"))->trigger();
    ASSERT_EQ(w.VisibleScreen(), 13);
    auto* editor = qobject_cast<TFrRedact*>(w.FrRedact1);
    ASSERT_NE(editor, nullptr);
    const QString path = Write(QStringLiteral("cbv00.bin"), PanelFile(65));
    {
        ScriptedDialogs dialogs;
        dialogs.ExpectPicker(QStringLiteral("Открыть созданный в АРМЕ КФ"), path);
        QTest::mouseClick(editor->ButBit, Qt::LeftButton);
    }
    ASSERT_EQ(editor->LFile1->text(), path);
    QTest::mouseClick(editor->StaticText2, Qt::LeftButton);  // the service tab
    const QList<QPlainTextEdit*> memos = editor->Sys->findChildren<QPlainTextEdit*>();
    EXPECT_FALSE(editor->MemoTitle->toPlainText().isEmpty());
    EXPECT_FALSE(editor->MemoBv->toPlainText().isEmpty());
    EXPECT_FALSE(editor->MBvN->toPlainText().isEmpty());
    EXPECT_EQ(editor->V_n_net->value(), 65);
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(QStringLiteral("Запрос на сохранение"),
                       QStringLiteral("Сохранить файл конфигурации?"), DlgAnswer::Yes);
        QTest::mouseClick(editor->TabCBV1->BitSaveBv, Qt::LeftButton);
    }
    EXPECT_FALSE(editor->Memo2->toPlainText().isEmpty());

    w.MenuItem(QStringLiteral("MWriteConf"))->trigger();
    ASSERT_EQ(w.VisibleScreen(), 10);
    w.MenuItem(QStringLiteral("MRedactConf"))->trigger();
    ASSERT_EQ(w.VisibleScreen(), 13);
    EXPECT_EQ(editor->LFile1->text(), QString());
    EXPECT_EQ(editor->jDev->value(), -1);
    for (const QPlainTextEdit* memo : memos)
        EXPECT_EQ(memo->toPlainText().toStdString(), "") << memo->objectName().toStdString();
    for (const QSpinBox* value : editor->Sys->findChildren<QSpinBox*>())
        EXPECT_EQ(value->value(), -1) << value->objectName().toStdString();
    for (const QCheckBox* check : editor->Sys->findChildren<QCheckBox*>())
        EXPECT_FALSE(check->isChecked()) << check->objectName().toStdString();
}

}  // namespace
}  // namespace ConfigScreensWindowTestUnit
