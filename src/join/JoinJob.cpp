#include "join/JoinJob.h"

#include "files/ChecksumFile.h"
#include "files/FileError.h"
#include "files/FileName.h"
#include "files/FolderPath.h"
#include "jobs/JobError.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace kalvex {

namespace {

constexpr const char* temporarySuffix = ".kalvex-join";

// k counts whole pieces from 1, far below where a double stops being exact.
std::int64_t pieceNumber(double k) {
    return static_cast<std::int64_t>(k);
}

bool isMissing(const files::FileError& error) {
    return error.errorCode() == ENOENT;
}

} // namespace

JoinJob::JoinJob(std::string manifestPath, std::string joinFolder, files::FileSystem& fileSystem)
    : manifestPath_(std::move(manifestPath)), joinFolder_(std::move(joinFolder)),
      fileSystem_(fileSystem) {}

PieceNames JoinJob::pieceNamesFor(files::FileSystem& fileSystem, const std::string& basePath) {
    // Split where the folder ends, so that the folder half already ends in its separator
    // (or is empty) and nothing is inserted: the base is used exactly as cut.
    const std::string folder = files::folderOf(basePath);
    return PieceNames(fileSystem, folder, basePath.substr(folder.size()));
}

JobResult JoinJob::run() noexcept {
    try {
        const auto manifest = JoinManifest::read(fileSystem_, manifestPath_);
        refuseUnfitName(manifest);
        refuseUnfitCount(manifest);

        const std::string output = files::folderPath(fileSystem_, joinFolder_) + manifest.title;
        const PieceNames pieces = pieceNamesFor(fileSystem_, manifest.basePath);
        refuseUnsafeOutput(manifest, pieces, output);
        // A count of 0 is what the split of an empty file writes: it rebuilds an empty file.
        const std::int64_t length = manifest.count >= 1 ? claimPieces(manifest, pieces) : 0;
        readChecksums(manifest, pieces);
        output_.emplace(fileSystem_, output, temporarySuffix, permissionsFor(output));
        joinPieces(manifest, pieces, length);
        output_->commit();
        if (pieceOne_)
            pieceOne_->close();
        return std::nullopt;
    } catch (...) {
        JobError error = errorFromCurrentException("Cannot join \"" + manifestPath_ + "\"");
        error.keptFile = keepOutput();
        if (!error.keptFile.empty())
            error.message += "\n\nWhat was joined so far is kept in \"" + error.keptFile + "\".";
        return error;
    }
}

// Whatever was joined gets a visible name, which the message gives.
std::string JoinJob::keepOutput() noexcept {
    if (pieceOne_) {
        try {
            pieceOne_->close();
        } catch (...) {
            // Only read from: the failure being reported is what counts.
        }
    }
    return output_ ? output_->keep() : std::string();
}

void JoinJob::refuseUnfitName(const JoinManifest& manifest) {
    const auto refuse = [&](const std::string& why) {
        throw JobRefusal("Cannot join \"" + manifestPath_ + "\": the file name on line 2 " + why);
    };
    if (const auto reason = files::unsafeFileNameReason(manifest.title))
        refuse(*reason);
}

// A split writes a whole count of pieces, 0 for an empty file.
void JoinJob::refuseUnfitCount(const JoinManifest& manifest) {
    if (manifest.count < 0 || (manifest.count > 0 && manifest.count < 1))
        throw JobRefusal("Cannot join \"" + manifestPath_ +
                         "\": it is not a split manifest (its piece count "
                         "is below 1)");
}

// The rebuilt file is as private as the file it replaces (its owner and group too, where the
// system lets them be given), or else as piece 1.
std::optional<files::Permissions> JoinJob::permissionsFor(const std::string& output) {
    if (auto replaced = fileSystem_.permissionsOf(output))
        return replaced;
    if (!pieceOne_)
        return std::nullopt;
    auto permissions = pieceOne_->permissions();
    if (permissions)
        permissions->owner = permissions->group = std::nullopt;
    return permissions;
}

