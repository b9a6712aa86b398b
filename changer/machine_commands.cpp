// SPDX-License-Identifier: GPL-3.0-or-later
#include "machine_commands.h"

#include "change_run.h"

#include "core/operations.h"
#include "diskimage/image_drives.h"
#include "language/translation.h"
#include "machines/known_machines.h"
#include "machines/machine_choice.h"
#include "platform/files.h"
#include "platform/host_files.h"
#include "platform/machine.h"
#include "platform/services.h"
#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kor::changer {

namespace {

namespace fs = std::filesystem;
using language::fill;
using language::translate;

constexpr std::string_view ProgramTitle = "KOR";

// A text of the session's language, on one line, without control characters.
std::string shown(std::string_view text) {
    return platform::escapeControlCharacters(text, platform::LineBreaks::Escape);
}

// Why something failed, on one line, as the user's report says it.
std::string reasonOf(const platform::Error& error) {
    std::string text = error.message();
    std::replace(text.begin(), text.end(), '\n', ' ');
    return shown(text);
}

} // namespace

int runInstead(const std::vector<std::string>& command, const fs::path& startFolder) {
    diskimage::closeImageDrives();
    std::error_code ignored;
    fs::current_path(startFolder, ignored);
    std::cout.flush();
    std::cerr.flush();
    std::vector<std::string> copies = command;
    std::vector<char*> arguments;
    arguments.reserve(copies.size() + 1);
    for (std::string& argument : copies)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    ::execvp(arguments.front(), arguments.data());
    const int error = errno;
    std::cerr << ProgramTitle << ": "
              << fill(translate("changer", "コマンドを実行できません: {1}: {2}"),
                      {shown(command.front()), platform::describeError(error)})
              << '\n';
    return error == ENOENT ? 127 : 126;
}

namespace {

// The services of the session, but an end of the program from inside the run
// (an archive that cannot be listed) runs the command in KOR's place.
class ServicesBeforeCommand final : public platform::Services {
  public:
    ServicesBeforeCommand(std::unique_ptr<platform::Services> session,
                          std::vector<std::string> command, fs::path startFolder)
        : m_session(std::move(session)), m_command(std::move(command)),
          m_startFolder(std::move(startFolder)) {}

    void showMessage(std::string_view caption, std::string_view text) override {
        m_session->showMessage(caption, text);
    }
    platform::Answer ask(std::string_view text) override { return m_session->ask(text); }
    void beep() override { m_session->beep(); }
    platform::FolderOpening openFolder(std::string_view windowsPath) override {
        return m_session->openFolder(windowsPath);
    }
    [[noreturn]] void endProgram(int) override { std::exit(runInstead(m_command, m_startFolder)); }

  private:
    std::unique_ptr<platform::Services> m_session;
    std::vector<std::string> m_command;
    fs::path m_startFolder;
};

// --drives: the drive map, then what it was made from.
int showDrives(const machines::OpenedMachine& opened) {
    const platform::Machine& machine = opened.machine;
    if (opened.emulator) {
        const machines::EmulatorMachine& emulator = *opened.emulator;
        for (const machines::LetteredDrive& drive : opened.letters.drives)
            if (drive.disk < emulator.disks.size())
                std::cout << shown(machines::driveMapLine(drive, emulator.disks[drive.disk].image))
                          << '\n';
        std::cout << fill(translate("changer", "設定ファイル: {1} ({2})"),
                          {shown(emulator.configuration.string()),
                           machines::emulatorName(emulator.emulator)})
                  << '\n';
        for (std::size_t disk = 0; disk < emulator.disks.size(); ++disk)
            std::cout << fill(translate("changer", "ディスク {1}: {2} ({3})"),
                              {std::to_string(disk + 1), shown(emulator.disks[disk].image.string()),
                               shown(emulator.disks[disk].key)})
                      << '\n';
    } else {
        // A folder of drives: each letter's folder, or the image its entry
        // leads to.
        for (const char letter : machine.drives()) {
            const std::string root = std::string(1, letter) + ":\\";
            platform::Result<fs::path> folder = machine.hostPath(root);
            std::string where;
            if (folder) {
                where = folder.value().string();
            } else {
                // The entry is named by the letter in either case.
                std::error_code error;
                for (const char name : {static_cast<char>(letter - 'A' + 'a'), letter})
                    if (const fs::path entry = machine.root() / std::string(1, name);
                        where.empty() && fs::exists(entry, error))
                        where = fill(translate("changer", "ディスクイメージ {1}"),
                                     {fs::weakly_canonical(entry, error).string()});
            }
            std::cout << letter << ":  " << shown(where) << '\n';
        }
    }
    std::cout << fill(translate("changer", "Windows フォルダ: {1}"),
                      {shown(machine.windowsDirectory())})
              << '\n'
              << fill(translate("changer", "起動ドライブ: {1}:"),
                      {std::string(1, machine.bootDrive())})
              << '\n';
    return 0;
}

} // namespace

