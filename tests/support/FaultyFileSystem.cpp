#include "support/FaultyFileSystem.h"

#include "files/FileError.h"
#include "files/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <vector>

namespace kalvex::test {

using files::FileError;
using files::FileOperation;

namespace {

enum class Kind { Open, Write, Read, Close, Rename, Length };

struct Rule {
    Kind kind;
    std::string suffix;
    std::int64_t bytes;
    int errorCode;
};

bool endsWith(std::string_view path, std::string_view suffix) {
    return path.size() >= suffix.size() && path.substr(path.size() - suffix.size()) == suffix;
}

// The hook cannot capture, so the one copy fault in force lives here.
int copyError = 0;
std::int64_t copyAllowance = 0;

ssize_t faultyCopyFileRange(int in, off_t* inOffset, int out, off_t* outOffset, size_t size,
                            unsigned flags) {
    if (copyAllowance <= 0) {
        errno = copyError;
        return -1;
    }
    size = std::min(size, static_cast<size_t>(copyAllowance));
    const ssize_t copied =
        files::system::nativeCalls().copyFileRange(in, inOffset, out, outOffset, size, flags);
    if (copied > 0)
        copyAllowance -= copied;
    return copied;
}

} // namespace

struct FaultyFileSystem::State {
    std::vector<Rule> rules;
    std::map<std::string, int> opens;
    int openFiles = 0;

    std::optional<Rule> rule(Kind kind, std::string_view path) const {
        for (const Rule& rule : rules)
            if (rule.kind == kind && endsWith(path, rule.suffix))
                return rule;
        return std::nullopt;
    }
};

namespace {

class FaultyFile : public files::File {
public:
    FaultyFile(std::shared_ptr<FaultyFileSystem::State> state, std::unique_ptr<files::File> inner)
        : state_(std::move(state)), inner_(std::move(inner)),
          writeRule_(state_->rule(Kind::Write, inner_->path())),
          readRule_(state_->rule(Kind::Read, inner_->path())),
          closeRule_(state_->rule(Kind::Close, inner_->path())),
          lengthRule_(state_->rule(Kind::Length, inner_->path())) {
        ++state_->openFiles;
    }

    ~FaultyFile() override { release(); }

    files::File& inner() { return *inner_; }
    bool hasTransferRules() const { return writeRule_ || readRule_; }

    const std::string& path() const override { return inner_->path(); }

    void read(std::span<std::byte> data, std::optional<std::int64_t> position) override {
        if (readRule_ && read_ + static_cast<std::int64_t>(data.size()) > readRule_->bytes)
            throw FileError::fromSystem(path(), FileOperation::Read, readRule_->errorCode);
        inner_->read(data, position);
        read_ += static_cast<std::int64_t>(data.size());
    }

    void write(std::int64_t position, std::span<const std::byte> data) override {
        if (writeRule_ && written_ + static_cast<std::int64_t>(data.size()) > writeRule_->bytes) {
            const auto fits =
                static_cast<std::size_t>(std::max<std::int64_t>(0, writeRule_->bytes - written_));
            if (fits > 0)
                inner_->write(position, data.first(fits));
            written_ += static_cast<std::int64_t>(fits);
            throw FileError::fromSystem(path(), FileOperation::Write, writeRule_->errorCode);
        }
        inner_->write(position, data);
        written_ += static_cast<std::int64_t>(data.size());
    }

    std::int64_t length() override {
        if (lengthRule_)
            throw FileError::fromSystem(path(), FileOperation::MeasureLength,
                                        lengthRule_->errorCode);
        return inner_->length();
    }

    void close() override {
        if (!inner_->isOpen())
            return;
        release();
        inner_->close();
        if (closeRule_)
            throw FileError::fromSystem(path(), FileOperation::Close, closeRule_->errorCode);
    }

    bool isOpen() const override { return inner_->isOpen(); }
    std::uint64_t device() const override { return inner_->device(); }
    std::uint64_t inode() const override { return inner_->inode(); }

private:
    void release() {
        if (counted_)
            --state_->openFiles;
        counted_ = false;
    }

