#include "SCScanTargetPanel.h"

#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace {

// Hides the items the panel's owner does not want offered.
class ShownItemsFilter : public QSortFilterProxyModel {
public:
    ShownItemsFilter(SCScanTargetPanel::Predicate shouldShow, QObject* parent)
        : QSortFilterProxyModel(parent), mShouldShow(std::move(shouldShow)) {}

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files || !mShouldShow) {
            return true;
        }
        return mShouldShow(files->filePath(files->index(row, 0, parent)));
    }

private:
    SCScanTargetPanel::Predicate mShouldShow;
};

} // namespace

SCScanTargetPanel::SCScanTargetPanel(QWidget* parent, Predicate shouldShow, Predicate isValid)
    : QFileDialog(parent), mIsValid(std::move(isValid)) {
    // Qt's own panel, so that what it lists and accepts can be decided here.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setProxyModel(new ShownItemsFilter(std::move(shouldShow), this));
}

QString SCScanTargetPanel::chosenPath() const {
    const QStringList files = selectedFiles();
    return files.isEmpty() ? directory().absolutePath() : files.first();
}

void SCScanTargetPanel::accept() {
    // Folders are chosen here, not opened as a file panel would.
    const QString chosen = chosenPath();
    if (chosen.isEmpty() || (mIsValid && !mIsValid(chosen))) {
        return;
    }
    QDialog::accept();
}
