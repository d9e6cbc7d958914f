#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

using Link = std::optional<std::string>;
using P = PDFPrinter;

const auto Font = [](long code, int size, long style = 0) -> Step {
    return [=](P& p) { p.PDFSetFont(code, size, style); };
};
const auto Out = [](std::string t, double x = 0, double y = 0) -> Step {
    return [=](P& p) { p.PDFTextOut(t, x, y); };
};
const auto Rotation = [](double a) -> Step { return [=](P& p) { p.PDFSetRotation(a); }; };
const auto TextColour = [](PdfColour c) -> Step { return [=](P& p) { p.PDFSetTextColor(c); }; };
const auto Unit = [](long u) -> Step { return [=](P& p) { p.PDFSetUnit(u); }; };
const auto Style = [](long s) -> Step { return [=](P& p) { p.PDFSetLineStyle(s); }; };
const auto Mode = [](long m) -> Step { return [=](P& p) { p.PDFSetDrawMode(m); }; };
const auto Line = [](double x1, double y1, double x2, double y2) -> Step {
    return [=](P& p) { p.PDFDrawLine(x1, y1, x2, y2); };
};
const auto Rect = [](double x, double y, double w, double h, Link l = std::string()) -> Step {
    return [=](P& p) { p.PDFDrawRectangle(x, y, w, h, l); };
};
const auto Ellipse = [](double x, double y, double w, double h, Link l = std::string()) -> Step {
    return [=](P& p) { p.PDFDrawEllipse(x, y, w, h, l); };
};
const auto Polygon = [](std::vector<PdfPoint> points) -> Step {
    return [=](P& p) { p.PDFDrawPolygon(points); };
};
const auto TextLink = [](double x, double y, std::string t, std::string l = {}) -> Step {
    return [=](P& p) { p.PDFLink(x, y, t, l); };
};
const auto Cell = [](double w, double h, std::string t, Link l = std::string(), bool ln = false) {
    return Step([=](P& p) { p.PDFCell(w, h, t, l, ln); });
};
const auto XY = [](double x, double y) -> Step { return [=](P& p) { p.PDFSetXY(x, y); }; };
const auto Fill = [](bool on) -> Step { return [=](P& p) { p.PDFSetFill(on); }; };
const auto Border = [](std::string b) -> Step { return [=](P& p) { p.PDFSetBorder(b); }; };
const auto Align = [](long a) -> Step { return [=](P& p) { p.PDFSetAlignement(a); }; };
const auto At = [](int x, int y) -> Step {
    return [=](P& p) { EXPECT_EQ(std::pair(p.PDFGetX(), p.PDFGetY()), std::pair(x, y)); };
};

// A text object as the writer frames it; the sorted standard fonts make Helvetica font 5.
// At(x, y) checks the current position.
std::string Text(const std::string& colour, const std::string& at, const std::string& text) {
    return "q " + colour + " |%DEBUT_TEXT/%|BT|" + at + "|/F5 10.00 Tf|(" + text +
           ") Tj|ET|Q|%FIN_TEXT/%|";
}

// A link's text, underlined from `underline` ("y width height" after the x).
std::string LinkText(const std::string& colour, const std::string& at, const std::string& text,
                     const std::string& underline) {
    const std::string x = at.substr(0, at.find(' '));
    return "%DEBUT_LINK/%|q " + colour + " |%DEBUT_TEXT/%|BT|" + at + " Td|/F5 10.00 Tf|(" + text +
           ") Tj|ET|" + x + " " + underline + " re f|Q|%FIN_TEXT/%|%FIN_LINK/%|";
}

std::string Annot(const std::string& rect, const std::string& uri) {
    return "<</Type /Annot /Subtype /Link /Rect [" + rect + "] /Border [0 0 0] " +
           (uri.empty() ? "" : "/A <</S /URI /URI (" + uri + ")>>") + ">>|";
}

