// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/emulator_machine.h"

#include "emulator_configuration.h"
#include "platform/file_descriptor.h"
#include "platform/host_files.h"
#include "platform/text.h"

#include "language/translation.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace kor::machines {
namespace {

namespace fs = std::filesystem;
using platform::Error;
using platform::Operation;
using platform::Result;

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> all;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        all.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return all;
}

// An INI-like file as the emulators' own readers take it: `[section]`
// lines, `key = value` lines, blank lines and those starting with ';' or '#'
// skipped, anything else ignored; names of sections and keys in either case
// alike.
class IniFile {
  public:
    explicit IniFile(std::string_view text) {
        std::string section;
        for (std::string_view line : lines(text)) {
            line = trimmed(line);
            if (line.empty() || line.front() == ';' || line.front() == '#')
                continue;
            if (line.front() == '[') {
                const std::size_t close = line.find(']');
                if (close == std::string_view::npos)
                    continue;
                section = std::string(trimmed(line.substr(1, close - 1)));
                if (m_lowerSections.insert(lowered(section)).second)
                    m_sections.push_back(section);
                continue;
            }
            const std::size_t equals = line.find('=');
            if (equals != std::string_view::npos)
                m_values.emplace(place(section, trimmed(line.substr(0, equals))),
                                 std::string(trimmed(line.substr(equals + 1))));
        }
    }

    // The first value of `key` in `section` ("" before any section).
    std::optional<std::string> value(std::string_view section, std::string_view key) const {
        const auto found = m_values.find(place(section, key));
        return found == m_values.end() ? std::nullopt : std::optional(found->second);
    }

    bool hasSection(std::string_view section) const {
        return m_lowerSections.contains(lowered(section));
    }

    // The sections in the order they first appear, as written.
    const std::vector<std::string>& sections() const { return m_sections; }

  private:
    static std::string place(std::string_view section, std::string_view key) {
        return lowered(section) + '\n' + lowered(key);
    }

    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_sections;
    // The same names lowered, so that a file of many sections is read in
    // O(n log n), not in quadratic time.
    std::set<std::string> m_lowerSections;
};

std::string twoDigits(unsigned number) {
    return (number < 10 ? "0" : "") + std::to_string(number);
}

Error noHardDisk(const fs::path& file, const std::string& where) {
    return configurationRefusal(
        file, ENOENT, "it names no hard disk image (" + where + ")",
        language::fill(language::translate("machines", "ﾊｰﾄﾞﾃﾞｨｽｸのｲﾒｰｼﾞが書かれていません ({1})"),
                       {where}));
}

// The leading number of `text`, or `fallback` when it starts with none.
unsigned leadingNumber(std::string_view text, unsigned fallback) {
    text = trimmed(text);
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return fallback;
    unsigned number = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || number > 100000)
            break;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return number;
}

// "b:d" as 86Box writes a channel or a SCSI location; each part its default
// when it is missing.
std::pair<unsigned, unsigned> numberPair(std::string_view text, unsigned first, unsigned second) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return {leadingNumber(text, first), second};
    return {leadingNumber(text.substr(0, colon), first),
            leadingNumber(text.substr(colon + 1), second)};
}

// 86Box's hard disks (HDD_NUM) and SCSI buses (SCSI_BUS_MAX).
constexpr unsigned Box86DiskCount = 88;
constexpr unsigned Box86ScsiBusCount = 9;

