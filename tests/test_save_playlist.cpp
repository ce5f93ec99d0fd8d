// The save dialog and the "Save" command on real widgets: names refused or
// completed with ".lst", the overwrite question, Enter and the mouse in the
// dialog, failed writes that keep everything, and the modal dialog opened anew.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "app/tree_view.h"
#include "platform/textcodec.h"
#include "playlist/cls_playlist.h"
#include "playlist/frm_save_pl.h"
#include "playlist/playlist_file.h"
#include "playlist/save_playlist.h"
#include "program/playlist_wiring.h"
#include "support/file_size_limit.h"
#include "support/media_files.h"
#include "support/test_program.h"

namespace qv {
namespace {

using qvtest::EntriesOf;
using qvtest::ReadAll;

class SavePlayList : public ::testing::Test {
  protected:
    void SetUp() override {
        p.MakeObjects();
        p.state->mainForm->TV1->AddNode("", "root", "r", 1);
        p.state->mainForm->TV1->AddNode("root", "RegisteredPlayList", "p", 2);
        a = p.dir.write("music/a.wav", qvtest::WavBytes());
        b = p.dir.write("music/曲/さくら.mid", qvtest::MidiBytes());
        p.state->objPlayList->AddToPlayList(a);
        p.state->objPlayList->AddToPlayList(b);
        dialog().show();
    }
    frmSavePL& dialog() { return *p.state->savePL; }
    QString folder() { return PlayListFolder(*p.state); }
    // The program's line format: code page 932 when a path fits it, CR LF.
    QByteArray Expected() {
        QByteArray sakura;
        EXPECT_TRUE(EncodeCp932(b, &sakura));
        return a.toLatin1() + "\r\n" + sakura + "\r\n";
    }
    void Empty() {
        p.state->objPlayList->Clear();
        p.state->PlayListData.Reset();
    }
    int Registered() { return p.state->mainForm->TV1->Node("RegisteredPlayList")->childCount(); }
    void Press(QWidget* w, int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
    }
    // Types a name and presses OK.
    void Ok(const QString& typed) {
        dialog().Text1->setText(typed);
        dialog().cmdOK->click();
    }
    QString Asked(int i = 0) { return p.dialogs.asked.value(i).prompt; }
    // The dialog is still open with the whole name selected, and nothing new on disk.
    void ExpectStillOpen(const QString& typed, const QStringList& filesBefore) {
        EXPECT_TRUE(dialog().isVisible());
        EXPECT_EQ(dialog().Text1->text(), typed);
        EXPECT_EQ(dialog().Text1->selectedText(), typed);
        EXPECT_EQ(EntriesOf(folder()), filesBefore);
    }

    qvtest::TestProgram p;
    QString a, b;
};

TEST_F(SavePlayList, NamesGetTheirExtensionOnce) {
    struct Case {
        const char* typed;
        const char* saved;
        const char* node;
    };
    for (const Case& c :
         {Case{"mylist", "mylist.lst", "mylist"}, Case{"mylist.LST", "mylist.LST", "mylist"},
          Case{"a.Lst", "a.Lst", "a"}, Case{"a.txt", "a.txt.lst", "a.txt"},
          Case{"lst", "lst.lst", "lst"}, Case{"旅の歌", "旅の歌.lst", "旅の歌"}}) {
        SCOPED_TRACE(c.typed);
        dialog().show();
        const int nodes = Registered();
        Ok(QString::fromUtf8(c.typed));
        const QString path = folder() + QString::fromUtf8(c.saved);
        EXPECT_FALSE(dialog().isVisible());
        EXPECT_EQ(ReadAll(path), Expected());
        EXPECT_EQ(p.state->ini.ReadIni("File", "LastPlayList"), path);
        ASSERT_EQ(Registered(), nodes + 1);
        QTreeWidgetItem* node = p.state->mainForm->TV1->Node(path);
        ASSERT_TRUE(node);
        EXPECT_EQ(node->text(0), QString::fromUtf8(c.node));
    }
    EXPECT_TRUE(p.dialogs.asked.isEmpty());
    // The Japanese name's file reads back into the same playlist.
    Empty();
    EXPECT_EQ(LoadPlayListFile(*p.state, folder() + "旅の歌.lst"), 2);
    EXPECT_EQ(p.state->PlayListData[0].FilePath, a);
    EXPECT_EQ(p.state->PlayListData[1].FilePath, b);
}

TEST_F(SavePlayList, RefusedNamesKeepTheDialogOpen) {
    const QString badChar = "ファイル名に「/」などの使えない文字が含まれています";
    const QString dot = "「.」で始まる名前は使えません";
    const struct {
        QString typed;
        QString message;
    } cases[] = {{"", "ファイル名を入力してください"},
                 {"sub/list", badChar},
                 {QString("a") + QChar(0) + "b", badChar},
                 {".", dot},
                 {"..", dot},
                 {".hidden", dot}};
    const QStringList before = EntriesOf(folder());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        p.dialogs.asked.clear();
        Ok(c.typed);
        ASSERT_EQ(p.dialogs.asked.size(), 1);
        EXPECT_EQ(Asked(), c.message);
        EXPECT_EQ(p.dialogs.asked[0].buttons, MsgButtons::OK);
        EXPECT_EQ(p.dialogs.asked[0].title, "Quorvane");
        ExpectStillOpen(c.typed, before);
    }
    EXPECT_EQ(Registered(), 0);
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastPlayList"), "");
}

TEST_F(SavePlayList, OverwriteAskedForTheExactListedNameOnly) {
    p.dir.write("PlayLists/old.lst", "old\r\n");
    dialog().Form_Load();
    RegisterPlayLists(*p.state);
    const QString old = folder() + "old.lst";
    const QStringList before = EntriesOf(folder());

    p.dialogs.answers = {MsgAnswer::No};
    Ok("old");
    ASSERT_EQ(p.dialogs.asked.size(), 1);
    const qvtest::AskedMessage& q = p.dialogs.asked[0];
    EXPECT_EQ(q.prompt, "old.lstはすでに存在します、上書きしてよろしいですか?");
    EXPECT_EQ(q.buttons, MsgButtons::YesNo);
    EXPECT_EQ(q.icon, MsgIcon::Information);
    EXPECT_EQ(q.title, "上書き確認");
    ExpectStillOpen("old", before);
    EXPECT_EQ(ReadAll(old), QByteArray("old\r\n"));

    p.dialogs.answers = {MsgAnswer::Yes};
    Ok("old.lst");
    EXPECT_EQ(p.dialogs.asked.size(), 2);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(ReadAll(old), Expected());
    EXPECT_EQ(Registered(), 1);  // the node was there already

    // Another letter case names another file: no question.
    dialog().show();
    Ok("OLD");
    EXPECT_EQ(p.dialogs.asked.size(), 2);
    EXPECT_EQ(ReadAll(folder() + "OLD.lst"), Expected());
    EXPECT_EQ(Registered(), 2);
}

TEST_F(SavePlayList, KeysAndMouseInTheDialog) {
    QLineEdit& text = *dialog().Text1;
    text.setFocus();
    Press(&text, Qt::Key_X, "x");  // other keys still type
    EXPECT_EQ(text.text(), "x");
    text.setText("two words");
    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton}) {  // the left only
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(3, 3), text.mapToGlobal(QPointF(3, 3)),
                        button, button, Qt::NoModifier);
        QApplication::sendEvent(&text, &dbl);
        EXPECT_EQ(text.selectedText(), button == Qt::LeftButton ? "two words" : "");
    }

    p.dir.write("PlayLists/picked.lst", "\r\n");
    dialog().Form_Load();
    QListWidget& list = *dialog().File1;
    ASSERT_EQ(list.count(), 1);
    const QPoint at = list.visualItemRect(list.item(0)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, list.viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &click);
    }
    EXPECT_EQ(text.text(), "picked.lst");

    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {  // Enter acts as OK
        dialog().show();
        text.setText(QString::number(key));
        Press(&text, key);
        EXPECT_FALSE(dialog().isVisible());
        EXPECT_EQ(ReadAll(folder() + QString::number(key) + ".lst"), Expected());
    }

    dialog().show();
    text.setText("cancelled");
    dialog().cmdCancel->click();
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_FALSE(QFile::exists(folder() + "cancelled.lst"));
}

