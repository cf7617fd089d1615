#pragma once

// Helpers shared by the schedule library's tests: a temporary install root, a time zone set for
// the test's lifetime, and streams over strings.

#include "ScopedEnv.h"
#include "TempRoot.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using qor_test::ScopedTimeZone;
using qor_test::TempRoot;

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
