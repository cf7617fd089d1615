#include "ZMachOAppleEventDescriptor.h"

#include "FourCharCode.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr char kParamsMarker[] = "kydo";

// Copies at most capacity - 1 characters and terminates; a buffer without room stays untouched.
void CopyTerminated(char* out, int32_t capacity, const char* in) {
    if (out == nullptr || capacity < 1)
        return;
    size_t n = strnlen(in, size_t(capacity) - 1);
    memcpy(out, in, n);
    out[n] = '\0';
}

char* AllocateEmptyBuffer(int32_t size) {
    char* buffer = static_cast<char*>(malloc(size_t(size)));
    if (buffer != nullptr)
        buffer[0] = '\0';
    return buffer;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

} // namespace

ZMachOAppleEventDescriptor::ZMachOAppleEventDescriptor(char* inExecPathBuf, int inExecPathBufSize,
                                                       char* inEventDataBuf, int inEventDataBufSize)
    : mID(0), mCreator(0), mExecPath(nullptr), mEvent(0), mClass(0), mEventDataLen(0),
      mEventData(nullptr), mNumEventParams(0), mEventParams(nullptr), mOwnsExecPath(false),
      mOwnsEventData(false), mOwnsEventParams(false), mExecPathSize(0), mEventDataSize(0) {
    if (inExecPathBuf != nullptr) {
        mExecPath = inExecPathBuf;
        mExecPathSize = inExecPathBufSize > 0 ? inExecPathBufSize : 0;
    } else {
        mExecPath = AllocateEmptyBuffer(kDefaultBufferSize);
        mOwnsExecPath = mExecPath != nullptr;
        mExecPathSize = mExecPath != nullptr ? kDefaultBufferSize : 0;
    }

    if (inEventDataBuf != nullptr) {
        mEventData = inEventDataBuf;
        mEventDataSize = inEventDataBufSize > 0 ? inEventDataBufSize : 0;
    } else if (inEventDataBufSize != -1) {
        mEventData = AllocateEmptyBuffer(kDefaultBufferSize);
        mOwnsEventData = mEventData != nullptr;
        mEventDataSize = mEventData != nullptr ? kDefaultBufferSize : 0;
    }
}

ZMachOAppleEventDescriptor::~ZMachOAppleEventDescriptor() {
    if (mOwnsExecPath)
        free(mExecPath);
    if (mOwnsEventData)
        free(mEventData);
    ForgetEventParams();
}

void ZMachOAppleEventDescriptor::ForgetEventParams() {
    if (mOwnsEventParams)
        free(mEventParams);
    mEventParams = nullptr;
    mOwnsEventParams = false;
    mNumEventParams = 0;
}

bool ZMachOAppleEventDescriptor::Is4ByteCode(const char* arg) {
    return arg != nullptr && strnlen(arg, 5) == 4;
}

bool ZMachOAppleEventDescriptor::CheckArgs(int argc, char** argv) {
    if (argc < 6 || argv == nullptr)
        return false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == nullptr)
            return false;
    }
    if (!Is4ByteCode(argv[3]) || !Is4ByteCode(argv[5]))
        return false;

    // The first group is (event ID, class); then (type, data) pairs until a marker, after which
    // every group is a (keyword, type, data) triple.
    int groupSize = 2;
    int i = 4;
    while (i < argc) {
        if (strncmp(argv[i], kParamsMarker, 4) == 0) {
            groupSize = 3;
            ++i;
        }
        if (i + groupSize > argc)
            return false;
        for (int code = i; code < i + groupSize - 1; ++code) {
            if (!Is4ByteCode(argv[code]))
                return false;
        }
        i += groupSize;
    }
    return true;
}

int ZMachOAppleEventDescriptor::InitFromArgs(int argc, char** argv) {
    if (!CheckArgs(argc, argv))
        return 0;

    // Like atoi, but with a defined result for numbers out of range: the value saturates as a
    // long and keeps its low 32 bits, so "-1" and "4294967295" both give 0xFFFFFFFF.
    mID = uint32_t(strtol(argv[1], nullptr, 10));
    CopyTerminated(mExecPath, mExecPathSize, argv[2]);
    mCreator = QorCodeFromBytes(argv[3]);
    mEvent = QorCodeFromBytes(argv[4]);
    mClass = QorCodeFromBytes(argv[5]);

    ForgetEventParams();
    if (argc > 6) {
        mEventParams = argv + 6;
        mNumEventParams = argc - 6;
    }
    return mNumEventParams + 5;
}

int ZMachOAppleEventDescriptor::SplitEventDataToSeparateParams() {
    if (mEventData == nullptr || mEventDataSize < 1 || mEventData[0] == '\0' ||
        mNumEventParams != 0 || mEventParams != nullptr)
        return mNumEventParams;

    // A borrowed buffer may be full without a terminator; the last parameter needs one.
    size_t length = strnlen(mEventData, size_t(mEventDataSize));
    if (length == size_t(mEventDataSize))
        mEventData[--length] = '\0';

    // Allocated at its full size at once, so that running out of memory never leaves the event
    // data half split.
    char** params = static_cast<char**>(malloc(sizeof(char*) * kMaxEventParams));
    if (params == nullptr)
        return mNumEventParams;
    mEventParams = params;
    mOwnsEventParams = true;

    char* cursor = mEventData;
    while (*cursor != '\0' && mNumEventParams < kMaxEventParams) {
        if (*cursor == ' ' || *cursor == '\t') {
            *cursor++ = '\0';
            continue;
        }
        const char* ends = " \t";
        if (IsQuote(*cursor)) {
            // Runs to the next quote of either kind. An empty pair of quotes is an empty
            // parameter: dropping it would shift every later (type, data) group.
            *cursor++ = '\0';
            ends = "\"'";
        }
        char* start = cursor;
        cursor += strcspn(cursor, ends);
        if (*cursor != '\0')
            *cursor++ = '\0';
        params[mNumEventParams++] = start;
    }
    return mNumEventParams;
}
