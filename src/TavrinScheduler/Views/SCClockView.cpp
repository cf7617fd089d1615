#include "SCClockView.h"

#include "SCAMPMText.h"
#include "SCFormatPreferences.h"
#include "SCHourFormatter.h"
#include "SCMinuteFormatter.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCStepper.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QValidator>

#include <functional>

namespace {

// What may stay in a cell while the user types: at most two digits, and only what the cell's
// formatter accepts as the beginning of a value.
class CellValidator : public QValidator {
public:
    CellValidator(std::function<bool(const QString&)> partialValid, QObject* parent)
        : QValidator(parent), mPartialValid(std::move(partialValid)) {}

    State validate(QString& input, int&) const override {
        if (input.size() > 2) {
            return Invalid;
        }
        for (QChar c : input) {
            if (!c.isDigit()) {
                return Invalid;
            }
        }
        return mPartialValid(input) ? Acceptable : Invalid;
    }

private:
    std::function<bool(const QString&)> mPartialValid;
};

// The frame around both cells and the separator, drawn like one text field.
class ClockField : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionFrame option;
        option.initFrom(this);
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
        option.midLineWidth = 0;
        option.state |= QStyle::State_Sunken;
        if (isAncestorOf(QApplication::focusWidget())) {
            option.state |= QStyle::State_HasFocus;
        }
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    }
};

QLineEdit* makeCell(QWidget* parent, Qt::Alignment alignment) {
    auto* cell = new QLineEdit(parent);
    cell->setFrame(false);
    cell->setAlignment(alignment | Qt::AlignVCenter);
    cell->setAutoFillBackground(true);
    const int digitsWidth = cell->fontMetrics().horizontalAdvance(QStringLiteral("00"));
    cell->setFixedWidth(digitsWidth + 6);
    cell->setTextMargins(1, 0, 1, 0);
    return cell;
}

} // namespace

SCClockView::SCClockView(QWidget* parent) : SCClockView(SCUserTimeFormat(), parent) {}

SCClockView::SCClockView(const QString& timeFormat, QWidget* parent)
    : QWidget(parent), mUse24HourClock(SCUses24HourClock(timeFormat)),
      mHourFormatter(new SCHourFormatter(mUse24HourClock, this)),
      mMinuteFormatter(std::make_unique<SCMinuteFormatter>()), mField(new ClockField(this)),
      mHourCell(makeCell(mField, Qt::AlignRight)), mSeparator(new QLabel(mField)),
      mMinuteCell(makeCell(mField, Qt::AlignLeft)), mAmpmText(new SCAMPMText(this)),
      mStepper(new SCStepper(this)) {
    mHourCell->setValidator(new CellValidator(
        [this](const QString& text) { return mHourFormatter->isPartialStringValid(text); },
        mHourCell));
    mMinuteCell->setValidator(new CellValidator(
        [this](const QString& text) { return mMinuteFormatter->isPartialStringValid(text); },
        mMinuteCell));
    mSeparator->setText(SCTimeSeparator(timeFormat));
    mSeparator->setAlignment(Qt::AlignCenter);

    auto* fieldLayout = new QHBoxLayout(mField);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    fieldLayout->setContentsMargins(frame + 2, frame, frame + 2, frame);
    fieldLayout->setSpacing(0);
    fieldLayout->addWidget(mHourCell);
    fieldLayout->addWidget(mSeparator);
    fieldLayout->addWidget(mMinuteCell);
    mField->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(mField);
    layout->addWidget(mAmpmText);
    layout->addWidget(mStepper);
    layout->addStretch(1);
    mStepper->setFixedHeight(mField->sizeHint().height());
    layout->setAlignment(mStepper, Qt::AlignVCenter);

    for (Cell cell : {HourCell, MinuteCell}) {
        QLineEdit* edit = cellWidget(cell);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this,
                [this, cell](const QString& text) { cellTextEdited(cell, text); });
        connect(edit, &QLineEdit::editingFinished, this,
                [this, cell] { cellEditingFinished(cell); });
    }
    connect(mStepper, &SCStepper::stepped, this, &SCClockView::arrowChanged);
    connect(mAmpmText, &SCAMPMText::clicked, this, &SCClockView::toggleAMPM);

    if (mUse24HourClock) {
        // No AM/PM on a 24-hour clock: the stepper takes the label's place.
        layout->removeWidget(mAmpmText);
        mAmpmText->hide();
    } else {
        auto& center = SCNotificationCenter::defaultCenter();
        center.addObserver(this, ChangeAMNotification, nullptr,
                           [this](const SCNotification&) { switchToAM(); });
        center.addObserver(this, ChangePMNotification, nullptr,
                           [this](const SCNotification&) { switchToPM(); });
    }

    retranslate();
    showHour(mHour);
    showMinute(mMinute);
    setPM(mHour > 11); // the label is right from the start, not only after the first display
    mStepper->setRange(0, 23);
    mStepper->setValue(mHour);
    selectCell(HourCell);
    setFocusProxy(mHourCell);
}

