#include "datafile/csv_export.h"

#include "datafile/complete_output_file.h"
#include "datafile/data_file_reader.h"

#include <cstring>
#include <memory>
#include <system_error>

namespace tarvik {

namespace {

constexpr std::string_view kHeaderRow =
    "Date,Time,Mode,GenModeFrequency,Bargraph,SensitivityLevel,MeasurementType,Depth,"
    "AccelWarningOn,Overload,BladeAngleSign,BladeAngle,PaddleAngleSign,PaddleAngle,SelfTest,"
    "Lat,Long,Alt,Heading,Accuracy,Speed\r\n";

// No row is longer than this: 32 record characters, the longest words, the separators.
constexpr std::size_t kMaxRowLength = 160;

// Writes one row at `p` and returns the end of what it wrote; the caller keeps
// kMaxRowLength bytes free there. Copying straight into the block is what keeps the export
// near the speed of the disk.
char* WriteRow(char* p, const DataRecord& r, std::string_view model) {
    const auto put = [&p](std::string_view text) {
        std::memcpy(p, text.data(), text.size());
        p += text.size();
    };
    const auto field = [&](std::string_view text) {
        put(text);
        *p++ = ',';
    };
    put(r.Day());
    *p++ = '/';
    put(r.Month());
    *p++ = '/';
    put(r.Year());
    *p++ = ',';
    put(r.Hours());
    *p++ = ':';
    put(r.Minutes());
    *p++ = ':';
    put(r.Seconds());
    *p++ = ',';
    field(ModeLetterView(r.Mode(), model));
    field(FrequencyTextView(r.GenModeFrequency()));
    field(r.Bargraph());
    field(r.SensitivityLevel());
    field(MeasurementTextView(r.MeasurementType()));
    field(r.Depth());
    field(r.AccelWarningOn());
    field(r.Overload());
    field(r.BladeAngleSign());
    field(r.BladeAngle());
    field(r.PaddleAngleSign());
    field(r.PaddleAngle());
    put(r.SelfTest());
    put(",,,,,,\r\n");
    return p;
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
    if (summary.status != DataFileStatus::Ok) {
        result.error =
            "Cannot export '" + dataFile.string() + "': " + DataFileProblemText(summary.status);
        return result;
    }

    CompleteOutputFile out;
    std::string why;
    if (!out.Open(output, why)) {
        result.error = Describe(output, why);
        return result;
    }
    const auto& f = summary.identityFields;
    out.Write(f[0] + "," + f[1] + "," + f[2] + "\r\n");
    out.Write(kHeaderRow);
    // Rows are gathered in one reused block and written in large pieces.
    constexpr std::size_t kFlushAt = 1 << 18;
    const std::unique_ptr<char[]> block(new char[kFlushAt + kMaxRowLength]);
    char* end = block.get();
    const DataFileSummary again = ReadDataFile(dataFile, [&](std::string_view line) {
        end = WriteRow(end, ParseRecordLine(line), modelShown);
        if (static_cast<std::size_t>(end - block.get()) < kFlushAt)
            return true;
        const bool written = out.Write({block.get(), static_cast<std::size_t>(end - block.get())});
        end = block.get();
        return written;
    });
    out.Write({block.get(), static_cast<std::size_t>(end - block.get())});
    out.Write(std::string(1, kEndMark) + "\r\n");
    if (again.status != DataFileStatus::Ok) {
        result.error =
            "Cannot export '" + dataFile.string() + "': " + DataFileProblemText(again.status);
        return result;
    }
    if (!out.Commit(why)) {
        result.error = Describe(output, why);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace tarvik
