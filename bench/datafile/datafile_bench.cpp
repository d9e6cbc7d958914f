// Reading, decoding and exporting a data file of a million records (a year of daily use).
// The file is written once into the temporary folder; its path is printed so that the same
// file can be timed with reference commands:
//   build/bench/datafile_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only
//   wc -l FILE; cat FILE > /dev/null; cp FILE.csv /tmp/copy.csv
#include "datafile/csv_export.h"
#include "datafile/data_file_header.h"
#include "datafile/data_file_reader.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

constexpr int kRecords = 1'000'000;

const std::filesystem::path& BigFile() {
    static const std::filesystem::path file = [] {
        auto path = std::filesystem::temp_directory_path() / "tarvik-bench-1m.lgd";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << tarvik::BuildDataFileHeader() << "Bench crew,KVZ3,12345678\r\n";
        char line[64];
        for (int i = 0; i < kRecords; ++i) {
            const int second = i % 60, minute = (i / 60) % 60, hour = 8 + (i / 3600) % 10;
            const int day = 1 + (i / 36000) % 28, month = 1 + (i / (36000 * 28)) % 12;
            std::snprintf(line, sizeof line,
                          "%02d%02d26%02d%02d%02d%d%d%02d%03d%d%03d0N+12-05%c\r\n", day, month,
                          hour, minute, second, i % 4, i % 3, i % 100, i % 1000, i % 4, i % 999,
                          i % 5000 == 0 ? 'P' : 'G');
            out << line;
        }
        out << '\x1a';
        std::cerr << "data file: " << path << "\n";
        return path;
    }();
    return file;
}

// Every record read and decoded, as the tallies and the export do.
void ReadAndDecode(benchmark::State& state) {
    const auto& file = BigFile();
    for (auto _ : state) {
        long days = 0;
        auto summary = tarvik::ReadDataFile(file, [&](std::string_view line) {
            days += tarvik::ParseRecordLine(line).DayNumber();
            return true;
        });
        benchmark::DoNotOptimize(days);
        if (summary.recordCount != kRecords)
            state.SkipWithError("wrong record count");
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(file)));
}
BENCHMARK(ReadAndDecode)->Unit(benchmark::kMillisecond);

void ExportCsv(benchmark::State& state) {
    const auto& file = BigFile();
    const auto output = std::filesystem::path(file.string() + ".csv");
    for (auto _ : state) {
        auto result = tarvik::ExportCsv(file, output, "KVZ3");
        if (!result.ok)
            state.SkipWithError(result.error.c_str());
    }
}
BENCHMARK(ExportCsv)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
