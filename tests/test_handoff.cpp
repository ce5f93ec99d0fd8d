// The hand-off of a second start's files: the running copy's socket takes one
// well-formed message and drops every other peer; the files join the playlist
// as the command line's would, the first new one playing only when nothing plays.
#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QtEndian>
#include <future>

#include "program/handoff.h"
#include "program/single_instance.h"
#include "support/fake_program.h"
#include "support/qt_print.h"

namespace qv {
namespace {

using qvtest::RunEvents;

QByteArray Message(const QByteArray& payload, quint32 size) {
    QByteArray head("QVHO\0\0\0\0", 8);
    qToBigEndian(size, head.data() + 4);
    return head + payload;
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
    const struct {
        const char* what;
        QByteArray bytes;
        int waitMs;
    } peers[] = {
        {"not ours", Message("/a", 2).replace(0, 4, "HTTP"), 500},
        {"too big", Message("", kHandOffMaxBytes + 1), 500},
        {"not UTF-8", Message("/a\xff.wav", 7), 500},
        {"relative", Message("a.wav", 5), 500},
        {"two lines", Message("/a\n.wav", 7), 500},
        {"half, then silence", Message("/a", 10), 3000},
    };
    for (const auto& peer : peers) {
        QLocalSocket socket;
        socket.connectToServer(path);
        ASSERT_TRUE(socket.waitForConnected(1000)) << peer.what;
        socket.write(peer.bytes);
        for (int ms = 0; ms < peer.waitMs && socket.state() == QLocalSocket::ConnectedState;
             ms += 10) {
            RunEvents(10);
        }
        EXPECT_EQ(socket.state(), QLocalSocket::UnconnectedState) << peer.what;
        EXPECT_EQ(socket.readAll(), "") << peer.what;
    }

    // A second start blocks until the answer comes: it runs beside the event loop.
    const auto send = [&](const QStringList& paths) {
        auto sent = std::async(std::launch::async, [&] {
            QString error;
            return SendHandOff(path, paths, &error);
        });
        while (sent.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
            RunEvents(5);
        }
        return sent.get();
    };
    const QStringList files{"/m/a b.wav", "/m/ü.lst"};
    EXPECT_TRUE(send(files));
    RunEvents(20);
    EXPECT_TRUE(taken.isEmpty()) << "taken before the start has read its own command line";
    server.Open();
    EXPECT_TRUE(send({}));  // no files: the window only comes to the front
    RunEvents(20);
    EXPECT_EQ(taken, (QList<QStringList>{files, {}}));

    QString error;
    EXPECT_FALSE(SendHandOff(dir.file("none.sock"), files, &error, 200));
    EXPECT_FALSE(error.isEmpty());
}

// The running copy listens beside its lock, also when that lock is further
// down the list of places than the one a later start could use.
TEST(HandOff, SecondStartFindsTheLockOfTheRunningCopy) {
    qvtest::TempDir dir;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.file("late")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.file("cache")));
    const SingleInstance running;
    ASSERT_EQ(running.Folder(), dir.file("cache/quorvane"));
    QDir().mkdir(dir.file("late"));
    QFile::setPermissions(dir.file("late"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const SingleInstance second;
    EXPECT_EQ(second.Result(), SingleInstance::Outcome::AnotherCopy);
    EXPECT_EQ(second.Folder(), running.Folder());
}

TEST(HandOff, FilesAppendAndTheFirstNewOnePlaysOnlyWhenNothingPlays) {
    const struct {
        bool empty;
        QString mode;
        const char* plays;  // nullptr: nothing is opened
    } rows[] = {
        {false, kStateStopped, "b.wav"},
        {true, kStateNoDevice, "a.wav"},
        {false, kStatePlaying, nullptr},
    };
    for (const auto& row : rows) {
        qvtest::FakeProgram p;
        const QString a = p.dir.write("a.wav", qvtest::WavBytes(50));
        const QString b = p.dir.write("b.wav", qvtest::WavBytes(50));
        const QString c = p.dir.write("c.wav", qvtest::WavBytes(50));
        const QString list = p.dir.write("l.lst", (c + "\r\n" + a + "\r\n").toUtf8());
        if (!row.empty) p.state->objPlayList->AddToPlayList(a);
        p.player().PlayState(row.mode);
        p.Take();
        TakeHandedFiles(*p.state, {a, b, p.dir.file("x.txt"), list});

        QStringList records;
        for (int i = 0; i < p.state->PlayListData.Count(); ++i)
            records.append(p.state->PlayListData[i].FilePath);
        EXPECT_EQ(records, (QStringList{a, b, c})) << row.mode.toStdString();
        const QStringList opened = p.Take().filter("open ");
        if (row.plays) {
            ASSERT_EQ(opened.size(), 1) << row.mode.toStdString();
            EXPECT_TRUE(opened[0].contains(p.dir.file(row.plays))) << opened[0].toStdString();
        } else {
            EXPECT_EQ(opened, QStringList()) << row.mode.toStdString();
        }
    }
}

}  // namespace
}  // namespace qv
