// The watchdog's thread sleeps until the deadline of the running step or a
// change of it; it decides to end the run only while it holds the lock, so a
// step that finished (finished() took the lock and cleared `running`) is never
// reported, and results changed under the lock are whole when it commits them.
#include "RunWatchdog.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <utility>

RunWatchdog::RunWatchdog(std::chrono::seconds limit, std::function<void()> lastWords,
                         std::ostream& errors)
    : limit(limit), lastWords(std::move(lastWords)), errors(errors), thread([this] { watch(); }) {}

RunWatchdog::~RunWatchdog() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    thread.join();
}

void RunWatchdog::start(std::string name) {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        step = std::move(name);
        deadline = std::chrono::steady_clock::now() + limit;
        running = true;
    }
    wake.notify_one();
}

std::unique_lock<std::mutex> RunWatchdog::finished() {
    std::unique_lock<std::mutex> lock(mutex);
    running = false;
    return lock;
}

void RunWatchdog::watch() {
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (!running) {
            wake.wait(lock);
        } else if (wake.wait_until(lock, deadline) == std::cv_status::timeout && running &&
                   std::chrono::steady_clock::now() >= deadline) {
            endTheRun();
        }
    }
}

void RunWatchdog::endTheRun() {
    if (lastWords) {
        lastWords();
    }
    // What the run printed so far stays; the main thread prints nothing more.
    std::cout.flush();
    std::fflush(stdout);
    errors << "glintmoth: " << step << ": still running after --timeout " << limit.count()
           << " s; stopped\n"
           << std::flush;
    _exit(1);
}
