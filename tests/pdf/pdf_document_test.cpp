#include "pdf_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace tarvik;
using namespace tarvik::test;

TEST(PdfDocument, EmptyPageIsWrittenByteForByte) {
    PdfTestBed bed(false);
    bed.Begin();
    const std::string pdf = bed.Finish();
    const std::string expected = "%PDF-1.3\r\n"
                                 "1 0 obj\r\n<<\r\n/Producer ()\r\n/Author ()\r\n"
                                 "/CreationDate (D:20261205100005)\r\n/Creator ()\r\n"
                                 "/Keywords ()\r\n/Subject ()\r\n/Title ()\r\n/ModDate ()\r\n"
                                 ">>\r\nendobj\r\n\r\n"
                                 "2 0 obj\r\n<< /Length 3 0 R\r\n >>\r\nstream\r\n"
                                 "endstream\r\nendobj\r\n\r\n"
                                 "3 0 obj\r\n0\r\nendobj\r\n\r\n"
                                 "4 0 obj\r\n<< /Type /Pages\r\n/Kids [\r\n6 0 R\r\n]\r\n"
                                 "/Count 1\r\n>>\r\nendobj\r\n\r\n"
                                 "5 0 obj\r\n<< /ProcSet [ /PDF /Text /ImageC]\r\n"
                                 "/XObject << \r\n>>\r\n/Font << \r\n>>\r\n>>\r\nendobj\r\n\r\n"
                                 "6 0 obj\r\n<< /Type /Page\r\n/Parent 4 0 R\r\n"
                                 "/MediaBox [ 0 0 595.28 841.89]\r\n/Resources 5 0 R\r\n"
                                 "/Contents 2 0 R\r\n>>\r\nendobj\r\n%FIN_OBJ/%\r\n\r\n"
                                 "7 0 obj\r\n<<\r\n/Type /Catalog\r\n/Pages 4 0 R\r\n"
                                 "/OpenAction [6 0 R /Fit]\r\n/PageLayout /SinglePage\r\n"
                                 ">>\r\nendobj\r\n\r\n"
                                 "xref\r\n0 8\r\n0000000000 65535 f\r\n"
                                 "0000000010 00000 n\r\n"
                                 "0000000161 00000 n\r\n"
                                 "0000000222 00000 n\r\n"
                                 "0000000244 00000 n\r\n"
                                 "0000000313 00000 n\r\n"
                                 "0000000404 00000 n\r\n"
                                 "0000000537 00000 n\r\n"
                                 "trailer\r\n<< /Size 8\r\n/Root 7 0 R\r\n/Info 1 0 R\r\n>>\r\n"
                                 "startxref\r\n645\r\n\r\n"
                                 "%%EOF\r\n";
    EXPECT_EQ(pdf, expected);
    ExpectSoundDocument(bed.file());
    EXPECT_TRUE(bed.sink().messages.empty());
}

namespace {

// The catalog of a one-page document written after `configure`.
std::string CatalogAfter(const std::function<void(PDFPrinter&)>& configure) {
    PdfTestBed bed(false);
    configure(bed.printer());
    bed.Begin();
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    const auto start = pdf.find("/Type /Catalog");
    return pdf.substr(start, pdf.find("endobj", start) - start);
}

} // namespace

