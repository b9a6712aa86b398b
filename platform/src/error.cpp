#include "platform/result.h"

#include "host_files.h"

#include <cerrno>
#include <system_error>

namespace kor::platform {

std::string describeError(int error) {
    std::string reason = std::generic_category().message(error);
    // The reason follows a colon: "no such file or directory". A reason that
    // starts with an acronym keeps its capitals.
    if (reason.size() > 1 && reason[0] >= 'A' && reason[0] <= 'Z' && reason[1] >= 'a' &&
        reason[1] <= 'z')
        reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
}

std::string_view englishOperation(Operation operation) {
    switch (operation) {
    case Operation::Find:
        return "find";
    case Operation::FindWindowsPath:
        return "find the Windows path of";
    case Operation::List:
        return "list";
    case Operation::MeasureLength:
        return "get the length of";
    case Operation::Copy:
        return "copy";
    case Operation::Delete:
        return "delete";
    case Operation::Rename:
        return "rename";
    case Operation::Move:
        return "move";
    case Operation::Read:
        return "read";
    case Operation::Write:
        return "write";
    case Operation::CreateDirectory:
        return "create directory";
    case Operation::ChangeDirectory:
        return "change directory to";
    case Operation::ChangeDrive:
        return "change to drive";
    case Operation::OpenDirectory:
        return "open directory";
    case Operation::SelectDrive:
        return "select drive";
    case Operation::OpenWindowsDirectory:
        return "open the Windows directory";
    case Operation::Stage:
        return "stage";
    case Operation::DecodeText:
        return "decode CP932 text";
    case Operation::EncodeText:
        return "encode text as CP932";
    case Operation::LoadLibrary:
        return "load";
    case Operation::Open:
        return "open";
    case Operation::ReadArchive:
        return "read archive";
    case Operation::Extract:
        return "extract";
    case Operation::ExtractInto:
        return "extract into";
    case Operation::CreateFileIn:
        return "create a file in";
    case Operation::RunCommand:
        return "run command";
    case Operation::ReadResponseFile:
        return "read response file";
    case Operation::OpenMachine:
        return "open the folder of the Windows machine (KOR_ROOT)";
    }
    return "do";
}

// The program's own words, in the half-width katakana of its captions; the
// path they speak of ("この") stands on the line above.
std::string_view japaneseOperation(Operation operation) {
    switch (operation) {
    case Operation::Find:
        return "このﾊﾟｽは使えません";
    case Operation::FindWindowsPath:
        return "この場所を Windows のﾊﾟｽで表せません";
    case Operation::List:
        return "このﾌｫﾙﾀﾞのﾌｧｲﾙ一覧を読み込めません";
    case Operation::MeasureLength:
        return "このﾌｧｲﾙのｻｲｽﾞを調べられません";
    case Operation::Copy:
        return "このﾌｧｲﾙをｺﾋﾟｰできません";
    case Operation::Delete:
        return "このﾌｧｲﾙを削除できません";
    case Operation::Rename:
        return "このﾌｧｲﾙの名前を変更できません";
    case Operation::Move:
        return "このﾌｧｲﾙを移動できません";
    case Operation::Read:
        return "このﾌｧｲﾙを読み込めません";
    case Operation::Write:
        return "このﾌｧｲﾙに書き込めません";
    case Operation::CreateDirectory:
        return "このﾌｫﾙﾀﾞを作成できません";
    case Operation::ChangeDirectory:
        return "このﾌｫﾙﾀﾞに移動できません";
    case Operation::ChangeDrive:
        return "このﾄﾞﾗｲﾌﾞに切り替えられません";
    case Operation::OpenDirectory:
        return "このﾌｫﾙﾀﾞを開けません";
    case Operation::SelectDrive:
        return "このﾄﾞﾗｲﾌﾞを選択できません";
    case Operation::OpenWindowsDirectory:
        return "Windows ﾌｫﾙﾀﾞを開けません";
    case Operation::Stage:
        return "新しいﾛｺﾞの作業ﾌｧｲﾙを作成できません";
    case Operation::DecodeText:
        return "Shift-JIS の文字列を読み取れません";
    case Operation::EncodeText:
        return "Shift-JIS の文字列に変換できません";
    case Operation::LoadLibrary:
        return "ﾗｲﾌﾞﾗﾘを読み込めません";
    case Operation::Open:
        return "このﾌｧｲﾙを開けません";
    case Operation::ReadArchive:
        return "この書庫を読み込めません";
    case Operation::Extract:
        return "このﾌｧｲﾙを解凍できません";
    case Operation::ExtractInto:
        return "このﾌｫﾙﾀﾞに解凍できません";
    case Operation::CreateFileIn:
        return "このﾌｫﾙﾀﾞにﾌｧｲﾙを作成できません";
    case Operation::RunCommand:
        return "このｺﾏﾝﾄﾞを実行できません";
    case Operation::ReadResponseFile:
        return "このﾚｽﾎﾟﾝｽﾌｧｲﾙを読み込めません";
    case Operation::OpenMachine:
        return "Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) を開けません";
    }
    return "処理できません";
}

// The system's words, as the Japanese edition of Windows 95 reports a file
// error: full-width, a plain statement of the cause.
std::string japaneseReason(int code) {
    switch (code) {
    case ENOENT:
        return "ファイルが見つかりません";
    case ENOTDIR:
        return "パスが見つかりません";
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました";
    case EROFS:
        return "ディスクが書き込み禁止になっています";
    case ENOSPC:
    case EDQUOT:
        return "ディスクの空き容量が不足しています";
    case EEXIST:
        return "同じ名前のファイルが既にあります";
    case ENOTEMPTY:
        return "フォルダが空ではありません";
    case ENODEV:
        return "ドライブが割り当てられていません";
    case EXDEV:
        return "別のドライブです";
    case EISDIR:
        return "フォルダです";
    case EILSEQ:
        return "Shift-JIS で扱えない文字があります";
    case EIO:
        return "ディスクの読み書きに失敗しました";
    case EINVAL:
        return "指定された名前または値が正しくありません";
    case ENAMETOOLONG:
        return "ファイル名が長すぎます";
    case EFBIG:
        return "ファイルが大きすぎます";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます";
    case ENOMEM:
        return "メモリが不足しています";
    case EBUSY:
    case ETXTBSY:
        return "別のプロセスが使用中です";
    case EBADMSG:
        return "データが壊れています";
    case ESTALE:
        return "ファイルが途中で変更されました";
    }
    return "エラーが発生しました (errno " + std::to_string(code) + ": " + describeError(code) + ")";
}

std::string Error::reason() const {
    return m_detail.empty() ? describeError(m_code) : m_detail;
}

std::string Error::text() const {
    std::string text = "cannot " + std::string(englishOperation(m_operation));
    if (!m_path.empty())
        text += " " + m_path;
    if (!m_destination.empty())
        text += " to " + m_destination;
    return text + ": " + reason();
}

std::string Error::message() const {
    std::string place = m_path;
    if (!m_destination.empty())
        place += (place.empty() ? "→ " : " → ") + m_destination;
    std::string sentence =
        std::string(japaneseOperation(m_operation)) + "。" + japaneseReason(m_code) + "。";
    return place.empty() ? sentence : place + "\n" + sentence;
}

} // namespace kor::platform
