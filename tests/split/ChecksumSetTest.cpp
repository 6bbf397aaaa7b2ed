// The checksum file a split writes beside its pieces, as sha256sum checks it, and the join's
// check of every piece against it, on every system.
#include "support/SplitJoinScene.h"

#include <cstdio>

namespace kalvex::test {
namespace {

using ChecksumScene = SplitJoinScene;

// The same bytes on every system: these digests are what sha256sum prints for the pieces
// (that sha256sum reads the file back, whatever the names, is ChecksumFile's own test).
TEST(ChecksumSet, IsWhatSha256sumWrites) {
    ChecksumScene s;
    ASSERT_EQ(s.split(), "");
    EXPECT_EQ(readFile(s.checksums),
              "5f24b2f16026ec7d0450a5a08283d3cfd47302fe859f579ed79fe7d2663b73f9  movie.split1\n"
              "134712e33c0bc67259d327cc2a9f400eba8b40dab3c40391fee9123babdce670  movie.split2\n"
              "2c38bea09833ca2b5fbb7b56e37d5d9eebd4a468fe545547f2f6631b7d36a055  movie.split3\n");
}

// Every piece is checked while it is copied: the first that differs from what the split wrote,
// or a checksum file that is not what a split writes, stops the join with the old file intact.
TEST(ChecksumSet, TheJoinRefusesDamagedPiecesAndChecksumFiles) {
    const std::string differs = "\": the contents of the piece \"";
    const std::string removeIt = ". To join without checking the pieces, remove \"";
    const std::pair<std::function<void(ChecksumScene&)>, std::string> cases[] = {
        {[](ChecksumScene& s) { writeFile(s.piece(2), patternBytes(3072, 3071)); },
         differs + "%movie.split2\" differ from what the split wrote"},
        {[](ChecksumScene& s) {
             std::string last = readFile(s.piece(3));
             last.back() ^= 1;
             writeFile(s.piece(3), last);
         },
         differs + "%movie.split3\" differ"},
        {[](ChecksumScene& s) { writeFile(s.piece(3), ""); }, "%movie.split3\" is empty"},
        {[](ChecksumScene& s) {
             const std::string text = readFile(s.checksums);
             writeFile(s.checksums,
                       text.substr(0, text.find('\n') + 1) + text.substr(text.find("\n", 100) + 1));
         },
         "the checksum file \"%movie.split.sha256\" is not one a split writes (it has 2 lines, "
         "not 3, one for each piece)" +
             removeIt},
        {[](ChecksumScene& s) {
             std::string text = readFile(s.checksums);
             text.replace(text.find("split2"), 6, "split9");
             writeFile(s.checksums, text);
         },
         "the piece \"%movie.split2\" is missing from the checksum file \"%movie.split.sha256\"" +
             removeIt + "%movie.split.sha256\"."},
    };
    for (const auto& [damage, says] : cases) {
        ChecksumScene s;
        ASSERT_EQ(s.split(), "");
        damage(s);
        std::string expected = says;
        for (std::size_t at; (at = expected.find('%')) != std::string::npos;)
            expected.replace(at, 1, s.dir.folder());
        const std::string message = s.join();
        EXPECT_NE(message.find(expected), std::string::npos) << message;
        EXPECT_EQ(s.joined(), "old");
    }
}

// Without a checksum file the join runs as before (that a failed re-split leaves none from the
// older split is SplitJoinFailureTest.cpp's), and no join writes over one.
TEST(ChecksumSet, OptionalForTheJoinAndNeverJoinedOver) {
    ChecksumScene s;
    ASSERT_EQ(s.split(), "");
    std::remove(s.checksums.c_str());
    ASSERT_EQ(s.join(), "");
    EXPECT_TRUE(s.joined() == patternBytes(7000));
    // A join may not write over it.
    ASSERT_EQ(s.split(), "");
    writeFile(s.manifest, " 3 \r\nMovie.Split.SHA256\r\n");
    EXPECT_NE(joinAll(s.manifest, s.dir.folder(), s.watch)
                  .find("it is the checksum file of the pieces being joined"),
              std::string::npos);
}

} // namespace
} // namespace kalvex::test