TEST(PdfDocument, CatalogFollowsZoomLayoutPageModeAndViewerPreferences) {
    using Setting = std::function<void(PDFPrinter&)>;
    const struct {
        Setting setting;
        const char* part; // found in the catalog, or not at all when `absent`
        bool absent = false;
    } cases[] = {
        {[](PDFPrinter& p) { p.PDFSetZoomMode(1); },
         "/OpenAction [6 0 R /FitH null]\r\n/PageLayout /SinglePage\r\n>>"},
        {[](PDFPrinter& p) { p.PDFSetZoomMode(2); }, "/OpenAction [6 0 R /XYZ null null 1]\r\n"},
        {[](PDFPrinter& p) { p.PDFSetZoomMode(150); },
         "/OpenAction [6 0 R /XYZ null null 1.50]\r\n"},
        {[](PDFPrinter& p) { p.PDFSetZoomMode(3); }, "/OpenAction [6 0 R /XYZ null null 0.03]\r\n"},
        {[](PDFPrinter& p) { p.PDFSetLayoutMode(1); }, "/PageLayout /OneColumn\r\n"},
        {[](PDFPrinter& p) { p.PDFSetLayoutMode(2); }, "/PageLayout /TwoColumnLeft\r\n"},
        {[](PDFPrinter& p) { p.PDFSetLayoutMode(3); }, "/PageLayout", true},
        {[](PDFPrinter& p) { p.PDFSetViewerPreferences(12); },
         "/ViewerPreferences<<\r\n/HideMenubar true\r\n/HideToolbar true\r\n>>\r\n"},
        {[](PDFPrinter& p) { p.PDFSetViewerPreferences(654321); },
         "/ViewerPreferences<<\r\n/HideMenubar true\r\n/HideToolbar true\r\n"
         "/HideWindowUI true\r\n/DisplayDocTitle true\r\n/CenterWindow true\r\n"
         "/FitWindow true\r\n>>\r\n"},
        {[](PDFPrinter& p) { p.PDFUseThumbs(true); },
         "/PageLayout /SinglePage\r\n/PageMode /UseThumbs\r\n>>"},
        {[](PDFPrinter& p) { p.PDFUseOutlines(true); }, "/PageMode /UseOutlines\r\n"},
        // Outlines without a bookmark: no root to name.
        {[](PDFPrinter& p) { p.PDFUseOutlines(true); }, "/Outlines", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CatalogAfter(c.setting).find(c.part) == std::string::npos, c.absent) << c.part;
    }
}

TEST(PdfDocument, BadSettingsAreToldAndReplacedByTheirDefault) {
    PdfTestBed bed(false);
    PDFPrinter& p = bed.printer();
    p.PDFSetUnit(0);
    p.PDFSetUnit(5);
    EXPECT_EQ(p.PDFGetUnit(), "cm");
    p.PDFSetLayoutMode(2);
    p.PDFSetLayoutMode(7);
    EXPECT_EQ(p.PDFGetLayoutMode(), 0);
    p.PDFOrientation(4);
    p.PDFFormatPage(9);
    p.PDFFormatPage(std::vector<double>{100});
    const auto& shown = bed.sink().messages;
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].title, "Code Unité de Mesure - qkPDF 4.0");
    EXPECT_EQ(shown[0].text, "Code unité de mesure incorrect : 5.\r\n"
                             "L'Unité de Mesure utilisée sera le centimètre.");
    EXPECT_EQ(shown[1].title, "Layout Mode - qkPDF 4.0");
    EXPECT_EQ(shown[1].text, "Layout incorrect : 7.\r\nLe Layout utilisé sera le layout simple.");
    EXPECT_EQ(shown[2].title, "Type d'Orientation de Page - qkPDF 4.0");
    EXPECT_EQ(shown[2].text, "Code orientation de page incorrect : 4.\r\n"
                             "L'Orientation de la page sera le mode portrait.");
    EXPECT_EQ(shown[3].title, "Format de Page - qkPDF 4.0");
    EXPECT_EQ(shown[3].text,
              "Code format de page incorrect : 9.\r\nLe Format de page utilisé sera le format A4.");
    EXPECT_EQ(shown[4].text,
              "Code format de page incorrect : .\r\nLe Format de page utilisé sera le format A4");
    for (const auto& message : shown) {
        EXPECT_EQ(message.icon, PdfMessageIcon::Stop);
    }
    EXPECT_EQ(p.PDFGetPageWidth(), 595.28);
    EXPECT_EQ(p.PDFGetPageHeight(), 841.89);
}

