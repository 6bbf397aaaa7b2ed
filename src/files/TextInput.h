#pragma once

#include "files/File.h"
#include "files/FileSystem.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvex::files {

// A line longer than the reader's bound: the file is not what the reader expects, rather
// than one that cannot be read.
class LineTooLong : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text file opened for input. A line ends at CR LF, at a lone CR or at a lone LF, so a
// file that passed through a Unix tool still reads. Lines come back as raw bytes.
class TextInput {
public:
    // Lines longer than longestLine bytes throw LineTooLong, found having read at most
    // longestLine + 1 bytes of them: memory stays bounded whatever the file holds.
    TextInput(FileSystem& fileSystem, const std::string& path,
              std::size_t longestLine = std::size_t(-1));

    // The next line without its ending, or nothing at the end of the file.
    std::optional<std::string> readLine();

    void close();

private:
    bool fill();

    std::unique_ptr<File> file_;
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    std::int64_t remaining_ = 0;
    std::size_t longestLine_;
};

} // namespace kalvex::files
