// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/known_machines.h"

#include "emulator_configuration.h"

#include "platform/file_descriptor.h"
#include "platform/host_files.h"
#include "platform/text.h"

#include "language/translation.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kor::machines {

namespace fs = std::filesystem;
using platform::Error;
using platform::Status;

namespace {

constexpr platform::Operation KeepMachine{
    "keep the machine", KOR_TRANSLATE_NOOP("operation", "このﾏｼﾝを登録できません")};
constexpr platform::Operation WriteMachines{
    "write the list of machines", KOR_TRANSLATE_NOOP("operation", "ﾏｼﾝの一覧を保存できません")};

// machines.ini: "[machines]" with a "NAME = PATH" line each, "[chosen]" with
// "machine = NAME-or-PATH". Section names are read without regard to case, as
// in KOR.INI.
constexpr std::string_view MachinesSection = "machines";
constexpr std::string_view ChosenSection = "chosen";
constexpr std::string_view ChosenKey = "machine";
// A longer line is none of ours: kept as it is, never read.
constexpr std::size_t LongestLine = 4096;
// How many entries of one of an emulator's folders are looked at.
constexpr int LargestFolder = 1000;

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool hasControlCharacter(std::string_view text) {
    return std::ranges::any_of(
        text, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// An absolute folder named by an environment variable, else none: the XDG
// base directories ignore a relative one.
fs::path absoluteFolderOf(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value != '/')
        return {};
    return value;
}

fs::path homeFolder() {
    if (fs::path home = absoluteFolderOf("HOME"); !home.empty())
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? fs::path(user->pw_dir) : fs::path();
}

// One line of machines.ini as read: an entry of a section, or another line
// (blank, comment, section header, junk) that is kept and never read again.
struct Line {
    std::string text;
    std::string section; // lower case, of the last header above
    bool header = false;
    std::string key; // empty but for an entry
    std::string value;
};

std::vector<Line> parseLines(const std::string& bytes) {
    std::vector<Line> lines;
    std::string section;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        Line line;
        line.text = bytes.substr(start, end - start);
        start = end + 1;
        const std::string_view text = trimmed(line.text);
        if (line.text.size() <= LongestLine && text.starts_with('[') && text.ends_with(']')) {
            section = lowered(trimmed(text.substr(1, text.size() - 2)));
            line.header = true;
        } else if (const std::size_t equals = text.find('=');
                   line.text.size() <= LongestLine && equals != std::string_view::npos &&
                   !text.starts_with(';') && !text.starts_with('#')) {
            line.key = trimmed(text.substr(0, equals));
            line.value = trimmed(text.substr(equals + 1));
        }
        line.section = section;
        lines.push_back(std::move(line));
    }
    return lines;
}

// The lines of machines.ini; none when there is no such file.
platform::Result<std::vector<Line>> readLines() {
    // Read as a configuration is: a FIFO or a huge file in its place would
    // otherwise hang or exhaust every start of the programs.
    platform::Result<std::string> text = readConfiguration(machinesFile());
    if (!text && text.error().code() == ENOENT)
        return std::vector<Line>();
    return parseLines(KOR_TRY(std::move(text)));
}

// Makes the folder of machines.ini, 0700, when it is missing: it tells which
// machines the user has.
Status makeFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return Error(platform::Operation::CreateDirectory, folder.string(), errno);
    return {};
}

