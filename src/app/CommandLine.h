#pragma once

#include "app/JobCommand.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kalvex {

// What the program's arguments ask for: the window (with a file to open, or none), a job
// without a window, the usage, the version, or a refusal of arguments it does not know.
class CommandLine {
public:
    enum class Action { OpenWindow, RunJob, PrintHelp, PrintVersion, Refuse };

    // arguments as the program was given them, the program's name first. Qt's own options
    // (-platform, -style and the like) are left for Qt. No application object is needed.
    static CommandLine parse(const QStringList& arguments);

    // The program's version, major.minor.patch.
    static QString version();

    Action action() const { return action_; }
    // The file to open in the window, made absolute; empty when none was given.
    const QString& file() const { return file_; }
    // The job to run without a window, for RunJob.
    const std::optional<JobCommand>& job() const { return job_; }
    // What the program prints instead of opening the window.
    const QString& output() const { return output_; }
    // The status the program exits with when it does not open the window: 0, or 2 for a
    // refusal.
    int exitStatus() const { return action_ == Action::Refuse ? 2 : 0; }

    // Prints output(), a refusal to standard error and the rest to standard output, and
    // returns exitStatus().
    int report() const;

private:
    void take(const JobCommand::Reading& reading, JobCommand::Kind kind, const QString& program,
              const QString& usage);

    Action action_ = Action::OpenWindow;
    QString file_;
    std::optional<JobCommand> job_;
    QString output_;
};

} // namespace kalvex
