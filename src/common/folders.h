#pragma once

#include <filesystem>

namespace tarvik {

// Where the toolkit keeps its files, all derived from the user's documents and
// application-data folders.
struct Folders {
    std::filesystem::path documents;
    std::filesystem::path appData;

    std::filesystem::path DataFolder() const { return documents / "tarvik" / "data vz3"; }
    // Certificates sit in the data folder's "Certs" folder; one spelling, so the folder
    // that is opened is the folder that is written on case-sensitive file systems too.
    std::filesystem::path CertsFolder() const { return DataFolder() / "Certs"; }
    std::filesystem::path ImagesFolder() const { return documents / "tarvik" / "images"; }
    std::filesystem::path CsvFolder() const { return DataFolder() / "csv"; }
    std::filesystem::path ReportsFolder() const { return documents / "tarvik" / "reports"; }
    std::filesystem::path PortsFilePath() const { return appData / "tarvik" / "ports.ini"; }
    // The COM numbers given to the serial devices of this machine.
    std::filesystem::path ComPortsFilePath() const { return appData / "tarvik" / "comports.ini"; }
};

} // namespace tarvik
