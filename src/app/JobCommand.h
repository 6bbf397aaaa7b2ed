#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalvex {

// A job the command line runs without a window: split FILE, join MANIFEST or verify MANIFEST,
// with the options each takes. Paths and names keep the bytes they were given.
class JobCommand {
public:
    enum class Kind { Split, Join, Verify };

    struct Reading;

    // The job a program's first argument names; nothing for any other word.
    static std::optional<Kind> kindNamed(const QString& word);
    static Reading read(Kind kind, const QStringList& arguments);

    // Bytes per piece for a --size value: floppy, cd, or a number of bytes, of KiB with k or of
    // MiB with m, capped as the typed size of the window is; nothing for anything else, 0 too.
    static std::optional<std::int64_t> parseSize(std::string_view text);

    // The command's one line of usage: "kalvex join MANIFEST [--to FOLDER]".
    static QString synopsis(Kind kind, const QString& program);
    // The commands' part of the program's usage.
    static QString help(const QString& program);

    Kind kind() const { return kind_; }
    // The file to split or the manifest.
    const std::string& path() const { return path_; }
    // Given with --to; empty when not.
    const std::string& folder() const { return folder_; }
    // Given with --name; empty when not.
    const std::string& pieceName() const { return pieceName_; }
    std::int64_t pieceSize() const { return pieceSize_; }

private:
    Kind kind_ = Kind::Split;
    std::string path_;
    std::string folder_;
    std::string pieceName_;
    std::int64_t pieceSize_ = 0;
};

// What the words after a command's name ask for: the job, the usage, or why neither.
struct JobCommand::Reading {
    std::optional<JobCommand> command;
    bool helpAsked = false;
    QString error;
};

} // namespace kalvex
