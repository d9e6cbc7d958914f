#include "selftest/certificate.h"

#include "common/maker_details.h"
#include "pdf/afm_metrics.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <sys/resource.h>

namespace tarvik {
namespace {

using test::ReadBytes;
using test::RunCommand;
using test::ShellQuoted;

constexpr double kPageHeight = 842; // A4 in points, as the page is written

std::string Fixed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// One text of the page as the certificate must draw it, in the page's own terms: points
// from the left margin (1 point) and down from the top edge.
struct PageText {
    std::string text;
    bool bold;
    int size;
    bool red;
    double x;
    double y;
};

std::vector<PageText> ExpectedTexts(const CertificateDetails& d, const std::string& sentence,
                                    double serialX) {
    using namespace maker;
    return {
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
        {sentence, false, 12, false, 100, 480},
        {d.model, false, 12, false, 124, 480},
        {d.serial, false, 12, false, serialX, 480},
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
}

const std::string kSentence = "The           Locator, Serial Number             , successfully "
                              "passed its self test on";
const std::string kNoLogSentence = "The                  Locator, Serial Number             , "
                                   "successfully passed its self test on";

// "text | font size | colour operator | x y", as the content stream states it.
std::string StreamRow(const std::string& text, const std::string& font, const std::string& size,
                      const std::string& colour, const std::string& at) {
    return text + " | " + font + " " + size + " | " + colour + " | " + at;
}

std::vector<std::string> ExpectedStreamRows(const std::vector<PageText>& texts) {
    std::vector<std::string> rows;
    for (const PageText& t : texts)
        rows.push_back(StreamRow(t.text, t.bold ? "Helvetica-Bold" : "Helvetica", Fixed(t.size),
                                 t.red ? "1.000 0.000 0.000 rg" : "0.000 0.000 0.000 rg",
                                 Fixed(t.x + 1) + " " + Fixed(kPageHeight - t.y)));
    return rows;
}

std::string Unescaped(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i)
        plain += text[i] == '\\' && i + 1 < text.size() ? text[++i] : text[i];
    return plain;
}

// What the page's content stream draws: every non-empty text as a stream row, every picture
// as "matrix name".
struct DrawnPage {
    std::vector<std::string> texts;
    std::vector<std::string> pictures;
};

DrawnPage ReadContentStream(const std::string& pdf) {
    std::map<std::string, std::string> fonts; // "F6" -> "Helvetica-Bold"
    const std::regex fontObject(R"(/Name /(F\d+)\r\n/BaseFont /([\w-]+))");
    for (std::sregex_iterator m(pdf.begin(), pdf.end(), fontObject), end; m != end; ++m)
        fonts[(*m)[1]] = (*m)[2];

    const std::size_t start = pdf.find("stream\r\n") + 8;
    std::istringstream lines(pdf.substr(start, pdf.find("endstream", start) - start));
    const std::regex picture(R"((.* cm) /(ImgJPEG\d+) Do Q)");
    DrawnPage page;
    std::string colour = "(none)", font, size, at, line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with("q ") && line.size() > 2)
            colour = line.substr(2, line.find_last_not_of(' ') - 1);
        else if (line == "Q")
            colour = "(none)";
        else if (line.ends_with(" Td"))
            at = line.substr(0, line.size() - 3);
        else if (line.starts_with("/F") && line.ends_with(" Tf")) {
            font = fonts[line.substr(1, line.find(' ') - 1)];
            size = line.substr(line.find(' ') + 1, line.size() - 3 - line.find(' ') - 1);
        } else if (line.starts_with("(") && line.ends_with(") Tj")) {
            const std::string text = Unescaped(line.substr(1, line.size() - 5));
            if (!text.empty()) // the logo's link writes an empty text
                page.texts.push_back(StreamRow(text, font, size, colour, at));
        } else if (std::regex_match(line, m, picture))
            page.pictures.push_back(m[1].str() + " " + m[2].str());
    }
    return page;
}

