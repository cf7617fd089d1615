#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class SCAMPMText;
class SCHourFormatter;
class SCMinuteFormatter;
class SCStepper;

/// The editor's time-of-day control: an hour cell and a minute cell with the user's separator
/// between them, a stepper that steps whichever cell is selected (a minute step across the
/// hour carries into the hour), and on 12-hour systems an AM/PM label that toggles on a click.
/// The hour is kept as 0-23 also when it is shown in 12-hour form.
///
/// Posts ChangeDailyDayNotification whenever the user changes the time (object: the clock
/// after a step or an AM/PM click, the stepper after typing); a 12-hour clock follows
/// ChangeAMNotification and ChangePMNotification.
class SCClockView : public QWidget {
    Q_OBJECT

public:
    enum Cell { HourCell = 0, MinuteCell = 1 };

    /// A clock for the user's time format.
    explicit SCClockView(QWidget* parent = nullptr);
    /// A clock for the given strftime-style time format ("%H:%M", "%I.%M %p").
    explicit SCClockView(const QString& timeFormat, QWidget* parent = nullptr);
    ~SCClockView() override;

    /// The hour, 0-23 (what the user has typed so far counts).
    int selectedHour() const { return mHour; }
    /// The minute, 0-59.
    int selectedMinute() const { return mMinute; }

    /// Sets the hour (0-23); on a 12-hour clock also the AM/PM label.
    void setHour(int hour);
    void setMin(int minute);
    /// Sets the AM/PM label; nothing on a 24-hour clock.
    void setPM(bool pm);

    /// Selects a cell; the stepper then steps it.
    void selectCell(Cell cell);
    Cell selectedCell() const { return mSelectedCell; }

    void setStepperToHour();
    void setStepperToMinute();

    bool uses24HourClock() const { return mUse24HourClock; }
    bool isPMSet() const { return mIsPMSet; }
    /// The stepper steps the hour cell (else the minute cell).
    bool isHourSet() const { return mIsHourSet; }

    QLineEdit* hourCell() const { return mHourCell; }
    QLineEdit* minuteCell() const { return mMinuteCell; }
    QLabel* separatorLabel() const { return mSeparator; }
    SCAMPMText* ampmText() const { return mAmpmText; }
    SCStepper* stepper() const { return mStepper; }
    SCHourFormatter* hourFormatter() const { return mHourFormatter; }

public slots:
    /// Action of the AM/PM label: moves the hour by twelve hours.
    void toggleAMPM();
    void switchToAM();
    void switchToPM();
    /// Action of the stepper.
    void arrowChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showHour(int hour);
    void showMinute(int minute);
    void cellTextEdited(Cell cell, const QString& text);
    void cellEditingFinished(Cell cell);
    void updateSelectionLook();
    void retranslate();
    QLineEdit* cellWidget(Cell cell) const { return cell == HourCell ? mHourCell : mMinuteCell; }

    bool mUse24HourClock;
    bool mIsHourSet = true;
    bool mIsPMSet = false;
    Cell mSelectedCell = HourCell;
    int mHour = 12;
    int mMinute = 0;
    bool mEdited[2] = {false, false};

    SCHourFormatter* mHourFormatter;
    std::unique_ptr<SCMinuteFormatter> mMinuteFormatter;
    QWidget* mField;
    QLineEdit* mHourCell;
    QLabel* mSeparator;
    QLineEdit* mMinuteCell;
    SCAMPMText* mAmpmText;
    SCStepper* mStepper;
};