// 86Box: src/config.c, load_hard_disks() and load_image_file(), and
// src/disk/hdd.c, hdd_string_to_bus(), in github.com/86Box/86Box. Up to 88
// disks in [Hard disks], each `hdd_NN_parameters = spt, hpc, tracks, wp,
// bus` and `hdd_NN_fn`, relative to the machine's folder; a disk without an
// image or on bus "none" is dropped. The BIOS numbers the disks of the
// board's own controller (MFM, XTA or ESDI by `hdd_NN_<bus>_channel`, IDE
// and ATAPI by `hdd_NN_ide_channel` "0:0", "0:1", "1:0"...) before those a
// SCSI adapter's BIOS adds (`hdd_NN_scsi_location` "bus:id", formerly
// `hdd_NN_scsi_id`).
Result<EmulatorMachine> read86BoxMachine(const fs::path& file, const IniFile& ini) {
    const std::string section = "Hard disks";
    struct Placed {
        unsigned controller; // the board's own, IDE, then SCSI
        unsigned position;
        MachineDisk disk;
    };
    std::vector<Placed> placed;
    for (unsigned index = 0; index < Box86DiskCount; ++index) {
        const std::string prefix = "hdd_" + twoDigits(index + 1) + "_";
        const std::optional<std::string> image = ini.value(section, prefix + "fn");
        const std::optional<std::string> parameters = ini.value(section, prefix + "parameters");
        if (!image || image->empty() || !parameters)
            continue;
        const std::size_t lastComma = parameters->rfind(',');
        const std::string bus(trimmed(parameters->substr(lastComma + 1)));
        const auto setting = [&](const std::string& name) {
            return ini.value(section, prefix + name).value_or("");
        };
        Placed disk{0, 0, {}};
        if (bus == "mfm" || bus == "xta" || bus == "esdi") {
            // 86Box takes any channel but 0 as the second (`!!value`).
            disk = {0, leadingNumber(setting(bus + "_channel"), index & 1) != 0 ? 1u : 0u, {}};
        } else if (bus == "ide" || bus == "atapi") {
            const auto [channel, device] =
                numberPair(setting("ide_channel"), index >> 1, index & 1);
            disk = {1, ((channel & 3) << 1) + (device & 1), {}};
        } else if (bus == "scsi") {
            const auto [scsiBus, id] =
                numberPair(setting("scsi_location"), Box86ScsiBusCount, index + 2);
            disk = {2,
                    scsiBus < Box86ScsiBusCount
                        ? (scsiBus << 4) + (id & 15)
                        : std::min(leadingNumber(setting("scsi_id"), index + 2), 15u),
                    {}};
        } else {
            continue;
        }
        // A write-protected disk is one the emulator itself will not write.
        if (image->starts_with("wp://"))
            return configurationRefusal(
                file, EROFS, prefix + "fn marks " + image->substr(5) + " write-protected",
                language::fill(
                    language::translate("machines", "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} は書き込み禁止です"),
                    {prefix + "fn", image->substr(5)}));
        disk.disk = KOR_TRY(namedDisk(file, prefix + "fn", *image));
        placed.push_back(std::move(disk));
    }
    if (placed.empty())
        return noHardDisk(file, "[" + section + "] hdd_01_fn");
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return std::tie(a.controller, a.position) < std::tie(b.controller, b.position);
    });
    EmulatorMachine machine{file.parent_path().filename().string(), Emulator::Box86, file, {}};
    for (Placed& disk : placed)
        machine.disks.push_back(std::move(disk.disk));
    return machine;
}

// The hard disks a PCem controller takes (hdd.c's table of controllers):
// two on an MFM or ESDI controller, seven on a SCSI adapter, four on IDE.
// A configuration without the key, or with a controller of a later release,
// is taken as IDE, as the AT boards of releases before the key had.
unsigned pcemDiskCount(std::string_view controller) {
    for (std::string_view name : {"mfm_at", "dtc5150x", "mfm_xebec", "esdi_mca", "wd1007vse1"})
        if (controller == name)
            return 2;
    for (std::string_view name :
         {"aha1542c", "bt545s", "ibmscsi_mca", "lcs6821n", "rt1000b", "t130b"})
        if (controller == name)
            return 7;
    return 4;
}

