#pragma once

#include "files/File.h"
#include "files/FileSystem.h"
#include "join/JoinManifest.h"
#include "join/JoinObserver.h"
#include "split/PieceNames.h"

#include <memory>
#include <string>

namespace kalvex {

// Rebuilds a split file: pieces 1 to N of the manifest, in number order, into the join
// folder under the name on the manifest's line 2. The output is written into a temporary
// file beside it and renamed over it after the last piece, so a file already standing
// there survives a join that fails. Every failure throws JoinFailure; nothing written is
// deleted.
class JoinJob {
public:
    JoinJob(std::string manifestPath, std::string joinFolder, JoinObserver& observer,
            files::FileSystem& fileSystem = files::FileSystem::current());

    void run();

    // The names of the pieces beside a manifest, from its piece base path.
    static PieceNames pieceNamesFor(files::FileSystem& fileSystem, const std::string& basePath);

private:
    void refuseUnsafeOutput(const JoinManifest& manifest, const PieceNames& pieces,
                            const std::string& output);
    void createTemporary(const std::string& output);
    void joinPieces(const JoinManifest& manifest, const PieceNames& pieces);
    void copyPiece(const std::string& path, std::int64_t& offset);
    void closeTemporaryQuietly();

    std::string manifestPath_;
    std::string joinFolder_;
    JoinObserver& observer_;
    files::FileSystem& fileSystem_;
    std::string temporaryPath_;
    std::unique_ptr<files::File> temporary_;
};

} // namespace kalvex
