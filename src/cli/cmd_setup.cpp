#include "cli/command.h"
#include "cli/link_command_session.h"
#include "link/setup_commands.h"

#include <ostream>

namespace tarvik::cli {

namespace {

// The Setup tab's three commands: connect to the port, send, say what was set.
int RunSetup(Context& context, const char* usage,
             const std::function<void(LinkCommandSession&)>& send) {
    const auto port = TakePortOption(context);
    if (!port || !context.args.empty()) {
        context.err << usage;
        return kUsage;
    }
    LinkCommandSession link(context);
    if (!link.Connect(*port))
        return kFailure;
    send(link);
    context.out << link.view.lastStatus << "\n";
    return kSuccess;
}

int SetDateCommand(Context& context) {
    return RunSetup(context, "usage: tarvik set-date --port N\n",
                    [](LinkCommandSession& link) { SetLocatorDate(link.session); });
}

int SetTimeCommand(Context& context) {
    return RunSetup(context, "usage: tarvik set-time --port N\n",
                    [](LinkCommandSession& link) { SetLocatorTime(link.session); });
}

int SetUserCommand(Context& context) {
    constexpr const char* usage = "usage: tarvik set-user --port N TEXT\n";
    const auto port = context.TakeOption("--port");
    if (!port || context.args.size() != 1) {
        context.err << usage;
        return kUsage;
    }
    const std::string text = context.args[0];
    for (char c : text)
        if (IsForbiddenUserCharacter(c)) {
            context.err << "tarvik: a user text may not hold * / \\ ? : or .\n";
            return kUsage;
        }
    context.args = {"--port", *port};
    return RunSetup(context, usage, [&](LinkCommandSession& link) {
        SetLocatorUser(link.session, text, link.currentFileIdentity);
    });
}

const RegisterCommand kSetDate{
    {"set-date", "--port N             the PC's date into the locator", &SetDateCommand}};
const RegisterCommand kSetTime{
    {"set-time", "--port N             the PC's time into the locator", &SetTimeCommand}};
const RegisterCommand kSetUser{
    {"set-user", "--port N TEXT        the locator's user text", &SetUserCommand}};

} // namespace

} // namespace tarvik::cli
