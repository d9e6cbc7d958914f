#pragma once

#include "common/clock.h"
#include "pdf/afm_metrics.h"
#include "pdf/jpeg_info.h"
#include "pdf/pdf_colour.h"
#include "pdf/pdf_message_sink.h"
#include "pdf/pdf_output_file.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarvik {

// Opens a finished document in the desktop's PDF viewer.
using PdfViewerOpener = std::function<void(const std::filesystem::path&)>;

// What the writer needs from its surroundings; every member may be left empty.
struct PdfPrinterServices {
    PdfMessageSink* messages = nullptr;  // empty: messages are printed on standard error
    const Clock* clock = nullptr;        // empty: the system clock (for /CreationDate)
    std::filesystem::path programFolder; // empty: the running program's resource folder
    PdfViewerOpener openViewer;          // empty: PDFView opens nothing
};

struct PdfPoint {
    double x = 0;
    double y = 0;
};

// Writes one PDF 1.3 document: the standard Type1 fonts measured from AFM files, one-line
// texts, JPEG pictures, web links, bookmarks and simple shapes. Coordinates are in the user
// unit with y growing downwards from the top of the page. Texts are UTF-8; the document holds
// them in Windows-1252. Bad arguments are told through the message sink and replaced by a
// default, and the document goes on.
class PDFPrinter {
public:
    PDFPrinter();
    explicit PDFPrinter(PdfPrinterServices services);
    ~PDFPrinter();
    PDFPrinter(const PDFPrinter&) = delete;
    PDFPrinter& operator=(const PDFPrinter&) = delete;

    // Settings.
    void PDFPathConfiguration(const std::string& sPathConfig);
    void PDFSetViewerPreferences(long pViewerPref);
    void PDFFiligran(const std::string& sFiligran);
    void PDFSetZoomMode(long pZoomMode);
    long PDFGetZoomMode() const { return zoomMode_; }
    void PDFUseThumbs(bool boThumbs) { useThumbs_ = boThumbs; }
    void PDFUseOutlines(bool boOutlines) { useOutlines_ = boOutlines; }
    void PDFSetLayoutMode(long pLayoutMode);
    long PDFGetLayoutMode() const { return layoutMode_; }
    void PDFSetUnit(long str_Unite);
    std::string PDFGetUnit() const;
    void PDFOrientation(long str_Orientation);
    void PDFFormatPage(long str_FormatPage);
    void PDFFormatPage(double width, double height);
    void PDFFormatPage(const std::vector<double>& str_FormatPage);
    int PDFPageNumber() const { return pageNumber_; }
    int PDFNbPage() const;
    void PDFProducer(const std::string& str_Producer) { producer_ = str_Producer; }
    void PDFSubject(const std::string& str_Subject) { subject_ = str_Subject; }
    void PDFKeywords(const std::string& str_Keywords) { keywords_ = str_Keywords; }
    void PDFCreator(const std::string& str_Creator) { creator_ = str_Creator; }
    void PDFAuthor(const std::string& str_Author) { author_ = str_Author; }
    void PDFTitle(const std::string& str_Title) { title_ = str_Title; }
    // Creates the output file at once, replacing an existing one. When it cannot be created
    // the writer goes on without a file and PDFEndDoc answers false.
    void PDFFileName(const std::string& str_FileName);
    std::string PDFGetFileName() const { return fileName_; }
    void PDFConfirm(bool boConfirm) { confirm_ = boConfirm; }
    void PDFView(bool boView) { view_ = boView; }
    void PDFPageHeight(double in_PageHeight);
    double PDFGetPageHeight() const;
    void PDFPageWidth(double in_PageWidth);
    double PDFGetPageWidth() const;
    void PDFSetLeftMargin(double in_left);
    double PDFGetLeftMargin() const { return leftMargin_; }
    void PDFSetRightMargin(double in_right);
    double PDFGetRightMargin() const { return rightMargin_; }
    void PDFSetTopMargin(double in_top);
    double PDFGetTopMargin() const { return topMargin_; }
    void PDFSetBottomMargin(double in_bottom);
    double PDFGetBottomMargin() const { return bottomMargin_; }
    void PDFSetCellMargin(double in_cell);
    double PDFGetCellMargin() const { return cellMargin_; }
    // A right or bottom margin of -1 takes the left or top one.
    void PDFSetMargins(int in_left, int in_top, int in_right = -1, int in_bottom = -1);
    int PDFGetX() const;
    int PDFGetY() const;

