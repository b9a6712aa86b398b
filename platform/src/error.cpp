// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/result.h"

#include "platform/host_files.h"
#include "platform/text.h"

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

std::string Error::reasonInJapanese() const {
    return m_japaneseReason.empty() ? japaneseReason(m_code)
                                    : escapeControlCharacters(m_japaneseReason);
}

std::string Error::text() const {
    std::string text = "cannot " + std::string(m_operation.english);
    if (!m_path.empty())
        text += " " + m_path;
    if (!m_destination.empty())
        text += " to " + m_destination;
    return text + ": " + reason();
}

std::string Error::message() const {
    // A path may hold any byte a name can, a line break too: written escaped,
    // it stays on its own line and cannot pass for another report.
    std::string place = escapeControlCharacters(m_path, LineBreaks::Escape);
    if (!m_destination.empty())
        place += (place.empty() ? "→ " : " → ") +
                 escapeControlCharacters(m_destination, LineBreaks::Escape);
    const std::string operation = std::string(m_operation.japanese) + "。";
    if (m_reasonLeads)
        return reasonInJapanese() + "。\n" + (place.empty() ? "" : place + "\n") + operation;
    const std::string sentence = operation + reasonInJapanese() + "。";
    return place.empty() ? sentence : place + "\n" + sentence;
}

} // namespace kor::platform
