#include "link/setup_commands.h"

#include "common/colours.h"
#include "link/wire_protocol.h"

namespace tarvik {

void SetLocatorDate(LinkSession& session) {
    session.view().SetStatus("Setting Date", colours::kRed);
    session.senders().pacer().LetEventsRun();
    session.senders().SendCommand(wire::SetDateCommand(session.clock().Now()));
    session.view().SetStatus("Date set", colours::kDarkGrey);
}

void SetLocatorTime(LinkSession& session) {
    const DateTime now = session.clock().Now();
    session.view().SetStatus("Setting time", colours::kRed);
    session.senders().pacer().LetEventsRun();
    session.senders().SendCommand(wire::SetTimeCommand(now));
    session.view().SetStatus("Time set", colours::kDarkGrey);
}

void SetLocatorUser(LinkSession& session, std::string_view user, LocatorIdentity& fileIdentity) {
    fileIdentity.user = wire::PadUserText(user);
    session.view().SetStatus("Setting User", colours::kRed);
    session.senders().pacer().LetEventsRun();
    session.senders().SendCommand(wire::SetUserCommand(user));
    session.view().SetStatus("User Set", colours::kDarkGrey);
}

bool IsForbiddenUserCharacter(char c) {
    return c == '*' || c == '/' || c == '\\' || c == '?' || c == ':' || c == '.';
}

UserTextEdit CheckUserTextEdit(std::string text, std::size_t caret) {
    caret = std::min(caret, text.size());
    if (caret > 0 && IsForbiddenUserCharacter(text[caret - 1])) {
        text.erase(caret - 1, 1);
        return {std::move(text), caret - 1, true};
    }
    return {std::move(text), caret, false};
}

} // namespace tarvik