// A text as a PDF reader (pdftohtml) sees it.
struct ReaderText {
    std::string text;
    int top, left, size;
    std::string colour;
    bool bold;
};

struct ReaderPage {
    std::vector<ReaderText> texts;
    std::vector<std::string> pictures; // "left top width height"
    std::vector<std::filesystem::path> pictureFiles;
    std::string outline;
};

ReaderPage ReadAsReader(const std::filesystem::path& pdf, const std::filesystem::path& folder) {
    RunCommand("pdftohtml -q -xml -zoom 1 " + ShellQuoted(pdf) + " " +
               ShellQuoted(folder / "page"));
    const std::string xml = ReadBytes(folder / "page.xml");
    ReaderPage page;
    std::map<std::string, std::pair<int, std::string>> fonts;
    const std::regex fontspec(
        R"x(<fontspec id="(\d+)" size="(\d+)" family="[^"]*" color="([^"]*)")x");
    for (std::sregex_iterator m(xml.begin(), xml.end(), fontspec), end; m != end; ++m)
        fonts[(*m)[1]] = {std::stoi((*m)[2]), (*m)[3]};
    const std::regex text(
        R"x(<text top="(\d+)" left="(\d+)" width="\d+" height="\d+" font="(\d+)">(.*)</text>)x");
    for (std::sregex_iterator m(xml.begin(), xml.end(), text), end; m != end; ++m) {
        std::string content = (*m)[4];
        const bool bold = content.starts_with("<b>");
        if (bold)
            content = content.substr(3, content.size() - 7);
        const auto& [size, colour] = fonts[(*m)[3]];
        page.texts.push_back({content, std::stoi((*m)[1]), std::stoi((*m)[2]), size, colour, bold});
    }
    const std::regex image(
        R"x(<image top="(\d+)" left="(\d+)" width="(\d+)" height="(\d+)" src="([^"]*)")x");
    for (std::sregex_iterator m(xml.begin(), xml.end(), image), end; m != end; ++m) {
        page.pictures.push_back((*m)[2].str() + " " + (*m)[1].str() + " " + (*m)[3].str() + " " +
                                (*m)[4].str());
        page.pictureFiles.push_back((*m)[5].str());
    }
    const std::size_t outline = xml.find("<outline>");
    if (outline != std::string::npos)
        page.outline = xml.substr(outline, xml.find("</outline>") - outline);
    return page;
}

// Each expected text is where a reader finds it: a text starting at its place in its size,
// colour and weight (its top is the baseline less Helvetica's ascent, its left after any
// leading spaces, 0.278 em each), or taken by the reader
// into the text before it on the same line.
void ExpectReaderSees(const ReaderPage& page, const std::vector<PageText>& texts) {
    for (const PageText& t : texts) {
        const std::size_t spaces = t.text.find_first_not_of(' ');
        const std::string expected = t.text.substr(spaces);
        const double left = t.x + 1 + static_cast<double>(spaces) * 0.278 * t.size;
        const double top = t.y - 0.718 * t.size;
        const std::string colour = t.red ? "#ff0000" : "#000000";
        const ReaderText* found = nullptr;
        for (const ReaderText& r : page.texts) {
            const bool sameLine = std::abs(r.top - top) <= 1;
            if (sameLine &&
                (std::abs(r.left - left) <= 1 ? r.text.starts_with(expected)
                                              : r.left < left && r.text.find(expected) != 0 &&
                                                    r.text.find(expected) != std::string::npos))
                found = &r;
        }
        ASSERT_NE(found, nullptr) << "no text \"" << expected << "\" at " << left << ", top "
                                  << top;
        EXPECT_EQ(found->size, t.size) << expected;
        EXPECT_EQ(found->colour, colour) << expected;
        EXPECT_EQ(found->bold, t.bold) << expected;
    }
}

std::set<std::string> Listing(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

bool ReadOnly(const std::filesystem::path& file) {
    using std::filesystem::perms;
    return (std::filesystem::status(file).permissions() &
            (perms::owner_write | perms::group_write | perms::others_write)) == perms::none;
}

// Files of this process may not grow beyond `bytes` while it lives: every write past it fails
// (for root too).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*signal_)(int) = nullptr;
};

class CertificateTest : public ::testing::Test {
protected:
    CertificateResult Make(const CertificateDetails& details,
                           std::filesystem::path program = test::ProgramsFolder()) {
        PdfPrinterServices services;
        services.clock = &clock;
        services.openViewer = [this](const std::filesystem::path& f) { viewed.push_back(f); };
        return CreateValidationCertificate(details, folders, program, services);
    }
    std::filesystem::path Certs() const { return folders.CertsFolder(); }

    test::TempDir dir;
    Folders folders{dir / "Documents", dir / "AppData"};
    FixedClock clock{DateTime{2026, 12, 5, 10, 0, 5}};
    std::vector<std::filesystem::path> viewed;
    CertificateDetails details{"05/12/26", "09:12:30", "KVZ3", "  12345 ", "Site crew"};
    const std::string name =
        "12345 System Validation Cert [For 05-12-26 09-12-30][Created 05-12-26 10-00-05].pdf";
};

TEST_F(CertificateTest, EveryTextPictureLinkAndSettingOfThePageIsInTheFile) {
    const CertificateResult result = Make(details);
    ASSERT_TRUE(result.file) << result.error;
    const std::filesystem::path& file = *result.file;
    const std::string pdf = ReadBytes(file);
    EXPECT_EQ(RunCommand("qpdf --check " + ShellQuoted(file) + " > /dev/null 2>&1").exitCode, 0);
    const std::vector<PageText> texts = ExpectedTexts(details, kSentence, 285);

    // The content stream: texts in order with font, size, colour and place; the pictures.
    const DrawnPage drawn = ReadContentStream(pdf);
    EXPECT_EQ(drawn.texts, ExpectedStreamRows(texts));
    EXPECT_EQ(drawn.pictures,
              (std::vector<std::string>{"200.00 0 0 38.00 380.00 771.00 cm ImgJPEG1",
                                        "120.00 0 0 45.00 100.00 134.00 cm ImgJPEG2"}));
    const std::string logo = ReadBytes(test::ProgramsFolder() / "logo.jpg");
    const std::string signature = ReadBytes(test::ProgramsFolder() / "s.jpg");
    EXPECT_NE(pdf.find("/Length " + std::to_string(logo.size()) + "\r\n/Name /ImgJPEG1>>\r\n" +
                       "stream\r\n" + logo + "\r\nendstream"),
              std::string::npos);
    EXPECT_NE(pdf.find("/Length " + std::to_string(signature.size()) +
                       "\r\n/Name /ImgJPEG2>>\r\nstream\r\n" + signature + "\r\nendstream"),
              std::string::npos);

    // Two links: the web address (as wide as its text, whole points) and the logo.
    const auto helvetica =
        pdf::ReadAfmWidthsFile(test::ProgramsFolder() / "Fonts" / "Helvetica.afm");
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

    // The bookmark and the document settings.
    EXPECT_NE(pdf.find("/Title (Tarvik Locator System Validation Certificate)"), std::string::npos);
    EXPECT_NE(pdf.find("/CreationDate (D:20261205100005)"), std::string::npos);
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 595 842]"), std::string::npos);
    const std::smatch page = [&] {
        std::smatch m;
        std::regex_search(pdf, m, std::regex(R"((\d+) 0 obj\r\n<< /Type /Page\r\n)"));
        return m;
    }();
    ASSERT_FALSE(page.empty());
    const std::string pageRef = page[1].str() + " 0 R";
    EXPECT_NE(pdf.find("<</Title (System Validation Certificate)\r\n"), std::string::npos);
    EXPECT_NE(pdf.find("/Dest [" + pageRef + " /XYZ 0 802.00 null]"), std::string::npos);
    const std::string catalog = pdf.substr(pdf.find("/Type /Catalog"));
    EXPECT_NE(catalog.find("/OpenAction [" + pageRef + " /FitH null]"), std::string::npos);
    EXPECT_NE(catalog.find("/PageMode /UseOutlines"), std::string::npos);
    EXPECT_NE(catalog.find("/ViewerPreferences<<\r\n/HideMenubar true\r\n/HideToolbar true\r\n>>"),
              std::string::npos);
    EXPECT_EQ(catalog.find("/PageLayout"), std::string::npos);
    EXPECT_EQ(catalog.find("/UseThumbs"), std::string::npos);

    // The same as a PDF reader sees it.
    test::TempDir readerDir;
    const ReaderPage reader = ReadAsReader(file, readerDir.path());
    ExpectReaderSees(reader, texts);
    EXPECT_EQ(reader.pictures, (std::vector<std::string>{"380 33 200 38", "100 663 120 45"}));
    ASSERT_EQ(reader.pictureFiles.size(), 2u);
    EXPECT_EQ(ReadBytes(reader.pictureFiles[0]), logo);
    EXPECT_EQ(ReadBytes(reader.pictureFiles[1]), signature);
    EXPECT_NE(reader.outline.find(">System Validation Certificate</item>"), std::string::npos);
    const std::string urls = RunCommand("pdfinfo -url " + ShellQuoted(file)).output;
    EXPECT_NE(urls.find(maker::kWebAddress), std::string::npos) << urls;
    EXPECT_NE(urls.find(maker::kWebUrl), std::string::npos) << urls;
    const std::string info = RunCommand("pdfinfo " + ShellQuoted(file)).output;
    EXPECT_NE(info.find("Tarvik Locator System Validation Certificate"), std::string::npos);
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos);
    EXPECT_NE(info.find("Page size:       595 x 842 pts (A4)"), std::string::npos) << info;
}