SCClockView::~SCClockView() {
    SCNotificationCenter::defaultCenter().removeObserver(this);
    // The cells are deleted later, by QWidget's destructor, and may still validate or finish an
    // edit on their way out (they lose the focus): cut them off from this object first.
    for (QLineEdit* cell : {mHourCell, mMinuteCell}) {
        cell->removeEventFilter(this);
        cell->disconnect(this);
        cell->setValidator(nullptr);
    }
}

void SCClockView::retranslate() {
    mHourCell->setAccessibleName(tr("Hour"));
    mMinuteCell->setAccessibleName(tr("Minute"));
    mStepper->setAccessibleName(tr("Step the selected cell"));
    if (!mUse24HourClock) {
        mAmpmText->setToolTip(tr("Click to switch between AM and PM."));
        // Wide enough for either text, so the stepper does not move when the label toggles.
        const QFontMetrics metrics = mAmpmText->fontMetrics();
        mAmpmText->setMinimumWidth(
            std::max(metrics.horizontalAdvance(tr("AM")), metrics.horizontalAdvance(tr("PM"))));
        mAmpmText->setText(mIsPMSet ? tr("PM") : tr("AM"));
    }
}

void SCClockView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    } else if (event->type() == QEvent::PaletteChange) {
        updateSelectionLook();
    }
    QWidget::changeEvent(event);
}

void SCClockView::showHour(int hour) {
    mHour = hour;
    mEdited[HourCell] = false;
    mHourCell->setText(mHourFormatter->stringForObjectValue(hour));
}

void SCClockView::showMinute(int minute) {
    mMinute = minute;
    mEdited[MinuteCell] = false;
    mMinuteCell->setText(mMinuteFormatter->stringForObjectValue(minute));
}

void SCClockView::setHour(int hour) {
    showHour(hour);
    // The stepper follows the hour only while it steps the hour; otherwise the next minute
    // step would start from the hour's value.
    if (mIsHourSet) {
        mStepper->setValue(hour);
    }
    if (!mUse24HourClock) {
        setPM(hour > 11);
    }
}

void SCClockView::setMin(int minute) {
    showMinute(minute);
    if (!mIsHourSet) {
        mStepper->setValue(minute);
    }
}

void SCClockView::setPM(bool pm) {
    if (mUse24HourClock) {
        return;
    }
    mAmpmText->setText(pm ? tr("PM") : tr("AM"));
    mIsPMSet = pm;
}

void SCClockView::selectCell(Cell cell) {
    mSelectedCell = cell;
    if (cell == HourCell) {
        setStepperToHour();
    } else {
        setStepperToMinute();
    }
    updateSelectionLook();
}

void SCClockView::setStepperToHour() {
    if (mIsHourSet) {
        return;
    }
    mStepper->setRange(0, 23);
    mStepper->setValue(mHour);
    mIsHourSet = true;
}

void SCClockView::setStepperToMinute() {
    if (!mIsHourSet) {
        return;
    }
    mStepper->setRange(0, 59);
    mStepper->setValue(mMinute);
    mIsHourSet = false;
}

