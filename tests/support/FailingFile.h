#pragma once

#include "files/File.h"
#include "support/FileFaults.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace kalvex::test {

// A file opened through a FailingFileSystem: every call goes to the real file, except where
// the file system's faults fail it. Each read or write moves what the rules allow through
// the real file, so that the file layer's loop meets a short count, then the failure, as it
// would meet a full disk's.
class FailingFile : public files::File {
    using Op = files::FileOperation;

public:
    FailingFile(std::unique_ptr<files::File> real, FileFaults& faults)
        : real_(std::move(real)), faults_(faults) {
        faults_.opened();
    }
    ~FailingFile() override { noteClosed(); }

    files::File& real() { return *real_; }

    const std::string& path() const override { return real_->path(); }
    std::int64_t length() override { return real_->length(); }
    void truncate(std::int64_t length) override { real_->truncate(length); }
    void flush() override {
        faults_.check(FileFaults::Flush, path(), Op::Flush);
        if (faults_.beforeFlush)
            faults_.beforeFlush(path());
        real_->flush();
    }
    void startWriteback() noexcept override { real_->startWriteback(); }
    void dropCachedPages() noexcept override { real_->dropCachedPages(); }
    std::unique_ptr<files::File> duplicate() override {
        return std::make_unique<FailingFile>(real_->duplicate(), faults_);
    }
    bool tryLock(files::LockMode mode) override { return real_->tryLock(mode); }
    void close() override {
        if (!real_->isOpen())
            return;
        noteClosed(); // whatever the close says, the file is closed
        real_->close();
        faults_.check(FileFaults::Close, path(), Op::Close);
    }
    bool isOpen() const override { return real_->isOpen(); }
    std::intptr_t nativeHandle() const override { return real_->nativeHandle(); }
    std::uint64_t device() const override { return real_->device(); }
    std::uint64_t inode() const override { return real_->inode(); }
    std::uint64_t linkCount() override { return real_->linkCount(); }
    std::optional<files::Permissions> permissions() override { return real_->permissions(); }
    void setPermissions(const files::Permissions& permissions) override {
        real_->setPermissions(permissions);
    }

protected:
    // The real file's reads stop at its end, where this one reports 0.
    std::size_t readAt(std::span<std::byte> data, std::int64_t offset) override {
        return faults_.transfer(
            FileFaults::Read, path(), data.size(),
            [&](std::size_t allowed) {
                const auto count = static_cast<std::size_t>(
                    std::clamp<std::int64_t>(real_->length() - offset, 0, std::int64_t(allowed)));
                if (count > 0)
                    real_->read(data.first(count), offset + 1);
                return count;
            },
            refusal(Op::Read));
    }
    std::size_t writeAt(std::span<const std::byte> data, std::int64_t offset) override {
        if (faults_.beforeWrite)
            faults_.beforeWrite(path(), offset + 1, data.size());
        return faults_.transfer(
            FileFaults::Write, path(), data.size(),
            [&](std::size_t allowed) {
                real_->write(offset + 1, data.first(allowed));
                return allowed;
            },
            refusal(Op::Write));
    }

private:
    std::function<std::size_t(int)> refusal(Op operation) const {
        return [this, operation](int error) -> std::size_t {
            throw systemError(path(), operation, error);
        };
    }
    void noteClosed() {
        if (std::exchange(counted_, false))
            faults_.closed();
    }

    std::unique_ptr<files::File> real_;
    FileFaults& faults_;
    bool counted_ = true; // among the file system's open files
};

} // namespace kalvex::test
