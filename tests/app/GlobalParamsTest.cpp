#include "MainWindowFixture.h"
#include "foundation/GlobalParams.h"
#include "foundation/ui/TFGlVal.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace GlobalParamsTestUnit {
namespace {

class GlobalParamsForm : public MainWindowDb {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(fdm_.Connect(database_.dbPath(), &error)) << error.toStdString();
    }
    int scalar(const QString& sql) {
        QSqlDatabase db = database_.open();
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql) && q.next()) << sql.toStdString();
        return q.value(0).toInt();
    }
    int flagCount(const QString& type) {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM t_fl WHERE tabl='%1'").arg(type));
    }
    bool locked(const TFGlVal& form) {
        return !form.ParamPanel->isEnabled() && !form.FlagPanel->isEnabled() &&
               !form.BitSave->isEnabled();
    }
};

TEST(GlobalParamsRules, FlagEditorRules) {
    EXPECT_EQ(1, GlobalParams::ProposedFlagNumber({}));
    EXPECT_EQ(4, GlobalParams::ProposedFlagNumber({1, 2, 3}));
    // A stored number at the top of what a number holds has none after it.
    EXPECT_EQ(2147483647, GlobalParams::ProposedFlagNumber({1, 2147483647}));
    EXPECT_TRUE(GlobalParams::MayAppendFlag(QStringLiteral(" Свет "), 5, {1, 2}));
    EXPECT_FALSE(GlobalParams::MayAppendFlag(QStringLiteral("Свет"), 2, {1, 2}));
    EXPECT_FALSE(GlobalParams::MayAppendFlag(QStringLiteral("   "), 5, {1, 2}));
    EXPECT_FALSE(GlobalParams::MayDeleteFlag(1));
    EXPECT_TRUE(GlobalParams::MayDeleteFlag(2));
    EXPECT_TRUE(GlobalParams::Unlocks(QStringLiteral("kQ39@.w")));
    EXPECT_FALSE(GlobalParams::Unlocks(QStringLiteral("kQ39@.w ")));
    EXPECT_FALSE(GlobalParams::Unlocks(QStringLiteral("KQ39@.W")));
}

TEST_F(GlobalParamsForm, LockedUntilTheCodeIsTypedAndAgainAfterOneMoreCharacter) {
    TFGlVal form;
    form.show();
    EXPECT_EQ(QStringLiteral("Глобальные переменные"), form.windowTitle());
    EXPECT_TRUE(locked(form));
    QTest::keyClicks(form.PassEdit, QStringLiteral("kQ39@."));
    EXPECT_TRUE(locked(form));
    QTest::keyClicks(form.PassEdit, QStringLiteral("w"));
    EXPECT_FALSE(locked(form));
    QTest::keyClicks(form.PassEdit, QStringLiteral("x"));
    EXPECT_TRUE(locked(form));
    QTest::keyClick(form.PassEdit, Qt::Key_Backspace);
    EXPECT_FALSE(locked(form));
    // Parameters that are only shown stay disabled.
    EXPECT_FALSE(form.Spin(QStringLiteral("MaxDevice"))->isEnabled());
    EXPECT_FALSE(form.Spin(QStringLiteral("SepDevice"))->isEnabled());
    EXPECT_EQ(50, form.Spin(QStringLiteral("MaxDevice"))->minimum());
    EXPECT_EQ(5000, form.Spin(QStringLiteral("WidthMain"))->maximum());
    EXPECT_EQ(6000, form.Spin(QStringLiteral("HeightMain"))->maximum());
    EXPECT_EQ(2, form.Spin(QStringLiteral("MaskBvEnabled"))->minimum());
    EXPECT_EQ(1, form.Spin(QStringLiteral("MaskPoEnabled"))->minimum());
}

TEST_F(GlobalParamsForm, LoadsTheRowAndSavesOnlyChangedFlagCounts) {
    exec(QStringLiteral("UPDATE t_global SET MaskBvEnabled=5, MaskPoEnabled=3, APP_pk=200"));
    QString error;  // the open reads the row: it is opened again on the row as it is now
    ASSERT_TRUE(fdm_.Connect(database_.dbPath(), &error)) << error.toStdString();
    TFGlVal form;
    form.show();
    EXPECT_EQ(5, form.Spin(QStringLiteral("MaskBvEnabled"))->value());
    EXPECT_EQ(200, form.Spin(QStringLiteral("APP_pk"))->value());
    form.PassEdit->setText(GlobalParams::kAccessCode);
    EXPECT_FALSE(GlobalParams::SaveFlagCounts(5, 3)) << "unchanged counts write nothing";
    form.Spin(QStringLiteral("MaskPoEnabled"))->setValue(7);
    form.BitSave->click();
    EXPECT_EQ(7, scalar(QStringLiteral("SELECT MaskPoEnabled FROM t_global")));
    EXPECT_EQ(5, scalar(QStringLiteral("SELECT MaskBvEnabled FROM t_global")));
}

TEST_F(GlobalParamsForm, FlagOneIsNeverDeletedAndAListedNumberIsNotAppendedTwice) {
    TFGlVal form;
    form.show();
    form.PassEdit->setText(GlobalParams::kAccessCode);
    form.TypeFl->setCurrentText(GlobalParams::kConsoleFlags);
    const int before = flagCount(GlobalParams::kConsoleFlags);

    form.ButApp->click();
    const int proposed = form.NumbFl->value();
    form.NameFl->setText(QStringLiteral("  Тест  "));
    form.ButYes->click();
    EXPECT_EQ(before + 1, flagCount(GlobalParams::kConsoleFlags));
    EXPECT_EQ(1, scalar(QStringLiteral("SELECT COUNT(*) FROM t_fl WHERE tabl='ППО' AND nomf=%1 "
                                       "AND namf='Тест'")
                            .arg(proposed)));

    form.ButApp->click();
    form.NumbFl->setValue(proposed);
    form.NameFl->setText(QStringLiteral("Ещё"));
    form.ButYes->click();
    EXPECT_EQ(before + 1, flagCount(GlobalParams::kConsoleFlags));

    // Flag 1 stays even after a "Yes".
    GlobalParams::ShowFlags(GlobalParams::kConsoleFlags);
    ASSERT_TRUE(fdm_.Q_Flg->Locate(QStringLiteral("nomf"), 1));
    dialogs_.Expect(QStringLiteral("Внимание!!!"), QStringLiteral("Удалить флаг?"), DlgAnswer::Yes);
    form.ButDel->click();
    EXPECT_EQ(before + 1, flagCount(GlobalParams::kConsoleFlags));
    ASSERT_TRUE(fdm_.Q_Flg->Locate(QStringLiteral("nomf"), proposed));
    dialogs_.Expect(QStringLiteral("Внимание!!!"), QStringLiteral("Удалить флаг?"), DlgAnswer::Yes);
    form.ButDel->click();
    EXPECT_EQ(before, flagCount(GlobalParams::kConsoleFlags));

    form.BitClose->click();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t_fl")), fdm_.Q_Flg->RecordCount());
}
}  // namespace
}  // namespace GlobalParamsTestUnit
