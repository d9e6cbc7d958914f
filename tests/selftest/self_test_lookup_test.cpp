#include "link/link_fakes.h"
#include "selftest/self_test_lookup.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

class RecordingSelfTestView final : public SelfTestView {
public:
    void EnableCalendar(bool on) override { calendar = on; }
    void EnableStopButton(bool) override {}
    void FlashStatus(const std::string& text, int count, std::uint32_t) override {
        flashes.push_back(text + "|" + std::to_string(count));
    }
    void StopStatusFlash() override {}
    void SetMonitorTimer(bool on) override { timer = on; }
    void ShowLookupOver(bool) override { over = true; }

    bool calendar = true, timer = false, over = false;
    std::vector<std::string> flashes;
};

const char* const kFailFlash = "Fail condition found for that date. Certificate NOT retrieved.|10";
const char* const kFailMessage =
    "A Fail condition was recorded for that date. Certificate not retrieved.";

class LookupTest : public ::testing::Test, protected test::InProcessLink {
protected:
    LookupTest() : InProcessLink({2026, 12, 6, 10, 0, 5}) {
        view.lastDownload = "01/12/26";
        view.identity = {"Crew", "KVZ3", "12345", ""};
        current = {dir / "elsewhere", "mine.lgd"};
    }

    // A locator with these records (silent: it answers only what the test sends) and a
    // click on 5 December 2026.
    void PlugAndClick(std::vector<std::string> records, bool silent = false) {
        sim::LocatorSettings settings;
        settings.records = std::move(records);
        settings.silent = silent;
        LinkTo(1, settings);
        Click();
    }
    void Click() {
        lookup.MonthView1_DateClick({2026, 12, 5});
        EXPECT_FALSE(lookupView.calendar);
    }
    void Receive(const std::string& chunk) { session.MSComm1_OnComm({PortEvent::kReceive, chunk}); }

    void ExpectEndedCleanly() {
        EXPECT_TRUE(lookupView.calendar);
        EXPECT_FALSE(lookupView.timer);
        EXPECT_EQ(current.Path(), dir / "elsewhere" / "mine.lgd");
        EXPECT_FALSE(session.flags.SelfTestLookupPending);
        EXPECT_FALSE(file1.IsOpen());
    }

    static std::string Record(const std::string& time, char letter) {
        return "051226" + time + "0017999111600-02-01" + letter;
    }

    test::TempDir dir;
    Folders folders{dir / "Documents", dir / "AppData"};
    RecordingSelfTestView lookupView;
    CurrentDataFile current;
    std::vector<CertificateDetails> certificates;
    SelfTestLookup lookup{session, lookupView, folders, current,
                          [this](const CertificateDetails& d) {
                              certificates.push_back(d);
                              return CertificateResult{folders.CertsFolder() / "c.pdf", {}};
                          }};
};

TEST_F(LookupTest, APassOfTheDayMakesACertificate) {
    sim::LocatorSettings settings;
    settings.records = {"0412260800000017999111600-02-01P", Record("091230", 'P'),
                        Record("091231", 'G')};
    LinkTo(1, settings);
    ports.log.Clear();
    Click();
    lookup.tmrSTDLMonitor_Timer();
    // The receive buffer is emptied first and the request goes out at the short pace, DTR
    // off.
    const std::vector<std::string> steps = ports.log.Steps();
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(steps.begin(), steps.begin() + 3),
              (std::vector<std::string>{"link dtr off", "link flush",
                                        "link [#DD05/12/26:05/12/26] short"}));
    EXPECT_EQ(steps.back(), "link dtr on");
    EXPECT_TRUE(prompts.shown().empty());
    ASSERT_EQ(certificates.size(), 1u);
    EXPECT_EQ(certificates[0].passDate + " " + certificates[0].passTime + " " +
                  certificates[0].serial,
              "05/12/26 09:12:30 12345");
    EXPECT_EQ(lookupView.flashes,
              (std::vector<std::string>{
                  "Checking for a System Validation completed on the chosen date.|20",
                  "Retrieving certificate|10",
                  "Certificate successfully retrieved. Go to 'Connect' tab to review.|5"}));
    // The reply stays in the temporary file of the data folder.
    EXPECT_EQ(test::ReadBytes(folders.DataFolder() / "~LastSTPass.tmp"),
              Record("091230", 'P') + "\r\n" + Record("091231", 'G') + "\r\n\x1a");
    ExpectEndedCleanly();
}

