#include "sim/locator_engine.h"

#include <gtest/gtest.h>

namespace tarvik::sim {
namespace {

class Engine : public ::testing::Test {
protected:
    Engine() {
        settings.identity = {"Bert", "KVZ3", "1234", "V2.04"};
        settings.records = {"0112261000000017999111600-02-01P", "0212261000000017999111600-02-01G",
                            "0312261000000017999111600-02-01G"};
    }

    // Sends a command a character at a time, `gap` milliseconds apart.
    void Send(LocatorEngine& engine, std::string_view command, int gap = 3) {
        for (char c : command) {
            engine.Tick(now);
            engine.Receive(std::string_view(&c, 1), now);
            now += gap;
        }
    }
    std::string Output(LocatorEngine& engine) { return engine.TakeOutput(1 << 20); }
    std::string Record(int i) const { return settings.records[i] + "\r\n"; }

    FixedClock pc{DateTime{2026, 12, 5, 10, 0, 0}};
    LocatorSettings settings;
    LocatorEngine::Millis now = 0;
};

TEST_F(Engine, AnswersCommandsFramedByTheirLengthHoweverSlowlyTheyCome) {
    LocatorEngine engine(settings, pc);
    Send(engine, "#X");
    EXPECT_EQ(Output(engine), "#XBert" + std::string(28, '_') + "KVZ3____1234____");
    Send(engine, "#FV#LD#ST");
    EXPECT_EQ(Output(engine), "V2.04#LD01/12/26#STP");
    // A busy PC stretches its pauses well past the slowest sender's 100 ms: "#A" waits for
    // its "E", and a command in pieces is taken whole.
    Send(engine, "#AE", 900);
    Send(engine, "#LD", 900);
    EXPECT_EQ(Output(engine), "#AE 05/12/26 #T10:00:00#LD01/12/26");
    // A user text padded to 32 characters waits for the same; a longer one ends at a pause.
    Send(engine, "#FT" + std::string(32, 'u'), 900);
    Send(engine, "#FTA much longer user text than thirty-two");
    engine.Tick(now + LocatorEngine::kCommandPause - 10);
    EXPECT_EQ(engine.settings().identity.user, std::string(32, 'u'));
    engine.Tick(now + LocatorEngine::kCommandPause);
    EXPECT_EQ(engine.settings().identity.user, "A much longer user text than thi");
}

TEST_F(Engine, ALateLocatorAnswersInPiecesWithPausesBetween) {
    settings.answerDelayMillis = 300;
    settings.replyPieces = 2;
    settings.piecePauseMillis = 30;
    LocatorEngine engine(settings, pc);
    Send(engine, "#ST"); // taken at 6 ms
    for (const auto& [at, expected] :
         std::vector<std::pair<int, std::string>>{{305, ""}, {306, "#S"}, {335, ""}, {336, "TP"}}) {
        engine.Tick(at);
        EXPECT_EQ(Output(engine), expected) << at;
    }
    // A transfer starts late too, and its stop is answered in pieces.
    now = 1000;
    Send(engine, "#DA");
    engine.Tick(1200);
    EXPECT_FALSE(engine.HasOutput());
    engine.Tick(1306);
    EXPECT_EQ(Output(engine).substr(0, 6), "011226");
    const LocatorEngine::Millis stopAt = now;
    Send(engine, "A");
    engine.Tick(stopAt + 300);
    EXPECT_EQ(Output(engine), "ABO");
    engine.Tick(stopAt + 330);
    EXPECT_EQ(Output(engine), "RT\x1a");
}

TEST_F(Engine, TransfersAllOrADateRangeStopsOnRequestAndSetsWhatItIsTold) {
    LocatorEngine engine(settings, pc);
    Send(engine, "#DA");
    EXPECT_EQ(Output(engine), Record(0) + Record(1) + Record(2) + "\x1a");
    Send(engine, "#DD02/12/26:03/12/26");
    EXPECT_EQ(Output(engine), Record(1) + Record(2) + "\x1a");
    Send(engine, "#ND06/12/26:07/12/26");
    EXPECT_EQ(Output(engine), "\x1a");
    for (const std::string stop : {"A", "#A"}) {
        Send(engine, "#DA");
        EXPECT_EQ(engine.TakeOutput(10), settings.records[0].substr(0, 10));
        Send(engine, stop);
        engine.Tick(now + LocatorEngine::kGiveUpPause);
        EXPECT_EQ(Output(engine), "ABORT\x1a") << stop;
    }

    Send(engine, "zz#SSPVZ3    99999999#TS11:30:00");
    EXPECT_EQ(engine.settings().identity.model, "PVZ3");
    EXPECT_EQ(engine.settings().identity.serial, "99999999");
    EXPECT_EQ(FormatWireTime(engine.LocatorNow()), "11:30:00");
    Send(engine, "#DS24/12/27");
    EXPECT_EQ(FormatWireDate(engine.LocatorNow()), "24/12/27");
    Send(engine, "#CA#DA");
    EXPECT_EQ(Output(engine), "\x1a");
}

TEST_F(Engine, MisbehavesOnRequest) {
    settings.powerDownAfter = 40;
    settings.clockOffsetMinutes = -3;
    LocatorEngine engine(settings, pc);
    Send(engine, "#AE");
    EXPECT_EQ(Output(engine), "#AE 05/12/26 #T09:57:00");
    Send(engine, "#DA");
    EXPECT_EQ(Output(engine), Record(0) + settings.records[1].substr(0, 6));
    EXPECT_EQ(Output(engine), "#PD"); // a notice of its own, after the last data
    EXPECT_TRUE(engine.poweredDown());
    Send(engine, "#X");
    EXPECT_EQ(Output(engine), "");
    engine.Disconnected();
    Send(engine, "#ST");
    EXPECT_EQ(Output(engine), "#STP");

    settings.powerDownAfter.reset();
    settings.sendEndMark = false;
    LocatorEngine neverEnds(settings, pc);
    Send(neverEnds, "#DA");
    EXPECT_EQ(Output(neverEnds).find('\x1a'), std::string::npos);
}

TEST(LocatorClock, SecondsRoundTripAcrossMonthsAndLeapDays) {
    for (const DateTime t : {DateTime{2000, 1, 1, 0, 0, 0}, DateTime{2024, 2, 29, 23, 59, 59},
                             DateTime{2026, 12, 31, 12, 0, 1}})
        EXPECT_EQ(FromSeconds(ToSeconds(t)), t);
    EXPECT_EQ(ToSeconds({2000, 3, 1, 0, 0, 0}) - ToSeconds({2000, 2, 28, 0, 0, 0}), 2 * 86400);
}

} // namespace
} // namespace tarvik::sim
