#pragma once

#include <cstdint>

/// What one scheduled launch does: which program to start (executable path and creator code),
/// which event to send it (class and ID) and the data that travels with the event, either as one
/// text or as separate parameters.
///
/// The fields are plain public data. The buffers behind mExecPath and mEventData are owned or
/// borrowed as the mOwns... flags say; the strings mEventParams points to are never owned (they
/// live in the argument vector given to InitFromArgs or inside mEventData after splitting).
class ZMachOAppleEventDescriptor {
public:
    /// Size of the buffers the descriptor allocates itself.
    static constexpr int32_t kDefaultBufferSize = 256;
    /// Most parameters SplitEventDataToSeparateParams keeps.
    static constexpr int32_t kMaxEventParams = 48;

    /// A non-null buffer is borrowed with the given capacity (a negative one counts as 0); a null
    /// exec path buffer makes the descriptor own a 256-byte one. A null event data buffer means
    /// no buffer at all when inEventDataBufSize is -1, otherwise an owned 256-byte buffer
    /// whatever size was asked. Owned buffers start out as empty strings.
    ZMachOAppleEventDescriptor(char* inExecPathBuf, int inExecPathBufSize, char* inEventDataBuf,
                               int inEventDataBufSize);
    virtual ~ZMachOAppleEventDescriptor();

    ZMachOAppleEventDescriptor(const ZMachOAppleEventDescriptor&) = delete;
    ZMachOAppleEventDescriptor& operator=(const ZMachOAppleEventDescriptor&) = delete;

    /// Takes over a launcher argument vector (element 1 = task ID, 2 = executable path,
    /// 3 = creator, 4 = event ID, 5 = class, 6... = event parameters; element 0 is not examined).
    /// The parameters are borrowed: argv must outlive the descriptor. Returns 0 and changes
    /// nothing when CheckArgs rejects the vector, else mNumEventParams + 5.
    int InitFromArgs(int argc, char** argv);

    /// Splits mEventData in place into mEventParams at blanks and tabs; a parameter that opens
    /// with a single or double quote runs to the next quote of either kind and may hold blanks.
    /// At most kMaxEventParams are kept. Does nothing when there is no event data or the
    /// descriptor already has parameters. Returns mNumEventParams.
    int SplitEventDataToSeparateParams();

    /// True when argv is a well-formed launcher argument vector: at least the five positional
    /// arguments, four-character creator and class, then groups of (type, data), or after a
    /// "kydo" marker (keyword, type, data), whose codes are four characters long.
    static bool CheckArgs(int argc, char** argv);

    /// True when arg is exactly four characters long.
    static bool Is4ByteCode(const char* arg);

    uint32_t mID;
    uint32_t mCreator;
    char* mExecPath;
    uint32_t mEvent;
    uint32_t mClass;
    int16_t mEventDataLen;
    char* mEventData;
    int32_t mNumEventParams;
    char** mEventParams;
    bool mOwnsExecPath;
    bool mOwnsEventData;
    bool mOwnsEventParams;
    int32_t mExecPathSize;
    int32_t mEventDataSize;

protected:
    /// Frees the parameter array when owned and leaves the descriptor without parameters.
    void ForgetEventParams();
};
