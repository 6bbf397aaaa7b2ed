#include "files/FileError.h"
#include "files/FileSystem.h"
#include "files/SystemCalls.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

using namespace kalvex::files;
using kalvex::test::FaultyFileSystem;
using kalvex::test::patternBytes;
using kalvex::test::readFile;
using kalvex::test::TempDir;
using kalvex::test::writeFile;
using kalvex::test::writePattern;

namespace {

FileSystem& fs() {
    return FileSystem::native();
}

std::string pattern(std::int64_t count, std::int64_t start = 0) {
    const auto bytes = patternBytes(count, start);
    return std::string(bytes.begin(), bytes.end());
}

std::string readAt(File& file, std::size_t count) {
    std::string text(count, '\0');
    file.read(std::as_writable_bytes(std::span(text.data(), text.size())));
    return text;
}

// Compares without printing megabytes of difference when they differ.
testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected)
        return testing::AssertionSuccess();
    const auto mismatch =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    return testing::AssertionFailure()
           << actual.size() << " bytes where " << expected.size()
           << " were expected; first difference at offset " << (mismatch.first - actual.begin());
}

int kernelCopies = 0;

ssize_t countedCopyFileRange(int in, off_t* inOffset, int out, off_t* outOffset, size_t size,
                             unsigned flags) {
    ++kernelCopies;
    return system::nativeCalls().copyFileRange(in, inOffset, out, outOffset, size, flags);
}

enum class Route { Kernel, ForcedBySwitch, ForcedByEnvironment };

// Puts one route of copy() in force and counts the kernel's copies meanwhile.
class RouteScope {
public:
    explicit RouteScope(Route route) : calls_(counted()), route_(route) {
        kernelCopies = 0;
        if (route == Route::ForcedBySwitch)
            setCopyFallbackForced(true);
        if (route == Route::ForcedByEnvironment)
            ::setenv("KALVEX_FORCE_COPY_FALLBACK", "1", 1);
    }
    ~RouteScope() {
        setCopyFallbackForced(false);
        ::unsetenv("KALVEX_FORCE_COPY_FALLBACK");
    }
    bool kernel() const { return route_ == Route::Kernel; }

private:
    static system::Calls counted() {
        auto calls = system::calls();
        calls.copyFileRange = countedCopyFileRange;
        return calls;
    }
    system::ReplaceCalls calls_;
    Route route_;
};

const Route routes[] = {Route::Kernel, Route::ForcedBySwitch, Route::ForcedByEnvironment};

} // namespace

TEST(Copy, CopiesFromTheCurrentPositionToTheGivenOneOnEveryRoute) {
    const std::int64_t count = (std::int64_t{5} << 19) + 7; // 2.5 MiB and a bit
    for (const auto route : routes) {
        SCOPED_TRACE(static_cast<int>(route));
        RouteScope scope(route);
        EXPECT_EQ(copyFallbackForced(), !scope.kernel());
        TempDir dir;
        const auto source = dir.file("source");
        const auto target = dir.file("target");
        writePattern(source, count + 200);
        writeFile(target, "0123456789");

        auto from = fs().openRead(source);
        EXPECT_EQ(readAt(*from, 100), pattern(100));
        auto to = fs().openWrite(target, WriteMode::Keep);
        int chunks = 0;
        fs().copy(*from, *to, 4, count, [&] { ++chunks; });
        EXPECT_EQ(readAt(*from, 3), pattern(3, 100 + count)) << "the source position moved on";
        to->close();

        EXPECT_TRUE(sameBytes(readFile(target), "012" + pattern(count, 100)));
        if (scope.kernel()) {
            EXPECT_GE(kernelCopies, 1);
            EXPECT_GE(chunks, 1);
        } else {
            EXPECT_EQ(kernelCopies, 0);
            EXPECT_EQ(chunks, 3) << "one call per 1 MiB chunk";
        }
    }
}

