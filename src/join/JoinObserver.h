#pragma once

#include <cstdint>

namespace kalvex {

// What a join reports while it runs, so that a window can show it. Called from the thread
// the join runs on.
class JoinObserver {
public:
    virtual ~JoinObserver() = default;

    // A piece has been joined: bar is the share joined so far (0 to 100, single precision)
    // and percent its whole part, as the caption shows it.
    virtual void pieceDone(float bar, std::int64_t percent) = 0;
};

} // namespace kalvex
