// The forms numbers and texts take in a document, and the toolkit's message boxes.
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_prompts_sink.h"
#include "pdf/windows_1252.h"

#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tarvik;
using namespace tarvik::pdf;

TEST(PdfNumberFormat, HalvesRoundUpInFixedFormsAndToEvenInWholeNumbers) {
    // The decimal value is rounded, not the binary one (2.675 is 2.67499... in binary).
    EXPECT_EQ(FormatFixed(0.125, 2) + FormatFixed(2.675, 2) + FormatFixed(9.999, 2) +
                  FormatFixed(1.5, 0) + FormatFixed(-0.001, 2),
              "0.132.6810.002.-0.00");
    EXPECT_EQ(FormatPlain(1e22) + " " + PadOffset("12345678901"),
              "10000000000000000000000 12345678901");
    const std::pair<double, long long> rounded[] = {
        {2.5, 2},         {3.5, 4}, {-2.5, -2}, {-2.6, -3}, {1e300, 9000000000000000000LL},
        {std::nan(""), 0}};
    for (const auto& [value, whole] : rounded)
        EXPECT_EQ(RoundHalfEven(value), whole) << value;
}

TEST(Windows1252, KeepsWhatTheCodePageHoldsAndMarksTheRest) {
    // Euro, Y with diaeresis, curly quotes; a CJK character, one outside the BMP and U+0081,
    // which the code page lacks; broken UTF-8 (cut, overlong, a surrogate): "?" per byte.
    EXPECT_EQ(
        ToWindows1252("G\xC3\xA9n \xE2\x82\xAC \xC5\xB8 \xE2\x80\x9Cq\xE2\x80\x9D "
                      "\xE4\xB8\xAD \xF0\x9F\x98\x80 \xC2\x81 a\xE9z \xC0\xAF \xED\xA0\x80 \xC3"),
        "G\xE9n \x80 \x9F \x93q\x94 ? ? ? a?z ?? ??? ?");
    EXPECT_EQ(ToWindows1252(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(PdfPromptsSink, MessagesBecomeMessageBoxesOfTheToolkit) {
    test::ScriptedPrompts prompts;
    PromptsPdfMessageSink sink(prompts);
    sink.Show("Style - qkPDF 4.0", "Code incorrect : 4.\r\nLigne pleine.", PdfMessageIcon::Stop);
    sink.Show("Génération - qkPDF 4.0", "Fichier PDF généré.", PdfMessageIcon::None);
    std::string shown;
    for (const auto& box : prompts.shown())
        shown += box.title + ": " + box.text + (box.icon == PromptIcon::Critical ? " (stop)" : "") +
                 (box.kind == test::ScriptedPrompts::Shown::Kind::Inform ? "\n" : "?\n");
    EXPECT_EQ(shown, "Style - qkPDF 4.0: Code incorrect : 4.\r\nLigne pleine. (stop)\n"
                     "Génération - qkPDF 4.0: Fichier PDF généré.\n");
}
