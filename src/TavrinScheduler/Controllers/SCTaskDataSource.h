#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QTableView;
class QWidget;
class SCTaskDataModel;
class ZQorScheduledTaskArray;
struct SCNotification;

/// The task table's model and the keeper of the user's task block.
///
/// It loads the block from the user's crontab once, removes the tasks whose product is no
/// longer installed, can install the suite's default tasks, and serves one row
/// (SCTaskDataModel) per task. Every change of the block is written to the crontab at once;
/// after a change "AddRowNotification" is posted and the rows are built anew from the block.
/// The block is never read again while the object lives.
///
/// Column identifiers and indexes: see SCTableColumns.h.
class SCTaskDataSource : public QAbstractTableModel {
    Q_OBJECT

public:
    using Row = std::shared_ptr<SCTaskDataModel>;
    using SortDirections = std::array<bool, 5>;

    /// ReadOnly: neither repairs nor writes the crontab; the check boxes cannot be changed.
    enum class Access { ReadWrite, ReadOnly };

    /// The row property behind a cell (the value-by-key of its column), for any column.
    static constexpr int ValueRole = Qt::UserRole;

    /// Resolves the product paths, loads the current user's task block (a user without a
    /// crontab gets an empty block; when the crontab cannot be listed there is no block, the
    /// table stays empty and nothing is ever written), repairs it, and starts with no rows.
    explicit SCTaskDataSource(Access access = Access::ReadWrite, QObject* parent = nullptr);
    /// Saves the block when it has unsaved changes (ReadWrite), then lets it go.
    ~SCTaskDataSource() override;

    /// Finishes the set-up once the window exists. With the user default "setDefaultTasks"
    /// (also "-setDefaultTasks VALUE" on the command line, once the program made its arguments
    /// the argument domain) the application is a one-shot tool: "all" installs the default
    /// tasks, "uOMB" lets the virus-definition update task be installed again, "uTGM" the
    /// snapshot and defragmentation tasks; then true is returned and the application must quit
    /// without showing its window. Otherwise builds the rows and returns false.
    bool awakeFromNib();

    const std::vector<Row>& cronEntries() const { return mCronEntries; }
    /// Replaces the rows.
    void setCronEntries(std::vector<Row> rows);
    /// The task block, or null when it could not be loaded.
    ZQorScheduledTaskArray* cronArray() const { return mCronArray; }
    /// The identifier of the column sorted last; null before the first sort.
    const QString& mLastColumnSort() const { return mLastColumnSortId; }
    bool mSortHasBeenDone() const { return mSortDone; }
    /// The next sort direction of each column, by index (true = ascending).
    const SortDirections& mLastSortAscendingArray() const { return mSortAscending; }
    void setmLastSortAscendingArray(const SortDirections& directions) {
        mSortAscending = directions;
    }
    bool isReadOnly() const { return mAccess == Access::ReadOnly; }

    /// New rows for the block's tasks, in block order; none without a block.
    std::vector<Row> readEntries() const;
    /// Removes the tasks whose product is not installed and saves the block when it looked at
    /// a product-update task or removed one.
    void validateCronTab(ZQorScheduledTaskArray* block);
    /// Fills gScanExecPath, gDiskmateExecPath, gRenovixExecPath and gDensorExecPath with the
    /// installed products' resolved paths; a product that is not installed gets none.
    static void loadExecutablePaths();

    /// Installs each default task that was never installed and whose product is present.
    void installDefaults();
    /// Each true when there is nothing to install: the marker says the task was installed
    /// once, or its product is missing. Otherwise sets the marker and returns false.
    bool custorixDefaults();
    bool densorDefaults();
    bool renovixDefaults();
    /// Each builds its default task, adds it to the block, saves and posts
    /// "AddRowNotification". Returns 0, or the status of the step that failed (the task is
    /// then not added).
    int32_t installCustorixTask();
    int32_t installDensorTask();
    int32_t installDefsTask();

    /// Asks, in a sheet on window, whether to delete every task and install the default tasks.
    void resetDefaults(QWidget* window);
    /// The end of that sheet: kSCSheetAlternateReturn ("Reset") resets; anything else does
    /// nothing.
    void didEndResetSheet(int returnCode);

    /// Rebuilds the rows from the block ("AddRowNotification").
    void addRow(const SCNotification& notification);

    /// Makes this the model of table, the enabled column a check-box column (SCSwitchColumn),
    /// and sorts by a column when its header is clicked.
    void attachToTable(QTableView* table);
    /// A click on the header of column: sorts by it, ascending the first time; a second click
    /// on the same column reverses it; another column keeps its own last direction.
    void tableViewDidClickTableColumn(QTableView* table, int column);
    /// Sorts the rows by the column identifier in its remembered direction, keeping the
    /// table's selection (table may be null). False, and nothing sorted, for an unknown
    /// identifier.
    bool sortTable(QTableView* table, const QString& identifier);
    /// All directions ascending.
    void setupSortIndicatorArray();
    void setIndicatorUp(QTableView* table, int column);
    void setIndicatorDown(QTableView* table, int column);
    /// Marks the rows selected in table and deselects them.
    void markSelectBeforeSort(QTableView* table);
    /// Selects the marked rows again (only the first of them in a table that allows one) and
    /// clears the marks.
    void recoverPreSortSelection(QTableView* table);

    /// The user default "setDefaultTasks", when it is a string.
    static std::optional<QString> getSetDefaultTasksKey();
    /// The index of a column identifier; 1 for an unknown one.
    static int tableIdentifierToIndex(const QString& identifier);
    /// The font of every cell: the small system font.
    static QFont tableFont();

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Stores value into the row property of the cell's column, then saves the block (which
    /// writes only when the block has changed: a row property does not change the task).
    /// The enabled column takes Qt::CheckStateRole; enabledSwitchClicked comes first.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    /// The check box of row was clicked. Emitted before the row takes the clicked value, so
    /// the row's mEnabled is still the value from before the click: the task's enabled flag
    /// becomes its negation.
    void enabledSwitchClicked(int row);
    /// Writing the crontab failed with status (the schedule library's code); the block keeps
    /// its changes and the next save tries again.
    void crontabSaveFailed(int32_t status);

private:
    int32_t saveBlock();
    void postAddRow();
    void setMarker(const char* key, bool value);
    bool markerIsSet(const char* key) const;
    bool defaultsPredicate(const char* marker, bool productMissing);
    void installOnce(const char* marker, int32_t (SCTaskDataSource::*install)());
    QVariant displayValue(const SCTaskDataModel& row, int column) const;
    QVariant foreground(const SCTaskDataModel& row, int column) const;

    Access mAccess;
    std::vector<Row> mCronEntries;
    ZQorScheduledTaskArray* mCronArray = nullptr;
    SortDirections mSortAscending;
    QString mLastColumnSortId;
    bool mSortDone = false;
};