const std::string kCurves = "|100.00 732.00 m|100.00 737.50 109.00 742.00 120.00 742.00 c|"
                            "131.00 742.00 140.00 737.50 140.00 732.00 c|"
                            "140.00 726.50 131.00 722.00 120.00 722.00 c|"
                            "109.00 722.00 100.00 726.50 100.00 732.00 c|";

// Each case: calls on a new page in points (842 high), the page's content and its links; a
// link's rectangle runs from the baseline down by the text height, in whole points.
const struct {
    const char* name;
    std::vector<Step> steps;
    std::string content, annotations = "";
} kContentCases[] = {
    // "a(b)c\d" is 3112 thousandths wide: 31.12 points.
    {"texts from the left margin and the top edge, delimiters escaped, size 0 as 10; a text "
     "without a place continues where the last one ended",
     {Font(0, 0), Out("a(b)c\\d", 15, 40), At(46, 50), Out("next"), Out("", 15, 60)},
     Text("0 g", "16.00 802.00 Td", "a\\(b\\)c\\\\d") + Text("0 g", "47.12 792.00 Td", "next") +
         Text("0 g", "16.00 782.00 Td", "")},
    {"underline for the next text only: 11 points up, as wide as the text and its space; "
     "rotation by the text matrix from the left edge, once, pi taken as 3.1416",
     {Font(0, 10, 3), Out("a b", 15, 40), Rotation(45), Out("slanted", 100, 200), Rotation(180),
      Out("upside down", 300, 400), Out("straight", 100, 300)},
     "q 0 g |%DEBUT_TEXT/%|BT|16.00 802.00 Td|/F5 10.00 Tf|(a b) Tj|ET|"
     "16.00 800.11 16.68 -0.03 re f|Q|%FIN_TEXT/%|" +
         Text("0 g", "0.70711 0.70711 -0.70711 0.70711 100.00 642.00 Tm", "slanted") +
         Text("0 g", "-1.00000 -0.00001 0.00001 -1.00000 300.00 442.00 Tm", "upside down") +
         Text("0 g", "101.00 542.00 Td", "straight")},
    {"lines with their dash and colour; a horizontal line gives the fill the line's colour",
     {Line(10, 20, 110, 70), At(110, 70), Style(1), [](P& p) { p.PDFSetLineColor(255); },
      [](P& p) { p.PDFSetLineWidth(2); }, [](P& p) { p.PDFDrawLineHor(10, 100, 50); }, At(60, 100),
      Style(2), [](P& p) { p.PDFDrawLineVer(10, 100, 50); }, At(10, 150), Style(3), Mode(1),
      Rect(10, 20, 100, 50), Style(0), Line(0, 0, 1, 1)},
     "%DEBUT_LN/%||10.00 822.00 m|110.00 772.00 l|0 G|0.57 w S|%FIN_LN/%|"
     "%DEBUT_LNH/%|[16 8 ] 0 d|10.00 742.00 m|60.00 742.00 l|1.000 0.000 0.000 RG|2.00 w S|"
     "%FIN_LNH/%|%DEBUT_LNV/%|[8 7 2 7 ] 0 d|10.00 742.00 m|10.00 692.00 l|"
     "1.000 0.000 0.000 RG|2.00 w S|%FIN_LNV/%|"
     "%DEBUT_RECT/%|1.000 0.000 0.000 rg|[8 4 2 4 2 4 ] 0 d|2.00 w|"
     "10.00 822.00 100.00 -50.00 re f|%FIN_RECT/%|"
     "%DEBUT_LN/%|[] 0 d|0.00 842.00 m|1.00 841.00 l|1.000 0.000 0.000 RG|2.00 w S|%FIN_LN/%|"},
    {"rectangles outlined, then filled and outlined, ellipses as four curves without comment "
     "lines; texts after them are white",
     {Font(0, 10), Rect(10, 20, 100, 50), At(10, 70), Out("white", 10, 200), Mode(2),
      Rect(10, 20, 100, 50), Ellipse(100, 100, 40, 20), At(100, 110), Mode(1),
      Ellipse(100, 100, 40, 20)},
     "%DEBUT_RECT/%|0 G||0.57 w|10.00 822.00 100.00 -50.00 re s|%FIN_RECT/%|" +
         Text("1.000 1.000 1.000 rg", "11.00 642.00 Td", "white") +
         "%DEBUT_RECT/%|0 g|0 G||0.57 w|10.00 822.00 100.00 -50.00 re B|%FIN_RECT/%|0 g|0 G|" +
         kCurves + "0.57 w B|0 g|" + kCurves + "0.57 w h f|"},
    {"polygons close their path; fewer than two points draw nothing",
     {Polygon({{10, 10}, {50, 10}, {30, 40}}), Mode(2), Polygon({{10, 10}, {50, 10}}),
      Polygon({{10, 10}}), Polygon({})},
     "0 G|%DEBUT_POLY/%||10.00 832.00 m|50.00 832.00 l|30.00 802.00 l|0.57 w s|%FIN_POLY/%|"
     "0 g|0 G|%DEBUT_POLY/%||10.00 832.00 m|50.00 832.00 l|0.57 w B|%FIN_POLY/%|"},
    {"text links: underlined in the text's colour; the address the text's or the one given",
     {Font(0, 10), TextLink(260, 70, "www.tarvik.example"),
      TextLink(260, 90, "support", "https://www.tarvik.example/a(b"), TextLink(100, 100, "")},
     LinkText("0 g", "261.00 772.00", "www.tarvik.example", "770.11 88.90 -0.18") +
         LinkText("0 g", "261.00 752.00", "support", "750.11 33.35 -0.07") +
         LinkText("0 g", "101.00 742.00", "", "740.11 0.00 0.00"),
     "/Annots [" + Annot("260 772 348 762", "www.tarvik.example") +
         Annot("260 752 293 742", "https://www.tarvik.example/a\\(b") +
         Annot("100 742 100 732", "") + "]"},
    {"links of shapes: a rectangle's 5 points in, halfway down; an ellipse's as wide as LINK",
     {Font(0, 10), Rect(10, 40, 100, 10, "https://www.tarvik.example/rect"),
      Ellipse(100, 100, 40, 20, "https://www.tarvik.example/ellipse")},
     "%DEBUT_RECT/%|0 G||0.57 w|10.00 802.00 100.00 -10.00 re s|" +
         LinkText("1.000 1.000 1.000 rg", "16.00 797.00", "", "795.11 0.00 0.00") +
         "%FIN_RECT/%|0 G|" + kCurves + "0.57 w s|" +
         LinkText("1.000 1.000 1.000 rg", "81.00 738.00", "", "736.11 0.00 0.00"),
     "/Annots [" + Annot("15 797 115 787", "https://www.tarvik.example/rect") +
         Annot("80 738 102 728", "https://www.tarvik.example/ellipse") + "]"},
    {"a filled framed cell: box, then text on the baseline 0.3 sizes below the middle; empty "
     "cells draw only their box",
     {Font(0, 10), Fill(true), [](P& p) { p.PDFSetDrawColor(255); }, Border("1"), XY(50, 100),
      Cell(100, 20, "Hi"), At(150, 100), Fill(false), Border("0"), XY(10, 10), Cell(20, 5, ""),
      Fill(true), Cell(20, 5, "")},
     "%DEBUT_CELL/%|q|1.000 0.000 0.000 rg|0 G|0.57 w [] 0 d|50.00 742.00 100.00 -20.00 re B|Q|"
     "q 0 g |BT|53.00 729.00 Td|/F5 10.00 Tf|(Hi) Tj|ET|Q|%FIN_CELL/%|%DEBUT_CELL/%|%FIN_CELL/%|"
     "%DEBUT_CELL/%|q|1.000 0.000 0.000 rg|30.00 832.00 20.00 -5.00 re f|Q|%FIN_CELL/%|"},
    {"cells aligned right and centred, the sides drawn only where the border says",
     {Font(0, 10), Border("LB"), XY(50, 100), Align(2), Cell(100, 20, "Hi", std::string(), true),
      At(1, 120), Border("0"), Align(1), XY(50, 120), Cell(100, 20, "Hi")},
     "%DEBUT_CELL/%|q|0 G|0.57 w [] 0 d|50.00 742.00 m 50.00 722.00 l S|"
     "50.00 722.00 m 150.00 722.00 l S|Q|q 0 g |BT|137.56 729.00 Td|/F5 10.00 Tf|(Hi) Tj|ET|Q|"
     "%FIN_CELL/%|%DEBUT_CELL/%|q 0 g |BT|95.28 709.00 Td|/F5 10.00 Tf|(Hi) Tj|ET|Q|%FIN_CELL/%|"},
    {"a cell's link inside the cell, over its text (42.79 points from 53)",
     {Font(0, 10), XY(50, 100), Cell(100, 20, "Go (here)", "https://www.tarvik.example/a(b")},
     "%DEBUT_CELL/%|q 0 g |BT|53.00 729.00 Td|/F5 10.00 Tf|(Go \\(here\\)) Tj|ET|Q|" +
         LinkText("0 g", "54.00 737.00", "", "735.11 0.00 0.00") + "%FIN_CELL/%|",
     "/Annots [" + Annot("53 737 95 727", "https://www.tarvik.example/a\\(b") + "]"},
    {"long texts wrap onto justified lines of the cell's height but the last; long words are cut",
     {Font(0, 10), Border("1"), Align(3), XY(100, 100), Cell(60, 12, "aa bb cc dd ee ff", "", true),
      At(1, 124), XY(300, 100), Cell(30, 12, "ABCDEF"),
      [](P& p) { EXPECT_EQ(p.PDFCellLineCount(400, "one\ntwo"), 2); }},
     "%DEBUT_CELL/%|q|0 G|0.57 w [] 0 d|100.00 742.00 60.00 -24.00 re S|Q|q 0 g |BT|"
     "103.00 733.00 Td|/F5 10.00 Tf|0.767 Tw|(aa bb cc dd) Tj|ET|Q|q 0 g |BT|103.00 721.00 Td|"
     "/F5 10.00 Tf|(ee ff) Tj|ET|Q|%FIN_CELL/%|%DEBUT_CELL/%|q|0 G|0.57 w [] 0 d|"
     "300.00 742.00 30.00 -24.00 re S|Q|q 0 g |BT|303.00 733.00 Td|/F5 10.00 Tf|(ABC) Tj|ET|Q|"
     "q 0 g |BT|303.00 721.00 Td|/F5 10.00 Tf|(DEF) Tj|ET|Q|%FIN_CELL/%|"},
    {"dash lengths follow the unit they were set in: centimetres, then millimetres",
     {Unit(2), Style(1), Unit(0), Line(1, 1, 2, 2), Unit(1), Style(3), Unit(0), Line(1, 1, 2, 2)},
     "%DEBUT_LN/%|[453 226 ] 0 d|1.00 841.00 m|2.00 840.00 l|0 G|0.57 w S|%FIN_LN/%|"
     "%DEBUT_LN/%|[22 11 5 11 5 11 ] 0 d|1.00 841.00 m|2.00 840.00 l|0 G|0.57 w S|%FIN_LN/%|"},
};

} // namespace

