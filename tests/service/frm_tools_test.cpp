#include "service/frm_tools.h"
#include "service/open_service_tools.h"

#include "link/link_fakes.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

class ServiceWindowTest : public ::testing::Test {
protected:
    ServiceWindowTest() {
        ports.Plug(3, {});
        folders.documents = dir / "Documents";
        folders.appData = dir / "AppData";
        current = {folders.DataFolder(), "earlier.lgd"};
    }
    ~ServiceWindowTest() override { delete window.data(); }

    // Opens the window with scripted answers to the password and port prompts.
    frmTools* Open(std::vector<std::optional<std::string>> answers) {
        for (auto& answer : answers)
            prompts.AnswerText(std::move(answer));
        auto fake = std::make_unique<test::SimulatedPorts::Port>(ports);
        port = fake.get();
        auto zero = std::make_unique<test::ZeroPacer>();
        pacer = zero.get();
        window = OpenServiceTools(
            nullptr, prompts, clock, folders, current, [this] { ++exits; }, std::move(fake),
            std::move(zero));
        if (window)
            window->setLogOpener([this](const std::filesystem::path& file) {
                openedLogs.push_back(file);
                openedContents.push_back(test::ReadBytes(file));
                return true;
            });
        return window;
    }

    void Receive(const std::string& chunk) { port->onEvent(PortEvent{PortEvent::kReceive, chunk}); }

    std::filesystem::path LogPath() const {
        return folders.documents / "tarvik" / "Troubleshoot [] [05122026090703].lgd";
    }

    test::TempDir dir;
    Folders folders;
    CurrentDataFile current;
    test::SimulatedPorts ports;
    test::ScriptedPrompts prompts;
    FixedClock clock{DateTime{2026, 12, 5, 9, 7, 3}};
    test::SimulatedPorts::Port* port = nullptr;
    test::ZeroPacer* pacer = nullptr;
    QPointer<frmTools> window;
    int exits = 0;
    std::vector<std::filesystem::path> openedLogs;
    std::vector<std::string> openedContents;
};

TEST_F(ServiceWindowTest, TheRightPasswordOpensThePortSendsMmAndStartsTheLog) {
    ASSERT_TRUE(Open({"millrace", "3"}));
    EXPECT_EQ(exits, 0);
    using Kind = test::ScriptedPrompts::Shown::Kind;
    ASSERT_EQ(prompts.shown().size(), 2u);
    for (const auto& [shown, text, title, kind] :
         {std::tuple{prompts.shown()[0], "Enter your passwword", "Password", Kind::HiddenText},
          std::tuple{prompts.shown()[1], "Enter the port to use", "Port", Kind::Text}}) {
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.title, title);
        EXPECT_EQ(shown.kind, kind);
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Locator Setup Tools - Internal use only");
    EXPECT_EQ(window->txtPort->text(), "3");
    EXPECT_EQ(port->openNumber(), 3);
    EXPECT_EQ(port->written, "MM");
    EXPECT_EQ(pacer->waits, 0);
    EXPECT_EQ(current.Path(), LogPath());
    EXPECT_TRUE(std::filesystem::exists(LogPath()));
}

TEST_F(ServiceWindowTest, AnyOtherPasswordEndsTheProgramBeforeAPortIsTouched) {
    for (const std::optional<std::string>& answer :
         {std::optional<std::string>("millrace!"), std::optional<std::string>(""),
          std::optional<std::string>()}) {
        exits = 0;
        prompts.Clear();
        EXPECT_EQ(Open({answer}), nullptr);
        EXPECT_EQ(exits, 1);
        EXPECT_EQ(prompts.shown().size(), 1u); // no port prompt
        EXPECT_TRUE(port->openedPorts.empty());
        EXPECT_EQ(current.name, "earlier.lgd");
    }
}

