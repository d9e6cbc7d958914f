#include "pdf/afm_metrics.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace tarvik::pdf;

TEST(AfmMetrics, ReadsTheEncodedCharacterWidths) {
    const auto widths = ParseAfmWidths("StartFontMetrics 4.1\r\n"
                                       "FontName Test\r\n"
                                       "StartCharMetrics 5\r\n"
                                       "C 32 ; WX 278 ; N space ; B 0 0 0 0 ;\r\n"
                                       "C 65 ; WX 667.7 ; N A ; B 14 0 654 718 ;\r\n"
                                       "this line is no metric\r\n"
                                       "C 300 ; WX 999 ; N beyond ;\r\n"
                                       "C x ; WX 999 ; N bad ;\r\n"
                                       "C 90 ; WX 611 ; N Z ;\r\n"
                                       "C -1 ; WX 500 ; N unencoded ;\r\n"
                                       "C 97 ; WX 556 ; N a ;\r\n"
                                       "EndCharMetrics\r\n");
    EXPECT_EQ(widths.byCode[32], 278);
    EXPECT_EQ(widths.byCode[65], 667); // the whole part
    EXPECT_EQ(widths.byCode[90], 611);
    EXPECT_EQ(widths.byCode[97], 0); // after the first unencoded character
    EXPECT_EQ(widths.byCode[0], 0);
    EXPECT_EQ(SumWidths(widths, "A Z"), 667 + 278 + 611);
}

TEST(AfmMetrics, CodesOutsideTheFirstAndLastReadStayZero) {
    // Widths of codes below the first and above the last line read are dropped.
    const auto widths = ParseAfmWidths("StartCharMetrics\n"
                                       "C 50 ; WX 10 ;\n"
                                       "C 30 ; WX 20 ;\n"
                                       "C 70 ; WX 30 ;\n"
                                       "C 60 ; WX 40 ;\n");
    EXPECT_EQ(widths.byCode[50], 10);
    EXPECT_EQ(widths.byCode[60], 40);
    EXPECT_EQ(widths.byCode[30], 0);
    EXPECT_EQ(widths.byCode[70], 0);
    EXPECT_EQ(ParseAfmWidths("C 65 ; WX 500 ;\n").byCode[65], 0); // no metrics section
}

TEST(AfmMetrics, ListsTheFontsOfAFolderSortedByName) {
    tarvik::test::TempDir dir;
    for (const char* name :
         {"Helvetica-Bold.afm", "Helvetica.afm", "Courier.AFM", "notes.txt", "old.afm.bak"}) {
        std::ofstream(dir / name) << "x";
    }
    std::filesystem::create_directory(dir / "folder.afm");
    EXPECT_EQ(ListAfmNames(dir.path()),
              (std::vector<std::string>{"Courier", "Helvetica", "Helvetica-Bold", "old.afm"}));
    EXPECT_TRUE(ListAfmNames(dir / "missing").empty());
    EXPECT_FALSE(ReadAfmWidthsFile(dir / "missing.afm").has_value());
}
