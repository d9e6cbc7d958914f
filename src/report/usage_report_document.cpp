#include "report/usage_report_document.h"

#include "common/colours.h"
#include "common/maker_details.h"
#include "common/text.h"
#include "pdf/pdf_codes.h"
#include "viewer/duration.h"
#include "viewer/record_columns.h"
#include "viewer/usage_summary.h"

#include <algorithm>
#include <cstdio>

namespace tarvik {

namespace {

// Everything is in points on an A4 page.
constexpr double kPageHeight = 841.89;
constexpr double kLeft = 40;
constexpr double kTop = 36;
constexpr double kWidth = 595.28 - 2 * kLeft;
constexpr double kBodyBottom = kPageHeight - 48; // the footer sits below
constexpr double kFooterTop = kPageHeight - 30;

using pdf::kAlignCentre;
using pdf::kAlignLeft;
using pdf::kAlignRight;
using pdf::kArial;
using pdf::kBold;
using pdf::kRegular;

constexpr double kHeaderLine = 12;
constexpr double kCaptionWidth = 80;
constexpr double kSummaryRow = 13;
constexpr double kSectionTitle = 20;
constexpr double kLegendLine = 9;
constexpr double kDayRow = 13;
constexpr double kStrip = 8;
constexpr double kDayGap = 5;
constexpr double kDayBlock = kDayRow + kStrip + kDayGap;
constexpr double kTableHeader = 14;
constexpr double kScaleRow = 10;

const PdfColour kBlack(0, 0, 0);
const PdfColour kDarkGrey(64, 64, 64);
const PdfColour kRuleGrey(170, 170, 170);
const PdfColour kHeaderFill(225, 225, 225);
const PdfColour kStripFill(246, 246, 246);
const PdfColour kStripLine(200, 200, 200);

// Date, the four modes, total, first, last, self test.
constexpr double kDayColumns[] = {52, 52, 52, 56, 52, 56, 50, 50, kWidth - 420};
constexpr int kDayColumnCount = 9;

constexpr const char* kLegend =
    "Times of use are hours:minutes:seconds. Self test: the day's records read as the self-test "
    "lookup reads them; * marks a day with self-test letters that cannot be read (the data may "
    "be corrupted). The strip under each day shows its minutes of use from 00:00 to 24:00 in the "
    "colour of the mode used most in each minute.";

PdfColour ModeFill(int modeClass) {
    const Rgb rgb = ModeColour(modeClass < kOtherMode ? static_cast<char>('0' + modeClass) : '?');
    return PdfColour(rgb.red, rgb.green, rgb.blue);
}

// "1:02:05".
std::string ClockDuration(std::uint64_t seconds) {
    const Duration d = SplitDuration(seconds);
    char text[40];
    std::snprintf(text, sizeof text, "%llu:%02u:%02u", static_cast<unsigned long long>(d.hours),
                  d.minutes, d.seconds);
    return text;
}

std::string Share(std::uint64_t part, std::uint64_t total) {
    if (total == 0)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f %%",
                  100.0 * static_cast<double>(part) / static_cast<double>(total));
    return text;
}

std::string WrittenText(const DateTime& t) {
    char text[40];
    std::snprintf(text, sizeof text, "Written %02d/%02d/%04d %02d:%02d", t.day, t.month, t.year,
                  t.hour, t.minute);
    return text;
}

class ReportWriter {
public:
    ReportWriter(PDFPrinter& pdf, const UsageReportData& data, const DateTime& written)
        : pdf_(pdf), data_(data), written_(written),
          model_(Latin1ToUtf8(Trim(data.summary.identity.model))) {}

    void Write() {
        headerHeight_ = MeasureHeader();
        const std::vector<std::size_t> firstDayOfPage = PlanPages();
        pageCount_ = static_cast<int>(firstDayOfPage.size());
        for (int page = 0; page < pageCount_; ++page) {
            if (page > 0) {
                pdf_.PDFEndPage();
                pdf_.PDFNewPage();
            }
            DrawHeader();
            if (page == 0)
                DrawSummary();
            DrawDayTableHeader();
            const std::size_t end = page + 1 < pageCount_
                                        ? firstDayOfPage[static_cast<std::size_t>(page) + 1]
                                        : data_.days.size();
            for (std::size_t day = firstDayOfPage[static_cast<std::size_t>(page)]; day < end; ++day)
                DrawDay(data_.days[day]);
            DrawFooter(page + 1);
        }
    }

private:
    void Font(long style, int size) { pdf_.PDFSetFont(kArial, size, style); }

