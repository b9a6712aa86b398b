<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>QMdiSubWindow</name>
    <message>
        <source>&amp;Move</source>
        <translation>&amp;Move</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>desktop_services</name>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
</context>
<context>
    <name>kor::setup::DropLabel</name>
    <message>
        <source>ドロップされたフォルダの名前に、Windows のパスとして書けない文字があります。</source>
        <translation>The name of the dropped folder has characters that a Windows path cannot hold.</translation>
    </message>
    <message>
        <source>ドロップされたファイルの名前に、Windows のパスとして書けない文字があります。</source>
        <translation>The name of the dropped file has characters that a Windows path cannot hold.</translation>
    </message>
    <message>
        <source>ドロップされたフォルダはエミュレートされたマシンのドライブの外にあります。</source>
        <translation>The dropped folder is outside the drives of the emulated machine.</translation>
    </message>
    <message>
        <source>ドロップされたファイルはエミュレートされたマシンのドライブの外にあります。</source>
        <translation>The dropped file is outside the drives of the emulated machine.</translation>
    </message>
</context>
<context>
    <name>kor::setup::ImageDisplay</name>
    <message>
        <source>画像表示</source>
        <translation>View picture</translation>
    </message>
    <message>
        <source>ｴﾝﾃﾞｨﾝｸﾞにする</source>
        <translation>Use as ending</translation>
    </message>
    <message>
        <source>中間にする</source>
        <translation>Use as middle</translation>
    </message>
    <message>
        <source>ｵｰﾌﾟﾆﾝｸﾞにする</source>
        <translation>Use as opening</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>kor::setup::LocationWindow</name>
    <message>
        <source>ドロップされたフォルダが見つかりません。</source>
        <translation>The dropped folder cannot be found.</translation>
    </message>
    <message>
        <source>ドロップされたファイルが見つかりません。</source>
        <translation>The dropped file cannot be found.</translation>
    </message>
    <message>
        <source>ドロップされた場所は設定できません。</source>
        <translation>The dropped location cannot be used as a source.</translation>
    </message>
    <message>
        <source>ＬＯＧＯ変更ファイル位置設定</source>
        <translation>Logo sources</translation>
    </message>
    <message>
        <source>設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ</source>
        <translation>Opening LZH</translation>
    </message>
    <message>
        <source>設定中間ﾌｧｲﾙ</source>
        <translation>Middle LZH</translation>
    </message>
    <message>
        <source>設定ｴﾝﾃﾞｨﾝｸﾞﾌｧｲﾙ</source>
        <translation>Ending LZH</translation>
    </message>
    <message>
        <source>設定値ALLｸﾘｱｰ</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>設定ｵｰﾌﾟﾆﾝｸﾞDIR</source>
        <translation>Opening folder</translation>
    </message>
    <message>
        <source>設定ｴﾝﾃﾞｨﾝｸﾞDIR</source>
        <translation>Ending folder</translation>
    </message>
    <message>
        <source>設定中間DIR</source>
        <translation>Middle folder</translation>
    </message>
    <message>
        <source>フォルダは設定できません。LZH ファイルをドロップしてください。</source>
        <translation>A folder cannot be used here. Please drop an LZH file.</translation>
    </message>
    <message>
        <source>ドロップされたファイルは LZH ファイルではありません。</source>
        <translation>The dropped file is not an LZH file.</translation>
    </message>
</context>
<context>
    <name>kor::setup::LogoBrowser</name>
    <message>
        <source>ファイルが選択されていません</source>
        <translation>No file is selected.</translation>
    </message>
    <message>
        <source>ファイルサイズが違うのでロゴには使用できません</source>
        <translation>The file is not the size of a logo, so it cannot be used as one.</translation>
    </message>
    <message>
        <source>変更が終了しました</source>
        <translation>The logo has been changed.</translation>
    </message>
    <message>
        <source>画像を読み込めません</source>
        <translation>Cannot read the picture.</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ｵｰﾌﾟﾆﾝｸﾞ変更</source>
        <translation>Use as opening</translation>
    </message>
    <message>
        <source>中間変更</source>
        <translation>Use as middle</translation>
    </message>
    <message>
        <source>ｴﾝﾃﾞｨﾝｸﾞ変更</source>
        <translation>Use as ending</translation>
    </message>
    <message>
        <source>画像表示</source>
        <translation>View picture</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>元ﾌｧｲﾙｻｲｽﾞ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>圧縮ﾌｧｲﾙｻｲｽﾞ</source>
        <translation>Packed</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ日時</source>
        <translation>Time</translation>
    </message>
