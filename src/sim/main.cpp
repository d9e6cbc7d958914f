// tarvik-locator-sim: a simulated locator for tests, demos and work without hardware.
//   tarvik-locator-sim --write-log FILE.lgd [log options]   writes a data file of a generated log

#include "common/text.h"
#include "sim/log_generator.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: tarvik-locator-sim --write-log FILE.lgd [--days N] [--seed S] [--records N]\n"
    "                          [--last-day DD/MM/YY] [--model M] [--serial S] [--user TEXT]\n";

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

bool ParseWireDate(std::string_view text, tarvik::DateTime& date) {
    unsigned long long d = 0, m = 0, y = 0;
    if (text.size() != 8 || text[2] != '/' || text[5] != '/' ||
        !ParseNumber(text.substr(0, 2), d) || !ParseNumber(text.substr(3, 2), m) ||
        !ParseNumber(text.substr(6, 2), y) || d < 1 || d > 31 || m < 1 || m > 12)
        return false;
    date = {2000 + static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string logPath;
    tarvik::sim::LogOptions log;
    tarvik::LocatorIdentity identity{"Tarvik demo", "KVZ3", "00000001", "V1.00"};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (i + 1 >= args.size())
            return Usage("missing value after " + name);
        const std::string& value = args[++i];
        unsigned long long number = 0;
        if (name == "--write-log") {
            logPath = value;
        } else if (name == "--days" || name == "--seed" || name == "--records") {
            if (!ParseNumber(value, number) || number > 0xffffffffULL)
                return Usage(name + " needs a whole number");
            if (name == "--days")
                log.days = static_cast<int>(std::max(number, 1ULL));
            else if (name == "--seed")
                log.seed = static_cast<std::uint32_t>(number);
            else
                log.recordCount = static_cast<std::size_t>(number);
        } else if (name == "--last-day") {
            if (!ParseWireDate(value, log.lastDay))
                return Usage("--last-day needs a date DD/MM/YY");
        } else if (name == "--model") {
            identity.model = value;
        } else if (name == "--serial") {
            identity.serial = value;
        } else if (name == "--user") {
            identity.user = value;
        } else {
            return Usage("unknown option " + name);
        }
    }
    if (logPath.empty())
        return Usage("nothing to do");
    std::string error;
    if (!tarvik::sim::WriteLogFile(logPath, identity, log, error)) {
        std::cerr << "tarvik-locator-sim: " << error << "\n";
        return 1;
    }
    std::cout << logPath << "\n";
    return 0;
}
