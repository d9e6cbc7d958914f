#pragma once

#include "common/clock.h"
#include "common/folders.h"
#include "pdf/pdf_printer.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tarvik {

// What a certificate states: the pass found and the locator as the main window shows it.
struct CertificateDetails {
    std::string passDate; // "dd/mm/yy"
    std::string passTime; // "hh:mm:ss"
    std::string model;
    std::string serial;
    std::string user;
};

// "<serial> System Validation Cert [For dd-mm-yy hh-mm-ss][Created dd-mm-yy hh-mm-ss].pdf":
// the serial number trimmed and made safe as a file name, the pass and the creation time.
std::string CertificateFileName(const CertificateDetails& details, const DateTime& created);

// The files a certificate is made from, beside the program: the font metrics of the two
// fonts it uses, the logo and the signature.
std::vector<std::filesystem::path> CertificateResources(const std::filesystem::path& programFolder);

struct CertificateResult {
    std::optional<std::filesystem::path> file; // the stored, read-only certificate
    std::string error;                         // why there is none
};

// Writes the System Validation Certificate into the certificates folder (created when
// missing), makes it read-only and, with `services.openViewer`, shows it. A certificate
// already stored is never replaced or removed: a name taken (two certificates of the same
// second) gives the new one the next free name, "... (2).pdf" and on. Nothing is written
// when a resource is missing, and a document the writer could not finish leaves nothing
// behind: `error` says why.
CertificateResult CreateValidationCertificate(const CertificateDetails& details,
                                              const Folders& folders,
                                              const std::filesystem::path& programFolder,
                                              PdfPrinterServices services);

} // namespace tarvik