    // Drawing and colours.
    void PDFSetLineStyle(long pLineStyle);
    void PDFSetLineWidth(double pLineWidth) { lineWidth_ = pLineWidth; }
    void PDFSetDrawMode(long pDrawMode);
    void PDFSetTextColor(const PdfColour& gColor);
    void PDFSetLineColor(const PdfColour& gColor);
    void PDFSetDrawColor(const PdfColour& gColor);
    // The current colour operators ("0 g", "1.000 0.000 0.000 rg", ...).
    std::string PDFGetTextColor() const { return textColour_; }
    std::string PDFGetLineColor() const { return lineColour_; }
    std::string PDFGetDrawColor() const { return drawColour_; }
    void PDFDrawLine(double x1, double y1, double x2, double y2);
    void PDFDrawLineHor(double x, double y, double w);
    void PDFDrawLineVer(double x, double y, double h);
    // A missing address (std::nullopt) is told as an invalid link; an empty one makes no link.
    void PDFDrawRectangle(double x, double y, double w, double h,
                          const std::optional<std::string>& URLLink = std::string{});
    void PDFDrawEllipse(double x, double y, double rx, double ry,
                        const std::optional<std::string>& URLLink = std::string{});
    // A closed polygon; fewer than two points draw nothing.
    void PDFDrawPolygon(const std::vector<PdfPoint>& pParam);

    // Fonts and text.
    void PDFSetFont(long str_Fontname, int in_FontSize, long str_Style = 0);
    double PDFTextHeight() const;
    void PDFSetRotation(double pAngle) { rotation_ = -pAngle; }
    void PDFTextOut(const std::string& str_Text, double x = 0, double y = 0);

    // Links and pictures.
    void PDFLink(double x, double y, const std::string& str_Text, const std::string& str_Link = {});
    double PDFImageWidth(const std::string& pFileName);
    double PDFImageHeight(const std::string& pFileName);
    void PDFImage(const std::string& pFileName, double x, double y, double w = 0, double h = 0,
                  const std::optional<std::string>& URLLink = std::string{});

    // Text cells: a box at the current position (x from the page's left edge) with the borders,
    // background and alignment set below. A text wider than the box is wrapped at spaces (at a
    // character when one word is too long, and at every line break) onto further lines of the
    // same height. A width of 0 reaches to the right margin. Afterwards the current position is
    // to the right of the box, or with `boNewLine` at the left margin below it.
    void PDFCell(double w, double h, const std::string& str_Text,
                 const std::optional<std::string>& URLLink = std::string{}, bool boNewLine = false);
    // Moves the current position, where the next cell goes.
    void PDFSetXY(double x, double y) {
        x_ = x;
        y_ = y;
    }
    // The number of lines PDFCell would give the text in a box of width w.
    int PDFCellLineCount(double w, const std::string& str_Text);
    // "" or "0" no border, "1" all four, or any of the letters "L", "T", "R", "B".
    void PDFSetBorder(const std::string& sBorder);
    std::string PDFGetBorder() const { return border_; }
    // The background in the draw colour.
    void PDFSetFill(bool boFill) { fill_ = boFill; }
    // 0 left, 1 centre, 2 right, 3 justified (every wrapped line but a paragraph's last).
    void PDFSetAlignement(long pAlignement);
    long PDFGetAlignement() const { return alignment_; }

    // Document lifecycle.
    void PDFBeginDoc();
    // Writes the rest of the document and closes the file; true when the whole file was
    // written. Only then are the confirmation and the viewer shown.
    bool PDFEndDoc();
    void PDFEndPage();
    void PDFNewPage();

    // The width in points; an empty font name means the current font.
    double PDFGetStringWidth(const std::string& str_Txt, const std::string& str_FName,
                             int in_FSize);

    void PDFLoadAfm(const std::string& sPathAFM);
    void PDFInit();
    // A y of -1 means the current y.
    void PDFSetBookmark(const std::string& str_Text, int iLevel = 0, double y = -1);

private:
    struct PageSlot {
        double width = 0;
        double height = 0;
        char orientation = 'p';
    };
    struct Link {
        double x, y, w, h;
        std::string url;
    };
    struct PageRecord {
        int contentObject = 0;
        int pageObject = 0;
        std::vector<Link> links;
    };
    struct Image {
        pdf::JpegInfo info;
        std::string data;
    };
    struct Bookmark {
        std::string text;
        int level = 0;
        double y = 0;
        int page = 1;
    };
    enum class PendingLink { None, Image, Rectangle, Ellipse, Cell };
    struct CachedAfm {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        pdf::AfmWidths widths;
    };

    // Messages.
    void Complain(const std::string& titleContext, const std::string& text);
    void Complain(const std::string& titleContext, const std::string& complaint,
                  const std::string& value, const std::string& sentence);

    // Page geometry of the current slot.
    PageSlot& CurrentSlot();
    const PageSlot& CurrentSlot() const;
    const PageSlot& SlotOfPage(int page) const;
    double PageHeight() const { return CurrentSlot().height; }

