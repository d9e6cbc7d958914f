#include "service/frm_tools.h"
#include "service/open_service_tools.h"

#include "link/link_fakes.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

#include <utility>

namespace tarvik {
namespace {

std::string Joined(const test::Texts& texts) {
    std::string joined;
    for (std::size_t i = 0; i < texts.size(); ++i)
        joined += (i ? "|" : "") + texts[i];
    return joined;
}

std::string Text(const QLabel* label) {
    return label->text().toLatin1().toStdString();
}

class ServiceWindowTest : public ::testing::Test {
protected:
    ServiceWindowTest() { ports.Plug(3, test::SilentLocator()); }
    ~ServiceWindowTest() override { delete window.data(); }

    // Opens the window with scripted answers to the password and port questions.
    frmTools* Open(std::vector<std::optional<std::string>> answers) {
        for (auto& answer : answers)
            prompts.AnswerText(std::move(answer));
        auto fake = std::make_unique<test::SimulatedPorts::Port>(ports);
        port = fake.get();
        auto zero = std::make_unique<test::ZeroPacer>();
        pacer = zero.get();
        pacer->log = &ports.log;
        window = OpenServiceTools(
            nullptr, prompts, clock, folders, current, [this] { ++exits; }, std::move(fake),
            std::move(zero));
        return window;
    }

    void Receive(const std::string& chunk) { port->onEvent(PortEvent{PortEvent::kReceive, chunk}); }

