#include "SCWeekView.h"

#include "SCCalendarDayCell.h"
#include "SCCurrentDate.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFrame>

namespace {

constexpr int kDays = 7;

} // namespace

SCWeekView::SCWeekView(QWidget* parent) : QWidget(parent), mGroup(new QButtonGroup(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    for (int day = 0; day < kDays; ++day) {
        auto* button = new SCCalendarDayCell(this);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        mGroup->addButton(button, day);
        layout->addWidget(button);
    }
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    mGroup->setExclusive(true);
    retranslate();
    connect(mGroup, &QButtonGroup::idClicked, this, &SCWeekView::choseDay);
    // Qt counts Monday 1 ... Sunday 7; this view counts Sunday 0 ... Saturday 6.
    setSelectedDay(SCToday().dayOfWeek() % kDays);
}

QAbstractButton* SCWeekView::dayButton(int day) const {
    return mGroup->button(day);
}

void SCWeekView::retranslate() {
    const QString titles[kDays] = {tr("Sun"), tr("Mon"), tr("Tue"), tr("Wed"),
                                   tr("Thu"), tr("Fri"), tr("Sat")};
    int widest = 0;
    for (int day = 0; day < kDays; ++day) {
        dayButton(day)->setText(titles[day]);
        widest = std::max(widest, dayButton(day)->fontMetrics().horizontalAdvance(titles[day]));
    }
    // Equal buttons, each wide enough for the longest title.
    for (int day = 0; day < kDays; ++day) {
        dayButton(day)->setMinimumWidth(widest + 16);
    }
}

void SCWeekView::paintEvent(QPaintEvent*) {
    // The seven days sit in one field, like the segments of a single control.
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    option.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

void SCWeekView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        const int next = mSelectedDay + (key == Qt::Key_Left ? -1 : 1);
        if (next >= 0 && next < kDays) {
            choseDay(next);
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SCWeekView::focusInEvent(QFocusEvent* event) {
    dayButton(mSelectedDay)->update();
    QWidget::focusInEvent(event);
}

void SCWeekView::focusOutEvent(QFocusEvent* event) {
    dayButton(mSelectedDay)->update();
    QWidget::focusOutEvent(event);
}

void SCWeekView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void SCWeekView::setSelectedDay(int day) {
    if (day < 0 || day >= kDays) {
        return; // a weekday the picker cannot show must not become the task's weekday
    }
    mSelectedDay = day;
    dayButton(day)->setChecked(true);
}

void SCWeekView::restoreSelectedDay(int day) {
    setSelectedDay(day - 1);
}

void SCWeekView::choseDay(int column) {
    const int previous = mSelectedDay;
    setSelectedDay(column);
    if (mSelectedDay != previous) {
        emit selectedDayChanged(mSelectedDay);
    }
}
