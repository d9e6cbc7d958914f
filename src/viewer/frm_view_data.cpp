#include "viewer/frm_view_data.h"

#include "charts/chart_windows.h"
#include "pdf/pdf_prompts_sink.h"
#include "report/usage_report.h"
#include "viewer/bold_days.h"
#include "viewer/duration.h"
#include "viewer/record_columns.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QUrl>
#include <QVBoxLayout>

namespace tarvik {

namespace {

QString ColourStyle(Rgb text, Rgb background) {
    return QStringLiteral("color: rgb(%1,%2,%3); background-color: rgb(%4,%5,%6);")
        .arg(text.red)
        .arg(text.green)
        .arg(text.blue)
        .arg(background.red)
        .arg(background.green)
        .arg(background.blue);
}

// The picture of the chart button: a small pie in the chart colours.
QIcon PiePicture() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(64, 64, 64), 1));
    const QRectF box(2, 2, 28, 28);
    const QColor colours[] = {{175, 216, 248}, {246, 189, 15}, {139, 186, 0}, {255, 142, 70}};
    const int spans[] = {120, 90, 100, 50};
    int start = 90;
    for (int i = 0; i < 4; ++i) {
        painter.setBrush(colours[i]);
        painter.drawPie(box, start * 16, spans[i] * 16);
        start += spans[i];
    }
    return QIcon(picture);
}

QLabel* NumberLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(60);
    return label;
}

} // namespace

frmViewData::frmViewData(ViewerContext context, QWidget* owner)
    : QWidget(owner, Qt::Window), context_(std::move(context)), charts_(context_) {
    setObjectName(QStringLiteral("frmViewData"));
    setWindowTitle(QStringLiteral("View data"));

    auto* left = new QVBoxLayout;
    left->addWidget(BuildInformationFrame());
    left->addWidget(BuildModeKeyFrame());
    left->addWidget(BuildViewFrame());
    left->addWidget(BuildUsageFrame());
    left->addStretch(1);
    BuildTable();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(tableArea, 1);
    resize(1180, 760);
}

QWidget* frmViewData::BuildInformationFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Locator Information"), this);
    auto* grid = new QGridLayout(frame);
    const auto field = [&](const char* caption, const char* name, int row) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(QString::fromLatin1(name));
        box->setReadOnly(true);
        grid->addWidget(new QLabel(QString::fromLatin1(caption), frame), row, 0);
        grid->addWidget(box, row, 1);
        return box;
    };
    txtUser = field("User", "txtUser", 0);
    txtModel = field("Model", "txtModel", 1);
    txtSerial = field("Serial No.", "txtSerial", 2);
    return frame;
}

QWidget* frmViewData::BuildModeKeyFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Mode Key"), this);
    auto* grid = new QGridLayout(frame);
    const char modeCodes[] = {'0', '1', '2', '3'};
    const char* letters[] = {"P", "R", "T", "A"};
    const char* words[] = {"Power", "Radio", "Transmitter", "Sweep"};
    for (int i = 0; i < 4; ++i) {
        auto* letter = new QLabel(QString::fromLatin1(letters[i]), frame);
        letter->setAlignment(Qt::AlignCenter);
        letter->setFixedWidth(24);
        letter->setStyleSheet(ColourStyle(ModeColour(modeCodes[i]), kDarkGrey) +
                              QStringLiteral("font-weight: bold;"));
        auto* word = new QLabel(QString::fromLatin1(words[i]), frame);
        grid->addWidget(letter, i / 2, (i % 2) * 2);
        grid->addWidget(word, i / 2, (i % 2) * 2 + 1);
        if (i == 2) {
            lblModeKeyGenLetter = letter;
            lblModeKeyGenWord = word;
            letter->setObjectName(QStringLiteral("lblModeKeyGenLetter"));
            word->setObjectName(QStringLiteral("lblModeKeyGenWord"));
        }
    }
    return frame;
}

QWidget* frmViewData::BuildViewFrame() {
    auto* frame = new QGroupBox(QStringLiteral("View"), this);
    Picture2 = new QToolButton(frame);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setIcon(PiePicture());
    Picture2->setIconSize(QSize(32, 32));
    Picture2->setToolTip(QStringLiteral("Usage chart of the month shown, or of the day chosen"));
    cmdReport = new QPushButton(QStringLiteral("Report"), frame);
    cmdReport->setObjectName(QStringLiteral("cmdReport"));
    cmdReport->setToolTip(QStringLiteral("Usage report of the records shown, as a PDF document"));
    optView[0] = new QRadioButton(QStringLiteral("All:"), frame);
    optView[1] = new QRadioButton(QStringLiteral("Day:"), frame);
    optView[0]->setObjectName(QStringLiteral("optView0"));
    optView[1]->setObjectName(QStringLiteral("optView1"));
    MonthView1 = new QCalendarWidget(frame);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);

    auto* options = new QHBoxLayout;
    options->addWidget(Picture2);
    options->addWidget(optView[0]);
    options->addWidget(optView[1]);
    options->addStretch(1);
    options->addWidget(cmdReport);
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(options);
    layout->addWidget(MonthView1);

    for (int i = 0; i < 2; ++i)
        connect(optView[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { optView_Click(i); });
    connect(MonthView1, &QCalendarWidget::clicked, this, &frmViewData::MonthView1_DateClick);
    connect(MonthView1, &QCalendarWidget::currentPageChanged, this,
            &frmViewData::MonthView1_PageChanged);
    connect(Picture2, &QToolButton::clicked, this, &frmViewData::Picture2_Click);
    connect(cmdReport, &QPushButton::clicked, this, &frmViewData::cmdReport_Click);
    return frame;
}

