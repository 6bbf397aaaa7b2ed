#pragma once

#include "files/File.h"
#include "files/FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kalvex::files {

// A text file opened for output: created, or emptied when it exists. Lines end in CR LF
// and reach the file as they are written.
class TextOutput {
public:
    TextOutput(FileSystem& fileSystem, const std::string& path);
    // Writes into a file opened elsewhere, which close() closes.
    explicit TextOutput(File& file) : file_(&file) {}

    // One blank, the number's digits (a minus sign in place of the blank when negative),
    // one blank, CR LF.
    void writeNumberLine(std::int64_t number);

    // The bytes as given (already in the file's encoding), then CR LF.
    void writeTextLine(std::string_view bytes);

    void close();

private:
    std::unique_ptr<File> owned_;
    File* file_;
    std::int64_t position_ = 1;
};

} // namespace kalvex::files