    void Cell(double w, double h, const std::string& text, long align, bool newLine = false) {
        pdf_.PDFSetAlignement(align);
        pdf_.PDFCell(w, h, text, std::string{}, newLine);
    }

    std::string UserText() const { return Latin1ToUtf8(Trim(data_.summary.identity.user)); }

    std::string PeriodText() const {
        std::string text = data_.period.Text();
        const auto& days = data_.days;
        const bool open = data_.period.kind == ReportPeriod::Kind::All ||
                          data_.period.kind == ReportPeriod::Kind::Month;
        if (open && days.size() > 1)
            text += " (" + days.front().dateText + " to " + days.back().dateText + ")";
        return text + ", " + std::to_string(days.size()) + (days.size() == 1 ? " day" : " days") +
               " with records";
    }

    // The identity rows under the title: caption and value; values wrap.
    std::vector<std::pair<std::string, std::string>> IdentityRows() const {
        return {{"Model", model_},
                {"Serial number", Latin1ToUtf8(Trim(data_.summary.identity.serial))},
                {"User", UserText()},
                {"Period", PeriodText()}};
    }

    double MeasureHeader() {
        Font(kRegular, 9);
        double height = kHeaderLine + 24; // maker line, title
        for (const auto& [caption, value] : IdentityRows())
            height += kHeaderLine * pdf_.PDFCellLineCount(kWidth - kCaptionWidth, value);
        return height + 12; // the rule and the space under it
    }

    double SummaryHeight() {
        Font(kRegular, 7);
        const int legendLines = pdf_.PDFCellLineCount(kWidth, kLegend);
        return kSectionTitle + 6 * kSummaryRow + 16 + kSectionTitle + legendLines * kLegendLine + 6;
    }

    // The index of the first day of every page.
    std::vector<std::size_t> PlanPages() {
        std::vector<std::size_t> firsts;
        const double bodyTop = kTop + headerHeight_;
        double top = bodyTop + SummaryHeight();
        std::size_t day = 0;
        do {
            firsts.push_back(day);
            const double room = kBodyBottom - top - kTableHeader - kScaleRow;
            day += std::max<std::size_t>(1, static_cast<std::size_t>(room / kDayBlock));
            top = bodyTop;
        } while (day < data_.days.size());
        return firsts;
    }

    void DrawHeader() {
        pdf_.PDFSetFill(false);
        pdf_.PDFSetBorder("");
        pdf_.PDFSetTextColor(kDarkGrey);
        pdf_.PDFSetXY(kLeft, kTop);
        Font(kBold, 9);
        Cell(kWidth / 2, kHeaderLine, maker::kCompanyName, kAlignLeft);
        Font(kRegular, 9);
        Cell(kWidth / 2, kHeaderLine, WrittenText(written_), kAlignRight, true);
        pdf_.PDFSetTextColor(kBlack);
        Font(kBold, 16);
        Cell(kWidth, 24, "Locator Usage Report", kAlignLeft, true);
        for (const auto& [caption, value] : IdentityRows()) {
            Font(kBold, 9);
            Cell(kCaptionWidth, kHeaderLine, caption, kAlignLeft);
            Font(kRegular, 9);
            Cell(kWidth - kCaptionWidth, kHeaderLine, value, kAlignLeft, true);
        }
        pdf_.PDFSetLineColor(kRuleGrey);
        pdf_.PDFSetLineWidth(0.5);
        pdf_.PDFSetBorder("B");
        Cell(kWidth, 4, "", kAlignLeft, true);
        pdf_.PDFSetBorder("");
        pdf_.PDFSetXY(kLeft, kTop + headerHeight_);
    }

    void DrawFooter(int page) {
        pdf_.PDFSetFill(false);
        pdf_.PDFSetBorder("");
        pdf_.PDFSetTextColor(kDarkGrey);
        Font(kRegular, 8);
        pdf_.PDFSetXY(kLeft, kFooterTop);
        Cell(kWidth, 10, "Page " + std::to_string(page) + " of " + std::to_string(pageCount_),
             kAlignCentre);
    }

