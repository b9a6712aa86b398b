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
    <message>
        <source>一時ﾌｫﾙﾀﾞ {1} にﾌｧｲﾙを作成できません ({2})</source>
        <translation>Cannot create a file in the temporary folder {1} ({2})</translation>
    </message>
    <message>
        <source>環境変数 {1} のﾌｫﾙﾀﾞ {2} にﾌｧｲﾙを作成できません ({3})</source>
        <translation>Cannot create a file in the folder {2} of the environment variable {1} ({3})</translation>
    </message>
    <message>
        <source>メモリが不足しています</source>
        <translation>There is not enough memory</translation>
    </message>
    <message>
        <source>減色に失敗しました (ｴﾗｰ {1})</source>
        <translation>The colours could not be reduced (error {1})</translation>
    </message>
    <message>
        <source>画像が空です</source>
        <translation>The picture is empty</translation>
    </message>
    <message>
        <source>画素の数が画像の大きさと合いません</source>
        <translation>The number of pixels does not match the size of the picture</translation>
    </message>
    <message>
        <source>循環させる最初のﾊﾟﾚｯﾄ番号は 1～{1} でなければなりません</source>
        <translation>The first cycling palette entry must be from 1 to {1}</translation>
    </message>
    <message>
        <source>読み取り専用になっています</source>
        <translation>It is read-only</translation>
    </message>
