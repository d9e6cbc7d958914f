#include "pdf_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace tarvik;
using namespace tarvik::test;

TEST(PdfDocument, EmptyPageIsWrittenByteForByte) {
    PdfTestBed bed(false);
    bed.Begin();
    EXPECT_EQ(bed.Finish(),
              Crlf("%PDF-1.3|1 0 obj|<<|/Producer ()|/Author ()|/CreationDate (D:20261205100005)|"
                   "/Creator ()|/Keywords ()|/Subject ()|/Title ()|/ModDate ()|>>|endobj||"
                   "2 0 obj|<< /Length 3 0 R| >>|stream|endstream|endobj||3 0 obj|0|endobj||"
                   "4 0 obj|<< /Type /Pages|/Kids [|6 0 R|]|/Count 1|>>|endobj||"
                   "5 0 obj|<< /ProcSet [ /PDF /Text /ImageC]|/XObject << |>>|/Font << |>>|>>|"
                   "endobj||6 0 obj|<< /Type /Page|/Parent 4 0 R|/MediaBox [ 0 0 595.28 841.89]|"
                   "/Resources 5 0 R|/Contents 2 0 R|>>|endobj|%FIN_OBJ/%||"
                   "7 0 obj|<<|/Type /Catalog|/Pages 4 0 R|/OpenAction [6 0 R /Fit]|"
                   "/PageLayout /SinglePage|>>|endobj||xref|0 8|0000000000 65535 f|"
                   "0000000010 00000 n|0000000161 00000 n|0000000222 00000 n|"
                   "0000000244 00000 n|0000000313 00000 n|0000000404 00000 n|"
                   "0000000537 00000 n|trailer|<< /Size 8|/Root 7 0 R|/Info 1 0 R|>>|"
                   "startxref|645||%%EOF|"));
    ExpectSoundDocument(bed.file());
    EXPECT_TRUE(bed.messages().empty());
}

TEST(PdfDocument, CatalogFollowsZoomLayoutPageModeAndViewerPreferences) {
    const struct {
        std::function<void(PDFPrinter&)> setting;
        const char* part; // found in the catalog, or not at all when `absent`
        bool absent = false;
    } cases[] = {
        {[](PDFPrinter& p) { p.PDFSetZoomMode(1); },
         "/OpenAction [6 0 R /FitH null]|/PageLayout /SinglePage|>>"},
        {[](PDFPrinter& p) { p.PDFSetZoomMode(2); }, "/OpenAction [6 0 R /XYZ null null 1]|"},
        {[](PDFPrinter& p) { p.PDFSetZoomMode(150); }, "/OpenAction [6 0 R /XYZ null null 1.50]|"},
        {[](PDFPrinter& p) { p.PDFSetZoomMode(3); }, "/OpenAction [6 0 R /XYZ null null 0.03]|"},
        {[](PDFPrinter& p) { p.PDFSetLayoutMode(1); }, "/PageLayout /OneColumn|"},
        {[](PDFPrinter& p) { p.PDFSetLayoutMode(2); }, "/PageLayout /TwoColumnLeft|"},
        {[](PDFPrinter& p) { p.PDFSetLayoutMode(3); }, "/PageLayout", true},
        {[](PDFPrinter& p) { p.PDFSetViewerPreferences(12); },
         "/ViewerPreferences<<|/HideMenubar true|/HideToolbar true|>>|"},
        {[](PDFPrinter& p) { p.PDFSetViewerPreferences(654321); },
         "/ViewerPreferences<<|/HideMenubar true|/HideToolbar true|/HideWindowUI true|"
         "/DisplayDocTitle true|/CenterWindow true|/FitWindow true|>>|"},
        {[](PDFPrinter& p) { p.PDFUseThumbs(true); },
         "/PageLayout /SinglePage|/PageMode /UseThumbs|>>"},
        {[](PDFPrinter& p) { p.PDFUseOutlines(true); }, "/PageMode /UseOutlines|"},
        // Outlines without a bookmark: no root to name.
        {[](PDFPrinter& p) { p.PDFUseOutlines(true); }, "/Outlines", true},
    };
    for (const auto& c : cases) {
        PdfTestBed bed(false);
        c.setting(bed.printer());
        bed.Begin();
        const std::string pdf = Bars(bed.Finish());
        ExpectSoundDocument(bed.file());
        const std::string catalog = pdf.substr(pdf.find("/Type /Catalog"));
        EXPECT_EQ(catalog.find(c.part) == std::string::npos, c.absent) << c.part;
    }
}

