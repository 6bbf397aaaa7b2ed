#include "split/PieceOpener.h"

#include "files/FileError.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <utility>

namespace kalvex {

PieceOpener::PieceOpener(files::FileSystem& fileSystem, PieceNames names, std::int64_t first,
                         std::int64_t last, std::int64_t pieceSize, std::int64_t sourceLength)
    : fileSystem_(fileSystem), names_(std::move(names)), first_(first), last_(last),
      pieceSize_(pieceSize), sourceLength_(sourceLength), taken_(first - 1),
      thread_([this] { openInOrder(); }) {}

PieceOpener::~PieceOpener() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    for (Opened& opened : ready_)
        discard(opened);
}

std::unique_ptr<files::File> PieceOpener::take() {
    Opened next;
    std::int64_t number = 0;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
        if (ready_.empty())
            throw std::logic_error("a piece was taken past the last one opened");
        next = std::move(ready_.front());
        ready_.pop_front();
        number = ++taken_;
    }
    changed_.notify_all();
    if (next.failure)
        std::rethrow_exception(next.failure);
    if (!next.created) {
        try {
            next.file->truncate(0);
            next.file->reserve(lengthOf(number));
        } catch (...) {
            discard(next);
            throw;
        }
    }
    return std::move(next.file);
}

void PieceOpener::openInOrder() {
    openUntilDone();
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}

void PieceOpener::openUntilDone() {
    for (std::int64_t number = first_; number <= last_; ++number) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || number - taken_ <= Ahead; });
            if (stopping_)
                return;
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
            opened.file->reserve(lengthOf(number));
        } catch (const files::FileError& error) {
            if (error.errorCode() != EEXIST)
                throw;
            opened.file = fileSystem_.openWrite(path, files::WriteMode::Keep);
        }
    } catch (...) {
        opened.failure = std::current_exception();
    }
    return opened;
}

std::int64_t PieceOpener::lengthOf(std::int64_t number) const {
    return std::min(pieceSize_, sourceLength_ - (number - 1) * pieceSize_);
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
