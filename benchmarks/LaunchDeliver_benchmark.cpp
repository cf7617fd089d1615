// One launch-and-deliver, as the launcher command does it for a product that already runs:
// take the command line over, locate and classify the target, find its process by name, look
// its event port up, build the event with its parameters and send it.

#include "ProcessTable.h"
#include "QorProducts.h"
#include "ZQorScheduledTaskLauncher.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

// Gone, or ended and not yet reaped by whoever adopted it, counts as not running.
bool IsRunning(pid_t pid) {
    QorProcessInfo info;
    return QorReadProcessInfo(pid, &info) && !info.zombie;
}

// A temporary install root with the sample product installed at a product path and running.
class RunningProduct {
public:
    RunningProduct() {
        char pattern[] = "/tmp/qorsched-benchmark-XXXXXX";
        mRoot = mkdtemp(pattern);
        setenv("QORSCHED_ROOT", mRoot.c_str(), 1);
        unsetenv("QORSCHED_SYSTEM_ROOT");
        setenv("QORSCHED_SAMPLE_IDLE", "3600", 1);
        std::filesystem::create_directories(mRoot + "/tmp");
        chmod((mRoot + "/tmp").c_str(), 01777);
        // A name of its own: the launcher finds the running product by its name.
        mProduct = mRoot + kDensorPath + "-" + std::to_string(getpid());
        mDocument = mRoot + "/home/user/report.txt";
        std::filesystem::create_directories(std::filesystem::path(mProduct).parent_path());
        std::filesystem::create_directories(std::filesystem::path(mDocument).parent_path());
        std::filesystem::copy_file(QORSCHED_SAMPLE_PRODUCT, mProduct);
        std::ofstream(mDocument) << "to scan\n";

        ZQorScheduledTaskLauncher launcher(Args().argc, Args().argv);
        mOk = launcher.IsLaunchable(kIsMachoBinary) && launcher.LaunchTheApp() == 0;
        mPid = launcher.mChildPID;
        mOk = mOk && WaitForReady();
    }
    ~RunningProduct() {
        // The next repetition starts a product of the same name: this one must be gone first.
        if (mPid > 0 && kill(mPid, SIGTERM) == 0)
            for (int i = 0; i < 1000 && IsRunning(mPid); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::error_code ignored;
        std::filesystem::remove_all(mRoot, ignored);
    }

    bool Ok() const { return mOk; }

    // The command line of a scan task: a file, the program's arguments, a number and a keyed
    // value.
    struct Vector {
        int argc;
        char** argv;
    };
    Vector Args() {
        if (mStrings.empty()) {
            mStrings = {"taskKicker", "12", mProduct, "Dnsr", "DFRG", "Dnsr", "path", mDocument,
                        "exAG",       "-v", "long",   "42",   "kydo", "note", "TEXT", "benchmark"};
            for (std::string& s : mStrings)
                mPointers.push_back(s.data());
            mPointers.push_back(nullptr);
        }
        return {int(mStrings.size()), mPointers.data()};
    }

private:
    bool WaitForReady() const {
        for (int i = 0; i < 1000; ++i) {
            std::ifstream record(mProduct + ".record");
            for (std::string line; std::getline(record, line);)
                if (line.rfind("ready ", 0) == 0)
                    return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::string mRoot, mProduct, mDocument;
    std::vector<std::string> mStrings;
    std::vector<char*> mPointers;
    pid_t mPid = 0;
    bool mOk = false;
};

void LaunchAndDeliverToRunningProduct(benchmark::State& state) {
    RunningProduct product;
    if (!product.Ok()) {
        state.SkipWithError("the sample product did not start");
        return;
    }
    RunningProduct::Vector args = product.Args();
    for (auto _ : state) {
        ZQorScheduledTaskLauncher launcher(args.argc, args.argv);
        OSStatus status = -1;
        if (launcher.IsLaunchable(kIsMachoBinary) && launcher.IsLaunched() &&
            launcher.BuildEvent(0) == 0)
            status = launcher.DoEvent();
        if (status != 0) {
            state.SkipWithError("the event was not delivered");
            break;
        }
    }
}
BENCHMARK(LaunchAndDeliverToRunningProduct)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