// PCem: src/pc.c, loadconfig(), src/ide/ide.c, resetide(), src/scsi/scsi.c,
// scsi_bus_init(), and the MFM and ESDI controllers' init in
// github.com/sarah-walker-pcem/pcem (v17). The keys before any section name
// the disks: hdc_fn and hdd_fn the two disks of an MFM or ESDI controller,
// or the primary IDE master and slave, hde_fn and hdf_fn the secondary IDE
// channel; with a SCSI adapter, hdc_fn to hdi_fn are ids 0 to 6. On IDE and
// SCSI the position that `cdrom_channel` (2 unless set) or `zip_channel`
// takes holds no hard disk. PCem opens the paths as given; relative ones are
// taken from the configuration's folder.
Result<EmulatorMachine> readPCemMachine(const fs::path& file, const IniFile& ini) {
    const auto setting = [&](std::string_view key) { return ini.value("", key); };
    EmulatorMachine machine{file.stem().string(), Emulator::PCem, file, {}};
    const std::string controller = setting("hdd_controller").value_or("");
    if (controller == "none")
        return noHardDisk(file, "hdd_controller = none");
    const unsigned diskCount = pcemDiskCount(controller);
    // A channel of -1 is none; MFM and ESDI controllers have no CD-ROM drive.
    const auto channel = [&](std::string_view key, unsigned fallback) {
        const std::string value = setting(key).value_or("");
        return diskCount == 2 || value.starts_with('-') ? UINT_MAX : leadingNumber(value, fallback);
    };
    const unsigned cdrom = channel("cdrom_channel", 2);
    const unsigned zip = channel("zip_channel", UINT_MAX);
    const std::string_view letters = "cdefghi";
    for (unsigned index = 0; index < diskCount; ++index) {
        const std::string key = std::string("hd") + letters[index] + "_fn";
        const std::string image = setting(key).value_or("");
        if (image.empty() || index == cdrom || index == zip)
            continue;
        machine.disks.push_back(KOR_TRY(namedDisk(file, key, image)));
    }
    if (machine.disks.empty())
        return noHardDisk(file, "hdc_fn");
    return machine;
}

// The words of a DOS command line as DOSBox-X's CommandLine splits a
// program's arguments (src/misc/programs.cpp): at spaces; a double quote
// at the start of a word keeps the spaces up to the next one, which ends
// the word; a quote within a word is kept as it is; a single quote is
// nothing special.
std::vector<std::string> commandWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    enum class Place { Between, InWord, InQuotes } place = Place::Between;
    for (char c : line) {
        const char end = place == Place::InQuotes ? '"' : ' ';
        if (place != Place::Between && c == end) {
            words.push_back(std::exchange(word, {}));
            place = Place::Between;
        } else if (place == Place::Between && c == '"') {
            place = Place::InQuotes;
        } else if (place != Place::Between || c != ' ') {
            word += c;
            if (place == Place::Between)
                place = Place::InWord;
        }
    }
    if (place != Place::Between)
        words.push_back(word);
    return words;
}

// The lines of `section` that are not `key = value`, as [autoexec] holds.
std::vector<std::string_view> sectionLines(std::string_view text, std::string_view section) {
    std::vector<std::string_view> found;
    bool inSection = false;
    for (std::string_view line : lines(text)) {
        line = trimmed(line);
        if (line.starts_with('[') && line.find(']') != std::string_view::npos) {
            inSection = platform::equalsIgnoringAsciiCase(
                trimmed(line.substr(1, line.find(']') - 1)), section);
            continue;
        }
        if (inSection && !line.empty() && line.front() != '#')
            found.push_back(line);
    }
    return found;
}

// DOSBox-X's BIOS disk numbers: 0 and 1 the floppy drives, 2 to 5 the hard
// disks (MAX_DISK_IMAGES).
constexpr unsigned DosBoxFirstHardDisk = 2;
constexpr unsigned DosBoxDiskNumbers = 6;

// DOSBox-X: the IMGMOUNT command, src/dos/dos_programs.cpp (IMGMOUNT::Run,
// AttachToBiosByLetter) in github.com/joncampbell123/dosbox-x, and its
// wiki's "Guide: Managing image files". In [autoexec], `imgmount c x.img`
// mounts a hard disk at a letter and gives it the first free BIOS disk
// number from 2 (80h); `imgmount 2 x.img -fs none` gives it that number.
// Letters A and B, numbers 0 and 1, -t floppy, -t iso (or cdrom, or an .iso
// or .cue file) are no hard disks; several files on one line are a swap
// list of removable disks. DOSBox-X opens relative paths from the folder it
// was started in; they are taken from the configuration's folder.
// A hard disk that one IMGMOUNT line mounts: the drive as written (a letter
// or a BIOS disk number) and the image.
struct MountedHardDisk {
    std::string drive;
    std::string image;
    std::optional<unsigned> biosNumber; // when the drive is a number
};