// Writes machines.ini anew through a temporary file of its folder and a
// rename, so that a crash or a full disk leaves the old file whole.
Status writeLines(const std::vector<Line>& lines) {
    const fs::path file = machinesFile();
    KOR_TRY(makeFolder(file.parent_path()));
    std::string bytes;
    for (const Line& line : lines)
        bytes += line.text + '\n';
    std::string staged = (file.parent_path() / ".machines.ini.XXXXXX").string();
    platform::FileDescriptor output(::mkostemp(staged.data(), O_CLOEXEC));
    if (!output.isOpen())
        return Error(WriteMachines, file.string(), errno);
    struct stat old {};
    const mode_t mode = ::stat(file.c_str(), &old) == 0 ? old.st_mode & 07777 : 0600;
    int error = platform::writeAll(output.get(), bytes);
    if (error == 0 && (::fchmod(output.get(), mode) != 0 || ::fsync(output.get()) != 0))
        error = errno;
    if (const int closed = output.close(); error == 0)
        error = closed;
    if (error == 0 && ::rename(staged.c_str(), file.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(staged.c_str());
        return Error(WriteMachines, file.string(), error);
    }
    return {};
}

// Sets `key` of `section` to `value`: the first such line takes it, later
// ones go, so that the key stays once; a missing key goes after the last
// entry of its section, a missing section at the end. Every other line stays.
Status setEntry(std::string_view section, const std::string& key, const std::string& value) {
    std::vector<Line> lines = KOR_TRY(readLines());
    const std::string text = key + " = " + value;
    bool set = false;
    std::optional<std::size_t> place;
    for (std::size_t i = 0; i < lines.size();) {
        Line& line = lines[i];
        if (line.section != section) {
            ++i;
            continue;
        }
        if (!line.key.empty() && line.key == key) {
            if (set) {
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            line.text = text;
            set = true;
        }
        if (line.header || !trimmed(line.text).empty())
            place = i + 1;
        ++i;
    }
    if (!set) {
        if (!place) {
            if (!lines.empty() && !trimmed(lines.back().text).empty())
                lines.push_back({});
            lines.push_back({"[" + std::string(section) + "]", std::string(section), true, {}, {}});
            place = lines.size();
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*place),
                     Line{text, std::string(section), false, key, value});
    }
    return writeLines(lines);
}

// Why `text` cannot stand in machines.ini as a value or a name: empty, more
// than a line, control characters, blanks at its ends; empty when it can.
std::string_view flawOf(std::string_view text) {
    if (text.empty())
        return "it is empty";
    if (text.size() > LongestLine / 2)
        return "it is too long";
    if (hasControlCharacter(text))
        return "it holds a line break or another control character";
    if (trimmed(text) != text)
        return "it starts or ends with a blank";
    return {};
}

Error refusal(std::string_view what, std::string_view flaw, std::string told) {
    return Error(KeepMachine, platform::escapeControlCharacters(what, platform::LineBreaks::Escape),
                 EINVAL, std::string(flaw))
        .withUserReason(std::move(told));
}

Status checkName(std::string_view name) {
    const std::string_view flaw = flawOf(name);
    if (!flaw.empty())
        return refusal(
            name, "a machine's name cannot be used: " + std::string(flaw),
            language::translate(
                "machines",
                "ﾏｼﾝの名前は空白で始まったり終わったりしない 1 行の文字列にしてください"));
    if (name.find('=') != std::string_view::npos || name.starts_with('[') ||
        name.starts_with(';') || name.starts_with('#'))
        return refusal(
            name, "a machine's name cannot hold \"=\" nor start with \"[\", \";\" or \"#\"",
            language::translate(
                "machines",
                "ﾏｼﾝの名前に \"=\" は使えません。\"[\"、\";\"、\"#\" で始めることもできません"));
    return {};
}

// A path as machines.ini keeps it: absolute, "~/" for the home folder taken,
// a relative one taken from the file's folder.
fs::path resolvedPath(std::string_view kept) {
    fs::path path(kept);
    if (kept.starts_with("~/"))
        path = homeFolder() / kept.substr(2);
    else if (path.is_relative())
        path = machinesFile().parent_path() / path;
    return path.lexically_normal();
}

// Where an emulator keeps its machines in the home folder, by default.
enum class Base { Home, ConfigHome, DataHome };
struct Place {
    Base base;
    std::string_view folder;
    // Subfolders of `folder` that each hold machines: none when empty, all
    // for "*", else those whose name holds this.
    std::string_view subfolders;
    // The machine's file: one name ("86box.cfg"), or an ending ("*.cfg").
    std::string_view file;
    // Told after a name that another machine has taken.
    std::string_view emulator;
};

// The emulators' own defaults on Linux, as their sources set them:
// - 86Box's manager: a folder per machine, with its 86box.cfg, in
//   $XDG_DATA_HOME/86Box/Virtual Machines (Qt's AppDataLocation), or where
//   vmm_path of ~/.config/86Box/86box_global.cfg moves it; many users keep
//   them in ~/86Box and start 86Box -P.
// - PCem: ~/.pcem/configs/NAME.cfg.
// - DOSBox-X: its configurations in $XDG_CONFIG_HOME/dosbox-x.
// - Bochs: ~/.bochsrc, when the folder it starts in has none (bochsrc(5)).
// - VirtualBox: ~/VirtualBox VMs/NAME/NAME.vbox, the default machine folder
//   (VirtualBox manual, "The VM Folder"), and the machines registered in
//   ~/.config/VirtualBox/VirtualBox.xml.
// - libvirt: the session's domains, ~/.config/libvirt/qemu/NAME.xml.
// - Neko Project II kai and its kin: sdlnp2kai/np2kai.cfg,
//   sdlnp21kai/np21kai.cfg, xnp2kai/xnp2kairc and xnp21kai/xnp21kairc in
//   $XDG_CONFIG_HOME; np21w's X11 port ~/.np2/np2rc and np21rc.
constexpr Place Places[] = {
    {Base::DataHome, "86Box/Virtual Machines", "*", "86box.cfg", "86Box"},
    {Base::Home, "86Box", "*", "86box.cfg", "86Box"},
    {Base::Home, ".pcem/configs", "", "*.cfg", "PCem"},
    {Base::ConfigHome, "dosbox-x", "", "*.conf", "DOSBox-X"},
    {Base::Home, "", "", ".bochsrc", "Bochs"},
    {Base::Home, "VirtualBox VMs", "*", "*.vbox", "VirtualBox"},
    {Base::ConfigHome, "libvirt/qemu", "", "*.xml", "libvirt"},
    {Base::ConfigHome, "", "np2", "*.cfg", "Neko Project"},
    {Base::ConfigHome, "", "np2", "*.ini", "Neko Project"},
    {Base::ConfigHome, "", "np2", "*rc", "Neko Project"},
    {Base::Home, ".np2", "", "*rc", "Neko Project"},
};

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The emulators' own files that say where machines are, or nothing when
// they cannot be read as a configuration is.
std::string smallFile(const fs::path& file) {
    return readConfiguration(file).valueOr(std::string());
}

// Where 86Box's global settings move its manager's machines (vmm_path).
fs::path movedVirtualMachines(const fs::path& configHome) {
    for (const Line& line : parseLines(smallFile(configHome / "86Box/86box_global.cfg")))
        if (line.key == "vmm_path" && line.value.starts_with('/'))
            return line.value;
    return {};
}

// The machines registered in VirtualBox.xml: the src="..." of each
// <MachineEntry>, its entities decoded.
std::vector<KnownMachine> registeredVirtualBoxMachines(const fs::path& configHome) {
    std::vector<KnownMachine> found;
    const std::string text = smallFile(configHome / "VirtualBox/VirtualBox.xml");
    constexpr std::string_view entry = "<MachineEntry ";
    constexpr std::string_view source = "src=\"";
    for (std::size_t at = text.find(entry); at != std::string::npos;
         at = text.find(entry, at + 1)) {
        const std::size_t end = text.find('>', at);
        const std::size_t start = text.find(source, at);
        if (start == std::string::npos || start > end)
            continue;
        const std::size_t valueStart = start + source.size();
        std::string value = text.substr(valueStart, text.find('"', valueStart) - valueStart);
        for (const auto& [coded, plain] :
             {std::pair{"&quot;", "\""}, std::pair{"&apos;", "'"}, std::pair{"&lt;", "<"},
              std::pair{"&gt;", ">"}, std::pair{"&amp;", "&"}})
            for (std::size_t place = value.find(coded); place != std::string::npos;
                 place = value.find(coded, place + 1))
                value.replace(place, std::string_view(coded).size(), plain);
        const fs::path file(value);
        if (file.is_absolute() && isFile(file))
            found.push_back({file.stem().string(), file, false});
    }
    return found;
}

fs::path baseOf(Base base) {
    switch (base) {
    case Base::Home:
        return homeFolder();
    case Base::ConfigHome:
        return xdgFolder("XDG_CONFIG_HOME", ".config");
    case Base::DataHome:
        return xdgFolder("XDG_DATA_HOME", ".local/share");
    }
    return {};
}

// The entries of `folder`, in the order of their names, at most LargestFolder
// of them; links are not followed further than their own entry.
std::vector<fs::directory_entry> entriesOf(const fs::path& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end;
         !error && entry != end && entries.size() < LargestFolder; entry.increment(error))
        entries.push_back(*entry);
    std::ranges::sort(entries, {}, [](const fs::directory_entry& e) { return e.path(); });
    return entries;
}

