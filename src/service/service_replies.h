#pragma once

#include "common/locator_identity.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// What the service window reads from a chunk that begins with "#X", every "_" removed: the
// user text at characters 3-34; the model at 51-58 and the serial number at 59-66 in a reply
// of 66 characters or more, else at 35-42 and 43-50 as discovery reads them. A short reply
// gives the characters that are there. Nothing for any other chunk.
inline constexpr std::size_t kLongIdentityReplyLength = 66;
std::optional<LocatorIdentity> ServiceIdentityReply(std::string_view chunk);

// The date (characters 5-12) and time (16-23) of a chunk that begins with "#AE".
struct LocatorClockReply {
    std::string date;
    std::string time;
};
std::optional<LocatorClockReply> ServiceClockReply(std::string_view chunk);

// The user box's counter while the user types: "-" + (32 - length) + " left-".
std::string UserCharsLeftText(std::size_t userTextLength);

} // namespace tarvik
