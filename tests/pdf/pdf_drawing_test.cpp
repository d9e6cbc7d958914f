#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

// A page in points, 842 high, with Helvetica 10 chosen.
struct DrawingPage : PdfTestBed {
    DrawingPage() {
        printer().PDFSetUnit(0);
        printer().PDFOrientation(1);
        Begin();
        printer().PDFSetFont(0, 10);
    }
    std::string Close() {
        const std::string pdf = Finish();
        ExpectSoundDocument(file());
        return pdf;
    }
};

std::string ContentOf(const std::function<void(PDFPrinter&)>& draw,
                      std::vector<RecordingPdfSink::Message>* messages = nullptr) {
    DrawingPage page;
    draw(page.printer());
    const std::string content = PageContent(page.Close());
    if (messages != nullptr) {
        *messages = page.sink().messages;
    }
    return content;
}

} // namespace

TEST(PdfDrawing, ColoursInAllThreeForms) {
    const auto colourLine = [](const PdfColour& colour) {
        return ContentOf([&](PDFPrinter& p) {
                   p.PDFSetTextColor(colour);
                   p.PDFTextOut("x", 10, 10);
               })
            .substr(0, 22);
    };
    EXPECT_EQ(colourLine(255), "q 1.000 0.000 0.000 rg");
    EXPECT_EQ(colourLine(16711680), "q 0.000 0.000 1.000 rg");
    EXPECT_EQ(colourLine(0x404040), "q 0.251 0.251 0.251 rg");
    EXPECT_EQ(colourLine("#0000FF"), "q 0.000 0.000 1.000 rg");
    EXPECT_EQ(colourLine("#ff8000"), "q 1.000 0.502 0.000 rg");
    EXPECT_EQ(colourLine(PdfColour(255, 192, 203)), "q 1.000 0.753 0.796 rg");
    // Digits that are not hexadecimal count as far as they go, with no message.
    EXPECT_EQ(colourLine("#GG00A"), "q 0.000 0.000 0.039 rg");

    std::vector<RecordingPdfSink::Message> messages;
    const std::string content = ContentOf(
        [](PDFPrinter& p) {
            p.PDFSetTextColor(255);
            p.PDFSetTextColor("red");
            p.PDFTextOut("x", 10, 10);
            p.PDFSetLineColor(0);
            p.PDFDrawLine(0, 0, 10, 10);
        },
        &messages);
    EXPECT_EQ(content.substr(0, 22), "q 0.000 0.000 0.000 rg");
    EXPECT_NE(content.find("\r\n0.000 0.000 0.000 RG\r\n"), std::string::npos);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Couleur HTMl - qkPDF 4.0");
    EXPECT_EQ(messages[0].text,
              "Code couleur HTMl invalide red.\r\nLa couleur utilisée sera le noir.");
}

TEST(PdfDrawing, LinesWithTheirDashAndColour) {
    const std::string content = ContentOf([](PDFPrinter& p) {
        p.PDFDrawLine(10, 20, 110, 70);
        EXPECT_EQ(p.PDFGetX(), 110);
        EXPECT_EQ(p.PDFGetY(), 70);
        p.PDFSetLineStyle(1);
        p.PDFSetLineColor(255);
        p.PDFSetLineWidth(2);
        p.PDFDrawLineHor(10, 100, 50);
        EXPECT_EQ(p.PDFGetX(), 60);
        p.PDFSetLineStyle(2);
        p.PDFDrawLineVer(10, 100, 50);
        EXPECT_EQ(p.PDFGetY(), 150);
        p.PDFSetLineStyle(3);
        // The horizontal line gave the fill colour the line's colour.
        p.PDFSetDrawMode(1);
        p.PDFDrawRectangle(10, 20, 100, 50);
        p.PDFSetLineStyle(0);
        p.PDFDrawLine(0, 0, 1, 1);
    });
    EXPECT_EQ(content, "%DEBUT_LN/%\r\n\r\n10.00 822.00 m\r\n110.00 772.00 l\r\n0 G\r\n0.57 w S\r\n"
                       "%FIN_LN/%\r\n"
                       "%DEBUT_LNH/%\r\n[16 8 ] 0 d\r\n10.00 742.00 m\r\n60.00 742.00 l\r\n"
                       "1.000 0.000 0.000 RG\r\n2.00 w S\r\n%FIN_LNH/%\r\n"
                       "%DEBUT_LNV/%\r\n[8 7 2 7 ] 0 d\r\n10.00 742.00 m\r\n10.00 692.00 l\r\n"
                       "1.000 0.000 0.000 RG\r\n2.00 w S\r\n%FIN_LNV/%\r\n"
                       "%DEBUT_RECT/%\r\n1.000 0.000 0.000 rg\r\n[8 4 2 4 2 4 ] 0 d\r\n"
                       "10.00 822.00 100.00 -50.00 re f\r\n2.00 w S\r\n%FIN_RECT/%\r\n"
                       "%DEBUT_LN/%\r\n[] 0 d\r\n0.00 842.00 m\r\n1.00 841.00 l\r\n"
                       "1.000 0.000 0.000 RG\r\n2.00 w S\r\n%FIN_LN/%\r\n");
}

