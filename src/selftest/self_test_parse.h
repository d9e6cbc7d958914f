#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// What the records of one day say about the locator's self test.
struct SelfTestOutcome {
    enum class Result { Pass, Fail, Indeterminate };
    enum class Note { None, Empty, SuspectData };

    Result result = Result::Fail;
    Note note = Note::None;
    std::string passDate; // "dd/mm/yy" of the last pass record
    std::string passTime; // "hh:mm:ss" of the last pass record
};

// The judgement of a day's records one line at a time, in file order: each line is judged by its
// last character ("P" pass, "F" fail, "G"/"B" no change, anything else or an empty line
// suspect); the last line with a verdict decides.
class SelfTestJudge {
public:
    void AddLine(std::string_view line);
    // The outcome so far; with no line at all it is indeterminate with the note Empty.
    SelfTestOutcome Outcome() const;
    // True once a "P" or "F" line was seen.
    bool SawTestRecord() const { return sawTestRecord_; }

private:
    SelfTestOutcome outcome_;
    bool anyLine_ = false;
    bool sawTestRecord_ = false;
};

// Reads the reply to a one-day lookup: the records up to the character 26 or the end, judged
// as SelfTestJudge does.
SelfTestOutcome ParseSelfTestReply(std::string_view reply);

// What the toolkit says and does about an outcome.
struct SelfTestDecision {
    std::optional<std::string> message; // an OK message box, when there is one
    std::string status;                 // the status line afterwards ("" empties it)
    int flashCount = 0;                 // how often the status blinks (0: it does not)
    bool createCertificate = false;
};
SelfTestDecision DecideSelfTest(const SelfTestOutcome& outcome);

} // namespace tarvik
