#include "QorSchedCommands.h"

#include "Crontab.h"
#include "CrontabTasks.h"
#include "QorScheduleErr.h"
#include "TaskDescription.h"
#include "TaskFire.h"
#include "TaskListing.h"
#include "ZQorScheduledTaskArray.h"

#include <cstring>
#include <string>

namespace {

struct Context {
    const char* argument; // the command's argument, or null
    FILE* out;
    FILE* err;
};

struct Command {
    const char* name;
    const char* argument; // what the argument is called in the help, or null for none
    const char* summary;
    int (*run)(const Context& context);
};

int Help(const Context& context);
int List(const Context& context);
int Enable(const Context& context);
int Disable(const Context& context);
int Delete(const Context& context);
int Fire(const Context& context);

const Command kCommands[] = {
    {"list", nullptr,
     "show the tasks: position, state, name, kind, schedule, next and previous "
     "launch, and the cron line",
     List},
    {"enable", "N", "enable the task at position N", Enable},
    {"disable", "N", "disable the task at position N (it stays in the crontab)", Disable},
    {"delete", "N", "delete the task at position N", Delete},
    {"fire", "N", "run task N's launcher command now, as cron runs it at the task's minute", Fire},
    {"help", nullptr, "show this help", Help},
};

const Command* FindCommand(const char* name) {
    for (const Command& command : kCommands) {
        if (strcmp(command.name, name) == 0)
            return &command;
    }
    if (strcmp(name, "--help") == 0 || strcmp(name, "-h") == 0)
        return FindCommand("help");
    return nullptr;
}

void PrintUsage(FILE* stream) {
    fprintf(stream, "Usage: qorsched COMMAND [N]\n\n"
                    "Shows and changes the scheduled tasks kept in your crontab.\n\n"
                    "Commands:\n");
    for (const Command& command : kCommands) {
        std::string call = std::string(command.name) +
                           (command.argument ? std::string(" ") + command.argument : "");
        fprintf(stream, "  %-12s %s\n", call.c_str(), command.summary);
    }
    fprintf(stream, "\nN is a task's position as qorsched list shows it.\n\n"
                    "Exit status: 0 done, 1 the crontab could not be read or saved, 2 wrong "
                    "usage,\n3 no task at that position, 4 the fired task's launcher command "
                    "failed.\n");
}

int Help(const Context& context) {
    PrintUsage(context.out);
    return kQorSchedExitOK;
}

std::string UserName() {
    std::string name;
    return QorCurrentCrontab().EffectiveUserName(&name) ? name : "this user";
}

int ReportCrontabError(const Context& context, int32_t err, bool saving) {
    if (err == kQorSchedErrNoAccount) {
        fprintf(context.err, "qorsched: your user ID has no account entry, so it has no crontab\n");
    } else if (err == kQorSchedErrCrontabList || err == kQorSchedErrCrontabSave) {
        std::string message = QorLastCrontabMessage();
        for (size_t end; (end = message.find('\n')) != std::string::npos;)
            message.replace(end, 1, "; ");
        fprintf(context.err, "qorsched: cannot %s your crontab: %s\n",
                err == kQorSchedErrCrontabList ? "read" : "save", QorDisplayText(message).c_str());
    } else {
        fprintf(context.err, "qorsched: cannot %s your crontab (error %d)\n",
                saving ? "save" : "read", int(err));
    }
    if (saving)
        fprintf(context.err, "qorsched: your crontab was not changed\n");
    return kQorSchedExitCrontab;
}

constexpr char kUnreadableNote[] =
    "some entries of the task block could not be read; a change saved now leaves them out";

// The block as it is in the crontab; only what the command changes marks it for saving.
ZQorScheduledTaskArray* OpenBlock(const Context& context, int* outExit) {
    int32_t err = 0;
    ZQorScheduledTaskArray* block = OpenCrontabTasks(&err);
    if (!block) {
        *outExit = ReportCrontabError(context, err, false);
        return nullptr;
    }
    block->SetDirtyFlag(false);
    return block;
}

int List(const Context& context) {
    int exitStatus = kQorSchedExitOK;
    ZQorScheduledTaskArray* block = OpenBlock(context, &exitStatus);
    if (!block)
        return exitStatus;
    QorPrintTaskList(block, UserName(), context.out);
    if (block->GetReadStatus() != 0)
        fprintf(context.out, "\nNote: %s.\n", kUnreadableNote);
    (void)CloseCrontabTasks(block);
    return kQorSchedExitOK;
}

// A position as list shows it: decimal digits only, from 1.
bool ParsePosition(const char* text, uint32_t* outPosition) {
    if (!text || !*text || strlen(text) > 9)
        return false;
    uint32_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        value = value * 10 + uint32_t(*c - '0');
    }
    *outPosition = value;
    return value >= 1;
}

// The block and its task at the position the command's argument names; null, with the exit
// status in outExit, when there is none.
ZQorScheduledTaskArray* OpenBlockAt(const Context& context, uint32_t* outPosition, int* outExit) {
    uint32_t position = 0;
    if (!ParsePosition(context.argument, &position)) {
        fprintf(context.err,
                "qorsched: \"%s\" is not a task position; positions are the numbers 1, 2, ... "
                "that qorsched list shows\n",
                QorDisplayText(context.argument ? context.argument : "").c_str());
        *outExit = kQorSchedExitUsage;
        return nullptr;
    }
    ZQorScheduledTaskArray* block = OpenBlock(context, outExit);
    if (!block)
        return nullptr;
    uint32_t count = block->GetNumItems();
    if (position > count) {
        fprintf(context.err,
                "qorsched: there is no task at position %u; your crontab has %u task%s\n", position,
                count, count == 1 ? "" : "s");
        (void)CloseCrontabTasks(block);
        *outExit = kQorSchedExitNoTask;
        return nullptr;
    }
    *outPosition = position;
    return block;
}