TEST_F(SavePlayList, FailedWritesLoseNothing) {
    p.dir.write("PlayLists/kept.lst", "old\r\n");
    dialog().Form_Load();
    p.state->objPlayList->AddToPlayList(p.dir.write("music/" + QString(200, 'x') + ".wav", "x"));
    const QStringList before = EntriesOf(folder());
    {
        qvtest::FileSizeLimit full(100);  // a full disk
        ASSERT_TRUE(full.ok());
        p.dialogs.answers = {MsgAnswer::Yes, MsgAnswer::OK};
        Ok("kept");
    }
    ASSERT_EQ(p.dialogs.asked.size(), 2);
    EXPECT_EQ(Asked(1), folder() +
                            "kept.lst に保存できませんでした。"
                            "ディスクの空きと書き込みの権限を確かめてください");
    ExpectStillOpen("kept", before);
    EXPECT_EQ(ReadAll(folder() + "kept.lst"), QByteArray("old\r\n"));
    EXPECT_EQ(p.state->PlayListData.Count(), 3);

    const QString tooLong(300, QChar(0x3042));  // longer than a file name may be
    Ok(tooLong);
    ASSERT_EQ(p.dialogs.asked.size(), 3);
    EXPECT_TRUE(Asked(2).endsWith("ディスクの空きと書き込みの権限を確かめてください"));
    ExpectStillOpen(tooLong, before);
    EXPECT_EQ(Registered(), 0);
}

TEST_F(SavePlayList, SaveCommandOpensTheDialogAnew) {
    ConnectSavePlayList(*p.state, *p.state->mainForm);
    ConnectSavePlayList(*p.state, *p.state->mainForm);
    dialog().hide();
    dialog().Text1->setText("stale");
    p.dir.write("PlayLists/later.lst", "\r\n");  // appeared after the start
    QStringList listed;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        modal = QApplication::activeModalWidget() == &dialog();
        listed = dialog().File1->Names();
        EXPECT_EQ(dialog().Text1->text(), "");
        dialog().Text1->setText("later");
        p.dialogs.answers = {MsgAnswer::Yes};
        Press(dialog().Text1, Qt::Key_Return);
    });
    QTimer::singleShot(5000, &dialog(), &QDialog::reject);  // never hang on a fault
    emit p.state->mainForm->lblSave->clicked();
    EXPECT_TRUE(modal);
    EXPECT_EQ(listed, QStringList{"later.lst"});
    EXPECT_EQ(p.dialogs.asked.value(0).title, "上書き確認");
    EXPECT_EQ(ReadAll(folder() + "later.lst"), Expected());

    Empty();
    emit p.state->mainForm->lblSave->clicked();  // connected once: asked once
    ASSERT_EQ(p.dialogs.asked.size(), 2);
    EXPECT_EQ(Asked(1), "プレイリストが空です");
    EXPECT_EQ(p.dialogs.asked[1].buttons, MsgButtons::OK);
    EXPECT_FALSE(dialog().isVisible());
}

}  // namespace
}  // namespace qv
