#include "files/File.h"

#include <algorithm>

namespace kalvex::files {

std::int64_t File::startOf(std::optional<std::int64_t> position, FileOperation operation) const {
    if (!position)
        return offset_;
    if (*position < 1)
        throw FileError(path(), operation,
                        "position " + std::to_string(*position) + " is before the first byte");
    return *position - 1;
}

void File::read(std::span<std::byte> data, std::optional<std::int64_t> position) {
    const std::int64_t start = startOf(position, FileOperation::Read);
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t got =
            readAt(data.subspan(done, std::min(data.size() - done, MostPerCall)),
                   start + static_cast<std::int64_t>(done));
        if (got == 0)
            throw FileError(path(), FileOperation::Read, "the file ends before the expected bytes");
        done += got;
    }
    offset_ = start + static_cast<std::int64_t>(done);
}

void File::write(std::int64_t position, std::span<const std::byte> data) {
    const std::int64_t start = startOf(position, FileOperation::Write);
    std::size_t done = 0;
    while (done < data.size())
        done += writeAt(data.subspan(done, std::min(data.size() - done, MostPerCall)),
                        start + static_cast<std::int64_t>(done));
    offset_ = start + static_cast<std::int64_t>(done);
}

void File::seek(std::int64_t position) {
    offset_ = startOf(position, FileOperation::Read);
}

} // namespace kalvex::files
