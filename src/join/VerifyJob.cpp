#include "join/VerifyJob.h"

#include "files/ChecksumFile.h"
#include "files/FileError.h"
#include "files/FolderPath.h"
#include "files/Sha256.h"
#include "join/JoinJob.h"
#include "join/JoinManifest.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <map>
#include <span>

namespace kalvex {

namespace {
constexpr std::int64_t BlockSize = 1048576;
} // namespace

VerifyJob::VerifyJob(std::string manifestPath, files::FileSystem& fileSystem)
    : manifestPath_(std::move(manifestPath)), fileSystem_(fileSystem) {}

bool VerifyJob::allSound() const {
    return std::all_of(checks_.begin(), checks_.end(), [](const auto& c) { return c.sound; });
}

JobResult VerifyJob::run() noexcept {
    try {
        const auto manifest = JoinManifest::read(fileSystem_, manifestPath_);
        if (manifest.count < 0 || manifest.count != std::floor(manifest.count))
            throw JobRefusal("Cannot verify \"" + manifestPath_ +
                             "\": it is not a split manifest (its piece count is not a whole "
                             "number of pieces)");
        // The checksum file's bound on its length keeps a huge count from being read.
        const auto count = static_cast<std::int64_t>(std::min(manifest.count, 1e12));
        // The split of an empty file writes no pieces and no checksum file.
        if (count == 0)
            return std::nullopt;
        const PieceNames pieces = JoinJob::pieceNamesFor(fileSystem_, manifest.basePath);
        const auto digests = readDigests(pieces, count);
        measurePieces(pieces, count);
        const std::int64_t full = fullLength();
        for (std::size_t index = 0; index < digests.size(); ++index)
            checks_.push_back(checkPiece(pieces.piecePath(static_cast<std::int64_t>(index) + 1),
                                         index, digests[index], full));
        return std::nullopt;
    } catch (...) {
        return errorFromCurrentException("Cannot verify \"" + manifestPath_ + "\"");
    }
}

// Each piece's digest, in order, from a checksum file that names the pieces as the split did.
std::vector<std::string> VerifyJob::readDigests(const PieceNames& pieces,
                                                std::int64_t count) const {
    const std::string path = pieces.checksumPath();
    const auto refuse = [&](const std::string& why) {
        throw JobRefusal("Cannot verify \"" + manifestPath_ + "\": " + why);
    };
    if (!fileSystem_.exists(path))
        refuse("there is no checksum file \"" + path + "\" to check its pieces against");
    const auto reading = files::ChecksumFile::read(fileSystem_, path, count);
    if (!reading.refusal.empty())
        refuse("the checksum file \"" + path + "\" is not one a split writes (" + reading.refusal +
               ")");
    std::vector<std::string> digests;
    const std::size_t folder = files::folderOf(pieces.base()).size();
    for (std::int64_t number = 1; number <= count; ++number) {
        const auto& entry = reading.entries[static_cast<std::size_t>(number - 1)];
        if (entry.name != pieces.piecePath(number).substr(folder))
            refuse("the piece \"" + pieces.piecePath(number) +
                   "\" is missing from the checksum file \"" + path + "\"");
        digests.push_back(entry.digest);
    }
    return digests;
}

void VerifyJob::measurePieces(const PieceNames& pieces, std::int64_t count) {
    for (std::int64_t number = 1; number <= count; ++number) {
        std::int64_t length = -1;
        try {
            length = fileSystem_.fileLength(pieces.piecePath(number));
        } catch (const files::FileError&) {
            // Reading it says why.
        }
        lengths_.push_back(length);
        bytesTotal_ += std::max<std::int64_t>(length, 0);
    }
}

// The length of a whole piece: the one most pieces but the last hold (the larger of a tie), so
// that one damaged piece does not make the sound ones look wrong; 0 when none is there.
std::int64_t VerifyJob::fullLength() const {
    std::map<std::int64_t, int> seen;
    for (std::size_t index = 0; index + 1 < lengths_.size(); ++index)
        if (lengths_[index] > 0)
            ++seen[lengths_[index]];
    std::int64_t full = 0;
    int most = 0;
    for (const auto& [length, times] : seen)
        if (times >= most) {
            full = length;
            most = times;
        }
    return full;
}

// Why a piece cannot have its length at its place in a split set, or "" when it can.
std::string VerifyJob::lengthFault(std::size_t index, std::int64_t full) const {
    const std::int64_t length = lengths_[index];
    const bool last = index + 1 == lengths_.size();
    if (length == 0)
        return "empty";
    if (full == 0 || length == full || (last && length < full))
        return "";
    return std::to_string(length) + " bytes, " + (last ? "more than" : "not") + " the " +
           std::to_string(full) + " of the others";
}

// A piece whose digest matches is sound whatever its length; one that differs is told apart
// by its length where that alone shows the fault.
VerifyJob::PieceCheck VerifyJob::checkPiece(const std::string& path, std::size_t index,
                                            const std::string& digest, std::int64_t full) {
    PieceCheck check{path.substr(files::folderOf(path).size()), false, ""};
    try {
        const auto piece = fileSystem_.openRead(path);
        check.sound = digestOf(*piece) == digest;
    } catch (const files::FileError& error) {
        check.verdict =
            error.errorCode() == ENOENT ? "missing" : "cannot be read (" + error.reason() + ")";
        return check;
    }
    const std::string fault = check.sound ? "" : lengthFault(index, full);
    check.verdict = check.sound     ? "OK"
                    : fault.empty() ? "contents differ"
                                    : "wrong length (" + fault + ")";
    return check;
}

// Read from the device where the system allows, and left out of the cache afterwards, so that
// checking a large set does not push out what other programs use.
std::string VerifyJob::digestOf(files::File& piece) {
    piece.dropCachedPages();
    const auto digest = files::Sha256::create(piece.path());
    std::vector<std::byte> block(static_cast<std::size_t>(BlockSize));
    for (std::int64_t left = piece.length(); left > 0;) {
        const auto part =
            std::span(block).first(static_cast<std::size_t>(std::min(left, BlockSize)));
        piece.read(part);
        digest->update(part);
        left -= static_cast<std::int64_t>(part.size());
        noteProgress(static_cast<std::int64_t>(part.size()));
    }
    piece.dropCachedPages();
    piece.close();
    return digest->finishHex();
}

// A piece that grew since it was measured takes the share no further than 100.
void VerifyJob::noteProgress(std::int64_t bytesRead) {
    bytesDone_ += bytesRead;
    const double share =
        std::min(100.0, static_cast<double>(bytesDone_) / static_cast<double>(bytesTotal_) * 100);
    progress_.note(
        {static_cast<float>(share), static_cast<std::int64_t>(share), bytesDone_, bytesTotal_});
}

} // namespace kalvex
