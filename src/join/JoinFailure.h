#pragma once

#include <stdexcept>
#include <string>

namespace kalvex {

// A join that stopped: the message names the file and the reason, and, when a temporary
// file already holds part of the output, that file (it is kept, never deleted).
class JoinFailure : public std::runtime_error {
public:
    JoinFailure(std::string file, const std::string& message, std::string keptFile = {});

    const std::string& file() const noexcept { return file_; }
    const std::string& keptFile() const noexcept { return keptFile_; }

private:
    std::string file_;
    std::string keptFile_;
};

} // namespace kalvex
