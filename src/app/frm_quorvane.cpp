// The main window: its controls at their design places (twips), the resize
// rule, and the load, unload and list-click handlers, which hand their work
// to the program through the window's signals.
#include "app/frm_quorvane.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <type_traits>

#include "app/controls.h"
#include "app/find_bar.h"
#include "app/main_layout.h"
#include "app/pictures.h"
#include "app/tree_view.h"
#include "app/twips.h"

namespace qv {
namespace {

constexpr int kStatusBarHeight = 255;
// The time panel's least width: 150 pixels at 96 dpi, room enough to aim
// the position bar over it.
constexpr int kSeekWidth = 2250;
const QColor kStripColour(0x40, 0x40, 0x40);

template <typename W>
W* Named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    if constexpr (std::is_base_of_v<QWidget, W>) w->setAccessibleName(QString::fromLatin1(name));
    return w;
}

QFrame* Strip(QWidget* parent, const char* name) {
    auto* frame = Named(new QFrame(parent), name);
    frame->setFrameShape(QFrame::NoFrame);
    frame->setAutoFillBackground(true);
    QPalette pal = frame->palette();
    pal.setColor(QPalette::Window, kStripColour);
    frame->setPalette(pal);
    return frame;
}

ClickLabel* Image(QWidget* parent, const char* name, const QPixmap& picture = {}) {
    auto* image = Named(new ClickLabel(parent), name);
    image->setScaledContents(true);
    if (!picture.isNull()) image->setPixmap(picture);
    return image;
}

ClickLabel* StripLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = Named(new ClickLabel(caption, parent), name);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    return label;
}

}  // namespace

