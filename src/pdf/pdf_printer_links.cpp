// Web links on texts, pictures and shapes, and the bookmark tree.
#include "pdf/pdf_printer.h"

#include "pdf/pdf_number_format.h"
#include "pdf/pdf_text_escape.h"
#include "pdf/windows_1252.h"

#include <algorithm>
#include <cmath>

namespace tarvik {

namespace {

struct LinkKindTexts {
    const char* title;
    const char* complaint;
    const char* sentence;
};

constexpr LinkKindTexts kImageLink{"Lien URL Fichier Image - ", "URL objet image non valide : ",
                                   "Impossible d'inclure le lien dans l'image."};
constexpr LinkKindTexts kRectangleLink{
    "Lien URL Objet Rectangle - ",
    "URL objet rectangle non valide : ", "Impossible d'inclure le lien dans le rectangle."};
constexpr LinkKindTexts kEllipseLink{"Lien URL Objet Ellipse - ", "URL objet ellipse non valide : ",
                                     "Impossible d'inclure le lien dans l'ellipse."};
constexpr LinkKindTexts kCellLink{"Lien URL Objet Cellule - ", "URL objet cellule non valide : ",
                                  "Impossible d'inclure le lien dans la cellule."};

std::string Ref(int number) {
    return std::to_string(number) + " 0 R";
}

} // namespace

void PDFPrinter::AttachLink(const std::optional<std::string>& url, PendingLink kind, double x,
                            double y) {
    if (!url) {
        const LinkKindTexts& texts = kind == PendingLink::Image       ? kImageLink
                                     : kind == PendingLink::Rectangle ? kRectangleLink
                                     : kind == PendingLink::Cell      ? kCellLink
                                                                      : kEllipseLink;
        Complain(texts.title, texts.complaint, "", texts.sentence);
        return;
    }
    pendingLink_ = kind;
    if (!url->empty()) {
        const std::string url8 = pdf::ToWindows1252(*url);
        Link8(x, y, url8, "");
    }
    pendingLink_ = PendingLink::None;
}

void PDFPrinter::PDFLink(double x, double y, const std::string& str_Text,
                         const std::string& str_Link) {
    Link8(x, y, pdf::ToWindows1252(str_Text), pdf::ToWindows1252(str_Link));
}

void PDFPrinter::Link8(double x, double y, const std::string& text8, const std::string& link8) {
    AppendContent("%DEBUT_LINK/%");
    underline_ = true;
    double w = 0;
    double h = fontSize_;
    switch (pendingLink_) {
    case PendingLink::None:
        w = std::floor(StringWidth(text8, "", fontSize_));
        TextOut(text8, x, y);
        break;
    case PendingLink::Image:
        PDFSetTextColor(16711680); // links on pictures are blue
        w = std::floor(lastImageWidth_);
        h = std::floor(lastImageHeight_);
        TextOut("", x, y);
        break;
    case PendingLink::Rectangle:
        w = static_cast<double>(pdf::RoundHalfEven(lastRectangleWidth_));
        TextOut("", x, y);
        break;
    case PendingLink::Ellipse:
        w = std::floor(StringWidth("LINK", "", fontSize_));
        TextOut("", x, y);
        break;
    case PendingLink::Cell:
        w = std::floor(StringWidth(lastCellText8_, "", fontSize_));
        TextOut("", x, y);
        break;
    }
    pendingLink_ = PendingLink::None;
    underline_ = false;
    RecordLink(x, y, w, h, link8.empty() ? text8 : link8);
    AppendContent("%FIN_LINK/%");
}

void PDFPrinter::RecordLink(double x, double y, double w, double h, const std::string& url) {
    if (pages_.empty()) {
        return; // no document open: there is no page to hold the link
    }
    pages_.back().links.push_back(
        Link{x * scale_, PageHeight() - y * scale_, w * scale_, h * scale_, url});
}

std::string PDFPrinter::AnnotationLine(const PageRecord& page) const {
    std::string line = "/Annots [";
    for (const Link& link : page.links) {
        line += "<</Type /Annot /Subtype /Link /Rect [" + pdf::FormatPlain(link.x) + " " +
                pdf::FormatPlain(link.y) + " " + pdf::FormatPlain(link.x + link.w) + " " +
                pdf::FormatPlain(link.y - link.h) + "] /Border [0 0 0] ";
        // Without an address the annotation has no action, but its dictionary still closes.
        line +=
            link.url.empty() ? ">>" : "/A <</S /URI /URI (" + pdf::EscapeText(link.url) + ")>>>>";
        line += "\r\n";
    }
    return line + "]";
}

void PDFPrinter::PDFSetBookmark(const std::string& str_Text, int iLevel, double y) {
    bookmarks_.push_back(Bookmark{str_Text, iLevel, y == -1 ? y_ : y, pageNumber_});
}

int PDFPrinter::WriteOutlines() {
    const int count = static_cast<int>(bookmarks_.size());
    if (count == 0) {
        return 0;
    }
    struct Links {
        std::optional<int> parent, prev, next, first, last;
    };
    std::vector<Links> tree(bookmarks_.size());
    std::vector<int> lastOfLevel;
    int previousLevel = 0;
    for (int i = 0; i < count; ++i) {
        // A level deeper than one below the previous item has no parent to hang from: it is
        // taken as the next level down (and a negative one as the top level).
        const int level = std::clamp(bookmarks_[i].level, 0, static_cast<int>(lastOfLevel.size()));
        Links& item = tree[i];
        if (level > 0) {
            const int parent = lastOfLevel[level - 1];
            item.parent = parent;
            tree[parent].last = i;
            if (level > previousLevel) {
                tree[parent].first = i;
            }
        } else {
            item.parent = count;
        }
        if (level <= previousLevel && i > 0) {
            const int prev = lastOfLevel[level];
            tree[prev].next = i;
            item.prev = prev;
        }
        lastOfLevel.resize(level + 1);
        lastOfLevel[level] = i;
        previousLevel = level;
    }

    const int first = objectCount_ + 1;
    for (int i = 0; i < count; ++i) {
        const Bookmark& bookmark = bookmarks_[i];
        const Links& item = tree[i];
        const int number = NewObject();
        AppendLine(std::to_string(number) + " 0 obj");
        AppendLine("<</Title (" + pdf::EscapeUnbalanced(pdf::ToWindows1252(bookmark.text)) + ")");
        AppendLine("/Parent " + Ref(first + *item.parent));
        const std::pair<const char*, const std::optional<int>&> relations[] = {
            {"/Prev ", item.prev},
            {"/Next ", item.next},
            {"/First ", item.first},
            {"/Last ", item.last}};
        for (const auto& [key, index] : relations) {
            if (index) {
                AppendLine(key + Ref(first + *index));
            }
        }
        const size_t page =
            static_cast<size_t>(std::clamp(bookmark.page, 1, static_cast<int>(pages_.size())));
        const double top = SlotOfPage(static_cast<int>(page)).height - bookmark.y * scale_;
        AppendLine("/Dest [" + Ref(pages_[page - 1].pageObject) + " /XYZ 0 " +
                   pdf::FormatFixed(top, 2) + " null]");
        AppendLine("/Count 0>>");
        AppendLine("endobj");
        WriteObjectAt(number, 0);
    }
    const int root = NewObject();
    AppendLine(std::to_string(root) + " 0 obj");
    AppendLine("<</Type /Outlines /First " + Ref(first));
    AppendLine("/Last " + Ref(first + lastOfLevel.front()) + ">>");
    AppendLine("endobj");
    WriteObjectAt(root, 0);
    return root;
}

} // namespace tarvik
