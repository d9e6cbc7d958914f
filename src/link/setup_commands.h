#pragma once

#include "link/link_session.h"

#include <string>
#include <string_view>

namespace tarvik {

// The Setup tab's commands: the PC's date and time into the locator, and its user text.
// The locator confirms none of them; the status says "set" once the command is sent.
void SetLocatorDate(LinkSession& session);
void SetLocatorTime(LinkSession& session);
// Sends the user text padded to 32 characters (a longer one whole) and keeps the padded
// text as the current file's user.
void SetLocatorUser(LinkSession& session, std::string_view user, LocatorIdentity& fileIdentity);

// The characters a user text may not hold.
bool IsForbiddenUserCharacter(char c);

// One edit of the user text box: when the character just before the caret is forbidden it
// is taken out again and the caret moves back over it.
struct UserTextEdit {
    std::string text;
    std::size_t caret = 0;
    bool removed = false;
};
UserTextEdit CheckUserTextEdit(std::string text, std::size_t caret);

} // namespace tarvik
