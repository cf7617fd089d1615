// The command-line arguments of a started plain executable, carried by the event's "exAG"
// parameter.

#include "ZMachOAppleEventLauncher.h"

#include "ZMachOAppleEventDescriptor.h"

#include <cstring>

char* ZMachOAppleEventLauncher::execArgsArray[kMaxExecArgs + 2];
char ZMachOAppleEventLauncher::execArgsBuffer[kExecArgsTextMax + 1];

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

char* ZMachOAppleEventLauncher::GetExecArgs() {
    if (mTaskDesc == nullptr || mTaskDesc->mEventParams == nullptr)
        return nullptr;
    char** params = mTaskDesc->mEventParams;
    for (int32_t i = 0; i + 1 < mTaskDesc->mNumEventParams; i += 2) {
        if (strncmp(params[i], "kydo", 4) == 0)
            return nullptr;
        if (strcmp(params[i], "exAG") == 0) {
            size_t length = strnlen(params[i + 1], kExecArgsTextMax);
            memcpy(execArgsBuffer, params[i + 1], length);
            execArgsBuffer[length] = '\0';
            return execArgsBuffer;
        }
    }
    return nullptr;
}

char** ZMachOAppleEventLauncher::FillExecArgsArray(const char* arg0) {
    // Checked before the text is fetched again: fetching copies the unsplit text over the
    // words the array points to.
    if (mExecArgsAlreadyFilled)
        return execArgsArray;
    char* cursor = GetExecArgs();
    if (cursor == nullptr)
        return nullptr;

    int count = 0;
    execArgsArray[count++] = const_cast<char*>(arg0);
    while (count <= kMaxExecArgs) {
        while (IsBlank(*cursor))
            *cursor++ = '\0';
        if (*cursor == '\0')
            break;
        char* word = cursor;
        for (;;) {
            cursor += strcspn(cursor, " \t");
            if (*cursor == '\0')
                break;
            // "a\ b" is one word "a b": the backslash becomes the blank and the separator goes,
            // unless nothing but blanks or the end follows it.
            if (cursor[-1] == '\\' && cursor[1] != '\0' && !IsBlank(cursor[1])) {
                cursor[-1] = ' ';
                memmove(cursor, cursor + 1, strlen(cursor + 1) + 1);
                continue;
            }
            *cursor++ = '\0';
            break;
        }
        execArgsArray[count++] = word;
    }
    execArgsArray[count] = nullptr;
    mExecArgsAlreadyFilled = true;
    return execArgsArray;
}