TEST(PdfDocument, UnitsMarginsAndPositions) {
    PdfTestBed bed(false);
    PDFPrinter& p = bed.printer();
    EXPECT_EQ(p.PDFGetUnit(), "cm");
    p.PDFSetUnit(1);
    EXPECT_EQ(p.PDFGetUnit(), "mm");
    p.PDFSetUnit(0);
    EXPECT_EQ(p.PDFGetUnit(), "pt");
    EXPECT_EQ(p.PDFGetLeftMargin(), 1);
    EXPECT_EQ(p.PDFGetCellMargin(), 3);
    p.PDFSetLeftMargin(2.5);
    p.PDFSetTopMargin(3.5);
    EXPECT_EQ(p.PDFGetLeftMargin(), 2);
    EXPECT_EQ(p.PDFGetTopMargin(), 4);
    p.PDFSetMargins(5, 7);
    EXPECT_EQ(p.PDFGetRightMargin(), 5);
    EXPECT_EQ(p.PDFGetBottomMargin(), 7);
    p.PDFSetMargins(5, 7, 8, 9);
    EXPECT_EQ(p.PDFGetRightMargin(), 8);
    EXPECT_EQ(p.PDFGetBottomMargin(), 9);
    p.PDFSetCellMargin(1e9); // beyond a 16-bit number: kept at its largest value
    EXPECT_EQ(p.PDFGetCellMargin(), 32767);
    EXPECT_EQ(p.PDFGetX(), 1);
    EXPECT_EQ(p.PDFGetY(), 1);
}

TEST(PdfDocument, PageFormatsAndOrientationSetTheMediaBoxOfEachPage) {
    PdfTestBed bed(false);
    PDFPrinter& p = bed.printer();
    const double sizes[][2] = {
        {595.28, 841.89}, {841.89, 1190.55}, {420.94, 595.28}, {612, 792}, {612, 1008}};
    for (long code = 4; code >= 0; --code) {
        p.PDFFormatPage(code);
        EXPECT_EQ(p.PDFGetPageWidth(), sizes[code][0]);
        EXPECT_EQ(p.PDFGetPageHeight(), sizes[code][1]);
    }
    p.PDFOrientation(0); // A4 landscape: rounded to whole points, then exchanged
    EXPECT_EQ(p.PDFGetPageWidth(), 842);
    EXPECT_EQ(p.PDFGetPageHeight(), 595);
    bed.Begin();
    EXPECT_EQ(p.PDFNbPage(), 1);
    p.PDFEndPage();
    p.PDFOrientation(0); // twice exchanges them back
    p.PDFNewPage();
    p.PDFEndPage();
    p.PDFFormatPage(3); // Letter
    p.PDFNewPage();
    p.PDFEndPage();
    p.PDFFormatPage(std::vector<double>{300.5, 400.25});
    p.PDFNewPage();
    p.PDFEndPage();
    p.PDFFormatPage(1); // A3
    p.PDFOrientation(1);
    p.PDFNewPage();
    EXPECT_EQ(p.PDFPageNumber(), 5);
    EXPECT_EQ(p.PDFNbPage(), 1);
    const std::string pdf = bed.Finish();
    EXPECT_EQ(p.PDFNbPage(), 5);
    ExpectSoundDocument(bed.file());
    std::vector<std::string> boxes;
    for (size_t at = pdf.find("/MediaBox"); at != std::string::npos;
         at = pdf.find("/MediaBox", at + 1)) {
        boxes.push_back(pdf.substr(at, pdf.find("\r\n", at) - at));
    }
    EXPECT_EQ(boxes,
              (std::vector<std::string>{"/MediaBox [ 0 0 842 595]", "/MediaBox [ 0 0 595 842]",
                                        "/MediaBox [ 0 0 612 792]", "/MediaBox [ 0 0 300.5 400.25]",
                                        "/MediaBox [ 0 0 842 1191]"}));
    EXPECT_NE(RunTool("pdfinfo " + ShellQuoted(bed.file())).output.find("Pages:           5\n"),
              std::string::npos);
}

