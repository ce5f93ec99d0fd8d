// MPRIS 2.2 on the session bus: the desktop's media keys, sound menu and
// applets see what plays and drive the player through the transport buttons'
// own handlers.
#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <cstdint>
#include <memory>

namespace qv {

class ProgramState;

// The bus name of the first copy; a copy of another program folder that finds
// it taken adds ".instance<pid>", as MPRIS allows.
inline const QString kMprisService = QStringLiteral("org.mpris.MediaPlayer2.quorvane");
inline const QString kMprisPath = QStringLiteral("/org/mpris/MediaPlayer2");

class Mpris : public QObject, protected QDBusContext {
    Q_OBJECT
  public:
    // Registers on the session bus and follows the main window's monitor.
    // Without a session bus, or with no name to be had, nullptr: the program
    // runs as it would without, and says nothing.
    static std::unique_ptr<Mpris> Start(ProgramState& state);
    ~Mpris() override;

    QString ServiceName() const { return service_; }

    // Sends PropertiesChanged for whatever the player reports differently
    // since the last call. The monitor's tick calls it after its own work,
    // and every method after its handler.
    void Refresh();

    // What the two interfaces report and do; the adaptors call these.
    ProgramState& State() { return state_; }
    QString PlaybackStatus() const;
    QString LoopStatus() const;
    void SetLoopStatus(const QString& status);
    QVariantMap Metadata();
    int64_t PositionUs() const;
    // 0.0 to 1.0, the player's 0 to 1000.
    double Volume() const;
    void SetVolume(double volume);
    // By offsetUs from where the device is: before the start is the start,
    // past the end the next track.
    void Seek(int64_t offsetUs);
    // To positionUs of the track trackId names, if it is the playing one.
    void SetPosition(const QString& trackId, int64_t positionUs);
    bool CanGo() const;
    bool CanSeek();
    void Raise();
    void Quit();
    // A file:// URI as a second start hands over a file; any other is
    // answered with an error.
    void OpenUri(const QString& uri);
    // Answers the call being served with an error, if it came over the bus.
    void ReplyError(QDBusError::ErrorType type, const QString& text);

  private:
    Mpris(ProgramState& state, QString service);

    // What PropertiesChanged is sent for, as last sent.
    struct Reported {
        QString status;
        QString loop;
        bool canGo = false;
        bool canSeek = false;
        QString track;  // clsMediaPlay::CurrentPath; "" for none
        int64_t lengthUs = 0;
        int32_t volume = 0;
        uint32_t jumps = 0;  // clsMediaPlay::Jumps
    };
    // The player as it stands; the length is asked of the device only for a
    // new track, or while the device has not told it yet.
    Reported Now();
    QVariantMap MetadataOf(const Reported& now) const;
    // Through the player; the Refresh after it sends Seeked.
    void SeekTo(int64_t positionUs);
    // Emits Player.Seeked with the position the device now reports.
    void ReportSeeked();
    void SendChanged(const QVariantMap& changed);

    ProgramState& state_;
    QString service_;
    Reported reported_;
    // The metadata of reported_.track, its tags read once per track.
    QVariantMap metadata_;
};

}  // namespace qv
