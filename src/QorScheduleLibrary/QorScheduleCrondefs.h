#pragma once

#include <cstdint>

// The text of the task block and of the crontab command's own header.

/// Every line of the block's signature family starts with "#" and these four letters.
extern const char gQorSignature[5];
extern const char gQorBannerVersionLine[];
extern const char gQorBannerLine2[];
extern const char gQorBannerLine3[];
extern const char gQorTrailerLine[];
/// Format that reads the block's version line.
extern const char gQorVersionFormat[];
/// How the header that some crontab commands put in front of a listing starts.
extern const char gCronHeaderStart[];

/// The block's format version.
struct QorSchedulerVersionInfo {
    int16_t major;
    uint8_t minor;
    uint8_t fix;
};

extern const QorSchedulerVersionInfo gCurrentVersion;
