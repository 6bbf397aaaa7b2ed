#pragma once

#include <cstdint>

namespace kalvex {

// Told after every block of a split. Called up to a million times per GiB, so an
// implementation should only note the values and act on them now and then.
class SplitObserver {
public:
    // bar: the progress value, at most 100. percent: the whole part of the uncapped
    // progress, which passes 100 on the last block of a very short source.
    virtual void blockDone(float bar, std::int64_t percent) = 0;

protected:
    SplitObserver() = default;
    ~SplitObserver() = default;
    SplitObserver(const SplitObserver&) = default;
    SplitObserver& operator=(const SplitObserver&) = default;
};

} // namespace kalvex