void JoinJob::refuseUnsafeOutput(const JoinManifest& manifest, const PieceNames& pieces,
                                 const std::string& output) {
    const auto refuse = [&](const std::string& why) {
        throw JobRefusal("Cannot write \"" + output + "\": " + why);
    };
    if (fileSystem_.maySameFile(output, manifestPath_))
        refuse("it is the manifest being joined");
    if (fileSystem_.maySameFile(output, pieces.checksumPath()))
        refuse("it is the checksum file of the pieces being joined");
    if (fileSystem_.isDirectory(output))
        refuse("a folder of that name stands there");
    // Found now rather than when the last piece has been copied and the name is given.
    const std::string folder = files::folderOf(output);
    if (const auto reason = fileSystem_.overlongNameReason(folder, output.substr(folder.size())))
        refuse("its name " + *reason);
    if (!fileSystem_.exists(output)) {
        // Nothing to write over; only a piece's own name in other letters is refused, which the
        // names tell without asking the disk about every piece.
        if (const std::int64_t k = pieceNamed(pieces, output); k >= 1 && k <= manifest.count)
            refuse("it is piece " + std::to_string(k) + " of this join");
        return;
    }
    // Only pieces that exist can be the output; the join stops at the first missing one.
    for (double k = 1; k <= manifest.count; k += 1) {
        const std::string piece = pieces.piecePath(pieceNumber(k));
        if (!fileSystem_.exists(piece))
            break;
        if (fileSystem_.maySameFile(output, piece))
            refuse("it is piece " + std::to_string(static_cast<std::int64_t>(k)) + " of this join");
    }
}