TEST(PdfContent, EachCallWritesItsLinesIntoThePage) {
    for (const auto& c : kContentCases) {
        const Written written = WrittenBy(c.steps);
        EXPECT_EQ(written.content, c.content) << c.name;
        EXPECT_EQ(written.annotations, c.annotations) << c.name;
        EXPECT_EQ(written.messages, std::vector<std::string>{}) << c.name;
    }
}

TEST(PdfContent, ColoursInAllThreeForms) {
    const std::pair<PdfColour, const char*> cases[] = {
        {255, "1.000 0.000 0.000"},       {16711680, "0.000 0.000 1.000"},
        {0x404040, "0.251 0.251 0.251"},  {"#0000FF", "0.000 0.000 1.000"},
        {"#ff8000", "1.000 0.502 0.000"}, {PdfColour(255, 192, 203), "1.000 0.753 0.796"},
        {"#GG00A", "0.000 0.000 0.039"}}; // not hexadecimal: counted as far as it goes
    std::vector<Step> steps{Font(0, 10)};
    std::string expected;
    for (const auto& [colour, operands] : cases) {
        steps.insert(steps.end(), {TextColour(colour), Out("x", 10, 10)});
        expected += Text(std::string(operands) + " rg", "11.00 832.00 Td", "x");
    }
    EXPECT_EQ(WrittenBy(steps).content, expected);
}

