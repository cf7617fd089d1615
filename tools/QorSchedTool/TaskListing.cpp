#include "TaskListing.h"

#include "CrontabTasks.h"
#include "TaskDescription.h"
#include "ZQorScheduledTaskArray.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr size_t kColumns = 7;
using Row = std::array<std::string, kColumns>;

const Row kHeadings = {"#", "State", "Name", "Kind", "Schedule", "Next launch", "Previous launch"};

std::string LaunchText(ZQorScheduledTask* task, bool previous) {
    // A disabled task is not run by cron: it has no launch times.
    if (!task->GetTaskEnabled())
        return "-";
    ZQorScheduledTask::GenericTimeRec time = {};
    int32_t err = previous ? GetPrevLaunchTime(task, nullptr, &time)
                           : GetNextLaunchTime(task, nullptr, &time);
    return err == 0 ? QorLaunchTimeText(time) : "?";
}

Row RowFor(uint32_t position, ZQorScheduledTask* task) {
    return {std::to_string(position),
            task->GetTaskEnabled() ? "enabled" : "disabled",
            QorDisplayText(task->GetTaskNamePtr()),
            QorTaskKindText(task->GetTaskEventType()),
            QorScheduleText(task->GetTaskScheduleType(), task->mTime),
            LaunchText(task, false),
            LaunchText(task, true)};
}

void PrintRow(const Row& row, const std::array<size_t, kColumns>& widths, FILE* out) {
    std::string line = " ";
    for (size_t column = 0; column < kColumns; ++column) {
        bool last = column + 1 == kColumns;
        size_t width = QorDisplayWidth(row[column]);
        if (column == 0) // positions are right-aligned
            line += std::string(widths[0] - width, ' ') + row[0];
        else
            line += row[column] + (last ? "" : std::string(widths[column] - width, ' '));
        if (!last)
            line += "  ";
    }
    fprintf(out, "%s\n", line.c_str());
}

} // namespace

void QorPrintTaskList(ZQorScheduledTaskArray* block, const std::string& userName, FILE* out) {
    uint32_t count = block->GetNumItems();
    if (count == 0) {
        fprintf(out, "No scheduled tasks in the crontab of %s.\n", userName.c_str());
        return;
    }
    std::vector<Row> rows;
    std::vector<std::string> cronLines;
    for (uint32_t i = 0; i < count; ++i) {
        ZQorScheduledTask* task = block->NthValue(i);
        rows.push_back(RowFor(i + 1, task));
        std::string cronLine = QorCronLineText(task);
        if (!cronLine.empty() && cronLine[0] == ' ')
            cronLine.erase(0, 1);
        cronLines.push_back(QorDisplayText(cronLine));
    }
    std::array<size_t, kColumns> widths;
    for (size_t column = 0; column < kColumns; ++column) {
        widths[column] = QorDisplayWidth(kHeadings[column]);
        for (const Row& row : rows)
            widths[column] = std::max(widths[column], QorDisplayWidth(row[column]));
    }

    fprintf(out, "%u scheduled task%s in the crontab of %s:\n\n", count, count == 1 ? "" : "s",
            userName.c_str());
    PrintRow(kHeadings, widths, out);
    std::string indent(widths[0] + 3, ' ');
    for (uint32_t i = 0; i < count; ++i) {
        PrintRow(rows[i], widths, out);
        fprintf(out, "%scron line: %s\n", indent.c_str(), cronLines[i].c_str());
    }
}
