#include "join/JoinJob.h"

#include "files/FileError.h"
#include "files/FileName.h"
#include "files/FolderPath.h"
#include "join/JoinFailure.h"

#include <cmath>
#include <new>
#include <system_error>

namespace kalvex {

namespace {

constexpr const char* temporarySuffix = ".kalvex-join";
constexpr int temporaryAttempts = 1000;

bool hasErrorCode(const files::FileError& error, std::errc code) {
    return error.errorCode() == static_cast<int>(code);
}

// k counts whole pieces from 1, far below where a double stops being exact.
std::int64_t pieceNumber(double k) {
    return static_cast<std::int64_t>(k);
}

} // namespace

JoinJob::JoinJob(std::string manifestPath, std::string joinFolder, JoinObserver& observer,
                 files::FileSystem& fileSystem)
    : manifestPath_(std::move(manifestPath)), joinFolder_(std::move(joinFolder)),
      observer_(observer), fileSystem_(fileSystem) {}

PieceNames JoinJob::pieceNamesFor(files::FileSystem& fileSystem, const std::string& basePath) {
    // Split where the folder ends, so that the folder half already ends in its separator
    // (or is empty) and nothing is inserted: the base is used exactly as cut.
    const std::string folder = files::folderOf(basePath);
    return PieceNames(fileSystem, folder, basePath.substr(folder.size()));
}

void JoinJob::run() {
    try {
        const auto manifest = JoinManifest::read(fileSystem_, manifestPath_);
        if (const auto reason = files::unsafeFileNameReason(manifest.title))
            throw JoinFailure(manifestPath_, "Cannot join \"" + manifestPath_ +
                                                 "\": the file name on line 2 " + *reason);
        if (!(manifest.count >= 1))
            return; // no piece to join, so nothing is created

        const std::string output = files::folderPath(fileSystem_, joinFolder_) + manifest.title;
        const PieceNames pieces = pieceNamesFor(fileSystem_, manifest.basePath);
        refuseUnsafeOutput(manifest, pieces, output);
        createTemporary(output);
        joinPieces(manifest, pieces);
        temporary_->close();
        fileSystem_.rename(temporaryPath_, output);
    } catch (const files::FileError& error) {
        closeTemporaryQuietly();
        throw JoinFailure(error.path(), error.what(), temporaryPath_);
    } catch (const std::bad_alloc&) {
        closeTemporaryQuietly();
        throw JoinFailure(manifestPath_, "Cannot join \"" + manifestPath_ + "\": out of memory",
                          temporaryPath_);
    }
}

void JoinJob::closeTemporaryQuietly() {
    if (!temporary_)
        return;
    try {
        temporary_->close();
    } catch (const files::FileError&) {
        // The failure being reported already says what went wrong with this file.
    }
}

void JoinJob::refuseUnsafeOutput(const JoinManifest& manifest, const PieceNames& pieces,
                                 const std::string& output) {
    const auto refuse = [&](const std::string& why) {
        throw JoinFailure(output, "Cannot write \"" + output + "\": " + why);
    };
    if (fileSystem_.sameFile(output, manifestPath_))
        refuse("it is the manifest being joined");
    if (fileSystem_.isDirectory(output))
        refuse("a folder of that name stands there");
    if (!fileSystem_.exists(output))
        return;
    // Only pieces that exist can be the output; the join stops at the first missing one.
    for (double k = 1; k <= manifest.count; k += 1) {
        const std::string piece = pieces.piecePath(pieceNumber(k));
        if (!fileSystem_.exists(piece))
            break;
        if (fileSystem_.sameFile(output, piece))
            refuse("it is piece " + std::to_string(static_cast<std::int64_t>(k)) + " of this join");
    }
}

void JoinJob::createTemporary(const std::string& output) {
    std::string stem = output + temporarySuffix;
    for (int attempt = 1; attempt <= temporaryAttempts; ++attempt) {
        const std::string candidate = attempt == 1 ? stem : stem + std::to_string(attempt);
        try {
            temporary_ = fileSystem_.openWrite(candidate, files::WriteMode::CreateNew);
            temporaryPath_ = candidate;
            return;
        } catch (const files::FileError& error) {
            if (hasErrorCode(error, std::errc::file_exists))
                continue;
            const std::string folder = files::folderOf(output);
            if (hasErrorCode(error, std::errc::filename_too_long) &&
                stem != folder + temporarySuffix) {
                // A name at the length limit leaves no room for the suffix: use a short
                // name in the same folder instead.
                stem = folder + temporarySuffix;
                attempt = 0;
                continue;
            }
            // Report the output the user asked for, not our temporary name.
            throw files::FileError(output, error.operation(), error.reason(), error.errorCode());
        }
    }
    throw files::FileError(output, files::FileOperation::OpenForWriting,
                           "no free name for a temporary file beside it");
}

void JoinJob::joinPieces(const JoinManifest& manifest, const PieceNames& pieces) {
    std::int64_t offset = 0;
    for (double k = 1; k <= manifest.count; k += 1) {
        copyPiece(pieces.piecePath(pieceNumber(k)), offset);
        const double share = k / manifest.count * 100;
        observer_.pieceDone(static_cast<float>(share),
                            static_cast<std::int64_t>(std::floor(share)));
    }
}

void JoinJob::copyPiece(const std::string& path, std::int64_t& offset) {
    auto piece = fileSystem_.openRead(path);
    const std::int64_t length = piece->length();
    fileSystem_.copy(*piece, *temporary_, offset + 1, length, [this] { observer_.idle(); });
    piece->close();
    offset += length;
}

} // namespace kalvex
