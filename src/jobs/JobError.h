#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace kalvex {

// Why a job stopped, as it reaches whoever shows it: the text to show, which names the file
// and the reason, and the file that keeps what was written, when there is one.
struct JobError {
    std::string message;
    std::string keptFile;
};

// How a job ended: nothing when it succeeded.
using JobResult = std::optional<JobError>;

// A job refused before it wrote anything, or stopped by a check of its own; the message is
// the whole text to show. File failures are files::FileError.
class JobRefusal : public std::runtime_error {
public:
    explicit JobRefusal(const std::string& message) : std::runtime_error(message) {}
};

// What a job caught at its top, as its error: the message of a FileError or a JobRefusal, or
// context ("Cannot split "<file>"") and what any other exception says. Call it in a catch.
JobError errorFromCurrentException(const std::string& context) noexcept;

} // namespace kalvex
