// korlogo: says whether Windows 95 (or a PC-98) can show files of the host as
// boot and shut-down logos and, when not, why.

#include "core/logo_format.h"
#include "platform/result.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using kor::core::LogoFormat;
using kor::core::LogoInspection;
using kor::core::LogoProblem;

enum class Language { English, Japanese };

// The language of the messages, as the C library would choose it.
Language languageOfThisSession() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::string_view(value).starts_with("ja") ? Language::Japanese
                                                             : Language::English;
    }
    return Language::English;
}

enum class Message {
    Usage,
    Shown,
    NotShown,
    Separator,
    Cycles,
    DoesNotMove,
    Unreadable,
    NotAFile,
    NotABitmap,
    WrongWidth,
    WrongHeight,
    WrongDepth,
    Compressed,
    WrongPaletteSize,
    WrongLength,
    TruncatedPixels,
    WrongPixelOffset,
};

struct Text {
    Message message;
    const char* english;
    const char* japanese;
};

// Every text korlogo writes; {1}, {2}, ... stand for the values filled in.
constexpr Text Texts[] = {
    {Message::Usage,
     "usage: korlogo check [--pc98] FILE...\n"
     "Says for each FILE whether Windows 95 (or a PC-98, with --pc98) can show it\n"
     "as a start-up or shut-down logo and, if not, why.\n"
     "Exit status: 0 when every file can be shown, 1 otherwise, 2 on bad usage.\n",
     "使い方: korlogo check [--pc98] ファイル...\n"
     "ファイルごとに、Windows 95 (--pc98 を付けると PC-98) が起動・終了時のロゴとして\n"
     "表示できるかどうかと、できない場合はその理由を表示します。\n"
     "終了コード: すべて表示できるとき 0、そうでないとき 1、使い方の誤りは 2。\n"},
    {Message::Shown, "{1}: {2} can show it as a logo; {3}",
     "{1}: {2} のロゴとして表示できます。{3}"},
    {Message::NotShown, "{1}: {2} cannot show it as a logo: {3}",
     "{1}: {2} のロゴとして表示できません。{3}"},
    {Message::Separator, "; ", ""},
    {Message::Cycles, "entries {1}-{2} cycle", "パレットの {1}～{2} 番の色が循環します。"},
    {Message::DoesNotMove, "does not move", "アニメーションはありません。"},
    {Message::Unreadable, "cannot read it: {1}", "読み込めません。{1}。"},
    {Message::NotAFile, "not a file", "ファイルではありません。"},
    {Message::NotABitmap, "not a Windows bitmap", "Windows のビットマップではありません。"},
    {Message::WrongWidth, "the width is {1}, not {2}",
     "幅が {1} ドットです ({2} ドットでなければなりません)。"},
    {Message::WrongHeight, "the height is {1}, not {2}",
     "高さが {1} ドットです ({2} ドットでなければなりません)。"},
    {Message::WrongDepth, "the colour depth is {1} bits, not {2}",
     "1 ドットの色のビット数が {1} です ({2} でなければなりません)。"},
    {Message::Compressed, "the pixels are compressed (method {1})",
     "画像が圧縮されています (方式 {1})。"},
    {Message::WrongPaletteSize, "the palette has {1} entries, not {2}",
     "パレットが {1} 色です ({2} 色でなければなりません)。"},
    {Message::WrongLength, "the file is {1} bytes long, not {2}",
     "ファイルの大きさが {1} バイトです ({2} バイトでなければなりません)。"},
    {Message::TruncatedPixels, "the pixels end {1} bytes past the end of the file",
     "画像データが途中で切れています ({1} バイト不足)。"},
    {Message::WrongPixelOffset, "the pixels start at byte {1}, not {2}",
     "画像データの開始位置が {1} バイト目です ({2} バイト目でなければなりません)。"},
};

class Messages {
  public:
    explicit Messages(Language language) : m_language(language) {}

    // Why a file could not be read, in the system's words; in English after a
    // colon, so without its capital unless it starts with an acronym.
    std::string reason(int error) const {
        if (m_language == Language::Japanese)
            return kor::platform::japaneseReason(error);
        std::string reason = std::generic_category().message(error);
        if (reason.size() > 1 && std::isupper(static_cast<unsigned char>(reason[0])) &&
            std::islower(static_cast<unsigned char>(reason[1])))
            reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
        return reason;
    }

    std::string text(Message message, std::initializer_list<std::string> values = {}) const {
        std::string filled;
        for (const Text& entry : Texts)
            if (entry.message == message)
                filled = m_language == Language::Japanese ? entry.japanese : entry.english;
        std::size_t number = 1;
        for (const std::string& value : values) {
            const std::string mark = "{" + std::to_string(number++) + "}";
            for (auto at = filled.find(mark); at != std::string::npos;
                 at = filled.find(mark, at + value.size()))
                filled.replace(at, mark.size(), value);
        }
        return filled;
    }

  private:
    Language m_language;
};