frmQuorvane::frmQuorvane() {
    Named(this, "frmQuorvane");
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowIcon(AppIcon());
    ImageList1 = TreeImages();

    TV1 = Named(new TreeView(this), "TV1");
    TV1->setImages(ImageList1);
    TV1->setIconSize(QSize(16, 16));
    TV1->setDragEnabled(true);
    TV1->setAcceptDrops(true);
    Place(TV1, 60, 60, 4395, 5415);

    Frame1 = Named(new QGroupBox(QCoreApplication::translate("Quorvane", "メディアの検索"), this),
                   "Frame1");
    Place(Frame1, 4560, 60, 3795, 915);
    Text1 = Named(new QLineEdit(Frame1), "Text1");
    Text1->setAcceptDrops(true);
    Place(Text1, 60, 240, 3615, 315);
    chkSF =
        Named(new QCheckBox(QCoreApplication::translate("Quorvane", "サブフォルダも検索"), Frame1),
              "chkSF");
    Place(chkSF, 120, 600, 1875, 255);
    cmdScan = Named(new QPushButton(QCoreApplication::translate("Quorvane", "スキャン"), Frame1),
                    "cmdScan");
    Place(cmdScan, 2040, 600, 855, 255);
    cmdRef = Named(new QPushButton(QCoreApplication::translate("Quorvane", "参照..."), Frame1),
                   "cmdRef");
    Place(cmdRef, 3000, 600, 675, 255);

    frameOperation = Strip(this, "frameOperation");
    Place(frameOperation, 4560, 1020, 3795, 270);
    imgPlay = Image(frameOperation, "imgPlay");
    Place(imgPlay, 180, 0, 525, 240);
    imgStop = Image(frameOperation, "imgStop", StopPicture());
    Place(imgStop, 960, 45, 180, 195);
    imgREW = Image(frameOperation, "imgREW", PrevPicture());
    imgREW->setToolTip(QStringLiteral("Previous"));
    Place(imgREW, 1380, 45, 360, 195);
    imgFF = Image(frameOperation, "imgFF", NextPicture());
    imgFF->setToolTip(QStringLiteral("Next"));
    Place(imgFF, 1920, 45, 360, 195);
    imgLoop = Image(frameOperation, "imgLoop");
    Place(imgLoop, 3180, 0, 435, 270);
    // Picture holders below the strip's visible height: never seen.
    imgPlayOff = Image(frameOperation, "imgPlayOff", PlayOffPicture());
    Place(imgPlayOff, 240, 300, 525, 240);
    imgPlayOn = Image(frameOperation, "imgPlayOn", PlayOnPicture());
    Place(imgPlayOn, 1200, 300, 525, 240);
    imgLoopOff = Image(frameOperation, "imgLoopOff", LoopOffPicture());
    Place(imgLoopOff, 2400, 300, 435, 270);
    imgLoopOne = Image(frameOperation, "imgLoopOne", LoopOnePicture());
    Place(imgLoopOne, 2940, 300, 435, 270);
    imgLoopAll = Image(frameOperation, "imgLoopAll", LoopAllPicture());
    Place(imgLoopAll, 3420, 300, 435, 270);
    sldVolume = Named(new StripSlider(StripSlider::Look::Wedge, frameOperation), "sldVolume");
    sldVolume->setRange(0, 1000);
    sldVolume->setSingleStep(50);
    sldVolume->setValue(1000);
    sldVolume->setToolTip(QStringLiteral("Volume"));
    // Its popup chooses the ReplayGain (playback/replay_gain_menu).
    sldVolume->setContextMenuPolicy(Qt::CustomContextMenu);
    Place(sldVolume, 2400, 45, 720, 195);

    frameListOperation = Strip(this, "frameListOperation");
    Place(frameListOperation, 4560, 1320, 3795, 195);
    lblShuffle = StripLabel(frameListOperation, "lblShuffle", QStringLiteral("Shuffle"));
    Place(lblShuffle, 60, 0, 690, 195);
    imgUp = Image(frameListOperation, "imgUp", UpPicture());
    Place(imgUp, 900, 0, 195, 180);
    imgDown = Image(frameListOperation, "imgDown", DownPicture());
    Place(imgDown, 1140, 0, 195, 195);
    lblRemove = StripLabel(frameListOperation, "lblRemove", QStringLiteral("Remove"));
    Place(lblRemove, 1740, 0, 780, 195);
    lblClear = StripLabel(frameListOperation, "lblClear", QStringLiteral("Clear"));
    Place(lblClear, 2640, 0, 510, 195);
    lblSave = StripLabel(frameListOperation, "lblSave", QStringLiteral("Save"));
    Place(lblSave, 3240, 0, 480, 195);

    lstPL = Named(new QListWidget(this), "lstPL");
    lstPL->setAcceptDrops(true);
    lstPL->setSelectionMode(QAbstractItemView::SingleSelection);
    lstPL->setUniformItemSizes(true);  // keeps 20,000 lines quick to add
    Place(lstPL, 4560, 1560, 3795, 4200);
    connect(lstPL, &QListWidget::itemSelectionChanged, this, &frmQuorvane::lstPL_Click);

    SB1 = Named(new QStatusBar(this), "SB1");
    SB1->setSizeGripEnabled(true);
    // 255 twips is 17 pixels: no room for the status bar's own margins.
    SB1->setContentsMargins(0, 0, 0, 0);
    const QStringList words = {QCoreApplication::translate("Quorvane", "タイトル"),
                               QCoreApplication::translate("Quorvane", "アーティスト"),
                               QCoreApplication::translate("Quorvane", "コメント"),
                               QCoreApplication::translate("Quorvane", "状態"),
                               QCoreApplication::translate("Quorvane", "再生時間")};
    const int stretch[] = {3, 2, 2, 0, 0};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new StatusPanel(words[i], SB1);
        const QString name = QStringLiteral("SB1.%1").arg(i + 1);
        panel->setObjectName(name);
        panel->setAccessibleName(name);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(2, 0, 2, 0);
        panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        if (i >= 3) panel->setMinimumWidth(TwipsToPixels(i == 3 ? 1100 : kSeekWidth, LogicalDpi()));
        SB1->addWidget(panel, stretch[i]);
        panels_.append(panel);
    }
    // The position lies over the time panel, which tells it in figures: the
    // bar is the status bar's whole height there, far from any command that
    // changes the playlist, and the panel keeps its name and its text.
    sldSeek = Named(new StripSlider(StripSlider::Look::Tint, SB1), "sldSeek");
    sldSeek->setRange(0, 0);
    sldSeek->setSingleStep(5000);
    sldSeek->setToolTip(QStringLiteral("Seek"));
    sldSeek->setCursor(Qt::PointingHandCursor);
    sldSeek->Cover(panels_[4]);

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(50);
    Timer1->start();
    Timer2 = Named(new QTimer(this), "Timer2");
    Timer2->setInterval(1700);
    Timer2->setSingleShot(true);
    Timer2->setTimerType(Qt::PreciseTimer);
    // Made last, so that when shown it lies over every other control.
    fraFind = new FindBar(this);

    setTabOrder(lstPL, TV1);
    resize(TwipsToPixels(kDefaultWidth, LogicalDpi()), TwipsToPixels(kDefaultHeight, LogicalDpi()));
}

frmQuorvane::~frmQuorvane() {
    // The controls outlive this part of the window by a moment (QWidget
    // deletes them); none of their last signals may reach a handler here.
    unloaded_ = true;
    for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
    // Helpers attached to the window (event filters, timers) go first, while
    // the window they reach into is still whole.
    QList<QPointer<QObject>> helpers;
    for (QObject* child : children()) {
        if (!child->isWidgetType()) helpers.append(child);
    }
    for (const QPointer<QObject>& helper : helpers) delete helper.data();
}