    std::shared_ptr<FaultyFileSystem::State> state_;
    std::unique_ptr<files::File> inner_;
    std::optional<Rule> writeRule_, readRule_, closeRule_, lengthRule_;
    std::int64_t written_ = 0;
    std::int64_t read_ = 0;
    bool counted_ = true;
};

} // namespace

FaultyFileSystem::FaultyFileSystem() : state_(std::make_shared<State>()) {}

FaultyFileSystem::~FaultyFileSystem() = default;

void FaultyFileSystem::failOpen(std::string suffix, int errorCode) {
    state_->rules.push_back({Kind::Open, std::move(suffix), 0, errorCode});
}

void FaultyFileSystem::failWritesAfter(std::string suffix, std::int64_t bytes, int errorCode) {
    state_->rules.push_back({Kind::Write, std::move(suffix), bytes, errorCode});
}

void FaultyFileSystem::failReadsAfter(std::string suffix, std::int64_t bytes, int errorCode) {
    state_->rules.push_back({Kind::Read, std::move(suffix), bytes, errorCode});
}

void FaultyFileSystem::failClose(std::string suffix, int errorCode) {
    state_->rules.push_back({Kind::Close, std::move(suffix), 0, errorCode});
}

void FaultyFileSystem::failRename(std::string suffix, int errorCode) {
    state_->rules.push_back({Kind::Rename, std::move(suffix), 0, errorCode});
}

void FaultyFileSystem::failLength(std::string suffix, int errorCode) {
    state_->rules.push_back({Kind::Length, std::move(suffix), 0, errorCode});
}

void FaultyFileSystem::failCopyFileRange(int errorCode, std::int64_t afterBytes) {
    copyError = errorCode;
    copyAllowance = afterBytes;
    if (!copyHook_) {
        auto calls = files::system::calls();
        calls.copyFileRange = faultyCopyFileRange;
        copyHook_ = std::make_unique<files::system::ReplaceCalls>(calls);
    }
}

int FaultyFileSystem::opens(std::string_view suffix) const {
    int count = 0;
    for (const auto& [path, times] : state_->opens)
        if (endsWith(path, suffix))
            count += times;
    return count;
}

int FaultyFileSystem::openFiles() const {
    return state_->openFiles;
}

std::int64_t FaultyFileSystem::fileLength(const std::string& path) {
    if (const auto rule = state_->rule(Kind::Length, path))
        throw FileError::fromSystem(path, FileOperation::MeasureLength, rule->errorCode);
    return native().fileLength(path);
}

std::unique_ptr<files::File> FaultyFileSystem::wrap(std::unique_ptr<files::File> file) {
    return std::make_unique<FaultyFile>(state_, std::move(file));
}

std::unique_ptr<files::File> FaultyFileSystem::openRead(const std::string& path) {
    ++state_->opens[path];
    if (const auto rule = state_->rule(Kind::Open, path))
        throw FileError::fromSystem(path, FileOperation::OpenForReading, rule->errorCode);
    return wrap(native().openRead(path));
}

std::unique_ptr<files::File> FaultyFileSystem::openWrite(const std::string& path,
                                                         files::WriteMode mode) {
    ++state_->opens[path];
    if (const auto rule = state_->rule(Kind::Open, path))
        throw FileError::fromSystem(path, FileOperation::OpenForWriting, rule->errorCode);
    return wrap(native().openWrite(path, mode));
}

bool FaultyFileSystem::isDirectory(const std::string& path) {
    return native().isDirectory(path);
}

bool FaultyFileSystem::exists(const std::string& path) {
    return native().exists(path);
}

bool FaultyFileSystem::sameFile(const std::string& a, const std::string& b) {
    return native().sameFile(a, b);
}

void FaultyFileSystem::rename(const std::string& from, const std::string& to) {
    auto rule = state_->rule(Kind::Rename, from);
    if (!rule)
        rule = state_->rule(Kind::Rename, to);
    if (rule)
        throw FileError::fromSystem(from, FileOperation::Rename, rule->errorCode);
    native().rename(from, to);
}

void FaultyFileSystem::copy(files::File& from, files::File& to, std::int64_t position,
                            std::int64_t count, const std::function<void()>& afterChunk) {
    // Files without read or write rules go to the native copy as they are, so that the
    // kernel's in-place copy runs; otherwise the native copy's plain loop reads and writes
    // through the faulty files.
    auto* source = dynamic_cast<FaultyFile*>(&from);
    auto* target = dynamic_cast<FaultyFile*>(&to);
    if (source != nullptr && target != nullptr && !source->hasTransferRules() &&
        !target->hasTransferRules()) {
        native().copy(source->inner(), target->inner(), position, count, afterChunk);
        return;
    }
    native().copy(from, to, position, count, afterChunk);
}

} // namespace kalvex::test
