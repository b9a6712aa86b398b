// SPDX-License-Identifier: GPL-3.0-or-later
#include "machine_launcher.h"

#include "machines/boot_command.h"
#include "machines/known_machines.h"
#include "platform/files.h"

#include <cstdlib>
#include <system_error>

namespace kor::setup {
namespace {

// The characters that make an argument of Exec need quotes.
constexpr std::string_view ReservedCharacters = " \t\n\"'\\><~|&;$*?#()`";
// Those that need a backslash inside quotes.
constexpr std::string_view EscapedInQuotes = "\"`$\\";
constexpr std::string_view HexadecimalDigits = "0123456789ABCDEF";

// The escapes of a string value, applied after the quoting of Exec.
std::string escapedValue(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string execArgument(std::string_view argument) {
    const bool quoted =
        argument.empty() || argument.find_first_of(ReservedCharacters) != std::string_view::npos;
    std::string text = quoted ? "\"" : "";
    for (const char c : argument) {
        if (c == '%')
            text += '%';
        else if (quoted && EscapedInQuotes.find(c) != std::string_view::npos)
            text += '\\';
        text += c;
    }
    if (quoted)
        text += '"';
    return text;
}

// A file name that the machine's name alone decides: letters, digits and "-"
// kept, every other byte written as "_" and two hexadecimal digits, so that
// two names never share a file and none leaves the folder.
std::string launcherFileName(std::string_view name) {
    std::string file = "kor-";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || byte == '-') {
            file += c;
        } else {
            file += '_';
            file += HexadecimalDigits[byte >> 4];
            file += HexadecimalDigits[byte & 0x0F];
        }
    }
    return file + ".desktop";
}

std::filesystem::path applicationsFolder() {
    return machines::xdgFolder("XDG_DATA_HOME", ".local/share") / "applications";
}

} // namespace

std::string desktopExecValue(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += execArgument(argument);
    }
    return escapedValue(line);
}

platform::Result<std::filesystem::path>
writeMachineLauncher(std::string_view name, const std::filesystem::path& path,
                     const machines::EmulatorMachine& machine, const std::string& korProgram) {
    const std::filesystem::path folder = applicationsFolder();
    const std::filesystem::path file = folder / launcherFileName(name);
    // A name so long that its file could not be made is refused before anything is written.
    if (file.filename().string().size() > 255)
        return platform::Error(platform::Operation::Write, file.string(), ENAMETOOLONG);
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure)
        return platform::Error(platform::Operation::CreateDirectory, folder.string(),
                               failure.value());

    // The machine by its path: a found machine's name may change as others
    // are found or added, and the launcher must change the machine it boots.
    std::vector<std::string> command = {korProgram, "--machine", path.string(), "--"};
    for (std::string& argument : machines::bootCommand(machine))
        command.push_back(std::move(argument));
    const std::string shownName = escapedValue(name);
    const std::string emulator(machines::emulatorName(machine.emulator));
    const std::string text = "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=" +
                             shownName +
                             "\n"
                             "Comment=Change the Windows logos with KOR, then start " +
                             shownName + " in " + emulator +
                             "\n"
                             "Comment[ja]=KOR で Windows のﾛｺﾞを変えてから " +
                             emulator + " で " + shownName +
                             " を起動します\n"
                             "Exec=" +
                             desktopExecValue(command) +
                             "\n"
                             "Path=" +
                             escapedValue(machine.configuration.parent_path().string()) +
                             "\n"
                             "Icon=korsetup\n"
                             "Terminal=false\n"
                             "Categories=System;Emulator;\n";
    KOR_TRY(platform::writeFileAtomically(file.string(), text));
    return file;
}

} // namespace kor::setup
