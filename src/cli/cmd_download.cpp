#include "cli/command.h"
#include "cli/interrupt_watch.h"
#include "cli/link_command_session.h"

#include <QElapsedTimer>
#include <filesystem>
#include <ostream>

namespace tarvik::cli {

namespace {

constexpr const char* kUsageText =
    "usage: tarvik download --port N (--all | --from DD/MM/YY --to DD/MM/YY) [--yes]\n";

// A locator that sends nothing for this long has stopped; what came is kept.
constexpr int kSilenceMilliseconds = 30000;
// Stop's "A" is sent again this often until the locator answers, as the window's timer does.
constexpr int kAbortRepeatMilliseconds = 3000;

std::uintmax_t SizeOf(const std::filesystem::path& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    return ec ? 0 : size;
}

// tarvik download --port N (--all | --from D --to D): the Transfer tab without a window. The
// data file goes into the data folder as the window writes it; its path is printed.
int DownloadCommand(Context& context) {
    const auto port = TakePortOption(context);
    const bool all = context.TakeFlag("--all");
    const auto fromText = context.TakeOption("--from");
    const auto toText = context.TakeOption("--to");
    const auto from = fromText ? ParseWireDate(*fromText) : std::nullopt;
    const auto to = toText ? ParseWireDate(*toText) : std::nullopt;
    const bool byDate = from && to;
    if (!port || !context.args.empty() || all == byDate ||
        (!all && (fromText || toText) && !byDate)) {
        context.err << kUsageText;
        return kUsage;
    }
    LinkCommandSession link(context);
    if (!link.Connect(*port))
        return kFailure;
    const bool started = all ? link.download.cmdDownloadAll_Click()
                             : link.download.cmdDownloadByDate_Click(*from, *to);
    if (!started)
        return kFailure;

    const auto file = link.currentFile.Path();
    // Ctrl+C from here on stops the transfer as the Stop button does; a second one quits.
    const InterruptWatch interrupt;
    bool stopping = false;
    QElapsedTimer sinceStop;
    std::uintmax_t lastSize = 0;
    QElapsedTimer quiet;
    quiet.start();
    auto stopAsked = [&] { return interrupt.Requested() && !stopping; };
    while (!link.view.transferOver && link.linkPort.IsOpen() &&
           quiet.elapsed() < kSilenceMilliseconds) {
        WaitUntil(
            link.pacer,
            [&] { return link.view.transferOver || !link.linkPort.IsOpen() || stopAsked(); }, 500);
        if (stopAsked()) {
            stopping = true;
            context.err << "\n";
            link.download.cmdStop_Click();
            sinceStop.start();
        } else if (stopping && link.view.abortTimerOn &&
                   sinceStop.elapsed() >= kAbortRepeatMilliseconds) {
            link.download.tmrAbort_Timer();
            sinceStop.restart();
        }
        const std::uintmax_t size = SizeOf(file);
        if (size != lastSize) {
            lastSize = size;
            quiet.restart();
            context.err << "\rreceived " << size << " bytes" << std::flush;
        }
    }
    context.err << "\n";
    if (!link.view.transferOver) {
        context.err << "tarvik: "
                    << (link.linkPort.IsOpen() ? "the locator stopped sending"
                                               : link.view.lastStatus)
                    << "; what arrived is in " << file.string() << "\n";
        return kFailure;
    }
    if (link.session.flags.AbortAcknowledged) {
        context.err << "tarvik: the transfer was aborted; what arrived is in " << file.string()
                    << "\n";
        return kFailure;
    }
    if (!link.view.downloadedWithData)
        return kFailure; // nothing to download: the message said so and no file was kept
    context.out << file.string() << "\n";
    return kSuccess;
}

const RegisterCommand kRegistered{
    {"download",
     "--port N (--all | --from D --to D)  transfer into a new data file; print its path",
     &DownloadCommand}};

} // namespace

} // namespace tarvik::cli
