#include "link/wire_protocol.h"

#include "common/text.h"

#include <algorithm>
#include <cstdlib>

namespace tarvik::wire {

namespace {

std::string Padded(std::string_view text, std::size_t width) {
    std::string padded(text);
    if (padded.size() < width)
        padded.append(width - padded.size(), ' ');
    return padded;
}

std::string Field(std::string_view from, std::size_t oneBasedStart, std::size_t width) {
    const std::size_t start = oneBasedStart - 1;
    if (start >= from.size())
        return {};
    return std::string(from.substr(start, width));
}

int MinutesOfDay(std::string_view time) {
    const int hours = LeadingNumber(time.substr(0, std::min<std::size_t>(2, time.size())));
    const int minutes = time.size() > 3 ? LeadingNumber(time.substr(3, 2)) : 0;
    return hours * 60 + minutes;
}

} // namespace

std::string DateRangeCommand(std::string_view command, const DateTime& from, const DateTime& to) {
    return std::string(command) + FormatWireDate(from) + ":" + FormatWireDate(to);
}

std::string SetDateCommand(const DateTime& now) {
    return "#DS" + FormatWireDate(now);
}

std::string SetTimeCommand(const DateTime& now) {
    return "#TS" + FormatWireTime(now);
}

std::string PadUserText(std::string_view user) {
    return Padded(user, 32);
}

std::string SetUserCommand(std::string_view user) {
    return "#FT" + PadUserText(user);
}

std::string SetSerialCommand(std::string_view model, std::string_view serial) {
    return "#SS" + Padded(model, 8) + Padded(serial, 8);
}

bool IsWholeIdentityReply(std::string_view reply) {
    const std::size_t at = reply.find(kIdentity);
    return at != std::string_view::npos && reply.size() - at >= kIdentityReplyLength;
}

std::optional<LocatorIdentity> ParseIdentityReply(std::string_view reply, IdentityLayout layout) {
    const std::size_t at = reply.find(kIdentity);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view from = reply.substr(at);
    LocatorIdentity identity;
    identity.user = Field(from, layout.user, 32);
    identity.model = Field(from, layout.model, 8);
    identity.serial = Field(from, layout.serial, 8);
    for (std::string* text : {&identity.user, &identity.model, &identity.serial})
        std::erase(*text, '_');
    return identity;
}

std::optional<std::string> TextAfter(std::string_view chunk, std::string_view marker,
                                     std::size_t count) {
    const std::size_t at = chunk.find(marker);
    if (at == std::string_view::npos)
        return std::nullopt;
    return std::string(chunk.substr(at + marker.size(), count));
}

int MinuteDifference(std::string_view pcTime, std::string_view locatorTime) {
    return MinutesOfDay(pcTime) - MinutesOfDay(locatorTime);
}

bool IsTimeOfDay(std::string_view text) {
    if (text.size() != 8)
        return false;
    for (std::size_t i = 0; i < 8; ++i) {
        const bool colon = i == 2 || i == 5;
        if (colon ? text[i] != ':' : (text[i] < '0' || text[i] > '9'))
            return false;
    }
    return true;
}

bool IsNoLogModel(std::string_view modelText) {
    return Contains(modelText, "nd") || Contains(modelText, "ND");
}

std::string ClockCorrectionMessage(int minutes) {
    const std::string amount = std::to_string(std::abs(minutes));
    const std::string phrase = minutes >= 0
                                   ? "adding " + amount + " minutes to the locator time."
                                   : "subtracting " + amount + " minutes from the locator time.";
    return "Information\r\n\r\nThe Locator time was more than two minutes different to the time "
           "held by this PC.\r\n\r\nThe time on the locator has been updated by " +
           phrase;
}

} // namespace tarvik::wire