std::string reasonText(const Messages& messages, LogoProblem problem, const LogoInspection& found,
                       LogoFormat format) {
    const auto layout = kor::core::layoutOf(format);
    using std::to_string;
    switch (problem) {
    case LogoProblem::NotABitmap:
        return messages.text(Message::NotABitmap);
    case LogoProblem::WrongWidth:
        return messages.text(Message::WrongWidth,
                             {to_string(found.width), to_string(layout.width)});
    case LogoProblem::WrongHeight:
        return messages.text(Message::WrongHeight,
                             {to_string(found.height), to_string(layout.height)});
    case LogoProblem::WrongDepth:
        return messages.text(Message::WrongDepth,
                             {to_string(found.bitsPerPixel), to_string(layout.bitsPerPixel)});
    case LogoProblem::Compressed:
        return messages.text(Message::Compressed, {to_string(found.compression)});
    case LogoProblem::WrongPaletteSize:
        return messages.text(Message::WrongPaletteSize,
                             {to_string(found.coloursUsed), to_string(layout.paletteEntries)});
    case LogoProblem::WrongLength:
        return messages.text(Message::WrongLength,
                             {to_string(found.length), to_string(layout.length)});
    case LogoProblem::TruncatedPixels:
        return messages.text(Message::TruncatedPixels, {to_string(found.pixelEnd - found.length)});
    case LogoProblem::WrongPixelOffset:
        return messages.text(Message::WrongPixelOffset,
                             {to_string(found.pixelOffset), to_string(layout.pixelOffset)});
    }
    return {};
}

std::string machineName(LogoFormat format) {
    return format == LogoFormat::Pc98 ? "PC-98" : "Windows 95";
}

// The start of a host file and its length, or the errno that stopped the
// reading. Only the headers are read, so a file of any size costs the same; a
// FIFO or a device is never opened for reading and cannot block the run.
struct FileStart {
    std::vector<std::uint8_t> bytes;
    std::uint64_t length = 0;
    int error = 0;
    bool isFile = true;
};

FileStart readFileStart(const std::string& path) {
    FileStart file;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        file.error = errno;
        return file;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        file.error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        file.isFile = false;
    } else {
        file.length = static_cast<std::uint64_t>(status.st_size);
        file.bytes.resize(kor::core::LogoHeadersLength);
        std::size_t filled = 0;
        while (filled < file.bytes.size()) {
            const ssize_t got =
                ::read(descriptor, file.bytes.data() + filled, file.bytes.size() - filled);
            if (got > 0)
                filled += static_cast<std::size_t>(got);
            else if (got == 0)
                break;
            else if (errno != EINTR) {
                file.error = errno;
                break;
            }
        }
        file.bytes.resize(filled);
    }
    ::close(descriptor);
    return file;
}

// One line for one file; true when the machine can show it.
bool checkFile(const Messages& messages, const std::string& path, LogoFormat format) {
    const FileStart file = readFileStart(path);
    const std::string machine = machineName(format);
    std::string line;
    bool shown = false;
    if (file.error != 0) {
        line = messages.text(
            Message::NotShown,
            {path, machine, messages.text(Message::Unreadable, {messages.reason(file.error)})});
    } else if (!file.isFile) {
        line = messages.text(Message::NotShown, {path, machine, messages.text(Message::NotAFile)});
    } else {
        const LogoInspection found = kor::core::inspectLogo(file.bytes, file.length, format);
        if (found.isShown()) {
            shown = true;
            const std::string motion =
                found.animation
                    ? messages.text(Message::Cycles, {std::to_string(found.animation->first),
                                                      std::to_string(found.animation->last)})
                    : messages.text(Message::DoesNotMove);
            line = messages.text(Message::Shown, {path, machine, motion});
        } else {
            std::string reasons;
            for (const LogoProblem problem : found.problems) {
                if (!reasons.empty())
                    reasons += messages.text(Message::Separator);
                reasons += reasonText(messages, problem, found, format);
            }
            line = messages.text(Message::NotShown, {path, machine, reasons});
        }
    }
    std::printf("%s\n", line.c_str());
    return shown;
}

} // namespace

int main(int argc, char** argv) {
    const Messages messages(languageOfThisSession());
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto usage = [&](std::FILE* stream, int status) {
        std::fputs(messages.text(Message::Usage).c_str(), stream);
        return status;
    };
    if (arguments.empty())
        return usage(stderr, 2);
    if (arguments[0] == "--help" || arguments[0] == "-h")
        return usage(stdout, 0);
    if (arguments[0] != "check")
        return usage(stderr, 2);

    LogoFormat format = LogoFormat::Windows95;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !argument.starts_with("-") || argument == "-")
            files.push_back(argument);
        else if (argument == "--")
            optionsEnded = true;
        else if (argument == "--pc98")
            format = LogoFormat::Pc98;
        else if (argument == "--help" || argument == "-h")
            return usage(stdout, 0);
        else
            return usage(stderr, 2);
    }
    if (files.empty())
        return usage(stderr, 2);

    bool allShown = true;
    for (const std::string& file : files)
        allShown = checkFile(messages, file, format) && allShown;
    if (std::fflush(stdout) != 0)
        return 2;
    return allShown ? 0 : 1;
}
