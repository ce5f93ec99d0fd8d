<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Quorvane</name>
    <message>
        <source>絞り込み: ファイル名・タイトル・アーティスト・アルバム (Enter で再生)</source>
        <translation>Filter: file name, title, artist, album (Enter plays)</translation>
    </message>
    <message>
        <source>閉じる (Esc)</source>
        <translation>Close (Esc)</translation>
    </message>
    <message>
        <source>ドロップファイル</source>
        <translation>Dropped files</translation>
    </message>
    <message>
        <source>ツリー伸縮</source>
        <translation>Expand or collapse</translation>
    </message>
    <message>
        <source>プレイリストに追加(&amp;A)</source>
        <translation>&amp;Add to playlist</translation>
    </message>
    <message>
        <source>このフォルダのみ(&amp;N)</source>
        <translation>This folder o&amp;nly</translation>
    </message>
    <message>
        <source>サブフォルダも追加(&amp;S)</source>
        <translation>With &amp;subfolders</translation>
    </message>
    <message>
        <source>プレイリストに置き換え(&amp;H)</source>
        <translation>Replace playlist wit&amp;h</translation>
    </message>
    <message>
        <source>キャンセル(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>ドロップリスト</source>
        <translation>Dropped list</translation>
    </message>
    <message>
        <source>クリックノード</source>
        <translation>Clicked node</translation>
    </message>
    <message>
        <source>再生(&amp;P)</source>
        <translation>&amp;Play</translation>
    </message>
    <message>
        <source>メディアの検索</source>
        <translation>Find media</translation>
    </message>
    <message>
        <source>サブフォルダも検索</source>
        <translation>Include subfolders</translation>
    </message>
    <message>
        <source>スキャン</source>
        <translation>Scan</translation>
    </message>
    <message>
        <source>参照...</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>タイトル</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>アーティスト</source>
        <translation>Artist</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>再生時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>保存できませんでした: </source>
        <translation>Could not save: </translation>
    </message>
    <message>
        <source>次のファイルを保存できませんでした:
</source>
        <translation>These files could not be saved:
</translation>
    </message>
    <message>
        <source>次のパスは改行か扱えない文字を含み、そのまま保存できないため、扱いませんでした。
</source>
        <translation>These paths contain a line break or a character that cannot be stored as it is, so they were left out.
</translation>
    </message>
    <message>
        <source>
ほか %1 件</source>
        <translation>
and %1 more</translation>
    </message>
    <message>
        <source>パスを指定してください</source>
        <translation>Please enter a folder</translation>
    </message>
    <message>
        <source>パスが見つかりません</source>
        <translation>The folder cannot be found</translation>
    </message>
    <message>
        <source>Quorvane - メディアの重複をチェックしています...</source>
        <translation>Quorvane - Checking the media for duplicates...</translation>
    </message>
    <message>
        <source>Quorvane - スキャン中止</source>
        <translation>Quorvane - Scan stopped</translation>
    </message>
    <message>
        <source>Quorvane - スキャン完了</source>
        <translation>Quorvane - Scan finished</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>フォルダを選択してください</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>メディアをスキャン中... </source>
        <translation>Scanning media... </translation>
    </message>
    <message>
        <source>アーティスト: </source>
        <translation>Artist: </translation>
    </message>
    <message>
        <source>アルバム: </source>
        <translation>Album: </translation>
    </message>
    <message>
        <source>プレイリストの保存</source>
        <translation>Save Playlist</translation>
    </message>
    <message>
        <source>保存プレイリスト名</source>
        <translation>Playlist name</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>プレイリストをクリアしてよろしいですか?</source>
        <translation>Clear the playlist?</translation>
    </message>
    <message>
        <source>ファイル名に「/」などの使えない文字が含まれています</source>
        <translation>The file name contains a character that cannot be used, such as &quot;/&quot;</translation>
    </message>
    <message>
        <source>「.」で始まる名前は使えません</source>
        <translation>A name cannot start with &quot;.&quot;</translation>
    </message>
    <message>
        <source>ファイル名を入力してください</source>
        <translation>Please enter a file name</translation>
    </message>
    <message>
        <source>はすでに存在します、上書きしてよろしいですか?</source>
        <translation> already exists. Overwrite it?</translation>
    </message>
    <message>
        <source>上書き確認</source>
        <translation>Confirm overwrite</translation>
    </message>
    <message>
        <source> に保存できませんでした。</source>
        <translation> could not be saved. </translation>
    </message>
    <message>
        <source>ディスクの空きと書き込みの権限を確かめてください</source>
        <translation>Check the free disk space and the write permission.</translation>
    </message>
    <message>
        <source>プレイリストが空です</source>
        <translation>The playlist is empty</translation>
    </message>
    <message>
        <source>全てのメディア</source>
        <translation>All media</translation>
    </message>
    <message>
        <source>登録済みプレイリスト</source>
        <translation>Registered playlists</translation>
    </message>
    <message>
        <source>検索されたメディア</source>
        <translation>Found media</translation>
    </message>
    <message>
        <source>検索されたメディアから外す(&amp;R)</source>
        <translation>&amp;Remove from found media</translation>
    </message>
    <message>
        <source>リプレイゲイン</source>
        <translation>ReplayGain</translation>
    </message>
    <message>
        <source>オフ(&amp;O)</source>
        <translation>&amp;Off</translation>
    </message>
    <message>
        <source>トラックゲイン(&amp;T)</source>
        <translation>&amp;Track gain</translation>
    </message>
    <message>
        <source>アルバムゲイン(&amp;A)</source>
        <translation>&amp;Album gain</translation>
    </message>
</context>
</TS>
