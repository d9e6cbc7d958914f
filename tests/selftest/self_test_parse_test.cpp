#include "selftest/self_test_parse.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using Result = SelfTestOutcome::Result;
using Note = SelfTestOutcome::Note;

std::string Record(const std::string& dateTime, char letter) {
    return dateTime + "0017999111600-02-01" + letter + "\r\n";
}

TEST(SelfTestParse, TheLastVerdictDecides) {
    const std::string pass = Record("051226091230", 'P');
    const std::string good = Record("051226091231", 'G');
    const std::string fail = Record("051226091300", 'F');

    SelfTestOutcome o = ParseSelfTestReply(pass + good + Record("051226091232", 'B') + "\x1a");
    EXPECT_EQ(o.result, Result::Pass);
    EXPECT_EQ(o.note, Note::None);
    EXPECT_EQ(o.passDate, "05/12/26");
    EXPECT_EQ(o.passTime, "09:12:30");

    EXPECT_EQ(ParseSelfTestReply(pass + fail + "\x1a").result, Result::Fail);
    EXPECT_EQ(ParseSelfTestReply(fail + pass + "\x1a").result, Result::Pass);
    EXPECT_EQ(ParseSelfTestReply(good + good + "\x1a").result, Result::Fail);

    o = ParseSelfTestReply(pass + "0512260912330017999111600-02-01X\r\n\x1a");
    EXPECT_EQ(o.result, Result::Indeterminate);
    EXPECT_EQ(o.note, Note::SuspectData);

    // A blank line is suspect too; what follows the end mark is not read.
    EXPECT_EQ(ParseSelfTestReply(pass + "\r\n" + good + "\x1a").note, Note::SuspectData);
    EXPECT_EQ(ParseSelfTestReply(pass + "\x1a" + "junkX\r\n").result, Result::Pass);

    o = ParseSelfTestReply("\x1a");
    EXPECT_EQ(o.result, Result::Indeterminate);
    EXPECT_EQ(o.note, Note::Empty);
}

TEST(SelfTestParse, EachOutcomeHasItsMessageAndStatus) {
    SelfTestOutcome pass{Result::Pass, Note::None, "05/12/26", "09:12:30"};
    SelfTestDecision d = DecideSelfTest(pass);
    EXPECT_FALSE(d.message);
    EXPECT_EQ(d.status, "Retrieving certificate");
    EXPECT_EQ(d.flashCount, 10);
    EXPECT_TRUE(d.createCertificate);

    pass.note = Note::SuspectData;
    EXPECT_EQ(DecideSelfTest(pass).message, "Pass found, Certificate will be retrieved.\r\nNOTE: "
                                            "Data may be corrupted, contact support.");

    d = DecideSelfTest({Result::Fail, Note::None, {}, {}});
    EXPECT_EQ(d.message, "A Fail condition was recorded for that date. Certificate not retrieved.");
    EXPECT_EQ(d.status, "Fail condition found for that date. Certificate NOT retrieved.");
    EXPECT_FALSE(d.createCertificate);
    EXPECT_EQ(DecideSelfTest({Result::Fail, Note::SuspectData, {}, {}}).message,
              "A Fail condition was recorded for that date. NOTE: Data may be corrupted, contact "
              "support.");

    d = DecideSelfTest({Result::Indeterminate, Note::Empty, {}, {}});
    EXPECT_EQ(d.message, "No test result was found for that day. Please choose another.");
    EXPECT_EQ(d.status, "");
    EXPECT_EQ(DecideSelfTest({Result::Indeterminate, Note::SuspectData, {}, {}}).message,
              "No test result was found for that day. Please choose another. NOTE: Data may be "
              "corrupted, contact support.");
}

} // namespace
} // namespace tarvik
