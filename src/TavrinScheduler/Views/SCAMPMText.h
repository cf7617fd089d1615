#pragma once

#include <QLabel>

/// The clock's AM/PM label: a click on it is its action (the clock toggles AM and PM).
class SCAMPMText : public QLabel {
    Q_OBJECT

public:
    explicit SCAMPMText(QWidget* parent = nullptr);

signals:
    /// The user clicked the label.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