TEST_F(CertificateTest, ANoLogModelWithItsTrailingSpaceGetsTheWiderSentence) {
    details.model = "NVZ3nd ";
    const CertificateResult wide = Make(details);
    ASSERT_TRUE(wide.file);
    EXPECT_EQ(ReadContentStream(ReadBytes(*wide.file)).texts,
              ExpectedStreamRows(ExpectedTexts(details, kNoLogSentence, 307)));

    details.model = "NVZ3ND"; // no trailing space: the ordinary sentence
    const CertificateResult narrow = Make(details);
    ASSERT_TRUE(narrow.file);
    EXPECT_EQ(ReadContentStream(ReadBytes(*narrow.file)).texts,
              ExpectedStreamRows(ExpectedTexts(details, kSentence, 285)));
}

TEST_F(CertificateTest, CertificatesOfOneSecondAreAllKeptUnderNumberedNames) {
    const CertificateResult first = Make(details);
    ASSERT_TRUE(first.file) << first.error;
    EXPECT_EQ(*first.file, Certs() / name); // serial trimmed in the name only
    const std::string firstBytes = ReadBytes(*first.file);
    const CertificateResult second = Make(details);
    const CertificateResult third = Make(details);
    ASSERT_TRUE(second.file) << second.error;
    ASSERT_TRUE(third.file) << third.error;
    const std::string stem = name.substr(0, name.size() - 4);
    EXPECT_EQ(*second.file, Certs() / (stem + " (2).pdf"));
    EXPECT_EQ(*third.file, Certs() / (stem + " (3).pdf"));
    EXPECT_EQ(ReadBytes(*first.file), firstBytes);
    EXPECT_EQ(Listing(Certs()),
              (std::set<std::string>{name, stem + " (2).pdf", stem + " (3).pdf"}));
    for (const auto& file : {*first.file, *second.file, *third.file})
        EXPECT_TRUE(ReadOnly(file)) << file;
    EXPECT_EQ(viewed, (std::vector<std::filesystem::path>{*first.file, *second.file, *third.file}));

    clock.Set({2026, 12, 5, 10, 0, 6});
    const CertificateResult later = Make(details);
    ASSERT_TRUE(later.file);
    EXPECT_EQ(later.file->filename().string(), "12345 System Validation Cert [For 05-12-26 "
                                               "09-12-30][Created 05-12-26 10-00-06].pdf");
}

