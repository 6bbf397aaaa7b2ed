#pragma once

#include "files/File.h"
#include "files/Sha256.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace kalvex {

// The SHA-256 digest of each piece of a job, made on a thread of its own that follows the
// copy: the copy says how far it has come, and the hasher reads those bytes back from the page
// cache, where the copy has just put them, so that hashing costs wall time only where the CPU
// is the limit. Pieces are hashed in the order they are added.
class PieceHasher {
public:
    // Pieces waiting for their digest, each holding a file open: add waits while this many do.
    static constexpr std::size_t MostWaiting = 8;

    PieceHasher();
    // Stops the thread; digests not yet made are dropped.
    ~PieceHasher();
    PieceHasher(const PieceHasher&) = delete;
    PieceHasher& operator=(const PieceHasher&) = delete;

    // The next piece: length bytes of file from the 0-based offset, read only once the copy has
    // come that far. name is the piece's path, for messages. Waits while MostWaiting wait.
    void add(std::shared_ptr<files::File> file, std::int64_t offset, std::int64_t length,
             std::string name);

    // The copy has copied bytes of all the pieces added so far, counted together. Cheap enough
    // to call after every 1 KiB block: the thread is woken once a MiB, and at the end of a
    // piece (pieceDone).
    void copied(std::int64_t bytes, bool pieceDone = false) noexcept;

    // The digests made so far, in piece order, without waiting; throws what the thread met.
    std::vector<std::string> ready();
    // Waits for every piece added and returns all the digests; throws what the thread met.
    std::vector<std::string> all();

private:
    struct Piece {
        std::shared_ptr<files::File> file;
        std::int64_t offset = 0;
        std::int64_t length = 0;
        std::string name;
    };

    void hashInOrder(const std::stop_token& stop) noexcept;
    void hash(Piece& piece, std::int64_t start, const std::stop_token& stop);
    std::int64_t waitForCopy(std::int64_t beyond, const std::stop_token& stop);

    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<Piece> waiting_;
    std::vector<std::string> digests_;
    std::exception_ptr failure_;
    std::int64_t added_ = 0; // pieces added

    std::atomic<std::int64_t> copied_{0};
    std::int64_t nextWake_ = 0; // the copy's own: where it next wakes the thread

    std::jthread thread_; // last, so that it starts once everything above is in place
};

} // namespace kalvex
