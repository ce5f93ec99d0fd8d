// A program of its own for the playback tests: the player, the playlist and
// the main window over the command interpreter and the scripted fake device,
// whose clock only moves when the test moves it (or over another device).
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>

#include "app/frm_quorvane.h"
#include "platform/mci/mci_interpreter.h"
#include "playback/media_play.h"
#include "playback/mod_mci.h"
#include "playback/monitor.h"
#include "playlist/cls_playlist.h"
#include "program/playback_wiring.h"
#include "support/fake_media_device.h"
#include "support/media_files.h"
#include "support/test_program.h"

namespace qvtest {

// Runs the event loop for ms milliseconds (timers fire meanwhile).
inline void RunEvents(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}

// A left click in the middle of a widget, pressed and released.
inline void Click(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
}

class FakeProgram {
  public:
    // Timer1 stays off: the test ticks, unless it starts the timer itself.
    explicit FakeProgram(qv::MediaDeviceFactory factory = {})
        : mci(factory ? std::move(factory) : media.Factory()) {
        mci.SetRecorder([this](const QString& command) {
            // The queries carry no decision; the tests compare the commands
            // that act on the device.
            if (!command.startsWith(QStringLiteral("status ")) &&
                !command.startsWith(QStringLiteral("set ")))
                commands << command;
        });
        state = std::make_unique<qv::ProgramState>(dir.path(), mci, dialogs, clock);
        MakeObjects(*state);
        state->mainForm->Timer1->stop();
        qv::ConnectPlayback(*state, *state->mainForm);
        player().StopByUser(true);
        player().PlayingID(65535);
    }

    qv::clsMediaPlay& player() { return *state->objMediaPlay; }
    qv::frmQuorvane& form() { return *state->mainForm; }

    // Adds "<name>" (a short WAV file on disk) to the playlist; the fake
    // device gives it lengthMs.
    QString Add(const QString& name, qint64 lengthMs = 10000) {
        const QString path = dir.write(name, WavBytes(50));
        media.SetLength(path, lengthMs);
        state->objPlayList->AddToPlayList(path);
        return path;
    }
    QString OpenCommand(int i) const {
        return QStringLiteral("open %1 type %2 alias PlayData")
            .arg(Path(i), qv::MciDeviceType(Path(i)));
    }
    QString Path(int i) const { return state->PlayListData[i].FilePath; }
    // Moves the clock by ms, then runs the monitor once.
    void Tick(qint64 ms = 50) {
        media.Advance(ms);
        qv::Timer1_Timer(*state);
    }
    // The acting commands sent since the last call.
    QStringList Take() {
        QStringList taken = commands;
        commands.clear();
        return taken;
    }

    TempDir dir;
    FakeMedia media;
    qv::MciInterpreter mci;
    QStringList commands;
    ScriptedDialogs dialogs;
    ManualClock clock;
    std::unique_ptr<qv::ProgramState> state;
};

}  // namespace qvtest
