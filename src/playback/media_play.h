// clsMediaPlay, the player: the current playlist entry, the play state, the
// loop mode (with its button) and the flag that tells a stop by the user from
// the end of a track; every transport operation goes through the media layer.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <utility>

#include "app/settings.h"
#include "playback/player_view.h"

namespace qv {

class ProgramState;

// What the player takes the device to be doing. The monitor sets it from the
// device's mode word on every tick; each command sets the state it leaves.
enum class PlayerState {
    // Neither a tick nor a command has set it yet: no rule acts on it.
    Unknown,
    // Nothing open: the device answers no mode word at all.
    NoDevice,
    // Opened, and not started yet.
    Ready,
    Stopped,
    Playing,
    Paused,
    // The device's other mode words, which no rule of the player acts on.
    Seeking,
    Open,
    NotReady,
};

// The state as a word: the device's mode word in capitals ("PLAYING",
// "NOT READY"), "READY" for an opened file, "ready" for none (what panel 4
// shows then), "" for Unknown.
QString PlayerStateWord(PlayerState state);

// The state a device's mode word names, in either case; "" (nothing open) is
// NoDevice, a word no device uses Unknown.
PlayerState PlayerStateOfMode(const QString& mode);

class clsMediaPlay {
  public:
    explicit clsMediaPlay(ProgramState& state);
    ~clsMediaPlay();

    // The window the player, the monitor and the track panels show
    // through, with the playlist lines the player works on; set by the
    // program's wiring.
    void SetView(std::unique_ptr<PlayerView> view) { view_ = std::move(view); }
    // The window as the player sees it; null without a view.
    PlayerView* View() const { return view_.get(); }
    // The playlist's line count, 0 without a view.
    int32_t ListCount() const { return view_ ? view_->LineCount() : 0; }
    // The selected playlist line, -1 without a view.
    int32_t SelectedLine() const { return view_ ? view_->SelectedLine() : -1; }
    // Selects playlist line lngIndex through the view.
    void SelectLine(int32_t lngIndex) {
        if (view_) view_->SelectLine(lngIndex);
    }

    // Setting the loop mode first brings the loop button's picture and
    // tooltip in line.
    Looping LoopMode() const { return loopMode_; }
    void LoopMode(Looping mode);

    PlayerState PlayState() const { return playState_; }
    void PlayState(PlayerState state) { playState_ = state; }
    // Nothing plays or pauses: a file opened or stopped, or none open at
    // all. Play on the transport starts the selected line then, and a file
    // handed over by a second start plays.
    bool IsIdle() const;

    int32_t PlayingID() const { return lngID_; }
    void PlayingID(int32_t lngID) { lngID_ = lngID; }

    bool StopByUser() const { return bStopByUser_; }
    void StopByUser(bool bStopByUser) { bStopByUser_ = bStopByUser; }

    // The file that last could not be opened or played; "" once a file has
    // opened since. While it is set the status bar and the caption name it.
    QString FailedPath() const { return strFailedPath_; }
    // Every way of starting a file ends here when the device refuses it:
    // keeps FilePath as the failure and shows it (track_info's
    // ShowFailedInfo). An empty path is no file and changes nothing.
    void ShowFailure(const QString& FilePath);
    // Names FilePath as the file that plays outside the playlist, while
    // PlayingID stays the entry's, until an entry opens.
    void PlayingOutside(const QString& FilePath) { strGivenPath_ = FilePath; }
    // The media tree plays one file by itself, outside the playlist: the
    // player stops, the device opens FilePath at the player's volume and
    // gain and starts it. The state stays Stopped (by the user) until the
    // monitor sees the device play, so nothing moves on from it; a file that
    // does not open or start is shown as a failure.
    void PlayOutside(const QString& FilePath);
    // The file the device was last given (the tree's or an entry's), ""
    // before the first. Kept apart from the entry's record, so that it stays
    // named while it is open even when its line is removed or moved. What
    // the desktop is told plays.
    QString CurrentPath() const { return strGivenPath_; }
    // The file of the entry last opened, whatever its index has become since
    // ("" before any): the playing entry's identity, which an undo of the
    // playlist follows.
    QString EntryPath() const { return strEntryPath_; }
    // A file opened: whatever failed before is no longer shown.
    void ClearFailure() { strFailedPath_.clear(); }
    // "Loop-All" past an entry that would not play: plays the next entry,
    // unless the entries that failed in a row already make one round of
    // lngListCount entries. False (nothing started) when the round is done.
    bool SkipFailed(int32_t lngListCount);

