#include "service/open_service_tools.h"

#include "link/event_loop_pacer.h"
#include "link/qt_serial_port.h"
#include "service/frm_tools.h"

namespace tarvik {

frmTools* OpenServiceTools(QWidget* owner, Prompts& prompts, const Clock& clock, Folders folders,
                           CurrentDataFile& currentDataFile, std::function<void()> exitApplication,
                           std::unique_ptr<SerialPort> port, std::unique_ptr<Pacer> pacer) {
    if (!port)
        port = std::make_unique<QtSerialPort>();
    if (!pacer)
        pacer = std::make_unique<EventLoopPacer>();
    auto* window = new frmTools(owner, prompts, clock, std::move(folders), currentDataFile,
                                std::move(port), std::move(pacer));
    window->setAttribute(Qt::WA_DeleteOnClose);
    // A window that did not open has closed itself, and so deletes itself.
    return window->Form_Load(exitApplication) ? window : nullptr;
}

} // namespace tarvik
