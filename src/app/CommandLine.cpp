#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
    return text;
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
    // process() would exit with status 1 on an unknown option; a usage error is status 2.
    const bool parsed = parser.parse(arguments);
    if (parsed && parser.isSet(help)) {
        result.action_ = Action::PrintHelp;
        result.output_ = usage(parser, program);
    } else if (parsed && parser.isSet(version)) {
        result.action_ = Action::PrintVersion;
        result.output_ = program + QLatin1Char(' ') + CommandLine::version() + QLatin1Char('\n');
    } else if (!parsed || parser.positionalArguments().size() > 1) {
        result.action_ = Action::Refuse;
        const QString error =
            parsed ? QStringLiteral("Only one file can be opened.") : parser.errorText();
        result.output_ = error + QLatin1Char('\n') + usage(parser, program);
    } else if (!parser.positionalArguments().isEmpty()) {
        result.file_ =
            QDir::cleanPath(QDir::current().absoluteFilePath(parser.positionalArguments()[0]));
    }
    return result;
}

int CommandLine::report() const {
    std::FILE* stream = action_ == Action::Refuse ? stderr : stdout;
    std::fputs(output_.toLocal8Bit().constData(), stream);
    std::fflush(stream);
    return exitStatus();
}

} // namespace kalvex
