#include "datafile/csv_export.h"

#include "datafile/data_file_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace tarvik {

namespace {

constexpr std::string_view kHeaderRow =
    "Date,Time,Mode,GenModeFrequency,Bargraph,SensitivityLevel,MeasurementType,Depth,"
    "AccelWarningOn,Overload,BladeAngleSign,BladeAngle,PaddleAngleSign,PaddleAngle,SelfTest,"
    "Lat,Long,Alt,Heading,Accuracy,Speed\r\n";

void AppendRow(std::string& out, const DataRecord& r, std::string_view model) {
    const auto add = [&out](std::string_view field) {
        out.append(field);
        out.push_back(',');
    };
    out.append(r.Day()).append("/").append(r.Month()).append("/").append(r.Year());
    out.push_back(',');
    out.append(r.Hours()).append(":").append(r.Minutes()).append(":").append(r.Seconds());
    out.push_back(',');
    add(ModeLetterView(r.Mode(), model));
    add(FrequencyTextView(r.GenModeFrequency()));
    add(r.Bargraph());
    add(r.SensitivityLevel());
    add(MeasurementTextView(r.MeasurementType()));
    add(r.Depth());
    add(r.AccelWarningOn());
    add(r.Overload());
    add(r.BladeAngleSign());
    add(r.BladeAngle());
    add(r.PaddleAngleSign());
    add(r.PaddleAngle());
    out.append(r.SelfTest());
    out.append(",,,,,,\r\n");
}

std::string Describe(const std::filesystem::path& file, const std::string& why) {
    return "Cannot write '" + file.string() + "': " + why;
}

} // namespace

std::filesystem::path CsvOutputPath(const std::filesystem::path& dataFolder,
                                    const std::string& dataFileName) {
    return dataFolder / "csv" / std::filesystem::u8path(dataFileName + ".csv");
}

CsvExportResult ExportCsv(const std::filesystem::path& dataFile,
                          const std::filesystem::path& output, const std::string& modelShown) {
    CsvExportResult result;
    result.output = output;

    std::error_code ec;
    if (!output.parent_path().empty())
        std::filesystem::create_directories(output.parent_path(), ec);
    if (ec) {
        result.error = Describe(output.parent_path(), ec.message());
        return result;
    }

    const DataFileSummary summary = ReadDataFile(dataFile, [](std::string_view) { return false; });
    if (summary.status == DataFileStatus::Unreadable) {
        result.error = "Cannot read '" + dataFile.string() + "'";
        return result;
    }
    if (summary.status != DataFileStatus::Ok) {
        result.error = "'" + dataFile.string() + "' has no valid identity line";
        return result;
    }

    // The new export is written beside the old one and replaces it only when complete.
    const std::filesystem::path partial = output.string() + ".partial";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(partial.c_str(), "wb"),
                                                        &std::fclose);
    if (!out) {
        result.error = Describe(output, std::strerror(errno));
        return result;
    }

    // Rows are gathered in one reused buffer and written in large blocks.
    constexpr std::size_t kFlushAt = 1 << 18;
    std::string text;
    text.reserve(kFlushAt + 512);
    bool written = true;
    const auto flush = [&] {
        written = written && std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
        text.clear();
    };
    const auto& f = summary.identityFields;
    text.append(f[0]).append(",").append(f[1]).append(",").append(f[2]).append("\r\n");
    text.append(kHeaderRow);
    ReadDataFile(dataFile, [&](std::string_view line) {
        AppendRow(text, ParseRecordLine(line), modelShown);
        if (text.size() >= kFlushAt)
            flush();
        return written;
    });
    text.push_back(kEndMark);
    text.append("\r\n");
    flush();
    const bool closed = std::fclose(out.release()) == 0;
    if (!written || !closed) {
        std::filesystem::remove(partial, ec);
        result.error = Describe(output, "the disk refused the data");
        return result;
    }
    std::filesystem::rename(partial, output, ec);
    if (ec) {
        std::filesystem::remove(partial, ec);
        result.error = Describe(output, ec.message());
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace tarvik
