#pragma once

#include "cli/command.h"
#include "cli/console_link_view.h"
#include "datafile/shared_file_handle.h"
#include "link/discovery.h"
#include "link/download.h"
#include "link/event_loop_pacer.h"
#include "link/link_session.h"
#include "link/qt_serial_port.h"

#include <functional>

namespace tarvik::cli {

// The prompts of a link command. The view prints every status on stderr, where a message goes
// too: a message that only repeats the status just printed is left out.
class LinkCommandPrompts final : public Prompts {
public:
    LinkCommandPrompts(Prompts& prompts, const ConsoleLinkView& view)
        : prompts_(prompts), view_(view) {}

    void Inform(const std::string& text, const std::string& title, PromptIcon icon) override {
        if (text != view_.lastStatus)
            prompts_.Inform(text, title, icon);
    }
    bool AskYesNo(const std::string& text, const std::string& title) override {
        return prompts_.AskYesNo(text, title);
    }
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override {
        return prompts_.AskText(prompt, title, initial);
    }
    std::optional<std::string> AskHiddenText(const std::string& prompt,
                                             const std::string& title) override {
        return prompts_.AskHiddenText(prompt, title);
    }

private:
    Prompts& prompts_;
    const ConsoleLinkView& view_;
};

// Everything a command needs to talk to a locator: the two real serial ports, the pacer,
// the terminal's view of the link and the same session and discovery the window uses.
class LinkCommandSession {
public:
    explicit LinkCommandSession(Context& context);
    ~LinkCommandSession();

    // After linking: waits for the answers to the first requests (last download date,
    // self-test result), asking again for what has not come.
    void WaitForFirstReplies();
    // Connects to COM `port` as a saved port does (the question answered by the prompts)
    // and waits for the first replies, so that none of them lands in a later transfer. On
    // failure the reason is on stderr (the last status printed), once.
    bool Connect(int port);
    // The identity, firmware, last download date and self-test result, one per line.
    void PrintIdentity(std::ostream& out) const;

    QtSerialPort linkPort;
    QtSerialPort probePort;
    EventLoopPacer pacer;
    ConsoleLinkView view;
    LinkCommandPrompts prompts;
    SharedFileHandle file1;
    LinkSession session;
    Discovery discovery;
    CurrentDataFile currentFile;
    LocatorIdentity currentFileIdentity;
    Download download;
};

// "--port N" as a COM number from 1 to 16; nothing (with a message) when absent or wrong.
std::optional<int> TakePortOption(Context& context);

} // namespace tarvik::cli
