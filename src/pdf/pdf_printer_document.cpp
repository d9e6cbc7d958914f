// The document lifecycle and the structural objects: header, information, page streams,
// pages tree, resources, pages, catalog, cross-reference table and trailer.
#include "pdf/pdf_printer.h"

#include "pdf/pdf_number_format.h"
#include "pdf/pdf_text_escape.h"
#include "pdf/windows_1252.h"

#include <cstdio>

namespace tarvik {

namespace {

std::string Header(int number) {
    return std::to_string(number) + " 0 obj";
}
std::string Ref(int number) {
    return std::to_string(number) + " 0 R";
}

constexpr const char* kCommentLineEnd = "\r\n";
constexpr const char* kObjectBegin = "%DEBUT_OBJ/%";
constexpr const char* kObjectEnd = "%FIN_OBJ/%";

std::string InfoText(const std::string& text) {
    return pdf::EscapeUnbalanced(pdf::ToWindows1252(text));
}

std::string CreationStamp(const DateTime& t) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", t.year % 10000, t.month % 100,
                  t.day % 100, t.hour % 100, t.minute % 100, t.second % 100);
    return stamp;
}

} // namespace

int PDFPrinter::NewObject() {
    return ++objectCount_;
}

// Writes the object buffer in one write with one more CR LF after it. The object's header line
// starts after `headerAt` bytes of the buffer (a comment line may precede it).
void PDFPrinter::WriteObjectAt(int number, size_t headerAt) {
    if (offsets_.size() <= static_cast<size_t>(number)) {
        offsets_.resize(static_cast<size_t>(number) + 1, 0);
    }
    offsets_[static_cast<size_t>(number)] = output_.Offset() + headerAt;
    WriteBuffer();
}

void PDFPrinter::WriteBuffer() {
    objectBuffer_ += "\r\n";
    output_.Write(objectBuffer_);
    objectBuffer_.clear();
}

void PDFPrinter::PDFBeginDoc() {
    if (documentOpen_) {
        return; // one document per writer: a second header would break the file
    }
    documentOpen_ = true;
    pageNumber_ = 1;
    objectCount_ = 0;
    images_.clear();
    fontObjects_.clear();
    pages_.clear();
    offsets_.clear();
    output_.Write("%PDF-1.3\r\n");
    WriteInfo();
    content_.clear();
    OpenPageStream();
}

void PDFPrinter::WriteInfo() {
    const int number = NewObject();
    objectBuffer_.clear();
    AppendLine(Header(number));
    AppendLine("<<");
    AppendLine("/Producer (" + InfoText(producer_) + ")");
    AppendLine("/Author (" + InfoText(author_) + ")");
    AppendLine("/CreationDate (D:" + CreationStamp(clock_->Now()) + ")");
    AppendLine("/Creator (" + InfoText(creator_) + ")");
    AppendLine("/Keywords (" + InfoText(keywords_) + ")");
    AppendLine("/Subject (" + InfoText(subject_) + ")");
    AppendLine("/Title (" + InfoText(title_) + ")");
    AppendLine("/ModDate ()");
    AppendLine(">>");
    AppendLine("endobj");
    WriteObjectAt(number, 0);
}

void PDFPrinter::OpenPageStream() {
    const int number = NewObject();
    objectBuffer_.clear();
    AppendLine(Header(number));
    AppendLine("<< /Length " + Ref(number + 1));
    AppendLine(" >>");
    AppendLine("stream");
    PageRecord page;
    page.contentObject = number;
    pages_.push_back(page);
}

void PDFPrinter::ClosePageStream(bool withComments) {
    const size_t length = content_.size();
    objectBuffer_ += content_;
    content_.clear();
    AppendLine("endstream");
    AppendLine("endobj");
    if (withComments) {
        AppendLine(kObjectEnd);
    }
    WriteObjectAt(pages_.back().contentObject, 0);

    const int lengthObject = NewObject();
    size_t headerAt = 0;
    if (withComments) {
        AppendLine(kObjectBegin);
        headerAt = objectBuffer_.size();
    }
    AppendLine(Header(lengthObject));
    AppendLine(std::to_string(length));
    AppendLine("endobj");
    if (withComments) {
        AppendLine(kObjectEnd);
    }
    WriteObjectAt(lengthObject, headerAt);
}

