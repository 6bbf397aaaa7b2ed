#include "split/SpyFileSystem.h"

namespace kalvex::test {

class SpyFile : public files::File {
public:
    SpyFile(SpyFileSystem& spy, std::unique_ptr<files::File> inner)
        : spy_(spy), inner_(std::move(inner)) {}

    const std::string& path() const override { return inner_->path(); }
    void read(std::span<std::byte> data, std::optional<std::int64_t> position) override {
        inner_->read(data, position);
    }
    void write(std::int64_t position, std::span<const std::byte> data) override {
        if (spy_.beforeWrite)
            spy_.beforeWrite(path());
        spy_.writes_.push_back({path(), position, static_cast<std::int64_t>(data.size())});
        inner_->write(position, data);
    }
    std::int64_t length() override { return inner_->length(); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    std::uint64_t device() const override { return inner_->device(); }
    std::uint64_t inode() const override { return inner_->inode(); }

private:
    SpyFileSystem& spy_;
    std::unique_ptr<files::File> inner_;
};

SpyFileSystem::SpyFileSystem(files::FileSystem& inner) : inner_(inner) {}

std::vector<std::int64_t> SpyFileSystem::writeSizes(const std::string& path) const {
    std::vector<std::int64_t> sizes;
    for (const auto& write : writes_)
        if (write.path == path)
            sizes.push_back(write.size);
    return sizes;
}

int SpyFileSystem::writeOpens(const std::string& path) const {
    const auto found = writeOpens_.find(path);
    return found == writeOpens_.end() ? 0 : found->second;
}

std::int64_t SpyFileSystem::fileLength(const std::string& path) {
    return inner_.fileLength(path);
}

std::unique_ptr<files::File> SpyFileSystem::openRead(const std::string& path) {
    return std::make_unique<SpyFile>(*this, inner_.openRead(path));
}

std::unique_ptr<files::File> SpyFileSystem::openWrite(const std::string& path,
                                                      files::WriteMode mode) {
    if (beforeOpenWrite)
        beforeOpenWrite(path);
    ++writeOpens_[path];
    return std::make_unique<SpyFile>(*this, inner_.openWrite(path, mode));
}

bool SpyFileSystem::isDirectory(const std::string& path) {
    return inner_.isDirectory(path);
}

bool SpyFileSystem::exists(const std::string& path) {
    return inner_.exists(path);
}

bool SpyFileSystem::sameFile(const std::string& a, const std::string& b) {
    return inner_.sameFile(a, b);
}

void SpyFileSystem::rename(const std::string& from, const std::string& to) {
    inner_.rename(from, to);
}

void SpyFileSystem::copy(files::File& from, files::File& to, std::int64_t position,
                         std::int64_t count, const std::function<void()>& afterChunk) {
    inner_.copy(from, to, position, count, afterChunk);
}

} // namespace kalvex::test
