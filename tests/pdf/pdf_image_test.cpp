#include "pdf/jpeg_info.h"

#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::pdf;
using namespace tarvik::test;

namespace {

struct ImagePage : PointsPage {
    std::string Picture(const std::string& name, int width, int height, JpegOptions options = {}) {
        return MakeJpeg(dir() / name, width, height, options).string();
    }
};

// A file of `size` bytes: start marker, one comment segment filling the middle, `tail` and
// the end marker.
std::string Synthetic(size_t size, const std::string& tail) {
    const size_t commentLength = size - 2 - tail.size() - 2 - 2;
    std::string bytes = "\xFF\xD8\xFF\xFE";
    bytes += static_cast<char>(commentLength >> 8);
    bytes += static_cast<char>(commentLength & 0xFF);
    bytes += std::string(commentLength - 2, 'c');
    return bytes + tail + "\xFF\xD9";
}

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
    p.PDFImage(page.Picture("grey.jpeg", 30, 60, {.grey = true, .progressive = true}), 10, 300, 0,
               120); // width follows the height
    p.PDFImage(page.Picture("cmyk.jpg", 24, 16, {.cmyk = true}), 10, 500);
    const auto bare = page.dir() / "bare.jpg"; // without its JFIF header
    WriteBytes(bare, WithoutJfifHeader(ReadBytes(page.Picture("rgb.jpg", 40, 30))));
    p.PDFImage(bare.string(), 10, 600);
    EXPECT_EQ(page.Content(), "q|200.00 0 0 50.00 10.00 772.00 cm /ImgJPEG1 Do Q|"
                              "q|100.00 0 0 25.00 10.00 717.00 cm /ImgJPEG2 Do Q|"
                              "q|200.00 0 0 38.00 380.00 771.00 cm /ImgJPEG3 Do Q|"
                              "q|60.00 0 0 120.00 10.00 422.00 cm /ImgJPEG4 Do Q|"
                              "q|24.00 0 0 16.00 10.00 326.00 cm /ImgJPEG5 Do Q|"
                              "q|40.00 0 0 30.00 10.00 212.00 cm /ImgJPEG6 Do Q|");
    // 14 fonts after the page's two objects, then the pages tree (18) and resources (19).
    EXPECT_NE(Bars(ObjectText(page.pdf, 19))
                  .find("/XObject << |/ImgJPEG1 20 0 R|/ImgJPEG2 21 0 R|/ImgJPEG3 22 0 R|"
                        "/ImgJPEG4 23 0 R|/ImgJPEG5 24 0 R|/ImgJPEG6 25 0 R|>>"),
              std::string::npos);
    const std::string bytes = ReadBytes(logo);
    EXPECT_NE(page.pdf.find(Crlf("20 0 obj|<</Type /XObject|/Subtype /Image|/Filter [/DCTDecode ]|"
                                 "/Width 200|/Height 50|/ColorSpace /DeviceRGB|/BitsPerComponent 8|"
                                 "/Length " +
                                 std::to_string(bytes.size()) + "|/Name /ImgJPEG1>>|stream|") +
                            bytes + Crlf("|endstream|endobj||21 0 obj|")),
              std::string::npos);
    const std::string listed = RunTool("pdfimages -list " + ShellQuoted(page.file())).output;
    EXPECT_NE(listed.find("200    50  rgb     3   8  jpeg"), std::string::npos) << listed;
    EXPECT_NE(listed.find("30    60  gray    1   8  jpeg"), std::string::npos) << listed;
    EXPECT_NE(listed.find("24    16  cmyk    4   8  jpeg"), std::string::npos) << listed;
    EXPECT_NE(listed.find("40    30  rgb     3   8  jpeg"), std::string::npos) << listed;
    EXPECT_EQ(RunTool("pdftoppm -r 20 -png " + ShellQuoted(page.file()) + " " +
                      ShellQuoted(page.dir() / "render"))
                  .output,
              "");
    EXPECT_TRUE(page.messages().empty());
}

TEST(PdfImage, RefusedPicturesAreToldAndLeaveTheDocumentAsItWas) {
    ImagePage page;
    PDFPrinter& p = page.printer();
    const auto good = ReadBytes(page.Picture("good.jpg", 64, 64));
    std::string unit3 = good, twoComponents = good;
    unit3[13] = 3;
    twoComponents[twoComponents.find("\xFF\xC0") + 9] = 2;
    const std::pair<const char*, std::string> files[] = {{"noextension", good},
                                                         {"logo.JPG", good},
                                                         {"short.jpg", good.substr(0, 200)},
                                                         {"missing.jpg", ""},
                                                         {"trailing.jpg", good + "\r\n"},
                                                         {"start.jpg", "\xFF\xD9" + good.substr(2)},
                                                         {"unit3.jpg", unit3},
                                                         {"two.jpg", twoComponents}};
    for (const auto& [name, bytes] : files) {
        if (!bytes.empty())
            WriteBytes(page.dir() / name, bytes);
        p.PDFImage((page.dir() / name).string(), 10, 10);
    }
    EXPECT_EQ(p.PDFImageWidth((page.dir() / "logo.JPG").string()), 0);
    EXPECT_EQ(page.Content(), "");
    EXPECT_EQ(page.pdf.find("XObject\r\n"), std::string::npos);

    const std::string title = "!Fichier Image - qkPDF 4.0: ";
    const std::string cannot = "|Impossible d'inclure l'image dans le fichier PDF.";
    const std::string unsupported =
        title + "Format d'image non supportée.|Seule les images de types JPG sont supportées." +
        cannot;
    const std::string notJpeg = title + "Fichier image non JPEG." + cannot;
    const std::string markers =
        title + "Marqueur de début JPEG ou marqueur de fin JPEG non valide." + cannot;
    EXPECT_EQ(
        page.messages(),
        (std::vector<std::string>{
            title + "Le fichier image " + (page.dir() / "noextension").string() +
                " ne possède pas d'extension." + cannot,
            unsupported, notJpeg, notJpeg, markers, markers,
            title +
                "Erreur de résolution d'image , l'Opcode est 3Les Opcodes valides "
                "sont  0, 1, 2." +
                cannot,
            title + "Nombre de composantes de couleur non supporté : 2." + cannot, unsupported}));
}

