#include "pdf/pdf_text_escape.h"

#include <gtest/gtest.h>

using namespace tarvik::pdf;

TEST(PdfTextEscape, TextStringsEscapeEveryDelimiter) {
    EXPECT_EQ(EscapeText("a(b)c\\d"), "a\\(b\\)c\\\\d");
    EXPECT_EQ(EscapeText(""), "");
}

TEST(PdfTextEscape, InformationTextsEscapeOnlyWhatWouldBreakTheString) {
    EXPECT_EQ(EscapeUnbalanced("Certificate (copy)"), "Certificate (copy)");
    EXPECT_EQ(EscapeUnbalanced("((a)(b))"), "((a)(b))");
    EXPECT_EQ(EscapeUnbalanced(":-)"), ":-\\)");
    EXPECT_EQ(EscapeUnbalanced("(open"), "\\(open");
    EXPECT_EQ(EscapeUnbalanced(")("), "\\)\\(");
    EXPECT_EQ(EscapeUnbalanced("x(y(z)"), "x\\(y(z)");
    EXPECT_EQ(EscapeUnbalanced("C:\\certs"), "C:\\\\certs");
    EXPECT_EQ(EscapeUnbalanced("end\\"), "end\\\\");
}

TEST(PdfTextEscape, NamesHexEncodeDelimitersAndSpaces) {
    EXPECT_EQ(EscapeName("Helvetica-Bold"), "Helvetica-Bold");
    EXPECT_EQ(EscapeName("My Font(1)/#"), "My#20Font#281#29#2F#23");
    EXPECT_EQ(EscapeName("\xE9"), "#E9");
}
