#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

TEST(PdfCells, LongTextWrapsOntoLinesOfTheSameHeightInsideTheBox) {
    PointsPage page;
    PDFPrinter& p = page.printer();
    const std::string words = "the quick brown fox jumps over the lazy dog again and again";
    const std::string longWord = "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJ";
    p.PDFSetFont(0, 10);
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
    EXPECT_EQ(CountOf(content, " Tw|"), static_cast<size_t>(wordLines - 1));
    EXPECT_NE(content.find("100.00 742.00 90.00 -" + std::to_string(12 * wordLines) + ".00 re S"),
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
