#include "common/store_without_replacing.h"
#include "selftest/certificate.h"

#include "pdf/pdf_test_support.h"
#include "selftest/file_size_limit.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <regex>

namespace tarvik {
namespace {

using namespace test;

// The page's content as "x y font size r g b (text)" per text and "matrix picture" per picture,
// in PDF terms: x past the 1-point margin, y up from the bottom of the 842-point page.
std::string DrawnPage(const std::string& pdf) {
    const std::string content = Bars(PageContent(pdf));
    const auto only = [&content](const char* drawn, const char* row) {
        return std::regex_replace(content, std::regex(drawn), row,
                                  std::regex_constants::format_no_copy);
    };
    return only(R"(q ([\d. ]+) rg \|%DEBUT_TEXT/%\|BT\|([\d. ]+) Td\|/(F\d+) ([\d.]+) Tf\|)"
                R"((\((?:[^\\)]|\\.)+\)) Tj)",
                "$2 $3 $4 $1 $5\n") +
           only(R"(\|([^|]* cm /ImgJPEG\d) Do Q)", "$1\n");
}

class CertificateTest : public ::testing::Test {
protected:
    CertificateResult Make(std::filesystem::path program = ProgramsFolder()) {
        PdfPrinterServices services;
        services.clock = &clock;
        services.openViewer = [this](const std::filesystem::path& f) { viewed.push_back(f); };
        return CreateValidationCertificate(details, folders, program, services);
    }

