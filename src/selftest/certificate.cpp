#include "selftest/certificate.h"

#include "common/maker_details.h"
#include "common/store_without_replacing.h"
#include "common/text.h"
#include "datafile/file_label.h"
#include "pdf/pdf_codes.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace tarvik {

namespace {

using pdf::kArial;
using pdf::kBold;
using pdf::kRegular;
constexpr long kBlack = 0;
constexpr long kRed = 255;

std::string Replaced(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

bool EndsWithNoLogMarker(const std::string& model) {
    return model.size() >= 3 && (model.ends_with("ND ") || model.ends_with("nd "));
}

bool Readable(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return in && in.peek() != std::ifstream::traits_type::eof();
}

std::string WithoutTrailingSpaces(const std::string& text) {
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

// "The <model> Locator, Serial Number <serial>, successfully passed its self test on": one
// text with gaps where the model and the serial number go. A model or serial number wider
// than its gap (both fields hold eight characters, the serial's gap five digits) would run
// into the words after it, so then the sentence is written in pieces, each after the last.
void WriteSentence(PDFPrinter& pdf, const CertificateDetails& d) {
    const bool noLog = EndsWithNoLogMarker(d.model);
    const std::string lead = "The" + std::string(noLog ? 18 : 11, ' ');
    const std::string middle = "Locator, Serial Number";
    const std::string gap(13, ' ');
    const std::string tail = ", successfully passed its self test on";
    const double serialX = noLog ? 307 : 285;
    const auto width = [&pdf](const std::string& text) {
        return pdf.PDFGetStringWidth(text, "", 12);
    };
    const double middleX = 100 + width(lead);
    const double tailX = middleX + width(middle + gap);
    const double modelEnd = 124 + width(WithoutTrailingSpaces(d.model));
    if (modelEnd <= middleX && serialX + width(WithoutTrailingSpaces(d.serial)) <= tailX) {
        pdf.PDFTextOut(lead + middle + gap + tail, 100, 480);
        pdf.PDFTextOut(d.model, 124, 480);
        pdf.PDFTextOut(d.serial, serialX, 480);
        return;
    }
    const double space = width(" ");
    const double middleAt = std::max(middleX, modelEnd + space);
    const double serialAt = std::max(serialX, middleAt + width(middle) + space);
    pdf.PDFTextOut("The", 100, 480);
    pdf.PDFTextOut(d.model, 124, 480);
    pdf.PDFTextOut(middle, middleAt, 480);
    pdf.PDFTextOut(d.serial, serialAt, 480);
    pdf.PDFTextOut(tail, std::max(tailX, serialAt + width(WithoutTrailingSpaces(d.serial))), 480);
}

// The page, in the order the certificate issues it.
void WritePage(PDFPrinter& pdf, const CertificateDetails& d,
               const std::filesystem::path& programFolder) {
    pdf.PDFSetFont(kArial, 10, kBold);
    pdf.PDFSetTextColor(kBlack);
    pdf.PDFTextOut(maker::kCompanyName, 15, 40);
    pdf.PDFSetFont(kArial, 10, kRegular);
    for (int i = 0; i < 4; ++i)
        pdf.PDFTextOut(maker::kAddressLines[i], 15, 50 + 10 * i);
    pdf.PDFSetFont(kArial, 10, kBold);
    pdf.PDFSetTextColor(kRed);
    pdf.PDFTextOut("Tel.", 230, 40);
    pdf.PDFTextOut("Fax", 230, 50);
    pdf.PDFTextOut("email", 230, 60);
    pdf.PDFTextOut("web", 230, 70);
    pdf.PDFSetFont(kArial, 10, kRegular);
    pdf.PDFSetTextColor(kBlack);
    pdf.PDFTextOut(maker::kTelephone, 260, 40);
    pdf.PDFTextOut(maker::kFax, 260, 50);
    pdf.PDFTextOut(maker::kEmail, 260, 60);
    pdf.PDFLink(260, 70, maker::kWebAddress, "");
    pdf.PDFImage((programFolder / "logo.jpg").string(), 380, 33, 200, 38,
                 std::string(maker::kWebUrl));
    pdf.PDFSetFont(kArial, 20, kBold);
    pdf.PDFSetTextColor(kBlack);
    pdf.PDFTextOut("System Validation Certificate", 160, 200);

    pdf.PDFSetFont(kArial, 12, kBold);
    pdf.PDFSetTextColor(kBlack);
    pdf.PDFTextOut("Model Number:", 100, 300);
    pdf.PDFSetFont(kArial, 12, kRegular);
    pdf.PDFTextOut(d.model, 200, 300);
    pdf.PDFSetFont(kArial, 12, kBold);
    pdf.PDFTextOut("Serial Number:", 100, 340);
    pdf.PDFSetFont(kArial, 12, kRegular);
    pdf.PDFTextOut(d.serial, 200, 340);
    pdf.PDFSetFont(kArial, 12, kBold);
    pdf.PDFTextOut("User Name:", 100, 380);
    pdf.PDFSetFont(kArial, 12, kRegular);
    pdf.PDFTextOut(d.user, 200, 380);

    // The rest keeps the regular 12-point black of the user text.
    WriteSentence(pdf, d);
    pdf.PDFTextOut(d.passDate, 100, 500);
    pdf.PDFTextOut(" at ", 150, 500);
    pdf.PDFTextOut(d.passTime, 168, 500);
    pdf.PDFTextOut("Tarvik International Ltd certifies that this locator meets the performance",
                   100, 540);
    pdf.PDFTextOut("requirements of test specification A4/318/2706 - VZ3 Range Self Test "
                   "Specification.",
                   100, 560);
    pdf.PDFTextOut("On behalf of Tarvik International Ltd", 100, 640);
    pdf.PDFImage((programFolder / "s.jpg").string(), 100, 663, 120, 45, std::string());
    pdf.PDFTextOut("Tarvik Customer Services Manager ", 100, 720);
}

// The document settings and the page; true when the writer wrote the whole file.
bool WriteDocument(const std::filesystem::path& file, const CertificateDetails& details,
                   const std::filesystem::path& programFolder, PdfPrinterServices services) {
    PDFPrinter pdf(std::move(services));
    pdf.PDFTitle("Tarvik Locator System Validation Certificate");
    pdf.PDFFileName(file.string());
    pdf.PDFLoadAfm((programFolder / "Fonts").string());
    pdf.PDFConfirm(false);
    pdf.PDFView(true);
    pdf.PDFSetViewerPreferences(21);
    pdf.PDFFormatPage(0L);
    pdf.PDFOrientation(1);
    pdf.PDFSetUnit(0);
    pdf.PDFSetZoomMode(1);
    pdf.PDFSetLayoutMode(3);
    pdf.PDFUseOutlines(true);
    pdf.PDFUseThumbs(false);
    pdf.PDFBeginDoc();
    pdf.PDFSetBookmark("System Validation Certificate", 0, 40);
    WritePage(pdf, details, programFolder);
    return pdf.PDFEndDoc();
}

} // namespace

std::string CertificateFileName(const CertificateDetails& details, const DateTime& created) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d-%02d-%02d %02d-%02d-%02d", created.day, created.month,
                  created.year % 100, created.hour, created.minute, created.second);
    return SafeFileName(Trim(details.serial)) + " System Validation Cert [For " +
           Replaced(details.passDate, '/', '-') + " " + Replaced(details.passTime, ':', '-') +
           "][Created " + stamp + "].pdf";
}

