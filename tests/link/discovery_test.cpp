#include "link/discovery.h"
#include "link/link_fakes.h"
#include "link/port_naming.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvik {
namespace {

using test::Texts;

class DiscoveryTest : public ::testing::Test, protected test::InProcessLink {
protected:
    test::TempDir dir;
    Discovery discovery{session, dir / "tarvik" / "ports.ini"};
};

TEST_F(DiscoveryTest, AScanProbesComOneToSixteenAndLinksTheLocatorTheUserTakes) {
    // COM1 and COM2 refuse this user: named once with the fix, never called "not valid".
    probe.refuse = [](int n) {
        return n > 2 ? "" : NoPermissionText(n, "/dev/ttyS" + std::to_string(n));
    };
    ports.Plug(16, {.identity = {"Near", "PVZ3", "5", "V2.04"}});
    prompts.AnswerNo(); // not this one
    prompts.AnswerNo(); // no further search
    discovery.ScanAndConnect();
    EXPECT_EQ(prompts.Texts(),
              (Texts{"Locator type PVZ3, Serial Number 5. Use this connection?",
                     NoPermissionText(1, "/dev/ttyS1"), "No locator found. Search again?"}));
    EXPECT_EQ(view.statuses[2] + "|" + view.statuses[4] + "|" + view.statuses[6],
              NoPermissionText(1, "/dev/ttyS1") + "|" + NoPermissionText(2, "/dev/ttyS2") +
                  "|Port 3not valid.");
    EXPECT_EQ(probe.openedPorts.size(), 16u);
    EXPECT_FALSE(link.IsOpen() || std::filesystem::exists(dir / "tarvik"));
    probe.refuse = nullptr;

    ports.Plug(3, {.identity = {"Bert", "KVZ3", "1234", "V2.04"}});
    prompts.Clear();
    prompts.AnswerYes();
    view.statuses.clear();
    ports.log.Clear();
    discovery.ScanAndConnect();
    EXPECT_EQ(prompts.Texts(),
              Texts{"Locator type KVZ3, Serial Number 1234. Use this connection?"});
    EXPECT_EQ(view.statuses[2] + "|" + view.statuses[4] + "|" + view.statuses.back(),
              "Port 1not valid.|Port 2not valid.|Using port number 3");
    EXPECT_EQ(view.identity.user, "Bert"); // the fill removed
    EXPECT_EQ(view.firmware + " " + view.lastDownload, "V2.04 01/12/26");
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(test::ReadBytes(dir / "tarvik" / "ports.ini"), "\r\n1234,3\r\n");
    // Probe and link in turn, each command at its pace; every reply is handled with DTR off.
    EXPECT_EQ(
        ports.log.Steps(),
        (Texts{"probe open 3", "probe [#X] medium", "probe read 50", "probe [#FV] medium",
               "probe read 5", "wait medium x10", "probe close", "link open 3", "link [#LD] medium",
               "link dtr off", "link dtr on", "link [#ST] medium", "link dtr off", "link dtr on",
               "link [#AE] long", "link dtr off", "link dtr on"}));
}

TEST_F(DiscoveryTest, ASavedPortRefusedMissingSilentOrWithoutALog) {
    probe.refuse = [](int n) { return NoPermissionText(n, "/dev/ttyS" + std::to_string(n)); };
    discovery.cboLocators_Click(2);
    EXPECT_EQ(view.statuses.back() + "|" + prompts.Texts().at(0),
              NoPermissionText(2, "/dev/ttyS2") + "|" + NoPermissionText(2, "/dev/ttyS2"));
    probe.refuse = nullptr;
    prompts.Clear();
    discovery.cboLocators_Click(9);
    EXPECT_EQ(view.statuses.back(), "Port 9 not valid.");
    EXPECT_EQ(prompts.Texts(), Texts{"Connection information invalid (Port 9) Please click "
                                     "'Scan' to find the locator"});
    EXPECT_EQ(view.lamp, colours::kDarkRed);
    // A silent locator, and one whose identity is still short when the wait is over.
    const sim::LocatorSettings slow{
        .identity = {"S", "KVZ3", "1", "V2.04"}, .replyPieces = 2, .piecePauseMillis = 60000};
    for (const sim::LocatorSettings& locator : {sim::LocatorSettings{.silent = true}, slow}) {
        ports.Plug(2, locator);
        ports.log.Clear();
        discovery.cboLocators_Click(2);
        EXPECT_EQ(view.statuses.back(), "No communications received from locator. Ensure it is "
                                        "powered on or try 'Scan' to find the locator.");
        EXPECT_FALSE(probe.IsOpen() || link.IsOpen());
    }
    EXPECT_EQ(ports.log.Steps()[2], "probe read 25");

    ports.Plug(4, {.identity = {"Nora", "KVZ3nd", "77", "V2.04"}});
    prompts.Clear();
    prompts.AnswerYes();
    ports.log.Clear();
    discovery.cboLocators_Click(4);
    EXPECT_EQ(prompts.Texts(),
              Texts{"Locator type KVZ3nd, serial number 77. Use this connection?"});
    EXPECT_EQ(view.identity.user + "|" + view.identity.model + "|" + view.identity.serial,
              "Nora|KVZ3nd|77");
    EXPECT_TRUE(session.flags.NoLogModel && !view.transferFrame);
    EXPECT_EQ(view.lastDownload, "N/A");
    // The firmware reply came before the date, but the link had just opened: the handler
    // leaves the asking to the request that follows.
    EXPECT_EQ(link.written, "#FV#LD#ST");
}

} // namespace
} // namespace tarvik
