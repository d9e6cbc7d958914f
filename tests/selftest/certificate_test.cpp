#include "selftest/certificate.h"

#include "common/maker_details.h"
#include "pdf/afm_metrics.h"
#include "pdf/pdf_test_support.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sys/resource.h>

namespace tarvik {
namespace {

using namespace test;

// One text of the page as the certificate must draw it, in the page's own terms: points
// from the left margin (1 point) and down from the top edge.
struct PageText {
    std::string text;
    bool bold;
    int size;
    bool red;
    double x, y;
};

// The texts of the sentence line (y 480) with their x, in the order they are written.
using SentenceLine = std::vector<std::pair<std::string, double>>;

// One text with gaps, the model and the serial number placed in them.
SentenceLine InGaps(const CertificateDetails& d, bool noLog) {
    return {{"The" + std::string(noLog ? 18 : 11, ' ') + "Locator, Serial Number" +
                 std::string(13, ' ') + ", successfully passed its self test on",
             100},
            {d.model, 124},
            {d.serial, noLog ? 307 : 285}};
}

// In pieces, each after the last: a model or serial number too wide for its gap.
SentenceLine InPieces(const CertificateDetails& d, double middle, double serial, double tail) {
    return {{"The", 100},
            {d.model, 124},
            {"Locator, Serial Number", middle},
            {d.serial, serial},
            {", successfully passed its self test on", tail}};
}

std::vector<PageText> ExpectedTexts(const CertificateDetails& d, const SentenceLine& sentence) {
    using namespace maker;
    std::vector<PageText> texts = {
        {kCompanyName, true, 10, false, 15, 40},
        {kAddressLines[0], false, 10, false, 15, 50},
        {kAddressLines[1], false, 10, false, 15, 60},
        {kAddressLines[2], false, 10, false, 15, 70},
        {kAddressLines[3], false, 10, false, 15, 80},
        {"Tel.", true, 10, true, 230, 40},
        {"Fax", true, 10, true, 230, 50},
        {"email", true, 10, true, 230, 60},
        {"web", true, 10, true, 230, 70},
        {kTelephone, false, 10, false, 260, 40},
        {kFax, false, 10, false, 260, 50},
        {kEmail, false, 10, false, 260, 60},
        {kWebAddress, false, 10, false, 260, 70},
        {"System Validation Certificate", true, 20, false, 160, 200},
        {"Model Number:", true, 12, false, 100, 300},
        {d.model, false, 12, false, 200, 300},
        {"Serial Number:", true, 12, false, 100, 340},
        {d.serial, false, 12, false, 200, 340},
        {"User Name:", true, 12, false, 100, 380},
        {d.user, false, 12, false, 200, 380},
        {d.passDate, false, 12, false, 100, 500},
        {" at ", false, 12, false, 150, 500},
        {d.passTime, false, 12, false, 168, 500},
        {"Tarvik International Ltd certifies that this locator meets the performance", false, 12,
         false, 100, 540},
        {"requirements of test specification A4/318/2706 - VZ3 Range Self Test Specification.",
         false, 12, false, 100, 560},
        {"On behalf of Tarvik International Ltd", false, 12, false, 100, 640},
        {"Tarvik Customer Services Manager ", false, 12, false, 100, 720},
    };
    for (size_t i = 0; i < sentence.size(); ++i)
        texts.insert(texts.begin() + 20 + static_cast<long>(i),
                     {sentence[i].first, false, 12, false, sentence[i].second, 480});
    return texts;
}

// "text | font size | colour | x y" as the content stream must state it (842 points high).
std::vector<std::string> ExpectedStreamRows(const std::vector<PageText>& texts) {
    std::vector<std::string> rows;
    char row[512];
    for (const PageText& t : texts) {
        std::snprintf(row, sizeof row, "%s | Helvetica%s %d.00 | %s | %.2f %.2f", t.text.c_str(),
                      t.bold ? "-Bold" : "", t.size,
                      t.red ? "1.000 0.000 0.000" : "0.000 0.000 0.000", t.x + 1, 842 - t.y);
        rows.push_back(row);
    }
    return rows;
}

// Every non-empty text object of the page as a stream row (the logo's link writes an empty
// one), and every picture as "matrix name".
std::pair<std::vector<std::string>, std::vector<std::string>> DrawnPage(const std::string& pdf) {
    std::map<std::string, std::string> fonts; // "F6" -> "Helvetica-Bold"
    const std::regex fontObject(R"(/Name /(F\d+)\r\n/BaseFont /([\w-]+))");
    for (std::sregex_iterator m(pdf.begin(), pdf.end(), fontObject), end; m != end; ++m)
        fonts[(*m)[1]] = (*m)[2];
    const std::string content = Bars(PageContent(pdf));
    const std::regex text(R"(q ([\d. ]+) rg \|%DEBUT_TEXT/%\|BT\|([\d. ]+) Td\|/(F\d+) ([\d.]+) )"
                          R"(Tf\|\(((?:[^\\)]|\\.)+)\) Tj)");
    const std::regex picture(R"(\|([^|]* cm) /(ImgJPEG\d+) Do Q)");
    std::pair<std::vector<std::string>, std::vector<std::string>> page;
    for (std::sregex_iterator m(content.begin(), content.end(), text), end; m != end; ++m)
        page.first.push_back(std::regex_replace((*m)[5].str(), std::regex(R"(\\(.))"), "$1") +
                             " | " + fonts[(*m)[3]] + " " + (*m)[4].str() + " | " + (*m)[1].str() +
                             " | " + (*m)[2].str());
    for (std::sregex_iterator m(content.begin(), content.end(), picture), end; m != end; ++m)
        page.second.push_back((*m)[1].str() + " " + (*m)[2].str());
    return page;
}

// Each expected text is where a reader finds it: a text starting at its place in its size,
// colour and weight (its top is the baseline less Helvetica's ascent, its left after any
// leading spaces, 0.278 em each), or taken by the reader into the text before it on the line.
void ExpectReaderSees(const ReaderPage& page, const std::vector<PageText>& texts) {
    for (const PageText& t : texts) {
        const size_t spaces = t.text.find_first_not_of(' ');
        const std::string expected = t.text.substr(spaces);
        const double left = t.x + 1 + static_cast<double>(spaces) * 0.278 * t.size;
        const double top = t.y - 0.718 * t.size;
        const ReaderText* found = nullptr;
        for (const ReaderText& r : page.texts) {
            const size_t at = r.text.find(expected);
            if (std::abs(r.top - top) <= 1 &&
                (std::abs(r.left - left) <= 1
                     ? at == 0
                     : r.left < left && at != 0 && at != std::string::npos))
                found = &r;
        }
        ASSERT_NE(found, nullptr) << "no text \"" << expected << "\" at " << left << ", " << top;
        EXPECT_EQ(found->size, t.size) << expected;
        EXPECT_EQ(found->colour, t.red ? "#ff0000" : "#000000") << expected;
        EXPECT_EQ(found->bold, t.bold) << expected;
    }
}

// Files of this process may not grow beyond `bytes` while it lives: every write past it fails
// (for root too).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    void (*signal_)(int);
    rlimit saved_{};
};

class CertificateTest : public ::testing::Test {
protected:
    CertificateResult Make(std::filesystem::path program = ProgramsFolder()) {
        PdfPrinterServices services;
        services.clock = &clock;
        services.openViewer = [this](const std::filesystem::path& f) { viewed.push_back(f); };
        return CreateValidationCertificate(details, folders, program, services);
    }
    std::filesystem::path Certs() const { return folders.CertsFolder(); }

