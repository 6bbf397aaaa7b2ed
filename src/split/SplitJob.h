#pragma once

#include "files/File.h"
#include "files/FileSystem.h"
#include "files/StagedFile.h"
#include "files/TextOutput.h"
#include "jobs/JobError.h"
#include "jobs/PieceHasher.h"
#include "jobs/ProgressRecord.h"
#include "split/PieceFlusher.h"
#include "split/PieceNames.h"
#include "split/PieceOpener.h"
#include "split/SplitInputs.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kalvex {

enum class SplitRoutine { Under10Meg, Over10Meg };

// Cuts a source into numbered pieces and writes the manifest, whole, from one call on the
// thread it runs on. Before anything is written it refuses a split whose manifest could not
// rebuild the source, that would write over it or through a link, whose names the folder
// cannot hold, or whose set another job is using; then it holds an exclusive lock on piece 1
// and the set's old manifest is gone. The new manifest appears, complete and flushed, only
// once every piece is on the device, after the checksum file that holds each piece's SHA-256
// digest as sha256sum writes it. Progress goes to a record that whoever shows it reads.
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

    SplitJob(files::FileSystem& fileSystem, SplitInputs inputs);
    ~SplitJob();
    SplitJob(const SplitJob&) = delete;
    SplitJob& operator=(const SplitJob&) = delete;

    // The whole split. Never throws: a failure comes back as its error, with every file
    // closed and whatever was written left in place.
    JobResult run() noexcept;

    // The routine, by the source's length as first measured.
    SplitRoutine routine() const { return routine_; }
    const ProgressRecord& progress() const { return progress_; }
    const PieceNames& names() const { return names_; }
    std::int64_t piecesWritten() const { return piecesWritten_; }

private:
    void openSource();
    void checkNumbers() const;
    void checkTitle() const;
    void checkCapacity() const;
    void checkNotOverSource() const;
    void checkNames() const;
    [[noreturn]] void refuse(const std::string& reason) const;
    void claimSet();
    std::int64_t piecesNeeded() const;
    void copyPieces();
    void copyPiece(std::int64_t number);
    files::File& openPiece(std::int64_t number);
    void finishPiece(files::File& piece);
    void copyBlock(files::File& piece, std::int64_t position, std::int64_t count);
    void noteProgress();
    template <class Step> void onStaged(const std::string& path, const Step& step);
    void writeChecksums();
    void writeManifest();
    void closeManifest();
    void closeAll() noexcept;

    files::FileSystem& fileSystem_;
    SplitInputs inputs_;
    PieceNames names_;
    ProgressRecord progress_;
    SplitRoutine routine_ = SplitRoutine::Under10Meg;

    std::int64_t blockSize_ = SmallBlock;
    std::int64_t pieceSize_ = 0;
    std::int64_t pieceCount_ = 0;
    std::int64_t sourceLength_ = 0;
    std::int64_t readPosition_ = 1;
    std::int64_t piecesWritten_ = 0;

    std::optional<files::Permissions> piecePermissions_; // the source's bits
    std::unique_ptr<files::File> source_;
    std::unique_ptr<files::File> piece_;
    std::unique_ptr<files::File> pieceOne_; // open and locked from the claim to the end
    std::optional<PieceOpener> opener_;     // pieces 2 on, while they are copied
    std::optional<PieceFlusher> flusher_;   // written pieces, while durability is on
    std::optional<PieceHasher> hasher_;     // their digests, while they are copied
    std::optional<files::StagedFile> stagedManifest_;
    std::optional<files::TextOutput> manifest_;
    std::vector<std::byte> block_; // the one block buffer of the job
    bool kernelCopies_ = true;     // until the kernel declines a block
};

} // namespace kalvex
