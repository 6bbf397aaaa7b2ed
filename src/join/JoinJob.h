#pragma once

#include "files/File.h"
#include "files/FileSystem.h"
#include "files/StagedFile.h"
#include "join/JoinManifest.h"
#include "join/JoinObserver.h"
#include "split/PieceNames.h"

#include <memory>
#include <optional>
#include <string>

namespace kalvex {

// Rebuilds a split file: pieces 1 to N of the manifest, in number order, into the join
// folder under the name on the manifest's line 2. Before anything is written it checks the
// name, the output and that the pieces can come from one split, and takes a shared lock on
// piece 1, so that a split still writing the set refuses the join. The output is written
// into a file without a name (or a temporary file beside it) that takes the output's name
// after the last piece, so a file already standing there survives a join that fails and a
// crash leaves nothing behind. Every failure throws JoinFailure; nothing written is
// deleted: what was joined is kept under a temporary name that the message gives.
class JoinJob {
public:
    JoinJob(std::string manifestPath, std::string joinFolder, JoinObserver& observer,
            files::FileSystem& fileSystem = files::FileSystem::current());

    void run();

    // The names of the pieces beside a manifest, from its piece base path.
    static PieceNames pieceNamesFor(files::FileSystem& fileSystem, const std::string& basePath);

private:
    void refuseUnfitName(const JoinManifest& manifest);
    void refuseUnfitCount(const JoinManifest& manifest);
    std::optional<files::Permissions> permissionsFor(const std::string& output);
    void refuseEmpty(const std::string& piece, std::int64_t length);
    void refuseUnsafeOutput(const JoinManifest& manifest, const PieceNames& pieces,
                            const std::string& output);
    std::int64_t claimPieces(const JoinManifest& manifest, const PieceNames& pieces);
    void joinPieces(const JoinManifest& manifest, const PieceNames& pieces);
    void copyPiece(const std::string& path, std::int64_t& offset);
    std::string keepOutput() noexcept;

    std::string manifestPath_;
    std::string joinFolder_;
    JoinObserver& observer_;
    files::FileSystem& fileSystem_;
    std::unique_ptr<files::File> pieceOne_; // open from the claim on, with its shared lock
    std::optional<files::StagedFile> output_;
};

} // namespace kalvex
