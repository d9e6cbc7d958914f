#include "cli/interrupt_watch.h"

#include <csignal>

namespace tarvik::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void NoteInterrupt(int) {
    interrupted = 1;
}

} // namespace

InterruptWatch::InterruptWatch() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    // Handled once; the next Ctrl+C finds the default action and ends the program.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

InterruptWatch::~InterruptWatch() {
    std::signal(SIGINT, SIG_DFL);
}

bool InterruptWatch::Requested() const {
    return interrupted != 0;
}

} // namespace tarvik::cli
