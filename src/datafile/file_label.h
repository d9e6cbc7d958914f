#pragma once

#include "common/clock.h"
#include "common/locator_identity.h"

#include <string>

namespace tarvik {

enum class FileLabelKind { DA, DD, TShoot, DAY, Report };

struct FileLabelDetails {
    std::string start; // DD: "dd-MM-yy"
    std::string end;   // DD: "dd-MM-yy"
    std::string day;   // DAY: the chart's day, month and year, as the chart window writes them
    std::string month; //      (day "05", month "12", year "26")
    std::string year;
    std::string period; // Report: the period as a usage report names it ("All", "Month 12-26")
};

// The descriptive name of data files, chart images, usage reports and the troubleshoot log (no
// extension), from the locator's identity and a 14-digit stamp ddMMyyyyhhmmss (a report's name
// has no stamp: its period tells it apart). The texts are trimmed;
// characters no file name may hold (path separators included) become "_", so the name always
// stays in its folder.
std::string BuildFileLabel(FileLabelKind kind, const LocatorIdentity& identity, const DateTime& now,
                           const FileLabelDetails& details = {});

// Replaces what a file name must not hold with "_".
std::string SafeFileName(std::string name);

} // namespace tarvik
