#include "files/FileError.h"
#include "files/Sha256.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <cstdio>

namespace kalvex::files {

namespace {

// The SHA-256 of Windows' own cryptography (CNG). A hash object cannot be used again once
// finished on every Windows version, so each digest gets a new one.
class CngSha256 : public Sha256 {
public:
    explicit CngSha256(std::string path) : path_(std::move(path)) {
        check(BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0),
              "BCryptOpenAlgorithmProvider");
        try {
            start();
        } catch (...) {
            BCryptCloseAlgorithmProvider(algorithm_, 0);
            throw;
        }
    }
    ~CngSha256() override {
        drop();
        BCryptCloseAlgorithmProvider(algorithm_, 0);
    }

    void update(std::span<const std::byte> data) override {
        // The length is a ULONG: larger spans go in parts.
        while (!data.empty()) {
            const auto part = std::min<std::size_t>(data.size(), ULONG(1) << 30);
            check(BCryptHashData(hash_,
                                 reinterpret_cast<PUCHAR>(const_cast<std::byte*>(data.data())),
                                 static_cast<ULONG>(part), 0),
                  "BCryptHashData");
            data = data.subspan(part);
        }
    }

    Digest finish() override {
        Digest digest;
        check(BCryptFinishHash(hash_, reinterpret_cast<PUCHAR>(digest.data()),
                               static_cast<ULONG>(digest.size()), 0),
              "BCryptFinishHash");
        drop();
        start();
        return digest;
    }

    void reset(std::string path) override {
        path_ = std::move(path);
        drop();
        start();
    }

private:
    // The hash object's memory is left to CNG to find.
    void start() {
        check(BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0), "BCryptCreateHash");
    }

    void drop() {
        if (hash_)
            BCryptDestroyHash(hash_);
        hash_ = nullptr;
    }

    void check(NTSTATUS status, const char* call) {
        if (BCRYPT_SUCCESS(status))
            return;
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
        throw FileError(path_, FileOperation::Digest,
                        std::string(call) + " failed with status " + code);
    }

    std::string path_;
    BCRYPT_ALG_HANDLE algorithm_ = nullptr;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};

} // namespace

std::unique_ptr<Sha256> Sha256::create(std::string path) {
    return std::make_unique<CngSha256>(std::move(path));
}

} // namespace kalvex::files
