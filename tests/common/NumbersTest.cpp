#include "support/TestSupport.h"
#include "common/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>


TEST(LeadingNumber, ReadsTheNumberAtTheStartOfATextLikeTheFieldsDo)
{
    EXPECT_EQ(common::leadingNumber("1 2"), 12);
    EXPECT_EQ(common::leadingNumber("3 - Tempo"), 3);
    EXPECT_EQ(common::leadingNumber("12-Lower Square"), 12);
    EXPECT_EQ(common::leadingNumber("1-90%"), 1);
    EXPECT_EQ(common::leadingNumber("Square"), 0);
    EXPECT_EQ(common::leadingNumber(""), 0);
    EXPECT_EQ(common::leadingNumber(" \t-2\n5x"), -25);
    EXPECT_EQ(common::leadingNumber("2.5"), 2.5);
    EXPECT_EQ(common::leadingNumber(".5"), 0.5);
    EXPECT_EQ(common::leadingNumber("1e3"), 1000);
    EXPECT_EQ(common::leadingNumber("1E"), 1);
    EXPECT_EQ(common::leadingNumber("4e+x"), 4);
    EXPECT_EQ(common::leadingNumber("-"), 0);
    EXPECT_EQ(common::leadingNumber("00011"), 11);
}

TEST(LeadingNumber, HugeInputsSaturateInsteadOfFailing)
{
    EXPECT_TRUE(std::isinf(common::leadingNumber("1e999")));
    EXPECT_GT(common::leadingNumber(std::string(10000, '9')), 255);
    EXPECT_LT(common::leadingNumber("-" + std::string(10000, '9')), 0);
    EXPECT_EQ(common::leadingNumber("-0"), 0);
}

TEST(LeadingNumber, ReadsTheSameUnderADecimalCommaLocale)
{
    testing_support::CommaLocale comma;
    if (!comma.ok())
        GTEST_SKIP() << "no decimal-comma locale installed";
    EXPECT_EQ(common::leadingNumber("2.5"), 2.5);
    EXPECT_EQ(common::leadingNumber("-0.125e1"), -1.25);
    EXPECT_EQ(common::leadingNumber("2,5"), 2);
    EXPECT_EQ(common::leadingNumber(common::formatNumber(0.1 + 0.2)), 0.1 + 0.2);
}

TEST(FormatNumber, WritesPlainDecimal)
{
    EXPECT_EQ(common::formatNumber(3), "3");
    EXPECT_EQ(common::formatNumber(-1), "-1");
    EXPECT_EQ(common::formatNumber(2.5), "2.5");
    EXPECT_EQ(common::formatNumber(-0.0), "0");
    EXPECT_EQ(common::formatNumber(65), "65");
    EXPECT_EQ(common::formatNumber(0.1 + 0.2), "0.30000000000000004");
    // Never an exponent, however large or small.
    EXPECT_EQ(common::formatNumber(1e20), "100000000000000000000");
    EXPECT_EQ(common::formatNumber(-2.5e-7), "-0.00000025");
    EXPECT_EQ(common::formatNumber(1e300).size(), 301u);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(common::roundHalfEven(2.5), 2);
    EXPECT_EQ(common::roundHalfEven(3.5), 4);
    EXPECT_EQ(common::roundHalfEven(2.6), 3);
    EXPECT_EQ(common::roundHalfEven(-0.5), 0);
}
