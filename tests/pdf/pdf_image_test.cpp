#include "pdf/jpeg_info.h"

#include "pdf_test_support.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::pdf;
using namespace tarvik::test;

// Refused pictures are told and leave the page as it was.
TEST(PdfImage, PlacesPicturesEmbedsTheirBytesUnchangedLinksThemAndRefusesBadOnes) {
    PointsPage page;
    PDFPrinter& p = *page.printer;
    const auto logo = MakeJpeg(page.dir / "logo.jpg", 200, 50);
    EXPECT_EQ(std::pair(p.PDFImageWidth(logo), p.PDFImageHeight(logo)), std::pair(200.0, 50.0));
    p.PDFImage(logo, 10, 20);       // the picture's own size: one pixel is one point
    p.PDFImage(logo, 10, 100, 100); // height follows the width
    p.PDFImage(logo, 380, 33, 200, 38);
    EXPECT_EQ(std::pair(p.PDFGetX(), p.PDFGetY()), std::pair(580, 71));
    p.PDFImage(MakeJpeg(page.dir / "grey.jpg", 30, 60, {.grey = true, .progressive = true}), 10,
               300, 0, 120);
    p.PDFImage(MakeJpeg(page.dir / "cmyk.jpg", 24, 16, {.cmyk = true}), 10, 500);
    // Without its JFIF header, and with fill bytes before two markers: a decoder takes it.
    const std::string good = ReadBytes(MakeJpeg(page.dir / "rgb.jpg", 40, 30));
    std::string bare = good, unit3 = good, twoComponents = good;
    bare.erase(2,
               static_cast<unsigned char>(bare[4]) * 256 + static_cast<unsigned char>(bare[5]) + 2);
    bare.insert(bare.find("\xFF\xC0"), 5, '\xFF');
    bare.insert(2, 1, '\xFF');
    unit3[13] = 3;
    twoComponents[twoComponents.find("\xFF\xC0") + 9] = 2;
    const std::pair<const char*, std::string> files[] = {{"bare.jpg", bare},
                                                         {"noextension", good},
                                                         {"logo.JPG", good},
                                                         {"short.jpg", good.substr(0, 200)},
                                                         {"missing.jpg", ""},
                                                         {"trailing.jpg", good + "\r\n"},
                                                         {"start.jpg", "\xFF\xD9" + good.substr(2)},
                                                         {"unit3.jpg", unit3},
                                                         {"two.jpg", twoComponents}};
    for (const auto& [name, bytes] : files) {
        if (!bytes.empty())
            WriteBytes(page.dir / name, bytes);
        p.PDFImage((page.dir / name).string(), 10, 600);
    }
    EXPECT_EQ(RunTool("djpeg -outfile /dev/null " + ShellQuoted(page.dir / "bare.jpg")).exitCode,
              0);
    EXPECT_EQ(p.PDFImageWidth((page.dir / "logo.JPG").string()), 0);
    // An address makes the picture a link and the text after it blue; an empty one makes no
    // link, a missing one is told.
    p.PDFSetFont(0, 10);
    p.PDFImage(logo, 380, 33, 200, 38, "https://www.tarvik.example/");
    p.PDFImage(logo, 100, 663, 120, 45, "");
    p.PDFImage(logo, 100, 663, 120, 45, std::nullopt);
    p.PDFTextOut("after", 20, 100);
    EXPECT_EQ(page.Content(),
              "q|200.00 0 0 50.00 10.00 772.00 cm /ImgJPEG1 Do Q|"
              "q|100.00 0 0 25.00 10.00 717.00 cm /ImgJPEG2 Do Q|"
              "q|200.00 0 0 38.00 380.00 771.00 cm /ImgJPEG3 Do Q|"
              "q|60.00 0 0 120.00 10.00 422.00 cm /ImgJPEG4 Do Q|"
              "q|24.00 0 0 16.00 10.00 326.00 cm /ImgJPEG5 Do Q|"
              "q|40.00 0 0 30.00 10.00 212.00 cm /ImgJPEG6 Do Q|"
              "q|200.00 0 0 38.00 380.00 771.00 cm /ImgJPEG7 Do Q|%DEBUT_LINK/%|"
              "q 0.000 0.000 1.000 rg |%DEBUT_TEXT/%|BT|381.00 809.00 Td|/F5 10.00 Tf|() Tj|ET|"
              "381.00 807.11 0.00 0.00 re f|Q|%FIN_TEXT/%|%FIN_LINK/%|"
              "q|120.00 0 0 45.00 100.00 134.00 cm /ImgJPEG8 Do Q|"
              "q|120.00 0 0 45.00 100.00 134.00 cm /ImgJPEG9 Do Q|q 0.000 0.000 1.000 rg |"
              "%DEBUT_TEXT/%|BT|21.00 742.00 Td|/F5 10.00 Tf|(after) Tj|ET|Q|%FIN_TEXT/%|");
    // 14 fonts after the page's two objects, then the pages tree (18) and resources (19).
    const std::string pdf = Bars(page.pdf);
    EXPECT_NE(pdf.find("/XObject << |/ImgJPEG1 20 0 R|/ImgJPEG2 21 0 R|/ImgJPEG3 22 0 R|"),
              std::string::npos);
    EXPECT_EQ(CountOf(pdf, "/Subtype /Image"), 9u);
    const std::string bytes = Bars(ReadBytes(logo));
    EXPECT_NE(pdf.find("|20 0 obj|<</Type /XObject|/Subtype /Image|/Filter [/DCTDecode ]|"
                       "/Width 200|/Height 50|/ColorSpace /DeviceRGB|/BitsPerComponent 8|"
                       "/Length " +
                       std::to_string(ReadBytes(logo).size()) + "|/Name /ImgJPEG1>>|stream|" +
                       bytes + "|endstream|endobj||21 0 obj|"),
              std::string::npos);
    EXPECT_NE(pdf.find("/Annots [<</Type /Annot /Subtype /Link /Rect [380 809 580 771] /Border "
                       "[0 0 0] /A <</S /URI /URI (https://www.tarvik.example/)>>>>|]|"),
              std::string::npos);
    EXPECT_EQ(CountOf(pdf, "/Subtype /Link"), 1u);
    const std::string listed = RunTool("pdfimages -list " + ShellQuoted(page.file)).output;
    for (const char* kind : {"200    50  rgb     3   8  jpeg", "30    60  gray    1   8  jpeg",
                             "24    16  cmyk    4   8  jpeg", "40    30  rgb     3   8  jpeg"})
        EXPECT_NE(listed.find(kind), std::string::npos) << listed;
    EXPECT_EQ(Joined(page.messages),
              "!Fichier Image - qkPDF 4.0: Le fichier image " +
                  (page.dir / "noextension").string() +
                  R"( ne possède pas d'extension.|Impossible d'inclure l'image dans le fichier PDF.
!Fichier Image - qkPDF 4.0: Format d'image non supportée.|Seule les images de types JPG sont supportées.|Impossible d'inclure l'image dans le fichier PDF.
!Fichier Image - qkPDF 4.0: Fichier image non JPEG.|Impossible d'inclure l'image dans le fichier PDF.
!Fichier Image - qkPDF 4.0: Fichier image non JPEG.|Impossible d'inclure l'image dans le fichier PDF.
!Fichier Image - qkPDF 4.0: Marqueur de début JPEG ou marqueur de fin JPEG non valide.|Impossible d'inclure l'image dans le fichier PDF.
!Fichier Image - qkPDF 4.0: Marqueur de début JPEG ou marqueur de fin JPEG non valide.|Impossible d'inclure l'image dans le fichier PDF.
!Fichier Image - qkPDF 4.0: Erreur de résolution d'image , l'Opcode est 3Les Opcodes valides sont  0, 1, 2.|Impossible d'inclure l'image dans le fichier PDF.
!Fichier Image - qkPDF 4.0: Nombre de composantes de couleur non supporté : 2.|Impossible d'inclure l'image dans le fichier PDF.
!Fichier Image - qkPDF 4.0: Format d'image non supportée.|Seule les images de types JPG sont supportées.|Impossible d'inclure l'image dans le fichier PDF.
!Lien URL Fichier Image - qkPDF 4.0: URL objet image non valide : .|Impossible d'inclure le lien dans l'image.
)");
}

TEST(JpegInfo, NeverReadsBeyondTheBytes) {
    // 300 bytes: start marker, one comment segment filling the middle, `tail`, end marker. A
    // segment or frame header cut by the end, fill bytes then a frame of zero height: refused.
    const auto synthetic = [](const std::string& tail) {
        const size_t length = 300 - 2 - tail.size() - 2 - 2;
        return "\xFF\xD8\xFF\xFE" + std::string{char(length >> 8), char(length & 0xFF)} +
               std::string(length - 2, 'c') + tail + "\xFF\xD9";
    };
    const std::string frame("\xFF\xC0\x00\x0B\x08\x00\x20\x00\x10\x01\x01\x11\x00", 13);
    for (const std::string& bytes :
         {"\xFF\xD8\xFF\xFE\xFF\xFF" + std::string(292, 'c') + "\xFF\xD9",
          synthetic("\xFF\xC0\x00\x11"), synthetic("\xFF\xE0\x00\x10JF"),
          synthetic("\xFF\xFF\xFF\xFE\x00\x02" + frame.substr(0, 6) + '\0' + frame.substr(7))})
        EXPECT_EQ(ReadJpegInfo(bytes).problem, JpegProblem::BadMarkers);
}
