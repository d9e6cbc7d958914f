// libFuzzer target: any bytes as a data file. Read whole or in blocks of any size they give the
// same identity and record lines, none longer than a record or holding a line end; the CSV
// export succeeds exactly when the reading does, and a failed one says why and leaves nothing.
#include "datafile/csv_export.h"
#include "datafile/data_file_reader.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {
tarvik::DataFileSummary Read(std::string_view bytes, std::size_t blockSize, std::string& lines) {
    return tarvik::ReadDataBlocks(bytes, blockSize, [&](std::string_view line) {
        if (line.size() > tarvik::DataRecord::kLineLength ||
            line.find_first_of("\r\n\x1a") != std::string_view::npos)
            std::abort();
        lines.append(line).append("\n");
        return true;
    });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fs = std::filesystem;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string whole, pieces;
    const tarvik::DataFileSummary s = Read(bytes, bytes.size(), whole);
    // Block sizes from 1 byte up, taken from the input so that every edge gets tried.
    const tarvik::DataFileSummary p = Read(bytes, size == 0 ? 1 : 1 + data[0] % 64, pieces);
    if (p.status != s.status || p.identityLine != s.identityLine || pieces != whole ||
        std::count(whole.begin(), whole.end(), '\n') != static_cast<long>(s.recordCount))
        std::abort();

    static const fs::path folder =
        fs::temp_directory_path() / ("tarvik-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::remove(folder / "out.csv");
    std::ofstream(folder / "in.lgd", std::ios::binary | std::ios::trunc).write(bytes.data(), size);
    const tarvik::CsvExportResult result =
        tarvik::ExportCsv(folder / "in.lgd", folder / "out.csv", "KVZ3");
    const bool ok = s.status == tarvik::DataFileStatus::Ok;
    if (result.ok != ok || (!ok && result.error.empty()) ||
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()) != 1 + ok)
        std::abort(); // a failed export left a file, or a partial file was left behind
    return 0;
}