// The hard disk that `line` of [autoexec] mounts; none when it is no
// IMGMOUNT line, or mounts a floppy disk, a CD-ROM, a swap list, or
// unmounts.
std::optional<MountedHardDisk> imgmountHardDisk(std::string_view line) {
    const std::vector<std::string_view> valueOptions = {
        "-t", "-fs", "-size", "-chs", "-o", "-el-torito", "-bootcd", "-bd", "-reservecyl", "-ide"};
    const std::vector<std::string> words = commandWords(line);
    std::string command = words.empty() ? std::string() : lowered(words.front());
    if (command.starts_with('@'))
        command.erase(0, 1);
    if (command != "imgmount")
        return std::nullopt;
    std::map<std::string, std::string> options;
    std::vector<std::string> arguments;
    for (std::size_t index = 1; index < words.size(); ++index) {
        const std::string word = lowered(words[index]);
        if (!word.starts_with('-') || word.size() == 1) {
            arguments.push_back(words[index]);
        } else if (std::find(valueOptions.begin(), valueOptions.end(), word) !=
                   valueOptions.end()) {
            options[word] = index + 1 < words.size() ? lowered(words[++index]) : "";
        } else {
            options[word] = "";
        }
    }
    if (arguments.size() != 2 || options.contains("-u") || options.contains("-bd") ||
        options.contains("-el-torito") || options.contains("-bootcd"))
        return std::nullopt;
    std::string drive = lowered(arguments[0]);
    if (drive.size() == 2 && drive[1] == ':')
        drive.pop_back();
    if (drive.size() != 1)
        return std::nullopt;
    const bool byNumber = drive[0] >= '0' && drive[0] <= '9';
    std::string type = options.contains("-t") ? options["-t"] : "hdd";
    if (!options.contains("-t") && (drive == "a" || drive == "b" || drive == "0" || drive == "1"))
        type = "floppy";
    const std::string extension = lowered(fs::path(arguments[1]).extension().string());
    if (!options.contains("-t") && !options.contains("-fs") && !byNumber &&
        (extension == ".iso" || extension == ".cue" || extension == ".bin" || extension == ".chd" ||
         extension == ".mdf" || extension == ".gog" || extension == ".ins" || extension == ".ccd" ||
         extension == ".inst" || extension == ".ima"))
        return std::nullopt;
    if (type != "hdd")
        return std::nullopt;
    return MountedHardDisk{arguments[0], arguments[1],
                           byNumber ? std::optional(static_cast<unsigned>(drive[0] - '0'))
                                    : std::nullopt};
}

Result<EmulatorMachine> readDosBoxXMachine(const fs::path& file, const std::string& text) {
    std::map<unsigned, MachineDisk> numbered;
    for (std::string_view line : sectionLines(text, "autoexec")) {
        const std::optional<MountedHardDisk> mounted = imgmountHardDisk(line);
        if (!mounted)
            continue;
        unsigned number = DosBoxFirstHardDisk;
        if (mounted->biosNumber) {
            number = *mounted->biosNumber;
            if (number < DosBoxFirstHardDisk || number >= DosBoxDiskNumbers ||
                numbered.contains(number))
                continue;
        } else {
            while (numbered.contains(number))
                ++number;
            if (number >= DosBoxDiskNumbers)
                continue;
        }
        numbered.emplace(number,
                         KOR_TRY(namedDisk(file, "imgmount " + mounted->drive, mounted->image)));
    }
    const std::string stem = file.stem().string();
    EmulatorMachine machine{
        lowered(stem).starts_with("dosbox") ? file.parent_path().filename().string() : stem,
        Emulator::DosBoxX,
        file,
        {}};
    for (auto& [number, disk] : numbered)
        machine.disks.push_back(std::move(disk));
    if (machine.disks.empty())
        return noHardDisk(file, "[autoexec] imgmount c");
    return machine;
}

