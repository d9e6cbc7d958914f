#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

struct ImagePage : PdfTestBed {
    ImagePage() {
        printer().PDFSetUnit(0);
        printer().PDFOrientation(1);
        Begin();
    }
    std::string Picture(const std::string& name, int width, int height, JpegOptions options = {}) {
        return MakeJpeg(dir() / name, width, height, options).string();
    }
};

const char* const kCannotInclude = "Impossible d'inclure l'image dans le fichier PDF.";

} // namespace

TEST(PdfImage, PlacesThePictureAndEmbedsItsBytesUnchanged) {
    ImagePage page;
    PDFPrinter& p = page.printer();
    const auto logo = page.Picture("logo.jpg", 200, 50);
    EXPECT_EQ(p.PDFImageWidth(logo), 200);
    EXPECT_EQ(p.PDFImageHeight(logo), 50);
    p.PDFImage(logo, 10, 20);       // the picture's own size: one pixel is one point
    p.PDFImage(logo, 10, 100, 100); // height follows the width
    p.PDFImage(logo, 380, 33, 200, 38);
    EXPECT_EQ(p.PDFGetX(), 580);
    EXPECT_EQ(p.PDFGetY(), 71);
    const auto grey = page.Picture("grey.jpeg", 30, 60, {.grey = true, .progressive = true});
    p.PDFImage(grey, 10, 300, 0, 120); // width follows the height
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    EXPECT_EQ(PageContent(pdf), "q\r\n200.00 0 0 50.00 10.00 772.00 cm /ImgJPEG1 Do Q\r\n"
                                "q\r\n100.00 0 0 25.00 10.00 717.00 cm /ImgJPEG2 Do Q\r\n"
                                "q\r\n200.00 0 0 38.00 380.00 771.00 cm /ImgJPEG3 Do Q\r\n"
                                "q\r\n60.00 0 0 120.00 10.00 422.00 cm /ImgJPEG4 Do Q\r\n");
    // 14 fonts after the page's two objects, then the pages tree (18) and resources (19).
    EXPECT_NE(ObjectText(pdf, 19).find("/XObject << \r\n/ImgJPEG1 20 0 R\r\n/ImgJPEG2 21 0 R\r\n"
                                       "/ImgJPEG3 22 0 R\r\n/ImgJPEG4 23 0 R\r\n>>"),
              std::string::npos);
    const std::string bytes = ReadBytes(logo);
    EXPECT_NE(pdf.find("20 0 obj\r\n<</Type /XObject\r\n/Subtype /Image\r\n"
                       "/Filter [/DCTDecode ]\r\n/Width 200\r\n/Height 50\r\n"
                       "/ColorSpace /DeviceRGB\r\n/BitsPerComponent 8\r\n/Length " +
                       std::to_string(bytes.size()) + "\r\n/Name /ImgJPEG1>>\r\nstream\r\n" +
                       bytes + "\r\nendstream\r\nendobj\r\n\r\n21 0 obj\r\n"),
              std::string::npos);
    EXPECT_NE(ObjectText(pdf, 23).find("/ColorSpace /DeviceGray\r\n"), std::string::npos);
    const std::string listed = RunTool("pdfimages -list " + ShellQuoted(page.file())).output;
    EXPECT_NE(listed.find("200    50  rgb     3   8  jpeg"), std::string::npos) << listed;
    EXPECT_NE(listed.find("30    60  gray    1   8  jpeg"), std::string::npos) << listed;
    EXPECT_EQ(RunTool("pdftoppm -r 20 -png " + ShellQuoted(page.file()) + " " +
                      ShellQuoted(page.dir() / "render"))
                  .exitCode,
              0);
    EXPECT_TRUE(page.sink().messages.empty());
}

TEST(PdfImage, CmykAndBareJpegsAreEmbeddedToo) {
    ImagePage page;
    PDFPrinter& p = page.printer();
    WriteBytes(page.dir() / "bare.jpg",
               WithoutJfifHeader(ReadBytes(page.Picture("rgb.jpg", 40, 30))));
    p.PDFImage((page.dir() / "bare.jpg").string(), 10, 10, 40, 30);
    p.PDFImage(page.Picture("cmyk.jpg", 24, 16, {.cmyk = true}), 10, 100);
    const std::string pdf = page.Finish();
    EXPECT_NE(pdf.find("/Name /ImgJPEG1"), std::string::npos);
    EXPECT_NE(pdf.find("/ColorSpace /DeviceCMYK"), std::string::npos);
    EXPECT_NE(
        RunTool("pdfimages -list " + ShellQuoted(page.file())).output.find("24    16  cmyk    4"),
        std::string::npos);
    ExpectSoundDocument(page.file());
    EXPECT_TRUE(page.sink().messages.empty());
}

