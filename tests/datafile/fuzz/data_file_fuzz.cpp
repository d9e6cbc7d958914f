// libFuzzer target: any bytes as a data file. Read whole or in blocks of any size they give the
// same identity and record lines, no record line is longer than a record or holds a line end,
// and the CSV export of the file either fails with a reason and leaves nothing, or writes the
// identity, the header, one row per record and the end mark.
#include "datafile/csv_export.h"
#include "datafile/data_file_reader.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Reading {
    tarvik::DataFileSummary summary;
    std::vector<std::string> lines;
};

Reading Read(std::string_view bytes, std::size_t blockSize) {
    Reading reading;
    reading.summary = tarvik::ReadDataBlocks(bytes, blockSize, [&](std::string_view line) {
        if (line.size() > tarvik::DataRecord::kLineLength ||
            line.find_first_of("\r\n\x1a") != std::string_view::npos)
            std::abort();
        reading.lines.emplace_back(line);
        return true;
    });
    return reading;
}

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("tarvik-data-file-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

void CheckExport(std::string_view bytes, const Reading& whole) {
    const auto data = Folder() / "in.lgd";
    const auto output = Folder() / "out.csv";
    std::filesystem::remove(output);
    std::ofstream(data, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
    const tarvik::CsvExportResult result = tarvik::ExportCsv(data, output, "KVZ3");
    const bool ok = whole.summary.status == tarvik::DataFileStatus::Ok;
    if (result.ok != ok || (!ok && (result.error.empty() || std::filesystem::exists(output))))
        std::abort();
    for (const auto& entry : std::filesystem::directory_iterator(Folder()))
        if (entry.path() != data && entry.path() != output)
            std::abort(); // a partial file was left behind
    if (!ok)
        return;
    std::ifstream in(output, std::ios::binary);
    const std::string csv((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto& f = whole.summary.identityFields;
    std::size_t lineEnds = 0;
    for (std::size_t at = 0; (at = csv.find("\r\n", at)) != std::string::npos; at += 2)
        ++lineEnds;
    if (csv.rfind(f[0] + "," + f[1] + "," + f[2] + "\r\n", 0) != 0 || csv.size() < 3 ||
        csv.compare(csv.size() - 3, 3, "\x1a\r\n") != 0 || lineEnds != whole.lines.size() + 3)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Reading whole = Read(bytes, bytes.size());
    if (whole.summary.recordCount != whole.lines.size())
        std::abort();
    // Block sizes from 1 byte up, taken from the input so that every edge gets tried.
    const std::size_t blockSize = size == 0 ? 1 : 1 + data[0] % 64;
    const Reading pieces = Read(bytes, blockSize);
    if (pieces.summary.status != whole.summary.status ||
        pieces.summary.identityLine != whole.summary.identityLine || pieces.lines != whole.lines)
        std::abort();
    CheckExport(bytes, whole);
    return 0;
}
