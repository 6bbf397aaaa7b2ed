#pragma once

#include "files/File.h"
#include "files/FileSystem.h"
#include "files/TextOutput.h"
#include "split/PieceNames.h"
#include "split/SplitInputs.h"
#include "split/SplitObserver.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kalvex {

enum class SplitRoutine { Under10Meg, Over10Meg };

// Cuts a source into numbered pieces and writes the manifest. The steps are separate so
// that each routine of the splitting window can run them in its own order:
//   measureSource, openSource, copyPieces, writeManifest, closeManifest, closeSource.
// Any step may throw files::FileError; openSource throws SplitRefusal, before anything
// is written, for a split whose manifest could not rebuild the source or that would write
// over it. Whatever is still open is closed by closeAll or the destructor.
class SplitJob {
public:
    static constexpr std::int64_t SmallBlock = 1024;
    static constexpr std::int64_t LargeBlock = 1048576;
    static constexpr std::int64_t LargeSource = 10 * LargeBlock;

    static SplitRoutine routineFor(std::int64_t sourceLength, double pieceSize);
    static std::int64_t blockSize(SplitRoutine routine);

    SplitJob(files::FileSystem& fileSystem, SplitInputs inputs, SplitObserver& observer);
    ~SplitJob();
    SplitJob(const SplitJob&) = delete;
    SplitJob& operator=(const SplitJob&) = delete;

    // The source's length by its path; a missing source fails here.
    std::int64_t measureSource();

    // Opens the source, measures it again (this length counts from here on) and checks
    // the split before anything is written.
    void openSource(SplitRoutine routine);

    // Writes the pieces block by block, telling the observer after every block.
    void copyPieces();

    // Creates or replaces the manifest and writes its two lines; it stays open.
    void writeManifest();

    void closeManifest();
    void closeSource();

    // Closes everything still open and drops any failure: for the way out after a failure.
    void closeAll() noexcept;

    const PieceNames& names() const { return names_; }
    std::int64_t sourceLength() const { return sourceLength_; }
    std::int64_t piecesWritten() const { return piecesWritten_; }

private:
    void checkNumbers() const;
    void checkTitle() const;
    void checkCapacity() const;
    void checkNotOverSource() const;
    std::int64_t piecesNeeded() const;
    void copyPiece(std::int64_t number);

    files::FileSystem& fileSystem_;
    SplitInputs inputs_;
    SplitObserver& observer_;
    PieceNames names_;

    std::int64_t blockSize_ = SmallBlock;
    std::int64_t pieceSize_ = 0;
    std::int64_t pieceCount_ = 0;
    std::int64_t sourceLength_ = 0;
    std::int64_t readPosition_ = 1;
    std::int64_t piecesWritten_ = 0;

    std::unique_ptr<files::File> source_;
    std::unique_ptr<files::File> piece_;
    std::optional<files::TextOutput> manifest_;
    std::vector<std::byte> block_; // the one block buffer of the job
};

} // namespace kalvex