// Each bad argument is told in a message box with a stop sign and replaced by its default.
TEST(PdfContent, BadArgumentsAreToldAndReplacedByTheirDefault) {
    const Written written = WrittenBy(
        {TextColour(255), TextColour("red"), Font(7, 12, 2), Out("x", 20, 20), At(20, 32),
         Out("x", 20, 20), Style(2), Style(4), Line(1, 1, 2, 2), Mode(5),
         Rect(10, 40, 100, 10, std::nullopt), Ellipse(10, 40, 100, 10, std::nullopt), Font(0, 10),
         Cell(100, 20, "Nowhere", std::nullopt), Align(2), Align(9), Border("1"), Border("LX"),
         [](P& p) { EXPECT_EQ(p.PDFGetAlignement() + p.PDFGetBorder().size(), 0u); }});
    // Times, named without its hyphen, has no metrics either: measured as nothing, told once.
    EXPECT_NE(written.content.find("q 0.000 0.000 0.000 rg |%DEBUT_TEXT/%|BT|21.00 822.00 Td|"
                                   "/F0 12.00 Tf|(x) Tj|ET|Q|%FIN_TEXT/%|%DEBUT_LN/%|[] 0 d|"),
              std::string::npos);
    EXPECT_NE(written.content.find("10.00 802.00 100.00 -10.00 re B|"), std::string::npos);
    EXPECT_NE(written.content.find("(Nowhere) Tj"), std::string::npos);
    EXPECT_EQ(written.annotations, "");
    EXPECT_EQ(
        Joined(written.messages),
        R"(!Couleur HTMl - qkPDF 4.0: Code couleur HTMl invalide red.|La couleur utilisée sera le noir.
!Nom de Font - qkPDF 4.0: Nom de font incorrecte : 7.|La font utilisée sera Times New Roman non gras , non italique.
!Métrique de Font - qkPDF 4.0: Fichier de métrique de font introuvable : <dir>/program/TimesRoman.afm.|La largeur des textes dans cette font sera nulle.
!Style de Ligne - qkPDF 4.0: Code style de ligne incorrect : 4.|Le style de ligne utilisé sera pSolid.
!Objet Rectangle - qkPDF 4.0: Code type de traçage incorrect : 5.|Le type de traçage utilisé sera bordure et remplissage.
!Lien URL Objet Rectangle - qkPDF 4.0: URL objet rectangle non valide : .|Impossible d'inclure le lien dans le rectangle.
!Lien URL Objet Ellipse - qkPDF 4.0: URL objet ellipse non valide : .|Impossible d'inclure le lien dans l'ellipse.
!Lien URL Objet Cellule - qkPDF 4.0: URL objet cellule non valide : .|Impossible d'inclure le lien dans la cellule.
!Alignement de Cellule - qkPDF 4.0: Code alignement incorrect : 9.|L'alignement utilisé sera à gauche.
!Bordure de Cellule - qkPDF 4.0: Code bordure incorrect : LX.|La cellule sera sans bordure.
)");
}
