// Fonts, text measuring and text output of the PDF writer, and the watermark.
#include "pdf/pdf_printer.h"

#include "pdf/afm_metrics.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_text_escape.h"
#include "pdf/windows_1252.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace tarvik {

namespace {

// The watermark's slant: its sine and cosine are those of 45 radians, which is how the
// documents have always placed it.
constexpr double kWatermarkAngle = 45;

} // namespace

void PDFPrinter::PDFSetFont(long str_Fontname, int in_FontSize, long str_Style) {
    static constexpr const char* kFamilies[] = {"Helvetica", "Courier", "Times", "Symbol",
                                                "ZapfDingbats"};
    const std::string style = std::to_string(str_Style);
    italic_ = style.find('1') != std::string::npos;
    bold_ = style.find('2') != std::string::npos;
    underline_ = style.find('3') != std::string::npos;
    fontSize_ = in_FontSize;
    if (str_Fontname < 0 || str_Fontname > 4) {
        Complain("Nom de Font - ", "Nom de font incorrecte : ", std::to_string(str_Fontname),
                 "La font utilisée sera Times New Roman non gras , non italique.");
        fontName_ = "TimesRoman";
        italic_ = bold_ = false;
        return;
    }
    fontFamily_ = kFamilies[str_Fontname];
    const bool times = fontFamily_ == "Times";
    if (italic_ && bold_) {
        fontName_ = fontFamily_ + (times ? "-BoldItalic" : "-BoldOblique");
    } else if (bold_) {
        fontName_ = fontFamily_ + "-Bold";
    } else if (italic_) {
        // The Times italic is named without its hyphen, a name no standard font carries.
        fontName_ = times ? "TimesItalic" : fontFamily_ + "-Oblique";
    } else {
        fontName_ = times ? "Times-Roman" : fontFamily_;
    }
}

double PDFPrinter::PDFTextHeight() const {
    return fontSize_ * scale_;
}

int PDFPrinter::FontNumber() const {
    if (fontName_.empty()) {
        return 1;
    }
    const auto found = std::find(afmNames_.begin(), afmNames_.end(), fontName_);
    return found == afmNames_.end() ? 0 : static_cast<int>(found - afmNames_.begin()) + 1;
}

void PDFPrinter::WriteFonts() {
    for (const auto& name : afmNames_) {
        const int number = NewObject();
        fontObjects_.push_back(number);
        AppendLine(std::to_string(number) + " 0 obj");
        AppendLine("<< /Type /Font");
        AppendLine("/Subtype /Type1");
        AppendLine("/Name /F" + std::to_string(fontObjects_.size()));
        AppendLine("/BaseFont /" + pdf::EscapeName(name));
        AppendLine("/Encoding /WinAnsiEncoding");
        AppendLine(">>");
        AppendLine("endobj");
        WriteObjectAt(number, 0);
    }
}

double PDFPrinter::PDFGetStringWidth(const std::string& str_Txt, const std::string& str_FName,
                                     int in_FSize) {
    return StringWidth(pdf::ToWindows1252(str_Txt), str_FName, in_FSize);
}

// The metrics file is checked at every call and read again when it changed, so a font folder
// changed between documents is seen. Before any font is chosen, texts are written in font 1,
// so they are measured with it too.
double PDFPrinter::StringWidth(const std::string& text8, const std::string& fontName, int size) {
    const pdf::AfmWidths* widths = FontWidths(fontName);
    if (widths == nullptr) {
        return 0;
    }
    return static_cast<double>(size) * static_cast<double>(pdf::SumWidths(*widths, text8)) / 1000;
}

const pdf::AfmWidths* PDFPrinter::FontWidths(const std::string& fontName) {
    std::string name = fontName.empty() ? fontName_ : fontName;
    if (name.empty()) {
        if (afmNames_.empty()) {
            return nullptr; // no font at all: nothing to measure with, and nothing more to tell
        }
        name = afmNames_.front();
    }
    const auto file = afmFolder_ / (name + ".afm");
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(file, error);
    const auto size = error ? 0 : std::filesystem::file_size(file, error);
    if (!error) {
        const auto cached = afmCache_.find(file);
        if (cached != afmCache_.end() && cached->second.modified == modified &&
            cached->second.size == size) {
            return &cached->second.widths;
        }
        if (auto widths = pdf::ReadAfmWidthsFile(file)) {
            return &(afmCache_[file] = CachedAfm{modified, size, *widths}).widths;
        }
    }
    afmCache_.erase(file);
    if (missingFontsTold_.insert(name).second) {
        Complain("Métrique de Font - ", "Fichier de métrique de font introuvable : ", file.string(),
                 "La largeur des textes dans cette font sera nulle.");
    }
    return nullptr;
}

