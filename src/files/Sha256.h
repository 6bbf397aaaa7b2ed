#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace kalvex::files {

// An incremental SHA-256 digest of one file's bytes, from the system's own library (OpenSSL's
// libcrypto; CNG on Windows). A failure of the library throws FileError with operation
// Digest, naming the file being hashed.
class Sha256 {
public:
    static constexpr std::size_t Size = 32;
    using Digest = std::array<std::byte, Size>;

    // A digest of path's bytes; the path is only for messages.
    static std::unique_ptr<Sha256> create(std::string path);

    virtual ~Sha256() = default;
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    virtual void update(std::span<const std::byte> data) = 0;

    // The digest of everything fed since the last finish or reset; then starts over.
    virtual Digest finish() = 0;
    // As 64 lower-case hexadecimal digits, as sha256sum prints it.
    std::string finishHex() { return hex(finish()); }

    // Drops what was fed and starts the digest of another file.
    virtual void reset(std::string path) = 0;

    static std::string hex(const Digest& digest);

protected:
    Sha256() = default;
};

} // namespace kalvex::files
