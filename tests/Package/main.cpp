// Adds one daily task to the current user's crontab through the schedule library's handle
// layer, as the application does, for the package's installation test:
//
//   qorsched-package-test-task ID HOUR MINUTE PRODUCT
//
// The task starts PRODUCT (creator 'Smpl') and sends it the event 'evnt' of class 'clas' with
// the text "from cron". The launcher path written is the one under QORSCHED_ROOT.

#include "CrontabTasks.h"
#include "FourCharCode.h"
#include "QorScheduleErr.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskArray.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseNumber(const char* text, long low, long high, long* out) {
    char* end = nullptr;
    long value = strtol(text, &end, 10);
    if (!*text || *end || value < low || value > high)
        return false;
    *out = value;
    return true;
}

int Fail(const char* what, int32_t status) {
    fprintf(stderr, "qorsched-package-test-task: %s (status %d): %s\n", what, int(status),
            QorLastCrontabMessage().c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    long id = 0, hour = 0, minute = 0;
    if (argc != 5 || !ParseNumber(argv[1], 1, 99999, &id) || !ParseNumber(argv[2], 0, 23, &hour) ||
        !ParseNumber(argv[3], 0, 59, &minute) || argv[4][0] != '/') {
        fprintf(stderr, "usage: qorsched-package-test-task ID HOUR MINUTE /PRODUCT\n");
        return 2;
    }
    int32_t status = 0;
    ZQorScheduledTaskArray* block = OpenCrontabTasks(&status);
    if (!block)
        return Fail("cannot read the crontab", status);
    ZQorScheduledTask* task = NewScheduledTask(&status);
    if (!task)
        return Fail("cannot make a task", status);
    SetTaskEnabled(task, 1);
    SetTaskEventType(task, ZQorScheduledTask::kVirusScan);
    (void)SetTaskName(task, "Package test", 12, 1);
    (void)SetEventLauncher(task, QorCode("Smpl"), argv[4]);
    (void)SetEvent(task, QorCode("evnt"), QorCode("clas"), "\"TEXT\" \"from cron\"");
    int16_t every = -1, h = int16_t(hour), m = int16_t(minute);
    SetTaskScheduleTime(task, &every, &every, &h, &m);
    SetTaskScheduleType(task, ZQorScheduledTask::kDaily);
    if ((status = AddScheduledTask(block, task, int32_t(id))) != 0)
        return Fail("cannot add the task", status);
    if ((status = CloseCrontabTasks(block)) != 0)
        return Fail("cannot save the crontab", status);
    return 0;
}
