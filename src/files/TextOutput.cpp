#include "files/TextOutput.h"

#include "files/FileError.h"

#include <cstddef>
#include <span>

namespace kalvex::files {

TextOutput::TextOutput(FileSystem& fileSystem, const std::string& path) {
    try {
        owned_ = fileSystem.openWrite(path, WriteMode::Replace);
        file_ = owned_.get();
    } catch (const FileError& error) {
        throw FileError(error.path(), FileOperation::OpenForTextOutput, error.reason(),
                        error.errorCode());
    }
}

void TextOutput::writeNumberLine(std::int64_t number) {
    // The blank stands where a minus sign would be.
    const std::string digits = std::to_string(number);
    writeTextLine(number < 0 ? digits + " " : " " + digits + " ");
}

void TextOutput::writeTextLine(std::string_view bytes) {
    // One write per line, so each line reaches the file whole and at once.
    std::string line(bytes);
    line += "\r\n";
    file_->write(position_, std::as_bytes(std::span(line.data(), line.size())));
    position_ += static_cast<std::int64_t>(line.size());
}

void TextOutput::close() {
    file_->close();
}

} // namespace kalvex::files
