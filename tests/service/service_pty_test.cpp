// The service window over a real pseudo-terminal, with the simulator program on the other side.

#include "service/frm_tools.h"
#include "service/open_service_tools.h"

#include "link/event_loop_pacer.h"
#include "support/scripted_prompts.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace tarvik {
namespace {

TEST(ServicePty, ReadButtonsShowTheSimulatedLocatorsReplies) {
    test::TempDir dir;
    ::setenv("TARVIK_PORT_PATTERN", (dir.path() / "COM{n}").c_str(), 1);
    test::SimulatorProcess sim(dir / "COM3", {"--model", "KVZ3", "--serial", "5150", "--user",
                                              "Depot", "--chunk", "64-512"});
    ASSERT_TRUE(sim.Ready());
    CurrentDataFile current;
    test::ScriptedPrompts prompts;
    SystemClock clock;
    EventLoopPacer pacer;
    prompts.AnswerText("millrace");
    prompts.AnswerText("3");
    const QPointer<frmTools> window = OpenServiceTools(
        nullptr, prompts, clock, {dir / "Documents", dir / "AppData"}, current, [] { FAIL(); });
    ASSERT_TRUE(window);
    const auto deleteAtEnd = qScopeGuard([&] { delete window.data(); });
    auto log = [&] { return test::ReadBytes(current.Path()); };

    window->cmdReadDateTime->click();
    ASSERT_TRUE(WaitUntil(
        pacer, [&] { return !window->txtTime->text().isEmpty(); }, 10000));
    EXPECT_TRUE(
        std::regex_match((window->txtDate->text() + " " + window->txtTime->text()).toStdString(),
                         std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d)")));

    window->cmdReadStoredParameters->click();
    const std::string reply = "#XDepot" + std::string(27, '_') + "KVZ3____5150____";
    // Chunks of 64 characters or more bring each reply whole: one monitor line, one log line.
    ASSERT_TRUE(WaitUntil(
        pacer, [&] { return log().find("\r\n" + reply + "\r\n") != std::string::npos; }, 10000))
        << log();
    EXPECT_EQ(window->txtMonitor[0]->text().toStdString(), reply);
    // The short layout is read where discovery reads it, so a following "Set Serial No. /
    // Model" sends the locator's own values back, not blanks.
    EXPECT_EQ(window->txtUser->text() + "|" + window->txtModel->text() + "|" +
                  window->txtSerialNo->text(),
              "Depot|KVZ3|5150");
    EXPECT_EQ(prompts.Texts().size(), 2u) << prompts.Texts().back(); // no comms error

    window->close();
    EXPECT_EQ(log().find("#AE "), 0u) << log();
    ::unsetenv("TARVIK_PORT_PATTERN");
}

} // namespace
} // namespace tarvik
