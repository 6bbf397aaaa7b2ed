#include "app/TerminalProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kalvex {

namespace {

std::string printed(const char* format, auto... values) {
    char text[64];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string size(double bytes) {
    static const char* const units[] = {"KiB", "MiB", "GiB", "TiB", "PiB"};
    if (bytes < 1024)
        return printed("%.0f B", bytes);
    int unit = 0;
    for (bytes /= 1024; bytes >= 1024 && unit < 4; ++unit)
        bytes /= 1024;
    return printed("%.1f %s", bytes, units[unit]);
}

std::string duration(double seconds) {
    const auto whole = static_cast<std::int64_t>(std::ceil(seconds));
    const auto hours = whole / 3600, minutes = whole / 60 % 60, rest = whole % 60;
    if (hours > 0)
        return printed("%lld:%02lld:%02lld", static_cast<long long>(hours),
                       static_cast<long long>(minutes), static_cast<long long>(rest));
    return printed("%lld:%02lld", static_cast<long long>(minutes), static_cast<long long>(rest));
}

} // namespace

std::string TerminalProgress::line(const ProgressRecord::Values& values, double seconds) {
    const auto done = static_cast<double>(values.bytesDone);
    const auto total = static_cast<double>(values.bytesTotal);
    const double percent = total > 0 ? std::floor(done / total * 100) : 0;
    std::string text = printed("%3.0f%%  ", percent) + size(done) + " of " + size(total);
    if (done > 0 && seconds > 0) {
        const double speed = done / seconds;
        text +=
            "  " + size(speed) + "/s  " + duration(std::max(0.0, total - done) / speed) + " left";
    }
    return text;
}

void TerminalProgress::show(const ProgressRecord::Values& values, double seconds) {
    draw(line(values, seconds));
}

void TerminalProgress::clear() {
    draw("");
    std::fputc('\r', stream_);
    std::fflush(stream_);
}

// Blanks pad the line over the end of a longer one drawn before.
void TerminalProgress::draw(const std::string& text) {
    const std::size_t width = text.size();
    std::fprintf(stream_, "\r%s%*s", text.c_str(),
                 static_cast<int>(width_ > width ? width_ - width : 0), "");
    std::fflush(stream_);
    width_ = width;
}

} // namespace kalvex