    TempDir dir;
    Folders folders{dir / "Documents", dir / "AppData"};
    FixedClock clock{DateTime{2026, 12, 5, 10, 0, 5}};
    std::vector<std::filesystem::path> viewed;
    CertificateDetails details{"05/12/26", "09:12:30", "KVZ3", "  12345 ", "Site crew"};
    const std::string name =
        "12345 System Validation Cert [For 05-12-26 09-12-30][Created 05-12-26 10-00-05].pdf";
    const std::string stem = name.substr(0, name.size() - 4);
};

TEST_F(CertificateTest, EveryTextPictureLinkAndSettingOfThePageIsInTheFile) {
    const CertificateResult result = Make();
    ASSERT_TRUE(result.file) << result.error;
    const std::filesystem::path& file = *result.file;
    const std::string pdf = ReadBytes(file);
    EXPECT_TRUE(QpdfClean(file));
    // "  12345" ends at 325.03, a point past the serial's gap (324.11): written in pieces.
    const std::vector<PageText> texts =
        ExpectedTexts(details, InPieces(details, 157.372, 285, 325.032));

    // The content stream: texts in order with font, size, colour and place; the pictures.
    const auto [drawnTexts, drawnPictures] = DrawnPage(pdf);
    EXPECT_EQ(drawnTexts, ExpectedStreamRows(texts));
    EXPECT_EQ(drawnPictures,
              (std::vector<std::string>{"200.00 0 0 38.00 380.00 771.00 cm ImgJPEG1",
                                        "120.00 0 0 45.00 100.00 134.00 cm ImgJPEG2"}));
    const std::string logo = ReadBytes(ProgramsFolder() / "logo.jpg");
    const std::string signature = ReadBytes(ProgramsFolder() / "s.jpg");
    for (const auto& [picture, bytes] :
         {std::pair{"/Name /ImgJPEG1", logo}, {"/Name /ImgJPEG2", signature}})
        EXPECT_NE(pdf.find("/Length " + std::to_string(bytes.size()) + "\r\n" + picture +
                           ">>\r\nstream\r\n" + bytes + "\r\nendstream"),
                  std::string::npos);

    // Two links: the web address (as wide as its text, whole points) and the logo.
    const auto helvetica = pdf::ReadAfmWidthsFile(ProgramsFolder() / "Fonts" / "Helvetica.afm");
    ASSERT_TRUE(helvetica);
    const auto webWidth = pdf::SumWidths(*helvetica, maker::kWebAddress) * 10 / 1000;
    std::vector<std::string> links;
    const std::regex annotation(R"(/Subtype /Link /Rect \[([^\]]*)\] /Border \[0 0 0\] )"
                                R"(/A <</S /URI /URI \(([^)]*)\)>>)");
    for (std::sregex_iterator m(pdf.begin(), pdf.end(), annotation), end; m != end; ++m)
        links.push_back((*m)[1].str() + " -> " + (*m)[2].str());
    EXPECT_EQ(links,
              (std::vector<std::string>{"260 772 " + std::to_string(260 + webWidth) + " 762 -> " +
                                            maker::kWebAddress,
                                        std::string("380 809 580 771 -> ") + maker::kWebUrl}));

    // The bookmark and the document settings: the page is object 22, after its two objects,
    // the fourteen fonts, the pages tree, the resources and the two pictures.
    const std::string all = Bars(pdf);
    for (const char* part :
         {"/Title (Tarvik Locator System Validation Certificate)|",
          "/CreationDate (D:20261205100005)|", "/MediaBox [ 0 0 595 842]|",
          "<</Title (System Validation Certificate)|", "/Dest [22 0 R /XYZ 0 802.00 null]",
          "/Type /Catalog|/Pages 18 0 R|/OpenAction [22 0 R /FitH null]|/Outlines 24 0 R|"
          "/PageMode /UseOutlines|/ViewerPreferences<<|/HideMenubar true|/HideToolbar true|>>|>>"})
        EXPECT_NE(all.find(part), std::string::npos) << part;

    // The same as a PDF reader sees it.
    TempDir readerDir;
    const ReaderPage reader = ReadAsReader(file, readerDir.path());
    ExpectReaderSees(reader, texts);
    EXPECT_EQ(reader.pictures, (std::vector<std::string>{"380 33 200 38", "100 663 120 45"}));
    ASSERT_EQ(reader.pictureFiles.size(), 2u);
    EXPECT_EQ(ReadBytes(reader.pictureFiles[0]), logo);
    EXPECT_EQ(ReadBytes(reader.pictureFiles[1]), signature);
    EXPECT_NE(reader.outline.find(">System Validation Certificate</item>"), std::string::npos);
    const std::string urls = RunTool("pdfinfo -url " + ShellQuoted(file)).output;
    EXPECT_NE(urls.find(maker::kWebAddress), std::string::npos) << urls;
    EXPECT_NE(urls.find(maker::kWebUrl), std::string::npos) << urls;
    const std::string info = RunTool("pdfinfo " + ShellQuoted(file)).output;
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos);
    EXPECT_NE(info.find("Page size:       595 x 842 pts (A4)"), std::string::npos) << info;
}

