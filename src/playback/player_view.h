// What the player, the monitor and the track panels show and ask of the main
// window: the transport's pictures, the status bar, the seek bar, the caption,
// the return from a preview and the playlist's lines. The program sets one over
// the real controls; without one the player changes no control and sees an
// empty playlist.
#pragma once

#include <QString>
#include <cstdint>

#include "app/settings.h"

namespace qv {

class PlayerView {
  public:
    virtual ~PlayerView() = default;

    // The main window is there and not unloaded: the buttons, the sliders
    // and the monitor act only then.
    virtual bool WindowOpen() = 0;

    // The loop button's picture and tooltip.
    virtual void ShowLoopMode(Looping mode) = 0;
    // The volume slider at lngVolume, 0 ... 1000.
    virtual void ShowVolume(int32_t lngVolume) = 0;
    // The play button's picture: the paused one, or the one of any other state.
    virtual void ShowPlayButton(bool paused) = 0;

    // Status panels 1 to 3 (title, artist, comment), each shown while it
    // holds text.
    virtual void ShowTrackInfo(const QString& title, const QString& artist,
                               const QString& comment) = 0;
    // Status panel 4, the mode.
    virtual void ShowMode(const QString& text) = 0;
    // Status panel 5, position and length.
    virtual void ShowTime(const QString& text) = 0;
    // The user holds the seek bar.
    virtual bool SeekBarHeld() = 0;
    // The seek bar over 0 ... lngLength, at lngPosition (milliseconds).
    virtual void ShowPosition(int32_t lngPosition, int32_t lngLength) = 0;
    // The main window's caption.
    virtual void ShowCaption(const QString& caption) = 0;

    // The return from a preview to the playing entry (Timer2): started
    // afresh, or called off.
    virtual void RestartPreviewReturn() = 0;
    virtual void StopPreviewReturn() = 0;

    // The number of lines in the playlist.
    virtual int32_t LineCount() = 0;
    // Selects playlist line lngIndex; the selection's click handling has run
    // by the time this returns.
    virtual void SelectLine(int32_t lngIndex) = 0;
    // The playlist line selected, -1 when none is.
    virtual int32_t SelectedLine() = 0;
};

}  // namespace qv