</context>
<context>
    <name>kor::setup::MainWindow</name>
    <message>
        <source>ファイル</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>オープン</source>
        <translation>&amp;Open start folder</translation>
    </message>
    <message>
        <source>画像をロゴに変換...</source>
        <translation>&amp;Convert picture to logo...</translation>
    </message>
    <message>
        <source>ﾏｼﾝの選択...</source>
        <translation>Choose &amp;machine...</translation>
    </message>
    <message>
        <source>ＬＯＧＯファイルバックアップ</source>
        <translation>&amp;Back up logo files</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>ＬＯＧＯファイルの変更</source>
        <translation>Change &amp;logo file</translation>
    </message>
    <message>
        <source>ＬＯＧＯ変更ファイル位置設定</source>
        <translation>Logo &amp;sources</translation>
    </message>
    <message>
        <source>オプション</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>オプション設定</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>バージョン</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>情報</source>
        <translation>&amp;About KOR</translation>
    </message>
    <message>
        <source>ドロップされたフォルダは変換できる画像 (BMP・PNG・JPEG・GIF) ではありません。</source>
        <translation>The dropped folder is not a picture that can be converted (BMP, PNG, JPEG, GIF).</translation>
    </message>
    <message>
        <source>ドロップされたファイルは変換できる画像 (BMP・PNG・JPEG・GIF) ではありません。</source>
        <translation>The dropped file is not a picture that can be converted (BMP, PNG, JPEG, GIF).</translation>
    </message>
    <message>
        <source>%1
このﾌｫﾙﾀﾞをﾌｧｲﾙﾏﾈｰｼﾞｬで開けませんでした。ﾃﾞｨｽｸｲﾒｰｼﾞの中のﾌｫﾙﾀﾞは「ＬＯＧＯファイルの変更」で開いてください</source>
        <translation>%1
A file manager cannot open this folder. Open a folder inside a disk image with Settings → Change logo file.</translation>
    </message>
    <message>
        <source>%1
このﾌｫﾙﾀﾞを開くﾌｧｲﾙﾏﾈｰｼﾞｬが見つかりませんでした</source>
        <translation>%1
No file manager was found to open this folder.</translation>
    </message>
    <message>
        <source>%1
ﾄﾞﾗｲﾌﾞ C: のﾘﾝｸ先 %2 がありません。ﾃﾞｨｽｸｲﾒｰｼﾞかﾌｫﾙﾀﾞを指すように、たとえば次のように作り直してください:
ln -sfn ~/vms/win95/win95.img %3</source>
        <translation>%1
Drive C: links to %2, which does not exist. Make the link again so that it points to a disk image or a folder, for example:
ln -sfn ~/vms/win95/win95.img %3</translation>
    </message>
    <message>
        <source>Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) にﾄﾞﾗｲﾌﾞがありません。</source>
        <translation>The Windows machine folder (KOR_ROOT) has no drives.</translation>
    </message>
    <message>
        <source>Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) がありません。</source>
        <translation>The Windows machine folder (KOR_ROOT) does not exist.</translation>
    </message>
    <message>
        <source>%1
%2ﾄﾞﾗｲﾌﾞ C: にするﾃﾞｨｽｸｲﾒｰｼﾞかﾌｫﾙﾀﾞを、たとえば次のようにつないでください:
mkdir -p %3 &amp;&amp; ln -s ~/vms/win95/win95.img %4
ｴﾐｭﾚｰﾀのﾏｼﾝは、ファイル → ﾏｼﾝの選択... で選べます。</source>
        <translation>%1
