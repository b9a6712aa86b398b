// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/emulator_machine.h"

#include "emulator_configuration.h"
#include "platform/file_descriptor.h"
#include "platform/host_files.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

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

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameWords(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

std::string lowered(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
    return lower;
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

// One `key = value` of an INI-like file, with the section it is in.
struct IniValue {
    std::string section;
    std::string key;
    std::string value;
};

// The values of an INI-like file as the emulators' own readers take them:
// `[section]` lines, `key = value` lines, blank lines and those starting
// with ';' or '#' skipped, anything else ignored.
std::vector<IniValue> iniValues(std::string_view text) {
    std::vector<IniValue> values;
    std::string section;
    for (std::string_view line : lines(text)) {
        line = trimmed(line);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close != std::string_view::npos)
                section = std::string(trimmed(line.substr(1, close - 1)));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        values.push_back({section, std::string(trimmed(line.substr(0, equals))),
                          std::string(trimmed(line.substr(equals + 1)))});
    }
    return values;
}

// The first value of `key` in `section`, letters of either case alike.
std::optional<std::string> iniValue(const std::vector<IniValue>& values, std::string_view section,
                                    std::string_view key) {
    for (const IniValue& value : values)
        if (sameWords(value.section, section) && sameWords(value.key, key))
            return value.value;
    return std::nullopt;
}

bool hasSection(const std::vector<IniValue>& values, std::string_view section) {
    return std::any_of(values.begin(), values.end(),
                       [&](const IniValue& value) { return sameWords(value.section, section); });
}

std::string twoDigits(unsigned number) {
    return (number < 10 ? "0" : "") + std::to_string(number);
}

Error noHardDisk(const fs::path& file, const std::string& where) {
    return configurationRefusal(file, ENOENT, "it names no hard disk image (" + where + ")",
                                "ﾊｰﾄﾞﾃﾞｨｽｸのｲﾒｰｼﾞが書かれていません (" + where + ")");
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

// 86Box: src/config.c, load_hard_disks() and load_image_file(), and
// src/disk/hdd.c, hdd_string_to_bus(), in github.com/86Box/86Box. Up to 88
// disks in [Hard disks], each `hdd_NN_parameters = spt, hpc, tracks, wp,
// bus` and `hdd_NN_fn`, relative to the machine's folder; a disk without an
// image or on bus "none" is dropped. The BIOS numbers the disks of the
// board's own controller (MFM, XTA or ESDI by `hdd_NN_<bus>_channel`, IDE
// and ATAPI by `hdd_NN_ide_channel` "0:0", "0:1", "1:0"...) before those a
// SCSI adapter's BIOS adds (`hdd_NN_scsi_location` "bus:id", formerly
// `hdd_NN_scsi_id`).
Result<EmulatorMachine> read86BoxMachine(const fs::path& file, const std::string& text) {
    constexpr unsigned DiskCount = 88;
    constexpr unsigned ScsiBusCount = 9;
    const std::vector<IniValue> values = iniValues(text);
    const std::string section = "Hard disks";
    struct Placed {
        unsigned controller; // the board's own, IDE, then SCSI
        unsigned position;
        MachineDisk disk;
    };
    std::vector<Placed> placed;
    for (unsigned index = 0; index < DiskCount; ++index) {
        const std::string prefix = "hdd_" + twoDigits(index + 1) + "_";
        const std::optional<std::string> image = iniValue(values, section, prefix + "fn");
        const std::optional<std::string> parameters =
            iniValue(values, section, prefix + "parameters");
        if (!image || image->empty() || !parameters)
            continue;
        const std::size_t lastComma = parameters->rfind(',');
        const std::string bus(trimmed(parameters->substr(lastComma + 1)));
        const auto setting = [&](const std::string& name) {
            return iniValue(values, section, prefix + name).value_or("");
        };
        Placed disk{0, 0, {}};
        if (bus == "mfm" || bus == "xta" || bus == "esdi") {
            disk = {0, leadingNumber(setting(bus + "_channel"), index & 1) & 1, {}};
        } else if (bus == "ide" || bus == "atapi") {
            const auto [channel, device] =
                numberPair(setting("ide_channel"), index >> 1, index & 1);
            disk = {1, ((channel & 3) << 1) + (device & 1), {}};
        } else if (bus == "scsi") {
            const auto [scsiBus, id] =
                numberPair(setting("scsi_location"), ScsiBusCount, index + 2);
            disk = {2,
                    scsiBus < ScsiBusCount
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
                prefix + "fn のﾃﾞｨｽｸｲﾒｰｼﾞ " + image->substr(5) + " は書き込み禁止です");
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

bool is86BoxConfiguration(const fs::path& file, const std::string& text) {
    return sameWords(file.filename().string(), "86box.cfg") ||
           hasSection(iniValues(text), "Hard disks");
}

// The emulator whose configuration `file` is, by its name and, where a name
// is shared, by its text; none when it is no configuration of one.
std::optional<Emulator> emulatorOf(const fs::path& file, const std::string& text) {
    const std::string extension = lowered(file.extension().string());
    if (extension == ".cfg" && is86BoxConfiguration(file, text))
        return Emulator::Box86;
    return std::nullopt;
}

// The files of `folder` whose names a configuration of an emulator has.
std::vector<fs::path> configurationsIn(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::error_code kindError;
        if (!entry.is_regular_file(kindError))
            continue;
        const std::string name = lowered(entry.path().filename().string());
        if (name == "86box.cfg")
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

Result<EmulatorMachine> readConfigurationFile(const fs::path& file) {
    const std::string text = KOR_TRY(readConfiguration(file));
    const std::optional<Emulator> emulator = emulatorOf(file, text);
    if (!emulator)
        return configurationRefusal(file, EINVAL, "it is no configuration of an emulator KOR knows",
                                    "KOR の知っているｴﾐｭﾚｰﾀの設定ﾌｧｲﾙではありません");
    switch (*emulator) {
    case Emulator::Box86:
        return read86BoxMachine(file, text);
    default:
        break;
    }
    return configurationRefusal(file, ENOTSUP, "its emulator is not read yet",
                                "このｴﾐｭﾚｰﾀの設定ﾌｧｲﾙは読めません");
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
                                    "普通のﾌｧｲﾙではありません");
    if (static_cast<std::uintmax_t>(status.st_size) > LargestConfiguration)
        return configurationRefusal(
            file, EFBIG,
            "it is " + std::to_string(status.st_size) + " bytes, too large for a configuration",
            "設定ﾌｧｲﾙにしては大きすぎます (" + std::to_string(status.st_size) + " ﾊﾞｲﾄ)");
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
            return configurationRefusal(file, EFBIG, "it is too large for a configuration",
                                        "設定ﾌｧｲﾙにしては大きすぎます");
    }
    if (text.find('\0') != std::string::npos)
        return configurationRefusal(file, EINVAL, "it is not text", "ﾃｷｽﾄﾌｧｲﾙではありません");
    return text;
}

Error configurationRefusal(const fs::path& file, int code, std::string why,
                           std::string japaneseWhy) {
    return Error(Operation::Read, file.string(), code, std::move(why))
        .withJapaneseReason(std::move(japaneseWhy));
}

Result<MachineDisk> namedDisk(const fs::path& file, std::string key, std::string_view value) {
    if (value.empty())
        return noHardDisk(file, key);
    fs::path image(value);
    if (image.is_relative())
        image = file.parent_path() / image;
    image = image.lexically_normal();
    const std::string named = key + " names " + image.string();
    const std::string japaneseNamed = key + " のﾃﾞｨｽｸｲﾒｰｼﾞ " + image.string();
    struct stat status {};
    if (::stat(image.c_str(), &status) != 0) {
        const int code = errno;
        if (code == ENOENT)
            return configurationRefusal(file, code, named + ", which does not exist",
                                        japaneseNamed + " がありません");
        return configurationRefusal(file, code, named + ": " + platform::describeError(code),
                                    japaneseNamed + " を調べられません (" +
                                        platform::japaneseReason(code) + ")");
    }
    if (S_ISBLK(status.st_mode) || S_ISCHR(status.st_mode))
        return configurationRefusal(
            file, ENOTSUP,
            named + ", which is a device; only a disk image file can be opened as a machine's disk",
            japaneseNamed + " はﾃﾞﾊﾞｲｽです。ﾃﾞｨｽｸｲﾒｰｼﾞのﾌｧｲﾙしか使えません");
    if (S_ISDIR(status.st_mode))
        return configurationRefusal(file, EISDIR, named + ", which is a folder",
                                    japaneseNamed + " はﾌｫﾙﾀﾞです");
    if (!S_ISREG(status.st_mode))
        return configurationRefusal(file, ENOTSUP, named + ", which is not a regular file",
                                    japaneseNamed + " は普通のﾌｧｲﾙではありません");
    if (::access(image.c_str(), R_OK) != 0) {
        const int code = errno;
        return configurationRefusal(
            file, code, named + ", which cannot be read: " + platform::describeError(code),
            japaneseNamed + " を読み込めません (" + platform::japaneseReason(code) + ")");
    }
    return MachineDisk{image, std::move(key)};
}

Result<EmulatorMachine> readEmulatorMachine(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error).lexically_normal();
    if (!fs::is_directory(absolute, error))
        return readConfigurationFile(absolute);
    const std::vector<fs::path> found = configurationsIn(absolute);
    if (found.size() == 1)
        return readConfigurationFile(found.front());
    if (found.empty())
        return Error(Operation::Read, absolute.string(), ENOENT,
                     "the folder holds no emulator's configuration (86box.cfg, a .vbox file, "
                     "bochsrc, ...)")
            .withJapaneseReason("このﾌｫﾙﾀﾞにはｴﾐｭﾚｰﾀの設定ﾌｧｲﾙがありません");
    std::string names;
    for (const fs::path& file : found)
        names += (names.empty() ? "" : ", ") + file.filename().string();
    return Error(Operation::Read, absolute.string(), EEXIST,
                 "the folder holds several emulators' configurations: " + names +
                     "; name the one to use")
        .withJapaneseReason("このﾌｫﾙﾀﾞには設定ﾌｧｲﾙが複数あります (" + names +
                            ")。使うﾌｧｲﾙを指定してください");
}

} // namespace kor::machines
