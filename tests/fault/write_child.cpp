// One writer's work in a process of its own, so that a test can run it on a
// misbehaving disk or kill it part-way: Setting.ini, MediaDB.db or a .lst file.
//
//   write_child ini <program folder> <value>
//   write_child db  <program folder> <media folder> <first> <count>
//   write_child lst <program folder> <.lst path> <media folder> <first> <count>
//
// Media paths are <media folder>/song<n>.mp3 for n = first .. first+count-1.
// Prints "ready <pid>" just before the write; exits 0 when the writer reported
// success, 1 when it reported failure, 2 on a wrong command line.
//
//   write_child serve
// runs many such writes quickly: for each line of standard input (environment
// settings "NAME=value,..." for the fault library, then the arguments above, all
// separated by tabs) it forks a process that does that write, then prints
// "end <exit code>", or "end -1" when the process was killed.
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>
#include <iostream>
#include <string>

#include "app/playlist_data.h"
#include "app/program_state.h"
#include "library/media_db.h"
#include "playlist/playlist_file.h"
#include "support/test_program.h"

namespace {

QStringList Songs(const QString& folder, int first, int count) {
    QStringList paths;
    for (int n = first; n < first + count; ++n)
        paths.append(folder + QStringLiteral("/song%1.mp3").arg(n));
    return paths;
}

// A pipe, not a regular file: the fault library leaves it alone. No stdio: its
// buffer would be copied into every forked process.
void Say(const QByteArray& line) {
    if (::write(STDOUT_FILENO, line.constData(), size_t(line.size())) != line.size()) _exit(2);
}

void Ready() {
    Say("ready " + QByteArray::number(::getpid()) + '\n');
}

int Write(const QStringList& args) {
    if (args.size() < 4) return 2;
    const QString mode = args[1];
    qvtest::RecordingMci mci;
    qvtest::ScriptedDialogs dialogs;
    qvtest::ManualClock clock;
    qv::ProgramState state(args[2], mci, dialogs, clock);

    bool ok = false;
    if (mode == u"ini") {
        Ready();
        ok = state.ini.WriteIni(QStringLiteral("Quorvane"), QStringLiteral("Note"), args[3]) != 0;
    } else if (mode == u"db" && args.size() == 6) {
        state.strSearchRoot = args[3];
        state.strFoundMedia = Songs(args[3], args[4].toInt(), args[5].toInt());
        Ready();
        ok = qv::SaveMediaDB(state);
    } else if (mode == u"lst" && args.size() == 7) {
        for (const QString& path : Songs(args[4], args[5].toInt(), args[6].toInt())) {
            qv::PlayListItem item;
            item.FilePath = path;
            if (state.PlayListData.IsEmpty()) {
                state.PlayListData.Set(0, item);
            } else {
                state.PlayListData.Append(item);
            }
        }
        Ready();
        ok = qv::SavePlayListFile(state, args[3]);
    } else {
        return 2;
    }
    return ok ? 0 : 1;
}

void Serve() {
    for (std::string line; std::getline(std::cin, line);) {
        QStringList args = QString::fromStdString(line).split(u'\t');
        const QStringList env = args.takeFirst().split(u',', Qt::SkipEmptyParts);
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (const QString& setting : env) {
                const qsizetype eq = setting.indexOf(u'=');
                ::setenv(setting.left(eq).toUtf8().constData(),
                         setting.mid(eq + 1).toUtf8().constData(), 1);
            }
            _exit(Write(QStringList{QString()} + args));
        }
        int status = 0;
        if (pid < 0 || ::waitpid(pid, &status, 0) != pid) _exit(2);
        Say("end " + QByteArray::number(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + '\n');
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == u"serve") {
        Serve();
        return 0;
    }
    return Write(app.arguments());
}
