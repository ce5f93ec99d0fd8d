// The program's pictures, drawn at start-up: transport and list buttons, the
// loop-mode pictures, the eleven tree images, the splash banner and the icon.
#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

namespace qv {

QPixmap PlayOnPicture();   // 35 x 16: play and pause, bright
QPixmap PlayOffPicture();  // 35 x 16: the same, dimmed (shown while paused)
QPixmap StopPicture();     // 12 x 13
QPixmap PrevPicture();     // 24 x 13
QPixmap NextPicture();     // 24 x 13
QPixmap LoopOffPicture();  // 29 x 18: looping arrows struck through by a red cross
QPixmap LoopAllPicture();  // 29 x 18: looping arrows
QPixmap LoopOnePicture();  // 29 x 18: looping arrows with a "1"
QPixmap UpPicture();       // 13 x 12
QPixmap DownPicture();     // 13 x 13
// The tree images 1 to 11 (16 x 16), at indexes 0 to 10.
QList<QPixmap> TreeImages();
// Tree images by number. Each media kind's own is in its row of
// platform/media_kinds.cpp.
constexpr int kImageFolder = 4;
constexpr int kImagePlayList = 9;
QPixmap BannerPicture();    // 213 x 23: the product name
QPixmap SubtitlePicture();  // 246 x 13
QPixmap IconPicture();      // 32 x 32: the program icon
QIcon AppIcon();

}  // namespace qv
