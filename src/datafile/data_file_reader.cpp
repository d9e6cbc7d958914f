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

// Cuts text fed in blocks into lines: a line ends at CR LF, a lone CR or a lone LF, also when
// the CR and the LF arrive in different blocks.
class LineSplitter {
public:
    // onLine(line) returns false to stop.
    template <typename OnLine> bool Feed(std::string_view block, OnLine& onLine) {
        std::size_t start = 0;
        if (afterCr_ && !block.empty() && block[0] == '\n')
            start = 1;
        afterCr_ = false;
        const std::size_t size = block.size();
        while (start < size) {
            std::size_t end = start;
            while (end < size && block[end] != '\r' && block[end] != '\n')
                ++end;
            if (end == size) {
                pending_.append(block.substr(start));
                return true;
            }
            bool more;
            if (pending_.empty()) {
                more = onLine(block.substr(start, end - start));
            } else {
                pending_.append(block.substr(start, end - start));
                more = onLine(std::string_view(pending_));
                pending_.clear();
            }
            if (!more)
                return false;
            if (block[end] == '\r') {
                if (end + 1 < size && block[end + 1] == '\n')
                    ++end;
                else if (end + 1 == size)
                    afterCr_ = true;
            }
            start = end + 1;
        }
        return true;
    }

    // The last line, when the text does not end with a line end.
    template <typename OnLine> void Finish(OnLine& onLine) {
        if (!pending_.empty())
            onLine(std::string_view(pending_));
        pending_.clear();
    }

private:
    std::string pending_;
    bool afterCr_ = false;
};

// What every reader does with the lines: skip the "//" block, take the identity line, hand
// on the record lines.
class DataLineHandler {
public:
    DataLineHandler(DataFileSummary& summary, const RecordLineVisitor& visit)
        : summary_(summary), visit_(visit) {
        summary_.status = DataFileStatus::NoIdentityLine;
    }

    bool operator()(std::string_view line) {
        if (!haveIdentity_) {
            if (StartsWith(line, "//"))
                return true;
            haveIdentity_ = true;
            SetIdentity(summary_, line);
            return true;
        }
        // A blank line carries no record (it would otherwise count as a second of use).
        if (line.empty())
            return true;
        ++summary_.recordCount;
        return !visit_ || visit_(line);
    }

private:
    DataFileSummary& summary_;
    const RecordLineVisitor& visit_;
    bool haveIdentity_ = false;
};

// Feeds one block; false once the end mark or the visitor ended the reading.
bool FeedBlock(std::string_view block, LineSplitter& splitter, DataLineHandler& handler) {
    const std::size_t endMark = block.find(kEndMark);
    if (endMark == std::string_view::npos)
        return splitter.Feed(block, handler);
    if (splitter.Feed(block.substr(0, endMark), handler))
        splitter.Finish(handler);
    return false;
}

} // namespace

DataFileSummary ReadDataBytes(std::string_view bytes, const RecordLineVisitor& visit) {
    DataFileSummary summary;
    LineSplitter splitter;
    DataLineHandler handler(summary, visit);
    if (FeedBlock(bytes, splitter, handler))
        splitter.Finish(handler);
    return summary;
}

bool LoadDataFileBytes(const std::filesystem::path& file, std::string& bytes) {
    bytes.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"),
                                                       &std::fclose);
    if (!in)
        return false;
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (!ec)
        bytes.reserve(static_cast<std::size_t>(size));
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, in.get())) > 0) {
        std::string_view chunk(block, got);
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
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"),
                                                       &std::fclose);
    if (!in)
        return DataFileSummary{};
    // One block buffer reused for the whole file: reading a large log allocates nothing that
    // grows with it.
    static constexpr std::size_t kBlock = 1 << 18;
    std::unique_ptr<char[]> block(new char[kBlock]);
    DataFileSummary summary;
    LineSplitter splitter;
    DataLineHandler handler(summary, visit);
    std::size_t got;
    while ((got = std::fread(block.get(), 1, kBlock, in.get())) > 0) {
        if (!FeedBlock(std::string_view(block.get(), got), splitter, handler))
            return summary;
    }
    if (std::ferror(in.get()))
        return DataFileSummary{};
    splitter.Finish(handler);
    return summary;
}

std::vector<DataRecord> ReadAllRecords(const std::filesystem::path& file,
                                       DataFileSummary* summary) {
    std::vector<DataRecord> records;
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (!ec)
        records.reserve(static_cast<std::size_t>(size / (DataRecord::kLineLength + 2)));
    DataFileSummary result = ReadDataFile(file, [&](std::string_view line) {
        records.push_back(ParseRecordLine(line));
        return true;
    });
    if (summary)
        *summary = std::move(result);
    return records;
}

} // namespace tarvik
