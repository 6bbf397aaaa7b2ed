#pragma once

#include "jobs/ProgressRecord.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace kalvex {

// The one line that shows a running job on a terminal, drawn over itself in place:
// " 42%  612.0 MiB of 1.4 GiB  85.3 MiB/s  0:09 left".
class TerminalProgress {
public:
    explicit TerminalProgress(std::FILE* stream) : stream_(stream) {}

    // The line for values read this many seconds after the job started. Speed and time left
    // show once bytes are done.
    static std::string line(const ProgressRecord::Values& values, double seconds);

    // Draws the line over the one drawn before.
    void show(const ProgressRecord::Values& values, double seconds);
    // Blanks the line, for what is printed next.
    void clear();

private:
    void draw(const std::string& text);

    std::FILE* stream_;
    std::size_t width_ = 0; // of the line drawn last
};

} // namespace kalvex