// --list-machines: a line each, name, emulator, boot drive, and "ok" or why
// KOR cannot change it.
int listMachines() {
    std::vector<machines::KnownMachine> known = machines::knownMachines();
    if (known.empty())
        std::cout << translate("changer", "エミュレータの既定の場所にマシンが見つかりません。"
                                          "KOR --add-machine 名前 パス で登録してください")
                  << '\n';
    for (machines::KnownMachine& machine : known) {
        const machines::InspectedMachine inspected = machines::inspectMachine(std::move(machine));
        const std::string emulator(
            inspected.emulator ? machines::emulatorName(inspected.emulator->emulator) : "-");
        const std::string bootDrive =
            inspected.opened ? std::string{inspected.opened->machine.bootDrive(), ':'} : "-";
        const std::string verdict = inspected.usable ? translate("changer", "変更できます")
                                                     : reasonOf(inspected.usable.error());
        std::cout << shown(inspected.known.name) << "  " << emulator << "  " << bootDrive << "  "
                  << verdict << '\n';
        // Looking at a machine must not keep its emulator from starting.
        diskimage::releaseImageDrives();
    }
    return 0;
}

// --add-machine: kept only when it opens as a machine.
int addMachine(const std::string& name, const std::string& path) {
    platform::Result<machines::EmulatorMachine> read = machines::readEmulatorMachine(path);
    platform::Status added = read ? machines::addMachine(name, path) : read.error();
    if (!added) {
        std::cerr << ProgramTitle << ": " << reasonOf(added.error()) << '\n';
        return 1;
    }
    std::cout << shown(name) << ": " << machines::emulatorName(read.value().emulator) << ", "
              << shown(read.value().configuration.string()) << '\n';
    return 0;
}

int runOnChosenMachine(const CommandLine& line) {
    std::error_code ignored;
    const fs::path startFolder = fs::current_path(ignored);
    std::unique_ptr<platform::Services> services = platform::makeServicesForThisSession();
    if (!line.command.empty())
        services =
            std::make_unique<ServicesBeforeCommand>(std::move(services), line.command, startFolder);
    platform::setServices(std::move(services));
    platform::Machine::setImageOpener(diskimage::openImageDrive);

    // A machine that cannot be chosen is a failed run; the command still runs.
    platform::Result<machines::OpenedMachine> chosen = machines::chooseMachine(line.machine);
    int status = static_cast<int>(RunOutcome::Failed);
    if (!chosen) {
        if (line.action == CommandLine::Action::ShowDrives) {
            std::cerr << ProgramTitle << ": " << reasonOf(chosen.error()) << '\n';
            return status;
        }
        platform::services().showMessage(ProgramTitle, chosen.error().message());
    } else if (line.action == CommandLine::Action::ShowDrives) {
        return showDrives(chosen.value());
    } else {
        platform::Machine::setCurrent(std::move(chosen.value().machine));
        ChangeRun changeRun(line.options);
        status = static_cast<int>(changeRun.run());
    }
    if (!line.command.empty())
        return runInstead(line.command, startFolder);
    return status;
}

} // namespace kor::changer
