#pragma once

#include "support/run_command.h"
#include "support/temp_dir.h"

#include "common/clock.h"
#include "pdf/pdf_printer.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Reading back what the PDF writer wrote, in its own bytes (each CR LF as "|") and as PDF
// readers see it.
namespace tarvik::test {

std::string Bars(std::string text);
size_t CountOf(const std::string& text, const std::string& part);
std::string Joined(const std::vector<std::string>& lines); // each line ended by "\n"

CommandResult RunTool(const std::string& commandLine);   // standard output and error together
bool QpdfClean(const std::filesystem::path& pdf);        // qpdf --check: no error, no warning
std::string PdfToText(const std::filesystem::path& pdf); // pdftotext -layout
int PageCount(const std::filesystem::path& pdf);

// A word as a PDF reader places it (pdftotext -bbox): points from the top-left corner.
struct WordBox {
    std::string word;
    double xMin, yMin, xMax, yMax;
};
std::vector<WordBox> WordBoxes(const std::filesystem::path& pdf);

std::string PageContent(const std::string& pdf, int page = 1);

// A noisy JPEG made by cjpeg (CMYK ones by tjbench, which writes them without a JFIF header).
struct JpegOptions {
    bool grey = false, progressive = false, cmyk = false;
};
std::string MakeJpeg(const std::filesystem::path& file, int width, int height,
                     JpegOptions options = {});

// One writer whose message boxes are recorded as "title: text" (stop icons marked "!"), with a
// clock standing on 5 December 2026 10:00:05 and a program folder of its own (no metric files
// unless `fonts`).
struct PdfTestBed : PdfMessageSink {
    explicit PdfTestBed(bool fonts = true);
    void Show(const std::string& title, const std::string& text, PdfMessageIcon icon) override;
    void Begin();         // PDFFileName on the bed's file and PDFBeginDoc
    std::string Finish(); // PDFEndDoc, checked by qpdf and its offsets; the file's bytes

    TempDir dir;
    std::filesystem::path file = dir / "document.pdf";
    std::vector<std::string> messages;
    std::vector<std::filesystem::path> viewed;
    FixedClock clock{DateTime{2026, 12, 5, 10, 0, 5}};
    std::unique_ptr<PDFPrinter> printer;
};

// A begun document in points on A4 portrait rounded to 595 x 842, as the certificate has it.
struct PointsPage : PdfTestBed {
    PointsPage();
    std::string Content() { return Bars(PageContent(pdf = Finish())); } // of the first page
    std::string pdf;
};

// What the calls on a new PointsPage wrote: the first page's content and its annotations
// ("/Annots [...]", empty when none) with CR LF as "|", and the messages (its folder as
// "<dir>").
struct Written {
    std::string content, annotations;
    std::vector<std::string> messages;
};
using Step = std::function<void(PDFPrinter&)>;
Written WrittenBy(const std::vector<Step>& steps);

} // namespace tarvik::test
