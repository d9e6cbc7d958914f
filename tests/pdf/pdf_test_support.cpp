#include "pdf_test_support.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <stdexcept>

namespace tarvik::test {

std::string Bars(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.replace(at, 2, "|");
    return text;
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines)
        joined += line + "\n";
    return joined;
}

CommandResult RunTool(const std::string& commandLine) {
    return RunCommand(commandLine + " 2>&1");
}

bool QpdfClean(const std::filesystem::path& pdf) {
    const CommandResult check = RunTool("qpdf --check " + ShellQuoted(pdf));
    return check.exitCode == 0 &&
           check.output.find("No syntax or stream encoding errors") != std::string::npos &&
           check.output.find("WARNING") == std::string::npos;
}

std::string PdfToText(const std::filesystem::path& pdf) {
    return RunCommand("pdftotext -enc UTF-8 -layout " + ShellQuoted(pdf) + " -").output;
}

int PageCount(const std::filesystem::path& pdf) {
    return static_cast<int>(CountOf(PdfToText(pdf), "\f")); // a form feed ends every page
}

std::vector<WordBox> WordBoxes(const std::filesystem::path& pdf) {
    const std::string html = RunCommand("pdftotext -bbox " + ShellQuoted(pdf) + " -").output;
    const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" )re"
                          R"re(yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<WordBox> boxes;
    for (std::sregex_iterator m(html.begin(), html.end(), word), end; m != end; ++m)
        boxes.push_back({(*m)[5], std::stod((*m)[1]), std::stod((*m)[2]), std::stod((*m)[3]),
                         std::stod((*m)[4])});
    return boxes;
}

// qpdf finds nothing wrong, and every cross-reference entry and startxref name the byte at
// which their object or table starts.
static void ExpectSoundDocument(const std::filesystem::path& file) {
    EXPECT_TRUE(QpdfClean(file)) << RunTool("qpdf --check " + ShellQuoted(file)).output;
    const std::string pdf = ReadBytes(file);
    const auto xref = pdf.rfind("\r\nxref\r\n0 ") + 2;
    EXPECT_EQ(std::stoul(pdf.substr(pdf.rfind("startxref\r\n") + 11)), xref);
    // "xref", "0 " and the count, the free entry, then one 20-byte entry per object.
    const auto countEnd = pdf.find("\r\n", xref + 8);
    const int count = std::stoi(pdf.substr(xref + 8, countEnd - xref - 8));
    for (int k = 1; k < count; ++k) {
        const auto offset = std::stoul(pdf.substr(countEnd + 2 + 20 * k, 10));
        const std::string header = std::to_string(k) + " 0 obj";
        EXPECT_EQ(pdf.compare(offset, header.size(), header), 0) << "object " << k;
    }
}

std::string PageContent(const std::string& pdf, int page) {
    const auto object = pdf.find("\r\n" + std::to_string(2 * page) + " 0 obj\r\n");
    if (object == std::string::npos)
        return {};
    const auto start = pdf.find("stream\r\n", object) + 8;
    return pdf.substr(start, pdf.find("endstream\r\n", start) - start);
}

std::string MakeJpeg(const std::filesystem::path& file, int width, int height,
                     JpegOptions options) {
    const auto source = file.string() + (options.grey ? ".pgm" : ".ppm");
    std::string pixels = std::string(options.grey ? "P5\n" : "P6\n") + std::to_string(width) + " " +
                         std::to_string(height) + "\n255\n";
    std::mt19937 noise(static_cast<unsigned>(width * 7919 + height));
    for (int i = 0; i < width * height * (options.grey ? 1 : 3); ++i)
        pixels += static_cast<char>(noise() & 0xFF);
    WriteBytes(source, pixels);
    CommandResult made;
    if (options.cmyk) {
        made = RunTool("tjbench " + ShellQuoted(source) +
                       " 90 -cmyk -subsamp 444 -benchtime 0.01 -warmup 0 -quiet");
        const std::string stem = source.substr(0, source.size() - 4);
        std::filesystem::rename(stem + "_444_Q90.jpg", file); // its other files stay in the folder
    } else {
        made = RunTool(std::string("cjpeg -quality 90 ") +
                       (options.progressive ? "-progressive " : "") + "-outfile " +
                       ShellQuoted(file) + " " + ShellQuoted(source));
    }
    if (made.exitCode != 0)
        throw std::runtime_error("making a JPEG failed: " + made.output);
    return file.string();
}

PdfTestBed::PdfTestBed(bool fonts) {
    PdfPrinterServices services{this, &clock, dir / "program",
                                [this](const auto& path) { viewed.push_back(path); }};
    std::filesystem::create_directories(services.programFolder);
    if (fonts)
        std::filesystem::copy(ProgramsFolder() / "Fonts", services.programFolder);
    printer = std::make_unique<PDFPrinter>(services);
}

void PdfTestBed::Show(const std::string& title, const std::string& text, PdfMessageIcon icon) {
    messages.push_back((icon == PdfMessageIcon::Stop ? "!" : "") + title + ": " + Bars(text));
}

void PdfTestBed::Begin() {
    printer->PDFFileName(file.string());
    printer->PDFBeginDoc();
}

std::string PdfTestBed::Finish() {
    if (!printer->PDFEndDoc())
        throw std::runtime_error("PDFEndDoc failed");
    ExpectSoundDocument(file);
    return ReadBytes(file);
}

PointsPage::PointsPage() {
    printer->PDFSetUnit(0);
    printer->PDFOrientation(1);
    Begin();
}

Written WrittenBy(const std::vector<Step>& steps) {
    PointsPage page;
    for (const Step& step : steps)
        step(*page.printer);
    Written written{page.Content(), "", page.messages};
    for (std::string& message : written.messages) // the same on every run
        if (const auto at = message.find(page.dir.path().string()); at != std::string::npos)
            message.replace(at, page.dir.path().string().size(), "<dir>");
    const auto start = page.pdf.find("/Annots [");
    if (start != std::string::npos)
        written.annotations =
            Bars(page.pdf.substr(start, page.pdf.find("]\r\n/Contents", start) + 1 - start));
    return written;
}

} // namespace tarvik::test
