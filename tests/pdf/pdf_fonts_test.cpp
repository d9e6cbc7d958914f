#include "pdf/afm_metrics.h"

#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::pdf;
using namespace tarvik::test;

TEST(PdfFonts, CodesAndStylesChooseTheBaseFontByItsPlaceAmongTheSortedMetricFiles) {
    const struct {
        long code, style;
        int font;             // 0 for names no metric file carries
    } cases[] = {{2, 0, 13},  // Times-Roman
                 {2, 12, 11}, // Times-BoldItalic
                 {2, 2, 10},  // Times-Bold
                 {0, 2, 6},   // Helvetica-Bold
                 {0, 1, 8},   // Helvetica-Oblique
                 {0, 21, 7},  // Helvetica-BoldOblique
                 {1, 0, 1},   // Courier
                 {1, 3, 1},   // Courier, underlined
                 {4, 0, 14},  // ZapfDingbats
                 {2, 1, 0},   // "TimesItalic", no hyphen: no such font
                 {3, 2, 0}};  // "Symbol-Bold": no such font
    const Written written = WrittenBy([&](PDFPrinter& p) {
        for (const auto& c : cases) {
            p.PDFSetFont(c.code, 10, c.style);
            p.PDFTextOut("x", 20, 20);
        }
    });
    const std::string& content = written.content;
    const std::vector<std::string>& messages = written.messages;
    std::string fonts, expected;
    for (size_t at = content.find("/F"); at != std::string::npos; at = content.find("/F", at + 1))
        fonts += content.substr(at, content.find("|", at) + 1 - at);
    for (const auto& c : cases)
        expected += "/F" + std::to_string(c.font) + " 10.00 Tf|";
    EXPECT_EQ(fonts, expected);
    // Each unknown name is told once: its metrics cannot be read.
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].starts_with("!Métrique de Font - qkPDF 4.0: ")) << messages[0];
    EXPECT_NE(messages[0].find("TimesItalic.afm"), std::string::npos);
    EXPECT_NE(messages[1].find("Symbol-Bold.afm"), std::string::npos);
}

TEST(PdfFonts, WidthsComeFromTheMetricFiles) {
    PdfTestBed bed;
    PDFPrinter& p = bed.printer();
    // Before a font is chosen texts go out in font 1, Courier, and are measured with it.
    EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("ab", "", 10), 12);
    // T a r v i k in Helvetica: 611 + 556 + 333 + 500 + 222 + 500.
    EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("Tarvik", "Helvetica", 10), 27.22);
    p.PDFSetFont(0, 20, 2);
    // A character counts by its code: 233 is "é" in the document and 778 wide in the metrics.
    EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("é", "", 10), 7.78);
    p.PDFSetUnit(1);
    EXPECT_DOUBLE_EQ(p.PDFTextHeight(), 20 * 72 / 25.4);
    EXPECT_TRUE(bed.messages().empty());
}

TEST(PdfFonts, OnlyTheMetricFilesOfTheChosenFolderAreFonts) {
    PdfTestBed bed(false);
    const auto folder = bed.dir() / "fonts.afm"; // the folder's name makes nothing a font
    std::filesystem::create_directories(folder);
    for (const char* name : {"Helvetica-Bold", "Helvetica", "Courier"})
        std::filesystem::copy_file(StandardFontsFolder() / (std::string(name) + ".afm"),
                                   folder / (std::string(name) + ".afm"));
    std::filesystem::copy_file(StandardFontsFolder() / "Courier.afm", folder / "My Font(2).afm");
    WriteBytes(folder / "readme.txt", "not a font");
    PDFPrinter& p = bed.printer();
    p.PDFLoadAfm((bed.dir() / "empty").string()); // finds nothing: the list stays
    p.PDFLoadAfm(folder.string());
    p.PDFLoadAfm((bed.dir() / "missing").string());
    p.PDFSetUnit(0);
    bed.Begin();
    p.PDFSetFont(0, 10, 2);
    p.PDFTextOut("bold", 20, 40);
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    EXPECT_NE(PageContent(pdf).find("/F3 10.00 Tf"), std::string::npos);
    EXPECT_EQ(Bars(ObjectText(pdf, 4)), "4 0 obj|<< /Type /Font|/Subtype /Type1|/Name /F1|"
                                        "/BaseFont /Courier|/Encoding /WinAnsiEncoding|>>|endobj|");
    // A name that is no PDF name is encoded.
    EXPECT_NE(ObjectText(pdf, 7).find("/BaseFont /My#20Font#282#29\r\n"), std::string::npos);
    EXPECT_NE(ObjectText(pdf, 9).find("/F1 4 0 R \r\n/F2 5 0 R \r\n/F3 6 0 R \r\n/F4 7 0 R \r\n>>"),
              std::string::npos);
    EXPECT_NE(RunTool("pdffonts " + ShellQuoted(bed.file())).output.find("Helvetica-Bold"),
              std::string::npos);
}

