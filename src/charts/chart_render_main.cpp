#include "charts/chart_file.h"
#include "viewer/selection_option.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>

// tarvik-chart-render FILE.lgd MM/YY|DD/MM/YY OUT.jpg: draws a usage chart without a window.
// The tarvik command runs it for `tarvik chart`, whose own process has no GUI application.
// A failure's reason is printed on stdout.
int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: tarvik-chart-render FILE.lgd MM/YY|DD/MM/YY OUT.jpg\n";
        return 2;
    }
    const std::string period = argv[2];
    auto selection = tarvik::ParseMonthOption(period);
    if (!selection)
        selection = tarvik::ParseDayOption(period);
    if (!selection) {
        std::cerr << "tarvik-chart-render: '" << period << "' is neither MM/YY nor DD/MM/YY\n";
        return 2;
    }
    // Charts draw offscreen when there is no display to draw on.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::string error;
    if (!tarvik::WriteUsageChartJpeg(argv[1], *selection, argv[3], error)) {
        // The reason goes to stdout, where the tarvik command reads it; stderr is Qt's.
        std::cout << error << "\n";
        return 1;
    }
    return 0;
}
