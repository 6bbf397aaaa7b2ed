#pragma once

#include "files/FileError.h"
#include "join/JoinJob.h"
#include "split/SplitJob.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace kalvex::test {

// Observers that call back after each block of a split or piece of a join.
struct Watch : SplitObserver, JoinObserver {
    std::function<void()> then;
    void blockDone(float, std::int64_t) override { then ? then() : void(); }
    void pieceDone(float, std::int64_t) override { then ? then() : void(); }
};

// The FileError that action throws; a test failure when it throws none.
inline files::FileError failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const files::FileError& error) {
        return error;
    }
    ADD_FAILURE() << "no FileError";
    return {"", files::FileOperation::Inspect, ""};
}

// The message of the failure action throws, or "".
template <class Action> std::string failureOf(const Action& action) {
    try {
        action();
        return "";
    } catch (const std::exception& error) {
        return error.what();
    }
}

// A whole split, step by step as the window runs it.
inline std::string splitAll(const SplitInputs& inputs, files::FileSystem& fileSystem,
                            SplitObserver& observer,
                            SplitRoutine routine = SplitRoutine::Under10Meg) {
    return failureOf([&] {
        SplitJob job(fileSystem, inputs, observer);
        job.measureSource();
        job.openSource(routine);
        job.copyPieces();
        job.writeManifest();
        job.closeManifest();
        job.closeSource();
    });
}

inline std::string joinAll(const std::string& manifest, const std::string& folder,
                           files::FileSystem& fileSystem, JoinObserver& observer) {
    return failureOf([&] { JoinJob(manifest, folder, observer, fileSystem).run(); });
}

// The names in a folder.
inline std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace kalvex::test
