#include "sim/log_generator.h"

#include "datafile/data_file_header.h"
#include "datafile/data_file_reader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>

namespace tarvik::sim {
namespace {

using Days = std::chrono::sys_days;

Days ToDays(const DateTime& d) {
    return Days{std::chrono::year{d.year} / std::chrono::month{static_cast<unsigned>(d.month)} /
                std::chrono::day{static_cast<unsigned>(d.day)}};
}

void PutDigits(char* at, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// Draws the fields of one session second after another, drifting like a real sweep would.
class SessionWriter {
public:
    explicit SessionWriter(std::mt19937& random) : random_(random) {}

    // Emits `seconds` records from `start` (seconds after midnight); false when the visitor stops.
    bool Run(const std::chrono::year_month_day& date, int start, int seconds,
             const GeneratedRecordVisitor& visit, std::size_t& budget) {
        char record[32];
        PutDigits(record, static_cast<int>(static_cast<unsigned>(date.day())), 2);
        PutDigits(record + 2, static_cast<int>(static_cast<unsigned>(date.month())), 2);
        PutDigits(record + 4, static_cast<int>(date.year()) % 100, 2);
        NewSegment();
        for (int s = 0; s < seconds; ++s) {
            if (budget == 0)
                return false;
            if (s > 0 && Chance(1, 240))
                NewSegment();
            const int t = start + s;
            PutDigits(record + 6, t / 3600, 2);
            PutDigits(record + 8, t / 60 % 60, 2);
            PutDigits(record + 10, t % 60, 2);
            Drift(bargraph_, 0, 99, 3);
            Drift(depth_, 0, 600, 4);
            Drift(blade_, -45, 45, 2);
            Drift(paddle_, -45, 45, 2);
            const bool overload = bargraph_ > 96;
            record[12] = mode_;
            record[13] = frequency_;
            PutDigits(record + 14, bargraph_, 2);
            PutDigits(record + 16, sensitivity_, 3);
            record[19] = measurement_;
            PutDigits(record + 20, depth_, 3);
            record[23] = Chance(1, 500) ? '1' : '0';
            record[24] = overload ? '1' : '0';
            record[25] = blade_ < 0 ? '-' : '+';
            PutDigits(record + 26, blade_ < 0 ? -blade_ : blade_, 2);
            record[28] = paddle_ < 0 ? '-' : '+';
            PutDigits(record + 29, paddle_ < 0 ? -paddle_ : paddle_, 2);
            record[31] = s == 0 ? (Chance(1, 12) ? 'F' : 'P') : (overload ? 'B' : 'G');
            --budget;
            if (!visit(std::string_view(record, sizeof record)))
                return false;
        }
        return true;
    }

private:
    bool Chance(int in, int outOf) {
        return std::uniform_int_distribution<int>(1, outOf)(random_) <= in;
    }
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }
    void Drift(int& value, int low, int high, int step) {
        value = std::clamp(value + Between(-step, step), low, high);
    }
    void NewSegment() {
        // Power and radio are the everyday sweeps; generator work and the sweep less often.
        static constexpr char kModes[] = {'0', '0', '0', '1', '1', '2', '2', '3'};
        mode_ = kModes[Between(0, 7)];
        frequency_ = static_cast<char>('0' + Between(0, 2));
        measurement_ = static_cast<char>('0' + Between(0, 3));
        sensitivity_ = Between(100, 999);
        bargraph_ = Between(10, 80);
        depth_ = Between(30, 400);
    }

    std::mt19937& random_;
    char mode_ = '0', frequency_ = '0', measurement_ = '0';
    int bargraph_ = 40, sensitivity_ = 500, depth_ = 100, blade_ = 0, paddle_ = 0;
};

} // namespace

void GenerateLog(const LogOptions& options, const GeneratedRecordVisitor& visit) {
    std::mt19937 random(options.seed);
    SessionWriter writer(random);
    std::size_t budget = options.recordCount.value_or(static_cast<std::size_t>(-1));
    const Days last = ToDays(options.lastDay);
    Days day = last - std::chrono::days{std::max(options.days, 1) - 1};
    for (;; day += std::chrono::days{1}) {
        if (!options.recordCount && day > last)
            return;
        const std::chrono::year_month_day date{day};
        const bool weekend = std::chrono::weekday{day}.c_encoding() % 6 == 0;
        if (std::uniform_int_distribution<int>(1, 10)(random) > (weekend ? 2 : 8))
            continue; // a day without use
        // One to three sessions between 07:00 and 18:00, never overlapping.
        int clock = 7 * 3600 + std::uniform_int_distribution<int>(0, 3600)(random);
        const int sessions = std::uniform_int_distribution<int>(1, 3)(random);
        for (int i = 0; i < sessions && clock < 18 * 3600; ++i) {
            const int length = std::uniform_int_distribution<int>(300, 2400)(random);
            if (!writer.Run(date, clock, length, visit, budget))
                return;
            clock += length + std::uniform_int_distribution<int>(600, 7200)(random);
        }
    }
}

std::string GenerateLogText(const LogOptions& options) {
    std::string text;
    if (options.recordCount)
        text.reserve(*options.recordCount * 34);
    GenerateLog(options, [&](std::string_view record) {
        text.append(record);
        text.append("\r\n");
        return true;
    });
    return text;
}

bool WriteLogFile(const std::filesystem::path& file, const LocatorIdentity& identity,
                  const LogOptions& options, std::string& error) {
    std::error_code ec;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot write " + file.string();
        return false;
    }
    out << BuildDataFileHeader() << BuildIdentityLine(identity);
    std::string block;
    block.reserve(1 << 20);
    GenerateLog(options, [&](std::string_view record) {
        block.append(record);
        block.append("\r\n");
        if (block.size() >= (1 << 20) - 64) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
        return true;
    });
    block.push_back(kEndMark);
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    out.close();
    if (!out) {
        error = "cannot write " + file.string();
        return false;
    }
    return true;
}

} // namespace tarvik::sim
