#include "jobs/ProgressRecord.h"

namespace kalvex {

void ProgressRecord::note(const Values& values) noexcept {
    const std::uint64_t at = sequence_.load(std::memory_order_relaxed);
    sequence_.store(at + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    bar_.store(values.bar, std::memory_order_relaxed);
    percent_.store(values.percent, std::memory_order_relaxed);
    bytesDone_.store(values.bytesDone, std::memory_order_relaxed);
    bytesTotal_.store(values.bytesTotal, std::memory_order_relaxed);
    sequence_.store(at + 2, std::memory_order_release);
}

ProgressRecord::Reading ProgressRecord::read() const noexcept {
    for (;;) {
        const std::uint64_t before = sequence_.load(std::memory_order_acquire);
        Reading reading;
        reading.values.bar = bar_.load(std::memory_order_relaxed);
        reading.values.percent = percent_.load(std::memory_order_relaxed);
        reading.values.bytesDone = bytesDone_.load(std::memory_order_relaxed);
        reading.values.bytesTotal = bytesTotal_.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (before % 2 == 0 && sequence_.load(std::memory_order_relaxed) == before) {
            reading.notes = before / 2;
            return reading;
        }
    }
}

} // namespace kalvex
