#include "join/JoinJob.h"

#include "files/FileError.h"
#include "join/JoinFailure.h"

#include <cmath>
#include <new>
#include <system_error>

namespace kalvex {

namespace {

constexpr const char* temporarySuffix = ".kalvex-join";
constexpr int temporaryAttempts = 1000;

bool hasErrorCode(const files::FileError& error, std::errc code) {
    return error.errorCode() == static_cast<int>(code);
}

// Decodes one UTF-8 code point at text[i], moving i past it. Malformed bytes count as one
// character each (the title is valid UTF-8 by the time it gets here).
char32_t nextCodePoint(const std::string& text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t code = more == 3   ? lead & 0x07
                    : more == 2 ? lead & 0x0F
                    : more == 1 ? lead & 0x1F
                                : lead;
    for (; more > 0 && i < text.size(); --more)
        code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    return code;
}

// k counts whole pieces from 1, far below where a double stops being exact.
std::int64_t pieceNumber(double k) {
    return static_cast<std::int64_t>(k);
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

#ifdef _WIN32
bool isReservedDeviceName(const std::string& title) {
    std::string stem = title.substr(0, title.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (auto& c : stem)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (stem == name)
            return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}
#endif

} // namespace

JoinJob::JoinJob(std::string manifestPath, std::string joinFolder, JoinObserver& observer,
                 files::FileSystem& fileSystem)
    : manifestPath_(std::move(manifestPath)), joinFolder_(std::move(joinFolder)),
      observer_(observer), fileSystem_(fileSystem) {}

std::string JoinJob::outputPathFor(files::FileSystem& fileSystem, const std::string& folder,
                                   const std::string& title) {
    const char separator = files::FileSystem::separator();
    if (!folder.empty() && folder.back() != separator && fileSystem.isDirectory(folder))
        return folder + separator + title;
    return folder + title;
}

std::optional<std::string> JoinJob::unsafeTitleReason(const std::string& title) {
    if (title.empty())
        return "is empty";
    if (title == "." || title == "..")
        return "names a folder";
    for (std::size_t i = 0; i < title.size();) {
        const char32_t c = nextCodePoint(title, i);
        if (c == U'/' || (files::FileSystem::separator() == '\\' && (c == U'\\' || c == U':')))
            return "contains a path separator";
        if (isControl(c))
            return "contains a control character";
    }
#ifdef _WIN32
    if (isReservedDeviceName(title))
        return "is a reserved device name";
#endif
    return std::nullopt;
}

PieceNames JoinJob::pieceNamesFor(files::FileSystem& fileSystem, const std::string& basePath) {
    // Split where the folder ends, so that the folder half already ends in its separator
    // (or is empty) and nothing is inserted: the base is used exactly as cut.
    const auto slash = basePath.rfind(files::FileSystem::separator());
    const auto nameStart = slash == std::string::npos ? 0 : slash + 1;
    return PieceNames(fileSystem, basePath.substr(0, nameStart), basePath.substr(nameStart));
}

void JoinJob::run() {
    try {
        const auto manifest = JoinManifest::read(fileSystem_, manifestPath_);
        if (const auto reason = unsafeTitleReason(manifest.title))
            throw JoinFailure(manifestPath_, "Cannot join \"" + manifestPath_ +
                                                 "\": the file name on line 2 " + *reason);
        if (!(manifest.count >= 1))
            return; // no piece to join, so nothing is created

        const std::string output = outputPathFor(fileSystem_, joinFolder_, manifest.title);
        const PieceNames pieces = pieceNamesFor(fileSystem_, manifest.basePath);
        refuseUnsafeOutput(manifest, pieces, output);
        createTemporary(output);
        joinPieces(manifest, pieces);
        temporary_->close();
        fileSystem_.rename(temporaryPath_, output);
    } catch (const files::FileError& error) {
        closeTemporaryQuietly();
        throw JoinFailure(error.path(), error.what(), temporaryPath_);
    } catch (const std::bad_alloc&) {
        closeTemporaryQuietly();
        throw JoinFailure(manifestPath_, "Cannot join \"" + manifestPath_ + "\": out of memory",
                          temporaryPath_);
    }
}

void JoinJob::closeTemporaryQuietly() {
    if (!temporary_)
        return;
    try {
        temporary_->close();
    } catch (const files::FileError&) {
        // The failure being reported already says what went wrong with this file.
    }
}

void JoinJob::refuseUnsafeOutput(const JoinManifest& manifest, const PieceNames& pieces,
                                 const std::string& output) {
    const auto refuse = [&](const std::string& why) {
        throw JoinFailure(output, "Cannot write \"" + output + "\": " + why);
    };
    if (fileSystem_.sameFile(output, manifestPath_))
        refuse("it is the manifest being joined");
    if (fileSystem_.isDirectory(output))
        refuse("a folder of that name stands there");
    if (!fileSystem_.exists(output))
        return;
    // Only pieces that exist can be the output; the join stops at the first missing one.
    for (double k = 1; k <= manifest.count; k += 1) {
        const std::string piece = pieces.piecePath(pieceNumber(k));
        if (!fileSystem_.exists(piece))
            break;
        if (fileSystem_.sameFile(output, piece))
            refuse("it is piece " + std::to_string(static_cast<std::int64_t>(k)) + " of this join");
    }
}

void JoinJob::createTemporary(const std::string& output) {
    std::string stem = output + temporarySuffix;
    for (int attempt = 1; attempt <= temporaryAttempts; ++attempt) {
        const std::string candidate = attempt == 1 ? stem : stem + std::to_string(attempt);
        try {
            temporary_ = fileSystem_.openWrite(candidate, files::WriteMode::CreateNew);
            temporaryPath_ = candidate;
            return;
        } catch (const files::FileError& error) {
            if (hasErrorCode(error, std::errc::file_exists))
                continue;
            const auto slash = output.rfind(files::FileSystem::separator());
            const std::string folder =
                slash == std::string::npos ? std::string() : output.substr(0, slash + 1);
            if (hasErrorCode(error, std::errc::filename_too_long) &&
                stem != folder + temporarySuffix) {
                // A name at the length limit leaves no room for the suffix: use a short
                // name in the same folder instead.
                stem = folder + temporarySuffix;
                attempt = 0;
                continue;
            }
            // Report the output the user asked for, not our temporary name.
            throw files::FileError(output, error.operation(), error.reason(), error.errorCode());
        }
    }
    throw files::FileError(output, files::FileOperation::OpenForWriting,
                           "no free name for a temporary file beside it");
}

void JoinJob::joinPieces(const JoinManifest& manifest, const PieceNames& pieces) {
    std::int64_t offset = 0;
    for (double k = 1; k <= manifest.count; k += 1) {
        copyPiece(pieces.piecePath(pieceNumber(k)), offset);
        const double share = k / manifest.count * 100;
        observer_.pieceDone(static_cast<float>(share),
                            static_cast<std::int64_t>(std::floor(share)));
    }
}

void JoinJob::copyPiece(const std::string& path, std::int64_t& offset) {
    auto piece = fileSystem_.openRead(path);
    const std::int64_t length = piece->length();
    fileSystem_.copy(*piece, *temporary_, offset + 1, length, [this] { observer_.idle(); });
    piece->close();
    offset += length;
}

} // namespace kalvex