TEST(PdfDrawing, DashLengthsFollowTheUnit) {
    PdfTestBed bed(false);
    bed.printer().PDFSetLineStyle(1); // centimetres
    bed.printer().PDFSetUnit(1);
    bed.printer().PDFSetLineStyle(4);
    bed.Begin();
    bed.printer().PDFDrawLine(1, 1, 2, 2);
    bed.printer().PDFSetLineStyle(3);
    bed.printer().PDFDrawLine(1, 1, 2, 2);
    const std::string content = PageContent(bed.Finish());
    EXPECT_NE(content.find("%DEBUT_LN/%\r\n[] 0 d\r\n"), std::string::npos);
    EXPECT_NE(content.find("%DEBUT_LN/%\r\n[22 11 5 11 5 11 ] 0 d\r\n"), std::string::npos);
    ASSERT_EQ(bed.sink().messages.size(), 1u);
    EXPECT_EQ(bed.sink().messages[0].title, "Style de Ligne - qkPDF 4.0");
    EXPECT_EQ(bed.sink().messages[0].text,
              "Code style de ligne incorrect : 4.\r\nLe style de ligne utilisé sera pSolid.");
    PdfTestBed centimetres(false);
    centimetres.printer().PDFSetLineStyle(1);
    centimetres.Begin();
    centimetres.printer().PDFDrawLine(1, 1, 2, 2);
    EXPECT_NE(PageContent(centimetres.Finish()).find("[453 226 ] 0 d"), std::string::npos);
}

TEST(PdfDrawing, RectanglesInEachDrawModeThenWhiteText) {
    std::vector<RecordingPdfSink::Message> messages;
    const std::string content = ContentOf(
        [](PDFPrinter& p) {
            p.PDFDrawRectangle(10, 20, 100, 50);
            EXPECT_EQ(p.PDFGetY(), 70);
            p.PDFTextOut("white", 10, 200);
            p.PDFSetDrawMode(2);
            p.PDFDrawRectangle(10, 20, 100, 50);
            p.PDFSetDrawMode(5);
            p.PDFDrawRectangle(10, 20, 100, 50);
        },
        &messages);
    const std::string outline = "%DEBUT_RECT/%\r\n0 G\r\n\r\n10.00 822.00 100.00 -50.00 re s\r\n"
                                "0.57 w S\r\n%FIN_RECT/%\r\n";
    const std::string both = "%DEBUT_RECT/%\r\n0 g\r\n0 G\r\n\r\n"
                             "10.00 822.00 100.00 -50.00 re B\r\n0.57 w S\r\n%FIN_RECT/%\r\n";
    EXPECT_EQ(content, outline +
                           "q 1.000 1.000 1.000 rg \r\n%DEBUT_TEXT/%\r\nBT\r\n"
                           "11.00 642.00 Td\r\n/F5 10.00 Tf\r\n(white) Tj\r\nET\r\nQ\r\n"
                           "%FIN_TEXT/%\r\n" +
                           both + both);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Objet Rectangle - qkPDF 4.0");
    EXPECT_EQ(messages[0].text, "Code type de traçage incorrect : 5.\r\n"
                                "Le type de traçage utilisé sera bordure et remplissage.");
}

