// The forms numbers and texts take in a document.
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_printer.h"
#include "pdf/pdf_prompts_sink.h"
#include "pdf/windows_1252.h"

#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tarvik;
using namespace tarvik::pdf;

// The forms the rest of the writer's tests do not reach.
TEST(PdfNumberFormat, HalvesRoundUpInFixedFormsAndToEvenInWholeNumbers) {
    EXPECT_EQ(FormatFixed(0.125, 2), "0.13");
    EXPECT_EQ(FormatFixed(2.675, 2), "2.68"); // the decimal value, not the binary one
    EXPECT_EQ(FormatFixed(9.999, 2), "10.00");
    EXPECT_EQ(FormatFixed(1.5, 0), "2.");
    EXPECT_EQ(FormatFixed(-0.001, 2), "-0.00");
    EXPECT_EQ(FormatPlain(1e22), "10000000000000000000000");
    EXPECT_EQ(PadOffset("12345678901"), "12345678901");
    const std::pair<double, long long> rounded[] = {
        {2.5, 2},         {3.5, 4}, {-2.5, -2}, {-2.6, -3}, {1e300, 9000000000000000000LL},
        {std::nan(""), 0}};
    for (const auto& [value, whole] : rounded)
        EXPECT_EQ(RoundHalfEven(value), whole) << value;
}

TEST(Windows1252, KeepsWhatTheCodePageHoldsAndMarksTheRest) {
    const std::pair<std::string, std::string> cases[] = {
        {"G\xC3\xA9n\xC3\xA9ration", "G\xE9n\xE9ration"},
        {"\xE2\x82\xAC 5", "\x80 5"},               // euro sign
        {"\xC5\xB8", "\x9F"},                       // Y with diaeresis
        {"\xE2\x80\x9Cq\xE2\x80\x9D", "\x93q\x94"}, // curly quotes
        {"\xE4\xB8\xAD", "?"},                      // a CJK character
        {"\xF0\x9F\x98\x80!", "?!"},                // outside the BMP
        {"\xC2\x81", "?"},                          // U+0081 is no character of the code page
        // Broken UTF-8: a question mark per byte.
        {"a\xE9z", "a?z"},
        {"\xC3", "?"},
        {"\xC0\xAF", "??"},      // overlong "/"
        {"\xED\xA0\x80", "???"}, // a UTF-16 surrogate
        {std::string("a\0b", 3), std::string("a\0b", 3)}};
    for (const auto& [utf8, code] : cases)
        EXPECT_EQ(ToWindows1252(utf8), code) << utf8;
}

TEST(PdfPromptsSink, MessagesBecomeMessageBoxesOfTheToolkit) {
    test::TempDir dir;
    test::ScriptedPrompts prompts;
    PromptsPdfMessageSink sink(prompts);
    PdfPrinterServices services;
    services.messages = &sink;
    services.programFolder = dir.path();
    PDFPrinter p(services);
    p.PDFSetUnit(9);
    p.PDFConfirm(true);
    p.PDFFileName((dir / "x.pdf").string());
    p.PDFBeginDoc();
    ASSERT_TRUE(p.PDFEndDoc());
    const auto& shown = prompts.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, test::ScriptedPrompts::Shown::Kind::Inform);
    EXPECT_EQ(shown[0].title, "Code Unité de Mesure - qkPDF 4.0");
    EXPECT_EQ(shown[0].icon, PromptIcon::Critical);
    EXPECT_EQ(shown[1].text, "Fichier PDF généré.");
    EXPECT_EQ(shown[1].icon, PromptIcon::None);
}
