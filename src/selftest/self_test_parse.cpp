#include "selftest/self_test_parse.h"

namespace tarvik {

namespace {

constexpr const char* kCorrupted = "NOTE: Data may be corrupted, contact support.";

std::string Piece(std::string_view line, std::size_t at) {
    return at < line.size() ? std::string(line.substr(at, 2)) : std::string();
}

} // namespace

void SelfTestJudge::AddLine(std::string_view line) {
    anyLine_ = true;
    const char last = line.empty() ? '\0' : line.back();
    switch (last) {
    case 'P':
        outcome_.result = SelfTestOutcome::Result::Pass;
        outcome_.passDate = Piece(line, 0) + "/" + Piece(line, 2) + "/" + Piece(line, 4);
        outcome_.passTime = Piece(line, 6) + ":" + Piece(line, 8) + ":" + Piece(line, 10);
        sawTestRecord_ = true;
        break;
    case 'F':
        outcome_.result = SelfTestOutcome::Result::Fail;
        sawTestRecord_ = true;
        break;
    case 'G':
    case 'B':
        break;
    default:
        outcome_.result = SelfTestOutcome::Result::Indeterminate;
        outcome_.note = SelfTestOutcome::Note::SuspectData;
    }
}

SelfTestOutcome SelfTestJudge::Outcome() const {
    if (anyLine_)
        return outcome_;
    SelfTestOutcome empty;
    empty.result = SelfTestOutcome::Result::Indeterminate;
    empty.note = SelfTestOutcome::Note::Empty;
    return empty;
}

SelfTestOutcome ParseSelfTestReply(std::string_view reply) {
    const std::size_t end = reply.find('\x1a');
    const std::string_view text = end == std::string_view::npos ? reply : reply.substr(0, end);
    SelfTestJudge judge;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string_view::npos)
            stop = text.size();
        const std::string_view line = text.substr(start, stop - start);
        // CR LF, a lone CR or a lone LF each end one line.
        start = stop;
        if (start < text.size() && text[start] == '\r')
            ++start;
        if (start < text.size() && text[start] == '\n')
            ++start;
        judge.AddLine(line);
    }
    return judge.Outcome();
}

SelfTestDecision DecideSelfTest(const SelfTestOutcome& outcome) {
    using Result = SelfTestOutcome::Result;
    using Note = SelfTestOutcome::Note;
    const bool suspect = outcome.note == Note::SuspectData;
    SelfTestDecision decision;
    switch (outcome.result) {
    case Result::Pass:
        if (suspect)
            decision.message =
                std::string("Pass found, Certificate will be retrieved.\r\n") + kCorrupted;
        decision.status = "Retrieving certificate";
        decision.flashCount = 10;
        decision.createCertificate = true;
        break;
    case Result::Fail:
        decision.message =
            suspect ? std::string("A Fail condition was recorded for that date. ") + kCorrupted
                    : "A Fail condition was recorded for that date. Certificate "
                      "not retrieved.";
        decision.status = "Fail condition found for that date. Certificate NOT retrieved.";
        decision.flashCount = 10;
        break;
    case Result::Indeterminate:
        decision.message =
            std::string("No test result was found for that day. Please choose another.") +
            (suspect ? std::string(" ") + kCorrupted : std::string());
        break;
    }
    return decision;
}

} // namespace tarvik
