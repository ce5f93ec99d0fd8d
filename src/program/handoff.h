// The hand-off to the running copy: a second start sends its files over a
// per-user local socket and ends; the running copy appends them to its
// playlist and comes to the front.
#pragma once

#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QLocalSocket;
class QWidget;

namespace qv {

class ProgramState;

// How long a second start waits for the running copy, and how long the
// running copy waits for the rest of a message it has begun to read.
constexpr int kHandOffWait = 2000;  // ms
// A message larger than this is refused: far more than any command line can hold.
constexpr qint64 kHandOffMaxBytes = 16 << 20;

// The socket of the copy that runs from programFolder, beside its lock in lockFolder.
QString HandOffSocketPath(const QString& lockFolder, const QString& programFolder);

// The second start's side. Sends the absolute paths (none: only the window is
// brought to the front) and waits up to waitMs for the running copy to take
// them; false, with the reason in *error, when it did not.
bool SendHandOff(const QString& socketPath, const QStringList& paths, QString* error,
                 int waitMs = kHandOffWait);

// The running copy's side. Only the holder of the lock makes one: a socket
// file left by a copy that was killed is removed before listening.
class HandOffServer : public QObject {
  public:
    using Take = std::function<void(const QStringList& paths)>;
    HandOffServer(const QString& socketPath, Take take, int readTimeoutMs = kHandOffWait);

    bool Listening() const { return server_.isListening(); }
    QString ErrorString() const { return server_.errorString(); }
    // Files that come while the start still reads its own command line are
    // acknowledged at once but held, and taken from here on.
    void Open();

  private:
    void Accept();
    void Read(QLocalSocket* peer);
    void Deliver(const QStringList& paths);

    Take take_;
    int readTimeoutMs_;
    int peers_ = 0;
    bool open_ = false;
    QList<QStringList> held_;
    // Last: its sockets go first, while what their last signals reach is whole.
    QLocalServer server_;
};

// Brings the main window to the front and gives it the focus, out of the
// task bar if it was minimized.
void RaiseMainWindow(QWidget& window);

// What the running copy does with handed files: media files and ".lst" files
// appended as the command line takes them (paths already there passed over);
// the first new entry plays when nothing plays; the window comes to the front.
void TakeHandedFiles(ProgramState& state, const QStringList& paths);

}  // namespace qv