std::vector<std::filesystem::path>
CertificateResources(const std::filesystem::path& programFolder) {
    return {programFolder / "Fonts" / "Helvetica.afm",
            programFolder / "Fonts" / "Helvetica-Bold.afm", programFolder / "logo.jpg",
            programFolder / "s.jpg"};
}

CertificateResult CreateValidationCertificate(const CertificateDetails& details,
                                              const Folders& folders,
                                              const std::filesystem::path& programFolder,
                                              PdfPrinterServices services) {
    CertificateResult result;
    // Without these the writer would carry on and leave an incomplete certificate.
    for (const auto& resource : CertificateResources(programFolder)) {
        if (!Readable(resource)) {
            result.error = "The certificate cannot be made: " + resource.string() +
                           " is missing or unreadable.";
            return result;
        }
    }
    const std::filesystem::path certs = folders.CertsFolder();
    std::error_code ec;
    std::filesystem::create_directories(certs, ec);
    if (!std::filesystem::is_directory(certs)) {
        result.error = "The certificates folder " + certs.string() + " could not be created" +
                       (ec ? ": " + ec.message() : std::string()) + ".";
        return result;
    }
    SystemClock systemClock;
    const Clock& clock = services.clock ? *services.clock : systemClock;
    const std::string fileName = CertificateFileName(details, clock.Now());
    const std::string wanted = (certs / fileName).string();

    // Written under a name of its own and stored only when complete, so neither a failed
    // write nor a second certificate of the same second can touch a stored certificate.
    std::filesystem::path temporary;
    std::FILE* created = OpenNewTemporaryFile(certs, fileName, temporary, ec);
    if (!created) {
        result.error = "The certificate " + wanted +
                       " could not be written: " + temporary.string() + ": " + ec.message() + ".";
        return result;
    }
    std::fclose(created);
    // The writer asks for the viewer on the file it wrote; the viewer gets the stored one.
    PdfViewerOpener viewer = std::move(services.openViewer);
    bool viewerAsked = false;
    if (viewer)
        services.openViewer = [&viewerAsked](const std::filesystem::path&) { viewerAsked = true; };
    if (!WriteDocument(temporary, details, programFolder, services)) {
        std::filesystem::remove(temporary, ec);
        result.error = "The certificate " + wanted + " could not be written.";
        return result;
    }
    std::string moveError;
    const auto stored = MoveToFreeName(temporary, certs, fileName, moveError);
    if (!stored) {
        std::filesystem::remove(temporary, ec);
        result.error = "The certificate " + wanted + " could not be stored: " + moveError + ".";
        return result;
    }
    using std::filesystem::perms;
    std::filesystem::permissions(*stored,
                                 perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove, ec);
    if (viewerAsked)
        viewer(*stored);
    result.file = stored;
    return result;
}

} // namespace tarvik
