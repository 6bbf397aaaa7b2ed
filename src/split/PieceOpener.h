#pragma once

#include "files/File.h"
#include "files/FileSystem.h"
#include "split/PieceNames.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace kalvex {

// Opens a split's pieces ahead of the copy, on a thread of its own. Creating a file can cost
// as much as filling a floppy-sized one (on ext4 without a journal, where many files were
// removed a moment ago, far more), and on two cores the creating and the copying overlap.
//
// Pieces are opened in order, never more than Ahead past the one last taken, with the
// source's permission bits. One that exists is opened as it is and made ready only when taken
// (see makeReady), so a split that fails before reaching it leaves it untouched; one created
// here and never taken is removed again. Nothing is ever opened past the last piece the split
// writes. No room is reserved ahead: a split killed part-way would leave files holding room
// that their lengths do not show.
class PieceOpener {
public:
    static constexpr std::int64_t Ahead = 8;

    // Starts opening pieces first to last of names, for the open source, which stays open
    // while this lives.
    PieceOpener(files::FileSystem& fileSystem, PieceNames names, std::int64_t first,
                std::int64_t last, const files::File& source,
                std::optional<files::Permissions> permissions);
    // Stops the thread, closes what was not taken and removes what it created of that.
    ~PieceOpener();
    PieceOpener(const PieceOpener&) = delete;
    PieceOpener& operator=(const PieceOpener&) = delete;

    // The next piece, open for writing and empty; throws what opening it threw. Pieces are
    // taken in order, each once.
    std::unique_ptr<files::File> take();

    // Makes a piece file that stood before the split ready for its first block: emptied, or,
    // where other names share it (hard links), replaced by a new file under its name, so that
    // none of them ever sees the new bytes. Either way it takes the given permissions. A piece
    // that is the source itself, as opened, is refused.
    static void makeReady(files::FileSystem& fileSystem, std::unique_ptr<files::File>& piece,
                          const files::File& source,
                          const std::optional<files::Permissions>& permissions);

private:
    struct Opened {
        std::unique_ptr<files::File> file;
        bool created = false;
        std::exception_ptr failure;
    };

    void openInOrder(std::stop_token stop);
    void openUntilDone(const std::stop_token& stop);
    Opened open(std::int64_t number);
    void discard(Opened& opened) noexcept;

    files::FileSystem& fileSystem_;
    const PieceNames names_;
    const std::int64_t first_;
    const std::int64_t last_;
    const files::File& source_;
    const std::optional<files::Permissions> permissions_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Opened> ready_; // opened, in order, not taken yet
    std::int64_t taken_;       // the number of the last piece taken
    bool finished_ = false;    // the thread has opened all it will

    std::jthread thread_; // last, so that it starts once everything above is in place
};

} // namespace kalvex