// The machines of one place in `folder`: their name, and the file.
void findIn(const fs::path& folder, const Place& place, const std::string& folderName,
            std::vector<KnownMachine>& found) {
    if (!place.file.starts_with('*')) {
        if (isFile(folder / place.file)) {
            std::string name = folderName.empty() ? std::string(place.file) : folderName;
            name.erase(0, name.find_first_not_of('.'));
            found.push_back({name, folder / place.file, false});
        }
        return;
    }
    const std::string_view ending = place.file.substr(1);
    for (const fs::directory_entry& entry : entriesOf(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > ending.size() && name.ends_with(ending) && isFile(entry.path()))
            found.push_back({name.substr(0, name.size() - ending.size()), entry.path(), false});
    }
}

// The machines of `place` in `folder`.
std::vector<KnownMachine> machinesIn(const fs::path& folder, const Place& place) {
    std::vector<KnownMachine> here;
    if (place.subfolders.empty()) {
        findIn(folder, place, {}, here);
        return here;
    }
    for (const fs::directory_entry& entry : entriesOf(folder)) {
        const std::string name = entry.path().filename().string();
        std::error_code error;
        if ((place.subfolders == "*" || name.find(place.subfolders) != std::string::npos) &&
            entry.is_directory(error))
            findIn(entry.path(), place, place.file.starts_with('*') ? std::string() : name, here);
    }
    return here;
}

