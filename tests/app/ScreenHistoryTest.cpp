#include "foundation/ScreenNavigation.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace ScreenHistoryTestUnit {
namespace {

TEST(ScreenHistory, StartsWithNothingOpenedAndBothButtonsOff) {
    ScreenHistory h;
    EXPECT_EQ(55, h.Index());
    EXPECT_FALSE(h.BackEnabled());
    EXPECT_FALSE(h.ForwardEnabled());
    EXPECT_EQ(0, h.Push(1));
    EXPECT_FALSE(h.BackEnabled()) << "one entry has nothing to go back to";
    EXPECT_EQ(1, h.Push(2));
    EXPECT_TRUE(h.BackEnabled());
    EXPECT_FALSE(h.ForwardEnabled());
}

TEST(ScreenHistory, ReopeningTheCurrentScreenAddsNothing) {
    ScreenHistory h;
    h.Push(1);
    h.Push(2);
    EXPECT_EQ(1, h.Push(2));
    EXPECT_EQ(QList<int>({1, 2}), h.Entries());
}

TEST(ScreenHistory, BackTwiceThenANewScreenDropsTheForwardEntries) {
    ScreenHistory h;
    for (int s : {1, 2, 3, 6}) h.Push(s);
    EXPECT_EQ(std::optional<int>(3), h.Back());
    EXPECT_TRUE(h.BackEnabled());
    EXPECT_TRUE(h.ForwardEnabled());
    EXPECT_EQ(std::optional<int>(2), h.Back());
    // The screen handler records the screen it opens: not new, nothing changes.
    EXPECT_EQ(1, h.Push(2));
    EXPECT_TRUE(h.ForwardEnabled());
    EXPECT_EQ(2, h.Push(9));
    EXPECT_EQ(QList<int>({1, 2, 9}), h.Entries());
    EXPECT_TRUE(h.BackEnabled());
    EXPECT_FALSE(h.ForwardEnabled());
    EXPECT_EQ(std::nullopt, h.Forward());
}

TEST(ScreenHistory, ButtonsFollowThePositionAtBothEnds) {
    ScreenHistory h;
    h.Push(1);
    h.Push(2);
    EXPECT_EQ(std::optional<int>(1), h.Back());
    EXPECT_FALSE(h.BackEnabled());
    EXPECT_TRUE(h.ForwardEnabled());
    EXPECT_EQ(std::nullopt, h.Back());
    EXPECT_EQ(std::optional<int>(2), h.Forward());
    EXPECT_TRUE(h.BackEnabled());
    EXPECT_FALSE(h.ForwardEnabled());
}

TEST(ScreenRules, StateSentencesWordForWord) {
    using ScreenRules::MatrixStateSentence;
    EXPECT_EQ(QStringLiteral("Создание "), MatrixStateSentence("пусто", false, false));
    EXPECT_EQ(QStringLiteral("Матрица сохранена при сформированных устройствах"),
              MatrixStateSentence("сохранено", true, false));
    EXPECT_EQ(QStringLiteral("Матрица сохранена, квартиры созданы, устройсва не сформированы"),
              MatrixStateSentence("сохранено", false, true));
    EXPECT_EQ(QStringLiteral("Матрица сохранена, квартиры не созданы"),
              MatrixStateSentence("сохранено", false, false));
    EXPECT_EQ(QStringLiteral("Матрица в состоянии конфигурации устройств"),
              MatrixStateSentence("закрыто", true, true));
    EXPECT_EQ(QStringLiteral("Матрица создана для проектирования домов"),
              MatrixStateSentence("создано", false, false));
    EXPECT_EQ(QStringLiteral("Матрица изменена после сохранения"),
              MatrixStateSentence("сохр+ввод", false, false));
    EXPECT_EQ(QStringLiteral("Матрица изменена после ввода устройств"),
              MatrixStateSentence("закр+ввод", false, false));
    EXPECT_EQ(QStringLiteral("Матрица сохранена после ввода устройств"),
              MatrixStateSentence("закр+сохр", false, false));
    EXPECT_EQ(QString(), MatrixStateSentence("введено", true, true));
}

TEST(ScreenRules, MatrixEditedStatesAndFlagMasks) {
    EXPECT_TRUE(ScreenRules::MatrixBeingEdited("сохр+ввод"));
    EXPECT_TRUE(ScreenRules::MatrixBeingEdited("закр+ввод"));
    EXPECT_TRUE(ScreenRules::MatrixBeingEdited("введ+ввод"));
    EXPECT_FALSE(ScreenRules::MatrixBeingEdited("введено"));
    EXPECT_FALSE(ScreenRules::MatrixBeingEdited("ввод"));
    const QString bv = QStringLiteral("00000000000000110000000000000011");
    EXPECT_EQ(bv, ScreenRules::NormalisedFlagMask(QVariant(), "11"));
    EXPECT_EQ(bv, ScreenRules::NormalisedFlagMask(QString(""), "11"));
    EXPECT_EQ(QStringLiteral("00000000000000010000000000000001"),
              ScreenRules::NormalisedFlagMask(QVariant(), "1"));
    EXPECT_EQ(QStringLiteral("0101"), ScreenRules::NormalisedFlagMask(QStringLiteral("0101"), "1"));
}

TEST(ScreenRules, RefusalsKeepTheErrorCaptionAndLoseOnlyTheIconsTheyDrop) {
    ScreenRules::ObjectFacts f;
    f.listEmpty = false;
    f.hasHouses = true;
    f.hasApartments = false;
    for (int screen : {4, 5}) {
        const auto r = ScreenRules::CheckBeforeOpening(screen, f);
        ASSERT_TRUE(r.has_value()) << screen;
        EXPECT_EQ(ScreenTexts::kRefused, r->caption);
        EXPECT_EQ(ScreenTexts::kNoApartmentsForDevices, r->text);
        EXPECT_EQ(DlgIcon::None, r->icon);
    }
    const auto keys = ScreenRules::CheckBeforeOpening(9, f);
    ASSERT_TRUE(keys.has_value());
    EXPECT_EQ(ScreenTexts::kRefused, keys->caption);
    EXPECT_EQ(DlgIcon::Error, keys->icon);
    f.hasApartments = true;
    const auto files = ScreenRules::CheckBeforeOpening(10, f);
    ASSERT_TRUE(files.has_value());
    EXPECT_EQ(QStringLiteral("Ошибка"), files->caption);
    EXPECT_EQ(DlgIcon::Error, files->icon);
    const auto residents = ScreenRules::CheckBeforeOpening(14, f);
    ASSERT_TRUE(residents.has_value());
    EXPECT_EQ(QString(), residents->caption);
    EXPECT_EQ(DlgIcon::None, residents->icon);
}
}  // namespace
}  // namespace ScreenHistoryTestUnit