TEST_F(LookupTest, AnEmptyDaySaysSoAndTheCommandWordFollowsTheModel) {
    PlugAndClick({});
    lookup.tmrSTDLMonitor_Timer();
    EXPECT_EQ(
        prompts.Texts(),
        std::vector<std::string>{"No test result was found for that day. Please choose another."});
    EXPECT_EQ(view.statuses.back(), "");
    EXPECT_EQ(link.written, "#DD05/12/26:05/12/26");
    for (const auto& [model, word] : std::vector<std::pair<std::string, std::string>>{
             {"KVZ3ND", "#ND"}, {"KVZ3nd", "#ND"}, {"KVZ3Nd", "#DD"}}) {
        view.identity.model = model;
        link.written.clear();
        Click();
        lookup.tmrSTDLMonitor_Timer();
        EXPECT_EQ(link.written.substr(0, 3), word) << model;
        ExpectEndedCleanly();
    }
}

TEST_F(LookupTest, AReplyThatKeepsComingIsWaitedForHoweverLongItTakes) {
    PlugAndClick({}, true);
    // A busy day: a piece every few ticks, for far longer than thirty seconds.
    for (int tick = 0; tick < 4 * SelfTestLookup::kTimeoutTicks; ++tick) {
        if (tick % 5 == 0)
            Receive(Record("0800" + std::to_string(10 + tick % 50), 'G') + "\r\n");
        lookup.tmrSTDLMonitor_Timer();
    }
    EXPECT_TRUE(prompts.shown().empty());
    Receive(Record("091230", 'P') + "\r\n\x1a");
    lookup.tmrSTDLMonitor_Timer();
    ASSERT_EQ(certificates.size(), 1u);
    EXPECT_EQ(certificates[0].passTime, "09:12:30");
    ExpectEndedCleanly();
}

TEST_F(LookupTest, ASilentReplyIsGivenUpAndItsLateTailAnswersNothing) {
    PlugAndClick({}, true);
    // Thirty seconds of silence count from the last piece received.
    for (int tick = 1; tick < SelfTestLookup::kTimeoutTicks; ++tick)
        lookup.tmrSTDLMonitor_Timer();
    Receive(Record("091230", 'P') + "\r\n");
    for (int tick = 0; tick < SelfTestLookup::kTimeoutTicks; ++tick)
        lookup.tmrSTDLMonitor_Timer();
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_TRUE(lookupView.timer);
    lookup.tmrSTDLMonitor_Timer();
    ASSERT_EQ(prompts.Texts().size(), 1u);
    EXPECT_TRUE(prompts.Texts()[0].starts_with("The locator stopped answering"))
        << prompts.Texts()[0];
    ExpectEndedCleanly();

    // The tail of the given-up reply comes late: it is dropped, and it is not the next
    // lookup's reply.
    const std::string tail = Record("091231", 'G') + "\r\n\x1a";
    Receive(tail);
    EXPECT_NE(view.monitor, tail);
    EXPECT_EQ(test::ReadBytes(folders.DataFolder() / "~LastSTPass.tmp"),
              Record("091230", 'P') + "\r\n");
    lookup.MonthView1_DateClick({2026, 12, 6});
    lookup.tmrSTDLMonitor_Timer();
    EXPECT_TRUE(lookupView.timer); // still waiting for its own reply
    Receive("0612260800000017999111600-02-01F\r\n\x1a");
    lookup.tmrSTDLMonitor_Timer();
    EXPECT_EQ(prompts.Texts().back(), kFailMessage);
    EXPECT_TRUE(certificates.empty());
}

// A pass, then a fail after a reader released file #1 (as View Current, Export or a data
// viewer do to the current file): no chunk is lost, the fail decides.
TEST_F(LookupTest, AFailOfTheDaySaysSoAlsoWhenFileOneWasReleasedMidReply) {
    PlugAndClick({}, true);
    Receive(Record("091230", 'P') + "\r\n");
    file1.Close();
    Receive(Record("101500", 'F') + "\r\n\x1a");
    lookup.tmrSTDLMonitor_Timer();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kFailMessage});
    EXPECT_EQ(lookupView.flashes.back(), kFailFlash);
    EXPECT_TRUE(certificates.empty());
    ExpectEndedCleanly();
}

TEST_F(LookupTest, AnEndedLinkEndsTheLookupAndSaysSo) {
    PlugAndClick({}, true);
    Receive(Record("091230", 'P') + "\r\n");
    session.Disconnect();
    ASSERT_EQ(prompts.Texts().size(), 1u);
    EXPECT_TRUE(prompts.Texts()[0].starts_with("The self-test lookup did not complete"));
    ExpectEndedCleanly();
    EXPECT_TRUE(lookupView.over);
    lookup.tmrSTDLMonitor_Timer(); // a tick already queued does nothing
    EXPECT_TRUE(certificates.empty());
    EXPECT_EQ(prompts.Texts().size(), 1u);

    // A file opened during a lookup stays the current one when the lookup ends.
    link.Open(1, PortRole::Link);
    Click();
    current = {dir / "opened", "other.lgd"};
    link.Unplug();
    EXPECT_EQ(current.Path(), dir / "opened" / "other.lgd");
    EXPECT_TRUE(lookupView.calendar);
}

} // namespace
} // namespace tarvik