TEST(PdfFonts, AMissingMetricFileGivesWidthZeroAndOneMessage) {
    PointsPage page(false);
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 10);
    p.PDFTextOut("one", 15, 40);
    EXPECT_EQ(p.PDFGetX(), 15);
    p.PDFTextOut("two", 15, 60);
    page.Finish();
    EXPECT_EQ(page.messages(),
              std::vector<std::string>{"!Métrique de Font - qkPDF 4.0: Fichier de métrique de font "
                                       "introuvable : " +
                                       (page.dir() / "program" / "Helvetica.afm").string() +
                                       ".|La largeur des textes dans cette font sera nulle."});
}

TEST(PdfFonts, TextsReadBackFromAReader) {
    PointsPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 12);
    p.PDFTextOut("a(b)c\\d", 20, 40);
    p.PDFTextOut("Génération 5 € – ok 中", 20, 80);
    page.Content();
    const std::string text = PdfToText(page.file());
    EXPECT_NE(text.find("a(b)c\\d"), std::string::npos) << text;
    EXPECT_NE(text.find("Génération 5 € – ok ?"), std::string::npos) << text;
}

TEST(AfmMetrics, ReadsTheWidthsOfEncodedCharactersBetweenTheFirstAndLastRead) {
    const auto widths = ParseAfmWidths("StartFontMetrics 4.1\r\nStartCharMetrics 5\r\n"
                                       "C 32 ; WX 278 ; N space ; B 0 0 0 0 ;\r\n"
                                       "C 65 ; WX 667.7 ; N A ; B 14 0 654 718 ;\r\n"
                                       "this line is no metric\r\n"
                                       "C 300 ; WX 999 ; N beyond ;\r\n"
                                       "C x ; WX 999 ; N bad ;\r\n"
                                       "C 120 ; WX 30 ;\r\n"
                                       "C 20 ; WX 40 ;\r\n"
                                       "C 90 ; WX 611 ; N Z ;\r\n"
                                       "C -1 ; WX 500 ; N unencoded ;\r\n"
                                       "C 97 ; WX 556 ; N a ;\r\nEndCharMetrics\r\n");
    EXPECT_EQ(widths.byCode[65], 667); // the whole part
    EXPECT_EQ(widths.byCode[90], 611);
    EXPECT_EQ(widths.byCode[20], 0);  // below the first code read
    EXPECT_EQ(widths.byCode[120], 0); // above the last
    EXPECT_EQ(widths.byCode[97], 0);  // after the first unencoded character
    EXPECT_EQ(SumWidths(widths, "A Z"), 667 + 278 + 611);
    EXPECT_EQ(ParseAfmWidths("C 65 ; WX 500 ;\n").byCode[65], 0); // no metrics section
}

TEST(AfmMetrics, ListsTheFontsOfAFolderSortedByName) {
    TempDir dir;
    for (const char* name :
         {"Helvetica-Bold.afm", "Helvetica.afm", "Courier.AFM", "notes.txt", "old.afm.bak"})
        WriteBytes(dir / name, "x");
    std::filesystem::create_directory(dir / "folder.afm");
    EXPECT_EQ(ListAfmNames(dir.path()),
              (std::vector<std::string>{"Courier", "Helvetica", "Helvetica-Bold", "old.afm"}));
    EXPECT_TRUE(ListAfmNames(dir / "missing").empty());
    EXPECT_FALSE(ReadAfmWidthsFile(dir / "missing.afm").has_value());
}
