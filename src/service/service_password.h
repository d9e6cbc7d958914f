#pragma once

#include <string_view>

namespace tarvik {

// True when `answer` is the service password. Only the password's digest is kept in the
// program, so the password cannot be read out of it.
bool IsServicePassword(std::string_view answer);

} // namespace tarvik