TEST(PdfImage, APictureWithAnAddressIsALinkAndTurnsTheTextBlue) {
    ImagePage page;
    PDFPrinter& p = page.printer();
    p.PDFSetFont(0, 10);
    p.PDFImage(page.Picture("logo.jpg", 200, 50), 380, 33, 200, 38, "https://www.tarvik.example/");
    p.PDFTextOut("after", 20, 100);
    p.PDFImage(page.Picture("s.jpg", 120, 45), 100, 663, 120, 45, "");
    p.PDFImage(page.Picture("s.jpg", 120, 45), 100, 663, 120, 45, std::nullopt);
    const std::string content = page.Content();
    EXPECT_NE(content.find("cm /ImgJPEG1 Do Q|%DEBUT_LINK/%|q 0.000 0.000 1.000 rg |"
                           "%DEBUT_TEXT/%|BT|381.00 809.00 Td|/F5 10.00 Tf|() Tj|ET|"
                           "381.00 807.11 0.00 0.00 re f|Q|%FIN_TEXT/%|%FIN_LINK/%|"
                           "q 0.000 0.000 1.000 rg |%DEBUT_TEXT/%"),
              std::string::npos)
        << content;
    EXPECT_EQ(CountOf(content, " Do Q|"), 3u);
    // One link only: an empty address makes none, a missing one is told.
    EXPECT_NE(page.pdf.find("/Annots [<</Type /Annot /Subtype /Link /Rect [380 809 580 771] "
                            "/Border [0 0 0] /A <</S /URI /URI (https://www.tarvik.example/)>>>>"
                            "\r\n]\r\n"),
              std::string::npos);
    EXPECT_EQ(CountOf(page.pdf, "/Subtype /Link"), 1u);
    EXPECT_EQ(page.messages(),
              std::vector<std::string>{"!Lien URL Fichier Image - qkPDF 4.0: URL objet image non "
                                       "valide : .|Impossible d'inclure le lien dans l'image."});
}

// Refusals of whole files, with their messages, are tested where pictures are placed.
TEST(JpegInfo, NeverReadsBeyondTheBytes) {
    EXPECT_EQ(ReadJpegInfo("").problem, JpegProblem::TooShort);
    // Marker segments that point past the end, or a frame header cut by the end of the file.
    std::string longSegment = Synthetic(300, "");
    longSegment[4] = '\xFF';
    longSegment[5] = '\xFF';
    EXPECT_EQ(ReadJpegInfo(longSegment).problem, JpegProblem::BadMarkers);
    EXPECT_EQ(ReadJpegInfo(Synthetic(300, "\xFF\xC0\x00\x11")).problem, JpegProblem::BadMarkers);
    EXPECT_EQ(ReadJpegInfo(Synthetic(300, "\xFF\xE0\x00\x10JF")).problem, JpegProblem::BadMarkers);
    // Fill bytes, then a frame header of zero height: no picture to place.
    const std::string frame("\xFF\xC0\x00\x0B\x08\x00\x20\x00\x10\x01\x01\x11\x00", 13);
    std::string zeroHeight = frame;
    zeroHeight[6] = 0;
    EXPECT_EQ(ReadJpegInfo(Synthetic(300, "\xFF\xFF\xFF\xFE\x00\x02" + zeroHeight)).problem,
              JpegProblem::BadMarkers);
    const auto framed = ReadJpegInfo(Synthetic(300, frame));
    EXPECT_EQ(framed.problem, JpegProblem::None);
    EXPECT_EQ(framed.info.width, 16);
    EXPECT_EQ(framed.info.height, 32);
}

// Any run of 0xFF fill bytes may stand before a marker; the marker after it still counts.
TEST(JpegInfo, FillBytesBeforeAMarkerAreSkippedAndThePictureKeepsItsSize) {
    ImagePage page;
    std::string padded = ReadBytes(page.Picture("picture.jpg", 200, 50));
    padded.insert(padded.find("\xFF\xC0"), 5, '\xFF'); // before the frame header
    padded.insert(2, 1, '\xFF');                       // before the JFIF header
    const auto file = page.dir() / "padded.jpg";
    WriteBytes(file, padded);
    ASSERT_EQ(RunTool("djpeg -outfile /dev/null " + ShellQuoted(file)).exitCode, 0)
        << "a decoder takes the padded picture";
    const auto reading = ReadJpegInfo(padded);
    ASSERT_EQ(reading.problem, JpegProblem::None);
    EXPECT_EQ(reading.info.colourSpace + " " + reading.info.densityUnit, "DeviceRGB Dots");
    page.printer().PDFImage(file.string(), 10, 20);
    EXPECT_EQ(page.Content(), "q|200.00 0 0 50.00 10.00 772.00 cm /ImgJPEG1 Do Q|");
    EXPECT_NE(page.pdf.find("/Width 200\r\n/Height 50\r\n"), std::string::npos);
    EXPECT_TRUE(page.messages().empty());
}
