#pragma once

#include "files/File.h"
#include "files/FileSystem.h"
#include "files/StagedFile.h"
#include "files/TextOutput.h"
#include "split/PieceFlusher.h"
#include "split/PieceNames.h"
#include "split/PieceOpener.h"
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
// is written, for a split whose manifest could not rebuild the source, that would write
// over it or through a link, whose names the folder cannot hold, or whose set another job is
// using. From openSource on the job holds an exclusive lock on piece 1 and the manifest of
// the set is gone; the new manifest appears, complete, only in closeManifest, once every
// piece is on the device. Whatever is still open is closed by closeAll or the destructor.
class SplitJob {
public:
    static constexpr std::int64_t SmallBlock = 1024;
    static constexpr std::int64_t LargeBlock = 1048576;
    static constexpr std::int64_t LargeSource = 10 * LargeBlock;
    // Written pieces wait for their flush together, up to this many, each holding a
    // descriptor: well inside the usual limit of 1024.
    static constexpr std::size_t MostUnflushed = 512;

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

    // Writes the manifest's two lines into a file that has not taken the manifest's name.
    void writeManifest();

    // Flushes the manifest, gives it its name and flushes the folder; then the set is done.
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
    void checkNames() const;
    void claimSet();
    template <class Step> void onManifest(const Step& step);
    std::int64_t piecesNeeded() const;
    std::int64_t piecesToWrite() const;
    void copyPiece(std::int64_t number);
    files::File& openPiece(std::int64_t number);
    void finishPiece(files::File& piece);
    void copyBlock(files::File& piece, std::int64_t position, std::int64_t count);

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

    std::optional<files::Permissions> piecePermissions_; // the source's bits
    std::unique_ptr<files::File> source_;
    std::unique_ptr<files::File> piece_;
    std::unique_ptr<files::File> pieceOne_; // open and locked from openSource to the end
    std::optional<PieceOpener> opener_;     // pieces 2 on, while they are copied
    std::optional<PieceFlusher> flusher_;   // written pieces, while durability is on
    std::optional<files::StagedFile> stagedManifest_;
    std::optional<files::TextOutput> manifest_;
    std::vector<std::byte> block_; // the one block buffer of the job
    bool kernelCopies_ = true;     // until the kernel declines a block
};

} // namespace kalvex