TEST(PdfDrawing, EllipseIsFourCurvesWithoutCommentLines) {
    const std::string content = ContentOf([](PDFPrinter& p) {
        p.PDFDrawEllipse(100, 100, 40, 20);
        EXPECT_EQ(p.PDFGetX(), 100);
        EXPECT_EQ(p.PDFGetY(), 110);
        p.PDFSetDrawMode(1);
        p.PDFDrawEllipse(100, 100, 40, 20);
    });
    const std::string curves = "\r\n100.00 732.00 m\r\n"
                               "100.00 737.50 109.00 742.00 120.00 742.00 c\r\n"
                               "131.00 742.00 140.00 737.50 140.00 732.00 c\r\n"
                               "140.00 726.50 131.00 722.00 120.00 722.00 c\r\n"
                               "109.00 722.00 100.00 726.50 100.00 732.00 c\r\n";
    EXPECT_EQ(content, "0 G\r\n" + curves + "0.57 w s\r\n" + "0 g\r\n" + curves + "0.57 w h f\r\n");
}

TEST(PdfDrawing, ShapesWithAddressesBecomeLinks) {
    DrawingPage page;
    PDFPrinter& p = page.printer();
    p.PDFDrawRectangle(10, 40, 100, 10, "https://www.tarvik.example/rect");
    p.PDFDrawEllipse(100, 100, 40, 20, "https://www.tarvik.example/ellipse");
    p.PDFDrawRectangle(10, 40, 100, 10, std::nullopt);
    p.PDFDrawEllipse(10, 40, 100, 10, std::nullopt);
    const std::string pdf = page.Close();
    // The rectangle's link sits 5 points in, halfway down; the ellipse's is as wide as "LINK".
    EXPECT_NE(pdf.find("/Rect [15 797 115 787] /Border [0 0 0] "
                       "/A <</S /URI /URI (https://www.tarvik.example/rect)>>>>"),
              std::string::npos);
    EXPECT_NE(pdf.find("/Rect [80 738 102 728] /Border [0 0 0] "
                       "/A <</S /URI /URI (https://www.tarvik.example/ellipse)>>>>"),
              std::string::npos);
    const std::string content = PageContent(pdf);
    EXPECT_NE(content.find("re s\r\n0.57 w S\r\n%DEBUT_LINK/%\r\nq 1.000 1.000 1.000 rg \r\n"),
              std::string::npos);
    ASSERT_EQ(page.sink().messages.size(), 2u);
    EXPECT_EQ(page.sink().messages[0].title, "Lien URL Objet Rectangle - qkPDF 4.0");
    EXPECT_EQ(page.sink().messages[0].text, "URL objet rectangle non valide : .\r\n"
                                            "Impossible d'inclure le lien dans le rectangle.");
    EXPECT_EQ(page.sink().messages[1].title, "Lien URL Objet Ellipse - qkPDF 4.0");
    EXPECT_EQ(page.sink().messages[1].text, "URL objet ellipse non valide : .\r\n"
                                            "Impossible d'inclure le lien dans l'ellipse.");
}

TEST(PdfDrawing, PolygonsCloseTheirPath) {
    const std::string content = ContentOf([](PDFPrinter& p) {
        p.PDFDrawPolygon({{10, 10}, {50, 10}, {30, 40}});
        p.PDFSetDrawMode(2);
        p.PDFDrawPolygon({{10, 10}, {50, 10}});
        p.PDFDrawPolygon({{10, 10}});
        p.PDFDrawPolygon({});
    });
    EXPECT_EQ(content, "0 G\r\n%DEBUT_POLY/%\r\n\r\n10.00 832.00 m\r\n50.00 832.00 l\r\n"
                       "30.00 802.00 l\r\n0.57 w s\r\n%FIN_POLY/%\r\n"
                       "0 g\r\n0 G\r\n%DEBUT_POLY/%\r\n\r\n10.00 832.00 m\r\n50.00 832.00 l\r\n"
                       "0.57 w B\r\n%FIN_POLY/%\r\n");
}
