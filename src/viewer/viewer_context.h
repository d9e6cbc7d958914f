#pragma once

#include "common/clock.h"
#include "common/current_data_file.h"
#include "common/folders.h"
#include "common/prompts.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace tarvik {

// The desktop facilities the viewer and chart windows use; tests replace them so nothing is
// launched. Empty members mean the real ones (a file dialog, the file manager).
struct ViewerDesktop {
    // The file manager on a folder; false when the desktop could not open it.
    std::function<bool(const std::filesystem::path& folder)> openFolder;
    // The save dialog for a chart image, offered the suggested path; nothing when cancelled.
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path& suggested)>
        chooseImageFile;
    // Shows a finished document in the desktop's PDF viewer; false when none could be opened.
    std::function<bool(const std::filesystem::path& document)> openDocument;
    // The font metrics a report is written with; empty: the Fonts folder beside the program.
    std::filesystem::path fontsFolder;
};

// What the viewer and its chart windows need from the main window.
struct ViewerContext {
    CurrentDataFile file; // read afresh by every selection
    Folders folders;      // ImagesFolder for the chart images
    Prompts& prompts;
    const Clock& clock;
    // Closes file #1 when it still holds the current file (an interrupted transfer), so that
    // the file can be read. May be empty.
    std::function<void()> releaseCurrentFile;
    ViewerDesktop desktop;

    // Releases the current file and returns its path, ready for reading.
    std::filesystem::path ReadablePath() const {
        if (releaseCurrentFile)
            releaseCurrentFile();
        return file.Path();
    }
};

} // namespace tarvik
