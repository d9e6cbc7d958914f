#include "cli/link_command_session.h"

#include "common/text.h"
#include "link/port_list.h"
#include "link/wire_protocol.h"

#include <ostream>

namespace tarvik::cli {

LinkCommandSession::LinkCommandSession(Context& context)
    : view(context.err), prompts(context.prompts, view),
      session(linkPort, probePort, pacer, view, prompts, context.clock, file1),
      discovery(session, context.folders.PortsFilePath()),
      download(session, view, context.folders, currentFile, currentFileIdentity) {
    view.onUnlink = [this] { session.ClosePorts(); };
}

LinkCommandSession::~LinkCommandSession() {
    session.ClosePorts();
}

void LinkCommandSession::WaitForFirstReplies() {
    auto answered = [this] {
        return !view.lastDownload.empty() && !session.flags.LastSelfTestResult.empty();
    };
    for (int attempt = 0; attempt < 3 && !answered() && linkPort.IsOpen(); ++attempt) {
        if (WaitUntil(pacer, answered, 1500))
            break;
        if (session.flags.LastSelfTestResult.empty())
            session.senders().SendCommandSlow(wire::kSelfTest);
    }
}

bool LinkCommandSession::Connect(int port) {
    if (!discovery.ConnectToSavedPort(port))
        return false;
    session.senders().SendCommandSlow(wire::kLastDownload);
    session.senders().SendCommandSlow(wire::kSelfTest);
    WaitForFirstReplies();
    return linkPort.IsOpen();
}

void LinkCommandSession::PrintIdentity(std::ostream& out) const {
    out << "model: " << view.identity.model << "\n"
        << "serial: " << view.identity.serial << "\n"
        << "user: " << Trim(view.identity.user) << "\n"
        << "firmware: " << view.identity.firmware << "\n"
        << "last download: " << view.lastDownload << "\n"
        << "self test: " << session.flags.LastSelfTestResult << "\n";
}

std::optional<int> TakePortOption(Context& context) {
    const auto text = context.TakeOption("--port");
    const auto port = text ? ParsePortNumber(*text) : std::nullopt;
    if (!port)
        context.err << "tarvik: --port needs a COM number from 1 to 16\n";
    return port;
}

} // namespace tarvik::cli