TEST(PdfDocument, UnitsMarginsAndBadSettingsToldAndReplacedByTheirDefault) {
    PdfTestBed bed(false);
    PDFPrinter& p = bed.printer();
    EXPECT_EQ(p.PDFGetUnit(), "cm");
    p.PDFSetUnit(1);
    EXPECT_EQ(p.PDFGetUnit(), "mm");
    p.PDFSetUnit(5);
    EXPECT_EQ(p.PDFGetUnit(), "cm");
    p.PDFSetCellMargin(1e9); // beyond a 16-bit number: kept at its largest value
    EXPECT_EQ(p.PDFGetCellMargin(), 32767);
    p.PDFSetLeftMargin(2.5); // whole units, halves to even
    p.PDFSetTopMargin(3.5);
    EXPECT_EQ(std::vector({p.PDFGetLeftMargin(), p.PDFGetTopMargin()}), std::vector({2.0, 4.0}));
    p.PDFSetMargins(5, 7); // right as left, bottom as top
    EXPECT_EQ(std::vector({p.PDFGetLeftMargin(), p.PDFGetRightMargin(), p.PDFGetBottomMargin()}),
              std::vector({5.0, 5.0, 7.0}));
    p.PDFSetMargins(5, 7, 8, 9);
    EXPECT_EQ(std::vector({p.PDFGetRightMargin(), p.PDFGetBottomMargin()}),
              std::vector({8.0, 9.0}));
    p.PDFSetLayoutMode(2);
    p.PDFSetLayoutMode(7);
    EXPECT_EQ(p.PDFGetLayoutMode(), 0);
    p.PDFOrientation(4);
    p.PDFFormatPage(9);
    p.PDFFormatPage(std::vector<double>{100});
    EXPECT_EQ(p.PDFGetPageWidth(), 595.28);
    EXPECT_EQ(p.PDFGetPageHeight(), 841.89);
    EXPECT_EQ(bed.messages(),
              (std::vector<std::string>{
                  "!Code Unité de Mesure - qkPDF 4.0: Code unité de mesure incorrect : 5.|"
                  "L'Unité de Mesure utilisée sera le centimètre.",
                  "!Layout Mode - qkPDF 4.0: Layout incorrect : 7.|"
                  "Le Layout utilisé sera le layout simple.",
                  "!Type d'Orientation de Page - qkPDF 4.0: Code orientation de page incorrect : "
                  "4.|L'Orientation de la page sera le mode portrait.",
                  "!Format de Page - qkPDF 4.0: Code format de page incorrect : 9.|"
                  "Le Format de page utilisé sera le format A4.",
                  "!Format de Page - qkPDF 4.0: Code format de page incorrect : .|"
                  "Le Format de page utilisé sera le format A4"}));
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
    const auto nextPage = [&p](const std::function<void()>& format) {
        p.PDFEndPage();
        format();
        p.PDFNewPage();
    };
    nextPage([&p] { p.PDFOrientation(0); }); // twice exchanges them back
    nextPage([&p] { p.PDFFormatPage(3); });  // Letter
    nextPage([&p] { p.PDFFormatPage(std::vector<double>{300.5, 400.25}); });
    nextPage([&p] {
        p.PDFFormatPage(1); // A3
        p.PDFOrientation(1);
    });
    EXPECT_EQ(p.PDFPageNumber(), 5);
    EXPECT_EQ(p.PDFNbPage(), 1);
    const std::string pdf = bed.Finish();
    EXPECT_EQ(p.PDFNbPage(), 5);
    ExpectSoundDocument(bed.file());
    std::vector<std::string> boxes;
    for (size_t at = pdf.find("/MediaBox"); at != std::string::npos;
         at = pdf.find("/MediaBox", at + 1))
        boxes.push_back(pdf.substr(at + 16, pdf.find("]", at) - at - 16));
    EXPECT_EQ(boxes, (std::vector<std::string>{"842 595", "595 842", "612 792", "300.5 400.25",
                                               "842 1191"}));
    EXPECT_EQ(PageCount(bed.file()), 5);
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
    // Page 1's stream and length objects are framed by the comment lines, the last page's
    // length object is not.
    const std::string length = std::to_string(PageContent(pdf, 1).size());
    const std::string lastLength = std::to_string(PageContent(pdf, 2).size());
    EXPECT_NE(Bars(pdf).find("%FIN_TEXT/%|endstream|endobj|%FIN_OBJ/%||%DEBUT_OBJ/%|3 0 obj|" +
                             length +
                             "|endobj|%FIN_OBJ/%||4 0 obj|<< /Length 5 0 R| >>|stream|"
                             "%DEBUT_OBJ/%|"),
              std::string::npos);
    EXPECT_NE(Bars(pdf).find("endstream|endobj||5 0 obj|" + lastLength + "|endobj||"),
              std::string::npos);
    const std::string text = PdfToText(bed.file());
    EXPECT_LT(text.find("first page"), text.find("\f"));
    EXPECT_GT(text.find("second page"), text.find("\f"));
    EXPECT_NE(text.find("second page"), std::string::npos);
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
    const std::string info = Bars(ObjectText(bed.Finish(), 1));
    ExpectSoundDocument(bed.file());
    for (const char* part : {"/Title (Certificate (copy))|", "/Author (Field team :-\\))|",
                             "/Subject (C:\\\\certs\\\\\\(old)|", "/Keywords (G\xE9n\xE9ration)|",
                             "/Creator (a \\) b \\( c)|", "/Producer (x\\(y(z))|"})
        EXPECT_NE(info.find(part), std::string::npos) << part;
    const std::string shown = RunTool("pdfinfo -enc UTF-8 " + ShellQuoted(bed.file())).output;
    for (const char* part :
         {"Certificate (copy)", "Field team :-)", "C:\\certs\\(old", "Génération"})
        EXPECT_NE(shown.find(part), std::string::npos) << part;
}

