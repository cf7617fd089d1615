// Sorting the rows by a column, with a remembered direction per column, keeping the selection.

#include "SCSwitchColumn.h"
#include "SCTableColumns.h"
#include "SCTaskDataModel.h"
#include "SCTaskDataSource.h"

#include <QHash>
#include <QHeaderView>
#include <QPointer>
#include <QTableView>

#include <algorithm>
#include <set>

namespace {

using Comparator = int (SCTaskDataModel::*)(const SCTaskDataModel&) const;

struct ColumnComparators {
    Comparator ascending;
    Comparator descending;
};

constexpr ColumnComparators kComparators[kSCColumnCount] = {
    {&SCTaskDataModel::ascendEnabled, &SCTaskDataModel::descendEnabled},
    {&SCTaskDataModel::ascendName, &SCTaskDataModel::descendName},
    {&SCTaskDataModel::ascendTaskName, &SCTaskDataModel::descendTaskName},
    {&SCTaskDataModel::ascendFrequency, &SCTaskDataModel::descendFrequency},
    {&SCTaskDataModel::ascendNextLaunch, &SCTaskDataModel::descendNextLaunch},
};

// The column of a known identifier, or -1.
int columnOf(const QString& identifier) {
    for (int column = 0; column < kSCColumnCount; ++column) {
        if (identifier == QLatin1String(kSCColumnIdentifiers[column])) {
            return column;
        }
    }
    return -1;
}

bool allowsSeveralRows(const QTableView* table) {
    const auto mode = table->selectionMode();
    return mode == QAbstractItemView::MultiSelection ||
           mode == QAbstractItemView::ExtendedSelection ||
           mode == QAbstractItemView::ContiguousSelection;
}

} // namespace

int SCTaskDataSource::tableIdentifierToIndex(const QString& identifier) {
    const int column = columnOf(identifier);
    return column < 0 ? kSCNameColumn : column;
}

void SCTaskDataSource::setupSortIndicatorArray() {
    mSortAscending.fill(true);
}

void SCTaskDataSource::setIndicatorUp(QTableView* table, int column) {
    if (table) {
        table->horizontalHeader()->setSortIndicatorShown(true);
        table->horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
    }
}

void SCTaskDataSource::setIndicatorDown(QTableView* table, int column) {
    if (table) {
        table->horizontalHeader()->setSortIndicatorShown(true);
        table->horizontalHeader()->setSortIndicator(column, Qt::DescendingOrder);
    }
}

void SCTaskDataSource::attachToTable(QTableView* table) {
    table->setModel(this);
    table->setItemDelegateForColumn(kSCEnabledColumn, new SCSwitchColumn(table));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder); // nothing sorted yet
    QPointer<SCTaskDataSource> self(this);
    connect(header, &QHeaderView::sectionClicked, table, [self, table](int section) {
        if (self) {
            self->tableViewDidClickTableColumn(table, section);
        }
    });
}

void SCTaskDataSource::tableViewDidClickTableColumn(QTableView* table, int column) {
    if (column < 0 || column >= kSCColumnCount) {
        return;
    }
    const QString identifier = QLatin1String(kSCColumnIdentifiers[column]);
    const int index = tableIdentifierToIndex(identifier);
    if (identifier == mLastColumnSortId) {
        mSortAscending[size_t(index)] = !mSortAscending[size_t(index)];
    }
    if (sortTable(table, identifier)) {
        mLastColumnSortId = identifier;
    }
}

bool SCTaskDataSource::sortTable(QTableView* table, const QString& identifier) {
    mSortDone = true;
    markSelectBeforeSort(table);
    const int column = columnOf(identifier);
    if (column < 0) {
        recoverPreSortSelection(table);
        return false;
    }
    const bool ascending = mSortAscending[size_t(column)];
    const Comparator compare =
        ascending ? kComparators[column].ascending : kComparators[column].descending;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Row> sorted = mCronEntries;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [compare](const Row& a, const Row& b) { return ((*a).*compare)(*b) < 0; });
    QHash<const SCTaskDataModel*, int> newRows;
    for (size_t i = 0; i < sorted.size(); ++i) {
        newRows.insert(sorted[i].get(), int(i));
    }
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        const int row = newRows.value(mCronEntries[size_t(old.row())].get());
        after.append(index(row, old.column()));
    }
    mCronEntries = std::move(sorted);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);

    if (ascending) {
        setIndicatorUp(table, column);
    } else {
        setIndicatorDown(table, column);
    }
    recoverPreSortSelection(table);
    return true;
}

void SCTaskDataSource::markSelectBeforeSort(QTableView* table) {
    QItemSelectionModel* selection = table ? table->selectionModel() : nullptr;
    if (!selection || selection->model() != this) {
        return;
    }
    std::set<int> rows;
    for (const QModelIndex& index : selection->selectedIndexes()) {
        rows.insert(index.row());
    }
    for (int row : rows) {
        mCronEntries[size_t(row)]->setmSelectedPreSort(true);
    }
    selection->clearSelection();
}

void SCTaskDataSource::recoverPreSortSelection(QTableView* table) {
    QItemSelectionModel* selection = table ? table->selectionModel() : nullptr;
    const bool usable = selection && selection->model() == this;
    const bool several = usable && allowsSeveralRows(table);
    bool selectedOne = false;
    for (size_t row = 0; row < mCronEntries.size(); ++row) {
        SCTaskDataModel& entry = *mCronEntries[row];
        if (!entry.mSelectedPreSort()) {
            continue;
        }
        entry.setmSelectedPreSort(false); // every mark goes, also those not selected again
        if (!usable || (selectedOne && !several)) {
            continue;
        }
        selection->select(index(int(row), 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        selectedOne = true;
    }
}