    void SectionTitle(const std::string& title) {
        pdf_.PDFSetFill(false);
        pdf_.PDFSetBorder("");
        pdf_.PDFSetTextColor(kBlack);
        Font(kBold, 11);
        pdf_.PDFSetBookmark(title, 0, -1);
        Cell(kWidth, kSectionTitle, title, kAlignLeft, true);
    }

    void DrawSummary() {
        SectionTitle("Usage by mode");
        constexpr double widths[] = {130, 80, 80, 80, 80};
        pdf_.PDFSetLineColor(kRuleGrey);
        pdf_.PDFSetLineWidth(0.5);
        pdf_.PDFSetBorder("1");
        pdf_.PDFSetFill(true);
        pdf_.PDFSetDrawColor(kHeaderFill);
        Font(kBold, 8);
        const char* headings[] = {"Mode", "Hours", "Minutes", "Seconds", "Share"};
        for (int i = 0; i < 5; ++i)
            Cell(widths[i], kSummaryRow, headings[i], i == 0 ? kAlignLeft : kAlignRight, i == 4);
        const std::uint64_t total = data_.usage.Total();
        for (int mode = 0; mode <= 4; ++mode) {
            const bool totalRow = mode == 4;
            const std::uint64_t seconds =
                totalRow ? total : data_.usage.seconds[static_cast<std::size_t>(mode)];
            const Duration d = SplitDuration(seconds);
            Font(totalRow ? kBold : kRegular, 8);
            pdf_.PDFSetFill(true);
            pdf_.PDFSetDrawColor(totalRow ? kHeaderFill : ModeFill(mode));
            Cell(widths[0], kSummaryRow, totalRow ? "Total" : ModeName(mode, model_), kAlignLeft);
            pdf_.PDFSetFill(false);
            Cell(widths[1], kSummaryRow, HoursText(d), kAlignRight);
            Cell(widths[2], kSummaryRow, MinutesText(d), kAlignRight);
            Cell(widths[3], kSummaryRow, SecondsText(d), kAlignRight);
            Cell(widths[4], kSummaryRow, Share(seconds, total), kAlignRight, true);
        }
        pdf_.PDFSetBorder("");
        Font(kRegular, 8);
        Cell(kWidth, 16, "Records: " + std::to_string(data_.records), kAlignLeft, true);
        SectionTitle("Usage by day");
        Font(kRegular, 7);
        pdf_.PDFSetTextColor(kDarkGrey);
        Cell(kWidth, kLegendLine, kLegend, kAlignLeft, true);
        pdf_.PDFSetXY(kLeft, pdf_.PDFGetY() + 6);
    }

    void DrawDayTableHeader() {
        const double top = pdf_.PDFGetY();
        pdf_.PDFSetXY(kLeft, top);
        pdf_.PDFSetTextColor(kBlack);
        pdf_.PDFSetLineColor(kRuleGrey);
        pdf_.PDFSetLineWidth(0.5);
        pdf_.PDFSetBorder("1");
        pdf_.PDFSetFill(true);
        Font(kBold, 8);
        for (int column = 0; column < kDayColumnCount; ++column) {
            const bool mode = column >= 1 && column <= 4;
            pdf_.PDFSetDrawColor(mode ? ModeFill(column - 1) : kHeaderFill);
            const std::string heading = mode          ? ModeName(column - 1, model_)
                                        : column == 0 ? "Date"
                                        : column == 5 ? "Total"
                                        : column == 6 ? "First"
                                        : column == 7 ? "Last"
                                                      : "Self test";
            Cell(kDayColumns[column], kTableHeader, heading,
                 column == 0 ? kAlignLeft : kAlignCentre);
        }
        pdf_.PDFSetBorder("");
        pdf_.PDFSetFill(false);
        Font(kRegular, 6);
        pdf_.PDFSetTextColor(kDarkGrey);
        const double scaleTop = top + kTableHeader;
        for (int hour = 0; hour <= 24; hour += 6) {
            constexpr double labelWidth = 30;
            const double at = kLeft + kWidth * hour / 24;
            const double x = hour == 0 ? at : hour == 24 ? at - labelWidth : at - labelWidth / 2;
            pdf_.PDFSetXY(x, scaleTop);
            char label[8];
            std::snprintf(label, sizeof label, "%02d:00", hour);
            Cell(labelWidth, kScaleRow, label,
                 hour == 0    ? kAlignLeft
                 : hour == 24 ? kAlignRight
                              : kAlignCentre);
        }
        pdf_.PDFSetXY(kLeft, scaleTop + kScaleRow);
    }