TEST(PdfDocument, EndDocConfirmsAndOpensTheViewerOnlyWhenAskedAndWritten) {
    PdfTestBed quiet(false);
    quiet.Begin();
    quiet.Finish();
    EXPECT_TRUE(quiet.messages().empty());
    EXPECT_TRUE(quiet.viewed.empty());

    PdfTestBed bed(false);
    bed.printer().PDFConfirm(true);
    bed.printer().PDFView(true);
    bed.Begin();
    bed.Finish();
    EXPECT_EQ(bed.messages(), std::vector<std::string>{
                                  "Génération du Fichier PDF - qkPDF 4.0: Fichier PDF généré."});
    EXPECT_EQ(bed.viewed, std::vector<std::filesystem::path>{bed.file()});
    EXPECT_EQ(bed.printer().PDFGetFileName(), bed.file().string());

    // A file that cannot be created: no claim, no viewer, and a second end is harmless too.
    PdfTestBed lost;
    PDFPrinter& p = lost.printer();
    p.PDFConfirm(true);
    p.PDFView(true);
    p.PDFFileName((lost.dir() / "no such folder" / "x.pdf").string());
    p.PDFBeginDoc();
    p.PDFSetFont(0, 10);
    p.PDFTextOut("lost", 10, 10);
    p.PDFEndPage();
    p.PDFNewPage();
    EXPECT_FALSE(p.PDFEndDoc());
    EXPECT_FALSE(p.PDFEndDoc());
    EXPECT_TRUE(lost.messages().empty());
    EXPECT_TRUE(lost.viewed.empty());
}

TEST(PdfDocument, WatermarkIsSlantedAcrossEveryPage) {
    PdfTestBed bed;
    bed.printer().PDFSetUnit(0);
    bed.printer().PDFFiligran("DRAFT");
    bed.Begin();
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    // DRAFT in Helvetica-Bold at 50 points is 169.4 points wide; its place uses the sine and
    // cosine of 45 radians.
    const double w = 169.4;
    char matrix[128];
    std::snprintf(matrix, sizeof matrix, "0.70711 0.70711 -0.70711 0.70711 %.2f %.2f Tm",
                  (595.28 - std::cos(45.0) * w) / 2.75,
                  841.89 - (std::sin(45.0) * w + 841.89) / 2.15);
    EXPECT_EQ(Bars(PageContent(pdf)), std::string("q 1.000 0.753 0.796 rg |%DEBUT_TEXT/%|BT|") +
                                          matrix + "|/F6 50.00 Tf|(DRAFT) Tj|ET|Q|%FIN_TEXT/%|");
    // A slanted text comes back from a reader letter by letter.
    const std::string text = PdfToText(bed.file());
    for (const char* piece : {"D", "R", "A", "FT"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece;
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
    EXPECT_EQ(CountOf(pdf, "/MediaBox [ 0 0 595.28 841.89]"), 2u);
    EXPECT_NE(PdfToText(bed.file()).find("page two"), std::string::npos);
}
