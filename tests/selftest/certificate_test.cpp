#include "selftest/certificate.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tarvik {
namespace {

// True when the content stream places `text` with "x y Td" (the text follows its font line).
bool TextAt(const std::string& pdf, const std::string& xy, const std::string& text) {
    for (std::size_t at = pdf.find(xy + " Td\r\n"); at != std::string::npos;
         at = pdf.find(xy + " Td\r\n", at + 1)) {
        const std::size_t open = pdf.find('(', at);
        const std::size_t close = pdf.find(") Tj", open);
        if (open != std::string::npos && close != std::string::npos &&
            pdf.compare(open + 1, close - open - 1, text) == 0)
            return true;
    }
    return false;
}

class CertificateTest : public ::testing::Test {
protected:
    CertificateResult Make(const CertificateDetails& details,
                           std::filesystem::path program = test::ProgramsFolder()) {
        PdfPrinterServices services;
        services.clock = &clock;
        services.openViewer = [this](const std::filesystem::path& f) { viewed.push_back(f); };
        return CreateValidationCertificate(details, folders, program, services);
    }

    test::TempDir dir;
    Folders folders{dir / "Documents", dir / "AppData"};
    FixedClock clock{DateTime{2026, 12, 5, 10, 0, 5}};
    std::vector<std::filesystem::path> viewed;
    CertificateDetails details{"05/12/26", "09:12:30", "KVZ3", "  12345 ", "Site crew"};
};

TEST_F(CertificateTest, NamedByPassAndCreationAndWrittenReadOnlyIntoTheCertsFolder) {
    const CertificateResult first = Make(details);
    ASSERT_TRUE(first.file) << first.error;
    EXPECT_EQ(*first.file, folders.CertsFolder() / "12345 System Validation Cert [For 05-12-26 "
                                                   "09-12-30][Created 05-12-26 10-00-05].pdf");
    EXPECT_EQ(viewed, std::vector<std::filesystem::path>{*first.file});
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(*first.file).permissions() & perms::owner_write, perms::none);

    clock.Set({2026, 12, 5, 10, 0, 6});
    const CertificateResult second = Make(details);
    ASSERT_TRUE(second.file);
    EXPECT_NE(*second.file, *first.file);
}

TEST_F(CertificateTest, TheDocumentIsValidAndHoldsEveryTextWhereItBelongs) {
    const CertificateResult result = Make(details);
    ASSERT_TRUE(result.file);
    const std::string path = "'" + result.file->string() + "'";
    EXPECT_EQ(test::RunCommand("qpdf --check " + path + " > /dev/null 2>&1").exitCode, 0);

    const std::string text = test::RunCommand("pdftotext -layout " + path + " -").output;
    for (const char* expected :
         {"Tarvik International Ltd", "System Validation Certificate",
          "Model Number:", "Serial Number:", "User Name:", "Site crew", "05/12/26", "09:12:30",
          "requirements of test specification A4/318/2706 - VZ3 Range Self Test Specification.",
          "Tarvik Customer Services Manager", "www.tarvik.example"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;

    // Positions: x plus the 1-point margin, y as the baseline from the bottom of A4.
    const std::string bytes = test::ReadBytes(*result.file);
    EXPECT_TRUE(TextAt(bytes, "16.00 802.00", "Tarvik International Ltd"));
    EXPECT_TRUE(TextAt(bytes, "161.00 642.00", "System Validation Certificate"));
    EXPECT_TRUE(TextAt(bytes, "201.00 502.00", "  12345 ")); // untrimmed on the page
    EXPECT_TRUE(TextAt(bytes, "286.00 362.00", "  12345 "));
    EXPECT_TRUE(TextAt(bytes, "101.00 362.00",
                       "The           Locator, Serial Number             , successfully passed "
                       "its self test on"));
    EXPECT_TRUE(TextAt(bytes, "169.00 342.00", "09:12:30"));
    EXPECT_TRUE(TextAt(bytes, "101.00 122.00", "Tarvik Customer Services Manager "));

    // As a reader sees it: each word's box starts at x + 1 and holds the baseline y.
    const std::string boxes = test::RunCommand("pdftotext -bbox " + path + " -").output;
    auto box = [&](const std::string& word, double x, double baseline) {
        const std::size_t at = boxes.find(">" + word + "</word>");
        ASSERT_NE(at, std::string::npos) << word;
        const std::size_t line = boxes.rfind("<word", at);
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
        ASSERT_EQ(std::sscanf(boxes.c_str() + line,
                              "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &xMin,
                              &yMin, &xMax, &yMax),
                  4);
        EXPECT_NEAR(xMin, x + 1, 0.5) << word;
        EXPECT_LT(yMin, baseline) << word;
        EXPECT_GT(yMax, baseline) << word;
    };
    box("Model", 100, 300);
    box("User", 100, 380);
    box("Tel.", 230, 40);
    box("Customer", 100 + 36, 720); // after "Tarvik ": 3000 / 1000 x 12 points of Helvetica

    const std::string info = test::RunCommand("pdfinfo " + path).output;
    EXPECT_NE(info.find("Tarvik Locator System Validation Certificate"), std::string::npos);
    const std::string images = test::RunCommand("pdfimages -list " + path).output;
    EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 4) << images; // 2 header lines
    const std::string json = test::RunCommand("qpdf --json " + path).output;
    EXPECT_NE(json.find("https://www.tarvik.example/"), std::string::npos);
    EXPECT_NE(json.find("System Validation Certificate"), std::string::npos); // the bookmark
}

TEST_F(CertificateTest, ANoLogModelWithItsTrailingSpaceGetsTheWiderSentence) {
    details.model = "NVZ3nd ";
    const CertificateResult wide = Make(details);
    ASSERT_TRUE(wide.file);
    const std::string bytes = test::ReadBytes(*wide.file);
    EXPECT_TRUE(TextAt(bytes, "101.00 362.00",
                       "The                  Locator, Serial Number             , successfully "
                       "passed its self test on"));
    EXPECT_TRUE(TextAt(bytes, "308.00 362.00", "  12345 "));

    details.model = "NVZ3ND"; // no trailing space: the ordinary sentence
    clock.Set({2026, 12, 5, 10, 0, 9});
    const std::string narrow = test::ReadBytes(*Make(details).file);
    EXPECT_TRUE(TextAt(narrow, "286.00 362.00", "  12345 "));
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
    EXPECT_TRUE(!std::filesystem::exists(folders.CertsFolder()) ||
                std::filesystem::is_empty(folders.CertsFolder()));
    EXPECT_TRUE(viewed.empty());
}

} // namespace
} // namespace tarvik
