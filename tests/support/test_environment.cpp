#include "support/test_environment.h"

#include <cstdlib>
#include <string>

namespace tarvik::test {

void UsePrivateEnvironment() {
    const std::string home = TARVIK_TEST_HOME;
    std::filesystem::create_directories(home + "/runtime");
    // Qt insists that the runtime folder is private to its user.
    std::filesystem::permissions(home + "/runtime", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    const std::pair<const char*, std::string> settings[] = {
        {"HOME", home},
        {"XDG_CONFIG_HOME", home + "/.config"},
        {"XDG_DATA_HOME", home + "/.local/share"},
        {"XDG_RUNTIME_DIR", home + "/runtime"},
        {"TARVIK_DOCUMENTS_DIR", home + "/Documents"},
        {"TARVIK_APPDATA_DIR", home + "/AppData"},
        {"QT_QPA_PLATFORM", "offscreen"}};
    for (const auto& [name, value] : settings)
        ::setenv(name, value.c_str(), 1);
}

std::filesystem::path ProgramsFolder() {
    return TARVIK_PROGRAMS_DIR;
}

} // namespace tarvik::test
