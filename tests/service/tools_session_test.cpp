#include "service/tools_session.h"

#include "link/link_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace tarvik {
namespace {

using test::Texts;

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

    Texts statuses;
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
    std::string Log() const { return test::ReadBytes(dir / "log.lgd"); }

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
    EXPECT_EQ(ports.log.Steps(),
              (Texts{"link open 3", "link dtr off", "link [MM]", "link dtr on"}));
    EXPECT_FALSE(session.OpenToolsPort(9)); // nothing plugged in there
}

TEST_F(ToolsSessionTest, EachButtonSendsItsBytesAtItsPaceBetweenItsTwoStatusTexts) {
    const std::string user40 = "A user text of forty characters, exactly";
    Texts usersSet;
    session.onUserTextSet = [&](const std::string& user) { usersSet.push_back(user); };
    struct Case {
        std::function<void()> press;
        std::string step;
        Texts statuses;
    };
    const std::vector<Case> cases = {
        {[&] { session.ReadDateAndTime(); },
         "[#AE] long",
         {"Getting Date and Time", "Parameters received"}},
        {[&] { session.ReadStoredParameters(); },
         "[#X] long",
         {"Getting Serial No., Model, User", "Parameters received"}},
        {[&] { session.ResetMemoryPointer(); },
         "[#FW0000] short",
         {"Resetting memory", "Memory Reset"}},
        {[&] { session.SetSerialAndModel("MODEL-XYZ", "7"); },
         "[#SSMODEL-XYZ7       ] short",
         {"Setting Serial No. / Model", "Serial No. / Model set"}},
        {[&] { session.SetDate(); }, "[#DS05/12/26] short", {"Setting Date", "Date set"}},
        {[&] { session.SetTime(); }, "[#TS09:07:03] short", {"Setting time", "Time set"}},
        {[&] { session.SetUser("Depot 4"); },
         "[#FTDepot 4" + std::string(25, ' ') + "] short",
         {"Setting User", "User Set"}},
        {[&] { session.SetUser(user40); },
         "[#FT" + user40 + "] short",
         {"Setting User", "User Set"}},
        {[&] { session.SendRaw("#LD x"); }, "[#LD x] short", {"Sending#LD x", "Sent!"}},
        {[&] { session.Stop(); }, "[#A] short", {"Stopping...", "Aborted"}},
        {[&] {
             prompts.AnswerYes();
             session.ClearMemory();
         },
         "[#CA] short",
         {"Clearing memory",
          "When live data appears on the Live Monitor, the clear has been completed."}},
    };
    ASSERT_TRUE(session.OpenToolsPort(3));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        ports.log.Clear();
        view.statuses.clear();
        c.press();
        // A reply may follow; the command went out whole at its pace first.
        EXPECT_EQ(ports.log.Steps().at(0), "link " + c.step);
        EXPECT_EQ(view.statuses, c.statuses);
    }
    // The padded user text becomes the toolkit's too.
    EXPECT_EQ(usersSet, (Texts{"Depot 4" + std::string(25, ' '), user40}));

    // Clear Memory asks first; No sends nothing.
    port.written.clear();
    prompts.AnswerNo();
    session.ClearMemory();
    EXPECT_EQ(port.written, "");
    EXPECT_EQ(prompts.Texts(), Texts(2, "Are you sure you want to clear the memory?"));
}

TEST_F(ToolsSessionTest, AfterTheLocatorWentAwayASendDoesNotClaimSuccess) {
    ASSERT_TRUE(session.OpenToolsPort(3));
    port.Close(); // as the real port does when its device disappears
    port.onDeviceLost();
    session.SetDate();
    EXPECT_EQ(port.written, "MM");
    EXPECT_EQ(view.statuses, (Texts{"The Locator was disconnected.", "Setting Date",
                                    "The port is not open: the command was not sent."}));
}

TEST_F(ToolsSessionTest, AClickWhileACommandGoesOutDoesNotMixIntoIt) {
    ASSERT_TRUE(session.OpenToolsPort(3));
    port.written.clear();
    pacer.onLetEventsRun = [&] {
        if (port.written == "#") {
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

TEST_F(ToolsSessionTest, EveryChunkScrollsTheMonitorAndIsOneLineOfTheLogAtOnce) {
    ASSERT_TRUE(session.CreateLog(dir / "log.lgd"));
    ASSERT_TRUE(session.OpenToolsPort(3));
    std::string expectedLog;
    for (int i = 1; i <= 7; ++i) {
        const std::string chunk = "chunk " + std::to_string(i) + (i == 4 ? "\r\n\x1a\xe9" : "");
        Receive(chunk);
        expectedLog += chunk + "\r\n";
        EXPECT_EQ(Log(), expectedLog);
    }
    EXPECT_EQ(view.lines, (MonitorLines::Lines{"chunk 7", "chunk 6", "chunk 5",
                                               "chunk 4\r\n\x1a\xe9", "chunk 3", "chunk 2"}));
}

TEST_F(ToolsSessionTest, LineEventsAreIgnoredAndOtherEventsAreCommsErrors) {
    ASSERT_TRUE(session.CreateLog(dir / "log.lgd"));
    for (int code : {1, 3, 4, 5, 7, PortEvent::kOverrun, 6})
        port.onEvent(PortEvent{code, {}});
    EXPECT_EQ(prompts.Texts(), (Texts{"Comms error: 1006", "Comms error: 6"}));
    EXPECT_EQ(view.lines, MonitorLines::Lines{});
    EXPECT_EQ(Log(), "");
}

TEST_F(ToolsSessionTest, AChunkArrivingWhileOneIsHandledComesRightAfterIt) {
    ASSERT_TRUE(session.CreateLog(dir / "log.lgd"));
    view.onMonitor = [&] {
        if (view.lines[0] == "first") {
            Receive("second");
            EXPECT_EQ(view.lines[0], "first"); // not handled inside the first one's run
        }
    };
    Receive("first");
    EXPECT_EQ(view.lines[0], "second");
    EXPECT_EQ(view.lines[1], "first");
    EXPECT_EQ(Log(), "first\r\nsecond\r\n");
}

} // namespace
} // namespace tarvik
