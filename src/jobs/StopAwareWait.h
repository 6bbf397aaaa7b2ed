#pragma once

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

namespace kalvex {

// Waits of the jobs' helper threads that end when the thread is asked to stop. Not
// condition_variable_any's waits with a stop token: their stop callbacks rest on a semaphore
// that MinGW's C++ runtime can leave asleep for good.

// Waits until done() holds or a stop is requested; returns done()'s last value.
template <typename Done>
bool waitUnlessStopped(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                       const std::stop_token& stop, Done done) {
    changed.wait(lock, [&] { return stop.stop_requested() || done(); });
    return done();
}

// Asks the thread to stop and wakes its waits. The lock is taken in between, so that a thread
// between its look at the request and its wait cannot miss the wake.
inline void stopAndWake(std::jthread& thread, std::mutex& mutex, std::condition_variable& changed) {
    thread.request_stop();
    { const std::lock_guard lock(mutex); }
    changed.notify_all();
}

} // namespace kalvex
