// Mod_MCI: the program's thin layer over the media-control string interface,
// always on the alias "PlayData"; and GetMediaType, the media kind of a path.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "platform/mci/mci.h"
#include "platform/mci/media_device.h"

namespace qv {

// Each sends its fixed command string and hands back the result code.
int32_t MCIOpen(MciSender& mci, const QString& strFilePath);
int32_t MCIPlay(MciSender& mci);
int32_t MCIStop(MciSender& mci);
int32_t MCIClose(MciSender& mci);
int32_t MCIPause(MciSender& mci);
int32_t MCIResume(MciSender& mci);
int32_t MCISeekStart(MciSender& mci);
// "seek PlayData to <ms>": stopped there, or still paused when it was.
int32_t MCISeekTo(MciSender& mci, int32_t lngMilliseconds);
// "setaudio PlayData volume to <0 ... 1000>".
int32_t MCISetVolume(MciSender& mci, int32_t lngVolume);

// Not a string: the typed call for the open file's gain, a factor of its
// amplitude (MediaDevice::SetTrackGain of the device MciSender::Device
// names; an MCI error number when none is open).
int32_t MCISetTrackGain(MciSender& mci, double dblFactor);

// Queries: 0 or "" when nothing is open; their result codes are dropped.
int32_t MCIGetLength(MciSender& mci);    // milliseconds
int32_t MCIGetPosition(MciSender& mci);  // milliseconds
QString MCIGetMode(MciSender& mci);      // the device's own lower-case word
// "status PlayData output": kOutputPresent, kOutputNone or kOutputLost.
QString MCIGetOutput(MciSender& mci);

// The calls that have no command string, on the device of "PlayData": the
// files to join on after the open one and each one's gain
// (MediaDevice::QueueNext; 0, or an error number when nothing is open or the
// device plays each file alone), and what happened since the last call.
int32_t QueueJoins(MciSender& mci, const QStringList& paths, const QList<double>& gains);
std::vector<MediaEvent> TakeDeviceEvents(MciSender& mci);

// The name of the media kind of the path's extension in any letter case
// ("MP3", "MIDI", "WAVE", "CDAudio", ...: platform/media_kinds.h); "" for
// anything else.
QString GetMediaType(const QString& strFilePath);

// The device type that MCIOpen names for a path, by the same table ("" when
// the extension is not one of ours).
QString MciDeviceType(const QString& strFilePath);

// The leading-number reading of a reply: the decimal number at the start of
// the text (blanks and a sign allowed before it), 0 when there is none.
int32_t LeadingNumber(const QString& strText);

}  // namespace qv
