// The save-playlist dialog's controls at their design places and its
// handlers; what OK does with the name belongs to the playlist-saving code.
#include "playlist/frm_save_pl.h"

#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "app/controls.h"
#include "app/pictures.h"
#include "app/program_state.h"
#include "app/twips.h"
#include "playlist/save_playlist.h"

namespace qv {
namespace {
template <typename W>
W* Named(W* w, const char* name, const QRect& at) {
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(QString::fromLatin1(name));
    w->setGeometry(at);
    return w;
}
}  // namespace

QString PlayListFolder(const ProgramState& state) {
    return state.ini.GetAppPath() + QStringLiteral("PlayLists/");
}

frmSavePL::frmSavePL(ProgramState& state)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      state_(state) {
    setObjectName(QStringLiteral("frmSavePL"));
    setAccessibleName(QStringLiteral("frmSavePL"));
    setWindowTitle(QCoreApplication::translate("Quorvane", "プレイリストの保存"));
    setWindowIcon(AppIcon());
    setFixedSize(TwipsRect(0, 0, 5940, 3105).size());

    File1 = Named(new FileListBox(this), "File1", TwipsRect(60, 60, 2595, 2970));
    File1->setPattern(QStringLiteral("*.lst"));
    Frame1 =
        Named(new QGroupBox(QCoreApplication::translate("Quorvane", "保存プレイリスト名"), this),
              "Frame1", TwipsRect(2700, 120, 3195, 975));
    Text1 = Named(new QLineEdit(Frame1), "Text1", TwipsRect(60, 180, 3075, 255));
    cmdOK = Named(new QPushButton(QStringLiteral("OK"), Frame1), "cmdOK",
                  TwipsRect(1020, 540, 855, 315));
    cmdCancel =
        Named(new QPushButton(QCoreApplication::translate("Quorvane", "キャンセル"), Frame1),
              "cmdCancel", TwipsRect(2040, 540, 1035, 315));
    // Enter in the name box is the name box's own business, not the default button's.
    cmdOK->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    Label2 = Named(new QLabel(QStringLiteral("Quorvane"), this), "Label2",
                   TwipsRect(3300, 2100, 2595, 435));
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(15.75);
    Label2->setFont(font);
    QPalette pal = Label2->palette();
    pal.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x40));
    Label2->setPalette(pal);
    Image1 = Named(new QLabel(this), "Image1", TwipsRect(2760, 2040, 480, 480));
    Image1->setScaledContents(true);
    Image1->setPixmap(IconPicture());

    connect(File1, &QListWidget::itemClicked, this, [this] { File1_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    // QLineEdit would select a word on a double click and pass Enter on to the dialog.
    Text1->installEventFilter(this);
}

void frmSavePL::Form_Load() {
    const QString folder = PlayListFolder(state_);
    if (!QDir(folder).exists()) QDir().mkpath(folder);
    File1->setPath(folder);
}

void frmSavePL::File1_Click() {
    if (QListWidgetItem* item = File1->currentItem()) Text1->setText(item->text());
}

void frmSavePL::Text1_DblClick() {
    Text1->selectAll();
}

bool frmSavePL::Text1_KeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    cmdOK_Click();
    return true;
}

void frmSavePL::cmdOK_Click() {
    if (SaveFromDialog(state_)) accept();
}

void frmSavePL::cmdCancel_Click() {
    reject();
}

bool frmSavePL::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1) {
        if (event->type() == QEvent::MouseButtonDblClick &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            Text1_DblClick();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            return Text1_KeyPress(static_cast<QKeyEvent*>(event)->key());
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qv