void PDFPrinter::PDFEndPage() {
    ++slotIndex_;
    if (static_cast<size_t>(slotIndex_) > slots_.size()) {
        slots_.push_back(slots_.back());
    }
    DrawWatermark();
}

void PDFPrinter::PDFNewPage() {
    if (!documentOpen_) {
        return;
    }
    x_ = leftMargin_;
    y_ = topMargin_;
    ++pageNumber_;
    ClosePageStream(true);
    content_ = std::string(kObjectBegin) + kCommentLineEnd;
    OpenPageStream();
    DrawWatermark();
}

bool PDFPrinter::PDFEndDoc() {
    if (!documentOpen_) {
        return false;
    }
    DrawWatermark();
    ClosePageStream(false);
    WriteFonts();
    const int pagesObject = NewObject();
    WritePagesTree(pagesObject, static_cast<int>(images_.size()));
    const int resourcesObject = NewObject();
    WriteResources(resourcesObject);
    WriteImages();
    WritePages(pagesObject, resourcesObject);
    const int outlineRoot = WriteOutlines();
    WriteCatalog(pagesObject, outlineRoot);
    const int catalogObject = objectCount_;
    WriteXrefAndTrailer(catalogObject);
    output_.Write("%%EOF\r\n");
    documentOpen_ = false;
    nbPage_ = static_cast<int>(pages_.size());
    const bool written = output_.Close();
    if (!written) {
        return false;
    }
    if (confirm_) {
        messages_->Show("Génération du Fichier PDF - qkPDF 4.0", "Fichier PDF généré.",
                        PdfMessageIcon::None);
    }
    if (view_ && openViewer_) {
        openViewer_(std::filesystem::path(fileName_));
    }
    return true;
}

void PDFPrinter::WritePagesTree(int pagesObject, int imageCount) {
    AppendLine(Header(pagesObject));
    AppendLine("<< /Type /Pages");
    AppendLine("/Kids [");
    for (size_t k = 1; k <= pages_.size(); ++k) {
        pages_[k - 1].pageObject = pagesObject + 1 + imageCount + static_cast<int>(k);
        AppendLine(Ref(pages_[k - 1].pageObject));
    }
    AppendLine("]");
    AppendLine("/Count " + std::to_string(pages_.size()));
    AppendLine(">>");
    AppendLine("endobj");
    WriteObjectAt(pagesObject, 0);
}

void PDFPrinter::WriteResources(int resourcesObject) {
    AppendLine(Header(resourcesObject));
    AppendLine("<< /ProcSet [ /PDF /Text /ImageC]");
    AppendLine("/XObject << ");
    for (size_t i = 1; i <= images_.size(); ++i) {
        AppendLine("/ImgJPEG" + std::to_string(i) + " " +
                   Ref(resourcesObject + static_cast<int>(i)));
    }
    AppendLine(">>");
    AppendLine("/Font << ");
    for (size_t k = 1; k <= fontObjects_.size(); ++k) {
        AppendLine("/F" + std::to_string(k) + " " + Ref(fontObjects_[k - 1]) + " ");
    }
    AppendLine(">>");
    AppendLine(">>");
    AppendLine("endobj");
    WriteObjectAt(resourcesObject, 0);
}

