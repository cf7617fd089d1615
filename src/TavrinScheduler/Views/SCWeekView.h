#pragma once

#include <QWidget>

class QAbstractButton;
class QButtonGroup;

/// The weekly tab's weekday picker: seven toggles in one row, Sunday first, one of them chosen.
/// The chosen weekday is 0 = Sunday ... 6 = Saturday and starts as today's.
class SCWeekView : public QWidget {
    Q_OBJECT

public:
    explicit SCWeekView(QWidget* parent = nullptr);

    int selectedDay() const { return mSelectedDay; }
    /// Chooses weekday day (0-6); other values leave the choice as it is.
    void setSelectedDay(int day);
    /// Chooses the weekday day - 1: the stored weekday plus one, as the editor passes it.
    void restoreSelectedDay(int day);

    QAbstractButton* dayButton(int day) const;

signals:
    /// The user chose another weekday.
    void selectedDayChanged(int day);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void choseDay(int column);
    void retranslate();

    int mSelectedDay = 0;
    QButtonGroup* mGroup;
};