</context>
<context>
    <name>diskimage</name>
    <message>
        <source>{1} 形式のｲﾒｰｼﾞのﾍｯﾀﾞが壊れています ({2})</source>
        <translation>The header of this {1} image is damaged ({2})</translation>
    </message>
    <message>
        <source>ｼﾞｵﾒﾄﾘに 0 があります</source>
        <translation>its geometry holds a zero</translation>
    </message>
    <message>
        <source>{1} 形式の 256 ﾊﾞｲﾄｾｸﾀの SASI ﾃﾞｨｽｸは使えません。512 ﾊﾞｲﾄｾｸﾀの ﾃﾞｨｽｸ (IDE, SCSI) だけが使えます</source>
        <translation>A SASI disk of 256-byte sectors in {1} format cannot be used. Only disks of 512-byte sectors (IDE, SCSI) can</translation>
    </message>
    <message>
        <source>ｾｸﾀ長が {1} ﾊﾞｲﾄです</source>
        <translation>its sectors are {1} bytes long</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸの大きさがｼﾞｵﾒﾄﾘと合いません</source>
        <translation>the disk size does not match the geometry</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸがﾌｧｲﾙの終わりを越えています</source>
        <translation>the disk runs past the end of the file</translation>
    </message>
    <message>
        <source>VHD (容量可変)</source>
        <translation>VHD (dynamic)</translation>
    </message>
    <message>
        <source>{1} 形式のｲﾒｰｼﾞは使えません。raw 形式に変換してください: {2}</source>
        <translation>This image is in {1} format, which cannot be used. Convert it to a raw image: {2}</translation>
    </message>
    <message>
        <source>ﾊﾟｰﾃｨｼｮﾝﾃｰﾌﾞﾙも FAT ﾌｧｲﾙｼｽﾃﾑも見つかりません</source>
        <translation>It holds neither a partition table nor a FAT file system</translation>
    </message>
    <message>
        <source>ﾊﾟｰﾃｨｼｮﾝに分かれていないｲﾒｰｼﾞです (ﾊﾟｰﾃｨｼｮﾝ {1} はありません)</source>
        <translation>The image is not divided into partitions (there is no partition {1})</translation>
    </message>
    <message>
        <source>ﾊﾟｰﾃｨｼｮﾝ {1} がﾌｧｲﾙの外を指しています</source>
        <translation>Partition {1} lies outside the file</translation>
    </message>
    <message>
        <source>ﾊﾟｰﾃｨｼｮﾝ {1} は FAT ﾌｧｲﾙｼｽﾃﾑではありません</source>
        <translation>Partition {1} holds no FAT file system</translation>
    </message>
    <message>
        <source>ﾊﾟｰﾃｨｼｮﾝ {1} がありません</source>
        <translation>There is no partition {1}</translation>
    </message>
    <message>
        <source>PC-98 のﾃﾞｨｽｸに使用中の FAT のﾊﾟｰﾃｨｼｮﾝがありません (ﾊﾟｰﾃｨｼｮﾝ {1} は休止中です。番号で指定できます)</source>
        <translation>No FAT partition of the PC-98 disk is active (partition {1} is sleeping; it can be named by its number)</translation>
    </message>
    <message>
        <source>FAT のﾊﾟｰﾃｨｼｮﾝがありません</source>
        <translation>There is no FAT partition</translation>
    </message>
    <message>
        <source>ﾄﾞﾗｲﾌﾞ名の付く FAT のﾊﾟｰﾃｨｼｮﾝがありません (ﾊﾟｰﾃｨｼｮﾝ {1} は隠しﾊﾟｰﾃｨｼｮﾝです。番号で指定できます)</source>
        <translation>No FAT partition gets a drive letter (partition {1} is hidden; it can be named by its number)</translation>
    </message>
    <message>
        <source>ﾊﾟｰﾃｨｼｮﾝ {1} は論理ﾄﾞﾗｲﾌﾞを入れる拡張ﾊﾟｰﾃｨｼｮﾝです。論理ﾄﾞﾗｲﾌﾞは 5 から番号で指定してください</source>
        <translation>Partition {1} is the extended partition, which holds the logical drives. Name a logical drive by its number, from 5</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞとしては小さすぎます</source>
        <translation>The file is too small for a disk image</translation>
    </message>
    <message>
        <source>{1} 形式のｲﾒｰｼﾞを使うには{2}。または raw 形式に変換してください: {3}</source>
        <translation>To use an image in {1} format, {2}. Or convert it to a raw image: {3}</translation>
    </message>
    <message>
        <source>Bochs の可変長・ｽﾊﾟｰｽ・REDO ﾛｸﾞ形式のｲﾒｰｼﾞには書き込めません。raw 形式に変換してください: {1}</source>
        <translation>Growing, sparse and redo-log images of Bochs cannot be written. Convert it to a raw image: {1}</translation>
    </message>
    <message>
        <source>暗号化された qcow2 形式のｲﾒｰｼﾞは使えません</source>
        <translation>Encrypted qcow2 images cannot be used</translation>
    </message>
    <message>
        <source>VirtualBox の差分 VDI (ｽﾅｯﾌﾟｼｮｯﾄ) には書き込めません。ｽﾅｯﾌﾟｼｮｯﾄを統合してから使ってください</source>
        <translation>A differencing VDI of VirtualBox (a snapshot) cannot be written. Merge the snapshots first, then use the disk</translation>
    </message>
    <message>
        <source>差分 VHD 形式のｲﾒｰｼﾞには書き込めません。親ｲﾒｰｼﾞに統合してから使ってください</source>
        <translation>A differencing VHD image cannot be written. Merge it into its parent image first</translation>
    </message>
    <message>
        <source>ﾌﾞｰﾄｾｸﾀの内容がﾃﾞｨｽｸと合いません</source>
        <translation>the boot sector does not match the disk</translation>
    </message>
    <message>
        <source>{1} のｸﾗｽﾀを読み込めません</source>
        <translation>the clusters of {1} cannot be read</translation>
    </message>
    <message>
        <source>{1} のｸﾗｽﾀﾁｪｰﾝが循環しています</source>
        <translation>the cluster chain of {1} runs in a loop</translation>
    </message>
    <message>
        <source>{1} のｸﾗｽﾀﾁｪｰﾝが空きｸﾗｽﾀか不良ｸﾗｽﾀにつながっています</source>
        <translation>the cluster chain of {1} runs into a free or bad cluster</translation>
    </message>
    <message>
        <source>{1} のｸﾗｽﾀﾁｪｰﾝがﾎﾞﾘｭｰﾑの外を指しています</source>
        <translation>the cluster chain of {1} leads outside the volume</translation>
    </message>
    <message>
        <source>{1} のｸﾗｽﾀ数 ({2}) がﾌｧｲﾙｻｲｽﾞ ({3} ﾊﾞｲﾄ) と合いません</source>
        <translation>the {2} clusters of {1} do not match its size ({3} bytes)</translation>
    </message>
    <message>
        <source>{1} と ほかのﾌｧｲﾙ が同じｸﾗｽﾀを使っています (ｸﾛｽﾘﾝｸ)</source>
        <translation>{1} shares clusters with another file (cross-linked)</translation>
    </message>
    <message>
        <source>{1} と {2} が同じｸﾗｽﾀを使っています (ｸﾛｽﾘﾝｸ)</source>
        <translation>{1} and {2} share clusters (cross-linked)</translation>
    </message>
    <message>
        <source>{1} のﾌｫﾙﾀﾞの階層が深すぎます</source>
        <translation>{1} lies in too many nested folders</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} のﾌｧｲﾙｼｽﾃﾑが壊れています ({2})</source>
        <translation>The file system of the disk image {1} is damaged ({2})</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} に空きがありません</source>
        <translation>The disk image {1} is full</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} のﾌｫﾙﾀﾞがいっぱいで、ﾌｧｲﾙを追加できません</source>
        <translation>A folder of the disk image {1} is full; no file can be added to it</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} を置いたﾃﾞｨｽｸに空きがないため、ﾃﾞｨｽｸｲﾒｰｼﾞに書き込めません</source>
        <translation>The disk that holds the disk image {1} is full, so the image cannot be written</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞの中には英数字の名前しか作れません</source>
        <translation>Only names of ASCII letters and digits can be made inside a disk image</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} は {2} のﾍﾞｰｽ (元のｲﾒｰｼﾞ) です。ｴﾐｭﾚｰﾀが開くｲﾒｰｼﾞを指定してください</source>
        <translation>The disk image {1} is the base (backing image) of {2}. Give the image the emulator opens</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞを読み書きする mtools がｲﾝｽﾄｰﾙされていません (apt install mtools)</source>
        <translation>mtools, which reads and writes disk images, is not installed (apt install mtools)</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞの処理が終わりません。ﾌｧｲﾙｼｽﾃﾑが壊れているかもしれません</source>
        <translation>Working on the disk image did not finish. Its file system may be damaged</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} のﾌｧｲﾙｼｽﾃﾑが壊れています (ｸﾗｽﾀﾁｪｰﾝが循環しています)。Windows の ScanDisk で修復してください</source>
        <translation>The file system of the disk image {1} is damaged (a cluster chain runs in a loop). Repair it with ScanDisk in Windows</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} を読み書きできません</source>
        <translation>The disk image {1} cannot be read or written</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} のﾌｧｲﾙｼｽﾃﾑが壊れています ({2})。Windows の ScanDisk で修復してください</source>
        <translation>The file system of the disk image {1} is damaged ({2}). Repair it with ScanDisk in Windows</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞの中で {1} をほかの名前と区別できません</source>
        <translation>Inside the disk image, {1} cannot be told from another name</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} は {2} に接続されています。ｱﾝﾏｳﾝﾄして切り離して (losetup -d {2}) から、もう一度実行してください</source>
        <translation>The disk image {1} is attached to {2}. Unmount it and detach it (losetup -d {2}), then try again</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞの中にこの名前を作れません</source>
        <translation>This name cannot be made inside the disk image</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} は {2} が使用中です。ｴﾐｭﾚｰﾀを終了してから、もう一度実行してください</source>
        <translation>The disk image {1} is in use by {2}. Quit the emulator, then try again</translation>
    </message>
    <message>
        <source>別のﾌﾟﾛｸﾞﾗﾑ</source>
        <translation>another program</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ用のﾌｫﾙﾀﾞ {1} が自分専用のﾌｫﾙﾀﾞではありません</source>
        <translation>The folder for disk images {1} is not private to you</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} の qemu-img check が {2} 秒で終わりません</source>
        <translation>qemu-img check of the disk image {1} did not finish in {2} seconds</translation>
    </message>
    <message>
        <source>qemu-storage-daemon と FUSE が必要です ({1} がありません): apt install qemu-system-common fuse3</source>
        <translation>qemu-storage-daemon and FUSE are needed ({1} is missing): apt install qemu-system-common fuse3</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} を qemu-storage-daemon で開けません</source>
        <translation>qemu-storage-daemon cannot open the disk image {1}</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸｲﾒｰｼﾞ {1} を qemu-storage-daemon で開けません ({2})</source>
        <translation>qemu-storage-daemon cannot open the disk image {1} ({2})</translation>
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
        <translation>Cycle from</translation>
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
        <translation>Target logo</translation>
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
Install this logo now? It replaces: {2}</translation>
    </message>
    <message>
        <source>変更が終了しました</source>
        <translation>The logo has been changed.</translation>
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
        <translation>Install as ending</translation>
    </message>
    <message>
        <source>中間にする</source>
        <translation>Install as middle</translation>
    </message>
    <message>
        <source>ｵｰﾌﾟﾆﾝｸﾞにする</source>
        <translation>Install as opening</translation>
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
        <translation>Install as opening</translation>
    </message>
    <message>
        <source>中間変更</source>
        <translation>Install as middle</translation>
    </message>
    <message>
        <source>ｴﾝﾃﾞｨﾝｸﾞ変更</source>
        <translation>Install as ending</translation>
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
    <name>kor::setup::MainWindow</name>
    <message>
        <source>ファイル</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>オープン</source>
        <translation>&amp;Open picture folder</translation>
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
        <translation>Skip size check</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Close</translation>
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
        <source>パレットの {1}～{2} 番の色が循環します。</source>
        <translation>entries {1}-{2} cycle</translation>
    </message>
    <message>
        <source>アニメーションはありません。</source>
        <translation>no animation</translation>
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
    <message>
        <source>使い方: korlogo check [--pc98] ファイル...
        korlogo convert [--pc98] [--fit|--fill|--stretch] [--square-pixels]
                        [--animate-from N] 画像 ロゴ
        korlogo preview [--pc98] [--square-pixels] [--interval ミリ秒] [--save PNG]
                        ファイル
        korlogo --help | --version
