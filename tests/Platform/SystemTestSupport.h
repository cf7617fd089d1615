#pragma once

// Helpers for the tests of files, bundles, preferences, Launch Services, the log and the
// console user: a temporary root with the current user's home in it, files written in one
// call, and waiting for what a detached program leaves behind.

#include "PropertyList.h"
#include "ScopedEnv.h"
#include "TempRoot.h"
#include "TestFiles.h"
#include "WaitUntil.h"

#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace system_test {

using qor_test::ReadFile;
using qor_test::ScopedEnv;
using qor_test::WriteFile;

/// A temporary install and system root holding the effective user's home folder.
class TempRoot : public qor_test::TempRoot {
public:
    TempRoot() : qor_test::TempRoot({.withHome = true}) {}
};

/// A bundle folder "path" whose Info.plist is info (XML or binary) and, when script is given,
/// whose Contents/MacOS/<executable> is that shell script.
inline void MakeBundle(const std::string& path, const QorPropertyList& info, bool binary = false,
                       const std::string& script = "") {
    WriteFile(path + "/Contents/Info.plist", binary ? info.ToBinary() : info.ToXML());
    const QorPropertyList* executable = info.Find("CFBundleExecutable");
    if (!script.empty() && executable)
        WriteFile(path + "/Contents/MacOS/" + executable->AsString(), "#!/bin/sh\n" + script, 0755);
}

/// An Info.plist dictionary with the executable, signature and identifier given (empty ones
/// left out).
inline QorPropertyList InfoPlist(const std::string& executable, const std::string& signature,
                                 const std::string& identifier = "") {
    QorPropertyList info;
    if (!executable.empty())
        info.Set("CFBundleExecutable", QorPropertyList::String(executable));
    if (!signature.empty())
        info.Set("CFBundleSignature", QorPropertyList::String(signature));
    if (!identifier.empty())
        info.Set("CFBundleIdentifier", QorPropertyList::String(identifier));
    return info;
}

/// The first 16 bytes of an ELF file; with appImage, the AppImage magic at offset 8.
inline std::string ElfHead(bool appImage = false) {
    return std::string("\x7f"
                       "ELF\x02\x01\x01\x00",
                       8) +
           (appImage ? std::string("AI\x02\x00\x00\x00\x00\x00", 8) : std::string(8, '\0'));
}

/// "key=value" lines into a map.
inline std::map<std::string, std::string> Record(const std::string& text) {
    std::map<std::string, std::string> fields;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        size_t equals = line.find('=');
        if (equals != std::string::npos)
            fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields;
}

/// Waits (at most about ten seconds) until path exists and is not empty; false if it never does.
inline bool WaitForFile(const std::string& path) {
    return qor_test::WaitUntil([&] {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && st.st_size > 0;
    });
}

} // namespace system_test
