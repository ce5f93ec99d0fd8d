// The hand-off of a second start's files: the running copy's socket takes
// well-formed messages and drops every other peer; the files join the playlist
// as the command line's would, the first new one playing only when nothing plays.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QLocalSocket>
#include <future>
#include <tuple>

#include "library_support.h"
#include "program/handoff.h"
#include "support/fake_program.h"
#include "support/qt_print.h"

namespace qv {
namespace {

using qvtest::RunEvents;

QByteArray Message(const QByteArray& payload, quint32 size) {
    return QByteArray("QVHO") + char(size >> 24) + char(size >> 16) + char(size >> 8) + char(size) +
           payload;
}

TEST(HandOff, ServerTakesWellFormedMessagesAndDropsEveryOtherPeer) {
    qvtest::TempDir dir;
    const QString path = HandOffSocketPath(dir.path().chopped(1), "/opt/quorvane/");
    dir.write(QFileInfo(path).fileName(), "left by a killed copy");
    QList<QStringList> taken;
    HandOffServer server(
        path, [&](const QStringList& paths) { taken.append(paths); }, 1000);
    ASSERT_TRUE(server.Listening()) << server.ErrorString().toStdString();

    // Each is dropped at once, but the half message only when its time is up.
    for (const auto& [what, bytes, waitMs] : {
             std::tuple{"not ours", Message("/a", 2).replace(0, 4, "HTTP"), 500},
             std::tuple{"too big", Message("", kHandOffMaxBytes + 1), 500},
             std::tuple{"not UTF-8", Message("/a\xff.wav", 7), 500},
             std::tuple{"relative", Message("a.wav", 5), 500},
             std::tuple{"two lines", Message("/a\n.wav", 7), 500},
             std::tuple{"half, then silence", Message("/a", 10), 3000},
         }) {
        QLocalSocket socket;
        socket.connectToServer(path);
        ASSERT_TRUE(socket.waitForConnected(1000)) << what;
        socket.write(bytes);
        for (int ms = 0; ms < waitMs && socket.state() == QLocalSocket::ConnectedState; ms += 10)
            RunEvents(10);
        EXPECT_EQ(socket.state(), QLocalSocket::UnconnectedState) << what;
        EXPECT_EQ(socket.readAll(), "") << what;
    }

    // A second start blocks until the answer comes: it runs beside the event loop.
    const auto send = [&](const QStringList& paths) {
        auto sent = std::async(std::launch::async, [&] {
            QString error;
            return SendHandOff(path, paths, &error);
        });
        while (sent.wait_for(std::chrono::seconds(0)) != std::future_status::ready) RunEvents(5);
        return sent.get();
    };
    const QStringList files{"/m/a b.wav", "/m/ü.lst"};
    EXPECT_TRUE(send(files));
    RunEvents(20);
    EXPECT_TRUE(taken.isEmpty()) << "taken before the start has read its own command line";
    server.Open();  // a message without files (the window only comes up): e2e_handoff
    RunEvents(20);
    EXPECT_EQ(taken, QList<QStringList>{files});
}

TEST(HandOff, FilesAppendAndTheFirstNewOnePlaysOnlyWhenNothingPlays) {
    for (const auto& [empty, mode, plays] :
         {std::tuple{false, PlayerState::Stopped, 1}, std::tuple{true, PlayerState::NoDevice, 0},
          std::tuple{false, PlayerState::Playing, 65535}}) {
        qvtest::FakeProgram p;
        QStringList files;
        for (const char* name : {"a.wav", "b.wav", "c.wav"})
            files << p.dir.write(name, qvtest::WavBytes(50));
        const QString list = p.dir.write("l.lst", (files[2] + "\r\n" + files[0]).toUtf8());
        if (!empty) p.state->objPlayList->AddToPlayList(files[0]);
        p.player().PlayState(mode);
        // Only existing, non-empty regular files by clean absolute paths are taken: what
        // else comes would fail when played, or could not be stored.
        const QString fifo = p.dir.file("pipe.wav"), device = p.dir.file("null.wav");
        ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
        QFile::link("/dev/null", device);
        QDir().mkdir(p.dir.file("folder.wav"));
        QStringList refused;
        refused << p.dir.file("x.txt") << p.dir.file("gone.wav") << p.dir.write("0.wav", "") << fifo
                << device << p.dir.file("folder.wav") << "b.wav" << p.dir.file("sub/../b.wav")
                << "/" + QString(5000, u'x') + ".wav";
        TakeHandedFiles(*p.state, QStringList{files[0], files[1]} + refused + QStringList{list});

        EXPECT_EQ(qvtest::PlayListPaths(*p.state), files) << PlayerStateWord(mode).toStdString();
        EXPECT_EQ(p.player().PlayingID(), plays) << PlayerStateWord(mode).toStdString();
    }
}

}  // namespace
}  // namespace qv
