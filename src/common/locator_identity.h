#pragma once

#include <string>

namespace tarvik {

// Who a locator (or the file it wrote) says it is.
struct LocatorIdentity {
    std::string user;     // the 32-character user text
    std::string model;    // "KVZ3", "PVZ3" or "NVZ3"
    std::string serial;   // serial number
    std::string firmware; // firmware text; empty when not linked
};

} // namespace tarvik