void PDFPrinter::PDFTextOut(const std::string& str_Text, double x, double y) {
    TextOut(pdf::ToWindows1252(str_Text), x, y);
}

void PDFPrinter::TextOut(const std::string& text8, double x, double y) {
    const std::string escaped = pdf::EscapeText(text8);
    if (x == 0) {
        x = x_;
    }
    if (y == 0) {
        y = y_;
    }
    const int fontNumber = FontNumber();
    if (fontSize_ == 0) {
        fontSize_ = 10;
    }
    const bool colourLine = !textColour_.empty();
    if (colourLine) {
        AppendContent("q " + textColour_ + " ");
    }
    const std::string underline = underline_ ? Underline(text8, x * scale_, y * scale_) : "";
    AppendContent("%DEBUT_TEXT/%");
    AppendContent("BT");
    if (rotation_ != 0) {
        AppendContent(TextMatrix(x, y));
        rotation_ = 0;
    } else {
        AppendContent(pdf::FormatFixed((leftMargin_ + x) * scale_, 2) + " " +
                      pdf::FormatFixed(PageHeight() - y * scale_, 2) + " Td");
    }
    AppendContent("/F" + std::to_string(fontNumber) + " " + pdf::FormatFixed(fontSize_, 2) + " Tf");
    AppendContent("(" + escaped + ") Tj");
    AppendContent("ET");
    if (!underline.empty()) {
        AppendContent(underline);
    }
    if (colourLine) {
        AppendContent("Q");
    }
    AppendContent("%FIN_TEXT/%");
    underline_ = false;
    x_ = x + StringWidth(text8, fontName_, fontSize_);
    y_ = y + fontSize_;
}

// A rotated text is placed from the page's left edge; 3.1416 is the pi the documents have
// always been written with.
std::string PDFPrinter::TextMatrix(double x, double y) const {
    const double r = rotation_ * 3.1416 / 180;
    const double c = std::cos(r);
    const double s = std::sin(r);
    return pdf::FormatFixed(c, 5) + " " + pdf::FormatFixed(-s, 5) + " " + pdf::FormatFixed(s, 5) +
           " " + pdf::FormatFixed(c, 5) + " " + pdf::FormatFixed(x * scale_, 2) + " " +
           pdf::FormatFixed(PageHeight() - y * scale_, 2) + " Tm";
}

std::string PDFPrinter::Underline(const std::string& text8, double x, double y) {
    const double up = static_cast<double>(pdf::RoundHalfEven(StringWidth("up", "", fontSize_)));
    const auto spaces = static_cast<double>(std::count(text8.begin(), text8.end(), ' '));
    double width = spaces * StringWidth(" ", "", fontSize_) + StringWidth(text8, "", fontSize_) +
                   spaces * wordSpacing_;
    if (wordSpacing_ != 0) {
        width -= (spaces + 1) * cellMargin_;
    }
    const double left = static_cast<double>(pdf::RoundHalfEven(leftMargin_ * scale_ + x));
    const double bottom = PageHeight() - (y - up * fontSize_ / 1000) - 2;
    const double thickness = -0.002 * width;
    return pdf::FormatFixed(left, 2) + " " + pdf::FormatFixed(bottom, 2) + " " +
           pdf::FormatFixed(width, 2) + " " + pdf::FormatFixed(thickness, 2) + " re f";
}

void PDFPrinter::DrawWatermark() {
    if (!watermarkOn_ || !documentOpen_) {
        return;
    }
    PDFSetFont(0, 50, 2);
    PDFSetTextColor(PdfColour(255, 192, 203));
    const std::string text8 = pdf::ToWindows1252(watermarkText_);
    const double w = StringWidth(text8, "", 50);
    const double y = (std::sin(kWatermarkAngle) * w + PageHeight()) / 2.15;
    const double x = (PDFGetPageWidth() - std::cos(kWatermarkAngle) * w) / 2.75;
    PDFSetRotation(kWatermarkAngle);
    // x and y are points; the text is placed in the caller's unit.
    TextOut(text8, x / scale_, y / scale_);
    PDFSetRotation(0);
}

} // namespace tarvik
