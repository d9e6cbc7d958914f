// Construction, defaults, settings and page geometry of the PDF writer.
#include "pdf/pdf_printer.h"

#include "common/resource_folder.h"
#include "pdf/afm_metrics.h"
#include "pdf/pdf_number_format.h"

#include <algorithm>
#include <limits>
#include <system_error>

namespace tarvik {

namespace {

constexpr const char* kProductTitle = "qkPDF 4.0";
constexpr double kPointsPerMillimetre = 72 / 25.4;
constexpr double kPointsPerCentimetre = 72 / 2.54;

std::filesystem::path RunningProgramFolder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return ResourceFolder(program.parent_path());
    }
    return std::filesystem::current_path(error);
}

// Margins and positions are 16-bit whole numbers.
int ToShort(double value) {
    const long long rounded = pdf::RoundHalfEven(value);
    return static_cast<int>(std::clamp<long long>(rounded, std::numeric_limits<short>::min(),
                                                  std::numeric_limits<short>::max()));
}

} // namespace

PDFPrinter::PDFPrinter() : PDFPrinter(PdfPrinterServices{}) {}

PDFPrinter::PDFPrinter(PdfPrinterServices services)
    : messages_(services.messages), clock_(services.clock),
      programFolder_(services.programFolder.empty() ? RunningProgramFolder()
                                                    : services.programFolder),
      openViewer_(std::move(services.openViewer)) {
    if (messages_ == nullptr) {
        ownMessages_ = std::make_unique<StderrPdfMessageSink>();
        messages_ = ownMessages_.get();
    }
    if (clock_ == nullptr) {
        ownClock_ = std::make_unique<SystemClock>();
        clock_ = ownClock_.get();
    }
    PDFInit();
}

PDFPrinter::~PDFPrinter() = default;

void PDFPrinter::PDFInit() {
    afmFolder_ = programFolder_;
    afmNames_.clear();
    scale_ = kPointsPerCentimetre;
    slots_ = {PageSlot{595.28, 841.89, 'p'}};
    slotIndex_ = 1;
    pageNumber_ = 1;
    leftMargin_ = topMargin_ = rightMargin_ = bottomMargin_ = 1;
    cellMargin_ = 3;
    x_ = leftMargin_;
    y_ = topMargin_;
    zoomMode_ = 0;
    layoutMode_ = 0;
    viewerPreferences_.reset();
    useThumbs_ = useOutlines_ = confirm_ = view_ = false;
    title_.clear();
    author_.clear();
    subject_.clear();
    keywords_.clear();
    creator_.clear();
    producer_.clear();
    fileName_.clear();
    output_.Close();
    documentOpen_ = false;
    nbPage_ = 1;
    watermarkOn_ = false;
    watermarkText_.clear();
    textColour_ = "0 g";
    lineColour_ = "0 G";
    drawColour_ = "0 g";
    lineWidth_ = 0.567;
    dash_.clear();
    drawMode_.clear();
    objectCount_ = 0;
    offsets_.clear();
    objectBuffer_.clear();
    content_.clear();
    pages_.clear();
    fontObjects_.clear();
    images_.clear();
    lastImageWidth_ = lastImageHeight_ = lastRectangleWidth_ = 0;
    fontFamily_.clear();
    fontName_.clear();
    fontSize_ = 0;
    italic_ = bold_ = underline_ = false;
    rotation_ = 0;
    wordSpacing_ = 0;
    missingFontsTold_.clear();
    border_.clear();
    fill_ = false;
    alignment_ = 0;
    lastCellText8_.clear();
    pendingLink_ = PendingLink::None;
    bookmarks_.clear();
    PDFLoadAfm(programFolder_.string());
}

void PDFPrinter::Complain(const std::string& titleContext, const std::string& text) {
    messages_->Show(titleContext + kProductTitle, text, PdfMessageIcon::Stop);
}

void PDFPrinter::Complain(const std::string& titleContext, const std::string& complaint,
                          const std::string& value, const std::string& sentence) {
    Complain(titleContext, complaint + value + ".\r\n" + sentence);
}

void PDFPrinter::PDFPathConfiguration(const std::string& sPathConfig) {
    afmFolder_ = sPathConfig;
}

void PDFPrinter::PDFLoadAfm(const std::string& sPathAFM) {
    auto names = pdf::ListAfmNames(sPathAFM);
    if (!names.empty()) {
        afmNames_ = std::move(names);
        afmFolder_ = sPathAFM;
    }
}

void PDFPrinter::PDFSetViewerPreferences(long pViewerPref) {
    viewerPreferences_ = pViewerPref;
}

void PDFPrinter::PDFFiligran(const std::string& sFiligran) {
    watermarkOn_ = true;
    watermarkText_ = sFiligran;
}

void PDFPrinter::PDFSetZoomMode(long pZoomMode) {
    zoomMode_ = pZoomMode;
}

void PDFPrinter::PDFSetLayoutMode(long pLayoutMode) {
    if (pLayoutMode < 0 || pLayoutMode > 3) {
        Complain("Layout Mode - ", "Layout incorrect : ", std::to_string(pLayoutMode),
                 "Le Layout utilisé sera le layout simple.");
        pLayoutMode = 0;
    }
    layoutMode_ = pLayoutMode;
}