void frmQuorvane::Place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(TwipsRect(left, top, width, height));
}

void frmQuorvane::Form_Load() {
    emit loading();
}

void frmQuorvane::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    emit unloading();
}

void frmQuorvane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SettleFrame();
    Form_Resize();
    if (isVisible()) emit geometryChanged();
}

void frmQuorvane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    SettleFrame();
}

void frmQuorvane::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    SettleFrame();
    if (isVisible()) emit geometryChanged();
}

void frmQuorvane::SettleFrame() {
    // The window manager's frame is only known once the window is shown; the
    // stored size is that of the outer rectangle, so the client area shrinks
    // by the frame once, and the window keeps its stored size run after run.
    if (frameSettled_ || !isVisible() || restoredPixels_.isNull()) return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.isEmpty()) return;
    frameSettled_ = true;
    if (isMinimized() || isMaximized()) return;
    resize(std::max(1, placedOuter_.width() - frame.width()),
           std::max(1, placedOuter_.height() - frame.height()));
}

void frmQuorvane::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void frmQuorvane::Form_Resize() {
    const double dpi = LogicalDpi();
    // A minimized window has no client area at all, so every size below is
    // invalid and skipped; the controls stay as they were.
    const int W = isMinimized() ? 0 : PixelsToTwips(width(), dpi);
    const int H = isMinimized() ? 0 : PixelsToTwips(height(), dpi);
    const int S = kStatusBarHeight;
    SB1->setGeometry(0, height() - TwipsToPixels(S, dpi), width(), TwipsToPixels(S, dpi));

    const MainLayout l = ComputeMainLayout(W, H, S, tv1WidthTwips_);
    if (l.tv1Height) TV1->resize(TV1->width(), TwipsToPixels(*l.tv1Height, dpi));
    if (l.lstHeight) lstPL->resize(lstPL->width(), TwipsToPixels(*l.lstHeight, dpi));
    if (l.tv1Width) {
        tv1WidthTwips_ = *l.tv1Width;
        TV1->resize(TwipsToPixels(*l.tv1Width, dpi), TV1->height());
    }
    const int left = TwipsToPixels(l.rightLeft, dpi);
    for (QWidget* w :
         {static_cast<QWidget*>(lstPL), static_cast<QWidget*>(Frame1),
          static_cast<QWidget*>(frameOperation), static_cast<QWidget*>(frameListOperation)}) {
        w->move(left, w->y());
    }
    if (fraFind->isVisible()) fraFind->PlaceAtBottom();
}

void frmQuorvane::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmQuorvane::lstPL_Click() {
    if (unloaded_) return;
    const int s = lstPL->currentRow();
    if (s < 0 || !lstPL->item(s)->isSelected()) return;
    emit lineSelected(s);
}

void frmQuorvane::MoveTwips(const TwipsGeometry& g) {
    const double dpi = LogicalDpi();
    const QRect outer(TwipsToPixels(g.Left, dpi), TwipsToPixels(g.Top, dpi),
                      TwipsToPixels(g.Width, dpi), TwipsToPixels(g.Height, dpi));
    restoredTwips_ = g;
    restoredPixels_ = outer;
    const QRect placed = PlaceOnScreen(outer);
    placedOuter_ = placed;
    const QSize frame = frameGeometry().size() - size();
    move(placed.topLeft());
    resize(std::max(1, placed.width() - frame.width()),
           std::max(1, placed.height() - frame.height()));
}

TwipsGeometry frmQuorvane::NormalGeometryTwips() const {
    QRect outer = frameGeometry();
    if (isMinimized() || isMaximized() || isFullScreen()) {
        const QRect normal = normalGeometry();
        const QMargins frame(geometry().left() - frameGeometry().left(),
                             geometry().top() - frameGeometry().top(),
                             frameGeometry().right() - geometry().right(),
                             frameGeometry().bottom() - geometry().bottom());
        if (normal.isValid()) outer = normal.marginsAdded(frame);
    }
    // The window as it was placed: hand back the numbers it was given, so the
    // stored twips survive a run unchanged whatever the rounding to pixels.
    if (outer == restoredPixels_) return restoredTwips_;
    const double dpi = LogicalDpi();
    return TwipsGeometry{PixelsToTwips(outer.x(), dpi), PixelsToTwips(outer.y(), dpi),
                         PixelsToTwips(outer.width(), dpi), PixelsToTwips(outer.height(), dpi)};
}

}  // namespace qv