QWidget* frmViewData::BuildUsageFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Usage Time"), this);
    auto* grid = new QGridLayout(frame);
    const auto row = [&](const char* caption, const char* prefix, int at) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption), frame), at, 0);
        const QString name = QString::fromLatin1(prefix);
        UsageRow labels{NumberLabel(name + QStringLiteral("Hours"), frame),
                        NumberLabel(name + QStringLiteral("Mins"), frame),
                        NumberLabel(name + QStringLiteral("Secs"), frame)};
        grid->addWidget(labels.hours, at, 1);
        grid->addWidget(labels.minutes, at, 2);
        grid->addWidget(labels.seconds, at, 3);
        return labels;
    };
    lblPowerTotal = row("Power", "lblPowerTotal", 0);
    lblRadioTotal = row("Radio", "lblRadioTotal", 1);
    lblTransmitterTotal = row("Transmitter", "lblTransmitterTotal", 2);
    lblSweepTotal = row("Sweep", "lblSweepTotal", 3);
    lblUsageTime = row("Total", "lblUsageTime", 4);
    return frame;
}

void frmViewData::BuildTable() {
    tableArea = new QStackedWidget(this);
    lvwList = new QTableView(tableArea);
    lvwList->setObjectName(QStringLiteral("lvwList"));
    lvwList->setModel(&model_);
    lvwList->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwList->setShowGrid(false);
    lvwList->setWordWrap(false);
    lvwList->setSortingEnabled(false); // sorting goes through the keys, see lvwList_ColumnClick
    lvwList->verticalHeader()->hide();
    // Fixed row heights let the view place a million rows without measuring them.
    lvwList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lvwList->verticalHeader()->setDefaultSectionSize(lvwList->fontMetrics().height() + 4);
    QPalette palette = lvwList->palette();
    palette.setColor(QPalette::Base, QColor(kDarkGrey.red, kDarkGrey.green, kDarkGrey.blue));
    palette.setColor(QPalette::AlternateBase,
                     QColor(kDarkGrey.red, kDarkGrey.green, kDarkGrey.blue));
    lvwList->setPalette(palette);
    QHeaderView* header = lvwList->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    // The widths are the columns' own (in twips), widened where this platform's font needs
    // more room for a date or a header with its sort image.
    const int dpi = logicalDpiX();
    const QFontMetrics cellFont = lvwList->fontMetrics();
    const QFontMetrics headerFont = header->fontMetrics();
    for (int column = 0; column < kRecordColumnCount; ++column) {
        const RecordColumn& c = RecordColumns()[static_cast<std::size_t>(column)];
        int width = std::max(c.widthTwips * dpi / 1440,
                             headerFont.horizontalAdvance(QString::fromLatin1(c.header)) + 36);
        if (column == kDateColumn)
            width = std::max(
                width, cellFont.horizontalAdvance(QStringLiteral("00/00/00   00:00:00")) + 16);
        header->resizeSection(column, width);
    }
    // The header reaches the table's right edge, as the rows below it do.
    header->setStretchLastSection(true);
    connect(header, &QHeaderView::sectionClicked, this, &frmViewData::lvwList_ColumnClick);

    lblNoData = new QLabel(QStringLiteral("No Data for this Selection"), tableArea);
    lblNoData->setObjectName(QStringLiteral("lblNoData"));
    lblNoData->setAlignment(Qt::AlignCenter);
    QFont font = lblNoData->font();
    font.setPointSize(font.pointSize() + 6);
    lblNoData->setFont(font);
    tableArea->addWidget(lvwList);
    tableArea->addWidget(lblNoData);
}

void frmViewData::Form_Load() {
    const MonthOfYear opening = OpeningMonth(context_.ReadablePath(), context_.clock.Now());
    {
        const QSignalBlocker quiet(MonthView1);
        MonthView1->setSelectedDate(QDate(FullYear(opening.year), opening.month, 1));
        MonthView1->setCurrentPage(FullYear(opening.year), opening.month);
    }
    ShowAndPaint();
    optView[0]->setChecked(true);
    MonthView1->setEnabled(false);
    // One reading lists every record and finds the days of the calendar's month.
    MarkDaysWithData(opening.month, opening.year, FillRecordList(0, 0, 0));
}

void frmViewData::ShowAndPaint() {
    if (!isVisible())
        show();
    // Clicks wait, so that no other selection runs inside this one.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmViewData::MarkDaysWithData(int month, int year, const SelectionTally& read) {
    MarkBoldDays(*MonthView1, month, FullYear(year), read.DaysOf(month, year));
}

