#include "app/folder_locations.h"

#include <QStandardPaths>

namespace tarvik {

namespace {
std::filesystem::path Pick(const QString& override, const char* variable,
                           QStandardPaths::StandardLocation location) {
    QString folder = override;
    if (folder.isEmpty())
        folder = qEnvironmentVariable(variable);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(location);
    return std::filesystem::path(folder.toStdString());
}
} // namespace

Folders LocateFolders(const QString& documentsOverride, const QString& appDataOverride) {
    Folders folders;
    folders.documents =
        Pick(documentsOverride, "TARVIK_DOCUMENTS_DIR", QStandardPaths::DocumentsLocation);
    folders.appData =
        Pick(appDataOverride, "TARVIK_APPDATA_DIR", QStandardPaths::GenericConfigLocation);
    return folders;
}

} // namespace tarvik
