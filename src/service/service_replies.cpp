#include "service/service_replies.h"

#include "common/text.h"
#include "link/wire_protocol.h"

namespace tarvik {

namespace {
// Characters `first` to `last` (1-based), fewer when the text ends sooner.
std::string Characters(std::string_view text, std::size_t first, std::size_t last) {
    if (first > text.size())
        return {};
    return std::string(text.substr(first - 1, last - first + 1));
}
} // namespace

std::optional<LocatorIdentity> ServiceIdentityReply(std::string_view chunk) {
    if (!StartsWith(chunk, wire::kIdentity))
        return std::nullopt;
    // Locators send one of two layouts: the long one with the model and serial number 16
    // characters further on, or the short one that discovery reads.
    const bool longLayout = chunk.size() >= kLongIdentityReplyLength;
    return wire::ParseIdentityReply(chunk,
                                    longLayout ? wire::kServiceLayout : wire::kDiscoveryLayout);
}

std::optional<LocatorClockReply> ServiceClockReply(std::string_view chunk) {
    if (!StartsWith(chunk, wire::kDateAndTime))
        return std::nullopt;
    return LocatorClockReply{Characters(chunk, 5, 12), Characters(chunk, 16, 23)};
}

std::string UserCharsLeftText(std::size_t userTextLength) {
    return "-" + std::to_string(32 - static_cast<long>(userTextLength)) + " left-";
}

} // namespace tarvik
