#pragma once

#include "ZQorScheduledTaskDescriptor.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A launcher argument vector as the descriptor sees it: element 0 is the command's name, the
// positional arguments follow, and the vector ends with a null pointer like main's argv.
class TestArgs {
public:
    explicit TestArgs(std::vector<std::string> positional) : mStrings(std::move(positional)) {
        mStrings.insert(mStrings.begin(), "taskKicker");
        for (std::string& s : mStrings)
            mPointers.push_back(s.data());
        mPointers.push_back(nullptr);
    }
    TestArgs(const TestArgs&) = delete;
    TestArgs& operator=(const TestArgs&) = delete;

    int argc() const { return int(mStrings.size()); }
    char** argv() { return mPointers.data(); }

private:
    std::vector<std::string> mStrings;
    std::vector<char*> mPointers;
};

// The descriptor's text form as Write produces it.
inline std::string WrittenText(ZQorScheduledTaskDescriptor& desc) {
    char* buffer = nullptr;
    size_t length = 0;
    FILE* stream = open_memstream(&buffer, &length);
    int32_t status = desc.Write(stream);
    fclose(stream);
    std::string text(buffer, length);
    free(buffer);
    return status == 0 ? text : "<Write failed>";
}

struct ReadOutcome {
    int result;
    std::string rest; // what the reader left in the stream
};

inline ReadOutcome ReadText(ZQorScheduledTaskDescriptor& desc, std::string text) {
    FILE* stream = fmemopen(text.data(), text.size(), "r");
    ReadOutcome outcome{desc.Read(stream), ""};
    for (int c = getc(stream); c != EOF; c = getc(stream))
        outcome.rest += char(c);
    fclose(stream);
    return outcome;
}

// The descriptor's parameters as strings.
inline std::vector<std::string> Params(const ZMachOAppleEventDescriptor& desc) {
    std::vector<std::string> params;
    for (int32_t i = 0; i < desc.mNumEventParams; ++i)
        params.emplace_back(desc.mEventParams[i]);
    return params;
}
