#include "files/TextInput.h"

#include "files/FileError.h"

#include <algorithm>
#include <cstddef>
#include <span>

namespace kalvex::files {

namespace {
constexpr std::size_t bufferSize = 64 * 1024;
} // namespace

TextInput::TextInput(FileSystem& fileSystem, const std::string& path, std::size_t longestLine)
    : longestLine_(longestLine) {
    try {
        file_ = fileSystem.openRead(path);
        remaining_ = file_->length();
    } catch (const FileError& error) {
        throw FileError(error.path(), FileOperation::OpenForTextInput, error.reason(),
                        error.errorCode());
    }
    // Each fill then reads no more of a line than the one byte that proves it too long.
    buffer_.resize(std::min(bufferSize, longestLine + 1 == 0 ? bufferSize : longestLine + 1));
}

bool TextInput::fill() {
    if (remaining_ <= 0)
        return false;
    const auto size = static_cast<std::size_t>(std::min<std::int64_t>(remaining_, buffer_.size()));
    try {
        file_->read(std::as_writable_bytes(std::span(buffer_.data(), size)));
    } catch (const FileError& error) {
        throw FileError(error.path(), FileOperation::ReadLine, error.reason(), error.errorCode());
    }
    next_ = 0;
    end_ = size;
    remaining_ -= static_cast<std::int64_t>(size);
    return true;
}

std::optional<std::string> TextInput::readLine() {
    std::string line;
    bool any = false;
    while (next_ < end_ || fill()) {
        any = true;
        const char* begin = buffer_.data() + next_;
        const char* stop = buffer_.data() + end_;
        const char* found =
            std::find_if(begin, stop, [](char c) { return c == '\r' || c == '\n'; });
        line.append(begin, found);
        if (line.size() > longestLine_)
            throw LineTooLong("a line is longer than " + std::to_string(longestLine_) + " bytes");
        if (found == stop) {
            next_ = end_;
            continue;
        }
        next_ = static_cast<std::size_t>(found - buffer_.data()) + 1;
        // A line feed right after a carriage return belongs to the same line end, even when
        // the buffer splits the pair.
        if (*found == '\r' && (next_ < end_ || fill()) && buffer_[next_] == '\n')
            ++next_;
        return line;
    }
    if (!any)
        return std::nullopt;
    return line;
}

void TextInput::close() {
    file_->close();
}

} // namespace kalvex::files
