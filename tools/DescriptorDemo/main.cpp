// qorsched-descriptor: shows what becomes of a launcher command line. It checks the arguments
// as the launcher command does, prints the descriptor's text form (what a pending-launch file
// holds), reads that text back as the secondary launcher would and prints the fields it got.

#include "FourCharCode.h"
#include "ZQorScheduledTaskDescriptor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

const char kUsage[] =
    "usage: taskKicker [-n] executablePath creatorCode EventID classID [ type data ]...\n";

// The descriptor's text form in a malloc'ed buffer, or null.
char* TextForm(ZQorScheduledTaskDescriptor& desc, size_t* outLength) {
    char* text = nullptr;
    FILE* out = open_memstream(&text, outLength);
    if (out == nullptr)
        return nullptr;
    bool written = desc.Write(out) == 0;
    if (fclose(out) != 0 || !written) {
        free(text);
        return nullptr;
    }
    return text;
}

// Shows the text between brackets, so that leading and trailing blanks can be seen.
void PrintTextForm(const char* title, const char* text, size_t length) {
    bool lineEnd = length > 0 && text[length - 1] == '\n';
    printf("%s (%s):\n  [%.*s]\n", title, lineEnd ? "ends with a line end" : "no line end",
           int(lineEnd ? length - 1 : length), text);
}

void PrintFields(const ZQorScheduledTaskDescriptor& desc) {
    char code[5];
    printf("  task ID      %lu\n", (unsigned long)desc.mID);
    printf("  executable   %s\n", desc.mExecPath);
    QorCodeToChars(desc.mCreator, code);
    printf("  creator      '%.4s'  (0x%08X)\n", code, desc.mCreator);
    QorCodeToChars(desc.mEvent, code);
    printf("  event ID     '%.4s'  (0x%08X)\n", code, desc.mEvent);
    QorCodeToChars(desc.mClass, code);
    printf("  class        '%.4s'  (0x%08X)\n", code, desc.mClass);
    printf("  event data   [%s]  (%d characters)\n", desc.mEventData, desc.mEventDataLen);
}

} // namespace

int main(int argc, char** argv) {
    // The launcher's options; they do not change the descriptor. "+" stops at the first
    // positional argument, so that event data such as "-v" is never taken for an option.
    opterr = 0;
    for (int option; (option = getopt(argc, argv, "+nu")) != -1;) {
        if (option == '?')
            fputs(kUsage, stderr);
    }
    // As the launcher command passes it on: element 1 is the first positional argument.
    int n = argc - optind + 1;
    char** v = argv + optind - 1;

    if (!ZMachOAppleEventDescriptor::CheckArgs(n, v)) {
        fputs(kUsage, stderr);
        return 1;
    }
    ZQorScheduledTaskDescriptor fromArgs(nullptr, 0, nullptr, -1);
    int taken = fromArgs.InitFromArgs(n, v);
    printf("Arguments accepted: task %lu with %d event parameters.\n\n",
           (unsigned long)fromArgs.mID, taken - 5);

    size_t length = 0;
    char* text = TextForm(fromArgs, &length);
    if (text == nullptr) {
        fputs("qorsched-descriptor: cannot write the text form\n", stderr);
        return 1;
    }
    PrintTextForm("Text form, as a pending-launch file holds it", text, length);

    // Read back with the buffers the secondary launcher uses: 256 bytes each.
    ZQorScheduledTaskDescriptor readBack(nullptr, 256, nullptr, 256);
    FILE* in = fmemopen(text, length, "r");
    int result = in != nullptr ? readBack.Read(in) : 0;
    if (in != nullptr)
        fclose(in);
    free(text);
    printf("\nRead back: result %d (%s)\n", result,
           result == 6 ? "all five fields" : "the line ended early");
    PrintFields(readBack);
    if (readBack.mEventDataLen == readBack.mEventDataSize - 1)
        printf("  (the event data filled its %d-byte buffer: anything longer was cut)\n",
               readBack.mEventDataSize);

    // Holding its event data as one text, as a task record does, the descriptor writes a whole
    // line: the tail of that task's cron line.
    text = TextForm(readBack, &length);
    if (text != nullptr) {
        printf("\n");
        PrintTextForm("The same descriptor as the end of a task's cron line", text, length);
        free(text);
    }

    int params = readBack.SplitEventDataToSeparateParams();
    printf("\nEvent data split into %d parameters:\n", params);
    for (int i = 0; i < params; ++i)
        printf("  %2d  [%s]\n", i + 1, readBack.mEventParams[i]);
    return result == 6 ? 0 : 1;
}
