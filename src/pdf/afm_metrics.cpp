#include "pdf/afm_metrics.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

namespace tarvik::pdf {

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The second whitespace-separated word of a text ("C 32" -> "32").
std::string_view SecondWord(std::string_view field) {
    constexpr std::string_view kSpace = " \t\r";
    const auto firstStart = field.find_first_not_of(kSpace);
    if (firstStart == std::string_view::npos) {
        return {};
    }
    const auto firstEnd = field.find_first_of(kSpace, firstStart);
    if (firstEnd == std::string_view::npos) {
        return {};
    }
    const auto secondStart = field.find_first_not_of(kSpace, firstEnd);
    if (secondStart == std::string_view::npos) {
        return {};
    }
    const auto secondEnd = field.find_first_of(kSpace, secondStart);
    return field.substr(secondStart, secondEnd == std::string_view::npos ? std::string_view::npos
                                                                         : secondEnd - secondStart);
}

std::optional<long long> ParseInteger(std::string_view word) {
    long long value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

// The whole part of a width such as "278" or "278.5".
std::optional<int> ParseWidth(std::string_view word) {
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    constexpr double kLimit = 1e6; // far beyond any real glyph, small enough never to overflow
    return static_cast<int>(std::clamp(std::floor(value), -kLimit, kLimit));
}

struct MetricLine {
    int code = 0;
    int width = 0;
};

std::optional<MetricLine> ParseMetricLine(std::string_view line) {
    const auto firstSemicolon = line.find(';');
    if (firstSemicolon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto rest = line.substr(firstSemicolon + 1);
    const auto code = ParseInteger(SecondWord(line.substr(0, firstSemicolon)));
    const auto width = ParseWidth(SecondWord(rest.substr(0, rest.find(';'))));
    if (!code || !width || *code < 1 || *code > 255) {
        return std::nullopt;
    }
    return MetricLine{static_cast<int>(*code), *width};
}

} // namespace

AfmWidths ParseAfmWidths(std::string_view content) {
    AfmWidths result;
    size_t pos = 0;
    bool inMetrics = false;
    int firstCode = 0;
    int lastCode = 0;
    while (pos < content.size()) {
        const auto end = content.find('\n', pos);
        const auto line = content.substr(pos, end == std::string_view::npos ? end : end - pos);
        pos = end == std::string_view::npos ? content.size() : end + 1;
        if (!inMetrics) {
            inMetrics = Contains(line, "StartCharMetrics");
            continue;
        }
        if (Contains(line, "EndCharMetrics") || Contains(line, "-1 ;")) {
            break;
        }
        const auto metric = ParseMetricLine(line);
        if (!metric) {
            continue;
        }
        if (firstCode == 0) {
            firstCode = metric->code;
        }
        lastCode = metric->code;
        result.byCode[static_cast<size_t>(metric->code)] = metric->width;
    }
    for (int code = 1; code < 256; ++code) {
        if (code < firstCode || code > lastCode) {
            result.byCode[static_cast<size_t>(code)] = 0;
        }
    }
    return result;
}

std::optional<AfmWidths> ReadAfmWidthsFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return ParseAfmWidths(content.str());
}

long long SumWidths(const AfmWidths& widths, std::string_view text) {
    long long sum = 0;
    for (const char c : text) {
        sum += widths.byCode[static_cast<unsigned char>(c)];
    }
    return sum;
}

std::vector<std::string> ListAfmNames(const std::filesystem::path& folder) {
    std::vector<std::string> fileNames;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        std::string name = it->path().filename().string();
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (Contains(lower, ".afm") && name.size() > 4) {
            fileNames.push_back(std::move(name));
        }
    }
    for (auto& name : fileNames) {
        name.resize(name.size() - 4);
    }
    std::sort(fileNames.begin(), fileNames.end());
    return fileNames;
}

} // namespace tarvik::pdf