// The `key=value` parameters of one bochsrc line after its directive, as
// config.cc's parse_line_unformatted() takes them: split at commas, blanks
// dropped and double quotes removed outside quotes, '#' outside quotes
// starting a comment, and $NAME replaced by that environment variable.
Result<std::map<std::string, std::string>>
bochsParameters(const fs::path& file, const std::string& directive, std::string_view text) {
    std::map<std::string, std::string> parameters;
    std::string parameter;
    bool inQuotes = false;
    const auto keep = [&] {
        const std::size_t equals = parameter.find('=');
        if (equals != std::string::npos)
            parameters[lowered(parameter.substr(0, equals))] = parameter.substr(equals + 1);
        parameter.clear();
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == '#' && !inQuotes) {
            break;
        } else if (c == ',' && !inQuotes) {
            keep();
        } else if (c == '$') {
            std::size_t end = at + 1;
            while (end < text.size() &&
                   (std::isalpha(static_cast<unsigned char>(text[end])) || text[end] == '_'))
                ++end;
            const std::string name(text.substr(at + 1, end - at - 1));
            const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
            if (!value)
                return configurationRefusal(
                    file, ENOENT, directive + " uses $" + name + ", which is not set",
                    language::fill(
                        language::translate("machines", "{1} の環境変数 ${2} が設定されていません"),
                        {directive, name}));
            parameter += value;
            at = end - 1;
        } else if (inQuotes || (c != ' ' && c != '\t' && c != '\r')) {
            parameter += c;
        }
    }
    keep();
    return parameters;
}

// The Bochs modes of images that are one file KOR can change in place: raw
// (flat), Virtual PC's VHD (vpc), VMware 4's VMDK and VirtualBox's VDI
// (vbox). The others of bochsrc(5) keep the machine's writes in a redo log
// (undoable, volatile), show a host folder as a disk (vvfat), spread one
// disk over several files (concat, sparse), are Bochs' own growing format
// (growing), which QEMU only reads, VMware 3's (vmware3), or reach the disk
// through a plug-in (external, dll).
bool isChangeableBochsMode(std::string_view mode) {
    return mode == "flat" || mode == "vpc" || mode == "vmware4" || mode == "vbox";
}

// Bochs: the bochsrc(5) manual page and config.cc in
// github.com/bochs-emu/Bochs. `ataN-master:` and `ataN-slave:` (N from 0
// to 3) with type=disk, path=... and mode=... (flat unless given); the
// BIOS numbers the disks in that order. Only the modes above are taken, by
// name; the image formats of those are told apart when the image is
// opened. Relative paths, which Bochs opens from the folder it was started
// in, are taken from the configuration's folder.
Result<EmulatorMachine> readBochsMachine(const fs::path& file, const std::string& text) {
    std::map<std::string, std::map<std::string, std::string>> devices;
    for (std::string_view line : lines(text)) {
        line = trimmed(line);
        const std::size_t colon = line.find(':');
        if (line.empty() || line.front() == '#' || colon == std::string_view::npos)
            continue;
        const std::string directive = lowered(trimmed(line.substr(0, colon)));
        if (!directive.starts_with("ata") ||
            (!directive.ends_with("-master") && !directive.ends_with("-slave")))
            continue;
        auto parameters = KOR_TRY(bochsParameters(file, directive, line.substr(colon + 1)));
        for (auto& [key, value] : parameters)
            devices[directive][key] = std::move(value);
    }
    EmulatorMachine machine{lowered(file.extension().string()) == ".bxrc"
                                ? file.stem().string()
                                : file.parent_path().filename().string(),
                            Emulator::Bochs,
                            file,
                            {}};
    for (char channel = '0'; channel <= '3'; ++channel) {
        for (const char* position : {"-master", "-slave"}) {
            const std::string key = std::string("ata") + channel + position;
            const auto device = devices.find(key);
            if (device == devices.end() || device->second["type"] != "disk")
                continue;
            std::string mode = lowered(device->second["mode"]);
            if (mode.empty())
                mode = "flat";
            if (!isChangeableBochsMode(mode))
                return configurationRefusal(
                    file, ENOTSUP,
                    key + " uses mode=" + mode +
                        ", an image KOR cannot change in place (only mode=flat, vpc, vmware4 "
                        "and vbox); convert it to a raw one and use mode=flat",
                    language::fill(language::translate(
                                       "machines", "{1} の mode={2} のﾃﾞｨｽｸは変更できません。raw "
                                                   "形式に変換して mode=flat にしてください"),
                                   {key, mode}));
            machine.disks.push_back(KOR_TRY(namedDisk(file, key, device->second["path"])));
        }
    }
    if (machine.disks.empty())
        return noHardDisk(file, "ata0-master: type=disk");
    return machine;
}

