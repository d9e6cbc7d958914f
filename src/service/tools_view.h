#pragma once

#include "common/locator_identity.h"
#include "service/monitor_lines.h"
#include "service/service_replies.h"

#include <string>

namespace tarvik {

// What the service session shows on its window.
class ToolsView {
public:
    virtual ~ToolsView() = default;
    virtual void SetStatus(const std::string& text) = 0;
    // The six monitor lines, painted at once: the window shows each chunk as it arrives.
    virtual void ShowMonitor(const MonitorLines::Lines& lines) = 0;
    // The user text, model and serial number of an identity reply.
    virtual void ShowStoredParameters(const LocatorIdentity& identity) = 0;
    virtual void ShowLocatorClock(const LocatorClockReply& clock) = 0;
    // Off while a command is going out, so two commands never mix on the wire.
    virtual void EnableCommands(bool on) = 0;
};

} // namespace tarvik
