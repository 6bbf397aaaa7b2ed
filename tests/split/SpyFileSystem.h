#pragma once

#include "files/FileSystem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kalvex::test {

// Passes every call on to another file system and notes what the split did: the opens
// for writing per path and every write. Hooks let a test act in the middle of a job.
class SpyFileSystem : public files::FileSystem {
public:
    struct Write {
        std::string path;
        std::int64_t position;
        std::int64_t size;
    };

    explicit SpyFileSystem(files::FileSystem& inner = files::FileSystem::native());

    std::function<void(const std::string& path)> beforeWrite;
    std::function<void(const std::string& path)> beforeOpenWrite;

    const std::vector<Write>& writes() const { return writes_; }
    std::vector<std::int64_t> writeSizes(const std::string& path) const;
    int writeOpens(const std::string& path) const;

    std::int64_t fileLength(const std::string& path) override;
    std::unique_ptr<files::File> openRead(const std::string& path) override;
    std::unique_ptr<files::File> openWrite(const std::string& path, files::WriteMode mode) override;
    bool isDirectory(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    void rename(const std::string& from, const std::string& to) override;
    void copy(files::File& from, files::File& to, std::int64_t position, std::int64_t count,
              const std::function<void()>& afterChunk) override;

private:
    friend class SpyFile;
    files::FileSystem& inner_;
    std::vector<Write> writes_;
    std::map<std::string, int> writeOpens_;
};

} // namespace kalvex::test
