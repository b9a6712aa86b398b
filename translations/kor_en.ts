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