SelectionTally frmViewData::FillRecordList(int day, int month, int year) {
    shown_ = RecordSelection{day, month, year};
    SelectedRecords selected = ReadSelection(context_.ReadablePath(), *shown_);
    const std::vector<std::string>& fields = selected.summary.identityFields;
    const auto field = [&](std::size_t i) {
        return QString::fromLatin1(i < fields.size() ? fields[i] : std::string());
    };
    txtUser->setText(field(0));
    txtModel->setText(field(1));
    txtSerial->setText(field(2));
    const std::string model = selected.summary.identity.model;
    const bool generator = IsGeneratorModel(model);
    lblModeKeyGenLetter->setText(generator ? QStringLiteral("G") : QStringLiteral("T"));
    lblModeKeyGenWord->setText(generator ? QStringLiteral("Generator")
                                         : QStringLiteral("Transmitter"));
    const bool any = !selected.records.empty();
    model_.SetRecords(std::move(selected.records), model);
    ShowUsage(selected.usage);
    tableArea->setCurrentWidget(any ? static_cast<QWidget*>(lvwList) : lblNoData);
    return selected;
}

void frmViewData::ShowUsage(const ModeTally& usage) {
    const auto show = [](const UsageRow& row, std::uint64_t seconds) {
        const Duration d = SplitDuration(seconds);
        row.hours->setText(QString::fromStdString(HoursText(d)));
        row.minutes->setText(QString::fromStdString(MinutesText(d)));
        row.seconds->setText(QString::fromStdString(SecondsText(d)));
    };
    show(lblPowerTotal, usage.seconds[0]);
    show(lblRadioTotal, usage.seconds[1]);
    show(lblTransmitterTotal, usage.seconds[2]);
    show(lblSweepTotal, usage.seconds[3]);
    show(lblUsageTime, usage.Total());
}

void frmViewData::optView_Click(int index) {
    if (index == 0) {
        MonthView1->setEnabled(false);
        FillRecordList(0, 0, 0);
        return;
    }
    MonthView1->setEnabled(true);
    shown_.reset();
    model_.Clear();
    tableArea->setCurrentWidget(lblNoData);
}

void frmViewData::MonthView1_DateClick(const QDate& date) {
    FillRecordList(date.day(), date.month(), date.year() % 100);
}

void frmViewData::MonthView1_PageChanged(int year, int month) {
    // The month's records, read once, give both the list and the bold days.
    const SelectionTally read = FillRecordList(RecordSelection::kWholeMonth, month, year % 100);
    ShowAndPaint();
    MarkDaysWithData(month, year % 100, read);
}

void frmViewData::Picture2_Click() {
    if (optView[0]->isChecked()) {
        charts_.ShowMonth(MonthView1->monthShown(), MonthView1->yearShown() % 100, this);
        return;
    }
    const QDate day = MonthView1->selectedDate();
    charts_.ShowDay(day.day(), day.month(), day.year(), this);
}

void frmViewData::cmdReport_Click() {
    if (!shown_) {
        context_.prompts.Inform(kNoDataForSelection);
        return;
    }
    const std::filesystem::path fonts =
        context_.desktop.fontsFolder.empty()
            ? std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "Fonts"
            : context_.desktop.fontsFolder;
    PromptsPdfMessageSink messages(context_.prompts);
    PdfPrinterServices services;
    services.messages = &messages;
    services.clock = &context_.clock;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const UsageReportResult result =
        CreateUsageReport({context_.ReadablePath(), ReportPeriod::Of(*shown_), std::nullopt, fonts},
                          context_.folders, services);
    QApplication::restoreOverrideCursor();
    if (!result.file) {
        context_.prompts.Inform(result.error);
        return;
    }
    const bool opened = context_.desktop.openDocument
                            ? context_.desktop.openDocument(*result.file)
                            : QDesktopServices::openUrl(QUrl::fromLocalFile(
                                  QString::fromStdString(result.file->string())));
    if (!opened)
        context_.prompts.Inform("The report was written to " + result.file->string() +
                                ", but no PDF viewer could be opened to show it.");
}

void frmViewData::lvwList_ColumnClick(int column) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lvwList->setUpdatesEnabled(false); // no row is painted while the order changes
    model_.SortByColumn(column);
    lvwList->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
    lvwList->horizontalHeader()->viewport()->update();
}

void frmViewData::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

frmViewData* OpenDataViewer(ViewerContext context, QWidget* owner, std::function<void()> onClosed) {
    auto* viewer = new frmViewData(std::move(context), owner);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    if (onClosed)
        QObject::connect(viewer, &frmViewData::closed, viewer, std::move(onClosed));
    viewer->Form_Load();
    return viewer;
}

frmViewData* OpenOrRaiseDataViewer(QPointer<frmViewData>& open, ViewerContext context,
                                   QWidget* owner, std::function<void()> onClosed) {
    if (open) {
        BringToFront(*open);
        return open;
    }
    open = OpenDataViewer(std::move(context), owner, std::move(onClosed));
    return open;
}

} // namespace tarvik