// Neko Project II and its kin (21, 21/W, II kai, 21 kai): the settings
// tables of github.com/roytam1/np21w (win9x/ini.cpp, x11/ini.c, sdl2/ini.c)
// and github.com/AZO234/NP2kai (sdl/ini.c). One section, [NekoProjectII],
// [NekoProject21], [NekoProjectIIkai]...; HDD1FILE and HDD2FILE are the
// first two SASI or IDE disks, HDD3FILE and HDD4FILE the other two IDE
// positions, each a hard disk unless IDEnTYPE says otherwise (1 is a disk;
// the third position is a CD-ROM drive unless set); SCSIHDD0 to SCSIHDD3
// follow. The emulator opens relative paths from its own folder, where the
// file is kept.
Result<EmulatorMachine> readNekoProjectMachine(const fs::path& file, const IniFile& ini,
                                               const std::string& section) {
    EmulatorMachine machine{
        file.parent_path().filename().string(), Emulator::NekoProject, file, {}};
    const std::string_view defaultTypes = "1121";
    for (unsigned index = 0; index < 4; ++index) {
        const std::string key = "HDD" + std::to_string(index + 1) + "FILE";
        const std::string image = ini.value(section, key).value_or("");
        const unsigned type = leadingNumber(
            ini.value(section, "IDE" + std::to_string(index + 1) + "TYPE").value_or(""),
            static_cast<unsigned>(defaultTypes[index] - '0'));
        if (!image.empty() && type == 1)
            machine.disks.push_back(KOR_TRY(namedDisk(file, key, image)));
    }
    for (unsigned index = 0; index < 4; ++index) {
        const std::string key = "SCSIHDD" + std::to_string(index);
        const std::string image = ini.value(section, key).value_or("");
        if (!image.empty())
            machine.disks.push_back(KOR_TRY(namedDisk(file, key, image)));
    }
    if (machine.disks.empty())
        return noHardDisk(file, "[" + section + "] HDD1FILE");
    return machine;
}

// The section of a Neko Project configuration, if `ini` is one.
std::optional<std::string> nekoProjectSection(const IniFile& ini) {
    for (const std::string& section : ini.sections())
        if (lowered(section).starts_with("nekoproject"))
            return section;
    return std::nullopt;
}

bool isBochsName(const std::string& name) {
    return name == "bochsrc" || name == ".bochsrc" || name == "bochsrc.txt" ||
           name.ends_with(".bxrc");
}

// The emulator whose configuration `file` is, by its name and, where a name
// is shared (a .cfg of PCem, of 86Box or of Neko Project), by its text;
// none when it is no configuration of one.
std::optional<Emulator> emulatorOf(const fs::path& file, const std::string& text,
                                   const IniFile& ini) {
    const std::string name = lowered(file.filename().string());
    const std::string extension = lowered(file.extension().string());
    if (nekoProjectSection(ini))
        return Emulator::NekoProject;
    if (extension == ".vbox")
        return Emulator::VirtualBox;
    if (extension == ".xml" && text.find("<domain") != std::string::npos)
        return Emulator::Libvirt;
    if (isBochsName(name))
        return Emulator::Bochs;
    if (extension == ".conf" && (ini.hasSection("autoexec") || ini.hasSection("dosbox")))
        return Emulator::DosBoxX;
    if (extension != ".cfg")
        return std::nullopt;
    if (name == "86box.cfg" || ini.hasSection("Hard disks") || ini.hasSection("Machine"))
        return Emulator::Box86;
    if (ini.value("", "model") || ini.value("", "hdd_controller") || ini.value("", "hdc_fn"))
        return Emulator::PCem;
    return std::nullopt;
}

// Whether a file of this name may be a configuration worth reading.
bool mayBeConfiguration(const std::string& name) {
    for (std::string_view extension : {".cfg", ".vbox", ".xml", ".conf", ".ini", "rc"})
        if (name.ends_with(extension))
            return true;
    return isBochsName(name);
}