</source>
        <translation>usage: korlogo check [--pc98] FILE...
       korlogo convert [--pc98] [--fit|--fill|--stretch] [--square-pixels]
                       [--animate-from N] PICTURE LOGO
       korlogo preview [--pc98] [--square-pixels] [--interval MS] [--save PNG]
                       FILE
       korlogo --help | --version
</translation>
    </message>
    <message>
        <source>Windows 95 (と PC-98) の起動・終了時のロゴファイルを、エミュレートしたマシンの外で
調べ、画像から作り、起動画面と同じように表示します。

コマンド:
  check        ファイルごとに、ロゴとして表示できるかどうかと、できない場合は
               その理由を表示します
  convert      画像 (PNG、JPEG、GIF、BMP など) をロゴファイルに変換します
               (ロゴに - を指定すると標準出力)
  preview      ロゴを起動画面と同じようにウィンドウに表示し、色を循環させます

オプション:
  --pc98       Windows 95 ではなく PC-98 のロゴとして扱います
  --fit        (convert) 画像全体を黒い余白付きで収めます (既定)
  --fill       (convert) 画面いっぱいに切り抜いて収めます
  --stretch    (convert) 画面に合わせて引き伸ばします
  --square-pixels  (convert、preview) 4:3 のモニタの形 (640x480) ではなく、
               640x400 の正方形ピクセルの画面で画像の形を保ちます
  --animate-from N  (convert) 表示中にパレットの N 番から最後までの色を循環させます
  --interval ミリ秒  (preview) 色を循環させる間隔 (既定値 55)
  --save PNG   (preview) ウィンドウの代わりに最初の画面を PNG に書き出します
               (- は標準出力)
  -h, --help   この説明を表示して終了します
  --version    バージョンを表示して終了します

