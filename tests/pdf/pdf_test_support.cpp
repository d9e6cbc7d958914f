#include "pdf_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>

namespace tarvik::test {

std::filesystem::path StandardFontsFolder() {
    return TARVIK_TEST_FONTS_DIR;
}

ToolResult RunTool(const std::string& commandLine) {
    return RunCommand(commandLine + " 2>&1");
}

ToolResult QpdfCheck(const std::filesystem::path& pdf) {
    return RunTool("qpdf --check " + ShellQuoted(pdf));
}

bool QpdfClean(const ToolResult& check) {
    return check.exitCode == 0 &&
           check.output.find("No syntax or stream encoding errors") != std::string::npos &&
           check.output.find("WARNING") == std::string::npos;
}

std::string PdfToText(const std::filesystem::path& pdf) {
    return RunTool("pdftotext -enc UTF-8 -layout " + ShellQuoted(pdf) + " -").output;
}

std::filesystem::path MakeJpeg(const std::filesystem::path& file, int width, int height,
                               JpegOptions options) {
    const auto source = file.string() + (options.grey ? ".pgm" : ".ppm");
    {
        std::ofstream out(source, std::ios::binary);
        out << (options.grey ? "P5\n" : "P6\n") << width << " " << height << "\n255\n";
        std::mt19937 noise(static_cast<unsigned>(width * 7919 + height));
        const int samples = width * height * (options.grey ? 1 : 3);
        for (int i = 0; i < samples; ++i) {
            out.put(static_cast<char>(noise() & 0xFF));
        }
    }
    ToolResult made;
    if (options.cmyk) {
        made = RunTool("tjbench " + ShellQuoted(source) +
                       " 90 -cmyk -subsamp 444 -benchtime 0.01 -warmup 0 -quiet");
        const std::string stem = source.substr(0, source.size() - 4);
        std::filesystem::rename(stem + "_444_Q90.jpg", file);
        std::filesystem::remove(stem + "_444_Q90_full.ppm");
        std::filesystem::remove(stem + "_444_Q90_full-err.ppm");
    } else {
        made = RunTool(std::string("cjpeg -quality 90 ") +
                       (options.progressive ? "-progressive " : "") + "-outfile " +
                       ShellQuoted(file) + " " + ShellQuoted(source));
    }
    std::filesystem::remove(source);
    if (made.exitCode != 0) {
        throw std::runtime_error("making a JPEG failed: " + made.output);
    }
    return file;
}

std::string WithoutJfifHeader(std::string jpeg) {
    const size_t length =
        static_cast<unsigned char>(jpeg[4]) * 256 + static_cast<unsigned char>(jpeg[5]);
    return jpeg.erase(2, length + 2);
}

PdfTestBed::PdfTestBed(bool fonts) : file_(dir_ / "document.pdf") {
    const auto programFolder = dir_ / "program";
    std::filesystem::create_directories(programFolder);
    if (fonts) {
        std::filesystem::copy(StandardFontsFolder(), programFolder);
    }
    PdfPrinterServices services;
    services.messages = &sink_;
    services.clock = &clock_;
    services.programFolder = programFolder;
    services.openViewer = [this](const std::filesystem::path& path) { viewed.push_back(path); };
    printer_ = std::make_unique<PDFPrinter>(services);
}

void PdfTestBed::Begin() {
    printer_->PDFFileName(file_.string());
    printer_->PDFBeginDoc();
}

std::string PdfTestBed::Finish() {
    if (!printer_->PDFEndDoc()) {
        throw std::runtime_error("PDFEndDoc failed");
    }
    return ReadBytes(file_);
}

std::string PageContent(const std::string& pdf, int page) {
    const std::string header = std::to_string(2 * page) + " 0 obj\r\n";
    const auto object = pdf.find("\r\n" + header);
    if (object == std::string::npos) {
        return {};
    }
    const auto start = pdf.find("stream\r\n", object) + 8;
    const auto end = pdf.find("endstream\r\n", start);
    return pdf.substr(start, end - start);
}

std::string ObjectText(const std::string& pdf, int number) {
    const std::string header = std::to_string(number) + " 0 obj\r\n";
    const auto start = pdf.find("\n" + header);
    if (start == std::string::npos) {
        return {};
    }
    const auto end = pdf.find("endobj\r\n", start);
    return pdf.substr(start + 1, end + 8 - start - 1);
}

// Every cross-reference entry must name the byte at which its object's header line starts.
void ExpectRealOffsets(const std::string& pdf) {
    const auto xref = pdf.rfind("\r\nxref\r\n") + 2;
    const auto startxref = pdf.rfind("startxref\r\n");
    EXPECT_EQ(std::stoul(pdf.substr(startxref + 11)), xref);
    // "xref", "0 " and the count, then the free entry, then one 20-byte entry per object.
    ASSERT_EQ(pdf.compare(xref, 8, "xref\r\n0 "), 0);
    const auto countEnd = pdf.find("\r\n", xref + 8);
    const int count = std::stoi(pdf.substr(xref + 8, countEnd - xref - 8));
    size_t entry = countEnd + 2 + 20;
    for (int k = 1; k < count; ++k, entry += 20) {
        const auto offset = std::stoul(pdf.substr(entry, 10));
        EXPECT_EQ(pdf.compare(offset, std::to_string(k).size() + 6, std::to_string(k) + " 0 obj"),
                  0)
            << "object " << k << " at " << offset;
    }
}

void ExpectSoundDocument(const std::filesystem::path& pdf) {
    const auto check = QpdfCheck(pdf);
    EXPECT_TRUE(QpdfClean(check)) << check.output;
    ExpectRealOffsets(ReadBytes(pdf));
}

} // namespace tarvik::test
