// The text rules of key numbers, labels and the list order.

#include "keys/KeyNumber.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace KeyNumberTestUnit {

namespace {

TEST(KeyNumberTest, OnlyHexadecimalDigitsReachTheNumberField) {
    EXPECT_EQ(KeyNumber::FilterDigits("a1b2c3"), "A1B2C3");
    EXPECT_EQ(KeyNumber::FilterDigits("12.34 gG-zZ ef"), "1234EF");
    EXPECT_EQ(KeyNumber::FilterDigits("аб1В2"), "12");  // Cyrillic look-alikes are no digits
    // A pasted 16-digit number and a separated one keep their first 12 digits.
    EXPECT_EQ(KeyNumber::FilterDigits("0102030405060708"), "010203040506");
    EXPECT_EQ(KeyNumber::FilterDigits("01:02:03:04:05:06:07"), "010203040506");
}

TEST(KeyNumberTest, StoredNumbersArePaddedToTwelveDigits) {
    EXPECT_EQ(KeyNumber::FullNumber("1A2B3C"), "0000001A2B3C");
    EXPECT_EQ(KeyNumber::FullNumber(" 1A2B3C "), "0000001A2B3C");
    EXPECT_EQ(KeyNumber::FullNumber("12345"), QString());
    EXPECT_EQ(KeyNumber::FullNumber("   "), QString());
    EXPECT_EQ(KeyNumber::FullNumber("ABCDEF123456"), "ABCDEF123456");
    EXPECT_EQ(KeyNumber::PanelCode("0000001A2B3C"), "1A2B3C");
}

TEST(KeyNumberTest, LabelsAndStatus) {
    EXPECT_EQ(KeyLabel::Automatic(6, 4), "0007");
    EXPECT_EQ(KeyLabel::Automatic(0, 0), "1");
    EXPECT_EQ(KeyLabel::Widened("7", 4), "0007");
    EXPECT_EQ(KeyLabel::Widened("", 4), "0000");
    EXPECT_EQ(KeyLabel::Widened("  ", 1), "0");
    EXPECT_EQ(KeyLabel::Widened("1234", 4), "1234");
    EXPECT_EQ(KeyLabel::Widened(" 12 ", 4), "0012");
    EXPECT_EQ(KeyLabel::Widened("Иванов", 4), "Иванов");
    EXPECT_EQ(KeyLabel::ArmStatus(QDate(2024, 3, 1)), "АРМ 01.03.2024");
}

TEST(KeyNumberTest, TitleClicksAlternateTheDirectionOfOneColumn) {
    EXPECT_EQ(KeySort::AfterTitleClick(KeySort::kInitial, 1), 4);
    EXPECT_EQ(KeySort::AfterTitleClick(4, 1), 3);
    EXPECT_EQ(KeySort::AfterTitleClick(3, 0), 1);
    EXPECT_EQ(KeySort::AfterTitleClick(1, 0), 2);
    EXPECT_EQ(KeySort::AfterTitleClick(2, 2), 5);
    EXPECT_EQ(KeySort::AfterTitleClick(0, 2), 5);  // after a selection count of 0
    EXPECT_EQ(KeySort::AfterTitleClick(2, 7), 2);
    EXPECT_EQ(KeySort::OrderClause(1), "ORDER BY un_key");
    EXPECT_EQ(KeySort::OrderClause(4), "ORDER BY s_met DESC");
    EXPECT_EQ(KeySort::OrderClause(6), "ORDER BY status DESC");
    EXPECT_EQ(KeySort::OrderClause(0), QString());
}

}  // namespace
}  // namespace KeyNumberTestUnit
