// clsMediaPlay, the player: the current playlist entry, the play state, the
// loop mode (with its button) and the flag that tells a stop by the user from
// the end of a track. Opening and playing an entry go through the media layer.
#pragma once

#include <QString>
#include <cstdint>

namespace qv {

class ProgramState;

class clsMediaPlay {
  public:
    explicit clsMediaPlay(ProgramState& state);

    // 0 "Loop-Off", 1 "Loop-All", 2 "Loop-One"; setting it first brings the
    // loop button's picture and tooltip in line (other values leave it as it is).
    int32_t LoopMode() const { return lLoopMode_; }
    void LoopMode(int32_t lLoopMode);

    // The play state text; setting "" stores "ready".
    QString PlayState() const { return strPlayState_; }
    void PlayState(const QString& strPlayState);

    int32_t PlayingID() const { return lngID_; }
    void PlayingID(int32_t lngID) { lngID_ = lngID; }

    bool StopByUser() const { return bStopByUser_; }
    void StopByUser(bool bStopByUser) { bStopByUser_ = bStopByUser; }

    // Stops and closes the device, opens entry SongID, records its length,
    // selects its line and makes it the current entry. An index naming no
    // record is ignored.
    void OpenFile(int32_t SongID);
    // OpenFile, then Play.
    void OpenPlay(int32_t SongID);
    // Starts the device; the state is "PLAYING" whatever the device answered.
    void Play();

  private:
    ProgramState& state_;
    int32_t lngID_ = 0;
    bool bStopByUser_ = false;
    int32_t lLoopMode_ = 0;
    QString strPlayState_;
};

}  // namespace qv
