#include "pdf_test_support.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

using namespace tarvik;
using namespace tarvik::test;

namespace {

// A page in points (841.89 high) with Helvetica 10 chosen.
struct CellPage : PdfTestBed {
    CellPage() {
        printer().PDFSetUnit(0);
        Begin();
        printer().PDFSetFont(0, 10);
    }
    // The content of the page with the font number written as "/F*".
    std::string Content() {
        pdf = Finish();
        ExpectSoundDocument(file());
        return std::regex_replace(PageContent(pdf), std::regex("/F[0-9]+ "), "/F* ");
    }
    std::string pdf;
};

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

struct WordBox {
    std::string word;
    double xMin, yMin, xMax, yMax;
};

// The words as a PDF reader places them (pdftotext -bbox), top-left origin.
std::vector<WordBox> WordBoxes(const std::filesystem::path& pdf) {
    const std::string html = RunTool("pdftotext -bbox " + ShellQuoted(pdf) + " -").output;
    const std::regex word(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<WordBox> boxes;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
         it != std::sregex_iterator(); ++it)
        boxes.push_back({(*it)[5], std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                         std::stod((*it)[4])});
    return boxes;
}

} // namespace

TEST(PdfCells, AFilledFramedCellWritesItsBoxThenItsTextAndMovesRight) {
    CellPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFill(true);
    p.PDFSetDrawColor(255);
    p.PDFSetBorder("1");
    p.PDFSetXY(50, 100);
    p.PDFCell(100, 20, "Hi");
    EXPECT_EQ(p.PDFGetX(), 150);
    EXPECT_EQ(p.PDFGetY(), 100);
    // Baseline: the middle of the line (110) and 0.3 of the font size below it.
    EXPECT_EQ(page.Content(), "%DEBUT_CELL/%\r\n"
                              "q\r\n"
                              "1.000 0.000 0.000 rg\r\n"
                              "0 G\r\n"
                              "0.57 w [] 0 d\r\n"
                              "50.00 741.89 100.00 -20.00 re B\r\n"
                              "Q\r\n"
                              "q 0 g \r\n"
                              "BT\r\n"
                              "53.00 728.89 Td\r\n"
                              "/F* 10.00 Tf\r\n"
                              "(Hi) Tj\r\n"
                              "ET\r\n"
                              "Q\r\n"
                              "%FIN_CELL/%\r\n");
}

TEST(PdfCells, AlignmentPlacesTheTextAndSidesDrawOnlyTheirLines) {
    CellPage page;
    PDFPrinter& p = page.printer();
    // "Hi" is 9.44 points wide in Helvetica 10.
    p.PDFSetBorder("LB");
    p.PDFSetXY(50, 100);
    p.PDFSetAlignement(2);
    EXPECT_EQ(p.PDFGetAlignement(), 2);
    p.PDFCell(100, 20, "Hi", std::string{}, true);
    EXPECT_EQ(p.PDFGetX(), 1); // the left margin
    EXPECT_EQ(p.PDFGetY(), 120);
    p.PDFSetBorder("0");
    p.PDFSetXY(50, 120);
    p.PDFSetAlignement(1);
    p.PDFCell(100, 20, "Hi");
    p.PDFSetAlignement(9);
    EXPECT_EQ(p.PDFGetAlignement(), 0);
    p.PDFSetBorder("LX");
    EXPECT_EQ(p.PDFGetBorder(), "");
    ASSERT_EQ(page.sink().messages.size(), 2u);
    EXPECT_EQ(page.sink().messages[0].title, "Alignement de Cellule - qkPDF 4.0");
    EXPECT_EQ(page.sink().messages[1].title, "Bordure de Cellule - qkPDF 4.0");
    const std::string content = page.Content();
    EXPECT_NE(content.find("137.56 728.89 Td"), std::string::npos) << content;
    EXPECT_NE(content.find("95.28 708.89 Td"), std::string::npos) << content;
    EXPECT_NE(content.find("50.00 741.89 m 50.00 721.89 l S"), std::string::npos);
    EXPECT_NE(content.find("50.00 721.89 m 150.00 721.89 l S"), std::string::npos);
    EXPECT_EQ(CountOf(content, " l S"), 2u);
    EXPECT_EQ(CountOf(content, " re "), 0u);
}

