#include "SCControlsPreview.h"

#include "SCCalendarDayCell.h"
#include "SCCalendarMonthlyView.h"
#include "SCCalendarView.h"
#include "SCClockView.h"
#include "SCCurrentDate.h"
#include "SCPreviewCommandLine.h"
#include "SCWeekView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTextStream>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace {

QGroupBox* group(const QString& title, QWidget* content, QWidget* parent,
                 Qt::Alignment alignment = Qt::AlignVCenter) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content, 0, alignment);
    return box;
}

} // namespace

SCControlsPreview::SCControlsPreview(QWidget* parent)
    : QWidget(parent), mClock12(new SCClockView(QStringLiteral("%I:%M %p"))),
      mClock24(new SCClockView(QStringLiteral("%H:%M"))), mWeekView(new SCWeekView),
      mCalendarView(new SCCalendarView), mMonthlyView(new SCCalendarMonthlyView) {
    setWindowTitle(tr("Controls Preview"));

    auto* clocks = new QWidget(this);
    auto* clockForm = new QFormLayout(clocks);
    clockForm->setContentsMargins(0, 0, 0, 0);
    clockForm->addRow(tr("12-hour clock:"), mClock12);
    clockForm->addRow(tr("24-hour clock:"), mClock24);
    mClock12->setHour(14);
    mClock12->setMin(30);
    mClock24->setHour(14);
    mClock24->setMin(30);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(group(tr("Time"), clocks, this), 0, 0);
    layout->addWidget(group(tr("Weekday"), mWeekView, this), 0, 1);
    layout->addWidget(group(tr("Date"), mCalendarView, this, Qt::AlignTop), 1, 0);
    layout->addWidget(group(tr("Day of the month"), mMonthlyView, this, Qt::AlignTop), 1, 1);

    // Choose a later day of this month, so that today's mark shows too.
    const QDate today = SCToday();
    if (today.day() + 5 <= today.daysInMonth()) {
        mCalendarView->cell(today.day() + 5 + mCalendarView->startOffset() - 1)->click();
    }
}

int SCRunControlsPreview(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ControlsPreview"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("SCControlsPreview", "Shows the scheduler's own controls."));
    parser.addHelpOption();
    SCPreviewCommandLine preview(
        QCoreApplication::translate("SCControlsPreview", "Draws the controls in this style."));
    const QCommandLineOption parts(
        QStringLiteral("parts"),
        QCoreApplication::translate("SCControlsPreview",
                                    "Also saves a picture of each control into this folder."),
        QStringLiteral("folder"));
    parser.addOptions(
        {preview.screenshot(), parts, preview.language(), preview.today(), preview.style()});
    parser.process(app);

    QTextStream err(stderr);
    if (!preview.apply(parser, QTime(10, 0), err)) {
        return 2;
    }

    SCControlsPreview window;
    window.show();

    if (parser.isSet(preview.screenshot()) || parser.isSet(parts)) {
        // Let the layouts settle before the pictures are taken.
        QApplication::processEvents();
        std::vector<std::pair<QWidget*, QString>> pictures;
        if (parser.isSet(preview.screenshot())) {
            pictures.emplace_back(&window, parser.value(preview.screenshot()));
        }
        if (parser.isSet(parts)) {
            const QDir folder(parser.value(parts));
            pictures.emplace_back(window.clock12(), folder.filePath(QStringLiteral("clock12.png")));
            pictures.emplace_back(window.clock24(), folder.filePath(QStringLiteral("clock24.png")));
            pictures.emplace_back(window.weekView(), folder.filePath(QStringLiteral("week.png")));
            pictures.emplace_back(window.calendarView(),
                                  folder.filePath(QStringLiteral("calendar.png")));
            pictures.emplace_back(window.monthlyView(),
                                  folder.filePath(QStringLiteral("monthly.png")));
        }
        for (const auto& [widget, file] : pictures) {
            if (!SCPreviewCommandLine::savePicture(widget, file, err)) {
                return 1;
            }
        }
        return 0;
    }
    return app.exec();
}
