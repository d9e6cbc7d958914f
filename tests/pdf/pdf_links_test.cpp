#include "pdf_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tarvik;
using namespace tarvik::test;

namespace {

struct LinkPage : PdfTestBed {
    LinkPage() {
        printer().PDFSetUnit(0);
        printer().PDFOrientation(1);
        Begin();
        printer().PDFSetFont(0, 10);
    }
};

std::string AnnotsLine(const std::string& pdf) {
    const auto start = pdf.find("/Annots [");
    return start == std::string::npos
               ? ""
               : pdf.substr(start, pdf.find("]\r\n/Contents", start) + 1 - start);
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The outline items and root of a one-page document with bookmarks at these levels.
std::string OutlinesWith(const std::vector<int>& levels) {
    PdfTestBed bed(false);
    bed.printer().PDFSetUnit(0);
    bed.printer().PDFUseOutlines(true);
    bed.Begin();
    for (size_t i = 0; i < levels.size(); ++i) {
        bed.printer().PDFSetBookmark("item " + std::to_string(i), levels[i], 100.0 + 10 * i);
    }
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    const auto start = pdf.find("7 0 obj\r\n<</Title");
    return pdf.substr(start, pdf.find("/Type /Catalog") - start);
}

} // namespace

TEST(PdfLinks, ATextLinkIsUnderlinedAndPointsAtItsAddress) {
    LinkPage page;
    PDFPrinter& p = page.printer();
    p.PDFLink(260, 70, "www.tarvik.example");
    p.PDFLink(260, 90, "support", "https://www.tarvik.example/a(b");
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    // The address is 88.90 points wide in Helvetica at 10 points; "support" is 33.35.
    const std::string content = PageContent(pdf);
    EXPECT_EQ(content.substr(0, content.find("%FIN_LINK/%")),
              "%DEBUT_LINK/%\r\nq 0 g \r\n%DEBUT_TEXT/%\r\nBT\r\n261.00 772.00 Td\r\n"
              "/F5 10.00 Tf\r\n(www.tarvik.example) Tj\r\nET\r\n"
              "261.00 770.11 88.90 -0.18 re f\r\nQ\r\n%FIN_TEXT/%\r\n");
    EXPECT_EQ(AnnotsLine(pdf),
              "/Annots [<</Type /Annot /Subtype /Link /Rect [260 772 348 762] /Border [0 0 0] "
              "/A <</S /URI /URI (www.tarvik.example)>>>>\r\n"
              "<</Type /Annot /Subtype /Link /Rect [260 752 293 742] /Border [0 0 0] "
              "/A <</S /URI /URI (https://www.tarvik.example/a\\(b)>>>>\r\n]");
    const std::string json =
        RunTool("qpdf --json=2 --json-key=qpdf " + ShellQuoted(page.file())).output;
    EXPECT_NE(json.find("\"/URI\": \"u:www.tarvik.example\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"/URI\": \"u:https://www.tarvik.example/a(b\""), std::string::npos);
}

TEST(PdfLinks, ALinkWithoutTextOrAddressStillClosesItsAnnotation) {
    LinkPage page;
    page.printer().PDFLink(100, 100, "");
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    EXPECT_EQ(AnnotsLine(pdf), "/Annots [<</Type /Annot /Subtype /Link /Rect [100 742 100 732] "
                               "/Border [0 0 0] >>\r\n]");
}

TEST(PdfLinks, LinksBelongToTheirPageAndTablesGrowPastAThousand) {
    LinkPage page;
    PDFPrinter& p = page.printer();
    for (int i = 0; i < 1001; ++i) {
        p.PDFLink(10, 20, "a", "https://example.test/" + std::to_string(i));
    }
    p.PDFEndPage();
    p.PDFNewPage();
    p.PDFLink(10, 20, "b", "https://example.test/second");
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    const auto secondPage = pdf.rfind("<< /Type /Page\r\n");
    EXPECT_EQ(CountOf(pdf.substr(0, secondPage), "/Subtype /Link"), 1001u);
    EXPECT_EQ(CountOf(pdf.substr(secondPage), "/Subtype /Link"), 1u);
    EXPECT_NE(pdf.find("(https://example.test/1000)"), std::string::npos);
}

TEST(PdfLinks, BookmarksAreLinkedAsATreeByTheirLevels) {
    const struct {
        std::vector<int> levels;
        std::vector<std::string> parts;
    } cases[] = {
        {{0},
         {"7 0 obj\r\n<</Title (item 0)\r\n/Parent 8 0 R\r\n/Dest [6 0 R /XYZ 0 741.89 null]\r\n"
          "/Count 0>>\r\nendobj\r\n\r\n8 0 obj\r\n<</Type /Outlines /First 7 0 R\r\n"
          "/Last 7 0 R>>\r\nendobj\r\n\r\n9 0 obj\r\n<<\r\n"}},
        {{0, 1, 1, 0},
         {"7 0 obj\r\n<</Title (item 0)\r\n/Parent 11 0 R\r\n/Next 10 0 R\r\n/First 8 0 R\r\n"
          "/Last 9 0 R\r\n/Dest",
          "8 0 obj\r\n<</Title (item 1)\r\n/Parent 7 0 R\r\n/Next 9 0 R\r\n/Dest",
          "9 0 obj\r\n<</Title (item 2)\r\n/Parent 7 0 R\r\n/Prev 8 0 R\r\n/Dest",
          "10 0 obj\r\n<</Title (item 3)\r\n/Parent 11 0 R\r\n/Prev 7 0 R\r\n"
          "/Dest [6 0 R /XYZ 0 711.89 null]",
          "11 0 obj\r\n<</Type /Outlines /First 7 0 R\r\n/Last 10 0 R>>"}},
        // The first item cannot be at level 2, nor the next one skip a level: each hangs
        // from the nearest level there is.
        {{2, 3, -1},
         {"7 0 obj\r\n<</Title (item 0)\r\n/Parent 10 0 R\r\n/Next 9 0 R\r\n/First 8 0 R\r\n"
          "/Last 8 0 R\r\n",
          "8 0 obj\r\n<</Title (item 1)\r\n/Parent 7 0 R\r\n/Dest",
          "9 0 obj\r\n<</Title (item 2)\r\n/Parent 10 0 R\r\n/Prev 7 0 R\r\n"}},
    };
    for (const auto& c : cases) {
        const std::string tree = OutlinesWith(c.levels);
        for (const auto& part : c.parts) {
            EXPECT_NE(tree.find(part), std::string::npos) << part << "\nin\n" << tree;
        }
    }
}

TEST(PdfLinks, BookmarksPointAtTheirPageAndKeepTheirTitleReadable) {
    PdfTestBed bed;
    PDFPrinter& p = bed.printer();
    p.PDFSetUnit(0);
    p.PDFUseOutlines(true);
    p.PDFUseThumbs(true);
    bed.Begin();
    p.PDFSetBookmark("Certificate (signed)", 0, 40);
    p.PDFSetFont(0, 10);
    p.PDFTextOut("text", 20, 100);
    p.PDFEndPage();
    p.PDFNewPage();
    p.PDFSetBookmark("Notes :-) \\ end"); // at the current y, the top margin of a new page
    const std::string pdf = bed.Finish();
    ExpectSoundDocument(bed.file());
    // Pages 22 and 23, items 24 and 25, root 26.
    EXPECT_NE(pdf.find("<</Title (Certificate (signed))\r\n/Parent 26 0 R\r\n/Next 25 0 R\r\n"
                       "/Dest [22 0 R /XYZ 0 801.89 null]"),
              std::string::npos);
    EXPECT_NE(pdf.find("<</Title (Notes :-\\) \\\\ end)\r\n/Parent 26 0 R\r\n/Prev 24 0 R\r\n"
                       "/Dest [23 0 R /XYZ 0 840.89 null]"),
              std::string::npos);
    // One page mode only: a dictionary cannot hold the key twice.
    EXPECT_NE(pdf.find("/PageLayout /SinglePage\r\n/Outlines 26 0 R\r\n/PageMode /UseOutlines\r\n"),
              std::string::npos);
    EXPECT_EQ(pdf.find("/UseThumbs"), std::string::npos);
    const std::string json =
        RunTool("qpdf --json=2 --json-key=outlines " + ShellQuoted(bed.file())).output;
    EXPECT_NE(json.find("\"title\": \"Certificate (signed)\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"title\": \"Notes :-) \\\\ end\""), std::string::npos) << json;
}
