#pragma once

#include "common/locator_identity.h"

#include <string>

namespace tarvik {

// The 29 "//" lines at the head of every data file, each ending in CR LF.
const std::string& BuildDataFileHeader();

// user "," model "," serial CR LF, the line after the header block.
std::string BuildIdentityLine(const LocatorIdentity& identity);

} // namespace tarvik