    // Stops and closes the device, opens entry SongID, records its length,
    // selects its line and makes it the current entry. An index naming no
    // record is ignored; a file that does not open is current all the same,
    // and shown as a failure.
    void OpenFile(int32_t SongID);
    // OpenFile, then Play.
    void OpenPlay(int32_t SongID);
    // Entry SongID from its start: the current entry is rewound, another one
    // opened. An index naming no record, other than the current one, is ignored.
    void PlayStart(int32_t SongID);
    // Starts the device; the state is Playing whatever the device answered,
    // and StopByUser False, so that the monitor applies the loop mode to a
    // start that failed as it does to a finished track.
    void Play();
    // Entry SongID current and stopped at its start (opened when it is not
    // the current one). An index naming no record, other than the current
    // one, is ignored.
    void SetStart(int32_t SongID);
    // Stops and rewinds the current entry.
    void StopPlay();
    void Pause();
    void PlayResume();
    // The position in whole seconds, the fraction dropped.
    int32_t GetTime();
    // The next entry, stopped at its start; after the last, and from an index
    // naming no record, the first.
    void SetNext();
    void PlayNext();
    // The previous entry, stopped at its start; before the first the first
    // again. From an index with no record before it nothing happens.
    void SetPrev();
    void PlayPrev();

    // The length of the open file in milliseconds; 0 with nothing open.
    int32_t GetLength();
    // Moves the open file to lngMilliseconds, clamped to 0 ... GetLength().
    // Playing, it plays on from there (moved to the very end, the loop mode
    // takes over as at any end); paused, it stays paused there; stopped, it
    // stays stopped. False when nothing is open or the device refused.
    bool SeekTo(int32_t lngMilliseconds);
    // How often the position was moved other than by playing on: a seek, an
    // open, or the current entry rewound (a restart in "Loop-One", a stop).
    // Desktop media controls count on being told of each.
    uint32_t Jumps() const { return lngJumps_; }
    // The volume, clamped to 0 (silent) ... 1000 (as recorded): sent to the
    // open file at once and to every file opened later, shown by the view's
    // slider, and kept as "Volume" of section "Quorvane" in Setting.ini
    // within a second of the change.
    void SetVolume(int32_t lngVolume);
    int32_t Volume() const { return lngVolume_; }
    // The volume Setting.ini held at start: taken and shown, not written back.
    void RestoreVolume(int32_t lngVolume);
    // Writes the volume to Setting.ini now (at exit).
    void SaveVolume();

    // ReplayGain: 0 off, 1 each file's track gain, 2 its album gain (as
    // ReplayGainMode); other values are taken as 1. Setting it applies it
    // to the open file at once and keeps it as "ReplayGain" of section
    // "Quorvane" within a second.
    void SetReplayGainMode(int32_t lngMode);
    int32_t ReplayGainMode() const { return lngReplayGain_; }
    // The mode and the preamplification (dB) Setting.ini held at start.
    void RestoreReplayGain(int32_t lngMode, double dblPreampDb);
    // Sends the open file's gain, from FilePath's tags by the mode and the
    // preamplification, to the device; every way of opening a file calls it.
    void SendTrackGain(const QString& FilePath);
    // That gain, a factor of the amplitude, as the mode has it now.
    double TrackGainOf(const QString& FilePath) const;

    // Gapless joins. In "Loop-All" and "Loop-One", while an entry of the
    // list plays, the files the end-of-track rule will pick after it are
    // queued on the device, so that its sound runs on into theirs. The
    // monitor brings the queue in line with the list and the mode on every
    // tick (a moved, removed or shuffled line, another mode), and takes the
    // device's word that a queued file is heard: that entry becomes the
    // current one then, as an open would make it. A file that began although
    // the rule no longer picks it is left for the entry the rule picks,
    // opened anew.
    void KeepJoinsQueued();
    void TakeDeviceEvents();

  private:
    // Does PlayListData hold record SongID?
    bool HasRecord(int32_t SongID) const;
    // The entry the end-of-track rule plays after SongID; -1 in "Loop-Off".
    int32_t JoinAfter(int32_t SongID) const;
    // The files of the next entries the rule would play, a few seconds'
    // worth, as long as each can join (no MIDI; MIDI plays alone); none when
    // nothing of the list plays.
    QStringList JoinFiles() const;
    // A queued entry is heard: it becomes the current one.
    void Joined(int32_t SongID);

    ProgramState& state_;
    std::unique_ptr<PlayerView> view_;
    int32_t lngID_ = 0;
    bool bStopByUser_ = false;
    Looping loopMode_ = Looping::Off;
    PlayerState playState_ = PlayerState::Unknown;
    QString strFailedPath_;
    // Entries "Loop-All" went past since the run of failures began.
    int32_t lngSkipped_ = 0;
    int32_t lngVolume_ = 1000;
    int32_t lngReplayGain_ = 1;
    double dblPreampDb_ = 0;
    uint32_t lngJumps_ = 0;
    QString strGivenPath_;
    QString strEntryPath_;
    // What the device was last asked to join on (before files that cannot
    // open were left out), so that an unchanged queue is not sent again.
    QStringList queued_;
};

}  // namespace qv
