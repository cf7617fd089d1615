#pragma once

#include "SCScanTargetPanel.h"
#include "SCWindowControllerBase.h"

#include <QPointer>

class XDragFileTxtFldFormNoNetwork;

/// The editor of virus-scan tasks: the scan target is a disk, folder or file on a local disk,
/// dropped on the target field, typed, or chosen in a panel.
class SCOmbrixWindowController : public SCWindowControllerBase {
    Q_OBJECT

public:
    /// A new editor of task (null: a new task) for the main window's table.
    static SCOmbrixWindowController*
    sharedInfoWindowControllerWithTable(QTableView* table, std::shared_ptr<SCTaskDataModel> task,
                                        QWidget* parent = nullptr);

    explicit SCOmbrixWindowController(QWidget* parent = nullptr);
    bool init();

    /// Opens the scan-target panel on the window; a confirmed choice becomes the target.
    void chooseFolderFile();
    /// The panel lists an item only when it lies on a local disk.
    static bool panelShouldShowFilename(const QString& path);
    /// The panel takes any existing item except a folder where volumes appear (a media folder
    /// or a per-user folder in it): the volumes in it are targets of their own.
    static bool panelIsValidFilename(const QString& path);

    /// A target must be chosen, and its path must fit the task and be safe in the crontab.
    bool isEventDataValid() override;
    /// The end of the no-selection sheet: "Select" opens the panel, "Don't Save" closes.
    void didEndCloseNoSelectionSheet(int returnCode);
    void populateFields() override;
    int32_t saveTask() override;

    /// The target field's text as laid out, which means that nothing is chosen yet.
    const QString& noSelectionString() const { return mNoSelectionString; }
    void setNoSelectionString(const QString& text) { mNoSelectionString = text; }

    static QString eventDataFromPathName(const QString& path);
    static QString pathFromEventData(const QString& eventData);

    XDragFileTxtFldFormNoNetwork* scanSelection() const { return mScanSelection; }
    /// The panel while it is open.
    SCScanTargetPanel* scanTargetPanel() const { return mPanel; }

protected:
    void awakeFromNib() override;

private:
    XDragFileTxtFldFormNoNetwork* mScanSelection = nullptr;
    QString mNoSelectionString;
    QPointer<SCScanTargetPanel> mPanel;
};