TEST(PdfDocument, FurtherPagesCarryTheirCommentLinesAndRealOffsets) {
    PdfTestBed bed;
    PDFPrinter& p = bed.printer();
    p.PDFSetUnit(0);
    bed.Begin();
    p.PDFSetFont(0, 12);
    p.PDFTextOut("first page", 20, 40);
    p.PDFEndPage();
    p.PDFNewPage();
    p.PDFTextOut("second page", 20, 40);
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    // Page 1's stream and length objects are framed by the comment lines.
    EXPECT_NE(pdf.find("%FIN_TEXT/%\r\nendstream\r\nendobj\r\n%FIN_OBJ/%\r\n\r\n"
                       "%DEBUT_OBJ/%\r\n3 0 obj\r\n"),
              std::string::npos);
    const std::string length = std::to_string(PageContent(pdf, 1).size());
    EXPECT_NE(pdf.find("%DEBUT_OBJ/%\r\n3 0 obj\r\n" + length +
                       "\r\nendobj\r\n%FIN_OBJ/%\r\n\r\n"
                       "4 0 obj\r\n<< /Length 5 0 R\r\n >>\r\nstream\r\n%DEBUT_OBJ/%\r\n"),
              std::string::npos);
    // The last page's length object has no comment lines.
    const std::string lastLength = std::to_string(PageContent(pdf, 2).size());
    EXPECT_NE(
        pdf.find("endstream\r\nendobj\r\n\r\n5 0 obj\r\n" + lastLength + "\r\nendobj\r\n\r\n"),
        std::string::npos);
    const std::string text = PdfToText(bed.file());
    EXPECT_NE(text.find("first page"), std::string::npos);
    EXPECT_NE(text.find("second page"), std::string::npos);
    EXPECT_LT(text.find("first page"), text.find("\f"));
}

TEST(PdfDocument, InformationTextsKeepBalancedParenthesesAndEscapeTheRest) {
    PdfTestBed bed(false);
    PDFPrinter& p = bed.printer();
    p.PDFTitle("Certificate (copy)");
    p.PDFAuthor("Field team :-)");
    p.PDFSubject("C:\\certs\\(old");
    p.PDFKeywords("Génération");
    p.PDFCreator("a ) b ( c");
    p.PDFProducer("x(y(z)");
    bed.Begin();
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    const std::string info = ObjectText(pdf, 1);
    EXPECT_NE(info.find("/Title (Certificate (copy))\r\n"), std::string::npos);
    EXPECT_NE(info.find("/Author (Field team :-\\))\r\n"), std::string::npos);
    EXPECT_NE(info.find("/Subject (C:\\\\certs\\\\\\(old)\r\n"), std::string::npos);
    EXPECT_NE(info.find("/Keywords (G\xE9n\xE9ration)\r\n"), std::string::npos);
    EXPECT_NE(info.find("/Creator (a \\) b \\( c)\r\n"), std::string::npos);
    EXPECT_NE(info.find("/Producer (x\\(y(z))\r\n"), std::string::npos);
    const std::string shown = RunTool("pdfinfo -enc UTF-8 " + ShellQuoted(bed.file())).output;
    EXPECT_NE(shown.find("Certificate (copy)"), std::string::npos);
    EXPECT_NE(shown.find("Field team :-)"), std::string::npos);
    EXPECT_NE(shown.find("C:\\certs\\(old"), std::string::npos);
    EXPECT_NE(shown.find("Génération"), std::string::npos);
}

TEST(PdfDocument, AFileThatCannotBeCreatedIsReportedByEndDoc) {
    PdfTestBed bed;
    PDFPrinter& p = bed.printer();
    p.PDFConfirm(true);
    p.PDFView(true);
    p.PDFFileName((bed.dir() / "no such folder" / "x.pdf").string());
    p.PDFBeginDoc();
    p.PDFSetFont(0, 10);
    p.PDFTextOut("lost", 10, 10);
    p.PDFEndPage();
    p.PDFNewPage();
    EXPECT_FALSE(p.PDFEndDoc());
    EXPECT_TRUE(bed.sink().messages.empty()); // no "generated" claim
    EXPECT_TRUE(bed.viewed.empty());
    EXPECT_FALSE(p.PDFEndDoc()); // a second end is harmless too
}

TEST(PdfDocument, EndDocConfirmsAndOpensTheViewerOnlyWhenAsked) {
    PdfTestBed quiet(false);
    quiet.Begin();
    quiet.Finish();
    EXPECT_TRUE(quiet.sink().messages.empty());
    EXPECT_TRUE(quiet.viewed.empty());

    PdfTestBed bed(false);
    bed.printer().PDFConfirm(true);
    bed.printer().PDFView(true);
    bed.Begin();
    bed.Finish();
    ASSERT_EQ(bed.sink().messages.size(), 1u);
    EXPECT_EQ(bed.sink().messages[0].title, "Génération du Fichier PDF - qkPDF 4.0");
    EXPECT_EQ(bed.sink().messages[0].text, "Fichier PDF généré.");
    EXPECT_EQ(bed.sink().messages[0].icon, PdfMessageIcon::None);
    EXPECT_EQ(bed.viewed, std::vector<std::filesystem::path>{bed.file()});
    EXPECT_EQ(bed.printer().PDFGetFileName(), bed.file().string());
}

