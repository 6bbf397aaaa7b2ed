#include "files/FileError.h"
#include "files/Sha256.h"

#include <openssl/err.h>
#include <openssl/evp.h>

namespace kalvex::files {

namespace {

// The SHA-256 of libcrypto's EVP interface, which picks the fastest code for the processor.
class OpenSslSha256 : public Sha256 {
public:
    explicit OpenSslSha256(std::string path)
        : path_(std::move(path)), context_(EVP_MD_CTX_new(), EVP_MD_CTX_free) {
        if (!context_)
            throw FileError(path_, FileOperation::Digest, "out of memory");
        start();
    }

    void update(std::span<const std::byte> data) override {
        check(EVP_DigestUpdate(context_.get(), data.data(), data.size()));
    }

    Digest finish() override {
        Digest digest;
        unsigned int length = 0;
        check(EVP_DigestFinal_ex(context_.get(), reinterpret_cast<unsigned char*>(digest.data()),
                                 &length));
        if (length != digest.size())
            throw FileError(path_, FileOperation::Digest,
                            "the library gave a digest of " + std::to_string(length) + " bytes");
        start();
        return digest;
    }

    void reset(std::string path) override {
        path_ = std::move(path);
        start();
    }

private:
    void start() { check(EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr)); }

    // The library's own reason for a failed call, from this thread's error queue.
    void check(int result) {
        if (result == 1)
            return;
        const unsigned long code = ERR_get_error();
        ERR_clear_error();
        std::string reason = "libcrypto failed without a reason";
        if (code != 0) {
            char text[256];
            ERR_error_string_n(code, text, sizeof text);
            reason = text;
        }
        throw FileError(path_, FileOperation::Digest, reason);
    }

    std::string path_;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context_;
};

} // namespace

std::unique_ptr<Sha256> Sha256::create(std::string path) {
    return std::make_unique<OpenSslSha256>(std::move(path));
}

} // namespace kalvex::files
