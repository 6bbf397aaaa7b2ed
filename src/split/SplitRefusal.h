#pragma once

#include <stdexcept>
#include <string>

namespace kalvex {

// A split that would leave a manifest unable to rebuild its source, or that would write
// over the source, is refused before any file is written.
class SplitRefusal : public std::runtime_error {
public:
    SplitRefusal(std::string sourcePath, std::string reason);

    const std::string& sourcePath() const noexcept { return sourcePath_; }
    const std::string& reason() const noexcept { return reason_; }

private:
    std::string sourcePath_;
    std::string reason_;
};

} // namespace kalvex
