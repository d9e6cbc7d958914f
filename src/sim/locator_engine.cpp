#include "sim/locator_engine.h"

#include "common/text.h"

#include <algorithm>
#include <limits>

namespace tarvik::sim {

namespace {

constexpr char kEndOfTransfer = '\x1a';

// Days since 1 January 1970 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = static_cast<int>(y - era * 400);
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = static_cast<int>(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yoe + era * 400) + (m <= 2);
}

const std::int64_t kEpoch2000 = DaysFromCivil(2000, 1, 1);

std::string Filled(std::string_view text, std::size_t width) {
    std::string field(text.substr(0, width));
    field.append(width - field.size(), '_');
    return field;
}

// "dd/mm/yy" as a comparable number yymmdd; -1 when it is not a date.
int DateKey(std::string_view ddmmyy) {
    if (ddmmyy.size() < 8)
        return -1;
    return LeadingNumber(ddmmyy.substr(6, 2)) * 10000 + LeadingNumber(ddmmyy.substr(3, 2)) * 100 +
           LeadingNumber(ddmmyy.substr(0, 2));
}

int RecordDateKey(std::string_view record) {
    if (record.size() < 6)
        return -1;
    return LeadingNumber(record.substr(4, 2)) * 10000 + LeadingNumber(record.substr(2, 2)) * 100 +
           LeadingNumber(record.substr(0, 2));
}

} // namespace

std::int64_t ToSeconds(const DateTime& t) {
    return (DaysFromCivil(t.year, t.month, t.day) - kEpoch2000) * 86400 + t.hour * 3600 +
           t.minute * 60 + t.second;
}