TEST(PdfDocument, WatermarkIsSlantedAcrossEveryPage) {
    PdfTestBed bed;
    PDFPrinter& p = bed.printer();
    p.PDFSetUnit(0);
    p.PDFFiligran("DRAFT");
    bed.Begin();
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    // DRAFT in Helvetica-Bold at 50 points is 169.4 points wide; its place uses the sine and
    // cosine of 45 radians.
    const double w = 169.4;
    const double x = (595.28 - std::cos(45.0) * w) / 2.75;
    const double y = (std::sin(45.0) * w + 841.89) / 2.15;
    char matrix[128];
    std::snprintf(matrix, sizeof matrix, "0.70711 0.70711 -0.70711 0.70711 %.2f %.2f Tm", x,
                  841.89 - y);
    EXPECT_EQ(PageContent(pdf), std::string("q 1.000 0.753 0.796 rg \r\n%DEBUT_TEXT/%\r\nBT\r\n") +
                                    matrix + "\r\n/F6 50.00 Tf\r\n(DRAFT) Tj\r\nET\r\nQ\r\n" +
                                    "%FIN_TEXT/%\r\n");
    // A slanted text comes back from a reader letter by letter.
    const std::string text = PdfToText(bed.file());
    for (const char* piece : {"D", "R", "A", "FT"}) {
        EXPECT_NE(text.find(piece), std::string::npos) << piece;
    }
}

TEST(PdfDocument, UnusualCallOrdersStillGiveASoundFile) {
    PdfTestBed bed;
    PDFPrinter& p = bed.printer();
    p.PDFSetUnit(0);
    // Drawing before the document is open goes nowhere and harms nothing.
    p.PDFSetFont(0, 10);
    p.PDFTextOut("too early", 10, 10);
    p.PDFLink(10, 10, "early link");
    p.PDFNewPage();
    p.PDFSetBookmark("early bookmark", 0, 10);
    bed.Begin();
    p.PDFBeginDoc(); // a second header would break the file
    p.PDFTextOut("page one", 20, 40);
    p.PDFNewPage(); // without PDFEndPage: the page takes the last page format there is
    p.PDFTextOut("page two", 20, 40);
    p.PDFSetTextColor(1e300);
    p.PDFSetLeftMargin(-1e300);
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    EXPECT_EQ(pdf.find("%PDF-1.3", 1), std::string::npos);
    EXPECT_EQ(pdf.find("too early"), std::string::npos);
    EXPECT_EQ(pdf.find("/Annots"), std::string::npos);
    size_t boxes = 0;
    for (size_t at = pdf.find("/MediaBox [ 0 0 595.28 841.89]"); at != std::string::npos;
         at = pdf.find("/MediaBox [ 0 0 595.28 841.89]", at + 1)) {
        ++boxes;
    }
    EXPECT_EQ(boxes, 2u);
    EXPECT_NE(PdfToText(bed.file()).find("page two"), std::string::npos);
}

TEST(PdfDocument, FontNamesThatAreNoPdfNamesAreEncoded) {
    PdfTestBed bed(false);
    const auto fonts = bed.dir() / "fonts.afm"; // the folder's name does not make its files fonts
    std::filesystem::create_directories(fonts);
    std::filesystem::copy_file(StandardFontsFolder() / "Courier.afm", fonts / "My Font(2).afm");
    WriteBytes(fonts / "notes.txt", "not a font");
    PDFPrinter& p = bed.printer();
    p.PDFLoadAfm(fonts.string());
    bed.Begin();
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    EXPECT_NE(pdf.find("/BaseFont /My#20Font#282#29\r\n"), std::string::npos);
    EXPECT_NE(pdf.find("/Font << \r\n/F1 4 0 R \r\n>>"), std::string::npos);
}
