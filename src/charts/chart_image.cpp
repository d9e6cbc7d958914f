#include "charts/chart_image.h"

#include "common/desktop_messages.h"
#include "datafile/complete_output_file.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QFileDialog>
#include <QImageWriter>
#include <QUrl>

namespace tarvik {

namespace {

bool EnsureFolder(const std::filesystem::path& folder, std::string& error) {
    std::error_code ec;
    if (folder.empty() || std::filesystem::is_directory(folder, ec))
        return true;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error =
            "the folder \"" + folder.string() + "\" could not be created (" + ec.message() + ")";
        return false;
    }
    return true;
}

std::optional<std::filesystem::path> AskForImageFile(const std::filesystem::path& suggested,
                                                     QWidget* parent) {
    const QString chosen = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Save Graph as an Image"),
        QString::fromStdString(suggested.string()), QStringLiteral("jpg (*.jpg)"));
    if (chosen.isEmpty())
        return std::nullopt;
    return std::filesystem::path(chosen.toStdString());
}

} // namespace

bool WriteJpeg(const QImage& picture, const std::filesystem::path& file, std::string& error) {
    if (picture.isNull()) {
        error = "there is no picture to save";
        return false;
    }
    if (!EnsureFolder(file.parent_path(), error))
        return false;
    // Encoded in memory and written by name as bytes: a name need not be valid UTF-8, and a
    // picture that cannot be written completely leaves no file.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB32))) {
        error = writer.errorString().toStdString();
        return false;
    }
    CompleteOutputFile out;
    std::string why;
    if (!out.Open(file, why)) {
        error = why;
        return false;
    }
    out.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!out.Commit(why)) {
        error = why;
        return false;
    }
    return true;
}

void SaveChartImage(const ViewerContext& context, const QImage& picture,
                    const std::string& defaultName, QWidget* dialogParent) {
    const std::filesystem::path folder = context.folders.ImagesFolder();
    std::string error;
    // The dialog opens in the images folder, so it must exist first.
    if (!EnsureFolder(folder, error)) {
        context.prompts.Inform("The chart could not be saved: " + error, {}, PromptIcon::Warning);
        return;
    }
    const std::filesystem::path suggested = folder / defaultName;
    const std::optional<std::filesystem::path> chosen =
        context.desktop.chooseImageFile ? context.desktop.chooseImageFile(suggested)
                                        : AskForImageFile(suggested, dialogParent);
    if (!chosen || chosen->empty())
        return;
    if (!WriteJpeg(picture, *chosen, error))
        context.prompts.Inform("The chart could not be saved as \"" + chosen->string() +
                                   "\": " + error,
                               {}, PromptIcon::Warning);
}

void OpenImagesFolder(const ViewerContext& context) {
    const std::filesystem::path folder = context.folders.ImagesFolder();
    std::string error;
    if (!EnsureFolder(folder, error)) {
        context.prompts.Inform("The images folder cannot be opened: " + error, {},
                               PromptIcon::Warning);
        return;
    }
    const bool opened = context.desktop.openFolder ? context.desktop.openFolder(folder)
                                                   : QDesktopServices::openUrl(QUrl::fromLocalFile(
                                                         QString::fromStdString(folder.string())));
    if (!opened)
        context.prompts.Inform(CouldNotOpenText("folder", folder.string()), {},
                               PromptIcon::Warning);
}

} // namespace tarvik
