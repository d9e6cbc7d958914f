#include "pdf/afm_metrics.h"

#include "pdf_test_support.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::pdf;
using namespace tarvik::test;

TEST(PdfFonts, CodesAndStylesChooseTheBaseFontByItsPlaceAmongTheSortedMetricFiles) {
    // Times-Roman, -BoldItalic, -Bold; Helvetica-Bold, -Oblique, -BoldOblique; Courier, also
    // underlined; ZapfDingbats; "TimesItalic" (twice) and "Symbol-Bold", which no file carries:
    // each told once.
    const std::pair<long, long> fonts[] = {{2, 0}, {2, 12}, {2, 2}, {0, 2}, {0, 1}, {0, 21},
                                           {1, 0}, {1, 3},  {4, 0}, {2, 1}, {2, 1}, {3, 2}};
    std::vector<Step> steps{[](PDFPrinter& p) {
        // Before a font is chosen texts are measured in font 1, Courier. T a r v i k in
        // Helvetica: 611 + 556 + 333 + 500 + 222 + 500. A character counts by its code: 233 is
        // "é" in the document and 778 wide in the metrics. A text's height is its size times
        // the scale.
        EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("ab", "", 10), 12);
        EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("Tarvik", "Helvetica", 10), 27.22);
        p.PDFSetFont(0, 20, 2);
        EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("é", "", 10), 7.78);
        p.PDFSetUnit(1);
        EXPECT_DOUBLE_EQ(p.PDFTextHeight(), 20 * 72 / 25.4);
        p.PDFSetUnit(0);
    }};
    for (const auto& font : fonts)
        steps.push_back([font](PDFPrinter& p) {
            p.PDFSetFont(font.first, 10, font.second);
            p.PDFTextOut("x", 20, 20);
        });
    const Written written = WrittenBy(steps);
    std::string chosen;
    for (size_t at = written.content.find("/F"); at != std::string::npos;
         at = written.content.find("/F", at + 1))
        chosen += written.content.substr(at, written.content.find(' ', at) - at);
    EXPECT_EQ(chosen, "/F13/F11/F10/F6/F8/F7/F1/F1/F14/F0/F0/F0");
    EXPECT_EQ(Joined(written.messages),
              "!Métrique de Font - qkPDF 4.0: Fichier de métrique de font introuvable : "
              "<dir>/program/TimesItalic.afm.|La largeur des textes dans cette font sera nulle.\n"
              "!Métrique de Font - qkPDF 4.0: Fichier de métrique de font introuvable : "
              "<dir>/program/Symbol-Bold.afm.|La largeur des textes dans cette font sera nulle.\n");
}

// Files whose name holds ".afm" in any case, sorted by name; not folders, nor other files.
TEST(PdfFonts, OnlyTheMetricFilesOfTheChosenFolderAreFonts) {
    PdfTestBed bed(false);
    const auto folder = bed.dir / "fonts.afm";
    std::filesystem::create_directories(folder / "folder.afm");
    const auto fonts = ProgramsFolder() / "Fonts";
    for (const char* name : {"Helvetica-Bold.afm", "Helvetica.afm"})
        std::filesystem::copy_file(fonts / name, folder / name);
    std::filesystem::copy_file(fonts / "Courier.afm", folder / "Courier.AFM");
    std::filesystem::copy_file(fonts / "Courier.afm", folder / "My Font(2).afm.bak");
    WriteBytes(folder / "readme.txt", "not a font");
    PDFPrinter& p = *bed.printer;
    p.PDFLoadAfm((bed.dir / "empty").string()); // finds nothing: the list stays
    p.PDFLoadAfm(folder.string());
    p.PDFLoadAfm((bed.dir / "missing").string());
    bed.Begin();
    p.PDFSetFont(0, 10, 2);
    p.PDFTextOut("bold", 2, 4);
    const std::string pdf = Bars(bed.Finish());
    EXPECT_NE(pdf.find("|/F3 10.00 Tf|"), std::string::npos);
    // A name that is no PDF name is encoded.
    EXPECT_NE(pdf.find("|4 0 obj|<< /Type /Font|/Subtype /Type1|/Name /F1|/BaseFont /Courier|"
                       "/Encoding /WinAnsiEncoding|>>|endobj||5 0 obj|"),
              std::string::npos);
    EXPECT_NE(pdf.find("/Name /F4|/BaseFont /My#20Font#282#29.afm|"), std::string::npos);
    EXPECT_NE(pdf.find("/Font << |/F1 4 0 R |/F2 5 0 R |/F3 6 0 R |/F4 7 0 R |>>"),
              std::string::npos);
}

// Widths of encoded characters between the first and last code read, up to the first
// unencoded one; lines that are no metrics, or name no 8-bit code, are passed over.
TEST(AfmMetrics, ReadsTheWidthsOfEncodedCharactersBetweenTheFirstAndLastRead) {
    const auto widths = ParseAfmWidths(
        "StartFontMetrics 4.1\nStartCharMetrics 5\nC 32 ; WX 278 ; N space ; B 0 0 0 0 ;\r\n"
        "C 65 ; WX 667.7 ; N A ;\nno metric\nC 300 ; WX 999 ;\nC x ; WX 999 ;\nC 120 ; WX 30 ;\n"
        "C 20 ; WX 40 ;\nC 90 ; WX 611 ; N Z ;\nC -1 ; WX 500 ;\nC 97 ; WX 556 "
        ";\nEndCharMetrics\n");
    EXPECT_EQ(
        std::vector<long long>({widths.byCode[65], widths.byCode[90], widths.byCode[20],
                                widths.byCode[120], widths.byCode[97], SumWidths(widths, "A Z")}),
        std::vector<long long>({667, 611, 0, 0, 0, 667 + 278 + 611}));
    EXPECT_EQ(ParseAfmWidths("C 65 ; WX 500 ;\n").byCode[65], 0); // no metrics section
}
