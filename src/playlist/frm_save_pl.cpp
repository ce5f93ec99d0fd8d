// The save-playlist dialog's controls at their design places and its load
// handler. What its buttons do belongs to the playlist-saving code.
#include "playlist/frm_save_pl.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/controls.h"
#include "app/pictures.h"
#include "app/program_state.h"
#include "app/twips.h"

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
    setWindowTitle(QStringLiteral("プレイリストの保存"));
    setWindowIcon(AppIcon());
    setFixedSize(TwipsRect(0, 0, 5940, 3105).size());

    File1 = Named(new FileListBox(this), "File1", TwipsRect(60, 60, 2595, 2970));
    File1->setPattern(QStringLiteral("*.lst"));
    Frame1 = Named(new QGroupBox(QStringLiteral("保存プレイリスト名"), this), "Frame1",
                   TwipsRect(2700, 120, 3195, 975));
    Text1 = Named(new QLineEdit(Frame1), "Text1", TwipsRect(60, 180, 3075, 255));
    cmdOK = Named(new QPushButton(QStringLiteral("OK"), Frame1), "cmdOK",
                  TwipsRect(1020, 540, 855, 315));
    cmdCancel = Named(new QPushButton(QStringLiteral("キャンセル"), Frame1), "cmdCancel",
                      TwipsRect(2040, 540, 1035, 315));
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
}

void frmSavePL::Form_Load() {
    const QString folder = PlayListFolder(state_);
    if (!QDir(folder).exists()) QDir().mkpath(folder);
    File1->setPath(folder);
}

}  // namespace qv