%2 Connect a disk image or a folder as drive C:, for example:
mkdir -p %3 &amp;&amp; ln -s ~/vms/win95/win95.img %4
To work on an emulator&apos;s machine, use File → Choose machine...</translation>
    </message>
</context>
<context>
    <name>kor::setup::SourceChooser</name>
    <message>
        <source>画像のあるﾌｫﾙﾀﾞを選んでください</source>
        <translation>Choose the folder of the pictures</translation>
    </message>
    <message>
        <source>保存するﾌｫﾙﾀﾞを選んでください</source>
        <translation>Choose the folder to save in</translation>
    </message>
    <message>
        <source>LZHﾌｧｲﾙを選んでください</source>
        <translation>Choose an LZH file</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kor::setup::controls</name>
    <message>
        <source>移動(&amp;M)</source>
        <translation>&amp;Move</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>korlogo</name>
    <message>
        <source>使い方: korlogo check [--pc98] ファイル...
ファイルごとに、Windows 95 (--pc98 を付けると PC-98) が起動・終了時のロゴとして
表示できるかどうかと、できない場合はその理由を表示します。
終了コード: すべて表示できるとき 0、そうでないとき 1、使い方の誤りは 2。
</source>
        <translation>usage: korlogo check [--pc98] FILE...
Says for each FILE whether Windows 95 (or a PC-98, with --pc98) can show it
as a start-up or shut-down logo and, if not, why.
Exit status: 0 when every file can be shown, 1 otherwise, 2 on bad usage.
</translation>
    </message>
    <message>
        <source>{1}: {2} のロゴとして表示できます。{3}</source>
        <translation>{1}: {2} can show it as a logo; {3}</translation>
    </message>
    <message>
        <source>{1}: {2} のロゴとして表示できません。{3}</source>
        <translation>{1}: {2} cannot show it as a logo: {3}</translation>
    </message>
    <message>
        <source>{1}{2}</source>
        <translation>{1}; {2}</translation>
    </message>
    <message>
        <source>パレットの {1}～{2} 番の色が循環します。</source>
        <translation>entries {1}-{2} cycle</translation>
    </message>
    <message>
        <source>アニメーションはありません。</source>
        <translation>does not move</translation>
    </message>
    <message>
        <source>読み込めません。{1}。</source>
        <translation>cannot read it: {1}</translation>
    </message>
    <message>
        <source>ファイルではありません。</source>
        <translation>not a file</translation>
    </message>
    <message>
        <source>使い方: korlogo convert [--pc98] [--fit|--fill|--stretch] [--square-pixels]
                        [--animate-from N] 画像 ロゴ
画像 (PNG、JPEG、GIF、BMP など) を Windows 95 (--pc98 を付けると PC-98) のロゴファイルに
変換します。ロゴに - を指定すると標準出力に書き出します。画像全体を黒い余白付きで (--fit、
既定)、画面いっぱいに切り抜いて (--fill)、または引き伸ばして (--stretch) 収めます。
画像の大きさの上限は、PNG と JPEG は 100 メガピクセル、その他は 32 メガピクセルです。
画像の形は、4:3 のモニタに映る 640x400 の画面 (640x480) で保たれます。--square-pixels
を付けると、エミュレータが拡大せずに映す 640x400 の正方形ピクセルの画面で保たれます。
--animate-from N: 表示中にパレットの N 番から最後までの色を循環させます。
終了コード: ロゴを書き込めたとき 0、そうでないとき 1、使い方の誤りは 2。
</source>
        <translation>usage: korlogo convert [--pc98] [--fit|--fill|--stretch] [--square-pixels]
                       [--animate-from N] PICTURE LOGO