void SCClockView::updateSelectionLook() {
    // The selected cell keeps a tint of the selection colour also when the clock has no focus,
    // so the user sees which cell the arrows step.
    for (Cell cell : {HourCell, MinuteCell}) {
        QLineEdit* edit = cellWidget(cell);
        QPalette palette = edit->palette();
        QColor base = mField->palette().color(QPalette::Base);
        if (cell == mSelectedCell) {
            const QColor tint = mField->palette().color(QPalette::Highlight);
            base = QColor::fromRgbF(base.redF() * 0.82f + tint.redF() * 0.18f,
                                    base.greenF() * 0.82f + tint.greenF() * 0.18f,
                                    base.blueF() * 0.82f + tint.blueF() * 0.18f);
        }
        palette.setColor(QPalette::Base, base);
        edit->setPalette(palette);
    }
}

void SCClockView::toggleAMPM() {
    if (mUse24HourClock) {
        return;
    }
    int hour = mHour;
    if (mIsPMSet) {
        mAmpmText->setText(tr("AM"));
        mIsPMSet = false;
        if (hour > 11) {
            hour -= 12;
        }
    } else {
        mAmpmText->setText(tr("PM"));
        mIsPMSet = true;
        if (hour <= 11) {
            hour += 12;
        }
    }
    showHour(hour);
    if (mSelectedCell == HourCell) {
        mStepper->setValue(hour);
    }
    SCNotificationCenter::defaultCenter().post(ChangeDailyDayNotification, this);
}

void SCClockView::switchToPM() {
    if (mUse24HourClock || mIsPMSet) {
        return;
    }
    mAmpmText->setText(tr("PM"));
    if (mIsHourSet) {
        mStepper->setValue(mHour);
    }
    mIsPMSet = true;
}

void SCClockView::switchToAM() {
    if (mUse24HourClock || !mIsPMSet) {
        return;
    }
    mAmpmText->setText(tr("AM"));
    if (mIsHourSet) {
        mStepper->setValue(mHour);
    }
    mIsPMSet = false;
}

void SCClockView::arrowChanged() {
    auto& center = SCNotificationCenter::defaultCenter();
    center.post(ControlTextDidChangeNotification);
    if (mSelectedCell == HourCell) {
        showHour(mStepper->value());
    } else {
        const int oldMinute = mMinute;
        const int newMinute = mStepper->value();
        showMinute(newMinute);
        // The stepper wraps; a wrap of the minute carries into the hour.
        if (oldMinute == 0 && newMinute == 59) {
            showHour(mHour == 0 ? 23 : mHour - 1);
        } else if (oldMinute == 59 && newMinute == 0) {
            showHour(mHour == 23 ? 0 : mHour + 1);
        }
    }
    center.post(ChangeDailyDayNotification, this);
}

void SCClockView::cellTextEdited(Cell cell, const QString& text) {
    // The value and the stepper follow what is typed; the text is tidied when editing ends.
    mEdited[cell] = true;
    int value = 0;
    if (cell == HourCell) {
        mHourFormatter->getObjectValue(&value, text, nullptr);
        mHour = value;
    } else {
        mMinuteFormatter->getObjectValue(&value, text, nullptr);
        mMinute = value;
    }
    mStepper->setValue(value);
}

void SCClockView::cellEditingFinished(Cell cell) {
    if (!mEdited[cell]) {
        return;
    }
    if (cell == HourCell) {
        showHour(mHour);
    } else {
        showMinute(mMinute);
    }
    SCNotificationCenter::defaultCenter().post(ChangeDailyDayNotification, mStepper);
}

bool SCClockView::eventFilter(QObject* watched, QEvent* event) {
    const Cell cell = watched == mHourCell ? HourCell : MinuteCell;
    if (watched != mHourCell && watched != mMinuteCell) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::FocusIn:
        selectCell(cell);
        mField->update();
        break;
    case QEvent::FocusOut:
        mField->update();
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            key == Qt::Key_Up ? mStepper->stepUp() : mStepper->stepDown();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
