#pragma once

#include "files/FileSystem.h"
#include "support/FailingFile.h"
#include "support/FileFaults.h"

#include <memory>
#include <string>

namespace kalvex::test {

// A file system that fails where its rules say (see FileFaults) and otherwise does what the
// one it wraps does, the native one by default. Every file it opens is a FailingFile, which
// must not outlive it. Copies go through the plain loop of reads and writes, never the
// kernel's in-place copy, so that the rules meet every byte. Works the same on every system.
class FailingFileSystem : public files::FileSystem, public FileFaults {
    using Op = files::FileOperation;
    using FilePtr = std::unique_ptr<files::File>;

public:
    explicit FailingFileSystem(files::FileSystem& real = files::FileSystem::native())
        : real_(real) {}

    // False: no file can lack a name, as on FAT sticks and on Windows.
    bool unnamedFiles = true;

    FilePtr openRead(const std::string& path) override {
        check(Open, path, Op::OpenForReading);
        return wrap(real_.openRead(path));
    }
    FilePtr openWrite(const std::string& path, files::WriteMode mode) override {
        check(Open, path, Op::OpenForWriting);
        return wrap(real_.openWrite(path, mode));
    }
    // An open rule fails an unnamed file as well, as the named one that would stand in for it
    // would fail: the same on every system, whether it has unnamed files or not.
    FilePtr openUnnamed(const std::string& path) override {
        check(Open, path, Op::OpenForWriting);
        return unnamedFiles ? wrap(real_.openUnnamed(path)) : nullptr;
    }
    bool giveName(files::File& unnamed, const std::string& path) override {
        return real_.giveName(static_cast<FailingFile&>(unnamed).real(), path);
    }
    void remove(const std::string& path) override {
        check(Remove, path, Op::Remove);
        real_.remove(path);
    }
    void rename(const std::string& from, const std::string& to) override {
        check(Rename, from, Op::Rename, to);
        real_.rename(from, to);
    }
    void flushFolder(const std::string& folder) override {
        check(Flush, folder, Op::Flush);
        real_.flushFolder(folder);
    }

    std::int64_t fileLength(const std::string& path) override { return real_.fileLength(path); }
    bool isLink(const std::string& path) override { return real_.isLink(path); }
    std::optional<std::string> overlongNameReason(const std::string& folder,
                                                  std::string_view name) override {
        return real_.overlongNameReason(folder, name);
    }
    bool isDirectory(const std::string& path) override { return real_.isDirectory(path); }
    bool exists(const std::string& path) override { return real_.exists(path); }
    bool sameFile(const std::string& a, const std::string& b) override {
        return real_.sameFile(a, b);
    }
    std::optional<files::Permissions> permissionsOf(const std::string& path) override {
        return real_.permissionsOf(path);
    }

private:
    FilePtr wrap(FilePtr file) {
        return file ? std::make_unique<FailingFile>(std::move(file), *this) : nullptr;
    }

    files::FileSystem& real_;
};

} // namespace kalvex::test