TEST(PdfImage, RefusedPicturesAreToldAndLeaveTheDocumentAsItWas) {
    ImagePage page;
    PDFPrinter& p = page.printer();
    const auto good = ReadBytes(page.Picture("good.jpg", 64, 64));
    WriteBytes(page.dir() / "logo.JPG", good);
    WriteBytes(page.dir() / "short.jpg", good.substr(0, 200));
    WriteBytes(page.dir() / "trailing.jpg", good + "\r\n");
    WriteBytes(page.dir() / "start.jpg", "\xFF\xD9" + good.substr(2));
    std::string unit3 = good;
    unit3[13] = 3;
    WriteBytes(page.dir() / "unit3.jpg", unit3);
    std::string twoComponents = good;
    twoComponents[twoComponents.find("\xFF\xC0") + 9] = 2;
    WriteBytes(page.dir() / "two.jpg", twoComponents);

    const auto path = [&](const char* name) { return (page.dir() / name).string(); };
    p.PDFImage((page.dir() / "noextension").string(), 10, 10);
    p.PDFImage(path("logo.JPG"), 10, 10);
    p.PDFImage(path("short.jpg"), 10, 10);
    p.PDFImage(path("missing.jpg"), 10, 10);
    p.PDFImage(path("trailing.jpg"), 10, 10);
    p.PDFImage(path("start.jpg"), 10, 10);
    p.PDFImage(path("unit3.jpg"), 10, 10);
    p.PDFImage(path("two.jpg"), 10, 10);
    EXPECT_EQ(p.PDFImageWidth(path("logo.JPG")), 0);
    const std::string pdf = page.Finish();
    EXPECT_EQ(PageContent(pdf), "");
    EXPECT_EQ(pdf.find("XObject\r\n"), std::string::npos);
    ExpectSoundDocument(page.file());

    std::vector<std::string> texts;
    for (const auto& message : page.sink().messages) {
        EXPECT_EQ(message.title, "Fichier Image - qkPDF 4.0");
        EXPECT_EQ(message.icon, PdfMessageIcon::Stop);
        texts.push_back(message.text);
    }
    const std::string unsupported = std::string("Format d'image non supportée.\r\n") +
                                    "Seule les images de types JPG sont supportées.\r\n" +
                                    kCannotInclude;
    const std::string notJpeg = std::string("Fichier image non JPEG.\r\n") + kCannotInclude;
    const std::string markers =
        std::string("Marqueur de début JPEG ou marqueur de fin JPEG non valide.\r\n") +
        kCannotInclude;
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Le fichier image " + (page.dir() / "noextension").string() +
                             " ne possède pas d'extension.\r\n" + kCannotInclude,
                         unsupported, notJpeg, notJpeg, markers, markers,
                         std::string("Erreur de résolution d'image , l'Opcode est 3Les Opcodes "
                                     "valides sont  0, 1, 2.\r\n") +
                             kCannotInclude,
                         "Nombre de composantes de couleur non supporté : 2.\r\n" +
                             std::string(kCannotInclude),
                         unsupported}));
}

TEST(PdfImage, APictureWithAnAddressIsALinkAndTurnsTheTextBlue) {
    ImagePage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 10);
    p.PDFImage(page.Picture("logo.jpg", 200, 50), 380, 33, 200, 38, "https://www.tarvik.example/");
    p.PDFTextOut("after", 20, 100);
    p.PDFImage(page.Picture("s.jpg", 120, 45), 100, 663, 120, 45, "");
    const std::string pdf = page.Finish();
    ExpectSoundDocument(page.file());
    const std::string content = PageContent(pdf);
    EXPECT_NE(content.find("cm /ImgJPEG1 Do Q\r\n%DEBUT_LINK/%\r\n"
                           "q 0.000 0.000 1.000 rg \r\n%DEBUT_TEXT/%\r\nBT\r\n"
                           "381.00 809.00 Td\r\n/F5 10.00 Tf\r\n() Tj\r\nET\r\n"
                           "381.00 807.11 0.00 0.00 re f\r\nQ\r\n%FIN_TEXT/%\r\n%FIN_LINK/%\r\n"
                           "q 0.000 0.000 1.000 rg \r\n%DEBUT_TEXT/%"),
              std::string::npos)
        << content;
    EXPECT_NE(pdf.find("/Annots [<</Type /Annot /Subtype /Link /Rect [380 809 580 771] "
                       "/Border [0 0 0] /A <</S /URI /URI (https://www.tarvik.example/)>>>>\r\n]"
                       "\r\n"),
              std::string::npos);
    EXPECT_EQ(pdf.find("/Subtype /Link", pdf.find("/Subtype /Link") + 1), std::string::npos);
}

TEST(PdfImage, AMissingAddressIsToldAsAnInvalidLink) {
    ImagePage page;
    PDFPrinter& p = page.printer();
    p.PDFImage(page.Picture("logo.jpg", 200, 50), 10, 10, 0, 0, std::nullopt);
    const std::string pdf = page.Finish();
    EXPECT_NE(PageContent(pdf).find("/ImgJPEG1 Do Q"), std::string::npos);
    EXPECT_EQ(pdf.find("/Annots"), std::string::npos);
    ASSERT_EQ(page.sink().messages.size(), 1u);
    EXPECT_EQ(page.sink().messages[0].title, "Lien URL Fichier Image - qkPDF 4.0");
    EXPECT_EQ(page.sink().messages[0].text,
              "URL objet image non valide : .\r\nImpossible d'inclure le lien dans l'image.");
}
