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
    <name>kor::setup::AboutWindow</name>
    <message>
        <source>KORについて</source>
        <translation>About KOR</translation>
    </message>
</context>
<context>
    <name>kor::setup::ConvertWindow</name>
    <message>
        <source>ｵｰﾌﾟﾆﾝｸﾞ (logo.sys)</source>
        <translation>Opening (logo.sys)</translation>
    </message>
    <message>
        <source>中間 (logow.sys)</source>
        <translation>Middle (logow.sys)</translation>
    </message>
    <message>
        <source>ｴﾝﾃﾞｨﾝｸﾞ (logos.sys)</source>
        <translation>Ending (logos.sys)</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名が入力されていません</source>
        <translation>Please enter a file name.</translation>
    </message>
    <message>
        <source>{1}
ﾌｧｲﾙ名に使えない文字があります (\ / : * ? &quot; &lt; &gt; |)</source>
        <translation>{1}
The file name contains a character that cannot be used (\ / : * ? &quot; &lt; &gt; |).</translation>
    </message>
    <message>
        <source>{1}
ﾌｧｲﾙ名に Windows で使えない文字があります</source>
        <translation>{1}
The file name contains a character that Windows cannot use.</translation>
    </message>
    <message>
        <source>画像の横幅が大きすぎます (上限は {1} ﾄﾞｯﾄです)</source>
        <translation>The picture is too wide (the limit is {1} pixels).</translation>
    </message>
    <message>
        <source>画像を読み込めません (ﾃﾞｰﾀが壊れています)</source>
        <translation>Cannot read the picture (its data is damaged).</translation>
    </message>
    <message>
        <source>画像を読み込めません (ﾒﾓﾘが不足しています)</source>
        <translation>Cannot read the picture (not enough memory).</translation>
    </message>
    <message>
        <source>画像を読み込めません</source>
        <translation>Cannot read the picture.</translation>
    </message>
    <message>
        <source>画像をロゴに変換</source>
        <translation>Convert picture to logo</translation>
    </message>
    <message>
        <source>変換する画像 (BMP・PNG・JPEG・GIF)</source>
        <translation>Picture to convert (BMP, PNG, JPEG, GIF)</translation>
    </message>
    <message>
        <source>機種</source>
        <translation>Machine</translation>
    </message>
    <message>
        <source>正方形ﾋﾟｸｾﾙ</source>
        <translation>Square pixels</translation>
    </message>
    <message>
        <source>640x400 の画面を正方形ﾋﾟｸｾﾙで映すｴﾐｭﾚｰﾀ向けに変換します</source>
        <translation>Converts for an emulator that shows the 640x400 screen with square pixels</translation>
    </message>
    <message>
        <source>画像の合わせ方</source>
        <translation>Scaling</translation>
    </message>
    <message>
        <source>全体を収める</source>
        <translation>Fit whole picture</translation>
    </message>
    <message>
        <source>画面を埋める</source>
        <translation>Fill screen</translation>
    </message>
    <message>
        <source>引き伸ばす</source>
        <translation>Stretch</translation>
    </message>
    <message>
        <source>色の動き</source>
        <translation>Colour cycling</translation>
    </message>
    <message>
        <source>色を循環させる</source>
        <translation>Cycle colours</translation>
    </message>
    <message>
        <source>開始ﾊﾟﾚｯﾄ</source>
        <translation>From entry</translation>
    </message>
    <message>
        <source>保存先ﾌｫﾙﾀﾞ</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>参照...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>変換後のﾛｺﾞ</source>
        <translation>Install as</translation>
    </message>
    <message>
        <source>変換</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>変換する画像が選択されていません</source>
        <translation>No picture to convert is selected.</translation>
    </message>
    <message>
        <source>{1}
同じ名前のﾌｫﾙﾀﾞがあります</source>
        <translation>{1}
A folder of that name already exists.</translation>
    </message>
    <message>
        <source>{1}
変換元の画像と同じﾌｧｲﾙです。別のﾌｧｲﾙ名を付けてください</source>
        <translation>{1}
This is the picture being converted. Please choose another file name.</translation>
    </message>
    <message>
        <source>{1}
このﾌｧｲﾙは既にあります。上書きしますか？</source>
        <translation>{1}
This file already exists. Replace it?</translation>
    </message>
    <message>
        <source>画像が大きすぎます ({1}x{2} ﾄﾞｯﾄ。上限は {3} ﾒｶﾞﾋﾟｸｾﾙです)</source>
        <translation>The picture is too large ({1}x{2} pixels; the limit is {3} megapixels).</translation>
    </message>
    <message>
        <source>{1}
{2} のﾛｺﾞに変換しました</source>
        <translation>{1}
Converted to a {2} logo.</translation>
    </message>
    <message>
        <source>{1}
このﾛｺﾞを今すぐ{2}にしますか？</source>
        <translation>{1}
Install this logo as {2} now?</translation>
    </message>
    <message>
        <source>変更が終了しました</source>
        <translation>The logo has been changed.</translation>
    </message>
