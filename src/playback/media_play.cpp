// The player object: its four values and the transport operations, each a
// fixed sequence of device commands and state changes.
#include "playback/media_play.h"

#include <algorithm>

#include "app/playlist_data.h"
#include "app/program_state.h"
#include "platform/filesystem.h"
#include "playback/mod_mci.h"
#include "playback/track_info.h"
#include "tags/replay_gain.h"

namespace qv {

QString PlayerStateWord(PlayerState state) {
    switch (state) {
        case PlayerState::Unknown:
            return QString();
        case PlayerState::NoDevice:
            return QStringLiteral("ready");
        case PlayerState::Ready:
            return QStringLiteral("READY");
        case PlayerState::Stopped:
            return QStringLiteral("STOPPED");
        case PlayerState::Playing:
            return QStringLiteral("PLAYING");
        case PlayerState::Paused:
            return QStringLiteral("PAUSED");
        case PlayerState::Seeking:
            return QStringLiteral("SEEKING");
        case PlayerState::Open:
            return QStringLiteral("OPEN");
        case PlayerState::NotReady:
            return QStringLiteral("NOT READY");
    }
    return QString();
}

PlayerState PlayerStateOfMode(const QString& mode) {
    if (mode.isEmpty()) return PlayerState::NoDevice;
    // "READY" is the player's own word for an opened file, never a device's.
    for (PlayerState state : {PlayerState::Stopped, PlayerState::Playing, PlayerState::Paused,
                              PlayerState::Seeking, PlayerState::Open, PlayerState::NotReady}) {
        if (mode.compare(PlayerStateWord(state), Qt::CaseInsensitive) == 0) return state;
    }
    return PlayerState::Unknown;
}

clsMediaPlay::clsMediaPlay(ProgramState& state) : state_(state) {}

clsMediaPlay::~clsMediaPlay() = default;

void clsMediaPlay::LoopMode(Looping mode) {
    if (view_) view_->ShowLoopMode(mode);
    loopMode_ = mode;
}

bool clsMediaPlay::IsIdle() const {
    return playState_ == PlayerState::Ready || playState_ == PlayerState::Stopped ||
           playState_ == PlayerState::NoDevice;
}

bool clsMediaPlay::HasRecord(int32_t SongID) const {
    return SongID >= 0 && SongID <= state_.PlayListData.UBound();
}

void clsMediaPlay::ShowFailure(const QString& FilePath) {
    if (FilePath.isEmpty()) return;
    strFailedPath_ = FilePath;
    ShowFailedInfo(state_, FilePath);
}

bool clsMediaPlay::SkipFailed(int32_t lngListCount) {
    const int32_t skipped = lngSkipped_ + 1;
    if (skipped >= lngListCount) return false;
    PlayNext();
    // Every open starts the count afresh; only a skip that failed again
    // carries it on, so a round of bad entries ends and a good one resets it.
    if (!strFailedPath_.isEmpty()) lngSkipped_ = skipped;
    return true;
}

void clsMediaPlay::OpenFile(int32_t SongID) {
    if (!HasRecord(SongID)) return;
    MCIStop(state_.mci);
    MCIClose(state_.mci);
    const QString path = state_.PlayListData[SongID].FilePath;
    const bool opened = MCIOpen(state_.mci, path) == 0;
    // Every file opens at full volume; it is set before a sound is heard.
    if (opened) {
        MCISetVolume(state_.mci, lngVolume_);
        SendTrackGain(path);
    }
    lngSkipped_ = 0;
    queued_.clear();  // a new device, with nothing queued
    strGivenPath_ = path;
    strEntryPath_ = path;
    ++lngJumps_;  // the same entry opened again starts over
    if (opened) ClearFailure();
    state_.PlayListData.SetLength(SongID, MCIGetLength(state_.mci) / 1000);
    SelectLine(SongID);
    PlayingID(SongID);
    PlayState(PlayerState::Ready);
    if (opened) {
        ShowPlayingInfo(state_, state_.PlayListData[PlayingID()].FilePath);
    } else {
        ShowFailure(path);
    }
    StopByUser(true);
}

void clsMediaPlay::PlayOutside(const QString& FilePath) {
    StopPlay();
    MCIClose(state_.mci);
    const bool opened = MCIOpen(state_.mci, FilePath) == 0;
    PlayingOutside(FilePath);
    if (opened) {
        MCISetVolume(state_.mci, lngVolume_);
        SendTrackGain(FilePath);
    }
    const bool started = MCIPlay(state_.mci) == 0;
    // The player was stopped, so a refusal moves nothing on.
    if (opened && started) {
        ClearFailure();
        ShowPlayingInfo(state_, FilePath);
    } else {
        ShowFailure(FilePath);
    }
}

void clsMediaPlay::OpenPlay(int32_t SongID) {
    if (!HasRecord(SongID)) return;
    OpenFile(SongID);
    Play();
}

void clsMediaPlay::PlayStart(int32_t SongID) {
    // Rewinding the current entry reads no record, so it works even when the
    // entry has left the playlist; opening another one needs its record.
    if (SongID != PlayingID()) {
        if (!HasRecord(SongID)) return;
        OpenFile(SongID);
        Play();
    } else {
        SetStart(PlayingID());
        Play();
    }
    PlayingID(SongID);
    if (HasRecord(SongID)) SelectLine(SongID);
}

void clsMediaPlay::Play() {
    // Queued before the sound starts: a short file has run its decoder dry
    // by the time the next tick comes. Sent even when unchanged, as the end
    // of a file empties the device's queue.
    PlayState(PlayerState::Playing);
    StopByUser(false);
    queued_.clear();
    KeepJoinsQueued();
    const bool started = MCIPlay(state_.mci) == 0;
    PlayState(PlayerState::Playing);
    StopByUser(false);
    // A file that opened but will not start. One that did not even open is
    // shown already, and play on nothing open fails for that reason alone.
    if (!started && strFailedPath_.isEmpty() && HasRecord(PlayingID()))
        ShowFailure(state_.PlayListData[PlayingID()].FilePath);
}

void clsMediaPlay::SetStart(int32_t SongID) {
    if (SongID != PlayingID()) {
        if (!HasRecord(SongID)) return;
        OpenFile(SongID);
    } else {
        MCIStop(state_.mci);
        MCISeekStart(state_.mci);
        ++lngJumps_;
    }
    PlayState(PlayerState::Stopped);
    StopByUser(true);
}

void clsMediaPlay::StopPlay() {
    MCIStop(state_.mci);
    MCISeekStart(state_.mci);
    ++lngJumps_;
    StopByUser(true);
    PlayState(PlayerState::Stopped);
}

void clsMediaPlay::Pause() {
    MCIPause(state_.mci);
    PlayState(PlayerState::Paused);
}

void clsMediaPlay::PlayResume() {
    MCIResume(state_.mci);
    PlayState(PlayerState::Playing);
}

int32_t clsMediaPlay::GetTime() {
    return MCIGetPosition(state_.mci) / 1000;
}

void clsMediaPlay::SetNext() {
    const int32_t U = state_.PlayListData.UBound();
    const int32_t id = PlayingID();
    // An index beyond the end (or before the start) names no entry; the one
    // after it is taken to be the first.
    const int32_t target = (U == 0 || id < 0 || id >= U) ? 0 : id + 1;
    SetStart(target);
}

void clsMediaPlay::PlayNext() {
    SetNext();
    Play();
}

void clsMediaPlay::SetPrev() {
    const int32_t U = state_.PlayListData.UBound();
    const int32_t id = PlayingID();
    const int32_t target = (U == 0 || id <= 0) ? 0 : id - 1;
    // From 65535 (nothing chosen yet) the step back names no entry either.
    if (target > U) return;
    SetStart(target);
}

void clsMediaPlay::PlayPrev() {
    SetPrev();
    Play();
}

int32_t clsMediaPlay::GetLength() {
    return MCIGetLength(state_.mci);
}

bool clsMediaPlay::SeekTo(int32_t lngMilliseconds) {
    // Nothing open answers no mode at all.
    if (MCIGetMode(state_.mci).isEmpty()) return false;
    const int32_t to = std::clamp(lngMilliseconds, 0, std::max(GetLength(), 0));
    if (MCISeekTo(state_.mci, to) != 0) return false;
    ++lngJumps_;
    // The seek stopped the device; what the player believes plays goes on.
    // The device keeps a pause by itself, and a stopped one stays where it
    // was put.
    if (playState_ == PlayerState::Playing) Play();
    return true;
}

int32_t clsMediaPlay::JoinAfter(int32_t SongID) const {
    if (loopMode_ == Looping::One) return SongID;
    if (loopMode_ != Looping::All) return -1;
    const int32_t U = state_.PlayListData.UBound();
    return (U == 0 || SongID < 0 || SongID >= U) ? 0 : SongID + 1;
}

QStringList clsMediaPlay::JoinFiles() const {
    const auto alone = [](const QString& path) {
        return path.isEmpty() || MciDeviceType(path) == QLatin1String("Sequencer");
    };
    // The tree's file, a failed one, or an entry whose line has gone plays
    // alone.
    if (!strFailedPath_.isEmpty() || !HasRecord(lngID_) ||
        state_.PlayListData[lngID_].FilePath != strGivenPath_ || alone(strGivenPath_))
        return {};
    // The decoders run ahead of what is heard by a second or two: files
    // queued to cover that much (lengths not known yet count as nothing), so
    // that short ones do not run the queue dry between two ticks.
    QStringList files;
    int32_t id = lngID_;
    int32_t seconds = 0;
    for (int ahead = 0; ahead < 8 && seconds < 3; ++ahead) {
        id = JoinAfter(id);
        if (!HasRecord(id)) break;
        const QString& path = state_.PlayListData[id].FilePath;
        if (alone(path)) break;
        files << path;
        seconds += state_.PlayListData[id].Length;
    }
    return files;
}

void clsMediaPlay::KeepJoinsQueued() {
    const bool playing =
        !bStopByUser_ && (playState_ == PlayerState::Playing || playState_ == PlayerState::Paused);
    const QStringList files = playing ? JoinFiles() : QStringList();
    if (files == queued_) return;
    queued_ = files;
    // A file that cannot be opened is not joined on: the end opens it as
    // before, which shows it as failed and goes past it.
    QStringList joinable;
    QList<double> gains;
    for (const QString& path : files) {
        if (!FileExists(path)) break;
        joinable << path;
        gains << TrackGainOf(path);
    }
    QueueJoins(state_.mci, joinable, gains);
}

void clsMediaPlay::TakeDeviceEvents() {
    for (const MediaEvent& event : qv::TakeDeviceEvents(state_.mci)) {
        if (event.kind != MediaEvent::Kind::TrackStarted) continue;
        queued_.clear();  // the device's queue moved on by one
        const QStringList files = JoinFiles();
        const int32_t next = JoinAfter(lngID_);
        if (!files.isEmpty() && files.front() == event.path && HasRecord(next)) {
            Joined(next);
            continue;
        }
        // The list or the mode changed as the file began: the end of the
        // track as the rule has it now, the entry opened anew.
        if (loopMode_ == Looping::All) {
            const int32_t U = state_.PlayListData.UBound();
            OpenPlay((U == 0 || lngID_ < 0 || lngID_ >= U) ? 0 : lngID_ + 1);
        } else if (loopMode_ == Looping::One) {
            OpenPlay(lngID_);
        } else {
            OpenFile(lngID_);
        }
    }
}

void clsMediaPlay::Joined(int32_t SongID) {
    const QString path = state_.PlayListData[SongID].FilePath;
    lngSkipped_ = 0;
    strGivenPath_ = path;
    strEntryPath_ = path;
    ++lngJumps_;
    state_.PlayListData.SetLength(SongID, MCIGetLength(state_.mci) / 1000);
    SelectLine(SongID);
    PlayingID(SongID);
    ShowPlayingInfo(state_, path);
}

void clsMediaPlay::SetVolume(int32_t lngVolume) {
    const int32_t volume = std::clamp(lngVolume, 0, 1000);
    const bool changed = volume != lngVolume_;
    lngVolume_ = volume;
    // With nothing open this fails, and the next open sends it.
    MCISetVolume(state_.mci, volume);
    if (view_) view_->ShowVolume(volume);
    if (changed)
        state_.WriteIniWithinSecond(QStringLiteral("Quorvane"), QStringLiteral("Volume"),
                                    QString::number(volume));
}

void clsMediaPlay::RestoreVolume(int32_t lngVolume) {
    lngVolume_ = std::clamp(lngVolume, 0, 1000);
    MCISetVolume(state_.mci, lngVolume_);
    if (view_) view_->ShowVolume(lngVolume_);
}

void clsMediaPlay::SaveVolume() {
    state_.ini.WriteIni(QStringLiteral("Quorvane"), QStringLiteral("Volume"),
                        QString::number(lngVolume_));
}

namespace {

int32_t KnownMode(int32_t lngMode) {
    return lngMode >= 0 && lngMode <= 2 ? lngMode : 1;
}

}  // namespace

void clsMediaPlay::SetReplayGainMode(int32_t lngMode) {
    const int32_t mode = KnownMode(lngMode);
    if (mode == lngReplayGain_) return;
    lngReplayGain_ = mode;
    // Nothing open answers no mode, and the next open sends its gain.
    if (!MCIGetMode(state_.mci).isEmpty()) SendTrackGain(strGivenPath_);
    queued_.clear();  // the files to join on are queued again, at their new gains
    state_.WriteIniWithinSecond(QStringLiteral("Quorvane"), QStringLiteral("ReplayGain"),
                                QString::number(mode));
}

void clsMediaPlay::RestoreReplayGain(int32_t lngMode, double dblPreampDb) {
    lngReplayGain_ = KnownMode(lngMode);
    dblPreampDb_ = dblPreampDb;
}

double clsMediaPlay::TrackGainOf(const QString& FilePath) const {
    // Off reads no tags at all.
    const auto mode = static_cast<qv::ReplayGainMode>(lngReplayGain_);
    return mode == qv::ReplayGainMode::Off
               ? 1.0
               : ReplayGainFactor(ReadReplayGain(FilePath), mode, dblPreampDb_);
}

void clsMediaPlay::SendTrackGain(const QString& FilePath) {
    MCISetTrackGain(state_.mci, TrackGainOf(FilePath));
}

}  // namespace qv
