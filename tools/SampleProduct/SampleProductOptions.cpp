#include "SampleProductOptions.h"
#include "Bundles.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

bool ReadSeconds(const char* text, unsigned* out) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    unsigned long value = strtoul(text, &end, 10);
    if (*end || text[0] == '-' || value > kSampleProductMaxIdle)
        return false;
    *out = unsigned(value);
    return true;
}

} // namespace

OSType SampleProductBundleCreator(const std::string& executable) {
    std::filesystem::path macos = std::filesystem::path(executable).parent_path();
    std::filesystem::path contents = macos.parent_path();
    if (macos.filename() != "MacOS" || contents.filename() != "Contents")
        return 0;
    QorBundleInfo bundle;
    if (!QorReadBundle(contents.parent_path().string(), &bundle))
        return 0;
    return bundle.signature;
}

SampleProductOptions SampleProductReadOptions(int argc, char** argv, const std::string& selfExe) {
    SampleProductOptions options;
    std::string argv0 = argc > 0 && argv[0] ? argv[0] : "";
    // The path it was started as, not the file a link points to: a product path may be a
    // link to the one built program, and the record belongs next to the product path.
    if (argv0.find('/') != std::string::npos)
        options.executable = std::filesystem::absolute(argv0).lexically_normal().string();
    else
        options.executable = selfExe;
    for (int i = 0; i < argc; ++i)
        options.arguments.push_back(argv[i] ? argv[i] : "");

    bool haveCreator = false, haveIdle = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (strncmp(arg, "--sample-idle=", 14) == 0) {
            haveIdle = ReadSeconds(arg + 14, &options.idleSeconds);
            if (!haveIdle)
                options.error = "bad idle time: " + std::string(arg + 14);
        } else if (strncmp(arg, "--sample-creator=", 17) == 0) {
            haveCreator = strlen(arg + 17) == 4;
            if (haveCreator)
                options.creator = QorCodeFromBytes(arg + 17);
            else
                options.error = "a creator code has four characters: " + std::string(arg + 17);
        } else if (strncmp(arg, "--sample-record=", 16) == 0) {
            options.recordFile = arg + 16;
        }
    }
    if (!haveIdle && !ReadSeconds(getenv("QORSCHED_SAMPLE_IDLE"), &options.idleSeconds))
        options.idleSeconds = 5;
    if (!haveCreator)
        options.creator = SampleProductBundleCreator(options.executable);
    return options;
}