コマンドごとの説明は korlogo コマンド --help で表示します。

終了コード: 成功したとき 0、ファイルを扱えなかったとき 1、使い方の誤りは 2。
</source>
        <translation>Checks, makes from pictures and shows the start-up and shut-down logo files of
Windows 95 (and of a PC-98) on the host, outside any emulated machine.

Commands:
  check        says for each FILE whether it can be shown as a logo and, if not,
               why
  convert      turns a picture (PNG, JPEG, GIF, BMP, ...) into a logo file
               (- as LOGO for standard output)
  preview      shows a logo in a window as the machine does, its colours cycling

Options:
  --pc98       a logo of a PC-98 rather than of Windows 95
  --fit        (convert) the whole picture with black bars (the default)
  --fill       (convert) the screen covered, the picture cropped
  --stretch    (convert) the picture stretched to the screen
  --square-pixels  (convert, preview) the picture keeps its shape on 640x400
               square pixels rather than on a 4:3 monitor (640x480)
  --animate-from N  (convert) palette entries N to the last cycle when shown
  --interval MS  (preview) milliseconds between colour steps (55)
  --save PNG   (preview) writes the first frame to PNG instead of a window
               (- for standard output)
  -h, --help   shows this help and exits
  --version    shows the version and exits

korlogo COMMAND --help shows the help of one command.

Exit status: 0 on success, 1 when a file could not be handled, 2 on bad usage.
</translation>
    </message>
    <message>
        <source>詳しくは korlogo --help または korlogo コマンド --help を見てください。
</source>
        <translation>See korlogo --help or korlogo COMMAND --help.
</translation>
    </message>
    <message>
        <source>korlogo バージョン {1}
</source>
        <translation>korlogo version {1}
</translation>
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

終了コード: ウィンドウを閉じたとき 0、画面がないときや続けられないときは 1、
使い方の誤りは 2。
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

Exit status: 0 when the window was closed, 1 without a display or when it
cannot go on, 2 on bad usage.
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
    <message>
        <source>korsetup: ウィンドウを表示する画面がありません。デスクトップ (DISPLAY または WAYLAND_DISPLAY のあるセッション) で起動してください。
