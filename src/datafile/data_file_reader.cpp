#include "datafile/data_file_reader.h"

#include "common/text.h"

#include <cstdio>
#include <memory>

namespace tarvik {

namespace {

std::vector<std::string> SplitAtCommas(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            fields.emplace_back(line.substr(start));
            return fields;
        }
        fields.emplace_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

void SetIdentity(DataFileSummary& summary, std::string_view line) {
    summary.identityLine = std::string(line);
    summary.identityFields = SplitAtCommas(line);
    if (summary.identityFields.size() < 3) {
        summary.status = DataFileStatus::DamagedIdentity;
        return;
    }
    summary.status = DataFileStatus::Ok;
    summary.identity.user = summary.identityFields[0];
    summary.identity.model = summary.identityFields[1];
    summary.identity.serial = summary.identityFields[2];
}

// Walks the lines of `bytes` (already cut at the first end mark). A line ends at CR LF, a
// lone CR or a lone LF.
template <typename OnLine> void ForEachLine(std::string_view bytes, OnLine onLine) {
    std::size_t start = 0;
    const std::size_t size = bytes.size();
    while (start < size) {
        std::size_t end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        if (!onLine(bytes.substr(start, end - start)))
            return;
        if (end < size && bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

} // namespace

DataFileSummary ReadDataBytes(std::string_view bytes, const RecordLineVisitor& visit) {
    DataFileSummary summary;
    summary.status = DataFileStatus::NoIdentityLine;
    const std::size_t endMark = bytes.find(kEndMark);
    if (endMark != std::string_view::npos)
        bytes = bytes.substr(0, endMark);

    bool haveIdentity = false;
    ForEachLine(bytes, [&](std::string_view line) {
        if (!haveIdentity) {
            if (StartsWith(line, "//"))
                return true;
            haveIdentity = true;
            SetIdentity(summary, line);
            return true;
        }
        // A blank line carries no record (it would otherwise count as a second of use).
        if (line.empty())
            return true;
        ++summary.recordCount;
        return !visit || visit(line);
    });
    return summary;
}

bool LoadDataFileBytes(const std::filesystem::path& file, std::string& bytes) {
    bytes.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"),
                                                       &std::fclose);
    if (!in)
        return false;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) {
        // Nothing after the end mark is ever read, so reading can stop there.
        std::string_view chunk(buffer, got);
        const std::size_t endMark = chunk.find(kEndMark);
        if (endMark != std::string_view::npos) {
            bytes.append(chunk.substr(0, endMark + 1));
            return true;
        }
        bytes.append(chunk);
    }
    return !std::ferror(in.get());
}

DataFileSummary ReadDataFile(const std::filesystem::path& file, const RecordLineVisitor& visit) {
    std::string bytes;
    if (!LoadDataFileBytes(file, bytes))
        return DataFileSummary{};
    return ReadDataBytes(bytes, visit);
}

std::vector<DataRecord> ReadAllRecords(const std::filesystem::path& file,
                                       DataFileSummary* summary) {
    std::vector<DataRecord> records;
    DataFileSummary result = ReadDataFile(file, [&](std::string_view line) {
        records.push_back(ParseRecordLine(line));
        return true;
    });
    if (summary)
        *summary = std::move(result);
    return records;
}

} // namespace tarvik
