// Reading the options and answering --help, --version and an unknown option.
#include "program/options.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <cstring>

#include "app/settings.h"
#include "platform/media_kinds.h"

namespace qv {

Options ReadOptions(int argc, char** argv) {
    Options options;
    options.argv.push_back(argv[0]);
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        char* a = argv[i];
        if (optionsEnd || std::strncmp(a, "--", 2) != 0) {
            options.argv.push_back(a);
        } else if (std::strcmp(a, "--") == 0) {
            optionsEnd = true;
        } else if (options.action == Options::Action::Run) {
            if (std::strcmp(a, "--help") == 0) {
                options.action = Options::Action::Help;
            } else if (std::strcmp(a, "--version") == 0) {
                options.action = Options::Action::Version;
            } else {
                options.action = Options::Action::Refuse;
                options.unknown = QString::fromLocal8Bit(a);
            }
        }
    }
    options.argv.push_back(nullptr);
    return options;
}

QString UsageText(const QString& programFolder) {
    QStringList kinds;
    for (const QString& extension : MediaExtensions()) kinds.append(u'.' + extension.toLower());
    return QStringLiteral(
               "Usage: quorvane [--] [FILE]...\n"
               "       quorvane --help | --version\n"
               "A media player with a media library of its own.\n"
               "\n"
               "Each FILE is a media file, added to the playlist, or a playlist file (.lst),\n"
               "whose entries are added; the files after a .lst are not looked at, and\n"
               "arguments of any other kind are passed over. The first entry added plays.\n"
               "When nothing is added, the playlist of the last exit comes back.\n"
               "Media files: %1\n"
               "\n"
               "One copy runs per user and program folder: a second start hands its files to the\n"
               "running copy, which appends them to its playlist and comes to the front.\n"
               "\n"
               "Options:\n"
               "  --help     print this help and exit\n"
               "  --version  print the version and exit\n"
               "  --         end of the options: every argument after it is a file, even one\n"
               "             whose name starts with \"--\"\n"
               "\n"
               "Files, in the program folder:\n"
               "  Setting.ini   window place and size, loop mode, volume, last folders\n"
               "  MediaDB.db    the media library: the scanned folders and the media found\n"
               "  PlayLists/    saved playlists (.lst); LastPlayList.lst is the playlist at the\n"
               "                last exit\n"
               "The program folder is the folder of the quorvane executable, or the per-user data\n"
               "folder ($XDG_DATA_HOME/Quorvane, ~/.local/share/Quorvane by default) when that\n"
               "cannot be written. This copy's program folder: %2\n")
        .arg(kinds.join(u' '), QDir::toNativeSeparators(programFolder));
}

QString VersionText() {
    return QStringLiteral("quorvane " QV_VERSION "\n");
}

int AnswerOptions(const Options& options, char* program) {
    if (options.action == Options::Action::Refuse) {
        std::fprintf(stderr,
                     "quorvane: unknown option '%s' (a file whose name starts with \"--\" goes "
                     "after \"--\")\nTry 'quorvane --help' for more information.\n",
                     qUtf8Printable(options.unknown));
        return 2;
    }
    QString text;
    if (options.action == Options::Action::Help) {
        // Only to find the program folder: no window, no lock, nothing made.
        int qtArgc = 1;
        const QCoreApplication app(qtArgc, &program);
        QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
        text = UsageText(Ini::DefaultAppPath(false));
    } else {
        text = VersionText();
    }
    const QByteArray bytes = text.toUtf8();
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
        std::fflush(stdout) == 0;
    return written ? 0 : 1;
}

}  // namespace qv
