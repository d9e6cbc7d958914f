#include "datafile/file_label.h"

#include "common/text.h"

#include <cstdio>

namespace tarvik {

namespace {
std::string Digits(int value, int width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

std::string Stamp(const DateTime& t) {
    return Digits(t.day, 2) + Digits(t.month, 2) + Digits(t.year, 4) + Digits(t.hour, 2) +
           Digits(t.minute, 2) + Digits(t.second, 2);
}
} // namespace

std::string SafeFileName(std::string name) {
    for (char& c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
            c == '<' || c == '>' || c == '|')
            c = '_';
    }
    // "." and ".." alone would name a folder, not a file.
    if (name.find_first_not_of('.') == std::string::npos)
        name = std::string(name.size(), '_');
    return name;
}

std::string BuildFileLabel(FileLabelKind kind, const LocatorIdentity& identity, const DateTime& now,
                           const FileLabelDetails& details) {
    const std::string who =
        Trim(identity.serial) + " " + Trim(identity.model) + " " + Trim(identity.user);
    const std::string stamp = Stamp(now);
    std::string label;
    switch (kind) {
    case FileLabelKind::DA:
        label = who + " [All] [" + stamp + "]";
        break;
    case FileLabelKind::DD:
        label = who + " [From " + details.start + " to " + details.end + "] [" + stamp + "]";
        break;
    case FileLabelKind::TShoot:
        label = "Troubleshoot [] [" + stamp + "]";
        break;
    case FileLabelKind::DAY:
        label = who + " [on " + details.day + "-" + details.month + "-" + details.year + "] [" +
                stamp + "] [Day]";
        break;
    case FileLabelKind::Report:
        label = who + " [" + details.period + "] [Report]";
        break;
    }
    return SafeFileName(label);
}

} // namespace tarvik
