#include "pdf_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace tarvik;
using namespace tarvik::test;

namespace {

// A writer in points on a portrait A4 page rounded to 842 points, as the certificate uses it.
struct PointsPage : PdfTestBed {
    explicit PointsPage(bool fonts = true) : PdfTestBed(fonts) {
        printer().PDFSetUnit(0);
        printer().PDFOrientation(1);
        Begin();
    }
};

std::string TextObject(const std::string& colour, const std::string& position, int font,
                       const std::string& size, const std::string& text) {
    return "q " + colour + " \r\n%DEBUT_TEXT/%\r\nBT\r\n" + position + "\r\n/F" +
           std::to_string(font) + " " + size + " Tf\r\n(" + text + ") Tj\r\nET\r\nQ\r\n" +
           "%FIN_TEXT/%\r\n";
}

} // namespace

TEST(PdfText, TextObjectIsPlacedFromTheLeftMarginAndTheTopEdge) {
    PointsPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 10);
    p.PDFTextOut("Tarvik", 15, 40);
    p.PDFTextOut("", 15, 60);
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    // The sorted standard fonts make Helvetica font 5.
    EXPECT_EQ(PageContent(pdf), TextObject("0 g", "16.00 802.00 Td", 5, "10.00", "Tarvik") +
                                    TextObject("0 g", "16.00 782.00 Td", 5, "10.00", ""));
    EXPECT_NE(PdfToText(page.file()).find("Tarvik"), std::string::npos);
    EXPECT_TRUE(page.sink().messages.empty());
}

TEST(PdfText, FontCodesAndStylesChooseTheBaseFont) {
    PointsPage page;
    PDFPrinter& p = page.printer();
    const struct {
        long code, style;
        int font; // position among the sorted AFM names; 0 for names no metric file carries
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
    std::string expected;
    for (const auto& c : cases) {
        p.PDFSetFont(c.code, 10, c.style);
        p.PDFTextOut("x", 20, 20);
        expected += "/F" + std::to_string(c.font) + " 10.00 Tf\r\n";
    }
    const std::string content = PageContent(page.Finish());
    std::string fonts;
    for (size_t at = content.find("/F"); at != std::string::npos; at = content.find("/F", at + 1)) {
        fonts += content.substr(at, content.find("\r\n", at) + 2 - at);
    }
    EXPECT_EQ(fonts, expected);
    // Each unknown name is told once: its metrics cannot be read.
    ASSERT_EQ(page.sink().messages.size(), 2u);
    EXPECT_EQ(page.sink().messages[0].title, "Métrique de Font - qkPDF 4.0");
    EXPECT_NE(page.sink().messages[0].text.find("TimesItalic.afm"), std::string::npos);
    EXPECT_NE(page.sink().messages[1].text.find("Symbol-Bold.afm"), std::string::npos);
}

TEST(PdfText, AnUnknownFontCodeFallsBackToTimesRoman) {
    PointsPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFont(7, 12, 2);
    p.PDFTextOut("x", 20, 20);
    const std::string content = PageContent(page.Finish());
    EXPECT_NE(content.find("/F0 12.00 Tf"), std::string::npos);
    ASSERT_GE(page.sink().messages.size(), 1u);
    EXPECT_EQ(page.sink().messages[0].title, "Nom de Font - qkPDF 4.0");
    EXPECT_EQ(page.sink().messages[0].text,
              "Nom de font incorrecte : 7.\r\n"
              "La font utilisée sera Times New Roman non gras , non italique.");
    EXPECT_EQ(page.sink().messages[0].icon, PdfMessageIcon::Stop);
    EXPECT_TRUE(QpdfCheck(page.file()).output.find("No syntax or stream encoding errors") !=
                std::string::npos);
}

TEST(PdfText, EscapingSizeZeroAndContinuation) {
    PointsPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 0);
    p.PDFTextOut("a(b)c\\d", 15, 40);
    // "a(b)c\d" is 556+333+556+333+500+278+556 = 3112 thousandths, 31.12 points at size 10.
    EXPECT_EQ(p.PDFGetX(), 46);
    EXPECT_EQ(p.PDFGetY(), 50);
    p.PDFTextOut("next", 0, 0);
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    EXPECT_EQ(PageContent(pdf), TextObject("0 g", "16.00 802.00 Td", 5, "10.00", "a\\(b\\)c\\\\d") +
                                    TextObject("0 g", "47.12 792.00 Td", 5, "10.00", "next"));
    EXPECT_NE(PdfToText(page.file()).find("a(b)c\\d"), std::string::npos);
}