// The model and serial number go into gaps of the sentence, wider for a model without a log
// (one that ends in "ND "). A model or serial number too wide for its gap pushes the rest
// along, a space after the words before it: "88888888" is 53.376 points wide, "NVZ3ND" 48 (from
// 124, past "Locator" at 157.372), "Locator, Serial Number" 123.372 and a space 3.336. No
// words overlap.
TEST_F(CertificateTest, TheModelAndSerialNumberFitTheSentence) {
    const struct {
        const char* model;
        const char* serial;
        std::function<SentenceLine(const CertificateDetails&)> line;
    } cases[] = {
        {"NVZ3nd ", "12345", [](const auto& d) { return InGaps(d, true); }},
        {"KVZ3", "12345", [](const auto& d) { return InGaps(d, false); }},
        {"KVZ3", "88888888", [](const auto& d) { return InPieces(d, 157.372, 285, 338.376); }},
        {"NVZ3nd ", "88888888",
         [](const auto& d) { return InPieces(d, 180.724, 307.432, 360.808); }},
        {"NVZ3ND", "12345", [](const auto& d) { return InPieces(d, 175.336, 302.044, 335.404); }},
    };
    for (const auto& c : cases) {
        details.model = c.model;
        details.serial = c.serial;
        const CertificateResult result = Make();
        ASSERT_TRUE(result.file);
        EXPECT_EQ(DrawnPage(ReadBytes(*result.file)).first,
                  ExpectedStreamRows(ExpectedTexts(details, c.line(details))))
            << c.model << c.serial;
        std::vector<WordBox> line;
        for (const WordBox& box : WordBoxes(*result.file))
            if (box.yMin > 460 && box.yMax < 485)
                line.push_back(box);
        std::sort(line.begin(), line.end(),
                  [](const WordBox& a, const WordBox& b) { return a.xMin < b.xMin; });
        ASSERT_GE(line.size(), 9u);
        for (size_t i = 1; i < line.size(); ++i)
            EXPECT_GE(line[i].xMin, line[i - 1].xMax - 0.5)
                << line[i - 1].word << " runs into " << line[i].word << " (" << c.model << c.serial
                << ")";
    }
}

