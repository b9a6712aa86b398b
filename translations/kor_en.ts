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
    <name>changer</name>
    <message>
        <source>{1} は変更しません: {2}</source>
        <translation>{1}: left unchanged: {2}</translation>
    </message>
    <message>
        <source>{1} を {2} に変更しました</source>
        <translation>{1}: installed {2}</translation>
    </message>
    <message>
        <source>{1} を {2} に変更します (--dry-run なので書き込みません)</source>
        <translation>{1}: would install {2}</translation>
    </message>
    <message>
        <source>{1} は変更しません: KOR.INI に取り出し元が指定されていません</source>
        <translation>{1}: left unchanged: KOR.INI names no source for it</translation>
    </message>
    <message>
        <source>{1} を {2} に変更しましたが、{3} のロゴとして表示できない可能性があります。{4}</source>
        <translation>{1} was changed to {2}, but {3} may not show it as a logo: {4}</translation>
    </message>
    <message>
        <source>{1} は {2} バイトあり、ロゴにできる大きさ ({3} バイトまで) を超えています</source>
        <translation>{1} is {2} bytes long, more than a logo may be ({3} bytes at most)</translation>
    </message>
    <message>
        <source>{1} は {2} バイトで、ロゴの大きさ ({3} バイト) と違います</source>
        <translation>{1} is {2} bytes long, not the length of a logo ({3} bytes)</translation>
    </message>
    <message>
        <source>{1} は UTF-8 で保存されているので UTF-8 として読みました。Windows 95 でも使えるよう、Shift-JIS で保存し直してください</source>
        <translation>{1} is saved as UTF-8, so it was read as UTF-8; save it as Shift-JIS again so that Windows 95 can read it too</translation>
    </message>
    <message>
        <source>{1} にファイルがありません</source>
        <translation>{1} holds no file</translation>
    </message>
    <message>
        <source>書庫 {1} にファイルがありません</source>
        <translation>the archive {1} holds no file</translation>
    </message>
    <message>
        <source>{1} を解凍できません: {2}</source>
        <translation>cannot extract {1}: {2}</translation>
    </message>
    <message>
        <source>使い方: KOR [--machine マシン] [--dry-run] [--verbose] [-- コマンド [引数...]]
        KOR [--machine マシン] --drives
        KOR --list-machines | --add-machine 名前 パス
        KOR --help | --version
エミュレートした Windows 95 の起動・終了時のロゴ (logo.sys、logow.sys、logos.sys) を、
KOR.INI で指定したフォルダまたは LZH 書庫から無作為に選んだ画像に変更します。

  --machine マシン  エミュレータのマシン (登録した名前、マシンのフォルダ、
                   または設定ファイルのパス) のロゴを変更します
  --dry-run    画像を選ぶだけで何も書き込まず、何をインストールするかを表示します
  --verbose    ロゴごとに、選んだ画像と結果を 1 行ずつ表示します
  --drives     マシンのドライブ (文字、ディスク、パーティション、イメージ)、
               Windows フォルダと起動ドライブを表示します
  --list-machines  見つかったマシンと登録したマシンを、エミュレータ、起動ドライブ、
               変更できるかどうかとともに 1 行ずつ表示します
  --add-machine 名前 パス  パスのマシンを名前で登録します (machines.ini)
  -- コマンド [引数...]  ロゴの変更の後 (失敗したときも)、KOR の代わりに
               コマンドを実行します (例: -- 86Box -P ~/86Box/Win95)
  -h, --help   この説明を表示して終了します
  --version    バージョンを表示して終了します

マシンは --machine、KOR_ROOT、korsetup で最後に選んだマシン、~/.kor の順に
最初に見つかったものを使います。

環境変数:
  KOR_ROOT     1 文字の名前の項目がドライブになるホストのフォルダ (既定値 ~/.kor)
  WINDIR       KOR.INI のある Windows ディレクトリ (既定値はマシンの MSDOS.SYS、
               なければ C:\WINDOWS)
  XDG_CONFIG_HOME  machines.ini を置くフォルダの親 (既定値 ~/.config)
  TMP, TEMP    書庫ライブラリが作業ファイルを書く場所 (書庫モードのみ)

終了コード: 最後まで実行したとき 0、失敗で中断したとき 1、使い方の誤りは 2。
-- の後のコマンドを実行できないときは 127 (見つからない) または 126。
</source>
        <translation>usage: KOR [--machine MACHINE] [--dry-run] [--verbose] [-- COMMAND [ARGS...]]
       KOR [--machine MACHINE] --drives
       KOR --list-machines | --add-machine NAME PATH
       KOR --help | --version
Changes the start-up and shut-down logos of an emulated Windows 95 machine
(logo.sys, logow.sys, logos.sys) to pictures drawn at random from the folders
or LZH archives that KOR.INI names.

  --machine MACHINE  work on an emulator&apos;s machine: a name it was added under
               or found by, its folder, or its configuration file
  --dry-run    draw as a run would and say what would be installed; write nothing
  --verbose    also say for each logo what was drawn and what came of it
  --drives     show the machine&apos;s drives (letter, disk, partition, image), its
               Windows folder and the drive it boots from
  --list-machines  list the machines found and added, a line each: name,
               emulator, boot drive, and whether KOR can change it
  --add-machine NAME PATH  keep the machine at PATH under NAME (machines.ini)
  -- COMMAND [ARGS...]  after the change, also a failed one, run COMMAND in
               KOR&apos;s place (e.g. -- 86Box -P ~/86Box/Win95)
  -h, --help   show this help and exit
  --version    show the version and exit

