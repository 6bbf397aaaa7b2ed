#pragma once

#include "files/File.h"
#include "files/FileSystem.h"
#include "files/StagedFile.h"
#include "jobs/JobError.h"
#include "jobs/PieceHasher.h"
#include "jobs/ProgressRecord.h"
#include "join/JoinManifest.h"
#include "split/PieceNames.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kalvex {

// Rebuilds a split file: pieces 1 to N of the manifest, in number order, into the join
// folder under the name on the manifest's line 2. Before anything is written it checks the
// name, the output and that the pieces can come from one split, and takes a shared lock on
// piece 1, so that a split still writing the set refuses the join. The output is written
// into a file without a name (or a temporary file beside it) that takes the output's name
// after the last piece, so a file already standing there survives a join that fails and a
// crash leaves nothing behind. Where the split left a checksum file, each piece's SHA-256
// digest is made while it is copied and must match. Nothing written is deleted: after a failure
// what was joined is kept under a temporary name that the error gives. Progress goes to a record
// that whoever shows it reads.
class JoinJob {
public:
    // The parts a piece is copied in while its digest is made.
    static constexpr std::int64_t HashedPart = std::int64_t{16} << 20;

    JoinJob(std::string manifestPath, std::string joinFolder,
            files::FileSystem& fileSystem = files::FileSystem::current());

    // The whole join, from one call on the thread it runs on. Never throws: a failure comes
    // back as its error.
    JobResult run() noexcept;
    const ProgressRecord& progress() const { return progress_; }

    // The names of the pieces beside a manifest, from its piece base path.
    static PieceNames pieceNamesFor(files::FileSystem& fileSystem, const std::string& basePath);

private:
    void refuseUnfitName(const JoinManifest& manifest);
    void refuseUnfitCount(const JoinManifest& manifest);
    std::optional<files::Permissions> permissionsFor(const std::string& output);
    void refuseEmpty(const std::string& piece, std::int64_t length);
    static std::int64_t pieceNamed(const PieceNames& pieces, const std::string& path);
    void refuseUnsafeOutput(const JoinManifest& manifest, const PieceNames& pieces,
                            const std::string& output);
    std::int64_t claimPieces(const JoinManifest& manifest, const PieceNames& pieces);
    void readChecksums(const JoinManifest& manifest, const PieceNames& pieces);
    void joinPieces(const JoinManifest& manifest, const PieceNames& pieces, std::int64_t length);
    void checkDigests(const std::vector<std::string>& digests, const PieceNames& pieces);
    void copyPiece(const std::string& path, std::int64_t& offset);
    std::string keepOutput() noexcept;

    std::string manifestPath_;
    std::string joinFolder_;
    files::FileSystem& fileSystem_;
    ProgressRecord progress_;
    std::unique_ptr<files::File> pieceOne_; // open from the claim on, with its shared lock
    std::optional<files::StagedFile> output_;
    std::string checksumPath_;           // where the digests came from, when they did
    std::vector<std::string> checksums_; // each piece's digest, by the checksum file
    std::optional<PieceHasher> hasher_;  // the pieces' digests, while they are copied
    std::size_t digestsChecked_ = 0;
};

} // namespace kalvex
