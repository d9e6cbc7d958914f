// The data viewer and the charts on large logs: a million records (a year of daily use) opened
// into the table model and sorted, and a month of 200,000 records tallied for the chart.
// The files are written once into the temporary folder and their paths printed, so that the
// same files can be timed with reference commands:
//   build/bench/viewer_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only
//   wc -l FILE
// peak_MB is the process's peak resident memory so far; run one benchmark alone
// (--benchmark_filter=OpenMillion) to read the figure of that one.
#include "charts/chart_content.h"
#include "datafile/data_file_header.h"
#include "sim/log_generator.h"
#include "viewer/record_columns.h"
#include "viewer/record_selection.h"
#include "viewer/record_table_model.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

constexpr std::size_t kMillion = 1'000'000;
constexpr std::size_t kMonthRecords = 200'000;

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

const std::filesystem::path& MillionFile() {
    static const std::filesystem::path file = [] {
        auto path = std::filesystem::temp_directory_path() / "tarvik-viewer-bench-1m.lgd";
        std::string error;
        tarvik::sim::LogOptions options;
        options.recordCount = kMillion;
        if (!tarvik::sim::WriteLogFile(path, {"Bench crew", "KVZ3", "12345678", ""}, options,
                                       error))
            std::cerr << "cannot write " << path << ": " << error << "\n";
        std::cerr << "million-record file: " << path << "\n";
        return path;
    }();
    return file;
}

// December 2026 with 200,000 records: twenty days of 10,000 seconds each, all four modes.
const std::filesystem::path& BusyMonthFile() {
    static const std::filesystem::path file = [] {
        auto path = std::filesystem::temp_directory_path() / "tarvik-viewer-bench-month.lgd";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << tarvik::BuildDataFileHeader() << "Bench crew,KVZ3,12345678\r\n";
        char line[64];
        for (std::size_t i = 0; i < kMonthRecords; ++i) {
            const int day = 1 + static_cast<int>(i / 10'000);
            const int second = 8 * 3600 + static_cast<int>(i % 10'000);
            std::snprintf(line, sizeof line, "%02d1226%02d%02d%02d%d1120451%03d0N+12-05G\r\n", day,
                          second / 3600, second / 60 % 60, second % 60, static_cast<int>(i % 4),
                          static_cast<int>(i % 999));
            out << line;
        }
        out << '\x1a';
        std::cerr << "busy-month file: " << path << "\n";
        return path;
    }();
    return file;
}

// What the viewer does on opening: read the file, hand the records to the model and draw the
// first screen of rows.
void OpenMillionIntoModel(benchmark::State& state) {
    const auto& file = MillionFile();
    for (auto _ : state) {
        tarvik::SelectedRecords all = tarvik::ReadSelection(file, tarvik::RecordSelection::All());
        tarvik::RecordTableModel model;
        model.SetRecords(std::move(all.records), all.summary.identity.model);
        for (int row = 0; row < 40; ++row)
            for (int column = 0; column < model.columnCount(); ++column)
                benchmark::DoNotOptimize(model.data(model.index(row, column), Qt::DisplayRole));
        if (model.rowCount() != static_cast<int>(kMillion))
            state.SkipWithError("wrong row count");
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(OpenMillionIntoModel)->Unit(benchmark::kMillisecond);

void SortMillionBy(benchmark::State& state, int column) {
    tarvik::SelectedRecords all =
        tarvik::ReadSelection(MillionFile(), tarvik::RecordSelection::All());
    tarvik::RecordTableModel model;
    model.SetRecords(std::move(all.records), all.summary.identity.model);
    for (auto _ : state) {
        model.SortByColumn(column); // each click reverses the direction
        benchmark::DoNotOptimize(model.CellTextAt(0, column));
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

void SortMillionByDate(benchmark::State& state) {
    SortMillionBy(state, tarvik::kDateColumn);
}
void SortMillionByDepth(benchmark::State& state) {
    SortMillionBy(state, tarvik::kDepthColumn);
}
BENCHMARK(SortMillionByDate)->Unit(benchmark::kMillisecond);
BENCHMARK(SortMillionByDepth)->Unit(benchmark::kMillisecond);

// The month chart of a busy month: read the file once, tally the month's modes, work out the
// slices.
void TallyBusyMonth(benchmark::State& state) {
    const auto& file = BusyMonthFile();
    for (auto _ : state) {
        const tarvik::ChartContent chart =
            tarvik::MonthChart(tarvik::TallyMonth(file, 12, 26), 12, 26);
        if (chart.slices.size() != 4)
            state.SkipWithError("wrong slices");
        benchmark::DoNotOptimize(chart);
    }
}
BENCHMARK(TallyBusyMonth)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
