// Undo and redo of the playlist's lines: each command that changes them is one
// step, the entries it took away or put in kept, the playing entry followed by its path.
#pragma once

#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <vector>

#include "app/playlist_data.h"

namespace qv {

class ProgramState;

class PlayListUndo {
  public:
    // Steps kept; the oldest goes when one more is taken.
    static constexpr int kSteps = 100;

    explicit PlayListUndo(ProgramState& state);
    ~PlayListUndo();
    PlayListUndo(const PlayListUndo&) = delete;
    PlayListUndo& operator=(const PlayListUndo&) = delete;

    // Everything that changes the playlist while one is alive (the outermost
    // of nested ones counts) is one step: a remove, a drop of many files, a
    // walk of many folders with every event that runs while it walks. No step is taken
    // when the lines came out as they were.
    class Step {
      public:
        explicit Step(ProgramState& state);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

      private:
        PlayListUndo* undo_;
    };

    // The last step taken back, or the last one taken back made again. A
    // change goes through PlayListData as every edit does (the playlist is
    // kept as after any edit); nothing happens while a step is under way (a
    // walk runs) or with nothing to take back or make again. The device is
    // not touched. PlayingID follows the entry the player opened last, by its
    // path; when that entry is not in the list it names none (-1) and its
    // file goes on as the one the player has outside the playlist. The
    // selected entry stays selected, else the playing one is.
    void Undo();
    void Redo();

  private:
    class Change;
    void Begin();
    void End();
    // Puts the change's span back in place of the live run it stands for,
    // which the change keeps in turn.
    void Exchange(Change& change);
    // Has every change of the records since the last step been a step? Else
    // the steps kept no longer fit the list, and are let go.
    bool InStep();
    // The path of the entry PlayingID names; "" for none.
    QString PlayingPath() const;

    ProgramState& state_;
    QUndoStack stack_;
    int depth_ = 0;
    // The records as the open step found them.
    std::vector<PlayListItem> before_;
    uint64_t revision_ = 0;  // PlayListData's revision the steps end at
};

}  // namespace qv
