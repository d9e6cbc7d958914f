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
        flashes += text + "|" + std::to_string(count) + "\n";
    }
    void StopStatusFlash() override {}
    void SetMonitorTimer(bool on) override { timer = on; }
    void ShowLookupOver(bool) override { over = true; }

    bool calendar = true, timer = false, over = false;
    std::string flashes;
};

std::string Record(const std::string& time, char letter, const std::string& date = "051226") {
    return date + time + "0017999111600-02-01" + letter;
}

class LookupTest : public ::testing::Test, protected test::InProcessLink {
protected:
    LookupTest() : InProcessLink({2026, 12, 6, 10, 0, 5}) {
        view.lastDownload = "01/12/26";
        view.identity = {"Crew", "KVZ3", "12345", ""};
        current = {dir / "elsewhere", "mine.lgd"};
    }

    // A locator with these records (silent: answers only what the test sends), then a click.
    void PlugAndClick(std::vector<std::string> records, bool silent = false) {
        sim::LocatorSettings settings;
        settings.records = std::move(records);
        settings.silent = silent;
        LinkTo(1, settings);
        ports.log.Clear();
        Click();
    }
    void Click(int day = 5) {
        link.written.clear();
        lookup.MonthView1_DateClick({2026, 12, day});
        EXPECT_FALSE(lookupView.calendar);
    }

    void ExpectEndedCleanly() {
        EXPECT_TRUE(lookupView.calendar);
        EXPECT_FALSE(lookupView.timer);
        EXPECT_EQ(current.Path(), dir / "elsewhere" / "mine.lgd");
        EXPECT_FALSE(session.flags.SelfTestLookupPending);
        EXPECT_FALSE(file1.IsOpen());
    }
    std::string Reply() const { return test::ReadBytes(folders.DataFolder() / "~LastSTPass.tmp"); }

    test::TempDir dir;
    Folders folders{dir / "Documents", dir / "AppData"};
    RecordingSelfTestView lookupView;
    CurrentDataFile current;
    std::vector<std::string> certificates;
    SelfTestLookup lookup{
        session, lookupView, folders, current, [this](const CertificateDetails& d) {
            certificates.push_back(d.passDate + " " + d.passTime + " " + d.serial);
            return CertificateResult{folders.CertsFolder() / "c.pdf", {}};
        }};
};

TEST_F(LookupTest, APassOfTheDayMakesACertificateAnEmptyDaySaysSo) {
    PlugAndClick({Record("080000", 'P', "041226"), Record("091230", 'P'), Record("091231", 'G')});
    lookup.tmrSTDLMonitor_Timer();
    // The receive buffer is emptied first and the request goes out at the short pace, DTR off.
    const std::vector<std::string> steps = ports.log.Steps();
    EXPECT_EQ(steps.size() > 3 ? steps[0] + "|" + steps[1] + "|" + steps[2] + "|" + steps.back()
                               : "",
              "link dtr off|link flush|link [#DD05/12/26:05/12/26] short|link dtr on");
    EXPECT_EQ(certificates, std::vector<std::string>{"05/12/26 09:12:30 12345"});
    EXPECT_EQ(lookupView.flashes,
              "Checking for a System Validation completed on the chosen date.|20\n"
              "Retrieving certificate|10\n"
              "Certificate successfully retrieved. Go to 'Connect' tab to review.|5\n");
    EXPECT_EQ(Reply(), Record("091230", 'P') + "\r\n" + Record("091231", 'G') + "\r\n\x1a");
    ExpectEndedCleanly();

    Click(6);
    lookup.tmrSTDLMonitor_Timer();
    EXPECT_EQ(
        prompts.Texts(),
        std::vector<std::string>{"No test result was found for that day. Please choose another."});
    EXPECT_EQ(view.statuses.back(), "");
    EXPECT_EQ(link.written, "#DD06/12/26:06/12/26");
    view.identity.model = "KVZ3nd"; // one without a log
    Click();
    lookup.tmrSTDLMonitor_Timer();
    EXPECT_EQ(link.written, "#ND05/12/26:05/12/26");
    ExpectEndedCleanly();
}

