#include "common/TemporaryFiles.h"

#include <algorithm>
#include <atomic>
#include <csignal>

#ifdef _WIN32
#include <cstdio>
#else
#include <unistd.h>
#endif

namespace tempfiles {

namespace {

constexpr int kSlots = 16;
constexpr std::size_t kLength = 4096;

enum : int { kFree, kFilling, kSet };

// Plain arrays and lock-free atomics: all a signal handler may touch.
std::filesystem::path::value_type names[kSlots][kLength];
std::atomic<int> states[kSlots];
static_assert(std::atomic<int>::is_always_lock_free);

void RemoveAll() {
    for (int i = 0; i < kSlots; ++i) {
        if (states[i].load() == kSet) {
#ifdef _WIN32
            _wremove(names[i]);
#else
            unlink(names[i]);
#endif
        }
    }
}

extern "C" void OnSignal(int signal) {
    RemoveAll();
    std::signal(signal, SIG_DFL);
    std::raise(signal); // delivered with the default action once the handler returns
}

} // namespace

int Register(const std::filesystem::path& file) {
    const auto& name = file.native();
    if (name.size() >= kLength) {
        return -1;
    }
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (states[i].compare_exchange_strong(expected, kFilling)) {
            std::copy(name.begin(), name.end(), names[i]);
            names[i][name.size()] = 0;
            states[i].store(kSet);
            return i;
        }
    }
    return -1;
}

void Unregister(int slot) {
    if (slot >= 0) {
        states[slot].store(kFree);
    }
}

void RemoveOnSignals() {
#ifdef _WIN32
    const int signals[] = {SIGINT, SIGTERM, SIGBREAK};
    for (const int signal : signals) {
        if (std::signal(signal, OnSignal) == SIG_IGN) {
            std::signal(signal, SIG_IGN);
        }
    }
#else
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
#endif
}

} // namespace tempfiles