TEST_F(CertificateTest, CertificatesOfOneSecondAreAllKeptUnderNumberedNames) {
    std::filesystem::create_directories(Certs() / (stem + " (2).pdf"));
    WriteBytes(Certs() / (stem + " (2).pdf") / "inside", "kept");
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < 3; ++i) {
        const CertificateResult result = Make();
        ASSERT_TRUE(result.file) << result.error;
        files.push_back(*result.file);
    }
    const std::string firstBytes = ReadBytes(files[0]);
    EXPECT_EQ(files,
              (std::vector<std::filesystem::path>{Certs() / name, Certs() / (stem + " (3).pdf"),
                                                  Certs() / (stem + " (4).pdf")}));
    EXPECT_EQ(ReadBytes(files[0]), firstBytes);
    EXPECT_EQ(ReadBytes(Certs() / (stem + " (2).pdf") / "inside"), "kept");
    EXPECT_EQ(
        FolderEntries(Certs()),
        (std::set<std::string>{name, stem + " (2).pdf", stem + " (3).pdf", stem + " (4).pdf"}));
    for (const auto& file : files)
        EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                      std::filesystem::perms::others_read)
            << file;
    EXPECT_EQ(viewed, files);

    clock.Set({2026, 12, 5, 10, 0, 6});
    const CertificateResult later = Make();
    ASSERT_TRUE(later.file);
    EXPECT_EQ(later.file->filename().string(), "12345 System Validation Cert [For 05-12-26 "
                                               "09-12-30][Created 05-12-26 10-00-06].pdf");
}

TEST_F(CertificateTest, AFailedWriteLeavesEverythingAsItWasAndSaysSo) {
    // A file where the certificates folder belongs is named and kept.
    std::filesystem::create_directories(Certs().parent_path());
    WriteBytes(Certs(), "not a folder");
    const CertificateResult blocked = Make();
    EXPECT_FALSE(blocked.file);
    EXPECT_NE(blocked.error.find(Certs().string()), std::string::npos) << blocked.error;
    EXPECT_EQ(ReadBytes(Certs()), "not a folder");
    std::filesystem::remove(Certs());

    const CertificateResult stored = Make();
    ASSERT_TRUE(stored.file);
    const std::string storedBytes = ReadBytes(*stored.file);
    viewed.clear();
    const auto expectOnlyTheStoredCertificate = [&](const CertificateResult& failed) {
        EXPECT_FALSE(failed.file);
        EXPECT_NE(failed.error.find("could not be"), std::string::npos) << failed.error;
        EXPECT_EQ(ReadBytes(*stored.file), storedBytes);
        EXPECT_TRUE(viewed.empty());
    };
    {
        FileSizeLimit limit(4096); // every write beyond the first few kilobytes fails
        const CertificateResult failed = Make();
        expectOnlyTheStoredCertificate(failed);
        EXPECT_NE(failed.error.find("could not be written"), std::string::npos) << failed.error;
    }
    EXPECT_EQ(FolderEntries(Certs()), std::set<std::string>{name});

    // Something else at the name the certificate is written under.
    const std::string temporary = CertificateTemporaryFileName(name);
    std::filesystem::create_directory(Certs() / temporary);
    expectOnlyTheStoredCertificate(Make());
    EXPECT_EQ(FolderEntries(Certs()), (std::set<std::string>{name, temporary}));
}

TEST_F(CertificateTest, AMissingPictureOrFontIsNamedAndNothingIsLeftBehind) {
    for (const auto& missing : CertificateResources(ProgramsFolder())) {
        TempDir program;
        for (const auto& resource : CertificateResources(ProgramsFolder())) {
            const auto target = program / std::filesystem::relative(resource, ProgramsFolder());
            std::filesystem::create_directories(target.parent_path());
            if (resource != missing)
                std::filesystem::copy_file(resource, target);
        }
        const CertificateResult result = Make(program.path());
        EXPECT_FALSE(result.file);
        EXPECT_NE(result.error.find(missing.filename().string()), std::string::npos)
            << result.error;
    }
    EXPECT_TRUE(!std::filesystem::exists(Certs()) || std::filesystem::is_empty(Certs()));
    EXPECT_TRUE(viewed.empty());
}

} // namespace
} // namespace tarvik
