#include "jobs/PieceHasher.h"

#include "jobs/StopAwareWait.h"

#include <algorithm>
#include <utility>

namespace kalvex {

namespace {
constexpr std::int64_t Chunk = std::int64_t{1} << 20; // how often the copy wakes the threads
// What is read back at a time, into a buffer of this size.
constexpr std::int64_t ReadSize = std::int64_t{128} << 10;
} // namespace

PieceHasher::PieceHasher() {
    for (auto& thread : threads_)
        thread = std::jthread([this](const std::stop_token& stop) { hashWaitingPieces(stop); });
}

PieceHasher::~PieceHasher() {
    // Every thread is told before any is waited for; their waits end on the request.
    for (auto& thread : threads_) {
        stopAndWake(thread, mutex_, changed_);
        stopAndWake(thread, copyMutex_, copyChanged_);
    }
    for (auto& thread : threads_)
        thread.join();
}

void PieceHasher::add(std::shared_ptr<files::File> file, std::int64_t offset, std::int64_t length,
                      std::string name) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return waiting_.size() < MostWaiting || failure_; });
        waiting_.push_back(
            {std::move(file), offset, length, std::move(name), digests_.size(), addedBytes_});
        digests_.emplace_back();
        addedBytes_ += length;
    }
    changed_.notify_all();
}

void PieceHasher::copied(std::int64_t bytes, bool pieceDone) noexcept {
    copied_.store(bytes, std::memory_order_release);
    if (bytes < nextWake_ && !pieceDone)
        return;
    nextWake_ = bytes + Chunk;
    wakeForCopy();
}

// Under the lock, so that a thread between its look at copied_ and its wait cannot miss it.
void PieceHasher::wakeForCopy() noexcept {
    { const std::lock_guard lock(copyMutex_); }
    copyChanged_.notify_all();
}

// Takes the next waiting piece until stopped; after a failure no new piece is taken.
void PieceHasher::hashWaitingPieces(const std::stop_token& stop) noexcept {
    for (;;) {
        Piece piece;
        {
            std::unique_lock lock(mutex_);
            if (!waitUnlessStopped(changed_, lock, stop,
                                   [this] { return !waiting_.empty() || failure_; }) ||
                failure_)
                return;
            piece = std::move(waiting_.front());
            waiting_.pop_front();
            ++hashing_;
        }
        changed_.notify_all(); // room for another
        std::string digest;
        std::exception_ptr failure;
        try {
            digest = hash(piece, stop);
        } catch (...) {
            failure = std::current_exception();
        }
        piece.file.reset();
        {
            const std::lock_guard lock(mutex_);
            --hashing_;
            if (failure && !failure_)
                failure_ = failure;
            if (!digest.empty())
                digests_[piece.index] = std::move(digest);
        }
        changed_.notify_all();
        if (stop.stop_requested())
            return;
    }
}

// The piece's digest, or nothing when stopped before its end.
std::string PieceHasher::hash(Piece& piece, const std::stop_token& stop) {
    const auto digest = files::Sha256::create(piece.name);
    std::vector<std::byte> buffer(static_cast<std::size_t>(std::min(piece.length, ReadSize)));
    for (std::int64_t done = 0; done < piece.length;) {
        const std::int64_t copied = waitForCopy(piece.start + done, stop);
        if (stop.stop_requested())
            return {};
        const std::int64_t count =
            std::min({piece.length - done, copied - piece.start - done, ReadSize});
        const std::span<std::byte> bytes(buffer.data(), static_cast<std::size_t>(count));
        piece.file->read(bytes, piece.offset + done + 1);
        digest->update(bytes);
        done += count;
    }
    return digest->finishHex();
}

// The bytes copied so far, once they are more than beyond (or the thread is stopped).
std::int64_t PieceHasher::waitForCopy(std::int64_t beyond, const std::stop_token& stop) {
    if (const std::int64_t copied = copied_.load(std::memory_order_acquire); copied > beyond)
        return copied;
    std::unique_lock lock(copyMutex_);
    waitUnlessStopped(copyChanged_, lock, stop,
                      [&] { return copied_.load(std::memory_order_acquire) > beyond; });
    return copied_.load(std::memory_order_acquire);
}

std::size_t PieceHasher::madeInOrder() {
    while (made_ < digests_.size() && !digests_[made_].empty())
        ++made_;
    return made_;
}

std::vector<std::string> PieceHasher::ready(std::size_t from) {
    wakeForCopy(); // the end of a piece may lie short of the next wake
    const std::lock_guard lock(mutex_);
    if (failure_)
        std::rethrow_exception(failure_);
    const std::size_t made = madeInOrder();
    return {digests_.begin() + static_cast<std::ptrdiff_t>(std::min(from, made)),
            digests_.begin() + static_cast<std::ptrdiff_t>(made)};
}

std::vector<std::string> PieceHasher::all(std::size_t from) {
    wakeForCopy(); // the last piece's end lies short of the next wake
    std::unique_lock lock(mutex_);
    changed_.wait(
        lock, [this] { return hashing_ == 0 && (failure_ || madeInOrder() == digests_.size()); });
    if (failure_)
        std::rethrow_exception(failure_);
    return {digests_.begin() + static_cast<std::ptrdiff_t>(std::min(from, digests_.size())),
            digests_.end()};
}

} // namespace kalvex
