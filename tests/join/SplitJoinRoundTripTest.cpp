// A file cut by the splitting window and rebuilt by the joining window comes back whole.
#include "app/Module1.h"
#include "dialogs/MessageBox.h"
#include "join/FrmJoining.h"
#include "split/frmSplitting.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kalvex {
namespace {

using test::TempDir;

struct RoundTrip {
    std::int64_t sourceLength;
    std::int64_t pieceSize;
};

// Splits source into folder under pieceName, then joins the manifest into target.
void splitThenJoin(const std::string& source, const std::string& title, const std::string& folder,
                   const std::string& pieceName, std::int64_t pieceSize,
                   const std::string& target) {
    const auto length = static_cast<std::int64_t>(std::filesystem::file_size(source));
    Module1::reset();
    Module1::PieceSize = static_cast<double>(pieceSize);
    Module1::PieceCount = static_cast<double>((length + pieceSize - 1) / pieceSize);
    Module1::SourceTitle = QString::fromStdString(title);
    frmSplitting::instance().showSplit({QString::fromStdString(source),
                                        QString::fromStdString(folder),
                                        QString::fromStdString(pieceName)});
    Module1::MainFilePath = QString::fromStdString(folder + pieceName + "Main");
    Module1::JoinFolder = QString::fromStdString(target);
    FrmJoining::showJoin();
}

TEST(SplitJoinRoundTrip, SizesAroundPieceAndBlockBoundaries) {
    const std::int64_t kib = 1024;
    const std::int64_t mib = 1024 * kib;
    for (const RoundTrip& c :
         {RoundTrip{1, kib}, RoundTrip{kib - 1, kib}, RoundTrip{kib, kib}, RoundTrip{kib + 1, kib},
          RoundTrip{2 * kib + 452, kib}, RoundTrip{11 * kib, kib}, RoundTrip{10 * mib, mib},
          RoundTrip{10 * mib + 1, mib}, RoundTrip{12 * mib - 1, mib},
          RoundTrip{10 * mib + 3, 3 * mib + 5}, RoundTrip{5000, 1457152}}) {
        SCOPED_TRACE(testing::Message() << c.sourceLength << " bytes in pieces of " << c.pieceSize);
        TempDir dir;
        TempDir target;
        test::writePattern(dir.file("source.bin"), c.sourceLength);
        MessageBox::Recorder messages;
        splitThenJoin(dir.file("source.bin"), "source.bin", dir.folder(), "source.split",
                      c.pieceSize, target.folder());
        ASSERT_EQ(messages.shown().size(), 2U);
        EXPECT_EQ(messages.shown()[1].text, "The Joining process was sucessful!");
        EXPECT_TRUE(test::readFile(target.file("source.bin")) ==
                    test::readFile(dir.file("source.bin")));
    }
}

TEST(SplitJoinRoundTrip, NonAsciiFoldersNamesAndTitles) {
    // A title that fits the code page and one that does not (written as UTF-8).
    for (const std::string& title : {std::string("caf\xC3\xA9 d\xC3\xA9j\xC3\xA0.bin"),
                                     std::string("\xE6\x97\xA5\xE6\x9C\xAC.bin")}) {
        TempDir dir;
        TempDir target;
        const std::string folder = dir.folder() + "\xC3\x9C"
                                                  "bersicht/";
        std::filesystem::create_directory(folder);
        test::writePattern(folder + title, 3000);
        MessageBox::Recorder messages;
        splitThenJoin(folder + title, title, folder,
                      "pi\xC3\xA8"
                      "ce.split",
                      1024, target.folder());
        ASSERT_EQ(messages.shown().size(), 2U) << messages.shown().back().text.toStdString();
        EXPECT_EQ(test::readFile(target.file(title)), test::readFile(folder + title));
    }
}

} // namespace
} // namespace kalvex
