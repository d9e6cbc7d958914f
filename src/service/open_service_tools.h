#pragma once

#include "common/clock.h"
#include "common/current_data_file.h"
#include "common/folders.h"
#include "common/prompts.h"
#include "link/pacer.h"
#include "link/serial_port.h"

#include <functional>
#include <memory>

class QWidget;

namespace tarvik {

class frmTools;

// Asks for the password and the port, then shows the window; `exitApplication` is called for
// a wrong password. The window belongs to `owner` and deletes itself when closed, closing its
// port and its troubleshoot log. Returns the open window, or null when it did not open
// (refused password, cancelled port prompt).
frmTools* OpenServiceTools(QWidget* owner, Prompts& prompts, const Clock& clock, Folders folders,
                           CurrentDataFile& currentDataFile, std::function<void()> exitApplication,
                           std::unique_ptr<SerialPort> port = nullptr /* null: a QtSerialPort */,
                           std::unique_ptr<Pacer> pacer = nullptr /* null: EventLoopPacer */);

} // namespace tarvik