</source>
        <translation>korsetup: no display to show the window on; start it on a desktop (a session with DISPLAY or WAYLAND_DISPLAY).
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
<context>
    <name>machines</name>
    <message>
        <source>最初のﾃﾞｨｽｸにﾄﾞﾗｲﾌﾞ名の付く FAT のﾊﾟｰﾃｨｼｮﾝがありません (隠しﾊﾟｰﾃｨｼｮﾝと休止中のﾊﾟｰﾃｨｼｮﾝには付きません)</source>
        <translation>The first disk has no FAT partition that gets a drive letter (hidden and sleeping partitions get none)</translation>
    </message>
    <message>
        <source>ﾊｰﾄﾞﾃﾞｨｽｸのｲﾒｰｼﾞが書かれていません ({1})</source>
        <translation>It names no hard disk image ({1})</translation>
    </message>
    <message>
        <source>{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} は書き込み禁止です</source>
        <translation>The disk image {2} of {1} is write-protected</translation>
    </message>
    <message>
        <source>{1} の環境変数 ${2} が設定されていません</source>
        <translation>The environment variable ${2} of {1} is not set</translation>
    </message>
    <message>
        <source>{1} の mode={2} のﾃﾞｨｽｸは変更できません。raw 形式に変換して mode=flat にしてください</source>
        <translation>The disk of {1} with mode={2} cannot be changed. Convert it to a raw image and use mode=flat</translation>
    </message>
    <message>
        <source>KOR の知っているｴﾐｭﾚｰﾀの設定ﾌｧｲﾙではありません</source>
        <translation>It is not a configuration file of an emulator KOR knows</translation>
    </message>
    <message>
        <source>ｴﾐｭﾚｰﾀがわかりません</source>
        <translation>Its emulator is unknown</translation>
    </message>
    <message>
        <source>普通のﾌｧｲﾙではありません</source>
        <translation>It is not a regular file</translation>
    </message>
    <message>
        <source>設定ﾌｧｲﾙにしては大きすぎます ({1} ﾊﾞｲﾄ)</source>
        <translation>It is too large for a configuration file ({1} bytes)</translation>
    </message>
    <message>
        <source>設定ﾌｧｲﾙにしては大きすぎます</source>
        <translation>It is too large for a configuration file</translation>
    </message>
    <message>
        <source>ﾃｷｽﾄﾌｧｲﾙではありません</source>
        <translation>It is not a text file</translation>
    </message>
    <message>
        <source>{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} がありません</source>
        <translation>The disk image {2} of {1} does not exist</translation>
    </message>
    <message>
        <source>{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} を調べられません ({3})</source>
        <translation>The disk image {2} of {1} cannot be examined ({3})</translation>
    </message>
    <message>
        <source>{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} はﾃﾞﾊﾞｲｽです。ﾃﾞｨｽｸｲﾒｰｼﾞのﾌｧｲﾙしか使えません</source>
        <translation>The disk image {2} of {1} is a device. Only disk image files can be used</translation>
    </message>
    <message>
        <source>{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} はﾌｫﾙﾀﾞです</source>
        <translation>The disk image {2} of {1} is a folder</translation>
    </message>
    <message>
        <source>{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} は普通のﾌｧｲﾙではありません</source>
        <translation>The disk image {2} of {1} is not a regular file</translation>
    </message>
    <message>
        <source>{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} を読み込めません ({3})</source>
        <translation>The disk image {2} of {1} cannot be read ({3})</translation>
    </message>
    <message>
        <source>このﾌｫﾙﾀﾞにはｴﾐｭﾚｰﾀの設定ﾌｧｲﾙがありません</source>
        <translation>This folder holds no configuration file of an emulator</translation>
    </message>
    <message>
        <source>このﾌｫﾙﾀﾞには設定ﾌｧｲﾙが複数あります ({1})。使うﾌｧｲﾙを指定してください</source>
        <translation>This folder holds several configuration files ({1}). Name the one to use</translation>
    </message>
    <message>
        <source>ｴﾐｭﾚｰﾀの書かない DTD が宣言されています</source>
        <translation>It declares a DTD, which no emulator writes</translation>
    </message>
    <message>
        <source>XML の形式が正しくありません</source>
        <translation>It is not well-formed XML</translation>
    </message>
    <message>
        <source>VirtualBox のﾏｼﾝ (&lt;Machine&gt;) がありません</source>
        <translation>It holds no VirtualBox machine (&lt;Machine&gt;)</translation>
    </message>
    <message>
        <source>{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} がﾏｼﾝのﾒﾃﾞｨｱ一覧にありません</source>
        <translation>The disk image {2} of {1} is not in the machine&apos;s media registry</translation>
    </message>
    <message>
        <source>{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} はｽﾅｯﾌﾟｼｮｯﾄの差分ｲﾒｰｼﾞ (VirtualBox) なので変更できません。ｽﾅｯﾌﾟｼｮｯﾄを削除または統合するか、ﾍﾞｰｽｲﾒｰｼﾞ {3} をつないでください</source>
        <translation>The disk image {2} of {1} is the differencing image of a snapshot (VirtualBox) and cannot be changed. Delete or merge the snapshots, or attach the base image {3}</translation>
    </message>
    <message>
        <source>ﾊｰﾄﾞﾃﾞｨｽｸがつながれていません</source>
        <translation>It attaches no hard disk</translation>
    </message>
    <message>
        <source>libvirt のﾄﾞﾒｲﾝ (&lt;domain&gt;) ではありません</source>
        <translation>It is not a libvirt domain (&lt;domain&gt;)</translation>
    </message>
    <message>
        <source>{1} はﾌﾞﾛｯｸﾃﾞﾊﾞｲｽです。ﾃﾞｨｽｸｲﾒｰｼﾞのﾌｧｲﾙしか使えません</source>
        <translation>{1} is a block device. Only disk image files can be used</translation>
    </message>
    <message>
        <source>{1} はﾃﾞｨｽｸｲﾒｰｼﾞのﾌｧｲﾙではありません ({2})</source>
        <translation>{1} is not a disk image file ({2})</translation>
    </message>
    <message>
        <source>ﾊｰﾄﾞﾃﾞｨｽｸが書かれていません</source>
        <translation>It names no hard disk</translation>
    </message>
    <message>
        <source>ﾏｼﾝの名前は空白で始まったり終わったりしない 1 行の文字列にしてください</source>
        <translation>A machine&apos;s name must be one line that neither starts nor ends with a blank</translation>
    </message>
    <message>
        <source>ﾏｼﾝの名前に &quot;=&quot; は使えません。&quot;[&quot;、&quot;;&quot;、&quot;#&quot; で始めることもできません</source>
        <translation>A machine&apos;s name cannot hold &quot;=&quot;, nor start with &quot;[&quot;, &quot;;&quot; or &quot;#&quot;</translation>
    </message>
    <message>
        <source>このﾊﾟｽは machines.ini に保存できません</source>
        <translation>This path cannot be saved in machines.ini</translation>
    </message>
    <message>
        <source>このﾏｼﾝは machines.ini に保存できません</source>
        <translation>This machine cannot be saved in machines.ini</translation>
    </message>
    <message>
        <source>Windows の MSDOS.SYS としては大きすぎます</source>
        <translation>It is too large for the MSDOS.SYS of Windows</translation>
    </message>
    <message>
        <source>[Paths] の WinDir={1} がﾌｫﾙﾀﾞのﾌﾙﾊﾟｽではありません</source>
        <translation>WinDir={1} in [Paths] is not the full path of a folder</translation>
    </message>
    <message>
        <source>その名前のﾏｼﾝはなく、そこにﾏｼﾝもありません</source>
        <translation>No machine has that name, and no machine lies there</translation>
    </message>
</context>
<context>
    <name>operation</name>
    <message>
        <source>このﾊﾟｽは使えません</source>
        <translation>Cannot use this path</translation>
    </message>
    <message>
        <source>この場所を Windows のﾊﾟｽで表せません</source>
        <translation>This place has no Windows path</translation>
    </message>
    <message>
        <source>このﾌｫﾙﾀﾞのﾌｧｲﾙ一覧を読み込めません</source>
        <translation>Cannot read the list of files in this folder</translation>
    </message>
    <message>
        <source>このﾌｧｲﾙのｻｲｽﾞを調べられません</source>
        <translation>Cannot find the size of this file</translation>
    </message>
    <message>
        <source>このﾌｧｲﾙをｺﾋﾟｰできません</source>
        <translation>Cannot copy this file</translation>
    </message>
    <message>
        <source>このﾌｧｲﾙを削除できません</source>
        <translation>Cannot delete this file</translation>
    </message>
    <message>
        <source>このﾌｧｲﾙの名前を変更できません</source>
        <translation>Cannot rename this file</translation>
    </message>
    <message>
        <source>このﾌｧｲﾙを移動できません</source>
        <translation>Cannot move this file</translation>
    </message>
    <message>
        <source>このﾌｧｲﾙを読み込めません</source>
        <translation>Cannot read this file</translation>
    </message>
    <message>
        <source>このﾌｧｲﾙに書き込めません</source>
        <translation>Cannot write to this file</translation>
    </message>
    <message>
        <source>このﾌｫﾙﾀﾞを作成できません</source>
        <translation>Cannot create this folder</translation>
    </message>
    <message>
        <source>このﾌｫﾙﾀﾞに移動できません</source>
        <translation>Cannot go to this folder</translation>
    </message>
    <message>
        <source>このﾄﾞﾗｲﾌﾞに切り替えられません</source>
        <translation>Cannot switch to this drive</translation>
    </message>
    <message>
        <source>Shift-JIS の文字列を読み取れません</source>
        <translation>Cannot read this Shift-JIS text</translation>
    </message>
    <message>
        <source>Shift-JIS の文字列に変換できません</source>
        <translation>Cannot convert this text to Shift-JIS</translation>
    </message>
    <message>
        <source>このﾌｫﾙﾀﾞにﾌｧｲﾙを作成できません</source>
        <translation>Cannot create a file in this folder</translation>
    </message>
    <message>
        <source>このﾄﾞﾗｲﾌﾞのﾃﾞｨｽｸｲﾒｰｼﾞを使えません</source>
        <translation>Cannot use the disk image of this drive</translation>
    </message>
    <message>
        <source>WINDIR の Windows ﾌｫﾙﾀﾞを使えません</source>
        <translation>Cannot use the Windows folder that WINDIR names</translation>
    </message>
    <message>
        <source>Windows ﾌｫﾙﾀﾞを開けません</source>
        <translation>Cannot open the Windows folder</translation>
    </message>
    <message>
        <source>ｴﾐｭﾚｰﾀのﾏｼﾝを開けません</source>
        <translation>Cannot open the emulator&apos;s machine</translation>
    </message>
    <message>
        <source>このﾏｼﾝを登録できません</source>
        <translation>Cannot add this machine</translation>
    </message>
    <message>
        <source>ﾏｼﾝの一覧を保存できません</source>
        <translation>Cannot save the list of machines</translation>
    </message>
    <message>
        <source>このﾌｧｲﾙを開けません</source>
        <translation>Cannot open this file</translation>
    </message>
    <message>
        <source>この書庫を読み込めません</source>
        <translation>Cannot read this archive</translation>
    </message>
    <message>
        <source>このﾌｧｲﾙを解凍できません</source>
        <translation>Cannot extract this file</translation>
    </message>
    <message>
        <source>このﾌｫﾙﾀﾞに解凍できません</source>
        <translation>Cannot extract into this folder</translation>
    </message>
    <message>
        <source>このｺﾏﾝﾄﾞを実行できません</source>
        <translation>Cannot run this command</translation>
    </message>
    <message>
        <source>このﾚｽﾎﾟﾝｽﾌｧｲﾙを読み込めません</source>
        <translation>Cannot read this response file</translation>
    </message>
    <message>
        <source>このﾄﾞﾗｲﾌﾞを選択できません</source>
        <translation>Cannot select this drive</translation>
    </message>
    <message>
        <source>このﾌｫﾙﾀﾞを開けません</source>
        <translation>Cannot open this folder</translation>
    </message>
    <message>
        <source>Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) を開けません</source>
        <translation>Cannot open the folder of the Windows machine (KOR_ROOT)</translation>
    </message>
    <message>
        <source>このﾌｫﾙﾀﾞにﾚｽﾎﾟﾝｽﾌｧｲﾙを作成できません</source>
        <translation>Cannot create a response file in this folder</translation>
    </message>
    <message>
        <source>ﾗｲﾌﾞﾗﾘを読み込めません</source>
        <translation>Cannot load the library</translation>
    </message>
    <message>
        <source>このﾛｺﾞﾌｧｲﾙを置き換えられません</source>
        <translation>Cannot replace this logo file</translation>
    </message>
    <message>
        <source>この画像をﾛｺﾞに変換できません</source>
        <translation>Cannot convert this picture into a logo</translation>
    </message>
</context>
<context>
    <name>platform</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
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
    <message>
        <source>ファイルが見つかりません</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>パスが見つかりません</source>
        <translation>Path not found</translation>
    </message>
    <message>
        <source>アクセスが拒否されました</source>
        <translation>Access denied</translation>
    </message>
    <message>
        <source>ディスクが書き込み禁止になっています</source>
        <translation>The disk is write-protected</translation>
    </message>
    <message>
        <source>ディスクの空き容量が不足しています</source>
        <translation>There is not enough space on the disk</translation>
    </message>
    <message>
        <source>同じ名前のファイルが既にあります</source>
        <translation>A file with the same name already exists</translation>
    </message>
    <message>
        <source>フォルダが空ではありません</source>
        <translation>The folder is not empty</translation>
    </message>
    <message>
        <source>ドライブが割り当てられていません</source>
        <translation>No drive has this letter</translation>
    </message>
    <message>
        <source>別のドライブです</source>
        <translation>It is on another drive</translation>
    </message>
    <message>
        <source>フォルダです</source>
        <translation>It is a folder</translation>
    </message>
    <message>
        <source>Shift-JIS で扱えない文字があります</source>
        <translation>It holds characters that Shift-JIS cannot represent</translation>
    </message>
    <message>
        <source>ディスクの読み書きに失敗しました</source>
        <translation>The disk could not be read or written</translation>
    </message>
    <message>
        <source>指定された名前または値が正しくありません</source>
        <translation>The name or value given is not valid</translation>
    </message>
    <message>
        <source>ファイル名が長すぎます</source>
        <translation>The file name is too long</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます</source>
        <translation>The file is too large</translation>
    </message>
    <message>
        <source>開いているファイルが多すぎます</source>
        <translation>Too many files are open</translation>
    </message>
    <message>
        <source>メモリが不足しています</source>
        <translation>There is not enough memory</translation>
    </message>
    <message>
        <source>別のプロセスが使用中です</source>
        <translation>Another process is using it</translation>
    </message>
    <message>
        <source>データが壊れています</source>
        <translation>The data is damaged</translation>
    </message>
    <message>
        <source>ファイルが途中で変更されました</source>
        <translation>The file changed while it was being worked on</translation>
    </message>
    <message>
        <source>エラーが発生しました (errno {1}: {2})</source>
        <translation>An error occurred (errno {1}: {2})</translation>
    </message>
    <message>
        <source>{1}。</source>
        <translation>{1}.</translation>
    </message>
    <message>
        <source>{1}。{2}。</source>
        <translation>{1}. {2}.</translation>
    </message>
    <message>
        <source>ﾊﾟｰﾃｨｼｮﾝ番号 &quot;{1}&quot; が正しくありません</source>
        <translation>The partition number &quot;{1}&quot; is not valid</translation>
    </message>
    <message>
        <source>ﾌﾞﾛｯｸﾃﾞﾊﾞｲｽ {1} はﾄﾞﾗｲﾌﾞにできません (ｼｽﾃﾑや別のﾌﾟﾛｸﾞﾗﾑが使用中かどうかを確かめられません)。ﾃﾞｨｽｸｲﾒｰｼﾞのﾌｧｲﾙか、ﾃﾞｨｽｸをﾏｳﾝﾄしたﾌｫﾙﾀﾞにﾘﾝｸしてください</source>
        <translation>The block device {1} cannot be a drive (nothing tells whether the system or another program is using it). Link a disk image file, or the folder the disk is mounted on</translation>
    </message>
    <message>
        <source>このﾌﾟﾛｸﾞﾗﾑはﾃﾞｨｽｸｲﾒｰｼﾞのﾄﾞﾗｲﾌﾞを開けません</source>
        <translation>This program cannot open drives that are disk images</translation>
    </message>
</context>
<context>
    <name>unlha32</name>
    <message>
        <source>書庫にこのﾌｧｲﾙがありません</source>
        <translation>The archive holds no such file</translation>
    </message>
    <message>
        <source>書庫に同じ名前のﾌｧｲﾙが複数あります</source>
        <translation>The archive holds several files of this name</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名がありません</source>
        <translation>It has no file name</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名に使えない文字があります</source>
        <translation>Its name holds characters that a file name cannot</translation>
    </message>
    <message>
        <source>この圧縮方式は解凍できません: {1}</source>
        <translation>This compression method cannot be extracted: {1}</translation>
    </message>
    <message>
        <source>書庫が途中で変更されました</source>
        <translation>The archive changed while it was being read</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙのﾃﾞｰﾀが壊れています</source>
        <translation>The file&apos;s data is damaged</translation>
    </message>
    <message>
        <source>CRC が一致しません。ﾌｧｲﾙのﾃﾞｰﾀが壊れています</source>
        <translation>The CRC does not match. The file&apos;s data is damaged</translation>
    </message>
    <message>
        <source>解凍先のﾌｫﾙﾀﾞがありません</source>
        <translation>The destination folder does not exist</translation>
    </message>
</context>
</TS>
