#include "app/TFMainVesk.h"
#include "config/ui/ConfigForms.h"
#include "config/ui/TFrRead.h"
#include "config/ui/TFrRedact.h"

#include "ConfigScreenFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

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

}  // namespace
