// The data viewer and the charts on large logs: a million records (a year of daily use) opened
// into the viewer and sorted, and a month of 200,000 records tallied for the chart.
// The files are written once into the temporary folder and their paths printed, so that the
// same files can be timed with reference commands:
//   build/bench/viewer_bench --benchmark_repetitions=7 --benchmark_report_aggregates_only
//   wc -l FILE
// peak_MB is the process's peak resident memory so far; run one benchmark alone
// (--benchmark_filter=OpenMillion) to read the figure of that one.
#include "charts/chart_content.h"
#include "datafile/data_file_header.h"
#include "sim/log_generator.h"
#include "viewer/frm_view_data.h"
#include "viewer/record_columns.h"
#include "viewer/record_selection.h"
#include "viewer/record_table_model.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

namespace {

constexpr std::size_t kMillion = 1'000'000;
constexpr std::size_t kMonthRecords = 200'000;
const tarvik::LocatorIdentity kIdentity{"Bench crew", "KVZ3", "12345678", ""};

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::filesystem::path BenchFile(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

const std::filesystem::path& MillionFile() {
    static const std::filesystem::path file = [] {
        auto path = BenchFile("tarvik-viewer-bench-1m.lgd");
        std::string error;
        tarvik::sim::LogOptions options;
        options.recordCount = kMillion;
        if (!tarvik::sim::WriteLogFile(path, kIdentity, options, error))
            std::cerr << "cannot write " << path << ": " << error << "\n";
        std::cerr << "million-record file: " << path << "\n";
        return path;
    }();
    return file;
}

// The same million records in a shuffled order (a fixed seed): a table that no sort finds
// already in date order.
const std::filesystem::path& ShuffledMillionFile() {
    static const std::filesystem::path file = [] {
        auto path = BenchFile("tarvik-viewer-bench-1m-shuffled.lgd");
        std::vector<std::string> records;
        tarvik::sim::LogOptions options;
        options.recordCount = kMillion;
        tarvik::sim::GenerateLog(options, [&](std::string_view record) {
            records.emplace_back(record);
            return true;
        });
        std::shuffle(records.begin(), records.end(), std::mt19937(17));
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << tarvik::BuildDataFileHeader() << "Bench crew,KVZ3,12345678\r\n";
        for (const std::string& record : records)
            out << record << "\r\n";
        out << '\x1a';
        std::cerr << "shuffled million-record file: " << path << "\n";
        return path;
    }();
    return file;
}

// December 2026 with 200,000 records: twenty days of 10,000 seconds each, all four modes.
const std::filesystem::path& BusyMonthFile() {
    static const std::filesystem::path file = [] {
        auto path = BenchFile("tarvik-viewer-bench-month.lgd");
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

void DrawFirstScreen(const tarvik::RecordTableModel& model) {
    for (int row = 0; row < 40; ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            benchmark::DoNotOptimize(model.data(model.index(row, column), Qt::DisplayRole));
}

// The logic of the viewer's opening: read the file, total the usage, hand the records to the
// model and draw the first screen of rows.
void OpenMillionIntoModel(benchmark::State& state) {
    const auto& file = MillionFile();
    for (auto _ : state) {
        tarvik::SelectedRecords all = tarvik::ReadSelection(file, tarvik::RecordSelection::All());
        tarvik::RecordTableModel model;
        model.SetRecords(std::move(all.records), all.summary.identity.model);
        DrawFirstScreen(model);
        if (model.rowCount() != static_cast<int>(kMillion) || all.usage.Total() != kMillion)
            state.SkipWithError("wrong row count");
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(OpenMillionIntoModel)->Unit(benchmark::kMillisecond);

// Everything the user waits for when the viewer opens, in the window itself (offscreen): the
// calendar's month and bold days, every record read into the table, the totals, the window
// shown and painted.
void OpenViewerWindowOnMillion(benchmark::State& state) {
    struct SilentPrompts final : tarvik::Prompts {
        void Inform(const std::string&, const std::string&, tarvik::PromptIcon) override {}
        bool AskYesNo(const std::string&, const std::string&) override { return false; }
        std::optional<std::string> AskText(const std::string&, const std::string&,
                                           const std::string&) override {
            return {};
        }
        std::optional<std::string> AskHiddenText(const std::string&, const std::string&) override {
            return {};
        }
    } prompts;
    const tarvik::FixedClock clock{{2026, 12, 5, 10, 0, 0}};
    const auto& file = MillionFile();
    for (auto _ : state) {
        tarvik::ViewerContext context{{file.parent_path(), file.filename().string()},
                                      {file.parent_path(), file.parent_path()},
                                      prompts,
                                      clock};
        tarvik::frmViewData* viewer = tarvik::OpenDataViewer(std::move(context), nullptr);
        QApplication::processEvents();
        if (viewer->records().rowCount() != static_cast<int>(kMillion))
            state.SkipWithError("wrong row count");
        state.PauseTiming();
        delete viewer;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(OpenViewerWindowOnMillion)->Unit(benchmark::kMillisecond);

struct LoadedModel {
    explicit LoadedModel(const std::filesystem::path& file) {
        tarvik::SelectedRecords all = tarvik::ReadSelection(file, tarvik::RecordSelection::All());
        model.SetRecords(std::move(all.records), all.summary.identity.model);
    }
    tarvik::RecordTableModel model;
};

// Each click reverses the direction, so every sort finds the rows in the opposite order.
void SortMillionBy(benchmark::State& state, int column) {
    LoadedModel loaded(MillionFile());
    for (auto _ : state) {
        loaded.model.SortByColumn(column);
        benchmark::DoNotOptimize(loaded.model.CellTextAt(0, column));
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

void SortReversedMillionByDate(benchmark::State& state) {
    SortMillionBy(state, tarvik::kDateColumn);
}
void SortMillionByDepth(benchmark::State& state) {
    SortMillionBy(state, tarvik::kDepthColumn);
}
BENCHMARK(SortReversedMillionByDate)->Unit(benchmark::kMillisecond);
BENCHMARK(SortMillionByDepth)->Unit(benchmark::kMillisecond);

// Rows in no date order: the shuffled file, sorted by Depth (not timed) before each Date sort,
// which is then always ascending.
void SortShuffledMillionByDate(benchmark::State& state) {
    LoadedModel loaded(ShuffledMillionFile());
    for (auto _ : state) {
        state.PauseTiming();
        loaded.model.SortByColumn(tarvik::kDepthColumn);
        state.ResumeTiming();
        if (loaded.model.SortByColumn(tarvik::kDateColumn))
            state.SkipWithError("descending");
        benchmark::DoNotOptimize(loaded.model.CellTextAt(0, tarvik::kDateColumn));
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(SortShuffledMillionByDate)->Unit(benchmark::kMillisecond);

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

int main(int argc, char** argv) {
    // The viewer window is drawn offscreen: no display is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
