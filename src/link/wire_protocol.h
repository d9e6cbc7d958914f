#pragma once

#include "common/clock.h"
#include "common/locator_identity.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvik::wire {

// Commands with no arguments, as written to the locator.
inline constexpr std::string_view kIdentity = "#X";
inline constexpr std::string_view kFirmware = "#FV";
inline constexpr std::string_view kLastDownload = "#LD";
inline constexpr std::string_view kSelfTest = "#ST";
inline constexpr std::string_view kDateAndTime = "#AE";
inline constexpr std::string_view kDownloadAll = "#DA";
inline constexpr std::string_view kStop = "A";
inline constexpr std::string_view kServiceStop = "#A";
inline constexpr std::string_view kClearMemory = "#CA";
inline constexpr std::string_view kResetMemoryPointer = "#FW0000";
inline constexpr std::string_view kServiceOpen = "MM";

// Markers searched for in replies.
inline constexpr std::string_view kPowerDown = "#PD";
inline constexpr std::string_view kTimeMarker = "#T";
inline constexpr std::string_view kAbort = "ABORT";
inline constexpr char kEndOfTransfer = '\x1a';

// "#DD" (or "#ND" for a locator without a log) with "dd/mm/yy:dd/mm/yy".
std::string DateRangeCommand(std::string_view command, const DateTime& from, const DateTime& to);
std::string SetDateCommand(const DateTime& now);
std::string SetTimeCommand(const DateTime& now);
// "#FT" and the user text right-padded with spaces to 32 characters; longer text whole.
std::string SetUserCommand(std::string_view user);
// The user text as it is stored: padded to 32 characters, a longer one unchanged.
std::string PadUserText(std::string_view user);
// "#SS", the model padded to 8 characters, the serial number padded to 8.
std::string SetSerialCommand(std::string_view model, std::string_view serial);

// Where the fields of an identity reply sit, counted from the "#" of "#X" (1-based).
struct IdentityLayout {
    std::size_t user = 3;
    std::size_t model = 35;
    std::size_t serial = 43;
};
inline constexpr IdentityLayout kDiscoveryLayout{3, 35, 43};
inline constexpr IdentityLayout kServiceLayout{3, 51, 59};

// An identity reply is "#X" and 48 characters: user text 32, model 8, serial number 8.
inline constexpr std::size_t kIdentityReplyLength = 50;
// True once the reply holds "#X" and all 48 characters after it.
bool IsWholeIdentityReply(std::string_view reply);

// The identity in a reply, from its first "#X"; nothing when the reply holds no "#X".
// Fields the reply is too short for are cut or empty. Every "_" (the fill of unused
// positions) is removed.
std::optional<LocatorIdentity> ParseIdentityReply(std::string_view reply, IdentityLayout layout);

// The `count` characters after the first `marker` (fewer at the end of the chunk); nothing
// when the chunk does not hold the marker.
std::optional<std::string> TextAfter(std::string_view chunk, std::string_view marker,
                                     std::size_t count);

// PC time minus locator time in whole minutes, each time of day cut to its minute first.
// "hh:mm:ss" texts; a text that is not a time counts its missing parts as 0.
int MinuteDifference(std::string_view pcTime, std::string_view locatorTime);

// True for "hh:mm:ss" with digits where the digits go.
bool IsTimeOfDay(std::string_view text);

// True for a model text that names a locator without a usage log ("nd" or "ND" in it).
bool IsNoLogModel(std::string_view modelText);

// The message shown after the locator's clock was put right by `minutes` (PC minus locator).
std::string ClockCorrectionMessage(int minutes);

} // namespace tarvik::wire