Turns PICTURE (PNG, JPEG, GIF, BMP, ...) into the logo file LOGO for Windows 95 (or a
PC-98, with --pc98), or writes it to standard output when LOGO is -: the whole picture
with black bars (--fit, the default), the screen covered and the picture cropped
(--fill), or the picture stretched (--stretch). A PNG or JPEG may have up to 100
megapixels, other pictures up to 32.
The picture keeps its shape on the 640x400 screen as a 4:3 monitor shows it (640x480);
--square-pixels keeps it on 640x400 square pixels, as an emulator shows them unscaled.
--animate-from N: palette entries N to the last cycle when the logo is shown.
Exit status: 0 when LOGO was written, 1 otherwise, 2 on bad usage.
</translation>
    </message>
    <message>
        <source>{1}: {2} のロゴを書き込みました ({3}x{4} ドット、{5} 色)。{6}</source>
        <translation>{1}: {2} logo, {3}x{4}, {5} colours, {6}</translation>
    </message>
    <message>
        <source>korlogo: {1}: 画像を読み込めません。{2}</source>
        <translation>korlogo: cannot read the picture {1}: {2}</translation>
    </message>
    <message>
        <source>フォルダです。</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>{1}x{2} ドットで、上限の {3} メガピクセルを超えています。</source>
        <translation>it is {1}x{2} pixels, more than the {3} megapixels a picture may have</translation>
    </message>
    <message>
        <source>横幅が {1} ドットを超える画像は読み込めません。</source>
        <translation>rows wider than {1} pixels are not read</translation>
    </message>
    <message>
        <source>画像のデータが壊れています。</source>
        <translation>the picture is damaged: {1}</translation>
    </message>
    <message>
        <source>メモリが不足しています。</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>画像の形式に対応していないか、データが壊れています。</source>
        <translation>{1}</translation>
    </message>
    <message>
        <source>korlogo: {1}: 書き込めません。{2}。</source>
        <translation>korlogo: cannot write {1}: {2}</translation>
    </message>
    <message>
        <source>korlogo: {1}: 通常のファイルではない (フォルダ、デバイス、FIFO など) ため、そのままにしました。標準出力に書き出すには - を指定してください。</source>
        <translation>korlogo: cannot write {1}: it is not a regular file (a folder, a device, a FIFO or a socket) and is left as it is; - writes to standard output</translation>
    </message>
    <message>
        <source>標準出力</source>
        <translation>standard output</translation>
    </message>
    <message>
        <source>korlogo: --animate-from にはパレットの 1～{1} 番を指定してください (&quot;{2}&quot; は使えません)。</source>
        <translation>korlogo: --animate-from takes a palette entry from 1 to {1}, not &quot;{2}&quot;</translation>
    </message>
    <message>
        <source>使い方: korlogo preview [--pc98] [--square-pixels] [--interval ミリ秒] [--save PNG]
                        ファイル
ファイルを起動画面と同じように 4:3 のモニタの形 (640x480、--square-pixels を付けると
640x400 の正方形ピクセル) でウィンドウに表示し、色を指定のミリ秒 (省略時 55) ごとに
循環させます。Esc で終了します。--save を付けると、最初の画面 (画面と周囲 32 ドットの
枠) を PNG に書き出します (- は標準出力)。
終了コード: 表示または書き出しができたとき 0、そうでないとき 1、使い方の誤りは 2。
</source>
        <translation>usage: korlogo preview [--pc98] [--square-pixels] [--interval MS] [--save PNG] FILE
Shows FILE in a window as the machine shows it on a 4:3 monitor (640x480, or 640x400
square pixels with --square-pixels), its colours cycling one step every MS milliseconds
(55); Esc ends it. With --save it writes the first frame, the screen in a 32-pixel
border, to PNG instead (- for standard output).
Exit status: 0 when it was shown or saved, 1 otherwise, 2 on bad usage.
</translation>
    </message>
    <message>
        <source>korlogo preview: ウィンドウを表示する画面がありません。--save PNG で画像に書き出せます。</source>
        <translation>korlogo preview: no display to show the window on; --save PNG writes the picture instead</translation>
    </message>
</context>
</TS>