TEST_F(CertificateTest, AFolderAtTheNameIsKeptAndTheCertificateTakesTheNextName) {
    std::filesystem::create_directories(Certs() / name);
    test::WriteBytes(Certs() / name / "inside", "kept");
    const CertificateResult result = Make(details);
    ASSERT_TRUE(result.file) << result.error;
    EXPECT_EQ(result.file->filename().string(), name.substr(0, name.size() - 4) + " (2).pdf");
    EXPECT_EQ(ReadBytes(Certs() / name / "inside"), "kept");
}

TEST_F(CertificateTest, AFailedWriteLeavesEverythingAsItWasAndSaysSo) {
    const CertificateResult stored = Make(details);
    ASSERT_TRUE(stored.file);
    const std::string storedBytes = ReadBytes(*stored.file);
    viewed.clear();
    auto expectOnlyTheStoredCertificate = [&](const CertificateResult& failed) {
        EXPECT_FALSE(failed.file);
        EXPECT_NE(failed.error.find("could not be"), std::string::npos) << failed.error;
        EXPECT_EQ(ReadBytes(*stored.file), storedBytes);
        EXPECT_TRUE(viewed.empty());
    };

    {
        // Every write beyond the first few kilobytes fails.
        FileSizeLimit limit(4096);
        const CertificateResult failed = Make(details);
        expectOnlyTheStoredCertificate(failed);
        EXPECT_NE(failed.error.find("could not be written"), std::string::npos) << failed.error;
    }
    EXPECT_EQ(Listing(Certs()), std::set<std::string>{name});

    // Something else at the name the certificate is written under.
    const std::string temporary = CertificateTemporaryFileName(name);
    std::filesystem::create_directory(Certs() / temporary);
    expectOnlyTheStoredCertificate(Make(details));
    EXPECT_EQ(Listing(Certs()), (std::set<std::string>{name, temporary}));
}

