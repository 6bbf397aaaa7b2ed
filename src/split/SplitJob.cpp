#include "split/SplitJob.h"

#include "files/ChecksumFile.h"
#include "files/FileError.h"
#include "files/FileName.h"
#include "files/FolderPath.h"
#include "split/SplitManifest.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>
#include <utility>

namespace kalvex {

namespace {

// Sizes and counts beyond this are not exact in a double; the size rules never give one.
constexpr double LargestWholeNumber = 9007199254740992.0; // 2^53

bool isWholeNumber(double value) {
    return value >= 0 && value <= LargestWholeNumber && std::floor(value) == value;
}

std::string_view fileNameOf(std::string_view path) {
#ifdef _WIN32
    constexpr std::string_view separators = "\\/:";
#else
    constexpr std::string_view separators = "/";
#endif
    const auto at = path.find_last_of(separators);
    return at == std::string_view::npos ? path : path.substr(at + 1);
}

template <class T> void closeQuietly(T& open) noexcept {
    try {
        if (open)
            open->close();
    } catch (...) {
        // Already on the way out of a failure, which is what gets reported.
    }
    open.reset();
}

} // namespace

SplitRoutine SplitJob::routineFor(std::int64_t sourceLength, double pieceSize) {
    return sourceLength >= LargeSource && pieceSize >= static_cast<double>(LargeBlock)
               ? SplitRoutine::Over10Meg
               : SplitRoutine::Under10Meg;
}

std::int64_t SplitJob::blockSize(SplitRoutine routine) {
    return routine == SplitRoutine::Over10Meg ? LargeBlock : SmallBlock;
}

SplitJob::SplitJob(files::FileSystem& fileSystem, SplitInputs inputs)
    : fileSystem_(fileSystem), inputs_(std::move(inputs)),
      names_(fileSystem, inputs_.destinationFolder, inputs_.pieceName) {}

SplitJob::~SplitJob() {
    closeAll();
}

JobResult SplitJob::run() noexcept {
    try {
        // A missing source fails here, before anything is opened.
        routine_ = routineFor(fileSystem_.fileLength(inputs_.sourcePath), inputs_.pieceSize);
        openSource();
        copyPieces();
        writeChecksums();
        writeManifest();
        if (routine_ == SplitRoutine::Under10Meg) {
            auto source = std::move(source_);
            source->close();
            closeManifest();
        } else {
            closeManifest();
            // Last: every piece and the manifest are closed by now, so a source that was only
            // read loses nothing if its close fails, and the split stands.
            closeAll();
        }
        return std::nullopt;
    } catch (...) {
        JobError error = errorFromCurrentException("Cannot split \"" + inputs_.sourcePath + "\"");
        closeAll();
        return error;
    }
}

// Opens the source, measures it again (this length counts from here on) and checks the split
// before anything is written.
void SplitJob::openSource() {
    blockSize_ = blockSize(routine_);
    source_ = fileSystem_.openRead(inputs_.sourcePath);
    sourceLength_ = source_->length();
    // The set is as private as the file it holds; owners are left to the system.
    piecePermissions_ = source_->permissions();
    if (piecePermissions_)
        piecePermissions_->owner = piecePermissions_->group = std::nullopt;
    readPosition_ = 1;
    checkNumbers();
    // Both are whole and below 2^53, so the conversions lose nothing.
    pieceSize_ = static_cast<std::int64_t>(inputs_.pieceSize);
    pieceCount_ = static_cast<std::int64_t>(inputs_.pieceCount);
    checkTitle();
    checkCapacity();
    checkNotOverSource();
    checkNames();
    claimSet();
    block_.clear(); // made when the kernel first declines a block
    kernelCopies_ = true;
}

void SplitJob::refuse(const std::string& reason) const {
    throw JobRefusal("Cannot split \"" + inputs_.sourcePath + "\": " + reason);
}

void SplitJob::checkNumbers() const {
    if (!isWholeNumber(inputs_.pieceSize))
        refuse("the piece size is not a whole number of bytes.");
    if (!isWholeNumber(inputs_.pieceCount))
        refuse("the piece count is not a whole number.");
}

void SplitJob::checkTitle() const {
    const std::string& title = inputs_.sourceTitle;
    if (title.empty() || title == "." || title == ".." || fileNameOf(inputs_.sourcePath) != title)
        refuse("the name to rebuild it under (\"" + title +
               "\") is not its file name. Choose the file with Browse, drop "
               "it on the window or give it on the command line.");
    if (const auto reason = files::unsafeFileNameReason(title))
        refuse("its file name " + *reason + ", which a join would refuse.");
}

std::int64_t SplitJob::piecesNeeded() const {
    if (sourceLength_ == 0)
        return 0;
    if (pieceSize_ == 0)
        return -1; // no count of empty pieces holds anything
    return sourceLength_ / pieceSize_ + (sourceLength_ % pieceSize_ != 0 ? 1 : 0);
}

// The count was worked out from the source's length when it was chosen. A count that no
// longer fits means the file changed since: its manifest could not rebuild the file.
void SplitJob::checkCapacity() const {
    const std::int64_t needed = piecesNeeded();
    if (needed < 0 || pieceCount_ < needed)
        refuse(std::to_string(pieceCount_) + " pieces of " + std::to_string(pieceSize_) +
               " bytes cannot hold its " + std::to_string(sourceLength_) + " bytes.");
    if (pieceCount_ > needed)
        refuse("it has changed since it was chosen: its " + std::to_string(sourceLength_) +
               " bytes now make " + std::to_string(needed) + " pieces, not " +
               std::to_string(pieceCount_) + ". Choose the file again.");
}

void SplitJob::checkNotOverSource() const {
    for (const std::string& file : {names_.manifestPath(), names_.checksumPath()})
        if (fileSystem_.maySameFile(file, inputs_.sourcePath))
            refuse("the " +
                   std::string(file == names_.manifestPath() ? "manifest" : "checksum file") +
                   " \"" + file + "\" would be written over it.");
    const std::int64_t written = pieceCount_;
    for (std::int64_t number = 1; number <= written; ++number) {
        const std::string piece = names_.piecePath(number);
        if (fileSystem_.maySameFile(piece, inputs_.sourcePath))
            refuse("the piece \"" + piece + "\" would be written over it.");
    }
}

void SplitJob::checkNames() const {
    const std::string folder = files::folderOf(names_.manifestPath());
    // The last piece has the longest number, so the longest name of the pieces.
    for (const std::string& path : {names_.piecePath(std::max<std::int64_t>(pieceCount_, 1)),
                                    names_.manifestPath(), names_.checksumPath()})
        if (const auto reason = fileSystem_.overlongNameReason(folder, path.substr(folder.size())))
            refuse("the name \"" + path + "\" " + *reason + ".");
    // Writing through a link planted at one of the names would change a file elsewhere.
    const auto refuseLink = [&](const std::string& path) {
        if (fileSystem_.isLink(path))
            refuse("\"" + path + "\" is a symbolic link, and Kalvex never writes through one.");
    };
    refuseLink(names_.manifestPath());
    refuseLink(names_.checksumPath());
    for (std::int64_t number = 1; number <= pieceCount_; ++number)
        refuseLink(names_.piecePath(number));
}

// Piece 1 opens without being emptied, so that a set another job is using is left as it is
// when the lock is refused. The old manifest goes before the first piece is written: a split
// that stops part-way never leaves one beside pieces it did not finish.
void SplitJob::claimSet() {
    if (pieceCount_ > 0) {
        pieceOne_ = fileSystem_.openWrite(names_.piecePath(1), files::WriteMode::Keep);
        if (!pieceOne_->tryLock(files::LockMode::Exclusive)) {
            closeAll();
            refuse("its pieces (\"" + names_.piecePath(1) +
                   "\" ...) are in use by another split or join. Try again "
                   "when it has finished.");
        }
    }
    // The checksum file goes with the manifest it belongs to.
    bool removed = false;
    for (const std::string& old : {names_.manifestPath(), names_.checksumPath()}) {
        if (!fileSystem_.exists(old))
            continue;
        fileSystem_.remove(old);
        removed = true;
    }
    if (removed && files::durabilityEnabled())
        fileSystem_.flushFolder(files::folderOf(names_.manifestPath()));
}

void SplitJob::copyPieces() {
    if (pieceCount_ >= 2)
        opener_.emplace(fileSystem_, names_, 2, pieceCount_, *source_, piecePermissions_);
    if (files::durabilityEnabled())
        flusher_.emplace();
    if (pieceCount_ > 0)
        hasher_.emplace();
    for (std::int64_t number = 1; number <= pieceCount_ && readPosition_ <= sourceLength_; ++number)
        copyPiece(number);
    opener_.reset();
    if (flusher_)
        flusher_->flushAll();
    flusher_.reset();
}

void SplitJob::copyPiece(std::int64_t number) {
    std::int64_t fill = 0;
    files::File* piece = nullptr;
    // Blocks of B bytes; the last block of a piece is shorter when B does not divide the
    // piece size, and no block runs past the end of the source.
    while (fill < pieceSize_ && readPosition_ <= sourceLength_) {
        const std::int64_t left = sourceLength_ + 1 - readPosition_;
        std::int64_t count = blockSize_;
        if (fill + blockSize_ >= pieceSize_)
            count = std::min(pieceSize_ - fill, left);
        else if (left < blockSize_)
            count = left;

        if (!piece) {
            piece = &openPiece(number);
            // Its digest is made from what it holds, read back behind the copy.
            const std::int64_t start = readPosition_ - 1;
            hasher_->add(piece->duplicate(), 0, std::min(pieceSize_, sourceLength_ - start),
                         piece->path());
        }
        copyBlock(*piece, fill + 1, count);
        readPosition_ += count;
        fill += count;

        noteProgress();
    }
    if (piece) {
        hasher_->copied(readPosition_ - 1, true);
        finishPiece(*piece);
    }
}

// The read position over the length, times 100: the bar stops at 100, the caption does not.
void SplitJob::noteProgress() {
    const double progress =
        static_cast<double>(readPosition_) / static_cast<double>(sourceLength_) * 100.0;
    hasher_->copied(readPosition_ - 1);
    progress_.note({progress > 100.0 ? 100.0F : static_cast<float>(progress),
                    static_cast<std::int64_t>(std::floor(progress)), readPosition_ - 1,
                    sourceLength_});
}

files::File& SplitJob::openPiece(std::int64_t number) {
    if (number == 1 && pieceOne_) {
        const files::File* locked = pieceOne_.get();
        PieceOpener::makeReady(fileSystem_, pieceOne_, *source_, piecePermissions_);
        // A new file took the name, and the set's lock moves to it.
        if (pieceOne_.get() != locked && !pieceOne_->tryLock(files::LockMode::Exclusive))
            throw files::FileError(pieceOne_->path(), files::FileOperation::OpenForWriting,
                                   "another split or join took it up");
        return *pieceOne_;
    }
    piece_ = opener_->take(); // piece 2 on: the opener exists whenever there are two
    return *piece_;
}

// The piece is closed at once, and its close checked; its flush is the flusher's, through a
// duplicate (piece 1 stays open anyway, for its lock).
void SplitJob::finishPiece(files::File& piece) {
    if (flusher_) {
        if (&piece == pieceOne_.get())
            flusher_->addOpen(piece);
        else
            flusher_->add(piece.duplicate());
    }
    // Piece 1 keeps the set's lock until the manifest is in place.
    if (piece_) {
        auto opened = std::move(piece_);
        opened->close();
    }
    ++piecesWritten_;
    if (flusher_ && flusher_->waiting() >= MostUnflushed)
        flusher_->flushAll();
}

// One block from the read position into the piece: in the kernel while it agrees (one call
// per block), else through the block buffer from then on.
void SplitJob::copyBlock(files::File& piece, std::int64_t position, std::int64_t count) {
    std::int64_t done = 0;
    if (kernelCopies_) {
        done = fileSystem_.copyInPlace(*source_, readPosition_, piece, position, count);
        kernelCopies_ = done == count;
    }
    if (done == count)
        return;
    if (block_.empty())
        block_.resize(static_cast<std::size_t>(blockSize_));
    const std::span<std::byte> rest(block_.data(), static_cast<std::size_t>(count - done));
    source_->read(rest, readPosition_ + done);
    piece.write(position + done, rest);
}

// Failures of the manifest and the checksum file name them, never the temporary file that is
// removed. Both are text the user knows to open as such.
template <class Step> void SplitJob::onStaged(const std::string& path, const Step& step) {
    try {
        step();
    } catch (const files::FileError& error) {
        const auto operation = error.operation() == files::FileOperation::OpenForWriting
                                   ? files::FileOperation::OpenForTextOutput
                                   : error.operation();
        throw files::FileError(path, operation, error.reason(), error.errorCode());
    }
}

// The pieces' digests, exactly as sha256sum prints them, complete or not at all, before the
// manifest. A set without pieces gets none: sha256sum -c refuses an empty file.
void SplitJob::writeChecksums() {
    if (!hasher_)
        return;
    const std::vector<std::string> digests = hasher_->all();
    hasher_.reset();
    const std::size_t folder = files::folderOf(names_.base()).size();
    std::string text;
    for (std::int64_t number = 1; number <= pieceCount_; ++number)
        text += files::ChecksumFile::formatLine(digests[static_cast<std::size_t>(number - 1)],
                                                names_.piecePath(number).substr(folder));
    onStaged(names_.checksumPath(), [&] {
        files::StagedFile checksums(fileSystem_, names_.checksumPath(), ".kalvex-split",
                                    piecePermissions_);
        try {
            checksums.file().write(1, std::as_bytes(std::span(text.data(), text.size())));
            checksums.commit();
        } catch (...) {
            checksums.discard(); // half a checksum file would fail a sound set
            throw;
        }
    });
}

void SplitJob::writeManifest() {
    onStaged(names_.manifestPath(), [this] {
        stagedManifest_.emplace(fileSystem_, names_.manifestPath(), ".kalvex-split",
                                piecePermissions_);
        manifest_.emplace(stagedManifest_->file());
        SplitManifest::writeLines(*manifest_, pieceCount_, inputs_.sourceTitle);
    });
}

void SplitJob::closeManifest() {
    if (!stagedManifest_)
        return;
    onStaged(names_.manifestPath(), [this] {
        manifest_.reset();
        stagedManifest_->commit();
        stagedManifest_.reset();
    });
    if (pieceOne_) {
        auto pieceOne = std::move(pieceOne_);
        pieceOne->close();
    }
}

void SplitJob::closeAll() noexcept {
    opener_.reset();
    flusher_.reset();
    hasher_.reset();
    closeQuietly(piece_);
    manifest_.reset();
    if (stagedManifest_) {
        stagedManifest_->discard();
        stagedManifest_.reset();
    }
    closeQuietly(pieceOne_);
    closeQuietly(source_);
}

} // namespace kalvex
