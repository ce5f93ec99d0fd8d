// The options of the command line, read before anything else is made, so that
// --help and --version answer without a window, a lock or a hand-off.
#pragma once

#include <QString>
#include <vector>

namespace qv {

// The one name the desktop knows the program by: its desktop entry, AppStream
// id and icon are named after it, and Wayland docks match windows by it.
inline QString AppId() {
    return QStringLiteral(QV_APP_ID);
}

struct Options {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    // Run: the program's name, then every argument that is no option (the
    // files, "--" left out), then a null pointer, as main's argv is.
    std::vector<char*> argv;
    // Refuse: the option that is none of ours.
    QString unknown;

    int argc() const { return int(argv.size()) - 1; }
};

// Up to a "--", an argument starting with "--" is an option: the first of
// --help, --version or an unknown one decides. Anything else, and everything
// after "--", is a file.
Options ReadOptions(int argc, char** argv);

// What --help prints; programFolder is where this copy keeps its files.
QString UsageText(const QString& programFolder);

// What --version prints.
QString VersionText();

// Prints the help or the version on standard output (0, or 1 when it cannot be
// written), or the refusal on standard error (2).
int AnswerOptions(const Options& options, char* program);

}  // namespace qv
