#pragma once

#include "files/FileError.h"
#include "join/JoinJob.h"
#include "split/SplitJob.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <string_view>

namespace kalvex::test {

// The bytes of a text, to write.
inline std::span<const std::byte> bytes(std::string_view text) {
    return std::as_bytes(std::span(text));
}

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