    void DrawDay(const DayUsage& day) {
        const double top = pdf_.PDFGetY();
        pdf_.PDFSetXY(kLeft, top);
        pdf_.PDFSetBorder("");
        pdf_.PDFSetFill(false);
        pdf_.PDFSetTextColor(kBlack);
        Font(kRegular, 8);
        Cell(kDayColumns[0], kDayRow, day.dateText, kAlignLeft);
        for (int mode = 0; mode < 4; ++mode)
            Cell(kDayColumns[1 + mode], kDayRow,
                 ClockDuration(day.usage.seconds[static_cast<std::size_t>(mode)]), kAlignRight);
        Font(kBold, 8);
        Cell(kDayColumns[5], kDayRow, ClockDuration(day.usage.Total()), kAlignRight);
        Font(kRegular, 8);
        Cell(kDayColumns[6], kDayRow, day.firstTime ? TimeOfDayText(*day.firstTime) : "-",
             kAlignCentre);
        Cell(kDayColumns[7], kDayRow, day.lastTime ? TimeOfDayText(*day.lastTime) : "-",
             kAlignCentre);
        const std::string selfTest = SelfTestText(day);
        pdf_.PDFSetTextColor(selfTest.starts_with("Pass")   ? PdfColour(colours::kGreen)
                             : selfTest.starts_with("Fail") ? PdfColour(colours::kRed)
                                                            : kDarkGrey);
        Cell(kDayColumns[8], kDayRow, selfTest, kAlignCentre);
        DrawStrip(day, top + kDayRow);
        pdf_.PDFSetXY(kLeft, top + kDayBlock);
    }

    // Four quarters of the day, then one bar for each run of minutes in one mode.
    void DrawStrip(const DayUsage& day, double top) {
        pdf_.PDFSetLineColor(kStripLine);
        pdf_.PDFSetLineWidth(0.3);
        pdf_.PDFSetBorder("1");
        pdf_.PDFSetFill(true);
        pdf_.PDFSetDrawColor(kStripFill);
        pdf_.PDFSetXY(kLeft, top);
        for (int quarter = 0; quarter < 4; ++quarter)
            pdf_.PDFCell(kWidth / 4, kStrip, "");
        pdf_.PDFSetBorder("");
        const auto modes = day.MinuteModes();
        constexpr double minuteWidth = kWidth / kMinutesPerDay;
        int start = 0;
        while (start < kMinutesPerDay) {
            const std::int8_t mode = modes[static_cast<std::size_t>(start)];
            int end = start + 1;
            while (end < kMinutesPerDay && modes[static_cast<std::size_t>(end)] == mode)
                ++end;
            if (mode != kNoUse) {
                pdf_.PDFSetDrawColor(ModeFill(mode));
                pdf_.PDFSetXY(kLeft + start * minuteWidth, top);
                pdf_.PDFCell((end - start) * minuteWidth, kStrip, "");
            }
            start = end;
        }
        pdf_.PDFSetFill(false);
    }

    PDFPrinter& pdf_;
    const UsageReportData& data_;
    DateTime written_;
    std::string model_;
    double headerHeight_ = 0;
    int pageCount_ = 1;
};

} // namespace

bool WriteUsageReportPdf(const UsageReportData& data, const std::filesystem::path& output,
                         const std::filesystem::path& fontsFolder, const DateTime& written,
                         PdfPrinterServices services) {
    PDFPrinter pdf(std::move(services));
    pdf.PDFTitle("Locator Usage Report");
    pdf.PDFAuthor(maker::kCompanyName);
    pdf.PDFSubject(data.period.Text());
    pdf.PDFCreator("Tarvik VZ3 PC Toolkit");
    pdf.PDFFileName(output.string());
    pdf.PDFLoadAfm(fontsFolder.string());
    pdf.PDFFormatPage(0L);
    pdf.PDFSetUnit(0);
    pdf.PDFSetMargins(static_cast<int>(kLeft), static_cast<int>(kTop));
    pdf.PDFSetZoomMode(1);
    pdf.PDFSetLayoutMode(1);
    pdf.PDFUseOutlines(true);
    pdf.PDFBeginDoc();
    ReportWriter(pdf, data, written).Write();
    return pdf.PDFEndDoc();
}

} // namespace tarvik
