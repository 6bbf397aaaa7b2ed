#pragma once

#include "files/FileSystem.h"
#include "jobs/JobError.h"
#include "jobs/ProgressRecord.h"
#include "split/PieceNames.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kalvex {

// Checks every piece of a split set against the checksum file the split wrote beside its
// manifest, writing nothing. Each piece is read from the device rather than from the system's
// cache where the system allows, so that a sound verdict speaks for the medium. Progress goes
// to a record that whoever shows it reads.
class VerifyJob {
public:
    // What one piece was found to be.
    struct PieceCheck {
        std::string name; // the piece's file name, without its folder
        bool sound = false;
        // "OK", "missing", "wrong length (...)", "contents differ" or "cannot be read (...)".
        std::string verdict;
    };

    explicit VerifyJob(std::string manifestPath,
                       files::FileSystem& fileSystem = files::FileSystem::current());

    // The whole check, from one call on the thread it runs on. Never throws: a manifest or
    // checksum file that cannot be read, or is not what a split writes, comes back as the
    // error; what each piece was found to be is in checks().
    JobResult run() noexcept;
    const ProgressRecord& progress() const { return progress_; }
    const std::vector<PieceCheck>& checks() const { return checks_; }
    bool allSound() const;

private:
    std::vector<std::string> readDigests(const PieceNames& pieces, std::int64_t count) const;
    void measurePieces(const PieceNames& pieces, std::int64_t count);
    std::int64_t fullLength() const;
    std::string lengthFault(std::size_t index, std::int64_t full) const;
    PieceCheck checkPiece(const std::string& path, std::size_t index, const std::string& digest,
                          std::int64_t full);
    std::string digestOf(files::File& piece);
    void noteProgress(std::int64_t bytesRead);

    std::string manifestPath_;
    files::FileSystem& fileSystem_;
    ProgressRecord progress_;
    std::vector<std::int64_t> lengths_; // each piece's, -1 where it cannot be measured
    std::int64_t bytesTotal_ = 0;
    std::int64_t bytesDone_ = 0;
    std::vector<PieceCheck> checks_;
};

} // namespace kalvex