    // Object writing.
    int NewObject();
    void WriteObjectAt(int number, size_t headerAt);
    void WriteBuffer();
    void OpenPageStream();
    void ClosePageStream(bool withComments);
    void WriteInfo();
    void WriteFonts();
    void WritePagesTree(int pagesObject, int imageCount);
    void WriteResources(int resourcesObject);
    void WriteImages();
    void WritePages(int pagesObject, int resourcesObject);
    std::string AnnotationLine(const PageRecord& page) const;
    int WriteOutlines();
    void WriteCatalog(int pagesObject, int outlineRoot);
    void WriteXrefAndTrailer(int catalogObject);
    void AppendLine(const std::string& line) { objectBuffer_ += line + "\r\n"; }
    void AppendContent(const std::string& line) { content_ += line + "\r\n"; }

    // Text.
    int FontNumber() const;
    double StringWidth(const std::string& text8, const std::string& fontName, int size);
    const pdf::AfmWidths* FontWidths(const std::string& fontName);
    void TextOut(const std::string& text8, double x, double y);
    std::string TextMatrix(double x, double y) const;
    std::string Underline(const std::string& text8, double x, double y);
    void DrawWatermark();

    // Links and pictures.
    bool CheckImageName(const std::string& fileName);
    std::optional<Image> ReadImage(const std::string& fileName);
    void AttachLink(const std::optional<std::string>& url, PendingLink kind, double x, double y);
    void Link8(double x, double y, const std::string& text8, const std::string& link8);
    void RecordLink(double x, double y, double w, double h, const std::string& url);

    // Shapes.
    std::string ColourFrom(const PdfColour& colour, pdf::ColourTarget target);
    void AppendShapeColours();
    std::string PaintOperator(bool rectangle) const;
    std::string Point(double x, double y) const;
    std::string LineWidthText() const;
    void StraightLine(const char* kind, double x, double y, double toX, double toY);

    // Cells.
    std::vector<std::string> WrapCellText(const std::string& text8, double w);
    void CellFrame(double x, double y, double w, double h);
    // Writes one line of a cell's text; answers the x it starts at.
    double CellLine(const std::string& line8, double x, double baseline, double w,
                    bool lastOfParagraph);

    PdfMessageSink* messages_;
    std::unique_ptr<PdfMessageSink> ownMessages_;
    const Clock* clock_;
    std::unique_ptr<Clock> ownClock_;
    std::filesystem::path programFolder_;
    PdfViewerOpener openViewer_;

    std::filesystem::path afmFolder_;
    std::vector<std::string> afmNames_;
    double scale_ = 0;
    std::vector<PageSlot> slots_; // slot k at index k - 1
    int slotIndex_ = 1;
    int pageNumber_ = 1;
    double x_ = 0;
    double y_ = 0;
    int leftMargin_ = 1;
    int topMargin_ = 1;
    int rightMargin_ = 1;
    int bottomMargin_ = 1;
    int cellMargin_ = 3;
    long zoomMode_ = 0;
    long layoutMode_ = 0;
    std::optional<long> viewerPreferences_;
    bool useThumbs_ = false;
    bool useOutlines_ = false;
    bool confirm_ = false;
    bool view_ = false;
    std::string title_, author_, subject_, keywords_, creator_, producer_;
    std::string fileName_;
    pdf::PdfOutputFile output_;
    bool documentOpen_ = false;
    int nbPage_ = 1;
    bool watermarkOn_ = false;
    std::string watermarkText_;
    std::string textColour_, lineColour_, drawColour_;
    double lineWidth_ = 0.567;
    std::string dash_;
    std::string drawMode_;

    int objectCount_ = 0;
    std::vector<size_t> offsets_; // offset of object k at index k; index 0 unused
    std::string objectBuffer_;
    std::string content_;
    std::vector<PageRecord> pages_; // page k at index k - 1
    std::vector<int> fontObjects_;
    std::vector<Image> images_;
    double lastImageWidth_ = 0;
    double lastImageHeight_ = 0;
    double lastRectangleWidth_ = 0;

    std::string fontFamily_;
    std::string fontName_;
    int fontSize_ = 0;
    bool italic_ = false;
    bool bold_ = false;
    bool underline_ = false;
    double rotation_ = 0;
    double wordSpacing_ = 0; // of the justified cell line being written; 0 otherwise
    std::set<std::string> missingFontsTold_;
    // Metrics by file, read again when the file changes.
    std::map<std::filesystem::path, CachedAfm> afmCache_;

    std::string border_;
    bool fill_ = false;
    long alignment_ = 0;
    std::string lastCellText8_; // for the width of a cell's link

    PendingLink pendingLink_ = PendingLink::None;
    std::vector<Bookmark> bookmarks_;
};

} // namespace tarvik
