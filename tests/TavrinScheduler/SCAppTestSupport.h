#pragma once

// The scheduler application's windows in a private world (see SCTaskTestRoot.h): the products
// installed at their paths, the main window over an in-memory crontab, the sheets answered by
// the test.

#include "CrontabTasks.h"
#include "QorProducts.h"
#include "SCMainWindowController.h"
#include "SCSheet.h"
#include "SCTaskDataSource.h"
#include "SCTaskTestRoot.h"
#include "SCWindowControllerBase.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <memory>

namespace SCTest {

inline QtMessageHandler gHandlerBeforeWindows = nullptr;

/// The offscreen platform cannot raise or activate windows, and says so every time the
/// application brings a window forward. Call after quietOffscreenWarnings.
inline void quietWindowWarnings() {
    gHandlerBeforeWindows = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.startsWith(QLatin1String("This plugin does not support raise()")) &&
                !message.startsWith(QLatin1String("This plugin does not support "
                                                  "setParent"))) {
                gHandlerBeforeWindows(type, context, message);
            }
        });
}

/// The products the window tests work with: every one but Wardline.
constexpr int kAllProducts = kEverything & ~kWardline;

/// A path of the suite as the application resolves it.
inline QString resolved(const char* fixedPath) {
    return QFileInfo(QString::fromStdString(QorPath(fixedPath))).canonicalFilePath();
}

/// A crontab that holds the task block with the given task lines (two per task) after the
/// user's own lines; ROOT in a line stands for the install root.
inline QString blockTab(const QStringList& taskLines, const QString& root,
                        const QString& userLines = QString()) {
    QString tab = userLines;
    tab += QStringLiteral("#ZovE\tVERSION = 1.0.0\n"
                          "#QORVANIX SCHEDULER CRON ENTRIES.  THESE ENTRIES ARE AUTOMATICALLY "
                          "GENERATED\n"
                          "#PLEASE DO NOT EDIT.\n");
    for (QString line : taskLines) {
        tab += line.replace(QLatin1String("ROOT"), root) + QLatin1Char('\n');
    }
    tab += QStringLiteral("#ZovE END QORVANIX CRON ENTRIES\n");
    return tab;
}

/// Runs the event loop until every answered sheet has had its answer.
inline void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

/// Whether the main window has let its editor go (once the sheets had their answers).
inline bool editorClosed(SCMainWindowController& window) {
    settle();
    return window.editTaskController() == nullptr;
}

/// Selects the row of the task named name; false when no row has it.
inline bool selectTask(SCMainWindowController& window, const QString& name) {
    QAbstractItemModel* model = window.taskTable()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 1).data().toString() == name) {
            window.taskTable()->selectRow(row);
            return true;
        }
    }
    return false;
}

} // namespace SCTest
