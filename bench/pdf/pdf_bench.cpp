// A one-page document like the certificate: about 40 texts, two pictures, a link and a
// bookmark, written with the standard font metrics.
#include "pdf/pdf_printer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

class QuietSink final : public tarvik::PdfMessageSink {
public:
    void Show(const std::string&, const std::string&, tarvik::PdfMessageIcon) override {}
};

// A noisy colour picture made by cjpeg, as the logo and signature stand-ins.
std::filesystem::path MakePicture(const std::filesystem::path& folder, const char* name, int width,
                                  int height) {
    const auto source = folder / (std::string(name) + ".ppm");
    {
        std::ofstream out(source, std::ios::binary);
        out << "P6\n" << width << " " << height << "\n255\n";
        std::mt19937 noise(42);
        for (int i = 0; i < width * height * 3; ++i) {
            out.put(static_cast<char>(noise() & 0xFF));
        }
    }
    const auto picture = folder / (std::string(name) + ".jpg");
    const std::string command =
        "cjpeg -outfile '" + picture.string() + "' '" + source.string() + "'";
    if (std::system(command.c_str()) != 0) {
        std::abort();
    }
    return picture;
}

void CertificateLikeDocument(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "tarvik-pdf-bench";
    std::filesystem::create_directories(folder);
    const auto logo = MakePicture(folder, "logo", 400, 76).string();
    const auto signature = MakePicture(folder, "s", 240, 90).string();
    QuietSink sink;
    tarvik::FixedClock clock({2026, 12, 5, 10, 0, 5});
    for (auto _ : state) {
        tarvik::PdfPrinterServices services;
        services.messages = &sink;
        services.clock = &clock;
        services.programFolder = folder;
        tarvik::PDFPrinter p(services);
        p.PDFTitle("Tarvik Locator System Validation Certificate");
        p.PDFFileName((folder / "certificate.pdf").string());
        p.PDFLoadAfm(TARVIK_BENCH_FONTS_DIR);
        p.PDFSetViewerPreferences(21);
        p.PDFFormatPage(0);
        p.PDFOrientation(1);
        p.PDFSetUnit(0);
        p.PDFSetZoomMode(1);
        p.PDFSetLayoutMode(3);
        p.PDFUseOutlines(true);
        p.PDFBeginDoc();
        p.PDFSetBookmark("System Validation Certificate", 0, 40);
        for (int line = 0; line < 38; ++line) {
            p.PDFSetFont(0, line % 3 == 0 ? 12 : 10, line % 2 == 0 ? 2 : 0);
            p.PDFSetTextColor(line % 5 == 0 ? 255 : 0);
            p.PDFTextOut("Line " + std::to_string(line) + " of the certificate text", 100,
                         40 + 18 * line);
        }
        p.PDFLink(260, 70, "www.tarvik.example");
        p.PDFImage(logo, 380, 33, 200, 38, "https://www.tarvik.example/");
        p.PDFImage(signature, 100, 663, 120, 45, "");
        p.PDFTextOut("Tarvik Customer Services Manager ", 100, 720);
        benchmark::DoNotOptimize(p.PDFEndDoc());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(CertificateLikeDocument)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
