#pragma once

#include "files/File.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace kalvex {

// Puts a split's written pieces on the device behind the copy. A thread of its own starts
// the write-back of each piece as soon as it is handed over, so that the device works while
// the next pieces are copied and the copy does not spend its own time handing pages to the
// device; the flushes wait for flushAll, which makes them one after the other while the
// device has little left to do (flushing each piece as it was written doubled the time of a
// durable split).
class PieceFlusher {
public:
    PieceFlusher();
    // Stops the thread and closes every piece it still holds, unflushed.
    ~PieceFlusher();
    PieceFlusher(const PieceFlusher&) = delete;
    PieceFlusher& operator=(const PieceFlusher&) = delete;

    // A written piece to flush, through this handle of its own (a duplicate), which is
    // closed once flushed.
    void add(std::unique_ptr<files::File> piece);
    // A written piece to flush that stays open, and in the caller's hands, until flushAll.
    void addOpen(files::File& piece);

    // How many pieces wait for their flush.
    std::size_t waiting();

    // Flushes every piece handed over, in the order they came, on the calling thread, and
    // closes the handles it owns; the first failure is thrown.
    void flushAll();

private:
    struct Written {
        files::File* piece;
        std::unique_ptr<files::File> owned;
    };

    void startWritebacks(const std::stop_token& stop);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Written> handedOver_; // write-back not started yet
    std::vector<Written> started_;   // write-back started, in order
    bool starting_ = false;          // the thread is starting one

    std::jthread thread_; // last, so that it starts once everything above is in place
};

} // namespace kalvex
