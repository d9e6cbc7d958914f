#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

// The second page's stream and the first page's length object carry the comment lines; the
// cross-reference table pins every offset. Information texts keep balanced parentheses and
// escape the rest. The finished file is confirmed and opened.
TEST(PdfDocument, TwoPagesAreWrittenByteForByte) {
    PdfTestBed bed(false);
    PDFPrinter& p = *bed.printer;
    p.PDFTitle("Certificate (copy)");
    p.PDFAuthor("Field team :-)");
    p.PDFSubject("C:\\certs\\(old");
    p.PDFKeywords("Génération");
    p.PDFCreator("a ) b ( c");
    p.PDFProducer("x(y(z)");
    p.PDFSetUnit(0);
    p.PDFConfirm(true);
    p.PDFView(true);
    bed.Begin();
    p.PDFEndPage();
    p.PDFNewPage();
    p.PDFDrawLine(10, 20, 30, 40);
    EXPECT_EQ(Bars(bed.Finish()),
              "%PDF-1.3|1 0 obj|<<|/Producer (x\\(y(z))|/Author (Field team :-\\))|"
              "/CreationDate (D:20261205100005)|/Creator (a \\) b \\( c)|"
              "/Keywords (G\xE9n\xE9ration)|/Subject (C:\\\\certs\\\\\\(old)|"
              "/Title (Certificate (copy))|/ModDate ()|>>|endobj||"
              "2 0 obj|<< /Length 3 0 R| >>|stream|endstream|endobj|%FIN_OBJ/%||"
              "%DEBUT_OBJ/%|3 0 obj|0|endobj|%FIN_OBJ/%||4 0 obj|<< /Length 5 0 R| >>|stream|"
              "%DEBUT_OBJ/%|%DEBUT_LN/%||10.00 821.89 m|30.00 801.89 l|0 G|0.57 w S|%FIN_LN/%|"
              "endstream|endobj||5 0 obj|87|endobj||6 0 obj|<< /Type /Pages|/Kids [|8 0 R|"
              "9 0 R|]|/Count 2|>>|endobj||7 0 obj|<< /ProcSet [ /PDF /Text /ImageC]|"
              "/XObject << |>>|/Font << |>>|>>|endobj||8 0 obj|<< /Type /Page|/Parent 6 0 R|"
              "/MediaBox [ 0 0 595.28 841.89]|/Resources 7 0 R|/Contents 2 0 R|>>|endobj|"
              "%FIN_OBJ/%||9 0 obj|<< /Type /Page|/Parent 6 0 R|/MediaBox [ 0 0 595.28 841.89]|"
              "/Resources 7 0 R|/Contents 4 0 R|>>|endobj|%FIN_OBJ/%||10 0 obj|<<|"
              "/Type /Catalog|/Pages 6 0 R|/OpenAction [8 0 R /Fit]|/PageLayout /SinglePage|>>|"
              "endobj||xref|0 11|0000000000 65535 f|0000000010 00000 n|0000000238 00000 n|"
              "0000000325 00000 n|0000000359 00000 n|0000000507 00000 n|0000000530 00000 n|"
              "0000000606 00000 n|0000000697 00000 n|0000000830 00000 n|0000000963 00000 n|"
              "trailer|<< /Size 11|/Root 10 0 R|/Info 1 0 R|>>|startxref|1072||%%EOF|");
    EXPECT_EQ(Joined(bed.messages) + bed.viewed.at(0).string(),
              "Génération du Fichier PDF - qkPDF 4.0: Fichier PDF généré.\n" + bed.file.string());
}

TEST(PdfDocument, CatalogFollowsZoomLayoutPageModeAndViewerPreferences) {
    const struct {
        long zoom, layout, preferences;
        bool thumbs, outlines;
        const char* catalog;
    } cases[] = {
        {1, 1, 12, true, false,
         "/OpenAction [6 0 R /FitH null]|/PageLayout /OneColumn|/PageMode /UseThumbs|"
         "/ViewerPreferences<<|/HideMenubar true|/HideToolbar true|>>|>>|"},
        // Outlines win over thumbnails; without a bookmark there is no root to name.
        {2, 2, 654321, true, true,
         "/OpenAction [6 0 R /XYZ null null 1]|/PageLayout /TwoColumnLeft|"
         "/PageMode /UseOutlines|/ViewerPreferences<<|/HideMenubar true|/HideToolbar true|"
         "/HideWindowUI true|/DisplayDocTitle true|/CenterWindow true|/FitWindow true|>>|>>|"},
        {150, 3, 3, false, false,
         "/OpenAction [6 0 R /XYZ null null 1.50]|/ViewerPreferences<<|/HideWindowUI true|>>|>>|"},
    };
    for (const auto& c : cases) {
        PdfTestBed bed(false);
        PDFPrinter& p = *bed.printer;
        p.PDFSetZoomMode(c.zoom);
        p.PDFSetLayoutMode(c.layout);
        p.PDFSetViewerPreferences(c.preferences);
        p.PDFUseThumbs(c.thumbs);
        p.PDFUseOutlines(c.outlines);
        bed.Begin();
        const std::string pdf = Bars(bed.Finish());
        const auto start = pdf.find("/OpenAction");
        EXPECT_EQ(pdf.substr(start, pdf.find("endobj", start) - start), c.catalog);
        EXPECT_TRUE(bed.messages.empty() && bed.viewed.empty());
    }
}