TEST(PdfText, UnderlineAppliesToTheNextTextOnly) {
    PointsPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 10, 3);
    p.PDFTextOut("a b", 15, 40);
    p.PDFTextOut("plain", 15, 60);
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    // "up" is 11.12 points, rounded to 11; "a b" is 13.90 points and its space 2.78 more.
    EXPECT_EQ(PageContent(pdf), "q 0 g \r\n%DEBUT_TEXT/%\r\nBT\r\n16.00 802.00 Td\r\n"
                                "/F5 10.00 Tf\r\n(a b) Tj\r\nET\r\n"
                                "16.00 800.11 16.68 -0.03 re f\r\nQ\r\n%FIN_TEXT/%\r\n" +
                                    TextObject("0 g", "16.00 782.00 Td", 5, "10.00", "plain"));
}

TEST(PdfText, RotationUsesTheTextMatrixFromTheLeftEdgeOnce) {
    PointsPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 10);
    p.PDFSetRotation(45);
    p.PDFTextOut("slanted", 100, 200);
    // 180 degrees shows the 3.1416 taken for pi: its sine is not quite 0.
    p.PDFSetRotation(180);
    p.PDFTextOut("upside down", 300, 400);
    p.PDFTextOut("straight", 100, 300);
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    EXPECT_EQ(PageContent(pdf),
              TextObject("0 g", "0.70711 0.70711 -0.70711 0.70711 100.00 642.00 Tm", 5, "10.00",
                         "slanted") +
                  TextObject("0 g", "-1.00000 -0.00001 0.00001 -1.00000 300.00 442.00 Tm", 5,
                             "10.00", "upside down") +
                  TextObject("0 g", "101.00 542.00 Td", 5, "10.00", "straight"));
}

TEST(PdfText, TextIsWrittenInWindows1252AndReadsBack) {
    PointsPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 12);
    p.PDFTextOut("Génération 5 € – ok 中", 20, 40);
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    EXPECT_NE(PageContent(pdf).find("(G\xE9n\xE9ration 5 \x80 \x96 ok ?) Tj"), std::string::npos);
    EXPECT_NE(PdfToText(page.file()).find("Génération 5 € – ok ?"), std::string::npos);
}

TEST(PdfText, WidthsComeFromTheMetricFiles) {
    PdfTestBed bed;
    PDFPrinter& p = bed.printer();
    // Before a font is chosen texts go out in font 1, Courier, and are measured with it.
    EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("ab", "", 10), 12);
    // T a r v i k in Helvetica: 611 + 556 + 333 + 500 + 222 + 500.
    EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("Tarvik", "Helvetica", 10), 27.22);
    EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("Tarvik", "Courier", 12), 6 * 600 * 12 / 1000.0);
    p.PDFSetFont(0, 20, 2);
    // A character counts by its code: 233 is "é" in the document and 778 wide in the metrics.
    EXPECT_DOUBLE_EQ(p.PDFGetStringWidth("é", "", 10), 7.78);
    p.PDFSetUnit(1);
    EXPECT_DOUBLE_EQ(p.PDFTextHeight(), 20 * 72 / 25.4);
    EXPECT_TRUE(bed.sink().messages.empty());
}

TEST(PdfText, FontsAreNumberedByTheSortedMetricFiles) {
    PdfTestBed bed(false);
    const auto folder = bed.dir() / "three fonts";
    std::filesystem::create_directories(folder);
    for (const char* name : {"Helvetica-Bold", "Helvetica", "Courier"}) {
        std::filesystem::copy_file(StandardFontsFolder() / (std::string(name) + ".afm"),
                                   folder / (std::string(name) + ".afm"));
    }
    std::ofstream(folder / "readme.txt") << "not a font";
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
    EXPECT_EQ(ObjectText(pdf, 4), "4 0 obj\r\n<< /Type /Font\r\n/Subtype /Type1\r\n/Name /F1\r\n"
                                  "/BaseFont /Courier\r\n/Encoding /WinAnsiEncoding\r\n>>\r\n"
                                  "endobj\r\n");
    EXPECT_NE(ObjectText(pdf, 8).find("/F1 4 0 R \r\n/F2 5 0 R \r\n/F3 6 0 R \r\n>>"),
              std::string::npos);
    EXPECT_NE(RunTool("pdffonts " + ShellQuoted(bed.file())).output.find("Helvetica-Bold"),
              std::string::npos);
}

TEST(PdfText, AMissingMetricFileGivesWidthZeroAndOneMessage) {
    PointsPage page(false);
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 10);
    p.PDFTextOut("one", 15, 40);
    EXPECT_EQ(p.PDFGetX(), 15);
    p.PDFTextOut("two", 15, 60);
    page.Finish();
    ASSERT_EQ(page.sink().messages.size(), 1u);
    const auto& message = page.sink().messages[0];
    EXPECT_EQ(message.title, "Métrique de Font - qkPDF 4.0");
    EXPECT_EQ(message.text, "Fichier de métrique de font introuvable : " +
                                (page.dir() / "program" / "Helvetica.afm").string() +
                                ".\r\nLa largeur des textes dans cette font sera nulle.");
}