TEST(Copy, ASourceThatEndsEarlyFailsNamingTheSource) {
    for (const auto route : routes) {
        SCOPED_TRACE(static_cast<int>(route));
        RouteScope scope(route);
        TempDir dir;
        const auto source = dir.file("source");
        const auto target = dir.file("target");
        writePattern(source, 1000);
        auto from = fs().openRead(source);
        auto to = fs().openWrite(target, WriteMode::Replace);
        try {
            fs().copy(*from, *to, 1, 1001, {});
            ADD_FAILURE() << "a short source was copied";
        } catch (const FileError& error) {
            EXPECT_EQ(error.path(), source);
            EXPECT_EQ(error.operation(), FileOperation::Read);
        }
    }
}

TEST(Copy, NothingToCopyAndNonsenseArguments) {
    TempDir dir;
    const auto source = dir.file("source");
    writePattern(source, 10);
    auto from = fs().openRead(source);
    auto to = fs().openWrite(dir.file("target"), WriteMode::Replace);
    int chunks = 0;
    fs().copy(*from, *to, 1, 0, [&] { ++chunks; });
    EXPECT_EQ(chunks, 0);
    EXPECT_EQ(to->length(), 0);
    EXPECT_THROW(fs().copy(*from, *to, 0, 5, {}), FileError);
    EXPECT_THROW(fs().copy(*from, *to, 1, -1, {}), FileError);
    EXPECT_EQ(to->length(), 0);
}

TEST(Copy, RealFailuresOfTheDestinationAreReported) {
    for (const auto route : routes) {
        SCOPED_TRACE(static_cast<int>(route));
        RouteScope scope(route);
        TempDir dir;
        const auto source = dir.file("source");
        writePattern(source, 5000);
        auto from = fs().openRead(source);
        auto to = fs().openWrite("/dev/full", WriteMode::Keep);
        try {
            fs().copy(*from, *to, 1, 5000, {});
            ADD_FAILURE() << "a copy into a full device succeeded";
        } catch (const FileError& error) {
            EXPECT_EQ(error.path(), "/dev/full");
            EXPECT_EQ(error.reason(), "No space left on device");
        }
    }
}

TEST(Copy, TheKernelRefusingPartWayLeavesTheRestToThePlainLoop) {
    const std::int64_t count = 3 << 20;
    for (const int refusal : {EXDEV, EINVAL, ENOSYS, EOPNOTSUPP, EPERM}) {
        SCOPED_TRACE(refusal);
        TempDir dir;
        const auto source = dir.file("source");
        const auto target = dir.file("target");
        writePattern(source, count);
        FaultyFileSystem faulty;
        faulty.failCopyFileRange(refusal, 12345);
        auto from = faulty.openRead(source);
        auto to = faulty.openWrite(target, WriteMode::Replace);
        int chunks = 0;
        faulty.copy(*from, *to, 1, count, [&] { ++chunks; });
        to->close();
        EXPECT_TRUE(sameBytes(readFile(target), pattern(count)));
        EXPECT_GE(chunks, 4) << "the kernel's part, then three plain chunks";
    }
}

TEST(Copy, TheKernelFailingForRealIsAFailureOfTheDestination) {
    for (const int failure : {ENOSPC, EIO}) {
        TempDir dir;
        const auto source = dir.file("source");
        const auto target = dir.file("target");
        writePattern(source, 100000);
        FaultyFileSystem faulty;
        faulty.failCopyFileRange(failure, 4096);
        auto from = faulty.openRead(source);
        auto to = faulty.openWrite(target, WriteMode::Replace);
        try {
            faulty.copy(*from, *to, 1, 100000, {});
            ADD_FAILURE() << "the failure was swallowed";
        } catch (const FileError& error) {
            EXPECT_EQ(error.path(), target);
            EXPECT_EQ(error.operation(), FileOperation::Copy);
            EXPECT_EQ(error.errorCode(), failure);
        }
        EXPECT_EQ(readFile(target), pattern(4096)) << "what was copied stays";
    }
}
