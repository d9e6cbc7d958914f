#include "charts/chart_command.h"

#include "charts/chart_file.h"
#include "viewer/selection_option.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>

namespace tarvik {

bool WriteUsageChartFromCommandLine(const std::filesystem::path& dataFile,
                                    const RecordSelection& selection,
                                    const std::filesystem::path& output, std::string& error) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return WriteUsageChartJpeg(dataFile, selection, output, error);

    const QString renderer = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral("tarvik-chart-render"));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(renderer, {QString::fromStdString(dataFile.string()),
                             QString::fromStdString(SelectionOptionText(selection)),
                             QString::fromStdString(output.string())});
    if (!process.waitForStarted()) {
        error = "the chart drawer " + renderer.toStdString() +
                " cannot be started: " + process.errorString().toStdString();
        return false;
    }
    process.closeWriteChannel();
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const std::string said =
            QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed().toStdString();
        error = said.empty() ? "the chart could not be drawn" : said;
        return false;
    }
    return true;
}

} // namespace tarvik
