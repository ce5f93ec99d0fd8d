// The wiring of the playback controls. The connections hang on a helper
// object of the window, which the window deletes before its controls, so no
// tick or click reaches a handler while the window is taken apart.
#include "program/playback_wiring.h"

#include <QTimer>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "playback/monitor.h"
#include "playback/transport.h"

namespace qv {
namespace {

const QString kWiringName = QStringLiteral("qvPlaybackEvents");

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
}

}  // namespace qv
