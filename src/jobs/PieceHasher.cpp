#include "jobs/PieceHasher.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace kalvex {

namespace {
constexpr std::int64_t Chunk = std::int64_t{1} << 20;
} // namespace

PieceHasher::PieceHasher() : thread_([this](const std::stop_token& stop) { hashInOrder(stop); }) {}

PieceHasher::~PieceHasher() {
    thread_.request_stop();
    // A new value, so that a wait for the copy ends.
    copied_.store(std::numeric_limits<std::int64_t>::max(), std::memory_order_release);
    copied_.notify_all();
    thread_.join();
}

void PieceHasher::add(std::shared_ptr<files::File> file, std::int64_t offset, std::int64_t length,
                      std::string name) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return waiting_.size() < MostWaiting || failure_; });
        waiting_.push_back({std::move(file), offset, length, std::move(name)});
        ++added_;
    }
    changed_.notify_all();
}

void PieceHasher::copied(std::int64_t bytes, bool pieceDone) noexcept {
    copied_.store(bytes, std::memory_order_release);
    if (bytes < nextWake_ && !pieceDone)
        return;
    nextWake_ = bytes + Chunk;
    copied_.notify_all();
}

void PieceHasher::hashInOrder(const std::stop_token& stop) noexcept {
    std::int64_t start = 0; // where the next piece starts among all the bytes copied
    try {
        for (;;) {
            Piece piece;
            {
                std::unique_lock lock(mutex_);
                if (!changed_.wait(lock, stop, [this] { return !waiting_.empty(); }))
                    return;
                piece = std::move(waiting_.front());
                waiting_.pop_front();
            }
            changed_.notify_all(); // room for another
            hash(piece, start, stop);
            start += piece.length;
        }
    } catch (...) {
        const std::lock_guard lock(mutex_);
        failure_ = std::current_exception();
    }
    changed_.notify_all();
}

void PieceHasher::hash(Piece& piece, std::int64_t start, const std::stop_token& stop) {
    const auto digest = files::Sha256::create(piece.name);
    std::vector<std::byte> buffer(static_cast<std::size_t>(std::min(piece.length, Chunk)));
    for (std::int64_t done = 0; done < piece.length;) {
        const std::int64_t copied = waitForCopy(start + done, stop);
        if (stop.stop_requested())
            return;
        const std::int64_t count = std::min({piece.length - done, copied - start - done, Chunk});
        const std::span<std::byte> bytes(buffer.data(), static_cast<std::size_t>(count));
        piece.file->read(bytes, piece.offset + done + 1);
        digest->update(bytes);
        done += count;
    }
    piece.file.reset();
    {
        const std::lock_guard lock(mutex_);
        digests_.push_back(digest->finishHex());
    }
    changed_.notify_all();
}

// The bytes copied so far, once they are more than beyond (or the thread is stopped).
std::int64_t PieceHasher::waitForCopy(std::int64_t beyond, const std::stop_token& stop) {
    for (;;) {
        const std::int64_t copied = copied_.load(std::memory_order_acquire);
        if (copied > beyond || stop.stop_requested())
            return copied;
        copied_.wait(copied, std::memory_order_acquire);
    }
}

std::vector<std::string> PieceHasher::ready() {
    copied_.notify_all(); // the end of a piece may lie short of the next wake
    const std::lock_guard lock(mutex_);
    if (failure_)
        std::rethrow_exception(failure_);
    return digests_;
}

std::vector<std::string> PieceHasher::all() {
    copied_.notify_all(); // the last piece's end lies short of the next wake
    std::unique_lock lock(mutex_);
    changed_.wait(
        lock, [this] { return failure_ || static_cast<std::int64_t>(digests_.size()) == added_; });
    if (failure_)
        std::rethrow_exception(failure_);
    return digests_;
}

} // namespace kalvex
