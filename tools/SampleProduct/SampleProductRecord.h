#pragma once

#include <string>
#include <vector>

/// The record file of one run, appended to one whole line per write so that several products
/// can share it.
class SampleProductRecord {
public:
    SampleProductRecord() = default;
    ~SampleProductRecord();
    SampleProductRecord(const SampleProductRecord&) = delete;
    SampleProductRecord& operator=(const SampleProductRecord&) = delete;

    /// Opens the first usable of the candidates: a regular file owned by this user, never
    /// reached through a symbolic link (created 0644 when missing).
    bool Open(const std::vector<std::string>& candidates);
    const std::string& Path() const { return mPath; }

    /// Appends "kind pid=<pid> text\n".
    void Write(const std::string& kind, const std::string& text);

private:
    int mFd = -1;
    std::string mPath;
};

/// Where the record goes: the option's file when given; else next to the executable
/// ("<executable>.record"); else in the user's home folder under the system root
/// ("<home>/<executable name>.record").
std::vector<std::string> SampleProductRecordCandidates(const std::string& option,
                                                       const std::string& executable);
