#pragma once

#include "app/JobCommand.h"
#include "files/FileSystem.h"
#include "jobs/JobError.h"
#include "jobs/ProgressRecord.h"

#include <functional>
#include <string>

namespace kalvex {

class PieceNames;

// Runs a job the command line asked for, without a window: the job on a thread of its own, a
// progress line on standard error while that is a terminal, then what was written (or each
// piece's verdict) on standard output, or the job's message, as the windows show it, on
// standard error.
class TerminalJob {
public:
    explicit TerminalJob(JobCommand command,
                         files::FileSystem& fileSystem = files::FileSystem::current());

    // The whole job; the program's exit status: 0 when done, 1 when it failed.
    int run();

private:
    int split();
    int join();
    int verify();
    std::string folderFor(const std::string& path) const;
    std::string pieceNameFor(const std::string& title) const;
    static std::string setWritten(const PieceNames& names, std::int64_t pieces);
    static JobResult runShowingProgress(const ProgressRecord& record,
                                        const std::function<JobResult()>& job);
    static int fail(const std::string& message);

    JobCommand command_;
    files::FileSystem& fileSystem_;
};

} // namespace kalvex
