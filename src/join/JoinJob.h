#pragma once

#include "files/File.h"
#include "files/FileSystem.h"
#include "join/JoinManifest.h"
#include "join/JoinObserver.h"
#include "split/PieceNames.h"

#include <memory>
#include <optional>
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

    // The folder followed by the title; a folder typed without its trailing separator gets
    // one when it names an existing folder, anything else is used as typed.
    static std::string outputPathFor(files::FileSystem& fileSystem, const std::string& folder,
                                     const std::string& title);

    // Why a title from a manifest cannot name the output, or nothing when it can.
    static std::optional<std::string> unsafeTitleReason(const std::string& title);

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
