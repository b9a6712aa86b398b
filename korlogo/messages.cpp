// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"

#include "language/translation.h"
#include "platform/host_files.h"
#include "platform/result.h"

namespace kor::korlogo {
namespace {

struct Text {
    Message message;
    const char* japanese;
};

// Every text korlogo writes, in Japanese; their English is in
// translations/kor_en.ts. {1}, {2}, ... stand for the values filled in.
constexpr Text Texts[] = {
    {Message::Synopsis,
     KOR_TRANSLATE_NOOP(
         "korlogo",
         "使い方: korlogo check [--pc98] ファイル...\n"
         "        korlogo convert [--pc98] [--fit|--fill|--stretch] [--square-pixels]\n"
         "                        [--animate-from N] 画像 ロゴ\n"
         "        korlogo preview [--pc98] [--square-pixels] [--interval ミリ秒] [--save PNG]\n"
         "                        ファイル\n"
         "        korlogo --help | --version\n")},
    {Message::Help,
     KOR_TRANSLATE_NOOP(
         "korlogo",
         "Windows 95 (と PC-98) の起動・終了時のロゴファイルを、エミュレートしたマシンの外で\n"
         "調べ、画像から作り、起動画面と同じように表示します。\n"
         "\n"
         "コマンド:\n"
         "  check        ファイルごとに、ロゴとして表示できるかどうかと、できない場合は\n"
         "               その理由を表示します\n"
         "  convert      画像 (PNG、JPEG、GIF、BMP など) をロゴファイルに変換します\n"
         "               (ロゴに - を指定すると標準出力)\n"
         "  preview      ロゴを起動画面と同じようにウィンドウに表示し、色を循環させます\n"
         "\n"
         "オプション:\n"
         "  --pc98       Windows 95 ではなく PC-98 のロゴとして扱います\n"
         "  --fit        (convert) 画像全体を黒い余白付きで収めます (既定)\n"
         "  --fill       (convert) 画面いっぱいに切り抜いて収めます\n"
         "  --stretch    (convert) 画面に合わせて引き伸ばします\n"
         "  --square-pixels  (convert、preview) 4:3 のモニタの形 (640x480) ではなく、\n"
         "               640x400 の正方形ピクセルの画面で画像の形を保ちます\n"
         "  --animate-from N  (convert) 表示中にパレットの N 番から最後までの色を循環させます\n"
         "  --interval ミリ秒  (preview) 色を循環させる間隔 (既定値 55)\n"
         "  --save PNG   (preview) ウィンドウの代わりに最初の画面を PNG に書き出します\n"
         "               (- は標準出力)\n"
         "  -h, --help   この説明を表示して終了します\n"
         "  --version    バージョンを表示して終了します\n"
         "\n"
         "コマンドごとの説明は korlogo コマンド --help で表示します。\n"
         "\n"
         "終了コード: 成功したとき 0、ファイルを扱えなかったとき 1、使い方の誤りは 2。\n")},
    {Message::MoreHelp,
     KOR_TRANSLATE_NOOP(
         "korlogo", "詳しくは korlogo --help または korlogo コマンド --help を見てください。\n")},
    {Message::Version, KOR_TRANSLATE_NOOP("korlogo", "korlogo バージョン {1}\n")},
    {Message::HelpCheck,
     KOR_TRANSLATE_NOOP(
         "korlogo",
         "使い方: korlogo check [--pc98] ファイル...\n"
         "ファイルごとに、Windows 95 (--pc98 を付けると PC-98) が起動・終了時のロゴとして\n"
         "表示できるかどうかと、できない場合はその理由を表示します。\n"
         "終了コード: すべて表示できるとき 0、そうでないとき 1、使い方の誤りは 2。\n")},
    {Message::Shown, KOR_TRANSLATE_NOOP("korlogo", "{1}: {2} のロゴとして表示できます。{3}")},
    {Message::NotShown, KOR_TRANSLATE_NOOP("korlogo", "{1}: {2} のロゴとして表示できません。{3}")},
    {Message::Cycles, KOR_TRANSLATE_NOOP("korlogo", "パレットの {1}～{2} 番の色が循環します。")},
    {Message::DoesNotMove, KOR_TRANSLATE_NOOP("korlogo", "アニメーションはありません。")},
    {Message::Unreadable, KOR_TRANSLATE_NOOP("korlogo", "読み込めません。{1}。")},
    {Message::NotAFile, KOR_TRANSLATE_NOOP("korlogo", "ファイルではありません。")},
    {Message::HelpConvert,
     KOR_TRANSLATE_NOOP(
         "korlogo",
         "使い方: korlogo convert [--pc98] [--fit|--fill|--stretch] [--square-pixels]\n"
         "                        [--animate-from N] 画像 ロゴ\n"
         "画像 (PNG、JPEG、GIF、BMP など) を Windows 95 (--pc98 を付けると PC-98) "
         "のロゴファイルに\n"
         "変換します。ロゴに - を指定すると標準出力に書き出します。画像全体を黒い余白付きで "
         "(--fit、\n"
         "既定)、画面いっぱいに切り抜いて (--fill)、または引き伸ばして (--stretch) 収めます。\n"
         "画像の大きさの上限は、PNG と JPEG は 100 メガピクセル、その他は 32 メガピクセルです。\n"
         "画像の形は、4:3 のモニタに映る 640x400 の画面 (640x480) で保たれます。--square-pixels\n"
         "を付けると、エミュレータが拡大せずに映す 640x400 の正方形ピクセルの画面で保たれます。\n"
         "--animate-from N: 表示中にパレットの N 番から最後までの色を循環させます。\n"
         "終了コード: ロゴを書き込めたとき 0、そうでないとき 1、使い方の誤りは 2。\n")},
    {Message::Converted,
     KOR_TRANSLATE_NOOP("korlogo",
                        "{1}: {2} のロゴを書き込みました ({3}x{4} ドット、{5} 色)。{6}")},
    {Message::CannotReadPicture,
     KOR_TRANSLATE_NOOP("korlogo", "korlogo: {1}: 画像を読み込めません。{2}")},
    {Message::IsAFolder, KOR_TRANSLATE_NOOP("korlogo", "フォルダです。")},
    {Message::PictureTooLarge,
     KOR_TRANSLATE_NOOP("korlogo", "{1}x{2} ドットで、上限の {3} メガピクセルを超えています。")},
    {Message::PictureTooWide,
     KOR_TRANSLATE_NOOP("korlogo", "横幅が {1} ドットを超える画像は読み込めません。")},
    {Message::PictureDamaged, KOR_TRANSLATE_NOOP("korlogo", "画像のデータが壊れています。")},
    {Message::PictureOutOfMemory, KOR_TRANSLATE_NOOP("korlogo", "メモリが不足しています。")},
    {Message::PictureUnreadable,
     KOR_TRANSLATE_NOOP("korlogo", "画像の形式に対応していないか、データが壊れています。")},
    {Message::CannotWriteLogo,
     KOR_TRANSLATE_NOOP("korlogo", "korlogo: {1}: 書き込めません。{2}。")},
    {Message::OutputNotAFile,
     KOR_TRANSLATE_NOOP("korlogo",
                        "korlogo: {1}: 通常のファイルではない (フォルダ、デバイス、FIFO など) "
                        "ため、そのままにしました。"
                        "標準出力に書き出すには - を指定してください。")},
    {Message::StandardOutput, KOR_TRANSLATE_NOOP("korlogo", "標準出力")},
    {Message::BadAnimateFrom,
     KOR_TRANSLATE_NOOP("korlogo", "korlogo: --animate-from にはパレットの 1～{1} "
                                   "番を指定してください (\"{2}\" は使えません)。")},
    {Message::HelpPreview,
     KOR_TRANSLATE_NOOP(
         "korlogo",
         "使い方: korlogo preview [--pc98] [--square-pixels] [--interval ミリ秒] [--save PNG]\n"
         "                        ファイル\n"
         "ファイルを起動画面と同じように 4:3 のモニタの形 (640x480、--square-pixels を付けると\n"
         "640x400 の正方形ピクセル) でウィンドウに表示し、色を指定のミリ秒 (省略時 55) ごとに\n"
         "循環させます。Esc で終了します。--save を付けると、最初の画面 (画面と周囲 32 ドットの\n"
         "枠) を PNG に書き出します (- は標準出力)。\n"
         "終了コード: 表示または書き出しができたとき 0、そうでないとき 1、使い方の誤りは 2。\n")},
    {Message::PreviewCannotSave,
     KOR_TRANSLATE_NOOP("korlogo", "korlogo: {1}: 書き込めません。{2}。")},
    {Message::PreviewNoDisplay,
     KOR_TRANSLATE_NOOP("korlogo", "korlogo preview: ウィンドウを表示する画面がありません。--save "
                                   "PNG で画像に書き出せます。")},
};
} // namespace

std::string Messages::reason(int error) const {
    return language::sessionReadsJapanese() ? platform::userReasonOf(error)
                                            : platform::describeError(error);
}

std::string Messages::text(Message message, std::initializer_list<std::string_view> values) const {
    const char* japanese = "";
    for (const Text& entry : Texts)
        if (entry.message == message)
            japanese = entry.japanese;
    return language::fill(language::translate("korlogo", japanese), values);
}

} // namespace kor::korlogo