std::vector<KnownMachine> foundMachines() {
    std::vector<KnownMachine> found;
    // A machine found twice (a registered VirtualBox machine in its default
    // folder) counts once; two emulators may each have a machine of one name.
    const auto add = [&](std::vector<KnownMachine> here, std::string_view emulator) {
        for (KnownMachine& machine : here) {
            const auto taken = [&](const std::string& name) {
                return std::ranges::any_of(found,
                                           [&](const KnownMachine& m) { return m.name == name; });
            };
            if (std::ranges::any_of(found,
                                    [&](const KnownMachine& m) { return m.path == machine.path; }))
                continue;
            if (taken(machine.name))
                machine.name += " (" + std::string(emulator) + ")";
            if (!taken(machine.name) && checkName(machine.name))
                found.push_back(std::move(machine));
        }
    };
    for (const Place& place : Places)
        if (const fs::path base = baseOf(place.base); !base.empty())
            add(machinesIn(base / place.folder, place), place.emulator);
    const fs::path configHome = baseOf(Base::ConfigHome);
    if (const fs::path moved = movedVirtualMachines(configHome); !moved.empty())
        add(machinesIn(moved, Places[0]), Places[0].emulator);
    add(registeredVirtualBoxMachines(configHome), "VirtualBox");
    return found;
}

} // namespace

fs::path machinesFile() {
    return xdgFolder("XDG_CONFIG_HOME", ".config") / "kor" / "machines.ini";
}

std::vector<KnownMachine> knownMachines() {
    std::vector<KnownMachine> machines;
    const auto taken = [&](const std::string& name) {
        return std::ranges::any_of(machines, [&](const KnownMachine& m) { return m.name == name; });
    };
    // A file that cannot be read adds none; adding one reports why.
    for (const Line& line : readLines().valueOr({}))
        if (line.section == MachinesSection && !line.key.empty() && !line.value.empty() &&
            !taken(line.key))
            machines.push_back({line.key, resolvedPath(line.value), true});
    for (KnownMachine& machine : foundMachines())
        if (!taken(machine.name))
            machines.push_back(std::move(machine));
    return machines;
}

fs::path xdgFolder(const char* variable, const char* underHome) {
    fs::path folder = absoluteFolderOf(variable);
    return folder.empty() ? homeFolder() / underHome : folder;
}

std::optional<KnownMachine> findMachine(std::string_view nameOrPath) {
    if (nameOrPath.empty())
        return std::nullopt;
    std::vector<KnownMachine> known = knownMachines();
    for (KnownMachine& machine : known)
        if (machine.name == nameOrPath)
            return std::move(machine);
    std::error_code error;
    const fs::path path = fs::absolute(fs::path(nameOrPath), error).lexically_normal();
    if (error || !fs::exists(path, error))
        return std::nullopt;
    // A known machine's path gives it its name, whatever names the others take.
    for (KnownMachine& machine : known)
        if (machine.path.lexically_normal() == path)
            return std::move(machine);
    const fs::path named = path.has_filename() ? path : path.parent_path();
    const std::string name =
        fs::is_directory(path, error) ? named.filename().string() : named.stem().string();
    return KnownMachine{name, path, false};
}

Status addMachine(std::string_view name, const fs::path& path) {
    KOR_TRY(checkName(name));
    std::error_code error;
    const fs::path kept = fs::absolute(path, error).lexically_normal();
    const std::string text = kept.string();
    if (const std::string_view flaw = flawOf(text); error || !flaw.empty())
        return refusal(text, "the path cannot be kept: " + std::string(flaw),
                       language::translate("machines", "このﾊﾟｽは machines.ini に保存できません"));
    return setEntry(MachinesSection, std::string(name), text);
}

std::optional<std::string> lastChosenMachine() {
    std::optional<std::string> chosen;
    for (const Line& line : readLines().valueOr({}))
        if (line.section == ChosenSection && line.key == ChosenKey && !line.value.empty() &&
            !chosen)
            chosen = line.value;
    return chosen;
}

Status rememberChosenMachine(std::string_view nameOrPath) {
    if (const std::string_view flaw = flawOf(nameOrPath); !flaw.empty())
        return refusal(nameOrPath, "the machine cannot be remembered: " + std::string(flaw),
                       language::translate("machines", "このﾏｼﾝは machines.ini に保存できません"));
    // A path is kept whole, so that it names the same machine from any folder.
    std::string kept(nameOrPath);
    std::error_code error;
    if (kept.find('/') != std::string::npos)
        kept = fs::absolute(fs::path(kept), error).lexically_normal().string();
    return setEntry(ChosenSection, std::string(ChosenKey), kept);
}

} // namespace kor::machines
