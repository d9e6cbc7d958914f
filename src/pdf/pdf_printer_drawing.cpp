// Colours, line styles and the shapes: lines, rectangles, ellipses and polygons.
#include "pdf/pdf_printer.h"

#include "pdf/pdf_number_format.h"

#include <algorithm>
#include <cmath>

namespace tarvik {

namespace {

constexpr double kWhite = 16777215;

std::string WholeNumber(double value) {
    return std::to_string(static_cast<long long>(std::floor(value)));
}

// The fill form of a stroke colour operator: "... RG" gives "... rg", "0 G" gives "0 g".
std::string FillFormOf(std::string stroke) {
    if (stroke.size() >= 2 && stroke.compare(stroke.size() - 2, 2, "RG") == 0) {
        stroke.replace(stroke.size() - 2, 2, "rg");
    } else if (!stroke.empty() && stroke.back() == 'G') {
        stroke.back() = 'g';
    }
    return stroke;
}

std::string LineStyleDash(long style, double scale) {
    std::vector<double> dashes;
    switch (style) {
    case 0:
        return "[] 0 d";
    case 1:
        dashes = {16, 8};
        break;
    case 2:
        dashes = {8, 7, 2, 7};
        break;
    case 3:
        dashes = {8, 4, 2, 4, 2, 4};
        break;
    default:
        return {};
    }
    std::string line = "[";
    for (size_t i = 0; i < dashes.size(); ++i) {
        line += (i == 0 ? "" : " ") + WholeNumber(dashes[i] * scale);
    }
    return line + " ] 0 d";
}

} // namespace

std::string PDFPrinter::ColourFrom(const PdfColour& colour, pdf::ColourTarget target) {
    PdfColour::Components rgb{0, 0, 0};
    if (const auto* number = std::get_if<double>(&colour.value())) {
        rgb = pdf::SplitColourValue(*number);
    } else if (const auto* html = std::get_if<std::string>(&colour.value())) {
        if (html->empty() || html->front() != '#') {
            Complain("Couleur HTMl - ", "Code couleur HTMl invalide ", *html,
                     "La couleur utilisée sera le noir.");
        } else {
            rgb = pdf::ParseHtmlColour(*html);
        }
    } else {
        rgb = std::get<PdfColour::Components>(colour.value());
    }
    return pdf::ColourOperator(rgb, target);
}

void PDFPrinter::PDFSetTextColor(const PdfColour& gColor) {
    textColour_ = ColourFrom(gColor, pdf::ColourTarget::Fill);
}

void PDFPrinter::PDFSetLineColor(const PdfColour& gColor) {
    lineColour_ = ColourFrom(gColor, pdf::ColourTarget::Stroke);
}

void PDFPrinter::PDFSetDrawColor(const PdfColour& gColor) {
    drawColour_ = ColourFrom(gColor, pdf::ColourTarget::Fill);
}

void PDFPrinter::PDFSetLineStyle(long pLineStyle) {
    dash_ = LineStyleDash(pLineStyle, scale_);
    if (dash_.empty()) {
        Complain("Style de Ligne - ",
                 "Code style de ligne incorrect : ", std::to_string(pLineStyle),
                 "Le style de ligne utilisé sera pSolid.");
        dash_ = "[] 0 d";
    }
}

void PDFPrinter::PDFSetDrawMode(long pDrawMode) {
    static constexpr const char* kModes[] = {"", "D", "DB"};
    if (pDrawMode >= 0 && pDrawMode <= 2) {
        drawMode_ = kModes[pDrawMode];
        return;
    }
    Complain("Objet Rectangle - ", "Code type de traçage incorrect : ", std::to_string(pDrawMode),
             "Le type de traçage utilisé sera bordure et remplissage.");
    drawMode_ = "DB";
}

void PDFPrinter::AppendShapeColours() {
    if (drawMode_ == "D") {
        AppendContent(drawColour_);
    } else if (drawMode_ == "DB") {
        AppendContent(drawColour_);
        AppendContent(lineColour_);
    } else {
        AppendContent(lineColour_);
    }
}

std::string PDFPrinter::PaintOperator(bool rectangle) const {
    if (drawMode_ == "D") {
        return rectangle ? "f" : "h f";
    }
    return drawMode_ == "DB" ? "B" : "s";
}

std::string PDFPrinter::Point(double x, double y) const {
    return pdf::FormatFixed(x * scale_, 2) + " " + pdf::FormatFixed(PageHeight() - y * scale_, 2);
}

std::string PDFPrinter::LineWidthText() const {
    return pdf::FormatFixed(lineWidth_ * scale_, 2);
}

void PDFPrinter::PDFDrawLine(double x1, double y1, double x2, double y2) {
    AppendContent("%DEBUT_LN/%");
    AppendContent(dash_);
    AppendContent(Point(x1, y1) + " m");
    AppendContent(Point(x2, y2) + " l");
    AppendContent(lineColour_);
    AppendContent(LineWidthText() + " w S");
    AppendContent("%FIN_LN/%");
    x_ = std::max(x1, x2);
    y_ = std::max(y1, y2);
}

void PDFPrinter::StraightLine(const char* kind, double x, double y, double toX, double toY) {
    drawColour_ = FillFormOf(lineColour_);
    AppendContent(std::string("%DEBUT_") + kind + "/%");
    AppendContent(dash_);
    AppendContent(Point(x, y) + " m");
    AppendContent(Point(toX, toY) + " l");
    AppendContent(lineColour_);
    AppendContent(LineWidthText() + " w S");
    AppendContent(std::string("%FIN_") + kind + "/%");
    x_ = toX;
    y_ = toY;
}

void PDFPrinter::PDFDrawLineHor(double x, double y, double w) {
    StraightLine("LNH", x, y, x + w, y);
}

void PDFPrinter::PDFDrawLineVer(double x, double y, double h) {
    StraightLine("LNV", x, y, x, y + h);
}

void PDFPrinter::PDFDrawRectangle(double x, double y, double w, double h,
                                  const std::optional<std::string>& URLLink) {
    AppendContent("%DEBUT_RECT/%");
    AppendShapeColours();
    AppendContent(dash_);
    // The width comes before the path it outlines; after the paint it would stroke nothing.
    AppendContent(LineWidthText() + " w");
    AppendContent(Point(x, y) + " " + pdf::FormatFixed(w * scale_, 2) + " " +
                  pdf::FormatFixed(-h * scale_, 2) + " re " + PaintOperator(true));
    PDFSetTextColor(kWhite);
    lastRectangleWidth_ = w;
    AttachLink(URLLink, PendingLink::Rectangle, std::floor(x + 5), std::floor(y + h / 2));
    AppendContent("%FIN_RECT/%");
    x_ = x;
    y_ = y + h;
}

void PDFPrinter::PDFDrawEllipse(double x, double y, double rx, double ry,
                                const std::optional<std::string>& URLLink) {
    const double w = rx;
    const double h = ry;
    const double k = 11.0 / 20;
    const auto curve = [this](double x1, double y1, double x2, double y2, double x3, double y3) {
        AppendContent(Point(x1, y1) + " " + Point(x2, y2) + " " + Point(x3, y3) + " c");
    };
    AppendShapeColours();
    AppendContent(dash_);
    AppendContent(Point(x, y + h / 2) + " m");
    curve(x, y + h / 2 - k * h / 2, x + w / 2 - k * w / 2, y, x + w / 2, y);
    curve(x + w / 2 + k * w / 2, y, x + w, y + h / 2 - k * h / 2, x + w, y + h / 2);
    curve(x + w, y + h / 2 + k * h / 2, x + w / 2 + k * w / 2, y + h, x + w / 2, y + h);
    curve(x + w / 2 - k * w / 2, y + h, x, y + h / 2 + k * h / 2, x, y + h / 2);
    AppendContent(LineWidthText() + " w " + PaintOperator(false));
    PDFSetTextColor(kWhite);
    AttachLink(URLLink, PendingLink::Ellipse, std::floor(x - w / 2),
               std::floor(y + h / 2 - k * h / 2));
    x_ = x;
    y_ = y + h / 2;
}

void PDFPrinter::PDFDrawPolygon(const std::vector<PdfPoint>& pParam) {
    if (pParam.size() < 2) {
        return; // nothing to close into a polygon
    }
    AppendShapeColours();
    AppendContent("%DEBUT_POLY/%");
    AppendContent(dash_);
    AppendContent(Point(pParam.front().x, pParam.front().y) + " m");
    for (size_t i = 1; i < pParam.size(); ++i) {
        AppendContent(Point(pParam[i].x, pParam[i].y) + " l");
    }
    AppendContent(LineWidthText() + " w " + PaintOperator(false));
    AppendContent("%FIN_POLY/%");
}

} // namespace tarvik