TEST(PdfDocument, UnitsMarginsAndPageFormatsGiveEachPageItsMediaBox) {
    PdfTestBed bed(false);
    PDFPrinter& p = *bed.printer;
    EXPECT_EQ(p.PDFGetUnit(), "cm");
    p.PDFSetUnit(1);
    EXPECT_EQ(p.PDFGetUnit(), "mm");
    p.PDFSetUnit(5); // a bad argument is told and replaced by its default
    p.PDFSetLayoutMode(2);
    p.PDFSetLayoutMode(7);
    EXPECT_EQ(std::pair(p.PDFGetUnit(), p.PDFGetLayoutMode()), std::pair(std::string("cm"), 0L));
    p.PDFFormatPage(3);
    p.PDFFormatPage(9);
    p.PDFFormatPage(std::vector<double>{100});
    p.PDFOrientation(4);
    EXPECT_EQ(std::pair(p.PDFGetPageWidth(), p.PDFGetPageHeight()), std::pair(595.0, 842.0));
    EXPECT_EQ(
        Joined(bed.messages),
        R"(!Code Unité de Mesure - qkPDF 4.0: Code unité de mesure incorrect : 5.|L'Unité de Mesure utilisée sera le centimètre.
!Layout Mode - qkPDF 4.0: Layout incorrect : 7.|Le Layout utilisé sera le layout simple.
!Format de Page - qkPDF 4.0: Code format de page incorrect : 9.|Le Format de page utilisé sera le format A4.
!Format de Page - qkPDF 4.0: Code format de page incorrect : .|Le Format de page utilisé sera le format A4
!Type d'Orientation de Page - qkPDF 4.0: Code orientation de page incorrect : 4.|L'Orientation de la page sera le mode portrait.
)");
    p.PDFSetMargins(5, 7);   // right as left, bottom as top
    p.PDFSetCellMargin(1e9); // beyond a 16-bit number: kept at its largest value
    p.PDFSetLeftMargin(2.5); // whole units, halves to even
    p.PDFSetTopMargin(3.5);
    EXPECT_EQ(std::vector({p.PDFGetCellMargin(), p.PDFGetLeftMargin(), p.PDFGetTopMargin(),
                           p.PDFGetRightMargin(), p.PDFGetBottomMargin()}),
              std::vector({32767.0, 2.0, 4.0, 5.0, 7.0}));
    std::vector<double> sizes;
    for (long code = 4; code >= 0; --code) {
        p.PDFFormatPage(code);
        sizes.insert(sizes.end(), {p.PDFGetPageWidth(), p.PDFGetPageHeight()});
    }
    EXPECT_EQ(sizes, (std::vector<double>{612, 1008, 612, 792, 420.94, 595.28, 841.89, 1190.55,
                                          595.28, 841.89}));
    p.PDFOrientation(0); // A4 landscape: rounded to whole points, then exchanged
    bed.Begin();
    p.PDFEndPage();
    p.PDFOrientation(0); // twice exchanges them back
    p.PDFNewPage();
    p.PDFEndPage();
    p.PDFFormatPage(std::vector<double>{300.5, 400.25});
    p.PDFNewPage();
    EXPECT_EQ(std::pair(p.PDFPageNumber(), p.PDFNbPage()), std::pair(3, 1));
    const std::string pdf = bed.Finish();
    EXPECT_EQ(p.PDFNbPage(), 3);
    std::string boxes;
    for (size_t at = pdf.find("/MediaBox"); at != std::string::npos;
         at = pdf.find("/MediaBox", at + 1))
        boxes += pdf.substr(at + 16, pdf.find("]", at) - at - 16) + ",";
    EXPECT_EQ(boxes, "842 595,595 842,300.5 400.25,");
}

// In centimetres too: the place is worked out in points.
TEST(PdfDocument, WatermarkIsSlantedAcrossEveryPage) {
    PdfTestBed bed;
    bed.printer->PDFFiligran("DRAFT");
    bed.Begin();
    bed.printer->PDFEndPage();
    bed.printer->PDFNewPage();
    const std::string pdf = bed.Finish();
    // DRAFT in Helvetica-Bold at 50 points is w = 169.4 points wide; it starts at
    // x = (595.28 - cos(45) w) / 2.75 and y = (sin(45) w + 841.89) / 2.15, in radians.
    const std::string mark = "q 1.000 0.753 0.796 rg |%DEBUT_TEXT/%|BT|0.70711 0.70711 -0.70711 "
                             "0.70711 184.11 383.27 Tm|/F6 50.00 Tf|(DRAFT) Tj|ET|Q|%FIN_TEXT/%|";
    EXPECT_EQ(Bars(PageContent(pdf, 1)), mark);
    EXPECT_TRUE(Bars(PageContent(pdf, 2)).starts_with("%DEBUT_OBJ/%|" + mark));
}

TEST(PdfDocument, UnusualCallOrdersAndALostFileHarmNothing) {
    PdfTestBed bed;
    PDFPrinter& p = *bed.printer;
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
    EXPECT_EQ(pdf.find("%PDF-1.3", 1), std::string::npos);
    EXPECT_EQ(pdf.find("too early"), std::string::npos);
    EXPECT_EQ(pdf.find("/Annots"), std::string::npos);
    EXPECT_EQ(CountOf(pdf, "/MediaBox [ 0 0 595.28 841.89]"), 2u);
    EXPECT_NE(PageContent(pdf, 2).find("(page two) Tj"), std::string::npos);

    // A file that cannot be created is neither claimed nor opened; a second end is harmless.
    PdfTestBed lost;
    lost.printer->PDFConfirm(true);
    lost.printer->PDFView(true);
    lost.printer->PDFFileName((lost.dir / "no such folder" / "x.pdf").string());
    lost.printer->PDFBeginDoc();
    lost.printer->PDFTextOut("lost", 10, 10);
    lost.printer->PDFEndPage();
    lost.printer->PDFNewPage();
    EXPECT_FALSE(lost.printer->PDFEndDoc() || lost.printer->PDFEndDoc());
    EXPECT_TRUE(lost.messages.empty() && lost.viewed.empty());
}
