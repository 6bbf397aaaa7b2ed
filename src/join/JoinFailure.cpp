#include "join/JoinFailure.h"

namespace kalvex {

namespace {
std::string withKeptFile(const std::string& message, const std::string& keptFile) {
    if (keptFile.empty())
        return message;
    return message + "\n\nWhat was joined so far is kept in \"" + keptFile + "\".";
}
} // namespace

JoinFailure::JoinFailure(std::string file, const std::string& message, std::string keptFile)
    : std::runtime_error(withKeptFile(message, keptFile)), file_(std::move(file)),
      keptFile_(std::move(keptFile)) {}

} // namespace kalvex
