#pragma once

#include <QFileDialog>

#include <functional>

/// The chooser of a scan target: a disk, a folder or a file, one item. It lists only what the
/// show predicate lets through and chooses only what the valid predicate accepts; "Select" with
/// nothing selected chooses the folder shown. A double click on a folder opens it.
class SCScanTargetPanel : public QFileDialog {
    Q_OBJECT

public:
    using Predicate = std::function<bool(const QString& path)>;

    SCScanTargetPanel(QWidget* parent, Predicate shouldShow, Predicate isValid);

    /// The item chosen (valid once the panel was accepted).
    QString chosenPath() const;

public slots:
    void accept() override;

private:
    Predicate mIsValid;
};
