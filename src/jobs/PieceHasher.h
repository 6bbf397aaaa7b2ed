#pragma once

#include "files/File.h"
#include "files/Sha256.h"

#include <array>
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

// The SHA-256 digest of each piece of a job, made on threads of their own that follow the
// copy: the copy says how far it has come, and the hasher reads those bytes back from the page
// cache, where the copy has just put them, so that hashing costs wall time only where the CPU
// is the limit. Pieces are independent, so two threads take them in turn: one alone falls
// behind a copy from the page cache, and the copy would wait for it.
class PieceHasher {
public:
    // Pieces waiting for their digest, each holding a file open: add waits while this many do.
    static constexpr std::size_t MostWaiting = 8;
    static constexpr std::size_t Threads = 2;

    PieceHasher();
    // Stops the threads; digests not yet made are dropped.
    ~PieceHasher();
    PieceHasher(const PieceHasher&) = delete;
    PieceHasher& operator=(const PieceHasher&) = delete;

    // The next piece: length bytes of file from the 0-based offset, read only once the copy has
    // come that far. name is the piece's path, for messages. Waits while MostWaiting wait.
    void add(std::shared_ptr<files::File> file, std::int64_t offset, std::int64_t length,
             std::string name);

    // The copy has copied bytes of all the pieces added so far, counted together. Cheap enough
    // to call after every 1 KiB block: the threads are woken once a MiB, and at the end of a
    // piece (pieceDone).
    void copied(std::int64_t bytes, bool pieceDone = false) noexcept;

    // Without waiting, the digests of the pieces made so far, in piece order, from the 0-based
    // piece from up to the first piece not yet made; throws what a thread met. (A caller that
    // looks after every piece asks only for the new ones.)
    std::vector<std::string> ready(std::size_t from = 0);
    // Waits for every piece added and returns the digests from the 0-based piece from on;
    // throws what a thread met.
    std::vector<std::string> all(std::size_t from = 0);

private:
    struct Piece {
        std::shared_ptr<files::File> file;
        std::int64_t offset = 0;
        std::int64_t length = 0;
        std::string name;
        std::size_t index = 0;
        std::int64_t start = 0; // where it starts among all the bytes copied
    };

    void hashWaitingPieces(const std::stop_token& stop) noexcept;
    std::string hash(Piece& piece, const std::stop_token& stop);
    std::int64_t waitForCopy(std::int64_t beyond, const std::stop_token& stop);
    void wakeForCopy() noexcept;
    std::size_t madeInOrder(); // with mutex_ held

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Piece> waiting_;
    std::vector<std::string> digests_; // by piece; empty until made
    std::size_t made_ = 0;             // pieces made in order from the first
    std::size_t hashing_ = 0;          // pieces taken by a thread and not yet done
    std::exception_ptr failure_;       // the first a thread met
    std::int64_t addedBytes_ = 0;

    // How far the copy has come: read without a lock; the lock and condition are for the
    // waits alone (not atomic waits, which MinGW's runtime can leave asleep).
    std::atomic<std::int64_t> copied_{0};
    std::mutex copyMutex_;
    std::condition_variable copyChanged_;
    std::int64_t nextWake_ = 0; // the copy's own: where it next wakes the threads

    std::array<std::jthread, Threads> threads_; // last: started once everything above is ready
};

} // namespace kalvex
