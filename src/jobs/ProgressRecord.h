#pragma once

#include <atomic>
#include <cstdint>

namespace kalvex {

// The latest progress of a running job: noted by the job's thread after every block or piece,
// read by whoever shows it (a window every 20 ms, the command line's display). Noting costs
// no lock, since the 1 KiB copy notes after every block: a reader that meets a note half
// written reads again.
class ProgressRecord {
public:
    struct Values {
        float bar = 0;            // the bar's value, 0 to 100
        std::int64_t percent = 0; // the caption's whole percent; passes 100 on a tiny source
        std::int64_t bytesDone = 0;
        std::int64_t bytesTotal = 0;
    };
    struct Reading {
        Values values;
        std::uint64_t notes = 0; // how many notes were made: a reading that has more is newer
    };

    // From the job's thread only.
    void note(const Values& values) noexcept;
    // From any thread.
    Reading read() const noexcept;

private:
    std::atomic<std::uint64_t> sequence_{0}; // odd while a note is being made
    std::atomic<float> bar_{0};
    std::atomic<std::int64_t> percent_{0};
    std::atomic<std::int64_t> bytesDone_{0};
    std::atomic<std::int64_t> bytesTotal_{0};
};

} // namespace kalvex
