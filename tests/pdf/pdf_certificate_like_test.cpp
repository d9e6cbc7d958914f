// A document written the way the certificate is: the settings in their order, letterhead,
// the logo with a link, the texts and the signature.
#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

TEST(PdfCertificateLike, OnePageWithTextsPicturesALinkAndABookmark) {
    PdfTestBed bed(false);
    PDFPrinter& p = bed.printer();
    const auto logo = MakeJpeg(bed.dir() / "logo.jpg", 400, 76).string();
    const auto signature = MakeJpeg(bed.dir() / "s.jpg", 240, 90, {.grey = true}).string();
    p.PDFTitle("Tarvik Locator System Validation Certificate");
    p.PDFFileName(bed.file().string());
    p.PDFLoadAfm(StandardFontsFolder().string());
    p.PDFConfirm(false);
    p.PDFView(true);
    p.PDFSetViewerPreferences(21);
    p.PDFFormatPage(0);
    p.PDFOrientation(1);
    p.PDFSetUnit(0);
    p.PDFSetZoomMode(1);
    p.PDFSetLayoutMode(3);
    p.PDFUseOutlines(true);
    p.PDFUseThumbs(false);
    p.PDFBeginDoc();
    p.PDFSetBookmark("System Validation Certificate", 0, 40);
    p.PDFSetFont(0, 10, 2);
    p.PDFSetTextColor(0);
    p.PDFTextOut("Tarvik International Ltd", 15, 40);
    p.PDFSetFont(0, 10, 0);
    p.PDFTextOut("Unit 4, Millrace Business Park", 15, 50);
    p.PDFSetFont(0, 10, 2);
    p.PDFSetTextColor(255);
    p.PDFTextOut("web", 230, 70);
    p.PDFSetFont(0, 10, 0);
    p.PDFSetTextColor(0);
    p.PDFLink(260, 70, "www.tarvik.example", "");
    p.PDFImage(logo, 380, 33, 200, 38, "https://www.tarvik.example/");
    p.PDFSetFont(0, 20, 2);
    p.PDFSetTextColor(0);
    p.PDFTextOut("System Validation Certificate", 160, 200);
    p.PDFSetFont(0, 12, 0);
    p.PDFTextOut("The           Locator, Serial Number             , successfully passed its "
                 "self test on",
                 100, 480);
    p.PDFTextOut("KVZ3", 124, 480);
    p.PDFTextOut("12345", 285, 480);
    p.PDFImage(signature, 100, 663, 120, 45, "");
    p.PDFTextOut("Tarvik Customer Services Manager ", 100, 720);
    ASSERT_TRUE(p.PDFEndDoc());
    ExpectSoundDocument(bed.file());
    EXPECT_TRUE(bed.sink().messages.empty());
    EXPECT_EQ(bed.viewed.size(), 1u);

    const std::string pdf = ReadBytes(bed.file());
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 595 842]"), std::string::npos);
    EXPECT_NE(pdf.find("/OpenAction [22 0 R /FitH null]\r\n/Outlines 24 0 R\r\n"
                       "/PageMode /UseOutlines\r\n/ViewerPreferences<<\r\n/HideMenubar true\r\n"
                       "/HideToolbar true\r\n>>\r\n>>"),
              std::string::npos);
    EXPECT_NE(pdf.find("/Dest [22 0 R /XYZ 0 802.00 null]"), std::string::npos);
    EXPECT_NE(pdf.find("/URI (www.tarvik.example)"), std::string::npos);
    EXPECT_NE(pdf.find("/Rect [380 809 580 771]"), std::string::npos);
    const std::string text = PdfToText(bed.file());
    for (const char* line :
         {"Tarvik International Ltd", "www.tarvik.example", "System Validation Certificate", "KVZ3",
          "12345", "Tarvik Customer Services Manager"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    }
    const std::string images = RunTool("pdfimages -list " + ShellQuoted(bed.file())).output;
    EXPECT_NE(images.find("400    76  rgb"), std::string::npos) << images;
    EXPECT_NE(images.find("240    90  gray"), std::string::npos) << images;
}
