#include "app/CommandLine.h"

#include "dialogs/LocalPath.h"
#include "files/Terminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace kalvex {

QString CommandLine::version() {
    return QStringLiteral(KALVEX_VERSION);
}

namespace {
// Qt names the program by the path it was started with, or not at all before the
// application exists; the usage names it as it is known.
QString usage(const QCommandLineParser& parser, const QString& program) {
    QString text = parser.helpText();
    const QString start = QStringLiteral("Usage: ");
    const auto end = text.indexOf(QLatin1String(" [options]"));
    if (text.startsWith(start) && end > 0)
        text.replace(0, end, start + program);
    return text + QLatin1Char('\n') + JobCommand::help(program);
}

// Qt's own options, those of QGuiApplication and QApplication and those the X11 window system
// reads. Qt takes them out of the arguments itself, but only once it has a display: they
// must not count as unknown before.
struct QtOption {
    const char* name;
    bool value;  // takes the next argument as its value
    bool joined; // also takes its value after "="
};
constexpr QtOption QtOptions[] = {
    {"platform", true, false},
    {"platformpluginpath", true, false},
    {"platformtheme", true, false},
    {"plugin", true, false},
    {"qwindowgeometry", true, false},
    {"qwindowicon", true, false},
    {"qwindowtitle", true, false},
    {"session", true, false},
    {"style", true, true},
    {"stylesheet", true, true},
    {"qmljsdebugger", true, true},
    {"display", true, false},
    {"geometry", true, false},
    {"title", true, false},
    {"icon", true, false},
    {"name", true, false},
    {"visual", true, false},
    {"reverse", false, false},
    {"widgetcount", false, false},
    {"testability", false, false},
    {"nograb", false, false},
    {"dograb", false, false},
};

// The arguments without Qt's options (with one dash or two, as Qt takes them) and their
// values; error tells of one whose value is missing.
QStringList withoutQtOptions(const QStringList& arguments, QString& error) {
    QStringList rest = arguments.mid(0, 1);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            rest += arguments.mid(i);
            break;
        }
        QStringView name(argument);
        const bool dashed = name.startsWith(QLatin1Char('-')) && name.size() > 1;
        name = name.mid(name.startsWith(QLatin1String("--")) ? 2 : 1);
        const auto equals = name.indexOf(QLatin1Char('='));
        const auto option = std::find_if(std::begin(QtOptions), std::end(QtOptions), [&](auto& o) {
            return name.left(equals) == QLatin1String(o.name) && (equals < 0 || o.joined);
        });
        if (!dashed || option == std::end(QtOptions)) {
            rest << argument;
        } else if (option->value && equals < 0 && ++i == arguments.size()) {
            error = QStringLiteral("Missing value after '%1'.").arg(argument);
            break;
        }
    }
    return rest;
}
} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Splits a large file into pieces and joins them back."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A manifest (*.splitMain) to join, or any other file to split."),
        QStringLiteral("[file]"));

    const QString program = QFileInfo(arguments.value(0)).fileName();
    CommandLine result;
    if (const auto kind = JobCommand::kindNamed(arguments.value(1))) {
        result.take(JobCommand::read(*kind, arguments.mid(2)), *kind, program,
                    usage(parser, program));
        return result;
    }
    // process() would exit with status 1 on an unknown option; a usage error is status 2.
    QString qtError;
    const QStringList ours = withoutQtOptions(arguments, qtError);
    const bool parsed = qtError.isEmpty() && parser.parse(ours);
    if (parsed && parser.isSet(help)) {
        result.action_ = Action::PrintHelp;
        result.output_ = usage(parser, program);
    } else if (parsed && parser.isSet(version)) {
        result.action_ = Action::PrintVersion;
        result.output_ = program + QLatin1Char(' ') + CommandLine::version() + QLatin1Char('\n');
    } else if (!parsed || parser.positionalArguments().size() > 1) {
        result.action_ = Action::Refuse;
        const QString error = parsed              ? QStringLiteral("Only one file can be opened.")
                              : qtError.isEmpty() ? parser.errorText()
                                                  : qtError;
        result.output_ = error + QLatin1Char('\n') + usage(parser, program);
    } else if (!parser.positionalArguments().isEmpty()) {
        // Put together as text: QDir::current() would read the folder's name lossily.
        const QString file = parser.positionalArguments()[0];
        result.file_ = QDir::toNativeSeparators(QDir::cleanPath(
            QDir::isAbsolutePath(file) ? file
                                       : LocalPath::currentFolder() + QLatin1Char('/') + file));
    }
    return result;
}

// A wrong command is told with its own usage line; the whole usage is long.
void CommandLine::take(const JobCommand::Reading& reading, JobCommand::Kind kind,
                       const QString& program, const QString& usage) {
    job_ = reading.command;
    action_ = job_ ? Action::RunJob : reading.helpAsked ? Action::PrintHelp : Action::Refuse;
    if (reading.helpAsked)
        output_ = usage;
    else if (!job_)
        output_ = reading.error + QStringLiteral("\nUsage: ") +
                  JobCommand::synopsis(kind, program) +
                  QStringLiteral("\nRun '%1 --help' for every command and option.\n").arg(program);
}

int CommandLine::report() const {
    std::FILE* stream = action_ == Action::Refuse ? stderr : stdout;
    files::writeText(stream, LocalPath::toBytes(output_));
    std::fflush(stream);
    return exitStatus();
}

} // namespace kalvex
