// The find bar's controls; the filtering itself is in app/find_filter.*.
#include "app/find_bar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "platform/find_text.h"

namespace qv {

FindBar::FindBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("fraFind"));
    setAccessibleName(QStringLiteral("fraFind"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setAccessibleName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QCoreApplication::translate(
        "Quorvane", "絞り込み: ファイル名・タイトル・アーティスト・アルバム (Enter で再生)"));
    txtFind->setClearButtonEnabled(true);
    txtFind->installEventFilter(this);
    layout->addWidget(txtFind);
    cmdFindClose = new QToolButton(this);
    cmdFindClose->setObjectName(QStringLiteral("cmdFindClose"));
    cmdFindClose->setAccessibleName(QStringLiteral("cmdFindClose"));
    cmdFindClose->setText(QStringLiteral("×"));
    cmdFindClose->setToolTip(QCoreApplication::translate("Quorvane", "閉じる (Esc)"));
    cmdFindClose->setAutoRaise(true);
    layout->addWidget(cmdFindClose);
    connect(txtFind, &QLineEdit::textChanged, this, &FindBar::queryChanged);
    connect(txtFind, &QLineEdit::returnPressed, this, &FindBar::accepted);
    connect(cmdFindClose, &QToolButton::clicked, this, &FindBar::Close);
    hide();
    // Placed from the start, though hidden, as every control of the window is.
    PlaceAtBottom();
    layout->activate();
}

void FindBar::Open() {
    if (isHidden()) before_ = window()->focusWidget();
    PlaceAtBottom();
    show();
    raise();
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
}

void FindBar::Close() {
    if (isHidden()) return;
    hide();
    // Quietly: closed() puts everything back at once.
    {
        const QSignalBlocker quiet(txtFind);
        txtFind->clear();
    }
    if (before_) before_->setFocus(Qt::OtherFocusReason);
    emit closed();
}

QString FindBar::Query() const {
    return FoldForFind(txtFind->text().trimmed());
}

void FindBar::PlaceAtBottom() {
    QWidget* window = parentWidget();
    if (!window) return;
    const int h = sizeHint().height();
    setGeometry(0, window->height() - h, window->width(), h);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFind && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Close();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace qv