void PDFPrinter::PDFSetUnit(long str_Unite) {
    switch (str_Unite) {
    case 0:
        scale_ = 1;
        break;
    case 1:
        scale_ = kPointsPerMillimetre;
        break;
    case 2:
        scale_ = kPointsPerCentimetre;
        break;
    default:
        Complain("Code Unité de Mesure - ",
                 "Code unité de mesure incorrect : ", std::to_string(str_Unite),
                 "L'Unité de Mesure utilisée sera le centimètre.");
        scale_ = kPointsPerCentimetre;
    }
}

std::string PDFPrinter::PDFGetUnit() const {
    if (scale_ == 1) {
        return "pt";
    }
    if (scale_ == kPointsPerMillimetre) {
        return "mm";
    }
    if (scale_ == kPointsPerCentimetre) {
        return "cm";
    }
    return {};
}

PDFPrinter::PageSlot& PDFPrinter::CurrentSlot() {
    return slots_[static_cast<size_t>(slotIndex_ - 1)];
}

const PDFPrinter::PageSlot& PDFPrinter::CurrentSlot() const {
    return slots_[static_cast<size_t>(slotIndex_ - 1)];
}

// A page beyond the slots that PDFEndPage created takes the last slot's size, so that every
// page has a MediaBox.
const PDFPrinter::PageSlot& PDFPrinter::SlotOfPage(int page) const {
    const auto index = static_cast<size_t>(std::max(page, 1));
    return index <= slots_.size() ? slots_[index - 1] : slots_.back();
}

void PDFPrinter::PDFOrientation(long str_Orientation) {
    PageSlot& slot = CurrentSlot();
    slot.width = static_cast<double>(pdf::RoundHalfEven(slot.width));
    slot.height = static_cast<double>(pdf::RoundHalfEven(slot.height));
    if (str_Orientation == 0) {
        std::swap(slot.width, slot.height);
        slot.orientation = 'l';
        return;
    }
    if (str_Orientation != 1) {
        Complain("Type d'Orientation de Page - ",
                 "Code orientation de page incorrect : ", std::to_string(str_Orientation),
                 "L'Orientation de la page sera le mode portrait.");
    }
    slot.orientation = 'p';
}

void PDFPrinter::PDFFormatPage(long str_FormatPage) {
    struct Format {
        double width, height;
    };
    static constexpr Format kFormats[] = {
        {595.28, 841.89}, {841.89, 1190.55}, {420.94, 595.28}, {612, 792}, {612, 1008}};
    Format format = kFormats[0];
    if (str_FormatPage >= 0 && str_FormatPage <= 4) {
        format = kFormats[str_FormatPage];
    } else {
        Complain("Format de Page - ",
                 "Code format de page incorrect : ", std::to_string(str_FormatPage),
                 "Le Format de page utilisé sera le format A4.");
    }
    CurrentSlot().width = format.width;
    CurrentSlot().height = format.height;
}

void PDFPrinter::PDFFormatPage(double width, double height) {
    CurrentSlot().width = width;
    CurrentSlot().height = height;
}

void PDFPrinter::PDFFormatPage(const std::vector<double>& str_FormatPage) {
    if (str_FormatPage.size() < 2) {
        Complain("Format de Page - ", "Code format de page incorrect : ", "",
                 "Le Format de page utilisé sera le format A4");
        PDFFormatPage(595.28, 841.89);
        return;
    }
    PDFFormatPage(str_FormatPage[0], str_FormatPage[1]);
}

int PDFPrinter::PDFNbPage() const {
    return nbPage_;
}

void PDFPrinter::PDFFileName(const std::string& str_FileName) {
    fileName_ = str_FileName;
    output_.Create(std::filesystem::path(str_FileName));
}

void PDFPrinter::PDFPageHeight(double in_PageHeight) {
    CurrentSlot().height = in_PageHeight;
}
double PDFPrinter::PDFGetPageHeight() const {
    return CurrentSlot().height;
}
void PDFPrinter::PDFPageWidth(double in_PageWidth) {
    CurrentSlot().width = in_PageWidth;
}
double PDFPrinter::PDFGetPageWidth() const {
    return CurrentSlot().width;
}

void PDFPrinter::PDFSetLeftMargin(double in_left) {
    leftMargin_ = ToShort(in_left);
}
void PDFPrinter::PDFSetRightMargin(double in_right) {
    rightMargin_ = ToShort(in_right);
}
void PDFPrinter::PDFSetTopMargin(double in_top) {
    topMargin_ = ToShort(in_top);
}
void PDFPrinter::PDFSetBottomMargin(double in_bottom) {
    bottomMargin_ = ToShort(in_bottom);
}
void PDFPrinter::PDFSetCellMargin(double in_cell) {
    cellMargin_ = ToShort(in_cell);
}

void PDFPrinter::PDFSetMargins(int in_left, int in_top, int in_right, int in_bottom) {
    leftMargin_ = ToShort(in_left);
    topMargin_ = ToShort(in_top);
    rightMargin_ = in_right == -1 ? leftMargin_ : ToShort(in_right);
    bottomMargin_ = in_bottom == -1 ? topMargin_ : ToShort(in_bottom);
}

int PDFPrinter::PDFGetX() const {
    return ToShort(x_);
}
int PDFPrinter::PDFGetY() const {
    return ToShort(y_);
}

} // namespace tarvik
