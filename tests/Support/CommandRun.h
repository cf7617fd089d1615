#pragma once

// A command-line program's main function run inside the test, its output and errors caught.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qor_test {

struct CommandRun {
    int status; ///< what the main function returned
    std::string out;
    std::string err;
};

/// Calls main(argc, argv, out, err) with programName and args as the command line.
template <class Main>
CommandRun RunCommandMain(Main main, const char* programName, std::vector<std::string> args) {
    args.insert(args.begin(), programName);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    char* outBuffer = nullptr;
    char* errBuffer = nullptr;
    size_t outSize = 0;
    size_t errSize = 0;
    FILE* out = open_memstream(&outBuffer, &outSize);
    FILE* err = open_memstream(&errBuffer, &errSize);
    const int status = main(int(args.size()), argv.data(), out, err);
    fclose(out);
    fclose(err);
    CommandRun run{status, std::string(outBuffer, outSize), std::string(errBuffer, errSize)};
    free(outBuffer);
    free(errBuffer);
    return run;
}

} // namespace qor_test