enum class Change { kEnable, kDisable, kDelete };

int ChangeTask(const Context& context, Change change) {
    uint32_t position = 0;
    int exitStatus = kQorSchedExitOK;
    ZQorScheduledTaskArray* block = OpenBlockAt(context, &position, &exitStatus);
    if (!block)
        return exitStatus;
    ZQorScheduledTask* task = block->NthValue(position - 1);
    std::string name = QorDisplayText(GetTaskNamePtr(task));
    const char* done = nullptr;
    switch (change) {
    case Change::kEnable:
    case Change::kDisable: {
        int16_t enabled = change == Change::kEnable ? 1 : 0;
        if ((GetTaskEnabled(task) != 0) == (enabled != 0)) {
            fprintf(context.out, "Task %u, \"%s\", is already %s.\n", position, name.c_str(),
                    enabled ? "enabled" : "disabled");
            (void)CloseCrontabTasks(block);
            return kQorSchedExitOK;
        }
        SetTaskEnabled(task, enabled);
        done = enabled ? "Enabled" : "Disabled";
        break;
    }
    case Change::kDelete:
        RemoveScheduledTask(task);
        done = "Deleted";
        break;
    }
    if (block->GetReadStatus() != 0)
        fprintf(context.err, "qorsched: warning: %s\n", kUnreadableNote);
    int32_t err = CloseCrontabTasks(block);
    if (err != 0)
        return ReportCrontabError(context, err, true);
    fprintf(context.out, "%s task %u, \"%s\".\n", done, position, name.c_str());
    return kQorSchedExitOK;
}

int Enable(const Context& context) {
    return ChangeTask(context, Change::kEnable);
}
int Disable(const Context& context) {
    return ChangeTask(context, Change::kDisable);
}
int Delete(const Context& context) {
    return ChangeTask(context, Change::kDelete);
}

// One argument as a person would type it to a shell.
std::string ShownArgument(const std::string& argument) {
    std::string shown = QorDisplayText(argument);
    if (!shown.empty() && shown.find_first_of(" \t'\"$`\\*?[]{}();&|<>#~") == std::string::npos)
        return shown;
    std::string quoted = "'";
    for (char c : shown)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// What the launcher's commonest failing exit statuses (the low 8 bits of its result) mean.
const char* LauncherStatusText(int exitStatus) {
    switch (exitStatus) {
    case 1003 & 0xFF:
        return " (1003: you are not at the console, so the launch was left for your next "
               "graphical login)";
    case 1007 & 0xFF:
    case 1008 & 0xFF:
        return " (the launch could not be left for your next login)";
    case -43 & 0xFF:
        return " (-43: the secondary launcher is not installed)";
    default:
        return "";
    }
}

int Fire(const Context& context) {
    uint32_t position = 0;
    int exitStatus = kQorSchedExitOK;
    ZQorScheduledTaskArray* block = OpenBlockAt(context, &position, &exitStatus);
    if (!block)
        return exitStatus;
    ZQorScheduledTask* task = block->NthValue(position - 1);
    const std::string name = QorDisplayText(GetTaskNamePtr(task));
    const bool enabled = GetTaskEnabled(task) != 0;
    QorTaskRun run;
    std::string why;
    const bool prepared = QorPrepareTaskRun(task, &run, &why);
    (void)CloseCrontabTasks(block); // nothing was changed, so nothing is written
    if (!prepared) {
        fprintf(context.err, "qorsched: cannot fire task %u, \"%s\": %s\n", position, name.c_str(),
                why.c_str());
        return kQorSchedExitFire;
    }

    fprintf(context.out, "Firing task %u, \"%s\"%s, as cron would:\n ", position, name.c_str(),
            enabled ? "" : " (disabled: cron does not fire it, but it runs now)");
    for (const std::string& argument : run.argv)
        fprintf(context.out, " %s", ShownArgument(argument).c_str());
    fprintf(context.out, "\n");
    fflush(context.out);

    int launcherStatus = 0;
    if (int error = QorRunTask(run, &launcherStatus)) {
        fprintf(context.err, "qorsched: cannot run %s: %s\n", QorDisplayText(run.argv[0]).c_str(),
                strerror(error));
        return kQorSchedExitFire;
    }
    if (launcherStatus != 0) {
        fprintf(context.err,
                "qorsched: the launcher command ended with exit status %d%s; its result line in "
                "the system log says more\n",
                launcherStatus, LauncherStatusText(launcherStatus));
        return kQorSchedExitFire;
    }
    fprintf(context.out, "The launcher command ended with exit status 0.\n");
    return kQorSchedExitOK;
}
} // namespace

int RunQorSched(int argc, char** argv, FILE* out, FILE* err) {
    if (argc < 2) {
        PrintUsage(err);
        return kQorSchedExitUsage;
    }
    const Command* command = FindCommand(argv[1]);
    if (!command) {
        fprintf(err, "qorsched: unknown command \"%s\"\nTry \"qorsched --help\".\n",
                QorDisplayText(argv[1]).c_str());
        return kQorSchedExitUsage;
    }
    int wanted = command->argument ? 3 : 2;
    if (argc != wanted) {
        if (command->argument)
            fprintf(err, "qorsched: %s needs exactly one %s: qorsched %s %s\n", command->name,
                    command->argument, command->name, command->argument);
        else
            fprintf(err, "qorsched: %s takes no argument\n", command->name);
        return kQorSchedExitUsage;
    }
    return command->run(Context{command->argument ? argv[2] : nullptr, out, err});
}