// A configuration read and parsed once, however many questions are asked of it.
struct Configuration {
    fs::path file;
    std::string text;
    IniFile ini;
    std::optional<Emulator> emulator; // none when it is no emulator's
};

Result<Configuration> parsedConfiguration(const fs::path& file) {
    std::string text = KOR_TRY(readConfiguration(file));
    IniFile ini(text);
    const std::optional<Emulator> emulator = emulatorOf(file, text, ini);
    return Configuration{file, std::move(text), std::move(ini), emulator};
}

// The configurations of emulators in `folder`, by their names. Each step
// reports a folder that cannot be read further in `error`, never by throwing
// (as the range-for's operator++ would), and ends the list there.
std::vector<Configuration> configurationsIn(const fs::path& folder) {
    std::vector<Configuration> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (!it->is_regular_file(kindError) ||
            !mayBeConfiguration(lowered(it->path().filename().string())))
            continue;
        Result<Configuration> configuration = parsedConfiguration(it->path());
        if (configuration.ok() && configuration.value().emulator)
            found.push_back(std::move(configuration.value()));
    }
    std::sort(found.begin(), found.end(),
              [](const Configuration& a, const Configuration& b) { return a.file < b.file; });
    return found;
}

Result<EmulatorMachine> readMachine(const Configuration& configuration) {
    const fs::path& file = configuration.file;
    if (!configuration.emulator)
        return configurationRefusal(
            file, EINVAL,
            "it is no configuration of an emulator KOR knows (86box.cfg, a PCem .cfg, a DOSBox-X "
            ".conf, bochsrc, a VirtualBox .vbox, a libvirt domain's .xml, a Neko Project .ini)",
            language::translate("machines", "KOR の知っているｴﾐｭﾚｰﾀの設定ﾌｧｲﾙではありません"));
    switch (*configuration.emulator) {
    case Emulator::Box86:
        return read86BoxMachine(file, configuration.ini);
    case Emulator::PCem:
        return readPCemMachine(file, configuration.ini);
    case Emulator::DosBoxX:
        return readDosBoxXMachine(file, configuration.text);
    case Emulator::Bochs:
        return readBochsMachine(file, configuration.text);
    case Emulator::VirtualBox:
        return readVirtualBoxMachine(file, configuration.text);
    case Emulator::Libvirt:
        return readLibvirtMachine(file, configuration.text);
    case Emulator::NekoProject:
        return readNekoProjectMachine(file, configuration.ini,
                                      *nekoProjectSection(configuration.ini));
    }
    return configurationRefusal(file, EINVAL, "its emulator is unknown",
                                language::translate("machines", "ｴﾐｭﾚｰﾀがわかりません"));
}

} // namespace

std::string_view emulatorName(Emulator emulator) {
    switch (emulator) {
    case Emulator::Box86:
        return "86Box";
    case Emulator::PCem:
        return "PCem";
    case Emulator::DosBoxX:
        return "DOSBox-X";
    case Emulator::Bochs:
        return "Bochs";
    case Emulator::VirtualBox:
        return "VirtualBox";
    case Emulator::Libvirt:
        return "QEMU (libvirt)";
    case Emulator::NekoProject:
        return "Neko Project";
    }
    return "";
}

Result<std::string> readConfiguration(const fs::path& file) {
    const platform::FileDescriptor descriptor(
        ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!descriptor.isOpen())
        return Error(Operation::Read, file.string(), errno);
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0)
        return Error(Operation::Read, file.string(), errno);
    if (!S_ISREG(status.st_mode))
        return configurationRefusal(file, EINVAL, "it is not a regular file",
                                    language::translate("machines", "普通のﾌｧｲﾙではありません"));
    if (static_cast<std::uintmax_t>(status.st_size) > LargestConfiguration)
        return configurationRefusal(
            file, EFBIG,
            "it is " + std::to_string(status.st_size) + " bytes, too large for a configuration",
            language::fill(
                language::translate("machines", "設定ﾌｧｲﾙにしては大きすぎます ({1} ﾊﾞｲﾄ)"),
                {std::to_string(status.st_size)}));
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(descriptor.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return Error(Operation::Read, file.string(), errno);
        if (count == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(count));
        if (text.size() > LargestConfiguration)
            return configurationRefusal(
                file, EFBIG, "it is too large for a configuration",
                language::translate("machines", "設定ﾌｧｲﾙにしては大きすぎます"));
    }
    if (text.find('\0') != std::string::npos)
        return configurationRefusal(file, EINVAL, "it is not text",
                                    language::translate("machines", "ﾃｷｽﾄﾌｧｲﾙではありません"));
    return text;
}

