#include "selftest/self_test_parse.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using Result = SelfTestOutcome::Result;
using Note = SelfTestOutcome::Note;

std::string Record(const std::string& time, char letter) {
    return "051226" + time + "0017999111600-02-01" + letter + "\r\n";
}

TEST(SelfTestParse, TheLastVerdictDecides) {
    const std::string pass = Record("091230", 'P'), good = Record("091231", 'G'),
                      fail = Record("091300", 'F');
    const struct {
        std::string reply;
        Result result;
        Note note;
    } cases[] = {
        {pass + good + Record("091232", 'B') + "\x1a", Result::Pass, Note::None},
        {pass + fail + "\x1a", Result::Fail, Note::None},
        {fail + pass + "\x1a", Result::Pass, Note::None},
        {good + good + "\x1a", Result::Fail, Note::None},
        {pass + Record("091233", 'X') + "\x1a", Result::Indeterminate, Note::SuspectData},
        {pass + "\r\n" + good + "\x1a", Result::Indeterminate, Note::SuspectData}, // blank line
        {pass + "\x1a" + "junkX\r\n", Result::Pass, Note::None}, // after the end mark: unread
        {"\x1a", Result::Indeterminate, Note::Empty},
    };
    for (const auto& c : cases) {
        const SelfTestOutcome o = ParseSelfTestReply(c.reply);
        EXPECT_EQ(o.result, c.result) << c.reply;
        EXPECT_EQ(o.note, c.note) << c.reply;
    }
    const SelfTestOutcome o = ParseSelfTestReply(cases[0].reply);
    EXPECT_EQ(o.passDate + " " + o.passTime, "05/12/26 09:12:30");
}

TEST(SelfTestParse, EachOutcomeHasItsMessageAndStatus) {
    const std::string suspect = "NOTE: Data may be corrupted, contact support.";
    const std::string fail = "A Fail condition was recorded for that date.";
    const std::string none = "No test result was found for that day. Please choose another.";
    const struct {
        Result result;
        Note note;
        std::optional<std::string> message;
        std::string status;
        bool certificate;
    } cases[] = {
        {Result::Pass, Note::None, std::nullopt, "Retrieving certificate", true},
        {Result::Pass, Note::SuspectData,
         "Pass found, Certificate will be retrieved.\r\n" + suspect, "Retrieving certificate",
         true},
        {Result::Fail, Note::None, fail + " Certificate not retrieved.",
         "Fail condition found for that date. Certificate NOT retrieved.", false},
        {Result::Fail, Note::SuspectData, fail + " " + suspect,
         "Fail condition found for that date. Certificate NOT retrieved.", false},
        {Result::Indeterminate, Note::Empty, none, "", false},
        {Result::Indeterminate, Note::SuspectData, none + " " + suspect, "", false},
    };
    for (const auto& c : cases) {
        const SelfTestDecision d = DecideSelfTest({c.result, c.note, "05/12/26", "09:12:30"});
        EXPECT_EQ(d.message, c.message) << c.status;
        EXPECT_EQ(d.status, c.status);
        EXPECT_EQ(d.createCertificate, c.certificate) << c.status;
    }
    EXPECT_EQ(DecideSelfTest({Result::Pass, Note::None, {}, {}}).flashCount, 10);
}

} // namespace
} // namespace tarvik
