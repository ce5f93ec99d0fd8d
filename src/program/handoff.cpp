// The hand-off over a local socket. A message is "QVHO", the payload's size
// (4 bytes, big-endian), then the paths in UTF-8, separated by NUL (the one
// character no path holds); the running copy answers "OK" once it has them.
//
// Only the user's own programs can reach the socket, but any of them may
// write anything to it: the running copy reads at most one bounded message
// per connection, within a time limit, from a few connections at once, and
// drops every connection that sends anything else.
#include "program/handoff.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "platform/filesystem.h"
#include "platform/paths.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_undo.h"
#include "program/command_line.h"

namespace qv {
namespace {

const QByteArray kMagic = QByteArrayLiteral("QVHO");
const QByteArray kAck = QByteArrayLiteral("OK");
constexpr qint64 kHeaderBytes = 8;
// A second start sends one message and goes; more peers than this at once
// are not second starts.
constexpr int kMaxPeers = 8;

int Left(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

// Nothing for a payload that is not strict UTF-8 or holds anything but
// absolute, one-line paths: it came from no second start.
std::optional<QStringList> ParsePaths(const QByteArray& payload) {
    if (payload.isEmpty()) return QStringList();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(payload);
    if (utf8.hasError()) return std::nullopt;
    const QStringList paths = text.split(QChar(u'\0'));
    for (const QString& path : paths) {
        if (!path.startsWith(u'/') || HasLineEnd(path)) return std::nullopt;
    }
    return paths;
}

// A path as one line of standard error: line ends shown as escapes, and a
// path long enough to fill a terminal cut short.
QString ShownPath(QString path) {
    path.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    return path.size() > 300 ? path.left(300) + QStringLiteral("...") : path;
}

void Drop(QLocalSocket* peer) {
    peer->abort();
    peer->deleteLater();
}

}  // namespace

QString InstanceName(const QString& programFolder) {
    // Hashed: the whole path of a socket must fit in kSocketPathMax bytes.
    const QByteArray hash =
        QCryptographicHash::hash(programFolder.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("quorvane-%1").arg(QLatin1String(hash.left(16)));
}

QString HandOffSocketPath(const QString& lockFolder, const QString& programFolder) {
    return lockFolder + u'/' + InstanceName(programFolder) + QStringLiteral(".sock");
}

bool SendHandOff(const QString& socketPath, const QStringList& paths, QString* error, int waitMs) {
    const QByteArray payload = paths.join(QChar(u'\0')).toUtf8();
    if (payload.size() > kHandOffMaxBytes) {
        *error = QStringLiteral("too many files to hand over to the running copy");
        return false;
    }
    QByteArray message = kMagic;
    message.resize(kHeaderBytes);
    qToBigEndian(static_cast<quint32>(payload.size()), message.data() + kMagic.size());
    message += payload;

    const QDeadlineTimer deadline(waitMs);
    QLocalSocket socket;
    // Tried again until the time is up: the running copy takes its lock before
    // it listens, so right after its start there may be no socket yet, and it
    // turns peers away while it is busy with too many.
    for (;;) {
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(Left(deadline))) {
            socket.write(message);
            QByteArray reply;
            while (reply.size() < kAck.size() && socket.waitForReadyRead(Left(deadline)))
                reply += socket.readAll();
            if (reply.startsWith(kAck)) return true;
            socket.abort();
        }
        if (deadline.hasExpired()) break;
        QThread::msleep(20);
    }
    *error = QStringLiteral("another copy is running but did not answer within %1 s")
                 .arg(waitMs / 1000.0);
    return false;
}

HandOffServer::HandOffServer(const QString& socketPath, Take take, int readTimeoutMs)
    : take_(std::move(take)), readTimeoutMs_(readTimeoutMs) {
    // The lock is ours, so a socket there belongs to a copy that is gone.
    QLocalServer::removeServer(socketPath);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &HandOffServer::Accept);
    server_.listen(socketPath);
}

void HandOffServer::Open() {
    open_ = true;
    for (const QStringList& paths : std::exchange(held_, {})) take_(paths);
}

void HandOffServer::Accept() {
    while (QLocalSocket* peer = server_.nextPendingConnection()) {
        if (peers_ >= kMaxPeers) {
            Drop(peer);
            continue;
        }
        ++peers_;
        connect(peer, &QObject::destroyed, this, [this] { --peers_; });
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { Read(peer); });
        // Also ends a peer that never reads the answer.
        QTimer::singleShot(readTimeoutMs_, peer, [peer] { Drop(peer); });
        Read(peer);
    }
}

void HandOffServer::Read(QLocalSocket* peer) {
    if (peer->bytesAvailable() < kHeaderBytes) return;
    const QByteArray head = peer->peek(kHeaderBytes);
    const qint64 size = qFromBigEndian<quint32>(head.constData() + kMagic.size());
    if (!head.startsWith(kMagic) || size > kHandOffMaxBytes) {
        Drop(peer);
        return;
    }
    if (peer->bytesAvailable() < kHeaderBytes + size) return;
    peer->skip(kHeaderBytes);
    const std::optional<QStringList> paths = ParsePaths(peer->read(size));
    if (!paths) {
        Drop(peer);
        return;
    }
    disconnect(peer, &QLocalSocket::readyRead, this, nullptr);
    peer->write(kAck);
    peer->disconnectFromServer();
    // Taking the files may run the event loop (a message box); this
    // socket's handling is over by then.
    QTimer::singleShot(0, this, [this, taken = *paths] { Deliver(taken); });
}

void HandOffServer::Deliver(const QStringList& paths) {
    if (open_) {
        take_(paths);
    } else {
        held_.append(paths);
    }
}

QString WhyNotHandedFile(const QString& path) {
    if (KindOfPiece(path) == PieceKind::Other)
        return QStringLiteral("not a media or playlist file");
    return WhyNotTakeable(path);
}

void TakeHandedFiles(ProgramState& state, const QStringList& paths) {
    frmQuorvane* form = state.mainForm.get();
    if (!form || form->Unloaded()) return;
    // The files of one hand-off are one step of the playlist's undo.
    const PlayListUndo::Step step(state);
    const int32_t first = state.PlayListData.IsEmpty() ? 0 : state.PlayListData.Count();
    int32_t added = 0;
    for (const QString& path : paths) {
        // A missing file, a folder, a pipe or a device would only fail when
        // played; the second start has already ended, so it is said here.
        if (const QString why = WhyNotHandedFile(path); !why.isEmpty()) {
            std::fprintf(stderr, "quorvane: not taken from another start, %s: %s\n",
                         qUtf8Printable(why), qUtf8Printable(ShownPath(path)));
            continue;
        }
        switch (KindOfPiece(path)) {
            case PieceKind::Media:
                added += state.objPlayList->AddToPlayList(path) ? 1 : 0;
                break;
            case PieceKind::PlayList:
                added += LoadPlayListFile(state, path);
                break;
            case PieceKind::Other:
                break;
        }
    }
    // No device open yet plays as well: the transport takes it so.
    if (added > 0 && state.objMediaPlay->IsIdle()) state.objMediaPlay->OpenPlay(first);
    RaiseMainWindow(*form);
}

void RaiseMainWindow(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

}  // namespace qv