</context>
<context>
    <name>kor::setup::MachineChooser</name>
    <message>
        <source>ﾏｼﾝの選択</source>
        <translation>Choose machine</translation>
    </message>
    <message>
        <source>ﾏｼﾝ</source>
        <translation>Machine</translation>
    </message>
    <message>
        <source>ｴﾐｭﾚｰﾀ</source>
        <translation>Emulator</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸ</source>
        <translation>Disks</translation>
    </message>
    <message>
        <source>Windows ﾌｫﾙﾀﾞ</source>
        <translation>Windows folder</translation>
    </message>
    <message>
        <source>選択</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>ﾗﾝﾁｬｰ作成</source>
        <translation>Make launcher</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>使用できません</source>
        <translation>Cannot be used</translation>
    </message>
    <message>
        <source>{1}
ﾗﾝﾁｬｰを作成しました。ﾛｺﾞを変えてから {2} でﾏｼﾝを起動します</source>
        <translation>{1}
Launcher made. It changes the logos, then starts the machine in {2}.</translation>
    </message>
</context>
<context>
    <name>kor::setup::OptionsWindow</name>
    <message>
        <source>オプション設定</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>非圧縮ﾌｧｲﾙ</source>
        <translation>Uncompressed files</translation>
    </message>
    <message>
        <source>BMPﾌｧｲﾙを使用</source>
        <translation>Use BMP files</translation>
    </message>
    <message>
        <source>  PC98ｼﾘｰｽﾞ  </source>
        <translation>PC-98 series</translation>
    </message>
    <message>
        <source>  ｻｲｽﾞﾁｪｯｸ無し</source>
        <translation>No size limit</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Close</translation>
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
<context>
    <name>korsetup</name>
    <message>
        <source>使い方: korsetup [--machine 名前|パス] [Qt のオプション]
        korsetup --help | --version
KOR の設定プログラムです。画像をロゴとして試し、すぐにロゴにし、KOR が画像を
選ぶフォルダまたは LZH 書庫とオプションを設定し、ロゴファイルをバックアップ
します。画面 (ディスプレイ) が必要です。

  --machine 名前|パス
               このマシンで動きます: 覚えたマシンの名前 (KOR --list-machines)、
               またはエミュレータのマシンのフォルダか設定ファイル。
               ないときは KOR_ROOT、korsetup で最後に選んだマシン、~/.kor の順
  -h, --help   この説明を表示して終了します
  --version    バージョンを表示して終了します
  Qt のオプション (-platform、-style、-reverse など) は Qt に渡します。

環境変数:
  KOR_ROOT     1 文字の名前の項目がドライブになるホストのフォルダ (既定値 ~/.kor)
  WINDIR       KOR.INI のある Windows ディレクトリ (既定値 C:\WINDOWS)
  TMP, TEMP    書庫ライブラリが作業ファイルを書く場所

終了コード: ウィンドウを閉じたとき 0、使い方の誤りは 2。
</source>
        <translation>usage: korsetup [--machine NAME|PATH] [Qt options]
       korsetup --help | --version
The desktop program of KOR: try pictures as logos, make one the logo at once,
choose the folders or LZH archives KOR draws from, set its options and back up
the logo files. It needs a display.

  --machine NAME|PATH
               work on this machine: a known machine&apos;s name (KOR --list-machines),
               or an emulator&apos;s machine folder or configuration file; without it,
               KOR_ROOT, then the machine last chosen in korsetup, then ~/.kor
  -h, --help   show this help and exit
  --version    show the version and exit
  Qt&apos;s own options (-platform, -style, -reverse, ...) are passed to Qt.

Environment:
  KOR_ROOT     host folder whose one-letter entries are the drives (default ~/.kor)
  WINDIR       the Windows directory, which holds KOR.INI (default C:\WINDOWS)
  TMP, TEMP    where the archive library writes its work file

Exit status: 0 when the window was closed, 2 on bad usage.
</translation>
    </message>
    <message>
        <source>korsetup バージョン {1}
</source>
        <translation>korsetup version {1}
</translation>
    </message>
    <message>
        <source>korsetup: 引数 {1} は使えません
使い方: korsetup [--machine 名前|パス] [Qt のオプション] | --help | --version
</source>
        <translation>korsetup: unknown argument {1}
usage: korsetup [--machine NAME|PATH] [Qt options] | --help | --version
</translation>
    </message>
</context>
<context>
    <name>logo_backup</name>
    <message>
        <source>現在のＬＯＧＯファイルをバックアップします、よろしいですか？</source>
        <translation>Back up the current logo files?</translation>
    </message>
    <message>
        <source>バックアップするためのファイルが見つかりませんでした、確認してください。</source>
        <translation>The logo files to back up could not be found. Please check them.</translation>
    </message>
    <message>
        <source>バックアップ終了</source>
        <translation>Backup complete.</translation>
    </message>
</context>
</TS>
