#pragma once

#include "support/FailingFileSystem.h"
#include "support/Jobs.h"
#include "support/TempDir.h"

#include <functional>
#include <memory>
#include <string>

namespace kalvex::test {

// A 7000-byte movie.avi split into movie.split1..3 (3072, 3072, 856 bytes) beside it, and a
// folder to join into that already holds an older movie.avi.
struct SplitJoinScene {
    TempDir dir, target;
    std::function<void()> then; // before every write of the jobs below into a file
    FailingFileSystem watch;    // which runs it
    SplitInputs in{dir.file("movie.avi"), dir.folder(), "movie.split", "movie.avi", 3072, 3};
    std::string manifest = dir.file("movie.splitMain"), checksums = dir.file("movie.split.sha256");
    std::unique_ptr<files::File> holder; // another job's hold on a piece
    SplitJoinScene() {
        writePattern(in.sourcePath, 7000);
        writeFile(target.file("movie.avi"), "old");
        watch.beforeWrite = [this](auto&&...) {
            then ? then() : void();
        };
    }
    std::string split(files::FileSystem& fileSystem) { return splitAll(in, fileSystem); }
    std::string join(files::FileSystem& fileSystem) {
        return joinAll(manifest, target.folder(), fileSystem);
    }
    std::string split() { return split(watch); }
    std::string join() { return join(watch); }
    std::string piece(int k) const { return dir.file("movie.split" + std::to_string(k)); }
    std::string joined() const { return readFile(target.file("movie.avi")); }
};

} // namespace kalvex::test