    test::TempDir dir;
    Folders folders{dir / "Documents", dir / "AppData"};
    CurrentDataFile current{dir.path(), "earlier.lgd"};
    test::SimulatedPorts ports;
    test::ScriptedPrompts prompts;
    FixedClock clock{DateTime{2026, 12, 5, 9, 7, 3}};
    test::SimulatedPorts::Port* port = nullptr;
    test::ZeroPacer* pacer = nullptr;
    QPointer<frmTools> window;
    int exits = 0;
};

TEST_F(ServiceWindowTest, OpensWithMmShowsEveryChunkInMonitorAndLogAndClosesPortAndLog) {
    ASSERT_TRUE(Open({"millrace", "3"}));
    EXPECT_EQ(prompts.shown()[0].kind, test::ScriptedPrompts::Shown::Kind::HiddenText);
    EXPECT_EQ(prompts.shown()[0].title + "|" + prompts.shown()[1].title, "Password|Port");
    EXPECT_EQ(window->txtPort->text(), "3");
    // "MM" in one unpaced write with DTR off; DTR is raised after it.
    EXPECT_EQ(Joined(ports.log.Steps()), "link open 3|link dtr off|link [MM]|link dtr on");
    const auto log = folders.documents / "tarvik" / "Troubleshoot [] [05122026090703].lgd";
    EXPECT_EQ(current.Path(), log);

    // Each chunk is one line of the log at once, with DTR off while it is handled.
    ports.log.Clear();
    std::string expectedLog, expectedSteps;
    for (int i = 1; i <= 7; ++i) {
        const std::string chunk = "chunk " + std::to_string(i) + (i == 4 ? "\r\n\x1a\xe9" : "");
        Receive(chunk);
        expectedLog += chunk + "\r\n";
        expectedSteps += std::string(i > 1 ? "|" : "") + "link dtr off|link dtr on";
        EXPECT_EQ(test::ReadBytes(log), expectedLog);
    }
    EXPECT_EQ(Joined(ports.log.Steps()), expectedSteps);
    test::Texts monitor;
    for (const QLineEdit* line : window->txtMonitor)
        monitor.push_back(line->text().toLatin1().toStdString());
    EXPECT_EQ(Joined(monitor), "chunk 7|chunk 6|chunk 5|chunk 4\r\n\x1a\xe9|chunk 3|chunk 2");
    // Line events are nothing to tell; any other event is a comms error, and neither is data.
    prompts.Clear();
    for (int code : {1, 3, 4, 5, 7, PortEvent::kOverrun, 6})
        port->onEvent(PortEvent{code, {}});
    EXPECT_EQ(Joined(prompts.Texts()), "Comms error: 1006|Comms error: 6");
    EXPECT_EQ(test::ReadBytes(log), expectedLog);

    std::string opened;
    window->setLogOpener([&](const std::filesystem::path& file) {
        opened = file.string() + ":" + test::ReadBytes(file);
        return true;
    });
    window->cmdOpenFile->click();
    EXPECT_EQ(opened, log.string() + ":" + expectedLog);

    // Closed during a send: nothing more goes out, and the window goes once the send returned.
    ports.log.Clear();
    bool aliveAfterClosing = false;
    pacer->onLetEventsRun = [&] {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        aliveAfterClosing = !window.isNull();
    };
    window->cmdReadStoredParameters->click();
    EXPECT_TRUE(aliveAfterClosing);
    EXPECT_EQ(Joined(ports.log.Steps()), "link [#] long|link close");
    Receive("after close"); // a late event finds the log closed
    EXPECT_EQ(test::ReadBytes(log), expectedLog);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(ServiceWindowTest, AWrongPasswordEndsTheProgramAndACancelledPortQuestionTheWindow) {
    using Answers = std::vector<std::optional<std::string>>;
    // One answer is a refused password, which ends the program; two a cancelled port question.
    for (const Answers& answers : std::vector<Answers>{
             {"Millrace"}, {" millrace"}, {""}, {std::nullopt}, {"millrace", std::nullopt}}) {
        exits = 0;
        prompts.Clear();
        EXPECT_EQ(Open(answers), nullptr);
        EXPECT_EQ(exits, answers.size() == 1 ? 1 : 0);
        EXPECT_EQ(prompts.shown().size(), answers.size()); // no port question after a refusal
        EXPECT_TRUE(port->openedPorts.empty());
        EXPECT_EQ(current.name, "earlier.lgd");
        EXPECT_FALSE(std::filesystem::exists(folders.documents));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty()); // it deleted itself
    }
}

TEST_F(ServiceWindowTest, APortIsAskedUntilOneOpensAndALogThatCannotBeCreatedIsSaid) {
    ports.Plug(16, {});
    test::WriteBytes(folders.documents / "tarvik", ""); // a file where the folder should be
    ASSERT_TRUE(Open({"millrace", "0", "17", "three", "", "9", "16"}));
    const std::string again =
        "|Enter the port to use|The port must be a whole number from 1 to 16.";
    const std::string asked = "Enter your passwword" + again + again + again + again +
                              "|Enter the port to use|COM9 could not be opened.|Enter the port "
                              "to use|The troubleshoot log ";
    EXPECT_EQ(Joined(prompts.Texts()).substr(0, asked.size()), asked);
    EXPECT_EQ(port->openedPorts, (std::vector<int>{9, 16}));
    EXPECT_EQ(current.name, "earlier.lgd");
    // A short identity reply fills the boxes with what it holds; the monitor scrolls down.
    window->txtModel->setText("old");
    Receive("#XDepot___");
    Receive("still shown");
    const frmTools& w = *window;
    EXPECT_EQ(w.txtMonitor[0]->text() + "|" + w.txtMonitor[1]->text(), "still shown|#XDepot___");
    EXPECT_EQ(w.txtUser->text() + "|" + w.txtModel->text() + "|" + w.txtSerialNo->text(),
              "Depot||");
    EXPECT_EQ(Text(w.lblUserChars), "-27 left-");
}

// While a command goes out its first status shows and every command is disabled.
TEST_F(ServiceWindowTest, EachButtonSendsWhatItsBoxesHoldAtItsPaceBetweenItsTwoStatusTexts) {
    ASSERT_TRUE(Open({"millrace", "3"}));
    frmTools& w = *window;
    test::Texts users;
    w.setUserTextHandler([&](const std::string& padded) { users.push_back(padded); });
    std::string during;
    bool enabledDuringASend = false, clickedMeanwhile = false;
    pacer->onLetEventsRun = [&] {
        during = Text(w.lblStatus);
        enabledDuringASend |= w.cmdStop->isEnabled();
        // A click reaching the window meanwhile must not mix its bytes into this command.
        if (!std::exchange(clickedMeanwhile, true)) {
            w.cmdReadStoredParameters_Click();
            w.cmdSetUser_Click();
            w.cmdClearMem_Click(); // not even its question
        }
    };
    w.txtModel->setText("AB");
    w.txtSerialNo->setText("123");
    w.txtUser->setText("Depot 4");
    w.txtSend->setText(QString::fromLatin1("h\xe9llo"));
    const std::string user40 = "A user text of forty characters, exactly";
    for (const auto& [button, wire, statuses] :
         std::vector<std::tuple<QPushButton*, std::string, std::string>>{
             {w.cmdReadDateTime, "[#AE] long", "Getting Date and Time|Parameters received"},
             {w.cmdReadStoredParameters, "[#X] long",
              "Getting Serial No., Model, User|Parameters received"},
             {w.cmdResetMemPointer, "[#FW0000] short", "Resetting memory|Memory Reset"},
             {w.cmdSetSerialModel, "[#SSAB      123     ] short",
              "Setting Serial No. / Model|Serial No. / Model set"},
             {w.cmdSetDate, "[#DS05/12/26] short", "Setting Date|Date set"},
             {w.cmdSetTime, "[#TS09:07:03] short", "Setting time|Time set"},
             {w.cmdSetUser, "[#FTDepot 4" + std::string(25, ' ') + "] short",
              "Setting User|User Set"},
             {w.cmdSend, "[h\xe9llo] short", "Sendingh\xe9llo|Sent!"},
             {w.cmdStop, "[#A] short", "Stopping...|Aborted"},
             {w.cmdClearMem, "[#CA] short",
              "Clearing memory|When live data appears on the Live Monitor, the clear has been "
              "completed."}}) {
        SCOPED_TRACE(wire);
        if (button == w.cmdClearMem)
            prompts.AnswerYes();
        ports.log.Clear();
        button->click();
        EXPECT_EQ(Joined(ports.log.Steps()), "link " + wire);
        EXPECT_EQ(during + "|" + Text(w.lblStatus), statuses);
    }
    EXPECT_FALSE(enabledDuringASend);
    EXPECT_TRUE(w.cmdStop->isEnabled());
    // Forty characters go out as they are, and the count goes below zero.
    w.txtUser->setText(QString::fromLatin1(user40));
    ports.log.Clear();
    w.cmdSetUser->click();
    EXPECT_EQ(Joined(ports.log.Steps()), "link [#FT" + user40 + "] short");
    EXPECT_EQ(Joined(users), "Depot 4" + std::string(25, ' ') + "|" + user40);
    EXPECT_EQ(Text(w.lblUserChars), "--8 left-");

    // Clear Memory asks first, and No sends nothing; Reset Memory does nothing at all.
    ports.log.Clear();
    prompts.AnswerNo();
    w.cmdClearMem->click();
    w.cmdResetMem->click();
    EXPECT_EQ(Joined(ports.log.Steps()), "");
    EXPECT_EQ(prompts.Texts().size(), 4u);
    EXPECT_EQ(prompts.Texts().back(), "Are you sure you want to clear the memory?");

    // Once the locator went away a send says it did not go out.
    port->Unplug();
    w.cmdSetDate->click();
    EXPECT_EQ(Text(w.lblStatus), "The port is not open: the command was not sent.");
}

} // namespace
} // namespace tarvik
