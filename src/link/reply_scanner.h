#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik::wire {

// What the locator's replies tell, as far as they have arrived.
struct ReplyMarkers {
    bool powerDown = false; // "#PD"
    bool abort = false;     // "ABORT"
    // Each present once the marker and its whole value have arrived.
    std::optional<std::string> selfTest;     // the letter after "#ST"
    std::optional<std::string> lastDownload; // the 8 characters after "#LD"
    std::optional<std::string> locatorTime;  // "hh:mm:ss" after "#T"
    // "#LD" has arrived, with its date or still waiting for the rest of it.
    bool lastDownloadSeen = false;
};

// Finds the markers of a reply stream that arrives in pieces of any size. Each chunk is read
// together with the unmatched end of the chunks before it, so a marker or value split between
// two reads is recognised once, when its last character arrives.
class ReplyScanner {
public:
    ReplyMarkers Scan(std::string_view chunk);
    // A new stream begins (a new link, a new transfer): nothing before it counts.
    void Forget() { tail_.clear(); }

private:
    std::string tail_;
};

} // namespace tarvik::wire
