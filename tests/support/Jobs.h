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

// A whole split or join, as the windows and the command line run them: "" or the message.
inline std::string splitAll(const SplitInputs& inputs, files::FileSystem& fileSystem) {
    const JobResult result = SplitJob(fileSystem, inputs).run();
    return result ? result->message : "";
}

inline std::string joinAll(const std::string& manifest, const std::string& folder,
                           files::FileSystem& fileSystem) {
    const JobResult result = JoinJob(manifest, folder, fileSystem).run();
    return result ? result->message : "";
}

// The names in a folder.
inline std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace kalvex::test