TEST_F(ServiceWindowTest, APortAnswerOutsideOneToSixteenOrThatCannotBeOpenedIsAskedAgain) {
    ports.Plug(16, {});
    ASSERT_TRUE(Open({"millrace", "0", "17", "three", "", "9", "16"}));
    const std::string again = "The port must be a whole number from 1 to 16.";
    const std::string ask = "Enter the port to use";
    EXPECT_EQ(prompts.Texts(),
              (test::Texts{"Enter your passwword", ask, again, ask, again, ask, again, ask, again,
                           ask, "COM9 could not be opened.", ask}));
    EXPECT_EQ(port->openedPorts, (std::vector<int>{9, 16}));
    EXPECT_EQ(port->written, "MM");
}

TEST_F(ServiceWindowTest, CancellingThePortPromptClosesTheWindowWithoutAPortOrLog) {
    EXPECT_EQ(Open({"millrace", std::nullopt}), nullptr);
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(port->openedPorts.empty());
    EXPECT_FALSE(std::filesystem::exists(folders.documents / "tarvik"));
    EXPECT_EQ(current.name, "earlier.lgd");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(ServiceWindowTest, ButtonsSendWhatTheBoxesHold) {
    ASSERT_TRUE(Open({"millrace", "3"}));
    const QString user40 = QString(40, QLatin1Char('w'));
    QTest::keyClicks(window->txtUser, user40);
    EXPECT_EQ(window->lblUserChars->text(), "--8 left-");
    window->txtSend->setText(QString::fromLatin1("h\xe9llo"));
    port->written.clear();
    window->cmdSetUser->click();
    window->cmdResetMem->click(); // has no action
    window->cmdSend->click();
    EXPECT_EQ(port->written, "#FT" + user40.toStdString() + "h\xe9llo");
    EXPECT_EQ(window->lblStatus->text(), "Sent!");
}

TEST_F(ServiceWindowTest, OpenLogFileOpensTheCompleteLogAndClosingClosesPortAndLog) {
    ASSERT_TRUE(Open({"millrace", "3"}));
    Receive("one");
    Receive("two");
    window->cmdOpenFile->click();
    ASSERT_EQ(openedLogs, std::vector<std::filesystem::path>{LogPath()});
    EXPECT_EQ(openedContents[0], "one\r\ntwo\r\n");

    window->close();
    Receive("after close"); // a late event finds the log closed
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(test::ReadBytes(LogPath()), "one\r\ntwo\r\n");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(ServiceWindowTest, ClosingDuringASendStopsItAndDeletesTheWindowAfterwards) {
    ASSERT_TRUE(Open({"millrace", "3"}));
    port->written.clear();
    bool aliveDuringSend = false;
    pacer->onLetEventsRun = [&] {
        if (!window->isVisible())
            return;
        window->close();
        // Deferred deletions run whenever the pacer lets events run.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        aliveDuringSend = !window.isNull();
    };
    window->cmdReadStoredParameters->click();
    EXPECT_TRUE(aliveDuringSend);
    EXPECT_EQ(port->written, "#"); // nothing more went out on the closed port
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(ServiceWindowTest, ALogThatCannotBeCreatedIsSaidAndTheWindowStillShowsReplies) {
    test::WriteBytes(folders.documents / "tarvik", ""); // a file where the folder should be
    ASSERT_TRUE(Open({"millrace", "3"}));
    EXPECT_TRUE(prompts.shown().back().text.starts_with("The troubleshoot log "));
    EXPECT_EQ(current.name, "earlier.lgd");
    // A short identity reply fills the boxes with what it holds; the monitor scrolls down.
    window->txtModel->setText("old");
    Receive("#XDepot___");
    Receive("still shown");
    EXPECT_EQ(window->txtMonitor[0]->text(), "still shown");
    EXPECT_EQ(window->txtMonitor[1]->text(), "#XDepot___");
    EXPECT_EQ(window->txtUser->text(), "Depot");
    EXPECT_EQ(window->lblUserChars->text(), "-27 left-");
    EXPECT_EQ(window->txtModel->text() + window->txtSerialNo->text(), "");
}

} // namespace
} // namespace tarvik
