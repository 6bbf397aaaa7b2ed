#include "app/JobCommand.h"

#include "dialogs/LocalPath.h"
#include "settings/SizeRules.h"

#include <QCommandLineParser>
#include <QDir>

namespace kalvex {

namespace {

const QCommandLineOption HelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption SizeOption(QStringLiteral("size"), QString(), QStringLiteral("size"));
const QCommandLineOption ToOption(QStringLiteral("to"), QString(), QStringLiteral("folder"));
const QCommandLineOption NameOption(QStringLiteral("name"), QString(), QStringLiteral("name"));

void addOptions(QCommandLineParser& parser, JobCommand::Kind kind) {
    parser.addOption(HelpOption);
    if (kind != JobCommand::Kind::Verify)
        parser.addOption(ToOption);
    if (kind == JobCommand::Kind::Split) {
        parser.addOption(SizeOption);
        parser.addOption(NameOption);
    }
}

// The value of a text option the command takes; error tells of an empty one.
QString textValue(const QCommandLineParser& parser, const QCommandLineOption& option,
                  QString& error) {
    if (!parser.optionNames().contains(option.names()[0]))
        return {};
    const QString value = parser.value(option);
    if (value.isEmpty())
        error = QStringLiteral("The value of '--%1' is empty.").arg(option.names()[0]);
    return value;
}

// A path as the messages show it: with the system's own separators.
std::string pathValue(const QString& path) {
    return LocalPath::toBytes(QDir::toNativeSeparators(path));
}

// Bytes per piece: floppy unless --size says otherwise; 0 with error set for a size that is
// none.
std::int64_t sizeValue(const QCommandLineParser& parser, QString& error) {
    if (!parser.optionNames().contains(SizeOption.names()[0]))
        return SizeRules::FloppyBytes;
    const QString value = parser.value(SizeOption);
    const auto size = JobCommand::parseSize(LocalPath::toBytes(value));
    if (!size)
        error = QStringLiteral("Unknown piece size '%1': give floppy, cd, or N, Nk or Nm with N "
                               "above 0.")
                    .arg(value);
    return size.value_or(0);
}

} // namespace

std::optional<JobCommand::Kind> JobCommand::kindNamed(const QString& word) {
    if (word == QLatin1String("split"))
        return Kind::Split;
    if (word == QLatin1String("join"))
        return Kind::Join;
    if (word == QLatin1String("verify"))
        return Kind::Verify;
    return std::nullopt;
}

JobCommand::Reading JobCommand::read(Kind kind, const QStringList& arguments) {
    QCommandLineParser parser;
    addOptions(parser, kind);
    Reading reading;
    if (!parser.parse(QStringList{QString()} + arguments)) {
        reading.error = parser.errorText();
        return reading;
    }
    reading.helpAsked = parser.isSet(HelpOption);
    const QStringList files = parser.positionalArguments();
    if (reading.helpAsked)
        return reading;
    if (files.size() != 1) {
        reading.error = !files.isEmpty()      ? QStringLiteral("Only one file can be given.")
                        : kind == Kind::Split ? QStringLiteral("The file to split is missing.")
                                              : QStringLiteral("The manifest is missing.");
        return reading;
    }
    JobCommand command;
    command.kind_ = kind;
    command.path_ = pathValue(files[0]);
    command.folder_ = pathValue(textValue(parser, ToOption, reading.error));
    command.pieceName_ = LocalPath::toBytes(textValue(parser, NameOption, reading.error));
    command.pieceSize_ = sizeValue(parser, reading.error);
    if (reading.error.isEmpty())
        reading.command = command;
    return reading;
}

std::optional<std::int64_t> JobCommand::parseSize(std::string_view text) {
    if (text == "floppy")
        return SizeRules::FloppyBytes;
    if (text == "cd")
        return SizeRules::CdBytes;
    const std::int64_t unit = text.ends_with('k')   ? SizeRules::KbBytes
                              : text.ends_with('m') ? SizeRules::MbBytes
                                                    : 1;
    if (unit != 1)
        text.remove_suffix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const std::int64_t bytes = SizeRules::typedBytes(text, unit);
    return bytes > 0 ? std::optional(bytes) : std::nullopt;
}

QString JobCommand::synopsis(Kind kind, const QString& program) {
    switch (kind) {
    case Kind::Split:
        return program +
               QStringLiteral(" split FILE [--size floppy|cd|N[k|m]] [--to FOLDER] [--name NAME]");
    case Kind::Join:
        return program + QStringLiteral(" join MANIFEST [--to FOLDER]");
    case Kind::Verify:
        return program + QStringLiteral(" verify MANIFEST");
    }
    return program;
}

QString JobCommand::help(const QString& program) {
    return QString::fromUtf8(R"(Commands, which run without a window:
  %1
    Cuts FILE into the pieces NAME1, NAME2, ... of the size: floppy (1457152 bytes,
    the default), cd (734003200 bytes), or N bytes, N KiB with k, N MiB with m.
    Writes them, the checksum file NAME.sha256 and the manifest NAMEMain into
    FOLDER (by default FILE's own). NAME is by default FILE's name up to its first
    dot, then .split; a NAME not ending in .split gets it.
  %2
    Rebuilds the file MANIFEST names into FOLDER (by default MANIFEST's own),
    checking each piece against the checksum file beside MANIFEST.
  %3
    Checks every piece against the checksum file beside MANIFEST, reading it from
    the disk, and prints one line per piece. Writes nothing.
A file named like a command opens in the window when given as ./NAME.

Exit status: 0 when done, 1 when a job fails or a piece is not as the split wrote
it, 2 for arguments that are wrong.
)")
        .arg(synopsis(Kind::Split, program), synopsis(Kind::Join, program),
             synopsis(Kind::Verify, program));
}

} // namespace kalvex
