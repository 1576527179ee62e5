// The --timeout of an unattended run: a thread that ends the process when one
// batch configuration, or a capture, runs past its time (a shader that never
// ends). The main thread is then stuck inside the driver, so the watchdog
// finishes the run itself: under the lock that the caller holds for every
// change to its results, it runs the caller's last words (committing the
// results so far), says which step ran too long in one "glintmoth: ..." line
// and ends the process with status 1. It never gives the lock back, so the
// main thread cannot touch the results after that.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <thread>

class RunWatchdog {
public:
    // `lastWords` runs on the watchdog's thread, with the lock held.
    RunWatchdog(std::chrono::seconds limit, std::function<void()> lastWords, std::ostream& errors);
    ~RunWatchdog(); // stops the thread
    RunWatchdog(const RunWatchdog&) = delete;
    RunWatchdog& operator=(const RunWatchdog&) = delete;

    // Starts the clock for a step, named as the line will name it.
    void start(std::string step);
    // Stops the clock and returns the lock: while the caller holds it, the
    // results are the caller's and the watchdog cannot end the run.
    std::unique_lock<std::mutex> finished();

private:
    void watch();
    [[noreturn]] void endTheRun();

    const std::chrono::seconds limit;
    const std::function<void()> lastWords;
    std::ostream& errors;
    std::mutex mutex;
    std::condition_variable wake;
    // Guarded by the mutex.
    std::string step;
    std::chrono::steady_clock::time_point deadline;
    bool running = false;
    bool stopping = false;
    // Last: started once everything it reads is in place.
    std::thread thread;
};
