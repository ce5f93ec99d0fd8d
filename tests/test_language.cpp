// The language chosen at start-up: Setting.ini's "Language" first, then
// LANGUAGE; the windows built afterwards, Qt's own buttons included, speak it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidgetItem>

#include "app/frm_hide_menu.h"
#include "app/language.h"
#include "app/tree_view.h"
#include "library/scan.h"
#include "support/test_program.h"

using namespace qv;

TEST(Language, SettingFirstThenTheFirstOfLanguage) {
    struct Case {
        const char* ini;  // Setting.ini's text, nullptr for no file
        const char* languageList;
        UiLanguage expected;
    };
    const Case cases[] = {
        {nullptr, "", UiLanguage::Japanese},
        {nullptr, "en_US:ja", UiLanguage::English},
        {nullptr, "ja:en", UiLanguage::Japanese},
        {nullptr, "de_DE:en", UiLanguage::Japanese},
        {"[Quorvane]\r\nLanguage=en\r\n", "", UiLanguage::English},
        {"[quorvane]\r\nlanguage= EN_GB \r\n", "ja", UiLanguage::English},
        {"[Quorvane]\r\nLanguage=ja\r\n", "en", UiLanguage::Japanese},
        {"[Quorvane]\r\nLanguage=\r\n", "en", UiLanguage::English},
        {"[File]\r\nLanguage=en\r\n", "", UiLanguage::Japanese},
    };
    for (const Case& c : cases) {
        qvtest::TempDir dir;
        if (c.ini) dir.write("Setting.ini", c.ini);
        EXPECT_EQ(ReadLanguage(Ini(dir.path()), c.languageList), c.expected)
            << (c.ini ? c.ini : "no file") << " LANGUAGE=" << c.languageList;
    }
}

TEST(Language, WindowsMenusAndMessagesSpeakTheChosenLanguage) {
    struct Case {
        const char* ini;
        const char* languageList;
        QStringList texts;
    };
    const Case cases[] = {
        {"[Quorvane]\r\nLanguage=en\r\n",
         "",
         {"Scan", "Find media", "Include subfolders", "All media", "&Add to playlist",
          "Save Playlist", "Please enter a folder", "&Yes"}},
        {"",
         "en_US:ja",
         {"Scan", "Find media", "Include subfolders", "All media", "&Add to playlist",
          "Save Playlist", "Please enter a folder", "&Yes"}},
        {"[Quorvane]\r\nLanguage=ja\r\n",
         "en",
         {"スキャン", "メディアの検索", "サブフォルダも検索", "全てのメディア",
          "プレイリストに追加(&A)", "プレイリストの保存", "パスを指定してください", "はい(&Y)"}},
    };
    for (const Case& c : cases) {
        qvtest::TestProgram p;
        p.dir.write("Setting.ini", c.ini);
        ASSERT_TRUE(InstallLanguage(ReadLanguage(p.state->ini, c.languageList)));
        p.Start();
        frmQuorvane& form = *p.state->mainForm;
        form.Text1->clear();
        cmdScan_Click(*p.state);
        ASSERT_EQ(p.dialogs.asked.size(), 1);
        const QMessageBox box(QMessageBox::NoIcon, {}, {}, QMessageBox::Yes | QMessageBox::No);
        const QStringList texts = {form.cmdScan->text(),
                                   form.Frame1->title(),
                                   form.chkSF->text(),
                                   form.TV1->Node(QStringLiteral("root"))->text(0),
                                   p.state->HideMenu().mnAddPlayList->text(),
                                   p.state->savePL->windowTitle(),
                                   p.dialogs.asked[0].prompt,
                                   box.button(QMessageBox::Yes)->text()};
        EXPECT_EQ(texts, c.texts) << c.ini << " LANGUAGE=" << c.languageList;
    }
    ASSERT_TRUE(InstallLanguage(UiLanguage::Japanese));
}