    TempDir dir;
    Folders folders{dir / "Documents", dir / "AppData"};
    std::filesystem::path certs = folders.CertsFolder();
    FixedClock clock{DateTime{2026, 12, 5, 10, 0, 5}};
    std::vector<std::filesystem::path> viewed;
    CertificateDetails details{"05/12/26", "09:12:30", "KVZ3", "  12345 ", "Site crew"};
};

TEST_F(CertificateTest, EveryTextPictureLinkAndSettingOfThePageIsInTheFile) {
    const std::filesystem::path file = Make().file.value_or("");
    const std::string pdf = ReadBytes(file);
    EXPECT_TRUE(QpdfClean(file));
    // A reader takes the pieces of the sentence as one line, in order, none run into another.
    EXPECT_NE(std::regex_replace(PdfToText(file), std::regex("\\s+"), " ")
                  .find(" The KVZ3 Locator, Serial Number 12345, successfully passed its self test "
                        "on 05/12/26 at 09:12:30 "),
              std::string::npos);
    // "  12345 " ends past the serial number's gap, so the sentence (at 362) is in pieces.
    EXPECT_EQ(DrawnPage(pdf), R"(16.00 802.00 F6 10.00 0.000 0.000 0.000 (Tarvik International Ltd)
16.00 792.00 F5 10.00 0.000 0.000 0.000 (Unit 4, Heronsgate Trading Estate)
16.00 782.00 F5 10.00 0.000 0.000 0.000 (Quarry Lane)
16.00 772.00 F5 10.00 0.000 0.000 0.000 (Brackenfield)
16.00 762.00 F5 10.00 0.000 0.000 0.000 (BF12 3TV, United Kingdom)
231.00 802.00 F6 10.00 1.000 0.000 0.000 (Tel.)
231.00 792.00 F6 10.00 1.000 0.000 0.000 (Fax)
231.00 782.00 F6 10.00 1.000 0.000 0.000 (email)
231.00 772.00 F6 10.00 1.000 0.000 0.000 (web)
261.00 802.00 F5 10.00 0.000 0.000 0.000 (+44 \(0\)1632 960 410)
261.00 792.00 F5 10.00 0.000 0.000 0.000 (+44 \(0\)1632 960 411)
261.00 782.00 F5 10.00 0.000 0.000 0.000 (support@tarvik.example)
261.00 772.00 F5 10.00 0.000 0.000 0.000 (www.tarvik.example)
161.00 642.00 F6 20.00 0.000 0.000 0.000 (System Validation Certificate)
101.00 542.00 F6 12.00 0.000 0.000 0.000 (Model Number:)
201.00 542.00 F5 12.00 0.000 0.000 0.000 (KVZ3)
101.00 502.00 F6 12.00 0.000 0.000 0.000 (Serial Number:)
201.00 502.00 F5 12.00 0.000 0.000 0.000 (  12345 )
101.00 462.00 F6 12.00 0.000 0.000 0.000 (User Name:)
201.00 462.00 F5 12.00 0.000 0.000 0.000 (Site crew)
101.00 362.00 F5 12.00 0.000 0.000 0.000 (The)
125.00 362.00 F5 12.00 0.000 0.000 0.000 (KVZ3)
158.37 362.00 F5 12.00 0.000 0.000 0.000 (Locator, Serial Number)
286.00 362.00 F5 12.00 0.000 0.000 0.000 (  12345 )
326.03 362.00 F5 12.00 0.000 0.000 0.000 (, successfully passed its self test on)
101.00 342.00 F5 12.00 0.000 0.000 0.000 (05/12/26)
151.00 342.00 F5 12.00 0.000 0.000 0.000 ( at )
169.00 342.00 F5 12.00 0.000 0.000 0.000 (09:12:30)
101.00 302.00 F5 12.00 0.000 0.000 0.000 (Tarvik International Ltd certifies that this locator meets the performance)
101.00 282.00 F5 12.00 0.000 0.000 0.000 (requirements of test specification A4/318/2706 - VZ3 Range Self Test Specification.)
101.00 202.00 F5 12.00 0.000 0.000 0.000 (On behalf of Tarvik International Ltd)
101.00 122.00 F5 12.00 0.000 0.000 0.000 (Tarvik Customer Services Manager )
200.00 0 0 38.00 380.00 771.00 cm /ImgJPEG1
120.00 0 0 45.00 100.00 134.00 cm /ImgJPEG2
)");
    for (const auto& [picture, jpeg] :
         {std::pair{"/Name /ImgJPEG1", "logo.jpg"}, {"/Name /ImgJPEG2", "s.jpg"}}) {
        const std::string bytes = ReadBytes(ProgramsFolder() / jpeg);
        EXPECT_NE(pdf.find("/Length " + std::to_string(bytes.size()) + "\r\n" + picture +
                           ">>\r\nstream\r\n" + bytes + "\r\nendstream"),
                  std::string::npos)
            << jpeg;
    }
    // Two links (the web address's as wide as its text, in whole points); F5 regular, F6 bold.
    // The page is object 22: after its 2 objects, 14 fonts, the pages tree, resources, pictures.
    const std::string all = Bars(pdf);
    EXPECT_EQ(CountOf(all, "/Subtype /Link"), 2u);
    for (const char* part :
         {"/Rect [260 772 348 762] /Border [0 0 0] /A <</S /URI /URI (www.tarvik.example)>>",
          "/Rect [380 809 580 771] /Border [0 0 0] /A <</S /URI /URI "
          "(https://www.tarvik.example/)>>",
          "/Title (Tarvik Locator System Validation Certificate)|",
          "/CreationDate (D:20261205100005)|", "/MediaBox [ 0 0 595 842]|",
          "<</Title (System Validation Certificate)|", "/Name /F5|/BaseFont /Helvetica|",
          "/Name /F6|/BaseFont /Helvetica-Bold|", "/Dest [22 0 R /XYZ 0 802.00 null]",
          "/Type /Catalog|/Pages 18 0 R|/OpenAction [22 0 R /FitH null]|/Outlines 24 0 R|"
          "/PageMode /UseOutlines|/ViewerPreferences<<|/HideMenubar true|/HideToolbar true|>>|>>"})
        EXPECT_NE(all.find(part), std::string::npos) << part;
}

// The model and serial number go into gaps of the sentence, wider for a model without a log
// (ending in "ND "). One too wide for its gap pushes the rest along, a space after it.
TEST_F(CertificateTest, TheModelAndSerialNumberFitTheSentence) {
    const struct {
        const char *model, *serial, *line;
    } cases[] = {
        {"NVZ3nd ", "12345",
         "101.00 (The                  Locator, Serial Number             , successfully passed "
         "its self test on) 125.00 (NVZ3nd ) 308.00 (12345) "},
        {"KVZ3", "12345",
         "101.00 (The           Locator, Serial Number             , successfully passed its self "
         "test on) 125.00 (KVZ3) 286.00 (12345) "},
        {"NVZ3nd ", "88888888",
         "101.00 (The) 125.00 (NVZ3nd ) 181.72 (Locator, Serial Number) 308.43 (88888888) 361.81 "
         "(, successfully passed its self test on) "},
        {"NVZ3ND", "12345",
         "101.00 (The) 125.00 (NVZ3ND) 176.34 (Locator, Serial Number) 303.04 (12345) 336.40 (, "
         "successfully passed its self test on) "},
    };
    for (const auto& c : cases) {
        details.model = c.model;
        details.serial = c.serial;
        EXPECT_EQ(
            std::regex_replace(DrawnPage(ReadBytes(Make().file.value_or(""))),
                               std::regex(R"((\S+) 362.00 F5 12.00 0.000 0.000 0.000 (\(.*\))\n)"),
                               "$1 $2 ", std::regex_constants::format_no_copy),
            c.line);
    }
}

TEST_F(CertificateTest, AStoredCertificateIsNeverReplacedAndAFailureLeavesNothingOfItsOwn) {
    for (const auto& missing : CertificateResources(ProgramsFolder())) {
        TempDir program;
        for (const auto& resource : CertificateResources(ProgramsFolder())) {
            const auto copy = program / std::filesystem::relative(resource, ProgramsFolder());
            std::filesystem::create_directories(copy.parent_path());
            if (resource != missing)
                std::filesystem::copy_file(resource, copy);
        }
        EXPECT_NE(Make(program.path()).error.find(missing.filename().string()), std::string::npos);
    }
    std::filesystem::create_directories(certs.parent_path());
    WriteBytes(certs, "not a folder");
    EXPECT_NE(Make().error.find(certs.string()), std::string::npos);
    EXPECT_EQ(ReadBytes(certs), "not a folder");
    std::filesystem::remove(certs);

    // Three of one second, with a folder at the second one's name.
    const std::string stem =
        "12345 System Validation Cert [For 05-12-26 09-12-30][Created 05-12-26 10-00-05]";
    std::filesystem::create_directories(certs / (stem + " (2).pdf"));
    WriteBytes(certs / (stem + " (2).pdf") / "inside", "kept");
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < 3; ++i)
        files.push_back(Make().file.value_or(""));
    EXPECT_EQ(files, (std::vector<std::filesystem::path>{certs / (stem + ".pdf"),
                                                         certs / (stem + " (3).pdf"),
                                                         certs / (stem + " (4).pdf")}));
    EXPECT_EQ(viewed, files);
    for (const auto& file : files)
        EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                      std::filesystem::perms::others_read);