TEST_F(CertificateTest, AFileWhereTheCertsFolderBelongsIsNamedAndKept) {
    std::filesystem::create_directories(Certs().parent_path());
    test::WriteBytes(Certs(), "not a folder");
    const CertificateResult result = Make(details);
    EXPECT_FALSE(result.file);
    EXPECT_NE(result.error.find(Certs().string()), std::string::npos) << result.error;
    EXPECT_EQ(ReadBytes(Certs()), "not a folder");
    EXPECT_TRUE(viewed.empty());
}

TEST_F(CertificateTest, AMissingPictureOrFontIsNamedAndNothingIsLeftBehind) {
    for (const auto& missing : CertificateResources(test::ProgramsFolder())) {
        test::TempDir program;
        for (const auto& resource : CertificateResources(test::ProgramsFolder())) {
            const auto target =
                program.path() / std::filesystem::relative(resource, test::ProgramsFolder());
            std::filesystem::create_directories(target.parent_path());
            if (resource != missing)
                std::filesystem::copy_file(resource, target);
        }
        const CertificateResult result = Make(details, program.path());
        EXPECT_FALSE(result.file);
        EXPECT_NE(result.error.find(missing.filename().string()), std::string::npos)
            << result.error;
    }
    EXPECT_TRUE(!std::filesystem::exists(Certs()) || std::filesystem::is_empty(Certs()));
    EXPECT_TRUE(viewed.empty());
}

} // namespace
} // namespace tarvik
