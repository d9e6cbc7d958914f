#include "service/service_password.h"

#include "service/sha256.h"

namespace tarvik {

namespace {
constexpr std::string_view kPasswordDigest =
    "590c910f43b1429c4ca7dd9717aabfa516bb4d0fd8dce868bb636a5a89cb9135";
}

bool IsServicePassword(std::string_view answer) {
    return Sha256Hex(answer) == kPasswordDigest;
}

} // namespace tarvik
