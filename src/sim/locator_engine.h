#pragma once

#include "common/clock.h"
#include "common/locator_identity.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::sim {

// What the simulated locator knows and how it misbehaves on purpose.
struct LocatorSettings {
    LocatorIdentity identity{"Tarvik demo", "KVZ3", "00000001", "V1.00"};
    std::string lastDownload = "01/12/26"; // "dd/mm/yy"
    char selfTestLetter = 'P';
    std::vector<std::string> records;          // the usage log, oldest first, 32 characters each
    int clockOffsetMinutes = 0;                // the locator's clock against the PC's
    std::optional<std::size_t> powerDownAfter; // "#PD" after this many bytes of a transfer
    bool sendEndMark = true;                   // false: transfers never end
    bool silent = false;                       // answers nothing at all
    // A locator's own timing: every reply (and a transfer) starts this late, and each reply
    // goes out in this many pieces with a pause between them.
    int answerDelayMillis = 0;
    int replyPieces = 1;
    int piecePauseMillis = 30;
};

// The locator's side of the protocol. Commands arrive a character at a time without
// terminators: they are framed by their known lengths, and by a pause where the length is
// open ("#FT" and its text, "#A" that might still become "#AE"). Replies wait in an output
// queue that the transport takes from at its own pace, so a stop can cut a transfer short.
class LocatorEngine {
public:
    using Millis = std::int64_t;
    // The pause that ends a user text longer than its 32 characters; longer than the slowest
    // sender's pause.
    static constexpr Millis kCommandPause = 250;
    // Any other command still incomplete after this much silence is forgotten, and a "#A"
    // that no "E" has followed is the service stop. Ten times the slowest sender's pause, as
    // a busy PC stretches its pauses.
    static constexpr Millis kGiveUpPause = 1000;

    LocatorEngine(LocatorSettings settings, const Clock& pcClock);

    void Receive(std::string_view bytes, Millis now);
    // Lets time pass: completes a command of open length once the line has been quiet.
    void Tick(Millis now);

    // Whether there is something to send by now (the time of the last Receive or Tick).
    bool HasOutput() const;
    // Up to `maxBytes` of what the locator sends next; never more than is due by now, so the
    // pieces of a reply go out apart.
    std::string TakeOutput(std::size_t maxBytes);

    // The PC closed its end: a running transfer stops; a powered-down locator is on again.
    void Disconnected();

    const LocatorSettings& settings() const { return settings_; }
    DateTime LocatorNow() const;
    bool poweredDown() const { return poweredDown_; }
    // Every command framed so far, as received (for tests and the log of the simulator).
    const std::vector<std::string>& commands() const { return commands_; }

private:
    enum class Frame { Complete, NeedMore, Open, Drop };
    Frame Classify(std::size_t& length) const;
    // Frames what has arrived, after `quiet` milliseconds of silence on the line.
    void FrameCommands(Millis quiet);
    void Execute(const std::string& command);
    void StartTransfer(std::optional<std::pair<int, int>> range);
    void StopTransfer();
    void SetClock(const DateTime& wanted);
    // Queues a reply in its pieces, each due at its time.
    void Reply(std::string_view text);
    bool TransferDue() const { return TransferLeft() > 0 && now_ >= transferDueAt_; }

    LocatorSettings settings_;
    const Clock& pcClock_;
    std::int64_t clockOffsetSeconds_ = 0;
    std::string input_;
    Millis lastInputAt_ = 0;
    Millis now_ = 0;
    struct Piece {
        Millis dueAt;
        std::string bytes;
    };
    std::deque<Piece> replies_;
    Millis transferDueAt_ = 0;
    std::size_t TransferLeft() const { return transfer_.size() - transferAt_; }
    void ClearTransfer() {
        transfer_.clear();
        transferAt_ = 0;
    }

    // A running transfer and how far it has gone; taken by position, since cutting the
    // front off a long log at every chunk would cost the whole log each time.
    std::string transfer_;
    std::size_t transferAt_ = 0;
    std::size_t transferSent_ = 0;
    bool poweredDown_ = false;
    std::vector<std::string> commands_;
};

// Seconds since 1 January 2000 for a calendar date and time, and back.
std::int64_t ToSeconds(const DateTime& t);
DateTime FromSeconds(std::int64_t seconds);

} // namespace tarvik::sim
