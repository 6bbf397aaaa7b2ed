#include "files/Sha256.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using namespace kalvex::test;

std::span<const std::byte> bytes(std::string_view text) {
    return std::as_bytes(std::span(text));
}

// The values sha256sum prints; the large input is fed in odd chunks that split its blocks
// anywhere. A finished or reset digest starts over.
TEST(Sha256, GivesSha256sumsDigestsWhateverTheChunks) {
    const auto hash = Sha256::create("input");
    EXPECT_EQ(hash->finishHex(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    hash->update(bytes("abc"));
    EXPECT_EQ(hash->finishHex(),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    hash->update(bytes("dropped"));
    hash->reset("large");
    const std::string large = patternBytes((1 << 20) + 1);
    for (std::size_t at = 0, chunk = 1; at < large.size(); at += chunk, chunk = chunk * 7 % 4099)
        hash->update(bytes(std::string_view(large).substr(at, chunk)));
    EXPECT_EQ(hash->finishHex(),
              "5769f52bc3eef28afa39c6fc68cadb7d0bd69812ae3a3d71452f519ec3c7aa56");
}

} // namespace
} // namespace kalvex::files
