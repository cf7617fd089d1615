#include "SCTaskTablePreview.h"

#include "SCCalendarView.h"
#include "SCClockView.h"
#include "SCPreviewCommandLine.h"
#include "SCTableColumns.h"
#include "SCTaskDataSource.h"
#include "SCWeekView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCursor>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableView>
#include <QTextStream>
#include <QVBoxLayout>

namespace {

QGroupBox* group(const QString& title, QWidget* content, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content, 0, Qt::AlignHCenter | Qt::AlignTop);
    layout->addStretch();
    return box;
}

} // namespace

SCTaskTablePreview::SCTaskTablePreview(QWidget* parent)
    : QWidget(parent), mSource(new SCTaskDataSource(SCTaskDataSource::Access::ReadOnly, this)),
      mTable(new QTableView(this)), mTitle(new QLabel(this)), mSummary(new QLabel(this)),
      mClock(new SCClockView(this)), mWeekView(new SCWeekView(this)),
      mCalendar(new SCCalendarView(this)) {
    mSource->awakeFromNib();
    mSource->attachToTable(mTable);
    mTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mTable->setShowGrid(false);
    mTable->setAlternatingRowColors(true);
    mTable->setWordWrap(false);
    mTable->verticalHeader()->hide();
    mTable->verticalHeader()->setDefaultSectionSize(mTable->fontMetrics().height() + 8);
    QHeaderView* header = mTable->horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionResizeMode(kSCEnabledColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kSCNameColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(kSCTaskNameColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(kSCFrequencyColumn, QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    header->resizeSection(kSCNameColumn, 190);
    header->resizeSection(kSCTaskNameColumn, 250);

    QFont titleFont = mTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    titleFont.setBold(true);
    mTitle->setFont(titleFont);
    mSummary->setForegroundRole(QPalette::PlaceholderText);

    mClock->setHour(14);
    mClock->setMin(30);

    auto* timeAndDay = new QVBoxLayout;
    timeAndDay->setSpacing(12);
    mTimeBox = group(QString(), mClock, this);
    mWeekdayBox = group(QString(), mWeekView, this);
    timeAndDay->addWidget(mTimeBox);
    timeAndDay->addWidget(mWeekdayBox, 1);
    auto* controls = new QHBoxLayout;
    controls->setSpacing(12);
    controls->addLayout(timeAndDay);
    mDateBox = group(QString(), mCalendar, this);
    controls->addWidget(mDateBox, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->setSpacing(8);
    layout->addWidget(mTitle);
    layout->addWidget(mSummary);
    layout->addWidget(mTable, 1);
    layout->addSpacing(6);
    layout->addLayout(controls);

    connect(mSource, &QAbstractItemModel::modelReset, this, &SCTaskTablePreview::updateSummary);
    retranslate();
    mTable->setFocus();
    resize(860, 600);
}

SCTaskTablePreview::~SCTaskTablePreview() = default;

void SCTaskTablePreview::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void SCTaskTablePreview::retranslate() {
    setWindowTitle(tr("Scheduled Tasks"));
    mTitle->setText(tr("Scheduled Tasks"));
    mTimeBox->setTitle(tr("Time"));
    mWeekdayBox->setTitle(tr("Weekday"));
    mDateBox->setTitle(tr("Date"));
    updateSummary();
}

void SCTaskTablePreview::updateSummary() {
    if (!mSource->cronArray()) {
        mSummary->setText(tr("Your crontab could not be read, so no tasks are shown."));
        return;
    }
    const int tasks = mSource->rowCount();
    int enabled = 0;
    for (int row = 0; row < tasks; ++row) {
        if (mSource->index(row, kSCEnabledColumn).data(Qt::CheckStateRole) == Qt::Checked) {
            ++enabled;
        }
    }
    if (tasks == 0) {
        mSummary->setText(tr("You have no scheduled tasks."));
    } else if (tasks == 1) {
        mSummary->setText(enabled == 1 ? tr("One task, switched on.")
                                       : tr("One task, switched off."));
    } else {
        mSummary->setText(
            tr("%1 tasks, %2 of them switched on. Click a column title to sort by it.")
                .arg(tasks)
                .arg(enabled));
    }
}

int SCRunTaskTablePreview(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("TaskTablePreview"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "SCTaskTablePreview", "Shows your scheduled tasks and the scheduler's controls."));
    parser.addHelpOption();
    SCPreviewCommandLine preview(
        QCoreApplication::translate("SCTaskTablePreview", "Draws the window in this style."));
    const QCommandLineOption sort(
        QStringLiteral("sort"),
        QCoreApplication::translate("SCTaskTablePreview",
                                    "Clicks the title of this column (may be repeated)."),
        QStringLiteral("column"));
    parser.addOptions(
        {preview.screenshot(), preview.today(), sort, preview.language(), preview.style()});
    parser.process(app);

    QTextStream err(stderr);
    if (!preview.apply(parser, QTime(10, 30), err)) {
        return 2;
    }

    SCTaskTablePreview window;
    for (const QString& column : parser.values(sort)) {
        int index = -1;
        for (int i = 0; i < kSCColumnCount; ++i) {
            if (column == QLatin1String(kSCColumnIdentifiers[i])) {
                index = i;
            }
        }
        if (index < 0) {
            err << QCoreApplication::translate("SCTaskTablePreview", "No column is called %1.")
                       .arg(column)
                << Qt::endl;
            return 2;
        }
        window.dataSource()->tableViewDidClickTableColumn(window.table(), index);
    }
    window.show();

    if (parser.isSet(preview.screenshot())) {
        // Keep the pointer off the window, so that nothing shows as hovered.
        QCursor::setPos(window.screen()->geometry().bottomRight());
        QApplication::processEvents(); // let the layouts settle first
        return SCPreviewCommandLine::savePicture(&window, parser.value(preview.screenshot()), err)
                   ? 0
                   : 1;
    }
    return app.exec();
}
