// Text cells: boxes with borders, a background and aligned, wrapped text.
#include "pdf/pdf_printer.h"

#include "pdf/pdf_codes.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_text_escape.h"
#include "pdf/windows_1252.h"

#include <algorithm>
#include <cmath>

namespace tarvik {

namespace {

using pdf::kAlignCentre;
using pdf::kAlignJustified;
using pdf::kAlignLeft;
using pdf::kAlignRight;

// The baseline sits this far (in font sizes) below the middle of a line, which centres the
// capitals of the standard fonts.
constexpr double kBaselineBelowMiddle = 0.3;

bool ValidBorder(const std::string& border) {
    if (border.empty() || border == "0" || border == "1") {
        return true;
    }
    return border.find_first_not_of("LTRB") == std::string::npos;
}

bool HasSide(const std::string& border, char side) {
    return border == "1" || border.find(side) != std::string::npos;
}

} // namespace

void PDFPrinter::PDFSetBorder(const std::string& sBorder) {
    if (ValidBorder(sBorder)) {
        border_ = sBorder == "0" ? "" : sBorder;
        return;
    }
    Complain("Bordure de Cellule - ", "Code bordure incorrect : ", sBorder,
             "La cellule sera sans bordure.");
    border_.clear();
}

void PDFPrinter::PDFSetAlignement(long pAlignement) {
    if (pAlignement >= kAlignLeft && pAlignement <= kAlignJustified) {
        alignment_ = pAlignement;
        return;
    }
    Complain("Alignement de Cellule - ",
             "Code alignement incorrect : ", std::to_string(pAlignement),
             "L'alignement utilisé sera à gauche.");
    alignment_ = kAlignLeft;
}

// Lines of the text that fit the box's inside; a line that ends a paragraph (at a line break or
// the end) is marked with a trailing '\n' so that justification leaves it alone.
std::vector<std::string> PDFPrinter::WrapCellText(const std::string& text8, double w) {
    const pdf::AfmWidths* widths = FontWidths("");
    const int size = fontSize_ == 0 ? 10 : fontSize_;
    const double room = (w - 2 * cellMargin_) * scale_ * 1000 / size; // in thousandths
    const auto width = [&](char c) {
        return widths ? widths->byCode[static_cast<unsigned char>(c)] : 0;
    };
    std::vector<std::string> lines;
    std::string line;
    double lineWidth = 0;
    size_t lastSpace = std::string::npos;
    for (size_t i = 0; i < text8.size(); ++i) {
        const char c = text8[i];
        if (c == '\r') {
            continue;
        }
        if (c == '\n') {
            lines.push_back(line + '\n');
            line.clear();
            lineWidth = 0;
            lastSpace = std::string::npos;
            continue;
        }
        if (lineWidth + width(c) > room && !line.empty()) {
            if (c == ' ') {
                lines.push_back(line); // the space that overflows ends the line
                line.clear();
                lineWidth = 0;
                lastSpace = std::string::npos;
                continue;
            }
            if (lastSpace != std::string::npos) {
                std::string rest = line.substr(lastSpace + 1);
                line.resize(lastSpace);
                lines.push_back(line);
                line = std::move(rest);
            } else {
                lines.push_back(line); // one word wider than the box: cut it
                line.clear();
            }
            lineWidth =
                static_cast<double>(pdf::SumWidths(widths ? *widths : pdf::AfmWidths{}, line));
            lastSpace = std::string::npos;
        }
        if (c == ' ') {
            lastSpace = line.size();
        }
        line += c;
        lineWidth += width(c);
    }
    lines.push_back(line + '\n');
    return lines;
}

int PDFPrinter::PDFCellLineCount(double w, const std::string& str_Text) {
    if (w == 0) {
        w = PDFGetPageWidth() / scale_ - rightMargin_ - x_;
    }
    return static_cast<int>(WrapCellText(pdf::ToWindows1252(str_Text), w).size());
}

void PDFPrinter::CellFrame(double x, double y, double w, double h) {
    const bool all = HasSide(border_, 'L') && HasSide(border_, 'T') && HasSide(border_, 'R') &&
                     HasSide(border_, 'B');
    const bool anyBorder = !border_.empty();
    if (!fill_ && !anyBorder) {
        return;
    }
    // Inside q and Q, so that neither colour nor line width reaches what is drawn next.
    AppendContent("q");
    if (fill_) {
        AppendContent(drawColour_);
    }
    if (anyBorder) {
        AppendContent(lineColour_);
        AppendContent(LineWidthText() + " w [] 0 d");
    }
    const std::string box = Point(x, y) + " " + pdf::FormatFixed(w * scale_, 2) + " " +
                            pdf::FormatFixed(-h * scale_, 2) + " re ";
    if (fill_ || all) {
        AppendContent(box + (fill_ && all ? "B" : fill_ ? "f" : "S"));
    }
    if (anyBorder && !all) {
        const struct {
            char side;
            double x1, y1, x2, y2;
        } sides[] = {{'L', x, y, x, y + h},
                     {'T', x, y, x + w, y},
                     {'R', x + w, y, x + w, y + h},
                     {'B', x, y + h, x + w, y + h}};
        for (const auto& s : sides) {
            if (HasSide(border_, s.side)) {
                AppendContent(Point(s.x1, s.y1) + " m " + Point(s.x2, s.y2) + " l S");
            }
        }
    }
    AppendContent("Q");
}

double PDFPrinter::CellLine(const std::string& line8, double x, double baseline, double w,
                            bool lastOfParagraph) {
    const double textWidth = StringWidth(line8, "", fontSize_) / scale_;
    double textX = x + cellMargin_;
    const auto spaces = std::count(line8.begin(), line8.end(), ' ');
    wordSpacing_ = 0;
    switch (alignment_) {
    case kAlignCentre:
        textX = x + (w - textWidth) / 2;
        break;
    case kAlignRight:
        textX = x + w - cellMargin_ - textWidth;
        break;
    case kAlignJustified:
        if (!lastOfParagraph && spaces > 0) {
            wordSpacing_ =
                ((w - 2 * cellMargin_) - textWidth) * scale_ / static_cast<double>(spaces);
        }
        break;
    default:
        break;
    }
    const bool colourLine = !textColour_.empty();
    AppendContent(colourLine ? "q " + textColour_ + " " : "q");
    AppendContent("BT");
    AppendContent(Point(textX, baseline) + " Td");
    AppendContent("/F" + std::to_string(FontNumber()) + " " + pdf::FormatFixed(fontSize_, 2) +
                  " Tf");
    if (wordSpacing_ != 0) {
        AppendContent(pdf::FormatFixed(wordSpacing_, 3) + " Tw");
    }
    AppendContent("(" + pdf::EscapeText(line8) + ") Tj");
    AppendContent("ET");
    if (underline_) {
        // The underline is measured from the left margin, as for a text.
        AppendContent(Underline(line8, (textX - leftMargin_) * scale_, baseline * scale_));
    }
    AppendContent("Q");
    wordSpacing_ = 0;
    return textX;
}

void PDFPrinter::PDFCell(double w, double h, const std::string& str_Text,
                         const std::optional<std::string>& URLLink, bool boNewLine) {
    const double x = x_;
    const double y = y_;
    if (w == 0) {
        w = PDFGetPageWidth() / scale_ - rightMargin_ - x;
    }
    if (fontSize_ == 0) {
        fontSize_ = 10;
    }
    const std::string text8 = pdf::ToWindows1252(str_Text);
    const std::vector<std::string> lines =
        text8.empty() ? std::vector<std::string>{} : WrapCellText(text8, w);
    const double height = h * static_cast<double>(std::max<size_t>(lines.size(), 1));

    AppendContent("%DEBUT_CELL/%");
    CellFrame(x, y, w, height);
    const double fontHeight = fontSize_ / scale_;
    std::optional<double> firstTextX;
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool last = !lines[i].empty() && lines[i].back() == '\n';
        const std::string line = last ? lines[i].substr(0, lines[i].size() - 1) : lines[i];
        const double middle = y + h * static_cast<double>(i) + h / 2;
        const double textX = CellLine(line, x, middle + kBaselineBelowMiddle * fontHeight, w, last);
        if (i == 0) {
            firstTextX = textX;
            lastCellText8_ = line;
        }
    }
    underline_ = false;
    // The link covers the first line's text, as a text link covers its text.
    if (firstTextX) {
        AttachLink(URLLink, PendingLink::Cell, *firstTextX, y + (h - fontHeight) / 2);
    }
    AppendContent("%FIN_CELL/%");
    if (boNewLine) {
        x_ = leftMargin_;
        y_ = y + height;
    } else {
        x_ = x + w;
        y_ = y;
    }
}

} // namespace tarvik
