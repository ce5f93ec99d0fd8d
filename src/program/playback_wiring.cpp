// The wiring of the playback controls. The connections hang on a helper
// object of the window, which the window deletes before its controls, so no
// tick or click reaches a handler while the window is taken apart.
#include "program/playback_wiring.h"

#include <QCheckBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "app/controls.h"
#include "app/frm_hide_menu.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "app/tree_view.h"
#include "playback/monitor.h"
#include "playback/replay_gain_menu.h"
#include "playback/transport.h"

namespace qv {
namespace {

const QString kWiringName = QStringLiteral("qvPlaybackEvents");
// What one press of an arrow key moves.
constexpr int32_t kArrowSeekMs = 5000;

}  // namespace

void ConnectPlayback(ProgramState& state, frmQuorvane& form) {
    // Wired once per window: a second set of connections would run every
    // click twice (play then at once pause) and tick twice as often.
    if (form.findChild<QObject*>(kWiringName, Qt::FindDirectChildrenOnly)) return;
    auto* context = new QObject(&form);
    context->setObjectName(kWiringName);
    QObject::connect(form.Timer1, &QTimer::timeout, context, [&state] { Timer1_Timer(state); });
    QObject::connect(form.Timer2, &QTimer::timeout, context, [&state] { Timer2_Timer(state); });
    QObject::connect(form.imgPlay, &ClickLabel::clicked, context,
                     [&state] { imgPlay_Click(state); });
    QObject::connect(form.imgStop, &ClickLabel::clicked, context,
                     [&state] { imgStop_Click(state); });
    QObject::connect(form.imgFF, &ClickLabel::clicked, context, [&state] { imgFF_Click(state); });
    QObject::connect(form.imgREW, &ClickLabel::clicked, context, [&state] { imgREW_Click(state); });
    QObject::connect(form.imgLoop, &ClickLabel::clicked, context,
                     [&state] { imgLoop_Click(state); });
    QObject::connect(form.sldSeek, &StripSlider::picked, context,
                     [&state](int value) { sldSeek_Change(state, value); });
    QObject::connect(form.sldVolume, &QAbstractSlider::valueChanged, context,
                     [&state](int value) { sldVolume_Change(state, value); });
    QObject::connect(form.sldVolume, &QWidget::customContextMenuRequested, context,
                     [&state, &form](const QPoint& at) {
                         sldVolume_ContextMenu(state, form.sldVolume->mapToGlobal(at));
                     });
    frmHideMenu& menus = state.HideMenu();
    for (const auto& [item, mode] : {std::pair{menus.mnReplayGainOff, 0},
                                     {menus.mnReplayGainTrack, 1},
                                     {menus.mnReplayGainAlbum, 2}})
        QObject::connect(item, &QAction::triggered, context,
                         [&state, m = mode] { mnReplayGain_Click(state, m); });

    // The window's keys: the space plays or pauses as imgPlay does, the
    // arrows move five seconds back or on. The folder box keeps them for its
    // text by itself; the tree keeps its arrows, which open and close
    // folders, and the buttons and the check box their space.
    const auto key = [&form, context](Qt::Key k, bool repeat, auto handler) {
        auto* shortcut = new QShortcut(QKeySequence(k), &form);
        shortcut->setAutoRepeat(repeat);
        QObject::connect(shortcut, &QShortcut::activated, context, handler);
    };
    key(Qt::Key_Space, false, [&state] { imgPlay_Click(state); });
    key(Qt::Key_Left, true, [&state] { SeekBy(state, -kArrowSeekMs); });
    key(Qt::Key_Right, true, [&state] { SeekBy(state, kArrowSeekMs); });
    KeepOwnKeys(form.TV1, {Qt::Key_Left, Qt::Key_Right});
    for (QWidget* w : QWidgetList{form.cmdScan, form.cmdRef, form.chkSF})
        KeepOwnKeys(w, {Qt::Key_Space});
}

}  // namespace qv
