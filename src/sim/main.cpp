// tarvik-locator-sim: a simulated locator for tests, demos and work without hardware.
//   tarvik-locator-sim --write-log FILE.lgd [log options]     writes a data file of a generated log
//   tarvik-locator-sim --port-path PATH [options]             serves a locator on a pseudo-terminal

#include "common/text.h"
#include "datafile/data_file_reader.h"
#include "sim/locator_engine.h"
#include "sim/log_generator.h"
#include "sim/pty_transport.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: tarvik-locator-sim --write-log FILE.lgd [log options] [identity options]\n"
    "       tarvik-locator-sim --port-path PATH [log options] [identity options] [link options]\n"
    "log options:      --days N  --seed S  --records N  --last-day DD/MM/YY  --log FILE.lgd\n"
    "identity options: --model M  --serial S  --user TEXT  --firmware TEXT\n"
    "                  --last-download DD/MM/YY  --self-test LETTER\n"
    "link options:     --chunk MIN-MAX  --baud N  --unpaced  --clock-offset MINUTES\n"
    "                  --power-down-after N  --no-end-mark  --silent  --trace\n"
    "                  --answer-delay MS  --reply-pieces N  --piece-pause MS\n"
    "                  --command-log FILE\n";

int Usage(const std::string& why) {
    std::cerr << "tarvik-locator-sim: " << why << "\n" << kUsage;
    return 2;
}

bool ParseNumber(std::string_view text, unsigned long long& value) {
    if (text.empty() || text.size() > 18)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

bool ParseSigned(std::string_view text, long long& value) {
    const bool negative = !text.empty() && text[0] == '-';
    unsigned long long magnitude = 0;
    if (!ParseNumber(negative ? text.substr(1) : text, magnitude))
        return false;
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

std::atomic<bool> stopRequested{false};

void RequestStop(int) {
    stopRequested = true;
}

struct Options {
    std::string logPath;     // --write-log
    std::string portPath;    // --port-path
    std::string readLogFrom; // --log
    tarvik::sim::LogOptions log;
    tarvik::sim::LocatorSettings locator;
    tarvik::sim::TransportSettings transport;
};

// Reads the options; an empty text on success, else what is wrong.
std::string ParseOptions(const std::vector<std::string>& args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--unpaced") {
            o.transport.baud = 0;
            continue;
        }
        if (name == "--no-end-mark") {
            o.locator.sendEndMark = false;
            continue;
        }
        if (name == "--trace") {
            o.transport.trace = true;
            continue;
        }
        if (name == "--silent") {
            o.locator.silent = true;
            continue;
        }
        if (i + 1 >= args.size())
            return "missing value after " + name;
        const std::string& value = args[++i];
        unsigned long long number = 0;
        long long signedNumber = 0;
        if (name == "--write-log") {
            o.logPath = value;
        } else if (name == "--port-path") {
            o.portPath = value;
        } else if (name == "--log") {
            o.readLogFrom = value;
        } else if (name == "--command-log") {
            o.transport.commandLog = value;
        } else if (name == "--answer-delay" || name == "--reply-pieces" ||
                   name == "--piece-pause") {
            // A real locator's timing: late answers, replies in pieces.
            if (!ParseNumber(value, number) || number > 60000)
                return name + " needs a whole number up to 60000";
            int& setting = name == "--answer-delay"   ? o.locator.answerDelayMillis
                           : name == "--reply-pieces" ? o.locator.replyPieces
                                                      : o.locator.piecePauseMillis;
            setting = static_cast<int>(number);
        } else if (name == "--days" || name == "--seed" || name == "--records" ||
                   name == "--baud" || name == "--power-down-after") {
            if (!ParseNumber(value, number) || number > 0xffffffffULL)
                return name + " needs a whole number";
            if (name == "--days")
                o.log.days = static_cast<int>(std::max(number, 1ULL));
            else if (name == "--seed")
                o.log.seed = o.transport.seed = static_cast<std::uint32_t>(number);
            else if (name == "--records")
                o.log.recordCount = static_cast<std::size_t>(number);
            else if (name == "--baud")
                o.transport.baud = static_cast<unsigned>(number);
            else
                o.locator.powerDownAfter = static_cast<std::size_t>(number);
        } else if (name == "--clock-offset") {
            if (!ParseSigned(value, signedNumber) || signedNumber < -100000 ||
                signedNumber > 100000)
                return "--clock-offset needs a number of minutes";
            o.locator.clockOffsetMinutes = static_cast<int>(signedNumber);
        } else if (name == "--chunk") {
            const std::size_t dash = value.find('-');
            unsigned long long low = 0, high = 0;
            if (dash == std::string::npos || !ParseNumber(value.substr(0, dash), low) ||
                !ParseNumber(value.substr(dash + 1), high) || low < 1 || high < low || high > 65536)
                return "--chunk needs MIN-MAX, for example 1-64";
            o.transport.minChunk = low;
            o.transport.maxChunk = high;
        } else if (name == "--last-day") {
            const auto day = tarvik::ParseWireDate(value);
            if (!day)
                return "--last-day needs a date DD/MM/YY";
            o.log.lastDay = *day;
        } else if (name == "--last-download") {
            if (!tarvik::ParseWireDate(value))
                return "--last-download needs a date DD/MM/YY";
            o.locator.lastDownload = value;
        } else if (name == "--self-test") {
            if (value.size() != 1)
                return "--self-test needs one letter";
            o.locator.selfTestLetter = value[0];
        } else if (name == "--model") {
            o.locator.identity.model = value;
        } else if (name == "--serial") {
            o.locator.identity.serial = value;
        } else if (name == "--user") {
            o.locator.identity.user = value;
        } else if (name == "--firmware") {
            o.locator.identity.firmware = value;
        } else {
            return "unknown option " + name;
        }
    }
    if (o.logPath.empty() == o.portPath.empty())
        return "give either --write-log or --port-path";
    return {};
}

int WriteLog(const Options& o) {
    std::string error;
    if (!tarvik::sim::WriteLogFile(o.logPath, o.locator.identity, o.log, error)) {
        std::cerr << "tarvik-locator-sim: " << error << "\n";
        return 1;
    }
    std::cout << o.logPath << "\n";
    return 0;
}

int ServePort(Options& o) {
    if (!o.readLogFrom.empty()) {
        const auto summary = tarvik::ReadDataFile(o.readLogFrom, [&](std::string_view record) {
            o.locator.records.emplace_back(record);
            return true;
        });
        if (summary.status != tarvik::DataFileStatus::Ok) {
            std::cerr << "tarvik-locator-sim: " << o.readLogFrom << " holds no usage log\n";
            return 1;
        }
    } else {
        tarvik::sim::GenerateLog(o.log, [&](std::string_view record) {
            o.locator.records.emplace_back(record);
            return true;
        });
    }
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::signal(SIGPIPE, SIG_IGN);

    tarvik::SystemClock clock;
    tarvik::sim::LocatorEngine engine(o.locator, clock);
    std::cout << o.portPath << "\n" << std::flush;
    std::string error;
    if (!tarvik::sim::ServeOnPseudoTerminal(engine, o.portPath, o.transport, stopRequested,
                                            error)) {
        std::cerr << "tarvik-locator-sim: " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    const std::string problem = ParseOptions(args, options);
    if (!problem.empty())
        return Usage(problem);
    return options.logPath.empty() ? ServePort(options) : WriteLog(options);
}
