#include "link/reply_scanner.h"

#include "common/text.h"
#include "link/wire_protocol.h"

#include <algorithm>

namespace tarvik::wire {

namespace {

// The longest marker with its value ("#LD" and a date) less one character: the most of an
// unfinished marker that can be waiting for the next chunk.
constexpr std::size_t kTailLength = 10;

} // namespace

ReplyMarkers ReplyScanner::Scan(std::string_view chunk) {
    std::string text = std::move(tail_);
    text.append(chunk);
    // Everything up to here belongs to a marker already taken and is not read again.
    std::size_t taken = 0;
    auto take = [&](std::string_view marker, std::size_t length) -> std::optional<std::string> {
        const std::size_t at = text.find(marker);
        if (at == std::string::npos || text.size() - (at + marker.size()) < length)
            return std::nullopt;
        const std::size_t valueAt = at + marker.size();
        taken = std::max(taken, valueAt + length);
        return text.substr(valueAt, length);
    };

    ReplyMarkers found;
    found.powerDown = take(kPowerDown, 0).has_value();
    found.abort = take(kAbort, 0).has_value();
    found.selfTest = take(kSelfTest, 1);
    found.lastDownload = take(kLastDownload, 8);
    found.locatorTime = take(kTimeMarker, 8);
    // A time that is not one would set the locator's clock by hours.
    if (found.locatorTime && !IsTimeOfDay(*found.locatorTime))
        found.locatorTime.reset();
    found.lastDownloadSeen = Contains(text, kLastDownload);

    const std::size_t keepFrom =
        std::max(taken, text.size() > kTailLength ? text.size() - kTailLength : 0);
    tail_ = text.substr(keepFrom);
    return found;
}

} // namespace tarvik::wire
