#pragma once

// Helpers shared by the schedule library's tests: a temporary install root, a time zone set for
// the test's lifetime, and streams over strings.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <time.h>
#include <vector>

/// A temporary folder used as QORSCHED_ROOT (with its "/tmp") for the object's lifetime.
class TestRoot {
public:
    TestRoot() {
        char pattern[] = "/tmp/qorsched-test.XXXXXX";
        mPath = mkdtemp(pattern);
        std::filesystem::create_directories(mPath + "/tmp");
        const char* old = getenv("QORSCHED_ROOT");
        mHadOld = old != nullptr;
        if (old)
            mOld = old;
        setenv("QORSCHED_ROOT", mPath.c_str(), 1);
        unsetenv("QORSCHED_SYSTEM_ROOT");
    }
    ~TestRoot() {
        if (mHadOld)
            setenv("QORSCHED_ROOT", mOld.c_str(), 1);
        else
            unsetenv("QORSCHED_ROOT");
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    const std::string& Path() const { return mPath; }
    std::string TempFolder() const { return mPath + "/tmp"; }

    /// Names of the files left in the root's "/tmp".
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(TempFolder()))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::string mPath;
    std::string mOld;
    bool mHadOld = false;
};

/// TZ set to zone for the object's lifetime.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        const char* old = getenv("TZ");
        mHadOld = old != nullptr;
        if (old)
            mOld = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (mHadOld)
            setenv("TZ", mOld.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string mOld;
    bool mHadOld = false;
};

/// A read stream over a copy of text (NUL bytes included).
class InputStream {
public:
    explicit InputStream(std::string text) : mText(std::move(text)) {
        mFile = mText.empty() ? fopen("/dev/null", "r") : fmemopen(mText.data(), mText.size(), "r");
    }
    ~InputStream() { fclose(mFile); }
    FILE* Get() const { return mFile; }
    long Position() const { return ftell(mFile); }
    /// What is left to read.
    std::string Rest() const {
        std::string rest;
        int c;
        while ((c = getc(mFile)) != EOF)
            rest.push_back(char(c));
        return rest;
    }

private:
    std::string mText;
    FILE* mFile;
};

/// A write stream whose bytes can be taken as a string.
class OutputStream {
public:
    OutputStream() { mFile = open_memstream(&mBuffer, &mSize); }
    ~OutputStream() {
        fclose(mFile);
        free(mBuffer);
    }
    FILE* Get() const { return mFile; }
    std::string Text() {
        fflush(mFile);
        return std::string(mBuffer, mSize);
    }

private:
    char* mBuffer = nullptr;
    size_t mSize = 0;
    FILE* mFile;
};
