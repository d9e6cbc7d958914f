#pragma once

#include "common/clock.h"
#include "common/current_data_file.h"
#include "common/prompts.h"
#include "link/pacer.h"
#include "link/serial_event_queue.h"
#include "link/serial_port.h"
#include "service/monitor_lines.h"
#include "service/tools_view.h"
#include "service/troubleshoot_log.h"

#include <functional>
#include <string>
#include <string_view>

namespace tarvik {

// The service window's own link to a locator: its port, the service commands with their
// status texts, and the receive handler that fills the monitor and the troubleshoot log.
// No command waits for or checks a reply; the "after" status only says the send finished.
class ToolsSession {
public:
    ToolsSession(SerialPort& port, Pacer& pacer, ToolsView& view, Prompts& prompts,
                 const Clock& clock);
    ~ToolsSession();
    ToolsSession(const ToolsSession&) = delete;
    ToolsSession& operator=(const ToolsSession&) = delete;

    // Opens COM `comNumber` with receive events and writes "MM" at once, unpaced.
    bool OpenToolsPort(int comNumber);
    // Starts the troubleshoot log at `file`; false with a reason when it cannot be written.
    bool CreateLog(const std::filesystem::path& file, std::string* error = nullptr);
    // Closes the port and the log; everything received so far is in the log.
    void Close();

    void ReadDateAndTime();
    void ReadStoredParameters();
    // Asks first; only Yes sends "#CA".
    void ClearMemory();
    void ResetMemoryPointer();
    void SetSerialAndModel(std::string_view model, std::string_view serial);
    void SetDate();
    void SetTime();
    // The padded user text also becomes the toolkit's user text (`onUserTextSet`).
    void SetUser(std::string_view user);
    void SendRaw(std::string_view text);
    void Stop();

    // The port's receive handler; never re-entered: an event arriving while it runs (during
    // a message box) is handled, in order, right after it.
    void MSComm1_OnComm(PortEvent event);

    const TroubleshootLog& log() const { return log_; }

    std::function<void(const std::string& paddedUser)> onUserTextSet;

private:
    void Handle(const PortEvent& event);
    void Run(const std::string& before, std::string_view command, Pause pause,
             const std::string& after);

    SerialPort& port_;
    Pacer& pacer_;
    ToolsView& view_;
    Prompts& prompts_;
    const Clock& clock_;
    MonitorLines monitor_;
    TroubleshootLog log_;
    bool sending_ = false;
    SerialEventQueue events_;
};

} // namespace tarvik
