#pragma once

#include "datafile/file_label.h"
#include "viewer/viewer_context.h"

#include <QImage>
#include <filesystem>
#include <string>

class QWidget;

namespace tarvik {

// Writes the picture as a JPEG file, creating its folder when missing. False with the reason.
bool WriteJpeg(const QImage& picture, const std::filesystem::path& file, std::string& error);

// Save as Image of the chart windows: offers `ImagesFolder` and the default name on the save
// dialog, then writes the chart as a JPEG. A failure is told to the user with the file's name.
void SaveChartImage(const ViewerContext& context, const QImage& picture,
                    const std::string& defaultName, QWidget* dialogParent);

// Open Folder of the chart windows: the images folder (created when missing) in the file manager.
void OpenImagesFolder(const ViewerContext& context);

} // namespace tarvik
