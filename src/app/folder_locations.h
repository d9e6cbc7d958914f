#pragma once

#include "common/folders.h"

#include <QString>

namespace tarvik {

// The platform's documents and application-data folders, unless TARVIK_DOCUMENTS_DIR /
// TARVIK_APPDATA_DIR (or the command line's --documents / --appdata) say otherwise.
Folders LocateFolders(const QString& documentsOverride = {}, const QString& appDataOverride = {});

} // namespace tarvik
