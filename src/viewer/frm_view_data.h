#pragma once

#include "charts/chart_windows.h"
#include "viewer/record_selection.h"
#include "viewer/record_table_model.h"
#include "viewer/viewer_context.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

namespace tarvik {

// "View data": the records of the current data file in a sortable table, the usage time per
// mode of the records shown, and the choice of all records, one day or one month on a calendar
// whose days with records are bold. Every selection reads the file afresh.
class frmViewData : public QWidget {
    Q_OBJECT
public:
    explicit frmViewData(ViewerContext context, QWidget* owner = nullptr);

    void Form_Load();
    // Lists the records of a selection and shows their usage; returns what was read.
    SelectionTally FillRecordList(int day, int month, int year);
    // Makes the days of the month that have records in `read` bold on the calendar.
    void MarkDaysWithData(int month, int year, const SelectionTally& read);

    void optView_Click(int index);
    void MonthView1_DateClick(const QDate& date);
    void MonthView1_PageChanged(int year, int month); // the calendar's click notification
    void Picture2_Click();
    // Writes the usage report of the selection on show and opens it.
    void cmdReport_Click();
    void lvwList_ColumnClick(int column);

    RecordTableModel& records() { return model_; }
    ChartWindows& chartWindows() { return charts_; }
    bool TableShown() const { return tableArea->currentWidget() == lvwList; }

    // Locator Information
    QLineEdit* txtUser;
    QLineEdit* txtModel;
    QLineEdit* txtSerial;
    // Mode Key
    QLabel* lblModeKeyGenLetter;
    QLabel* lblModeKeyGenWord;
    // View
    QToolButton* Picture2;
    QPushButton* cmdReport;
    std::array<QRadioButton*, 2> optView;
    QCalendarWidget* MonthView1;
    // Usage Time: hours, minutes, seconds of Power, Radio, Transmitter, Sweep and the total
    struct UsageRow {
        QLabel* hours;
        QLabel* minutes;
        QLabel* seconds;
    };
    UsageRow lblPowerTotal, lblRadioTotal, lblTransmitterTotal, lblSweepTotal, lblUsageTime;
    // Table
    QStackedWidget* tableArea;
    QTableView* lvwList;
    QLabel* lblNoData;

signals:
    // The viewer is closing: the main window shows itself again.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override; // Form_QueryUnload

private:
    QWidget* BuildInformationFrame();
    QWidget* BuildModeKeyFrame();
    QWidget* BuildViewFrame();
    QWidget* BuildUsageFrame();
    void BuildTable();
    void ShowUsage(const ModeTally& usage);
    void ShowAndPaint();

    ViewerContext context_;
    std::optional<RecordSelection> shown_; // the selection the table shows; none before a day
    RecordTableModel model_;
    ChartWindows charts_;
};

// Opens the data viewer on the current file as a window of its own, owned by `owner` and
// deleted when closed; `onClosed` (may be empty) runs when it closes.
frmViewData* OpenDataViewer(ViewerContext context, QWidget* owner,
                            std::function<void()> onClosed = {});

// The main window's "show the viewer": the viewer held in `open` is brought to the front when it
// is still open (it keeps showing its file, nothing is read again); otherwise a new viewer is
// opened as OpenDataViewer does and remembered in `open`.
frmViewData* OpenOrRaiseDataViewer(QPointer<frmViewData>& open, ViewerContext context,
                                   QWidget* owner, std::function<void()> onClosed = {});

} // namespace tarvik
