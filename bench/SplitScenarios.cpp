// The split through frmSplitting, against split(1) and dd(1) on the same source.
#include "BenchCommon.h"

#include "split/SplitProgressWindow.h"

#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace kalvex::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t MiB = 1048576;
constexpr std::int64_t Floppy = 1457152;

void splitThroughWindow(const fs::path& source, const fs::path& out, std::int64_t pieceSize,
                        std::int64_t bytes) {
    SplitProgressWindow window;
    window.showSplit({source.string(), out.string() + "/", "source.split",
                      source.filename().string(), static_cast<double>(pieceSize),
                      std::ceil(static_cast<double>(bytes) / static_cast<double>(pieceSize))});
}

// The pieces hold as many bytes as the source, and the manifest is there.
void checkPieces(const fs::path& out, std::int64_t bytes, std::int64_t pieceSize) {
    const auto count = (bytes + pieceSize - 1) / pieceSize;
    std::int64_t total = 0;
    for (std::int64_t number = 1; number <= count; ++number)
        total += static_cast<std::int64_t>(
            fs::file_size(out / ("source.split" + std::to_string(number))));
    if (total != bytes || !fs::exists(out / "source.splitMain"))
        throw std::runtime_error("the split did not write the whole source");
}

Result runSplit(const Context& context, std::int64_t bytes, std::int64_t pieceSize,
                const std::vector<std::string>& referenceArgs, const std::string& shown) {
    const fs::path source = context.dir / "source.bin";
    const fs::path out = context.dir / "out";
    const fs::path reference = context.dir / "reference";
    makeSourceFile(source, bytes);
    auto clean = [&] {
        emptyFolder(out);
        emptyFolder(reference);
    };

    clean();
    splitThroughWindow(source, out, pieceSize, bytes);
    checkPieces(out, bytes, pieceSize);
    std::vector<std::string> command = referenceArgs;
    for (auto& arg : command) {
        if (arg == "SOURCE")
            arg = source.string();
        else if (arg == "if=SOURCE")
            arg = "if=" + source.string();
        else if (arg == "OUT")
            arg = (reference / "source.split").string();
        else if (arg == "of=OUT")
            arg = "of=" + (reference / "copy").string();
    }
    const auto timings = compare(
        context, [&] { splitThroughWindow(source, out, pieceSize, bytes); }, command, clean);
    fs::remove(source);
    return {bytes, timings.kalvexSeconds, shown, timings.referenceSeconds};
}

const Registration over10Meg{{"split-over10meg", [](const Context& context) {
                                  return runSplit(context, 1024 * MiB, Floppy,
                                                  {"split", "-b", "1457152", "SOURCE", "OUT"},
                                                  "split -b 1457152");
                              }}};

const Registration under10Meg1k{
    {"split-under10meg-1k", [](const Context& context) {
         return runSplit(context, 256 * MiB, 512 * 1024,
                         {"dd", "if=SOURCE", "of=OUT", "bs=1024", "status=none"}, "dd bs=1024");
     }}};

const Registration small{{"split-small", [](const Context& context) {
                              return runSplit(context, 9 * MiB, Floppy,
                                              {"split", "-b", "1457152", "SOURCE", "OUT"},
                                              "split -b 1457152");
                          }}};

} // namespace
} // namespace kalvex::bench