    // A full disk (for root too) stores nothing; a file left at the name the certificate is
    // written under is neither touched nor in the way.
    viewed.clear();
    const CertificateResult tooBig = UnderFileSizeLimit(4096, [this] { return Make(); });
    EXPECT_NE(tooBig.error.find("could not be written"), std::string::npos) << tooBig.error;
    EXPECT_FALSE(tooBig.file);
    const std::string temporary = TemporaryFileName(stem + ".pdf");
    WriteBytes(certs / temporary, "someone else's");
    EXPECT_EQ(Make().file, certs / (stem + " (5).pdf"));
    EXPECT_EQ(viewed, std::vector{certs / (stem + " (5).pdf")});
    EXPECT_EQ(FolderEntries(certs),
              (std::set<std::string>{stem + ".pdf", stem + " (2).pdf", stem + " (3).pdf",
                                     stem + " (4).pdf", stem + " (5).pdf", temporary}));
    EXPECT_EQ(ReadBytes(certs / (stem + " (2).pdf") / "inside") + ReadBytes(certs / temporary),
              "kept" + std::string("someone else's"));
}

// Both ways of storing: the rename, and the copy where the file system cannot rename so.
TEST(StoreWithoutReplacing, EitherWayMovesOntoAFreeNameOnly) {
    for (const auto store : {&MoveWithoutReplacing, &CopyWithoutReplacing}) {
        TempDir dir;
        std::error_code error;
        WriteBytes(dir / "new", "new document");
        WriteBytes(dir / "kept", "stored document");
        EXPECT_EQ(store(dir / "new", dir / "kept", error), MoveOutcome::Taken);
        EXPECT_EQ(ReadBytes(dir / "kept"), "stored document");

        EXPECT_EQ(store(dir / "new", dir / "stored", error), MoveOutcome::Moved);
        EXPECT_EQ(ReadBytes(dir / "stored"), "new document");
        EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"kept", "stored"}));

        EXPECT_EQ(store(dir / "stored", dir / "missing" / "stored", error), MoveOutcome::Failed);
        EXPECT_EQ(ReadBytes(dir / "stored"), "new document");
    }
}

} // namespace
} // namespace tarvik
