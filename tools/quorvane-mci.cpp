// quorvane-mci: try the media-control command layer by hand or from a script.
// One command per line (stdin, or -c), one result line each, at once.
#include <QString>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_errors.h"
#include "platform/mci/mci_interpreter.h"

namespace {

const char kUsage[] =
    "usage: quorvane-mci [--null-audio] [-c COMMAND]...\n"
    "Carries out media-control command strings, one a line from standard input\n"
    "(each as soon as it arrives) or each -c COMMAND in turn. Prints one line per\n"
    "command: the result code, a tab, the reply, and when the code is not 0 a tab\n"
    "and the error text.\n"
    "  --null-audio  play into a null sink (real time, no sound)\n"
    "Example: open \"/music/a song.mp3\" type MPEGVideo alias PlayData\n"
    "         seek PlayData to 61000\n"
    "         setaudio PlayData volume to 500   (0 ... 1000)\n"
    "         status PlayData output   (present; none: no sound output was found,\n"
    "                                   so nothing is heard; lost: it went away)\n";

void Run(qv::MciInterpreter& mci, const QString& command) {
    QString reply;
    const int code = mci.SendString(command, &reply, 256);
    std::string line = std::to_string(code) + '\t' + reply.toStdString();
    if (code != 0) line += '\t' + qv::MciGetErrorString(code).toStdString();
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    qv::GstDeviceOptions options;
    std::vector<QString> commands;
    bool fromArguments = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--null-audio") == 0) {
            options.nullAudio = true;
        } else if (std::strcmp(argv[i], "-c") == 0 && i + 1 < argc) {
            commands.push_back(QString::fromLocal8Bit(argv[++i]));
            fromArguments = true;
        } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    qv::MciInterpreter mci(qv::GstDeviceFactory(options));
    if (fromArguments) {
        for (const QString& command : commands) Run(mci, command);
        return 0;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (QString::fromStdString(line).trimmed().isEmpty()) continue;
        Run(mci, QString::fromLocal8Bit(line.data(), qsizetype(line.size())));
    }
    return 0;
}
