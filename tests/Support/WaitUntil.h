#pragma once

// Waiting for what another process leaves behind, without a fixed sleep.

#include <chrono>
#include <functional>
#include <thread>

namespace qor_test {

/// Asks done every 10 ms until it holds or about limit has passed; whether it held.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

} // namespace qor_test