The machine is the first of: --machine, KOR_ROOT, the machine last chosen in
korsetup, ~/.kor.

Environment:
  KOR_ROOT     host folder whose one-letter entries are the drives (default ~/.kor)
  WINDIR       the Windows directory, which holds KOR.INI (default: as the
               machine&apos;s MSDOS.SYS says, else C:\WINDOWS)
  XDG_CONFIG_HOME  the folder of kor/machines.ini (default ~/.config)
  TMP, TEMP    where the archive library writes its work file (archive mode only)

Exit status: 0 when the run went to its end, 1 when a failure ended it,
2 on bad usage; 127 when the command after -- is not found, 126 when it
cannot be run.
</translation>
    </message>
    <message>
        <source>KOR バージョン {1}</source>
        <translation>KOR version {1}</translation>
    </message>
    <message>
        <source>引数 {1} は使えません</source>
        <translation>unknown argument {1}</translation>
    </message>
    <message>
        <source>引数 {1} の後に値がありません</source>
        <translation>{1} is missing what follows it</translation>
    </message>
    <message>
        <source>引数 {1} は二度、またはほかの引数と一緒には使えません</source>
        <translation>{1} cannot be given twice, nor with the arguments before it</translation>
    </message>
    <message>
        <source>使い方: KOR [--machine マシン] [--dry-run] [--verbose] [-- コマンド] | --drives | --list-machines | --add-machine 名前 パス | --help | --version</source>
        <translation>usage: KOR [--machine MACHINE] [--dry-run] [--verbose] [-- COMMAND] | --drives | --list-machines | --add-machine NAME PATH | --help | --version</translation>
    </message>
    <message>
        <source>コマンドを実行できません: {1}: {2}</source>
        <translation>cannot run {1}: {2}</translation>
    </message>
    <message>
        <source>設定ファイル: {1} ({2})</source>
        <translation>configuration: {1} ({2})</translation>
    </message>
    <message>
        <source>ディスク {1}: {2} ({3})</source>
        <translation>disk {1}: {2} ({3})</translation>
    </message>
    <message>
        <source>ディスクイメージ {1}</source>
        <translation>disk image {1}</translation>
    </message>
    <message>
        <source>Windows フォルダ: {1}</source>
        <translation>Windows folder: {1}</translation>
    </message>
    <message>
        <source>起動ドライブ: {1}:</source>
        <translation>boot drive: {1}:</translation>
    </message>
    <message>
        <source>エミュレータの既定の場所にマシンが見つかりません。KOR --add-machine 名前 パス で登録してください</source>
        <translation>no machine found in the emulators&apos; usual places; add one with KOR --add-machine NAME PATH</translation>
    </message>
    <message>
        <source>変更できます</source>
        <translation>ok</translation>
    </message>
</context>
<context>
    <name>core</name>
    <message>
        <source>正しいLHarcﾌｧｲﾙではありません</source>
        <translation>Not a valid LHarc archive</translation>
    </message>
    <message>
        <source>不明なエラーが発生しました</source>
        <translation>An unknown error occurred</translation>
    </message>
    <message>
        <source>書庫操作ライブラリ libunlha32.so を読み込めません</source>
        <translation>Cannot load the archive library libunlha32.so</translation>
    </message>
    <message>
        <source>Windows のビットマップではありません。</source>
        <translation>not a Windows bitmap</translation>
    </message>
    <message>
        <source>幅が {1} ドットです ({2} ドットでなければなりません)。</source>
        <translation>the width is {1}, not {2}</translation>
    </message>
    <message>
        <source>高さが {1} ドットです ({2} ドットでなければなりません)。</source>
        <translation>the height is {1}, not {2}</translation>
    </message>
    <message>
        <source>1 ドットの色のビット数が {1} です ({2} でなければなりません)。</source>
        <translation>the colour depth is {1} bits, not {2}</translation>
    </message>
    <message>
        <source>画像が圧縮されています (方式 {1})。</source>
        <translation>the pixels are compressed (method {1})</translation>
    </message>
    <message>
        <source>パレットが {1} 色です ({2} 色でなければなりません)。</source>
        <translation>the palette has {1} entries, not {2}</translation>
    </message>
    <message>
        <source>ファイルの大きさが {1} バイトです ({2} バイトでなければなりません)。</source>
        <translation>the file is {1} bytes long, not {2}</translation>
    </message>
    <message>
        <source>画像データが途中で切れています ({1} バイト不足)。</source>
        <translation>the pixels end {1} bytes past the end of the file</translation>
    </message>
    <message>
        <source>画像データの開始位置が {1} バイト目です ({2} バイト目でなければなりません)。</source>
        <translation>the pixels start at byte {1}, not {2}</translation>
    </message>
    <message>
        <source>{1}{2}</source>
        <translation>{1}; {2}</translation>
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