TEST_F(LookupTest, ASilentReplyIsGivenUpAndALinkEndedEndsTheLookup) {
    PlugAndClick({}, true);
    // Thirty seconds of silence count from the last piece received.
    for (int tick = 1; tick < SelfTestLookup::kTimeoutTicks; ++tick)
        lookup.tmrSTDLMonitor_Timer();
    Receive(Record("091230", 'P') + "\r\n");
    for (int tick = 0; tick < SelfTestLookup::kTimeoutTicks; ++tick)
        lookup.tmrSTDLMonitor_Timer();
    EXPECT_TRUE(prompts.shown().empty());
    lookup.tmrSTDLMonitor_Timer();
    ASSERT_EQ(prompts.Texts().size(), 1u);
    EXPECT_TRUE(prompts.Texts()[0].starts_with("The locator stopped answering"));
    ExpectEndedCleanly();
    const std::string tail = Record("091231", 'G') + "\r\n\x1a";
    Receive(tail);
    EXPECT_NE(view.monitor, tail);
    EXPECT_EQ(Reply(), Record("091230", 'P') + "\r\n");

    // The next lookup waits for its own reply, and loses none of it when a reader (View
    // Current, Export, a data viewer) released file #1 midway: the fail after the pass decides.
    Click(6);
    lookup.tmrSTDLMonitor_Timer();
    EXPECT_TRUE(lookupView.timer);
    Receive(Record("091230", 'P', "061226") + "\r\n");
    file1.Close();
    Receive(Record("101500", 'F', "061226") + "\r\n\x1a");
    lookup.tmrSTDLMonitor_Timer();
    EXPECT_EQ(prompts.Texts().back(),
              "A Fail condition was recorded for that date. Certificate not retrieved.");
    ExpectEndedCleanly();

    // An ended link ends a lookup and says so; a tick already queued does nothing.
    Click();
    Receive(Record("091230", 'P') + "\r\n");
    session.Disconnect();
    EXPECT_TRUE(prompts.Texts().back().starts_with("The self-test lookup did not complete"));
    ExpectEndedCleanly();
    EXPECT_TRUE(lookupView.over);
    lookup.tmrSTDLMonitor_Timer();
    EXPECT_TRUE(certificates.empty());
    EXPECT_EQ(prompts.Texts().size(), 3u);

    // A file opened during a lookup stays the current one when the lookup ends.
    link.Open(1, PortRole::Link);
    Click();
    current = {dir / "opened", "other.lgd"};
    link.Unplug();
    EXPECT_EQ(current.Path(), dir / "opened" / "other.lgd");
    EXPECT_TRUE(lookupView.calendar);
}

// A reply's decision: message, status and flashes, and the certificate of which pass.
TEST(SelfTestParse, TheLastVerdictOfTheReplyDecides) {
    const std::string pass = Record("091230", 'P') + "\r\n", good = Record("091231", 'G') + "\r\n",
                      fail = Record("091300", 'F') + "\r\n",
                      unreadable = Record("091233", 'X') + "\r\n";
    const std::string none = "No test result was found for that day. Please choose another.",
                      failed = "A Fail condition was recorded for that date.",
                      suspect = "NOTE: Data may be corrupted, contact support.",
                      retrieving = "Retrieving certificate|10|certificate 05/12/26 09:12:30",
                      notRetrieved =
                          "Fail condition found for that date. Certificate NOT retrieved.|10";
    const struct {
        std::string reply, decision;
    } cases[] = {
        {pass + good + Record("091232", 'B') + "\r\n\x1a", "|" + retrieving},
        {fail + pass + "\x1a", "|" + retrieving},
        {pass + "\x1a" + "junkX\r\n", "|" + retrieving}, // after the end mark: unread
        {unreadable + pass + "\x1a",
         "Pass found, Certificate will be retrieved.\r\n" + suspect + "|" + retrieving},
        {pass + fail + "\x1a", failed + " Certificate not retrieved.|" + notRetrieved},
        {good + good + "\x1a", failed + " Certificate not retrieved.|" + notRetrieved},
        {pass + unreadable + fail + "\x1a", failed + " " + suspect + "|" + notRetrieved},
        {pass + unreadable + "\x1a", none + " " + suspect + "||0"},
        {pass + "\r\n" + good + "\x1a", none + " " + suspect + "||0"}, // a blank line
        {"\x1a", none + "||0"},
    };
    for (const auto& c : cases) {
        const SelfTestOutcome outcome = ParseSelfTestReply(c.reply);
        const SelfTestDecision d = DecideSelfTest(outcome);
        EXPECT_EQ(d.message.value_or("") + "|" + d.status + "|" + std::to_string(d.flashCount) +
                      (d.createCertificate
                           ? "|certificate " + outcome.passDate + " " + outcome.passTime
                           : ""),
                  c.decision)
            << c.reply;
    }
}

} // namespace
} // namespace tarvik