// The number of the piece whose path is path but for letter case, or 0.
std::int64_t JoinJob::pieceNamed(const PieceNames& pieces, const std::string& path) {
    const std::string& base = pieces.base();
    if (path.size() <= base.size() || path.size() > base.size() + 15 ||
        !files::equalIgnoringCase(std::string_view(path).substr(0, base.size()), base))
        return 0;
    const std::string digits = path.substr(base.size());
    if (digits.front() == '0' || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoll(digits);
}

// Before anything is written: piece 1 is not being written by a split, and the pieces can
// come from one split (all but the last as long as piece 1, the last not longer). Checking
// stops at the first missing piece, which the copy then reports after what came before it.
// Returns the length of the output, as far as the pieces there go.
std::int64_t JoinJob::claimPieces(const JoinManifest& manifest, const PieceNames& pieces) {
    try {
        pieceOne_ = fileSystem_.openRead(pieces.piecePath(1));
    } catch (const files::FileError& error) {
        if (!isMissing(error))
            throw;
        return 0;
    }
    if (!pieceOne_->tryLock(files::LockMode::Shared))
        throw JobRefusal("Cannot join \"" + manifestPath_ + "\": its piece \"" + pieceOne_->path() +
                         "\" is being written by a split that has not finished.");
    const std::int64_t full = pieceOne_->length();
    refuseEmpty(pieceOne_->path(), full);
    std::int64_t total = full;
    for (double k = 2; k <= manifest.count; k += 1) {
        const std::string piece = pieces.piecePath(pieceNumber(k));
        std::int64_t length = 0;
        try {
            length = fileSystem_.fileLength(piece);
        } catch (const files::FileError& error) {
            if (!isMissing(error))
                throw;
            return total;
        }
        refuseEmpty(piece, length);
        total += length;
        const bool last = k + 1 > manifest.count;
        if (length == full || (last && length < full))
            continue;
        throw JobRefusal("Cannot join \"" + manifestPath_ + "\": the piece \"" + piece +
                         "\" holds " + std::to_string(length) + " bytes where piece 1 holds " +
                         std::to_string(full) + "; these pieces cannot come from one split.");
    }
    return total;
}

// A split never writes an empty piece: one that is empty now lost its bytes.
void JoinJob::refuseEmpty(const std::string& piece, std::int64_t length) {
    if (length == 0)
        throw JobRefusal("Cannot join \"" + manifestPath_ + "\": the piece \"" + piece +
                         "\" is empty, and a split never writes an empty piece.");
}

// Where the split left a checksum file, every piece is checked against it. One that cannot be
// read, or is not what a split writes for these pieces, refuses the join before anything is
// written: it could not tell a damaged piece from a sound one.
void JoinJob::readChecksums(const JoinManifest& manifest, const PieceNames& pieces) {
    checksums_.clear();
    const std::string path = pieces.checksumPath();
    if (!fileSystem_.exists(path))
        return;
    const auto refuse = [&](const std::string& why) {
        throw JobRefusal("Cannot join \"" + manifestPath_ + "\": " + why +
                         ". To join without checking the pieces, remove \"" + path + "\".");
    };
    // No more lines than pieces a join could ever reach, so that the bound on the file's
    // length cannot overflow.
    const auto count = static_cast<std::int64_t>(std::min(std::floor(manifest.count), 1e12));
    files::ChecksumFile::Reading reading;
    try {
        reading = files::ChecksumFile::read(fileSystem_, path, count);
    } catch (const files::FileError& error) {
        refuse("the checksum file \"" + path + "\" cannot be read (" + error.reason() + ")");
    }
    if (!reading.refusal.empty())
        refuse("the checksum file \"" + path + "\" is not one a split writes (" + reading.refusal +
               ")");
    const std::size_t folder = files::folderOf(pieces.base()).size();
    for (std::int64_t number = 1; number <= count; ++number) {
        const std::string piece = pieces.piecePath(number);
        const auto& entry = reading.entries[static_cast<std::size_t>(number - 1)];
        if (entry.name != piece.substr(folder))
            refuse("the piece \"" + piece + "\" is missing from the checksum file \"" + path +
                   "\"");
        checksums_.push_back(entry.digest);
    }
    checksumPath_ = path;
}

void JoinJob::joinPieces(const JoinManifest& manifest, const PieceNames& pieces,
                         std::int64_t length) {
    if (!checksumPath_.empty())
        hasher_.emplace();
    std::int64_t offset = 0;
    for (double k = 1; k <= manifest.count; k += 1) {
        const std::string piece = pieces.piecePath(pieceNumber(k));
        copyPiece(piece, offset);
        if (hasher_)
            checkDigests(hasher_->ready(digestsChecked_), pieces);
        const double share = k / manifest.count * 100;
        progress_.note({static_cast<float>(share), static_cast<std::int64_t>(std::floor(share)),
                        offset, length});
    }
    if (hasher_) {
        checkDigests(hasher_->all(digestsChecked_), pieces);
        hasher_.reset();
    }
}

void JoinJob::copyPiece(const std::string& path, std::int64_t& offset) {
    // Piece 1 stays open, and locked, until the output is in place.
    std::unique_ptr<files::File> opened;
    files::File& piece = pieceOne_ && pieceOne_->path() == path
                             ? *pieceOne_
                             : *(opened = fileSystem_.openRead(path));
    const std::int64_t length = piece.length();
    piece.seek(1);
    if (!hasher_) {
        fileSystem_.copy(piece, output_->file(), offset + 1, length);
    } else {
        // In parts, so that the hasher reads each part back while the next is copied.
        hasher_->add(piece.duplicate(), 0, length, path);
        for (std::int64_t done = 0; done < length;) {
            const std::int64_t count = std::min(length - done, HashedPart);
            fileSystem_.copy(piece, output_->file(), offset + done + 1, count);
            done += count;
            hasher_->copied(offset + done, done == length);
        }
    }
    if (opened)
        opened->close();
    offset += length;
}

// The digests made since the last look, from the first not yet checked, against the checksum
// file.
void JoinJob::checkDigests(const std::vector<std::string>& digests, const PieceNames& pieces) {
    for (const std::string& digest : digests) {
        if (digest == checksums_[digestsChecked_]) {
            ++digestsChecked_;
            continue;
        }
        const std::string piece = pieces.piecePath(static_cast<std::int64_t>(digestsChecked_) + 1);
        throw JobRefusal("Cannot join \"" + manifestPath_ + "\": the contents of the piece \"" +
                         piece +
                         "\" differ from what the split wrote (its SHA-256 digest is not the "
                         "one in \"" +
                         checksumPath_ + "\")");
    }
}

} // namespace kalvex
