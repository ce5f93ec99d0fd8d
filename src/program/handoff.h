// The hand-off to the running copy: a second start sends its files over a
// local socket of the user and program folder and ends; the running copy appends them to its
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

// How long the running copy waits for the rest of a message it has begun to read.
constexpr int kHandOffWait = 2000;  // ms
// How long a second start waits for the answer: a copy that is still starting
// answers only after its splash, which holds its thread up to 2.5 s.
constexpr int kHandOffAnswerWait = 6000;  // ms
// A message larger than this is refused: far more than any command line can hold.
constexpr qint64 kHandOffMaxBytes = 16 << 20;

// The name of the lock and the socket of the copy that runs from programFolder
// ("quorvane-" and a hash of the folder): one copy runs per program folder.
QString InstanceName(const QString& programFolder);

// The socket of the copy that runs from programFolder, beside its lock in lockFolder.
QString HandOffSocketPath(const QString& lockFolder, const QString& programFolder);

// The longest socket path the system takes (sockaddr_un's sun_path).
constexpr qsizetype kSocketPathMax = 107;

// The second start's side. Sends the absolute paths (none: only the window is
// brought to the front) and waits up to waitMs for the running copy to take
// them; false, with the reason in *error, when it did not.
bool SendHandOff(const QString& socketPath, const QStringList& paths, QString* error,
                 int waitMs = kHandOffAnswerWait);

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

// Why the running copy does not take a handed file, in a few English words;
// "" when it does: a media or ".lst" file that WhyNotTakeable accepts.
QString WhyNotHandedFile(const QString& path);

// What the running copy does with handed files: those WhyNotHandedFile
// accepts are appended as the command line takes them (paths already there
// passed over), the others named on standard error; the first new entry plays
// when nothing plays; the window comes to the front.
void TakeHandedFiles(ProgramState& state, const QStringList& paths);

}  // namespace qv