void PDFPrinter::WritePages(int pagesObject, int resourcesObject) {
    for (size_t k = 1; k <= pages_.size(); ++k) {
        const PageRecord& page = pages_[k - 1];
        const PageSlot& slot = SlotOfPage(static_cast<int>(k));
        const int number = NewObject();
        AppendLine(Header(number));
        AppendLine("<< /Type /Page");
        AppendLine("/Parent " + Ref(pagesObject));
        AppendLine("/MediaBox [ 0 0 " + pdf::FormatPlain(slot.width) + " " +
                   pdf::FormatPlain(slot.height) + "]");
        AppendLine("/Resources " + Ref(resourcesObject));
        if (!page.links.empty()) {
            AppendLine(AnnotationLine(page));
        }
        AppendLine("/Contents " + Ref(page.contentObject));
        AppendLine(">>");
        AppendLine("endobj");
        AppendLine(kObjectEnd);
        WriteObjectAt(number, 0);
    }
}

void PDFPrinter::WriteCatalog(int pagesObject, int outlineRoot) {
    const int number = NewObject();
    const std::string firstPage = Ref(pages_.front().pageObject);
    AppendLine(Header(number));
    AppendLine("<<");
    AppendLine("/Type /Catalog");
    AppendLine("/Pages " + Ref(pagesObject));
    switch (zoomMode_) {
    case 0:
        AppendLine("/OpenAction [" + firstPage + " /Fit]");
        break;
    case 1:
        AppendLine("/OpenAction [" + firstPage + " /FitH null]");
        break;
    case 2:
        AppendLine("/OpenAction [" + firstPage + " /XYZ null null 1]");
        break;
    default:
        AppendLine("/OpenAction [" + firstPage + " /XYZ null null " +
                   pdf::FormatFixed(static_cast<double>(zoomMode_) / 100, 2) + "]");
    }
    static constexpr const char* kLayouts[] = {"/PageLayout /SinglePage", "/PageLayout /OneColumn",
                                               "/PageLayout /TwoColumnLeft"};
    if (layoutMode_ >= 0 && layoutMode_ <= 2) {
        AppendLine(kLayouts[layoutMode_]);
    }
    // A dictionary holds a key once; with both modes asked for, outlines win, as they do in
    // readers that take the last of two keys.
    if (useThumbs_ && !useOutlines_) {
        AppendLine("/PageMode /UseThumbs");
    }
    if (useOutlines_) {
        // Without bookmarks there is no outline root to name.
        if (outlineRoot != 0) {
            AppendLine("/Outlines " + Ref(outlineRoot));
        }
        AppendLine("/PageMode /UseOutlines");
    }
    if (viewerPreferences_) {
        static constexpr struct {
            char digit;
            const char* line;
        } kPreferences[] = {{'2', "/HideMenubar true"},  {'1', "/HideToolbar true"},
                            {'3', "/HideWindowUI true"}, {'6', "/DisplayDocTitle true"},
                            {'5', "/CenterWindow true"}, {'4', "/FitWindow true"}};
        const std::string digits = std::to_string(*viewerPreferences_);
        AppendLine("/ViewerPreferences<<");
        for (const auto& preference : kPreferences) {
            if (digits.find(preference.digit) != std::string::npos) {
                AppendLine(preference.line);
            }
        }
        AppendLine(">>");
    }
    AppendLine(">>");
    AppendLine("endobj");
    WriteObjectAt(number, 0);
}

void PDFPrinter::WriteXrefAndTrailer(int catalogObject) {
    const int size = objectCount_ + 1;
    const size_t xrefOffset = output_.Offset();
    AppendLine("xref");
    AppendLine("0 " + std::to_string(size));
    AppendLine("0000000000 65535 f");
    for (int k = 1; k < size; ++k) {
        const size_t offset = static_cast<size_t>(k) < offsets_.size() ? offsets_[k] : 0;
        AppendLine(pdf::PadOffset(std::to_string(offset)) + " 00000 n");
    }
    AppendLine("trailer");
    AppendLine("<< /Size " + std::to_string(size));
    AppendLine("/Root " + Ref(catalogObject));
    AppendLine("/Info 1 0 R");
    AppendLine(">>");
    AppendLine("startxref");
    AppendLine(std::to_string(xrefOffset));
    WriteBuffer();
}

} // namespace tarvik
