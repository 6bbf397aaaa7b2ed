#include "split/PieceOpener.h"

#include "files/FileError.h"
#include "jobs/StopAwareWait.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <utility>

namespace kalvex {

PieceOpener::PieceOpener(files::FileSystem& fileSystem, PieceNames names, std::int64_t first,
                         std::int64_t last, const files::File& source,
                         std::optional<files::Permissions> permissions)
    : fileSystem_(fileSystem), names_(std::move(names)), first_(first), last_(last),
      source_(source), permissions_(std::move(permissions)), taken_(first - 1),
      thread_([this](std::stop_token stop) { openInOrder(std::move(stop)); }) {}

PieceOpener::~PieceOpener() {
    stopAndWake(thread_, mutex_, changed_);
    thread_.join();
    for (Opened& opened : ready_)
        discard(opened);
}

std::unique_ptr<files::File> PieceOpener::take() {
    Opened next;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
        if (ready_.empty())
            throw std::logic_error("a piece was taken past the last one opened");
        next = std::move(ready_.front());
        ready_.pop_front();
        ++taken_;
    }
    changed_.notify_all();
    if (next.failure)
        std::rethrow_exception(next.failure);
    if (!next.created) {
        try {
            makeReady(fileSystem_, next.file, source_, permissions_);
        } catch (...) {
            discard(next);
            throw;
        }
    }
    return std::move(next.file);
}

void PieceOpener::makeReady(files::FileSystem& fileSystem, std::unique_ptr<files::File>& piece,
                            const files::File& source,
                            const std::optional<files::Permissions>& permissions) {
    const std::string path = piece->path();
    // The names were checked before the split began; this is the file as it stands now.
    if (piece->isSameFileAs(source))
        throw files::FileError(path, files::FileOperation::OpenForWriting,
                               "it is the file being split");
    if (piece->linkCount() > 1) {
        piece->close();
        fileSystem.remove(path);
        piece = fileSystem.openWrite(path, files::WriteMode::CreateNew);
    } else {
        piece->truncate(0);
    }
    if (permissions)
        piece->setPermissions(*permissions);
}

void PieceOpener::openInOrder(std::stop_token stop) {
    openUntilDone(stop);
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}

void PieceOpener::openUntilDone(const std::stop_token& stop) {
    for (std::int64_t number = first_; number <= last_; ++number) {
        {
            std::unique_lock lock(mutex_);
            if (!waitUnlessStopped(changed_, lock, stop, [&] { return number - taken_ <= Ahead; }))
                return; // stopped
        }
        Opened opened = open(number);
        const bool failed = opened.failure != nullptr;
        {
            const std::lock_guard lock(mutex_);
            ready_.push_back(std::move(opened));
        }
        changed_.notify_all();
        // The split stops at the piece that failed, so nothing after it is wanted.
        if (failed)
            return;
    }
}

// Whatever goes wrong is kept for the copy to throw: nothing may leave the thread.
PieceOpener::Opened PieceOpener::open(std::int64_t number) {
    Opened opened;
    try {
        const std::string path = names_.piecePath(number);
        try {
            opened.file = fileSystem_.openWrite(path, files::WriteMode::CreateNew);
            opened.created = true;
            if (permissions_)
                opened.file->setPermissions(*permissions_);
        } catch (const files::FileError& error) {
            if (error.errorCode() != EEXIST)
                throw;
            opened.file = fileSystem_.openWrite(path, files::WriteMode::Keep);
        }
    } catch (...) {
        opened.failure = std::current_exception();
        discard(opened);
    }
    return opened;
}

void PieceOpener::discard(Opened& opened) noexcept {
    if (!opened.file)
        return;
    try {
        const std::string path = opened.file->path();
        opened.file->close();
        opened.file.reset();
        if (opened.created)
            fileSystem_.remove(path);
    } catch (...) {
        // Never written to: nothing of the split is lost if it stays.
    }
    opened.file.reset();
}

} // namespace kalvex
