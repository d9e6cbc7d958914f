#include "service/tools_session.h"

#include "link/link_fakes.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace tarvik {
namespace {

class RecordingToolsView final : public ToolsView {
public:
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void ShowMonitor(const MonitorLines::Lines& shown) override {
        lines = shown;
        if (onMonitor)
            onMonitor();
    }
    void ShowStoredParameters(const LocatorIdentity&) override {}
    void ShowLocatorClock(const LocatorClockReply&) override {}
    void EnableCommands(bool on) override { commandsEnabled.push_back(on); }

    std::vector<std::string> statuses;
    MonitorLines::Lines lines;
    std::function<void()> onMonitor;
    std::vector<bool> commandsEnabled;
};

class ToolsSessionTest : public ::testing::Test {
protected:
    ToolsSessionTest() : port(ports), session(port, pacer, view, prompts, clock) {
        ports.Plug(3, {});
        pacer.log = &ports.log;
    }

    void Receive(std::string chunk) { port.onEvent(PortEvent{PortEvent::kReceive, chunk}); }

    test::SimulatedPorts ports;
    test::SimulatedPorts::Port port;
    test::ZeroPacer pacer;
    RecordingToolsView view;
    test::ScriptedPrompts prompts;
    FixedClock clock{DateTime{2026, 12, 5, 9, 7, 3}};
    test::TempDir dir;
    ToolsSession session;
};

TEST_F(ToolsSessionTest, OpeningThePortWritesMmAtOnceWithoutPacing) {
    ASSERT_TRUE(session.OpenToolsPort(3));
    EXPECT_EQ(port.openNumber(), 3);
    // "MM" in one write, unpaced, with DTR off; DTR is raised after it.
    EXPECT_EQ(ports.log.Steps(), (std::vector<std::string>{"link open 3", "link dtr off",
                                                           "link [MM]", "link dtr on"}));
    EXPECT_FALSE(session.OpenToolsPort(9)); // nothing plugged in there
}

struct ButtonCase {
    const char* name;
    std::function<void(ToolsSession&)> press;
    std::string bytes;
    std::string pause;
    std::string before;
    std::string after;
};

TEST_F(ToolsSessionTest, EachButtonSendsItsBytesAtItsPaceBetweenItsTwoStatusTexts) {
    const std::string user40 = "A user text of forty characters, exactly";
    ASSERT_EQ(user40.size(), 40u);
    const std::vector<ButtonCase> cases = {
        {"read date and time", [](ToolsSession& s) { s.ReadDateAndTime(); }, "#AE", "long",
         "Getting Date and Time", "Parameters received"},
        {"read stored parameters", [](ToolsSession& s) { s.ReadStoredParameters(); }, "#X", "long",
         "Getting Serial No., Model, User", "Parameters received"},
        {"reset memory pointer", [](ToolsSession& s) { s.ResetMemoryPointer(); }, "#FW0000",
         "short", "Resetting memory", "Memory Reset"},
        {"serial and model", [](ToolsSession& s) { s.SetSerialAndModel("AB", "123"); },
         "#SSAB      123     ", "short", "Setting Serial No. / Model", "Serial No. / Model set"},
        {"long serial and model", [](ToolsSession& s) { s.SetSerialAndModel("MODEL-XYZ", "7"); },
         "#SSMODEL-XYZ7       ", "short", "Setting Serial No. / Model", "Serial No. / Model set"},
        {"date", [](ToolsSession& s) { s.SetDate(); }, "#DS05/12/26", "short", "Setting Date",
         "Date set"},
        {"time", [](ToolsSession& s) { s.SetTime(); }, "#TS09:07:03", "short", "Setting time",
         "Time set"},
        {"short user", [](ToolsSession& s) { s.SetUser("Depot 4"); },
         "#FTDepot 4" + std::string(25, ' '), "short", "Setting User", "User Set"},
        {"40-character user", [&](ToolsSession& s) { s.SetUser(user40); }, "#FT" + user40, "short",
         "Setting User", "User Set"},
        {"raw text", [](ToolsSession& s) { s.SendRaw("#LD x"); }, "#LD x", "short", "Sending#LD x",
         "Sent!"},
        {"stop", [](ToolsSession& s) { s.Stop(); }, "#A", "short", "Stopping...", "Aborted"},
    };
    ASSERT_TRUE(session.OpenToolsPort(3));
    for (const ButtonCase& c : cases) {
        SCOPED_TRACE(c.name);
        ports.log.Clear();
        view.statuses.clear();
        c.press(session);
        // A reply may follow; the command went out whole at its pace first.
        EXPECT_EQ(ports.log.Steps().at(0), "link [" + c.bytes + "] " + c.pause);
        EXPECT_EQ(view.statuses, (std::vector<std::string>{c.before, c.after}));
    }
}

TEST_F(ToolsSessionTest, ClearMemoryIsSentOnlyAfterYes) {
    ASSERT_TRUE(session.OpenToolsPort(3));
    port.written.clear();
    prompts.AnswerNo();
    session.ClearMemory();
    EXPECT_EQ(port.written, "");
    EXPECT_TRUE(view.statuses.empty());

    prompts.AnswerYes();
    session.ClearMemory();
    EXPECT_EQ(port.written, "#CA");
    EXPECT_EQ(prompts.Texts(),
              std::vector<std::string>(2, "Are you sure you want to clear the memory?"));
    EXPECT_EQ(view.statuses,
              (std::vector<std::string>{
                  "Clearing memory",
                  "When live data appears on the Live Monitor, the clear has been completed."}));
}

TEST_F(ToolsSessionTest, SetUserHandsOnThePaddedUserText) {
    std::vector<std::string> handed;
    session.onUserTextSet = [&](const std::string& user) { handed.push_back(user); };
    ASSERT_TRUE(session.OpenToolsPort(3));
    session.SetUser("Crew");
    session.SetUser(std::string(33, 'u'));
    EXPECT_EQ(handed,
              (std::vector<std::string>{"Crew" + std::string(28, ' '), std::string(33, 'u')}));
}

TEST_F(ToolsSessionTest, AfterTheLocatorWentAwayASendDoesNotClaimSuccess) {
    ASSERT_TRUE(session.OpenToolsPort(3));
    port.Close(); // as the real port does when its device disappears
    port.onDeviceLost();
    session.SetDate();
    EXPECT_EQ(port.written, "MM");
    EXPECT_EQ(view.statuses,
              (std::vector<std::string>{"The Locator was disconnected.", "Setting Date",
                                        "The port is not open: the command was not sent."}));
}

TEST_F(ToolsSessionTest, AClickWhileACommandGoesOutDoesNotMixIntoIt) {
    ASSERT_TRUE(session.OpenToolsPort(3));
    port.written.clear();
    bool clicked = false;
    pacer.onLetEventsRun = [&] {
        if (!clicked) {
            clicked = true;
            session.ReadStoredParameters();
            prompts.AnswerYes();
            session.ClearMemory();
        }
    };
    session.SendRaw("#FV");
    EXPECT_EQ(port.written, "#FV");
    EXPECT_EQ(view.commandsEnabled, (std::vector<bool>{false, true}));
    EXPECT_TRUE(prompts.shown().empty()); // not even the clear-memory question
}

TEST_F(ToolsSessionTest, EveryChunkScrollsTheMonitorAndIsOneLineOfTheLog) {
    ASSERT_TRUE(session.CreateLog(dir / "log.lgd"));
    ASSERT_TRUE(session.OpenToolsPort(3));
    std::string expectedLog;
    for (int i = 1; i <= 7; ++i) {
        const std::string chunk = "chunk " + std::to_string(i) + (i == 4 ? "\r\n\x1a\xe9" : "");
        Receive(chunk);
        expectedLog += chunk + "\r\n";
        // Each line is in the file as soon as it arrives.
        EXPECT_EQ(test::ReadBytes(dir / "log.lgd"), expectedLog);
    }
    EXPECT_EQ(view.lines, (MonitorLines::Lines{"chunk 7", "chunk 6", "chunk 5",
                                               "chunk 4\r\n\x1a\xe9", "chunk 3", "chunk 2"}));
}

TEST_F(ToolsSessionTest, LineEventsAreIgnoredAndOtherEventsAreCommsErrors) {
    ASSERT_TRUE(session.CreateLog(dir / "log.lgd"));
    for (int code : {1, 3, 4, 5, 7})
        port.onEvent(PortEvent{code, {}});
    EXPECT_TRUE(prompts.shown().empty());
    port.onEvent(PortEvent{PortEvent::kOverrun, {}});
    port.onEvent(PortEvent{6, {}});
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"Comms error: 1006", "Comms error: 6"}));
    EXPECT_EQ(view.lines, MonitorLines::Lines{});
    EXPECT_EQ(test::ReadBytes(dir / "log.lgd"), "");
}

TEST_F(ToolsSessionTest, AChunkArrivingWhileOneIsHandledComesRightAfterIt) {
    ASSERT_TRUE(session.CreateLog(dir / "log.lgd"));
    bool delivered = false;
    view.onMonitor = [&] {
        if (!delivered) {
            delivered = true;
            Receive("second");
            // Not handled inside the first one's run.
            EXPECT_EQ(view.lines[0], "first");
        }
    };
    Receive("first");
    EXPECT_EQ(view.lines[0], "second");
    EXPECT_EQ(view.lines[1], "first");
    EXPECT_EQ(test::ReadBytes(dir / "log.lgd"), "first\r\nsecond\r\n");
}

} // namespace
} // namespace tarvik
