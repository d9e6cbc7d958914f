#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

// Bookmarks point at their page; an unbalanced title is escaped.
TEST(PdfLinks, LinksAndBookmarksBelongToTheirPageAndTablesGrowPastAThousand) {
    PointsPage page;
    PDFPrinter& p = *page.printer;
    p.PDFUseOutlines(true);
    p.PDFSetBookmark("Certificate (signed)", 0, 40);
    p.PDFSetFont(0, 10);
    for (int i = 0; i < 1001; ++i)
        p.PDFLink(10, 20, "a", "https://example.test/" + std::to_string(i));
    p.PDFEndPage();
    p.PDFNewPage();
    p.PDFSetBookmark("Notes :-) \\ end"); // at the current y, the top margin of a new page
    p.PDFLink(260, 70, "www.tarvik.example");
    page.Content();
    const auto secondPage = page.pdf.rfind("<< /Type /Page\r\n");
    EXPECT_EQ(CountOf(page.pdf.substr(0, secondPage), "/Subtype /Link"), 1001u);
    EXPECT_NE(page.pdf.find("(https://example.test/1000)>>>>\r\n]"), std::string::npos);
    EXPECT_EQ(CountOf(page.pdf.substr(secondPage), "/Subtype /Link"), 1u);
    // Pages 22 and 23, items 24 and 25, root 26.
    const std::string pdf = Bars(page.pdf);
    for (const char* part : {"<</Title (Certificate (signed))|/Parent 26 0 R|/Next 25 0 R|"
                             "/Dest [22 0 R /XYZ 0 802.00 null]",
                             "<</Title (Notes :-\\) \\\\ end)|/Parent 26 0 R|/Prev 24 0 R|"
                             "/Dest [23 0 R /XYZ 0 841.00 null]",
                             "/PageLayout /SinglePage|/Outlines 26 0 R|/PageMode /UseOutlines|"})
        EXPECT_NE(pdf.find(part), std::string::npos) << part;
}

TEST(PdfLinks, BookmarksAreLinkedAsATreeByTheirLevels) {
    const struct {
        std::vector<int> levels;
        std::string outline;
    } cases[] = {
        {{0},
         "7 0 obj|<</Title (item 0)|/Parent 8 0 R|/Dest [6 0 R /XYZ 0 741.89 null]|/Count 0>>|"
         "endobj||8 0 obj|<</Type /Outlines /First 7 0 R|/Last 7 0 R>>|endobj||"},
        {{0, 1, 1, 0},
         "7 0 obj|<</Title (item 0)|/Parent 11 0 R|/Next 10 0 R|/First 8 0 R|/Last 9 0 R|"
         "/Dest [6 0 R /XYZ 0 741.89 null]|/Count 0>>|endobj||8 0 obj|<</Title (item 1)|"
         "/Parent 7 0 R|/Next 9 0 R|/Dest [6 0 R /XYZ 0 731.89 null]|/Count 0>>|endobj||"
         "9 0 obj|<</Title (item 2)|/Parent 7 0 R|/Prev 8 0 R|/Dest [6 0 R /XYZ 0 721.89 null]|"
         "/Count 0>>|endobj||10 0 obj|<</Title (item 3)|/Parent 11 0 R|/Prev 7 0 R|"
         "/Dest [6 0 R /XYZ 0 711.89 null]|/Count 0>>|endobj||"
         "11 0 obj|<</Type /Outlines /First 7 0 R|/Last 10 0 R>>|endobj||"},
        // The first item cannot be at level 2, nor the next one skip a level: each hangs
        // from the nearest level there is.
        {{2, 3, -1},
         "/Title (item 1)|/Parent 7 0 R|/Dest [6 0 R /XYZ 0 731.89 null]|/Count 0>>|endobj||"},
    };
    for (const auto& c : cases) {
        PdfTestBed bed(false);
        bed.printer->PDFSetUnit(0);
        bed.Begin();
        for (size_t i = 0; i < c.levels.size(); ++i)
            bed.printer->PDFSetBookmark("item " + std::to_string(i), c.levels[i], 100.0 + 10 * i);
        EXPECT_NE(Bars(bed.Finish()).find(c.outline), std::string::npos) << c.outline;
    }
}
