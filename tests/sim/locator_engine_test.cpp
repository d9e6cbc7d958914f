#include "sim/locator_engine.h"

#include <gtest/gtest.h>

namespace tarvik::sim {
namespace {

class Engine : public ::testing::Test {
protected:
    Engine() {
        settings.identity = {"Bert", "KVZ3", "1234", "V2.04"};
        settings.records = {"0112261000000017999111600-02-01P"};
    }
    // Sends a command a character at a time, `gap` milliseconds apart; what it answered.
    std::string Send(LocatorEngine& engine, std::string_view command, int gap = 3,
                     std::size_t most = 1 << 20) {
        for (char c : command) {
            engine.Tick(now);
            engine.Receive(std::string_view(&c, 1), now);
            now += gap;
        }
        return engine.TakeOutput(most);
    }

    FixedClock pc{DateTime{2026, 12, 5, 10, 0, 0}};
    LocatorSettings settings;
    LocatorEngine::Millis now = 0;
};

TEST_F(Engine, AnswersCommandsFramedByTheirLengthHoweverSlowlyTheyCome) {
    LocatorEngine engine(settings, pc);
    EXPECT_EQ(Send(engine, "#X"), "#XBert" + std::string(28, '_') + "KVZ3____1234____");
    // A busy PC stretches its pauses well past the slowest sender's 100 ms: "#A" waits for
    // its "E", and a command in pieces is taken whole.
    std::string replies = Send(engine, "#AE", 900);
    replies += Send(engine, "#LD", 900);
    EXPECT_EQ(replies, "#AE 05/12/26 #T10:00:00#LD01/12/26");
    // A user text padded to 32 characters waits for the same; a longer one ends at a pause.
    Send(engine, "#FT" + std::string(32, 'u'), 900);
    Send(engine, "#FTA much longer user text than thirty-two");
    engine.Tick(now + LocatorEngine::kCommandPause - 10);
    EXPECT_EQ(engine.settings().identity.user, std::string(32, 'u'));
    engine.Tick(now + LocatorEngine::kCommandPause);
    EXPECT_EQ(engine.settings().identity.user, "A much longer user text than thi");

    for (const std::string stop : {"A", "#A"}) {
        EXPECT_EQ(Send(engine, "#DA", 3, 10), settings.records[0].substr(0, 10));
        Send(engine, stop, 3, 0);
        engine.Tick(now + LocatorEngine::kGiveUpPause); // "#A" might yet have become "#AE"
        EXPECT_EQ(engine.TakeOutput(100), "ABORT\x1a") << stop;
    }
}

TEST_F(Engine, ALateLocatorAnswersInPiecesWithPausesBetween) {
    settings.answerDelayMillis = 300;
    settings.replyPieces = 2;
    settings.piecePauseMillis = 30;
    settings.clockOffsetMinutes = -3;
    LocatorEngine engine(settings, pc);
    Send(engine, "#ST"); // taken at 6 ms
    for (const auto& [at, expected] :
         std::vector<std::pair<int, std::string>>{{305, ""}, {306, "#S"}, {335, ""}, {336, "TP"}}) {
        engine.Tick(at);
        EXPECT_EQ(engine.TakeOutput(100), expected) << at;
    }
    // A transfer starts late too, and its stop is answered in pieces.
    now = 1000;
    EXPECT_EQ(Send(engine, "#DA"), "");
    engine.Tick(1306);
    EXPECT_EQ(engine.TakeOutput(6), "011226");
    const LocatorEngine::Millis stopAt = now;
    Send(engine, "A");
    engine.Tick(stopAt + 300);
    EXPECT_EQ(engine.TakeOutput(100), "ABO");
    engine.Tick(stopAt + 330);
    EXPECT_EQ(engine.TakeOutput(100), "RT\x1a");
    Send(engine, "#AE");
    engine.Tick(now + 400);
    EXPECT_EQ(engine.TakeOutput(100), "#AE 05/12/26 #T09:57:00");
}

} // namespace
} // namespace tarvik::sim
