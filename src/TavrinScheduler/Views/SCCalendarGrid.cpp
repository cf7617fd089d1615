#include "SCCalendarGrid.h"

#include "SCCalendarDayCell.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kColumns = 7;

QToolButton* makeMonthButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus); // Page Up and Page Down do the same from the grid
    return button;
}

} // namespace

SCCalendarGrid::SCCalendarGrid(int rows, bool weekdayHeader, QWidget* parent)
    : QWidget(parent), mLastMonthButton(makeMonthButton(Qt::LeftArrow, this)),
      mMonthName(new QLabel(this)), mNextMonthButton(makeMonthButton(Qt::RightArrow, this)),
      mCells(new QButtonGroup(this)), mGrid(new QGridLayout), mWeekdayHeader(weekdayHeader) {
    QFont titleFont = mMonthName->font();
    titleFont.setBold(true);
    mMonthName->setFont(titleFont);
    mMonthName->setAlignment(Qt::AlignCenter);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(mLastMonthButton);
    header->addWidget(mMonthName, 1);
    header->addWidget(mNextMonthButton);

    mGrid->setContentsMargins(0, 0, 0, 0);
    mGrid->setSpacing(0);
    const int firstRow = weekdayHeader ? 1 : 0;
    if (weekdayHeader) {
        // Sunday first, like the grid; the names come from the locale.
        for (int column = 0; column < kColumns; ++column) {
            auto* name = new QLabel(this);
            name->setAlignment(Qt::AlignCenter);
            name->setForegroundRole(QPalette::PlaceholderText);
            QFont small = name->font();
            small.setPointSizeF(small.pointSizeF() * 0.9);
            name->setFont(small);
            mGrid->addWidget(name, 0, column);
        }
    }
    for (int tag = 0; tag < rows * kColumns; ++tag) {
        auto* dayCell = new SCCalendarDayCell(this);
        mCells->addButton(dayCell, tag);
        mGrid->addWidget(dayCell, firstRow + tag / kColumns, tag % kColumns);
    }
    mCells->setExclusive(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addLayout(mGrid);

    setFocusPolicy(Qt::StrongFocus);
    connect(mCells, &QButtonGroup::idClicked, this, [this] { choseDay(); });
    connect(mLastMonthButton, &QToolButton::clicked, this,
            [this] { monthChanged(mLastMonthButton); });
    connect(mNextMonthButton, &QToolButton::clicked, this,
            [this] { monthChanged(mNextMonthButton); });
    showWeekdayNames();
}

void SCCalendarGrid::setSelectedDay(const QDateTime& date) {
    mSelectedDay = date;
}

int SCCalendarGrid::cellCount() const {
    return int(mCells->buttons().size());
}

SCCalendarDayCell* SCCalendarGrid::cell(int tag) const {
    return static_cast<SCCalendarDayCell*>(mCells->button(tag));
}

int SCCalendarGrid::selectedTag() const {
    return mCells->checkedId();
}

void SCCalendarGrid::selectCellWithTag(int tag) {
    if (SCCalendarDayCell* target = cell(tag)) {
        target->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last checked button.
    if (QAbstractButton* checked = mCells->checkedButton()) {
        mCells->setExclusive(false);
        checked->setChecked(false);
        mCells->setExclusive(true);
    }
}

void SCCalendarGrid::setTitle(const QDate& date) {
    // Month name and four-digit year.
    const QLocale locale;
    mMonthName->setText(locale.standaloneMonthName(date.month()) + u' ' +
                        QString::number(date.year()));
}

void SCCalendarGrid::showDay(SCCalendarDayCell* dayCell, int day) {
    dayCell->setBordered(true);
    dayCell->setEnabled(true);
    dayCell->setText(QString::number(day));
    dayCell->setMarkedToday(false);
}

void SCCalendarGrid::showBlank(SCCalendarDayCell* dayCell) {
    dayCell->setBordered(false);
    dayCell->setEnabled(false);
    dayCell->setText(QString());
    dayCell->setMarkedToday(false);
    dayCell->setToolTip(QString());
}

QDate SCCalendarGrid::firstOfMonth(int year, int month, int step) {
    return QDate(year, month, 1).addMonths(step);
}

void SCCalendarGrid::moveSelection(int delta) {
    const int target = selectedTag() + delta;
    SCCalendarDayCell* next = cell(target);
    if (selectedTag() < 0 || !next || !next->isEnabled()) {
        return;
    }
    next->setChecked(true);
    choseDay();
}

void SCCalendarGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        moveSelection(-1);
        break;
    case Qt::Key_Right:
        moveSelection(1);
        break;
    case Qt::Key_Up:
        moveSelection(-kColumns);
        break;
    case Qt::Key_Down:
        moveSelection(kColumns);
        break;
    case Qt::Key_PageUp:
        if (mLastMonthButton->isEnabled()) {
            mLastMonthButton->click();
        }
        break;
    case Qt::Key_PageDown:
        if (mNextMonthButton->isEnabled()) {
            mNextMonthButton->click();
        }
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

// The chosen cell shows the keyboard focus of the grid.
void SCCalendarGrid::focusInEvent(QFocusEvent* event) {
    if (QAbstractButton* checked = mCells->checkedButton()) {
        checked->update();
    }
    QWidget::focusInEvent(event);
}

void SCCalendarGrid::focusOutEvent(QFocusEvent* event) {
    if (QAbstractButton* checked = mCells->checkedButton()) {
        checked->update();
    }
    QWidget::focusOutEvent(event);
}

void SCCalendarGrid::showWeekdayNames() {
    if (!mWeekdayHeader) {
        return;
    }
    const QLocale locale;
    for (int column = 0; column < kColumns; ++column) {
        // Qt counts Monday 1 ... Sunday 7.
        const int qtDay = column == 0 ? 7 : column;
        auto* name = static_cast<QLabel*>(mGrid->itemAtPosition(0, column)->widget());
        name->setText(locale.standaloneDayName(qtDay, QLocale::ShortFormat));
    }
}

void SCCalendarGrid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        showWeekdayNames();
    }
    QWidget::changeEvent(event);
}