TEST(PdfCells, LongTextWrapsOntoLinesOfTheSameHeightInsideTheBox) {
    CellPage page;
    PDFPrinter& p = page.printer();
    const std::string words = "the quick brown fox jumps over the lazy dog again and again";
    const std::string longWord = "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJ";
    p.PDFSetBorder("1");
    p.PDFSetAlignement(3);
    const int wordLines = p.PDFCellLineCount(90, words);
    const int cutLines = p.PDFCellLineCount(60, longWord);
    EXPECT_GE(wordLines, 4);
    EXPECT_GE(cutLines, 3);
    EXPECT_EQ(p.PDFCellLineCount(90, "short"), 1);
    EXPECT_EQ(p.PDFCellLineCount(400, "one\ntwo"), 2);
    p.PDFSetXY(100, 100);
    p.PDFCell(90, 12, words, std::string{}, true);
    EXPECT_EQ(p.PDFGetY(), 100 + 12 * wordLines);
    p.PDFSetXY(300, 100);
    p.PDFCell(60, 12, longWord);
    const std::string content = page.Content();
    EXPECT_EQ(CountOf(content, ") Tj"), static_cast<size_t>(wordLines + cutLines));
    // Every wrapped line of the paragraph is justified, its last line is not.
    EXPECT_EQ(CountOf(content, " Tw\r\n"), static_cast<size_t>(wordLines - 1));
    EXPECT_NE(content.find("100.00 741.89 90.00 -" + std::to_string(12 * wordLines) + ".00 re S"),
              std::string::npos);

    std::string wrapped, cut;
    for (const WordBox& box : WordBoxes(page.file())) {
        if (box.xMin >= 300) {
            cut += box.word;
            EXPECT_LE(box.xMax, 360.5) << box.word;
        } else {
            wrapped += (wrapped.empty() ? "" : " ") + box.word;
            EXPECT_GE(box.xMin, 102.5) << box.word;
            EXPECT_LE(box.xMax, 187.5) << box.word;
            EXPECT_LE(box.yMax, 100.5 + 12 * wordLines) << box.word;
        }
    }
    EXPECT_EQ(wrapped, words);
    EXPECT_EQ(cut, longWord);
}

TEST(PdfCells, ALinkCoversTheCellsTextAndAMissingOneIsTold) {
    CellPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetXY(50, 100);
    p.PDFCell(100, 20, "Go (here)", std::string("https://www.tarvik.example/a(b"));
    p.PDFSetXY(50, 200);
    p.PDFCell(100, 20, "Nowhere", std::nullopt);
    ASSERT_EQ(page.sink().messages.size(), 1u);
    EXPECT_EQ(page.sink().messages[0].title, "Lien URL Objet Cellule - qkPDF 4.0");
    const std::string content = page.Content();
    const size_t cell = content.find("%DEBUT_CELL/%");
    const size_t link = content.find("%DEBUT_LINK/%");
    EXPECT_LT(cell, link);
    EXPECT_LT(link, content.find("%FIN_CELL/%"));
    EXPECT_NE(content.find("(Go \\(here\\)) Tj"), std::string::npos);
    // The text starts at 53 and is 42.79 points wide; the link reaches down from its top.
    EXPECT_NE(page.pdf.find("/Rect [53 736.89 95 726.89] /Border [0 0 0] /A <</S /URI /URI "
                            "(https://www.tarvik.example/a\\(b)>>>>"),
              std::string::npos)
        << page.pdf;
    EXPECT_EQ(CountOf(page.pdf, "/Subtype /Link"), 1u);
}

TEST(PdfCells, AnEmptyCellDrawsOnlyItsBox) {
    CellPage page;
    PDFPrinter& p = page.printer();
    p.PDFSetXY(10, 10);
    p.PDFCell(20, 5, "");
    p.PDFSetFill(true);
    p.PDFCell(20, 5, "");
    const std::string content = page.Content();
    EXPECT_EQ(CountOf(content, "%DEBUT_CELL/%"), 2u);
    EXPECT_EQ(CountOf(content, "BT"), 0u);
    EXPECT_EQ(CountOf(content, "re f"), 1u);
    EXPECT_NE(content.find("30.00 831.89 20.00 -5.00 re f"), std::string::npos) << content;
}