std::string lowered(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

Error configurationRefusal(const fs::path& file, int code, std::string why, std::string toldWhy) {
    return Error(Operation::Read, file.string(), code, std::move(why))
        .withUserReason(std::move(toldWhy));
}

Result<MachineDisk> namedDisk(const fs::path& file, std::string key, std::string_view value) {
    if (value.empty())
        return noHardDisk(file, key);
    fs::path image(value);
    if (image.is_relative())
        image = file.parent_path() / image;
    image = image.lexically_normal();
    const std::string named = key + " names " + image.string();
    struct stat status {};
    if (::stat(image.c_str(), &status) != 0) {
        const int code = errno;
        if (code == ENOENT)
            return configurationRefusal(
                file, code, named + ", which does not exist",
                language::fill(language::translate("machines", "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} がありません"),
                               {key, image.string()}));
        return configurationRefusal(
            file, code, named + ": " + platform::describeError(code),
            language::fill(
                language::translate("machines", "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} を調べられません ({3})"),
                {key, image.string(), platform::userReasonOf(code)}));
    }
    if (S_ISBLK(status.st_mode) || S_ISCHR(status.st_mode))
        return configurationRefusal(
            file, ENOTSUP,
            named + ", which is a device; only a disk image file can be opened as a machine's disk",
            language::fill(language::translate(
                               "machines",
                               "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} はﾃﾞﾊﾞｲｽです。ﾃﾞｨｽｸｲﾒｰｼﾞのﾌｧｲﾙしか使えません"),
                           {key, image.string()}));
    if (S_ISDIR(status.st_mode))
        return configurationRefusal(
            file, EISDIR, named + ", which is a folder",
            language::fill(language::translate("machines", "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} はﾌｫﾙﾀﾞです"),
                           {key, image.string()}));
    if (!S_ISREG(status.st_mode))
        return configurationRefusal(
            file, ENOTSUP, named + ", which is not a regular file",
            language::fill(
                language::translate("machines", "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} は普通のﾌｧｲﾙではありません"),
                {key, image.string()}));
    if (::access(image.c_str(), R_OK) != 0) {
        const int code = errno;
        return configurationRefusal(
            file, code, named + ", which cannot be read: " + platform::describeError(code),
            language::fill(
                language::translate("machines", "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} を読み込めません ({3})"),
                {key, image.string(), platform::userReasonOf(code)}));
    }
    return MachineDisk{image, std::move(key)};
}

Result<EmulatorMachine> readEmulatorMachine(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error).lexically_normal();
    if (!fs::is_directory(absolute, error))
        return readMachine(KOR_TRY(parsedConfiguration(absolute)));
    const std::vector<Configuration> found = configurationsIn(absolute);
    if (found.size() == 1)
        return readMachine(found.front());
    if (found.empty())
        return Error(Operation::Read, absolute.string(), ENOENT,
                     "the folder holds no emulator's configuration (86box.cfg, a .vbox file, "
                     "bochsrc, ...)")
            .withUserReason(
                language::translate("machines", "このﾌｫﾙﾀﾞにはｴﾐｭﾚｰﾀの設定ﾌｧｲﾙがありません"));
    std::string names;
    for (const Configuration& configuration : found)
        names += (names.empty() ? "" : ", ") + configuration.file.filename().string();
    return Error(Operation::Read, absolute.string(), EEXIST,
                 "the folder holds several emulators' configurations: " + names +
                     "; name the one to use")
        .withUserReason(language::fill(
            language::translate(
                "machines",
                "このﾌｫﾙﾀﾞには設定ﾌｧｲﾙが複数あります ({1})。使うﾌｧｲﾙを指定してください"),
            {names}));
}

} // namespace kor::machines
