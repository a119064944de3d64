#include "devices/SerialNumber.h"

#include <gtest/gtest.h>

namespace SerialNumberTestUnit {
namespace {

using namespace SerialNumber;

TEST(SerialNumber, LeavingTheFieldKeepsOnlyTheFormsEachKindAccepts) {
    EXPECT_EQ(Normalised(QStringLiteral(" 123456789 ")), QStringLiteral("A123456789"));
    EXPECT_EQ(Normalised(QStringLiteral("b123456789")), QStringLiteral("B123456789"));
    for (Kind kind : {Kind::Switch, Kind::CallPanel, Kind::Console}) {
        EXPECT_TRUE(Accepted(kind, QString()));
        EXPECT_TRUE(Accepted(kind, QStringLiteral("A123456789")));
        EXPECT_TRUE(Accepted(kind, QStringLiteral("J000000001")));
        EXPECT_FALSE(Accepted(kind, QStringLiteral("K123456789")));
        EXPECT_FALSE(Accepted(kind, QStringLiteral("A1234.6789")));
        EXPECT_FALSE(Accepted(kind, QStringLiteral("A12345")));
        EXPECT_FALSE(Accepted(kind, QStringLiteral("12345")));
        EXPECT_FALSE(Accepted(kind, QStringLiteral("1234567890")));
    }
    EXPECT_TRUE(Accepted(Kind::Switch, QStringLiteral("123456")));
    EXPECT_TRUE(Accepted(Kind::CallPanel, QStringLiteral("123456")));
    EXPECT_FALSE(Accepted(Kind::Console, QStringLiteral("123456")));
}

TEST(SerialNumber, TypingTakesALeadLetterThenDigits) {
    const QString empty;
    EXPECT_TRUE(TypedCharAllowed(Kind::CallPanel, empty, QLatin1Char('c')));
    EXPECT_TRUE(TypedCharAllowed(Kind::CallPanel, empty, QLatin1Char('7')));
    EXPECT_FALSE(TypedCharAllowed(Kind::CallPanel, empty, QLatin1Char('K')));
    EXPECT_FALSE(TypedCharAllowed(Kind::CallPanel, QStringLiteral("A"), QLatin1Char('B')));
    EXPECT_TRUE(TypedCharAllowed(Kind::CallPanel, QStringLiteral("A"), QLatin1Char('1')));
    EXPECT_FALSE(TypedCharAllowed(Kind::CallPanel, QStringLiteral("A123456789"), QLatin1Char('1')));
    EXPECT_TRUE(TypedCharAllowed(Kind::CallPanel, QStringLiteral("A123456789"), QLatin1Char('\b')));
    EXPECT_FALSE(TypedCharAllowed(Kind::Console, QStringLiteral("A1"), QLatin1Char('.')));
    // The switch editor's keyboard has always let the dot through; storing refuses it.
    EXPECT_TRUE(TypedCharAllowed(Kind::Switch, QStringLiteral("A1"), QLatin1Char('.')));
    EXPECT_TRUE(TypedCharAllowed(Kind::Switch, QStringLiteral("A123456789"), QLatin1Char('.')));
}
}  // namespace
}  // namespace SerialNumberTestUnit