DateTime FromSeconds(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    DateTime t;
    CivilFromDays(days + kEpoch2000, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

LocatorEngine::LocatorEngine(LocatorSettings settings, const Clock& pcClock)
    : settings_(std::move(settings)), pcClock_(pcClock),
      clockOffsetSeconds_(std::int64_t{settings_.clockOffsetMinutes} * 60) {}

DateTime LocatorEngine::LocatorNow() const {
    return FromSeconds(ToSeconds(pcClock_.Now()) + clockOffsetSeconds_);
}

void LocatorEngine::SetClock(const DateTime& wanted) {
    clockOffsetSeconds_ = ToSeconds(wanted) - ToSeconds(pcClock_.Now());
}

void LocatorEngine::Receive(std::string_view bytes, Millis now) {
    input_.append(bytes);
    lastInputAt_ = now;
    now_ = now;
    FrameCommands(0);
}

void LocatorEngine::Tick(Millis now) {
    now_ = now;
    if (!input_.empty())
        FrameCommands(now - lastInputAt_);
}

LocatorEngine::Frame LocatorEngine::Classify(std::size_t& length) const {
    const std::string_view in = input_;
    auto fixed = [&](std::size_t n) {
        length = n;
        return in.size() >= n ? Frame::Complete : Frame::NeedMore;
    };
    if (in[0] == 'A')
        return fixed(1);
    if (in[0] == 'M') {
        if (in.size() < 2)
            return Frame::NeedMore;
        return in[1] == 'M' ? fixed(2) : Frame::Drop;
    }
    if (in[0] != '#')
        return Frame::Drop;
    if (in.size() < 2)
        return Frame::NeedMore;
    const char second = in[1];
    if (second == 'X')
        return fixed(2);
    if (in.size() < 3) {
        // "#A" alone is the service stop, unless an "E" follows.
        if (second == 'A') {
            length = 2;
            return Frame::Open;
        }
        return Frame::NeedMore;
    }
    const std::string_view name = in.substr(0, 3);
    if (name == "#AE")
        return fixed(3);
    if (second == 'A')
        return fixed(2);
    if (name == "#FV" || name == "#LD" || name == "#ST" || name == "#DA" || name == "#CA")
        return fixed(3);
    if (name == "#DD" || name == "#ND")
        return fixed(20);
    if (name == "#DS" || name == "#TS")
        return fixed(11);
    if (name == "#SS")
        return fixed(19);
    if (name == "#FW")
        return fixed(7);
    if (name == "#FT") {
        length = in.size();
        return Frame::Open;
    }
    return Frame::Drop;
}

void LocatorEngine::FrameCommands(Millis quiet) {
    while (!input_.empty()) {
        std::size_t length = 0;
        const Frame frame = Classify(length);
        if (frame == Frame::Drop) {
            input_.erase(0, 1);
            continue;
        }
        if (frame == Frame::NeedMore || frame == Frame::Open) {
            // A user text is padded to 32 characters: only a longer one ends at a short pause.
            const bool longUserText = input_.starts_with("#FT") && input_.size() >= 35;
            if (quiet < (longUserText ? kCommandPause : kGiveUpPause))
                return;
            if (frame == Frame::NeedMore) { // a command cut short: forget it
                input_.clear();
                return;
            }
        }
        const std::string command = input_.substr(0, length);
        input_.erase(0, length);
        Execute(command);
    }
}

void LocatorEngine::Execute(const std::string& command) {
    commands_.push_back(command);
    if (settings_.silent || poweredDown_)
        return;
    const std::string_view name = std::string_view(command).substr(0, 3);
    const LocatorIdentity& id = settings_.identity;
    const DateTime now = LocatorNow();

    if (command == "#X") {
        Reply("#X" + Filled(id.user, 32) + Filled(id.model, 8) + Filled(id.serial, 8));
    } else if (name == "#FV") {
        Reply(id.firmware);
    } else if (name == "#LD") {
        Reply("#LD" + settings_.lastDownload.substr(0, 8));
    } else if (name == "#ST") {
        Reply(std::string("#ST") + settings_.selfTestLetter);
    } else if (name == "#AE") {
        Reply("#AE " + FormatWireDate(now) + " #T" + FormatWireTime(now));
    } else if (name == "#DA") {
        StartTransfer(std::nullopt);
    } else if (name == "#DD" || name == "#ND") {
        StartTransfer(
            std::make_pair(DateKey(command.substr(3, 8)), DateKey(command.substr(12, 8))));
    } else if (command == "A" || command == "#A") {
        StopTransfer();
    } else if (name == "#DS") {
        DateTime wanted = now;
        wanted.day = LeadingNumber(command.substr(3, 2));
        wanted.month = LeadingNumber(command.substr(6, 2));
        wanted.year = 2000 + LeadingNumber(command.substr(9, 2));
        if (wanted.day >= 1 && wanted.day <= 31 && wanted.month >= 1 && wanted.month <= 12)
            SetClock(wanted);
    } else if (name == "#TS") {
        DateTime wanted = now;
        wanted.hour = LeadingNumber(command.substr(3, 2));
        wanted.minute = LeadingNumber(command.substr(6, 2));
        wanted.second = LeadingNumber(command.substr(9, 2));
        SetClock(wanted);
    } else if (name == "#FT") {
        settings_.identity.user = Trim(std::string_view(command).substr(3, 32));
    } else if (name == "#SS") {
        settings_.identity.model = Trim(std::string_view(command).substr(3, 8));
        settings_.identity.serial = Trim(std::string_view(command).substr(11, 8));
    } else if (name == "#CA" || command == "#FW0000") {
        settings_.records.clear();
    }
    // "MM" opens the service mode: nothing to answer.
}

void LocatorEngine::StartTransfer(std::optional<std::pair<int, int>> range) {
    ClearTransfer();
    transferSent_ = 0;
    transferDueAt_ = now_ + settings_.answerDelayMillis;
    for (const std::string& record : settings_.records) {
        if (range) {
            const int key = RecordDateKey(record);
            if (key < range->first || key > range->second)
                continue;
        }
        transfer_ += record;
        transfer_ += "\r\n";
    }
    if (settings_.sendEndMark)
        transfer_ += kEndOfTransfer;
    if (!range)
        settings_.lastDownload = FormatWireDate(LocatorNow());
}

void LocatorEngine::StopTransfer() {
    ClearTransfer();
    Reply(std::string("ABORT") + kEndOfTransfer);
}

void LocatorEngine::Reply(std::string_view text) {
    const std::size_t pieces =
        std::clamp<std::size_t>(static_cast<std::size_t>(std::max(settings_.replyPieces, 1)), 1,
                                std::max<std::size_t>(text.size(), 1));
    // After the replies still going out, never before them.
    const Millis start =
        std::max(now_ + settings_.answerDelayMillis, replies_.empty() ? 0 : replies_.back().dueAt);
    for (std::size_t i = 0; i < pieces; ++i) {
        const std::size_t from = text.size() * i / pieces;
        const std::size_t to = text.size() * (i + 1) / pieces;
        replies_.push_back({start + static_cast<Millis>(i) * settings_.piecePauseMillis,
                            std::string(text.substr(from, to - from))});
    }
}

bool LocatorEngine::HasOutput() const {
    if (!replies_.empty())
        return replies_.front().dueAt <= now_;
    return TransferDue();
}

std::string LocatorEngine::TakeOutput(std::size_t maxBytes) {
    std::string out;
    while (!replies_.empty() && replies_.front().dueAt <= now_ && out.size() < maxBytes) {
        Piece& piece = replies_.front();
        const std::size_t n = std::min(maxBytes - out.size(), piece.bytes.size());
        out.append(piece.bytes, 0, n);
        piece.bytes.erase(0, n);
        if (piece.bytes.empty())
            replies_.pop_front();
    }
    std::size_t room = maxBytes - out.size();
    if (room > 0 && replies_.empty() && TransferDue()) {
        if (settings_.powerDownAfter) {
            const std::size_t left = *settings_.powerDownAfter > transferSent_
                                         ? *settings_.powerDownAfter - transferSent_
                                         : 0;
            room = std::min(room, left);
        }
        const std::size_t n = std::min(room, TransferLeft());
        out.append(transfer_, transferAt_, n);
        transferAt_ += n;
        transferSent_ += n;
        if (settings_.powerDownAfter && transferSent_ >= *settings_.powerDownAfter &&
            TransferLeft() > 0) {
            ClearTransfer();
            poweredDown_ = true;
            Reply("#PD");
        }
    }
    return out;
}

void LocatorEngine::Disconnected() {
    // A command of open length that the PC sent last ("#FT" and its text) is complete now.
    FrameCommands(std::numeric_limits<Millis>::max());
    ClearTransfer();
    replies_.clear();
    input_.clear();
    poweredDown_ = false;
}

} // namespace tarvik::sim
