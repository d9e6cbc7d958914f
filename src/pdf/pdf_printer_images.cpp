// JPEG pictures: the name and content checks, placing, and the image objects.
#include "pdf/pdf_printer.h"

#include "pdf/pdf_number_format.h"

#include <fstream>
#include <sstream>

namespace tarvik {

namespace {

constexpr const char* kImageTitle = "Fichier Image - ";
constexpr const char* kCannotInclude = "Impossible d'inclure l'image dans le fichier PDF.";

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::optional<std::string> ReadFileBytes(const std::string& fileName) {
    std::ifstream in(std::filesystem::path(fileName), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes.str();
}

} // namespace

// Only names ending in exactly "jpg" or "jpeg" are taken.
bool PDFPrinter::CheckImageName(const std::string& fileName) {
    if (fileName.find('.') == std::string::npos) {
        Complain(kImageTitle, "Le fichier image " + fileName + " ne possède pas d'extension.\r\n" +
                                  kCannotInclude);
        return false;
    }
    if (!EndsWith(fileName, "jpg") && !EndsWith(fileName, "jpeg")) {
        Complain(kImageTitle, std::string("Format d'image non supportée.\r\n") +
                                  "Seule les images de types JPG sont supportées.\r\n" +
                                  kCannotInclude);
        return false;
    }
    return true;
}

std::optional<PDFPrinter::Image> PDFPrinter::ReadImage(const std::string& fileName) {
    // A file that cannot be read is told like one too short to be a picture.
    const auto bytes = ReadFileBytes(fileName);
    const pdf::JpegReading reading = pdf::ReadJpegInfo(bytes ? *bytes : std::string());
    switch (reading.problem) {
    case pdf::JpegProblem::None:
        return Image{reading.info, *bytes};
    case pdf::JpegProblem::TooShort:
        Complain(kImageTitle, std::string("Fichier image non JPEG.\r\n") + kCannotInclude);
        break;
    case pdf::JpegProblem::BadMarkers:
        Complain(kImageTitle,
                 std::string("Marqueur de début JPEG ou marqueur de fin JPEG non valide.\r\n") +
                     kCannotInclude);
        break;
    case pdf::JpegProblem::BadDensityUnit:
        Complain(kImageTitle, "Erreur de résolution d'image , l'Opcode est " +
                                  std::to_string(reading.badUnit) +
                                  "Les Opcodes valides sont  0, 1, 2.\r\n" + kCannotInclude);
        break;
    case pdf::JpegProblem::UnsupportedColour:
        Complain(kImageTitle, "Nombre de composantes de couleur non supporté : " +
                                  std::to_string(reading.info.components) + ".\r\n" +
                                  kCannotInclude);
        break;
    }
    return std::nullopt;
}

double PDFPrinter::PDFImageWidth(const std::string& pFileName) {
    if (!CheckImageName(pFileName)) {
        return 0;
    }
    const auto image = ReadImage(pFileName);
    return image ? image->info.width : 0;
}

double PDFPrinter::PDFImageHeight(const std::string& pFileName) {
    if (!CheckImageName(pFileName)) {
        return 0;
    }
    const auto image = ReadImage(pFileName);
    return image ? image->info.height : 0;
}

void PDFPrinter::PDFImage(const std::string& pFileName, double x, double y, double w, double h,
                          const std::optional<std::string>& URLLink) {
    if (!CheckImageName(pFileName)) {
        return;
    }
    auto image = ReadImage(pFileName);
    if (!image) {
        return;
    }
    const double pixelWidth = image->info.width;
    const double pixelHeight = image->info.height;
    if (w == 0 && h == 0) {
        w = pixelWidth / scale_;
        h = pixelHeight / scale_;
    } else if (w == 0) {
        w = pixelWidth * h / pixelHeight;
    } else if (h == 0) {
        h = pixelHeight * w / pixelWidth;
    }
    images_.push_back(std::move(*image));
    AppendContent("q");
    AppendContent(pdf::FormatFixed(w * scale_, 2) + " 0 0 " + pdf::FormatFixed(h * scale_, 2) +
                  " " + pdf::FormatFixed(x * scale_, 2) + " " +
                  pdf::FormatFixed(PageHeight() - (y + h) * scale_, 2) + " cm /ImgJPEG" +
                  std::to_string(images_.size()) + " Do Q");
    lastImageWidth_ = w;
    lastImageHeight_ = h;
    AttachLink(URLLink, PendingLink::Image, x, y);
    x_ = (x + w) * scale_;
    y_ = (y + h) * scale_;
}

void PDFPrinter::WriteImages() {
    for (size_t i = 1; i <= images_.size(); ++i) {
        const Image& image = images_[i - 1];
        const int number = NewObject();
        AppendLine(std::to_string(number) + " 0 obj");
        AppendLine("<</Type /XObject");
        AppendLine("/Subtype /Image");
        AppendLine("/Filter [/DCTDecode ]");
        AppendLine("/Width " + std::to_string(image.info.width));
        AppendLine("/Height " + std::to_string(image.info.height));
        AppendLine("/ColorSpace /" + image.info.colourSpace);
        AppendLine("/BitsPerComponent 8");
        AppendLine("/Length " + std::to_string(image.data.size()));
        AppendLine("/Name /ImgJPEG" + std::to_string(i) + ">>");
        AppendLine("stream");
        AppendLine(image.data);
        AppendLine("endstream");
        AppendLine("endobj");
        WriteObjectAt(number, 0);
    }
}

} // namespace tarvik
