#include "service/tools_session.h"

#include "link/senders.h"
#include "link/wire_protocol.h"

namespace tarvik {

ToolsSession::ToolsSession(SerialPort& port, Pacer& pacer, ToolsView& view, Prompts& prompts,
                           const Clock& clock)
    : port_(port), pacer_(pacer), view_(view), prompts_(prompts), clock_(clock),
      events_([this](const PortEvent& event) { Handle(event); }) {
    port_.onEvent = [this](PortEvent event) { MSComm1_OnComm(std::move(event)); };
    port_.onDeviceLost = [this] { view_.SetStatus("The Locator was disconnected."); };
}

ToolsSession::~ToolsSession() {
    Close();
    port_.onEvent = nullptr;
    port_.onDeviceLost = nullptr;
}

bool ToolsSession::OpenToolsPort(int comNumber) {
    if (port_.IsOpen())
        port_.Close();
    if (!port_.Open(comNumber, PortRole::Link))
        return false;
    // "MM" goes out in one write with DTR off; DTR is raised once the locator has it.
    port_.SetDtr(false);
    port_.Write(wire::kServiceOpen);
    port_.SetDtr(true);
    return true;
}

bool ToolsSession::CreateLog(const std::filesystem::path& file, std::string* error) {
    return log_.Create(file, error);
}

void ToolsSession::Close() {
    if (port_.IsOpen())
        port_.Close();
    log_.Close();
}

void ToolsSession::Run(const std::string& before, std::string_view command, Pause pause,
                       const std::string& after) {
    // A click that reaches the window while another command is still going out would mix
    // its characters into that command.
    if (sending_)
        return;
    sending_ = true;
    view_.EnableCommands(false);
    view_.SetStatus(before);
    SendPaced(port_, pacer_, command, pause);
    // A port that was never opened or went away meanwhile took nothing (or not all).
    view_.SetStatus(port_.IsOpen() ? after : "The port is not open: the command was not sent.");
    view_.EnableCommands(true);
    sending_ = false;
}

void ToolsSession::ReadDateAndTime() {
    Run("Getting Date and Time", wire::kDateAndTime, Pause::Long, "Parameters received");
}

void ToolsSession::ReadStoredParameters() {
    Run("Getting Serial No., Model, User", wire::kIdentity, Pause::Long, "Parameters received");
}

void ToolsSession::ClearMemory() {
    if (sending_ || !prompts_.AskYesNo("Are you sure you want to clear the memory?"))
        return;
    Run("Clearing memory", wire::kClearMemory, Pause::Short,
        "When live data appears on the Live Monitor, the clear has been completed.");
}

void ToolsSession::ResetMemoryPointer() {
    Run("Resetting memory", wire::kResetMemoryPointer, Pause::Short, "Memory Reset");
}

void ToolsSession::SetSerialAndModel(std::string_view model, std::string_view serial) {
    Run("Setting Serial No. / Model", wire::SetSerialCommand(model, serial), Pause::Short,
        "Serial No. / Model set");
}

void ToolsSession::SetDate() {
    Run("Setting Date", wire::SetDateCommand(clock_.Now()), Pause::Short, "Date set");
}

void ToolsSession::SetTime() {
    Run("Setting time", wire::SetTimeCommand(clock_.Now()), Pause::Short, "Time set");
}

void ToolsSession::SetUser(std::string_view user) {
    if (sending_)
        return;
    const std::string padded = wire::PadUserText(user);
    if (onUserTextSet)
        onUserTextSet(padded);
    Run("Setting User", wire::SetUserCommand(user), Pause::Short, "User Set");
}

void ToolsSession::SendRaw(std::string_view text) {
    Run("Sending" + std::string(text), text, Pause::Short, "Sent!");
}

void ToolsSession::Stop() {
    Run("Stopping...", wire::kServiceStop, Pause::Short, "Aborted");
}

void ToolsSession::MSComm1_OnComm(PortEvent event) {
    events_.Deliver(std::move(event));
}

void ToolsSession::Handle(const PortEvent& event) {
    port_.SetDtr(false);
    if (event.code == PortEvent::kReceive) {
        const std::string& chunk = event.data;
        monitor_.Push(chunk);
        log_.WriteLine(chunk);
        view_.ShowMonitor(monitor_.lines());
        if (const auto identity = ServiceIdentityReply(chunk))
            view_.ShowStoredParameters(*identity);
        if (const auto clock = ServiceClockReply(chunk))
            view_.ShowLocatorClock(*clock);
    } else if (!PortEvent::IsLineEvent(event.code)) {
        prompts_.Inform("Comms error: " + std::to_string(event.code));
    }
    port_.SetDtr(true);
}

} // namespace tarvik
