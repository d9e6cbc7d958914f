#include "pdf/pdf_number_format.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tarvik::pdf;

TEST(PdfNumberFormat, FixedDecimalsRoundOnTheDecimalValue) {
    EXPECT_EQ(FormatFixed(16, 2), "16.00");
    EXPECT_EQ(FormatFixed(802, 2), "802.00");
    EXPECT_EQ(FormatFixed(-50, 2), "-50.00");
    EXPECT_EQ(FormatFixed(0.567, 2), "0.57");
    EXPECT_EQ(FormatFixed(0.125, 2), "0.13");
    EXPECT_EQ(FormatFixed(2.675, 2), "2.68");
    EXPECT_EQ(FormatFixed(9.999, 2), "10.00");
    EXPECT_EQ(FormatFixed(1.5, 0), "2.");
    EXPECT_EQ(FormatFixed(12, 0), "12.");
    EXPECT_EQ(FormatFixed(0.70710678, 5), "0.70711");
    EXPECT_EQ(FormatFixed(192.0 / 255.0, 3), "0.753");
    EXPECT_EQ(FormatFixed(-0.001, 2), "-0.00");
    EXPECT_EQ(FormatFixed(-0.0, 2), "0.00");
}

TEST(PdfNumberFormat, PlainAndPaddedForms) {
    EXPECT_EQ(FormatPlain(595.28), "595.28");
    EXPECT_EQ(FormatPlain(842), "842");
    EXPECT_EQ(FormatPlain(841.89 - 70), "771.89");
    EXPECT_EQ(FormatPlain(-12.5), "-12.5");
    EXPECT_EQ(FormatPlain(1e22), "10000000000000000000000");
    EXPECT_EQ(PadOffset("10"), "0000000010");
    EXPECT_EQ(PadOffset("12345678901"), "12345678901");
}

TEST(PdfNumberFormat, HalfEvenRounding) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(841.89), 842);
    EXPECT_EQ(RoundHalfEven(595.28), 595);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.6), -3);
    EXPECT_EQ(RoundHalfEven(1e300), 9000000000000000000LL);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}
