#include "app/TerminalJob.h"

#include "app/TerminalProgress.h"
#include "files/FileError.h"
#include "files/FolderPath.h"
#include "files/Terminal.h"
#include "join/JoinJob.h"
#include "join/JoinManifest.h"
#include "join/VerifyJob.h"
#include "settings/PieceName.h"
#include "settings/SizeRules.h"
#include "split/SplitJob.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

namespace kalvex {

namespace {

// About five times a second: often enough to look alive, seldom enough to cost nothing.
constexpr std::chrono::milliseconds RedrawInterval{200};

void print(const std::string& line) {
    files::writeText(stdout, line + '\n');
}

} // namespace

TerminalJob::TerminalJob(JobCommand command, files::FileSystem& fileSystem)
    : command_(std::move(command)), fileSystem_(fileSystem) {}

int TerminalJob::run() {
    switch (command_.kind()) {
    case JobCommand::Kind::Split:
        return split();
    case JobCommand::Kind::Join:
        return join();
    case JobCommand::Kind::Verify:
        return verify();
    }
    return 1;
}

// The source as the window's Browse button takes it: its length gives the count, its file name
// the title and the piece name.
int TerminalJob::split() {
    const std::string& source = command_.path();
    std::int64_t length = 0;
    try {
        length = fileSystem_.fileLength(source);
    } catch (const files::FileError& error) {
        return fail(error.what());
    }
    const std::string title = source.substr(files::folderOf(source).size());
    const std::int64_t size = command_.pieceSize();
    SplitJob job(fileSystem_,
                 {source, folderFor(source), pieceNameFor(title), title, static_cast<double>(size),
                  static_cast<double>(SizeRules::pieceCount(length, size))});
    if (const auto error = runShowingProgress(job.progress(), [&] { return job.run(); }))
        return fail(error->message);
    print(setWritten(job.names(), job.piecesWritten()));
    return 0;
}

int TerminalJob::join() {
    const std::string folder = folderFor(command_.path());
    std::string title;
    try {
        title = JoinManifest::read(fileSystem_, command_.path()).title;
    } catch (const std::exception&) {
        // The join says why it cannot read it.
    }
    JoinJob job(command_.path(), folder, fileSystem_);
    if (const auto error = runShowingProgress(job.progress(), [&] { return job.run(); }))
        return fail(error->message);
    print("Wrote " + title + " in " + folder);
    return 0;
}

int TerminalJob::verify() {
    VerifyJob job(command_.path(), fileSystem_);
    if (const auto error = runShowingProgress(job.progress(), [&] { return job.run(); }))
        return fail(error->message);
    std::size_t unsound = 0;
    for (const auto& check : job.checks()) {
        print(check.name + ": " + check.verdict);
        unsound += check.sound ? 0 : 1;
    }
    if (unsound == 0)
        return 0;
    return fail(std::to_string(unsound) + " of " + std::to_string(job.checks().size()) +
                " pieces are not as the split wrote them.");
}

// The folder given, or else the file's own, ready for a file name: one given without its
// separator still receives the files rather than lending them its name.
std::string TerminalJob::folderFor(const std::string& path) const {
    const char separator = files::FileSystem::separator();
    std::string folder = command_.folder().empty() ? files::folderOf(path) : command_.folder();
    if (folder.empty())
        folder = '.';
    if (folder.back() != separator)
        folder += separator;
    return folder;
}

// As the window offers it and its Split button completes it.
std::string TerminalJob::pieceNameFor(const std::string& title) const {
    std::string name = command_.pieceName();
    if (name.empty())
        return PieceName::fromTitle(title);
    if (!PieceName::hasSuffix(name))
        name += PieceName::Suffix;
    return name;
}

// "Wrote 3 pieces (movie.split1 to movie.split3), movie.split.sha256 and movie.splitMain in
// /media/stick/"; an empty file gets a manifest alone.
std::string TerminalJob::setWritten(const PieceNames& names, std::int64_t pieces) {
    const std::string folder = files::folderOf(names.base());
    const auto name = [&](const std::string& path) {
        return path.substr(folder.size());
    };
    std::string written = "no pieces (the file is empty) and ";
    if (pieces > 0)
        written = std::to_string(pieces) + (pieces == 1 ? " piece (" : " pieces (") +
                  name(names.piecePath(1)) +
                  (pieces > 1 ? " to " + name(names.piecePath(pieces)) : "") + "), " +
                  name(names.checksumPath()) + " and ";
    return "Wrote " + written + name(names.manifestPath()) + " in " + folder;
}

JobResult TerminalJob::runShowingProgress(const ProgressRecord& record,
                                          const std::function<JobResult()>& job) {
    std::promise<JobResult> ended;
    std::future<JobResult> result = ended.get_future();
    const std::jthread worker([&] { ended.set_value(job()); });
    if (files::isTerminal(stderr)) {
        TerminalProgress progress(stderr);
        const auto start = std::chrono::steady_clock::now();
        while (result.wait_for(RedrawInterval) != std::future_status::ready)
            progress.show(
                record.read().values,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        progress.clear();
    }
    return result.get();
}

int TerminalJob::fail(const std::string& message) {
    std::fflush(stdout);
    files::writeText(stderr, message + '\n');
    return 1;
}

} // namespace kalvex
