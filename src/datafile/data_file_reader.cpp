#include "datafile/data_file_reader.h"

#include "common/maker_details.h"
#include "common/text.h"
#include "datafile/input_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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

// The first CR or LF in [p, end), or end. Eight bytes are tested at a time: a log is mostly
// 32-character lines, and this search is most of the work of reading one.
const char* FindLineEnd(const char* p, const char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t cr = word ^ (kOnes * '\r');
        const std::uint64_t lf = word ^ (kOnes * '\n');
        if ((((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs)
            break;
        p += 8;
    }
    while (p != end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

// Cuts text fed in blocks into lines: a line ends at CR LF, a lone CR or a lone LF, also when
// the CR and the LF arrive in different blocks. Of a line longer than kKeep only its first
// kKeep characters are handed on, as soon as they are there, and the rest of it is skipped:
// no line costs more memory than that, and a line without end is not waited for.
class LineSplitter {
public:
    static constexpr std::size_t kKeep = kMaxIdentityLineLength + 1;

    // onLine(line) returns false to stop.
    template <typename OnLine> bool Feed(std::string_view block, OnLine& onLine) {
        const char* p = block.data();
        const char* const end = p + block.size();
        if (afterCr_ && p != end && *p == '\n')
            ++p;
        afterCr_ = false;
        while (p != end) {
            const char* lineEnd = FindLineEnd(p, end);
            if (lineEnd == end) {
                if (skipping_)
                    return true;
                Keep(p, end);
                if (pending_.size() < kKeep)
                    return true;
                skipping_ = true;
                const bool more = onLine(std::string_view(pending_));
                pending_.clear();
                return more;
            }
            bool more = true;
            if (skipping_) {
                skipping_ = false;
            } else if (pending_.empty()) {
                more = onLine(
                    std::string_view(p, static_cast<std::size_t>(lineEnd - p)).substr(0, kKeep));
            } else {
                Keep(p, lineEnd);
                more = onLine(std::string_view(pending_));
                pending_.clear();
            }
            if (!more)
                return false;
            if (*lineEnd == '\r') {
                if (lineEnd + 1 != end && lineEnd[1] == '\n')
                    ++lineEnd;
                else if (lineEnd + 1 == end)
                    afterCr_ = true;
            }
            p = lineEnd + 1;
        }
        return true;
    }

    // The last line, when the text does not end with a line end.
    template <typename OnLine> void Finish(OnLine& onLine) {
        if (!pending_.empty())
            onLine(std::string_view(pending_));
        pending_.clear();
        skipping_ = false;
    }

private:
    void Keep(const char* from, const char* to) {
        const std::size_t room = kKeep - pending_.size();
        pending_.append(from, std::min(room, static_cast<std::size_t>(to - from)));
    }

    std::string pending_;
    bool afterCr_ = false;
    bool skipping_ = false; // the rest of a line already handed on
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
            if (line.size() > kMaxIdentityLineLength) {
                summary_.status = DataFileStatus::DamagedIdentity;
                summary_.identityTooLong = true;
                return false;
            }
            SetIdentity(summary_, line);
            return true;
        }
        // A blank line carries no record (it would otherwise count as a second of use).
        if (line.empty())
            return true;
        ++summary_.recordCount;
        return !visit_ || visit_(line.substr(0, DataRecord::kLineLength));
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

DataFileStatus StatusOf(InputFile::Opened opened) {
    return opened == InputFile::Opened::NotAFile ? DataFileStatus::NotAFile
                                                 : DataFileStatus::Unreadable;
}

} // namespace

std::string DamagedIdentityMessage() {
    return std::string("There is a problem with the header line in the locator's data file. "
                       "Please correct and try again or contact Tarvik support at ") +
           maker::kSupportUrl;
}

std::string DataFileProblemText(DataFileStatus status) {
    switch (status) {
    case DataFileStatus::Ok:
        return {};
    case DataFileStatus::Unreadable:
        return "the file cannot be read";
    case DataFileStatus::NotAFile:
        return "this is a folder, a device or a pipe, not a data file";
    case DataFileStatus::NoIdentityLine:
    case DataFileStatus::NoRecord:
        return kNoDataMessage;
    case DataFileStatus::DamagedIdentity:
        return DamagedIdentityMessage();
    }
    return {};
}

DataFileSummary ReadDataBytes(std::string_view bytes, const RecordLineVisitor& visit) {
    return ReadDataBlocks(bytes, bytes.size(), visit);
}

DataFileSummary ReadDataBlocks(std::string_view bytes, std::size_t blockSize,
                               const RecordLineVisitor& visit) {
    DataFileSummary summary;
    LineSplitter splitter;
    DataLineHandler handler(summary, visit);
    blockSize = std::max<std::size_t>(blockSize, 1);
    for (std::size_t at = 0; at < bytes.size(); at += blockSize)
        if (!FeedBlock(bytes.substr(at, blockSize), splitter, handler))
            return summary;
    splitter.Finish(handler);
    return summary;
}

bool LoadDataFileBytes(const std::filesystem::path& file, std::string& bytes,
                       std::size_t maxBytes) {
    bytes.clear();
    InputFile in;
    if (in.Open(file) != InputFile::Opened::Ok)
        return false;
    char block[1 << 16];
    long got;
    while ((got = in.Read(block, sizeof block)) > 0) {
        std::string_view chunk(block, static_cast<std::size_t>(got));
        const std::size_t endMark = chunk.find(kEndMark);
        if (endMark != std::string_view::npos)
            chunk = chunk.substr(0, endMark + 1);
        if (chunk.size() > maxBytes - bytes.size()) {
            bytes.clear();
            return false;
        }
        bytes.append(chunk);
        if (endMark != std::string_view::npos)
            return true;
    }
    if (got < 0)
        bytes.clear();
    return got == 0;
}

DataFileSummary ReadDataFile(const std::filesystem::path& file, const RecordLineVisitor& visit) {
    DataFileSummary summary;
    InputFile in;
    if (const auto opened = in.Open(file); opened != InputFile::Opened::Ok) {
        summary.status = StatusOf(opened);
        return summary;
    }
    // One block buffer reused for the whole file: reading a large log allocates nothing that
    // grows with it.
    static constexpr std::size_t kBlock = 1 << 18;
    const std::unique_ptr<char[]> block(new char[kBlock]);
    LineSplitter splitter;
    DataLineHandler handler(summary, visit);
    long got;
    while ((got = in.Read(block.get(), kBlock)) > 0) {
        if (!FeedBlock(std::string_view(block.get(), static_cast<std::size_t>(got)), splitter,
                       handler))
            return summary;
    }
    if (got < 0)
        return DataFileSummary{};
    splitter.Finish(handler);
    return summary;
}

} // namespace tarvik
