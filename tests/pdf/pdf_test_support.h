#pragma once

#include "support/run_command.h"

#include "common/clock.h"
#include "pdf/pdf_printer.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tarvik::test {

// Records the writer's message boxes.
class RecordingPdfSink final : public PdfMessageSink {
public:
    struct Message {
        std::string title;
        std::string text;
        PdfMessageIcon icon;
    };
    void Show(const std::string& title, const std::string& text, PdfMessageIcon icon) override {
        messages.push_back({title, text, icon});
    }
    std::vector<Message> messages;
};

// The Fonts folder the build fills with the standard metric files.
std::filesystem::path StandardFontsFolder();

// A checker's exit status with its standard output and error together.
using ToolResult = CommandResult;
ToolResult RunTool(const std::string& commandLine);

// `qpdf --check` output; `QpdfClean` is true when it reports neither errors nor warnings.
ToolResult QpdfCheck(const std::filesystem::path& pdf);
bool QpdfClean(const ToolResult& check);
std::string PdfToText(const std::filesystem::path& pdf);

// A JPEG made by cjpeg from a noisy picture of the given size (CMYK ones by tjbench, which
// writes them without a JFIF header).
struct JpegOptions {
    bool grey = false;
    bool progressive = false;
    bool cmyk = false;
};
std::filesystem::path MakeJpeg(const std::filesystem::path& file, int width, int height,
                               JpegOptions options = {});

// The same JPEG bytes without the JFIF header (the APP0 segment after the start marker).
std::string WithoutJfifHeader(std::string jpeg);

// One writer with recorded messages, a clock standing on 5 December 2026 10:00:05, and a
// program folder of its own (no metric files unless `fonts` is given).
class PdfTestBed {
public:
    explicit PdfTestBed(bool fonts = true);

    PDFPrinter& printer() { return *printer_; }
    RecordingPdfSink& sink() { return sink_; }
    const std::filesystem::path& file() const { return file_; }
    const TempDir& dir() const { return dir_; }
    std::vector<std::filesystem::path> viewed;

    // PDFFileName on the bed's file and PDFBeginDoc.
    void Begin();
    // PDFEndDoc; the file's bytes.
    std::string Finish();

private:
    TempDir dir_;
    RecordingPdfSink sink_;
    FixedClock clock_{DateTime{2026, 12, 5, 10, 0, 5}};
    std::filesystem::path file_;
    std::unique_ptr<PDFPrinter> printer_;
};

// Every cross-reference entry names the byte at which its object's header line starts, and
// startxref names the table.
void ExpectRealOffsets(const std::string& pdf);
// qpdf finds no error and no warning, and the offsets are real.
void ExpectSoundDocument(const std::filesystem::path& pdf);

// The content stream of a page (1 = first) of a document written by the writer.
std::string PageContent(const std::string& pdf, int page = 1);
// The text of object `number` from its header line to its "endobj".
std::string ObjectText(const std::string& pdf, int number);

} // namespace tarvik::test
