// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/drive_letters.h"

#include "diskimage/disk_layout.h"

#include "language/translation.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>

namespace kor::machines {

using diskimage::DiskLayout;
using diskimage::DiskPartition;
using platform::Error;
using platform::Operation;
using platform::Result;

namespace {

// The disk's partitions that get a letter, in the order of their numbers.
std::vector<const DiskPartition*> letteredOf(const DiskLayout& layout) {
    std::vector<const DiskPartition*> lettered;
    for (const DiskPartition& partition : layout.partitions)
        if (partition.lettered)
            lettered.push_back(&partition);
    return lettered;
}

// Gives the next letter to each of the chosen partitions of every disk in
// turn, from 'Z' on none.
class Lettering {
  public:
    explicit Lettering(char first) : m_next(first) {}

    void give(std::size_t disk, const DiskPartition& partition) {
        if (m_next > 'Z')
            return;
        m_letters.drives.push_back(
            {m_next++, disk, partition.number,
             std::string(partition.fat ? diskimage::fatTypeName(*partition.fat) : "FAT"),
             partition.size});
    }

    DriveLetters& letters() { return m_letters; }

  private:
    char m_next;
    DriveLetters m_letters;
};

} // namespace

Result<DriveLetters> letterDrives(const std::vector<std::filesystem::path>& disks) {
    std::vector<DiskLayout> layouts;
    layouts.reserve(disks.size());
    for (const std::filesystem::path& disk : disks)
        layouts.push_back(KOR_TRY(diskimage::readDiskLayout(disk)));
    // The machine boots from its first disk: without a drive there, its
    // MSDOS.SYS and logo.sys would be looked for on a disk it never starts.
    if (disks.empty() || !layouts.front().firstDrive)
        return Error(Operation::OpenImage, disks.empty() ? std::string() : disks.front().string(),
                     ENOENT,
                     "the first disk holds no FAT partition that DOS gives a drive letter "
                     "(hidden and sleeping ones get none)")
            .withUserReason(language::translate(
                "machines", "最初のﾃﾞｨｽｸにﾄﾞﾗｲﾌﾞ名の付く FAT のﾊﾟｰﾃｨｼｮﾝがありません "
                            "(隠しﾊﾟｰﾃｨｼｮﾝと休止中のﾊﾟｰﾃｨｼｮﾝには付きません)"));

    // The first drive of each disk: drive C: by the rule findImageVolume
    // follows, on a PC-98 the partition it starts from.
    const auto isFirst = [&](std::size_t disk, const DiskPartition& partition) {
        return layouts[disk].firstDrive == partition.number;
    };
    const bool pc98 = layouts.front().scheme == diskimage::PartitionScheme::Pc98;
    Lettering lettering(pc98 ? 'A' : 'C');
    // Gives letters to the lettered partitions that `chosen` takes, disk by
    // disk in the order of their numbers.
    const auto letterEach = [&](const auto& chosen) {
        for (std::size_t disk = 0; disk < layouts.size(); ++disk)
            for (const DiskPartition* partition : letteredOf(layouts[disk]))
                if (chosen(disk, *partition))
                    lettering.give(disk, *partition);
    };
    if (pc98) {
        lettering.letters().pc98 = true;
        letterEach([&](std::size_t disk, const DiskPartition& p) {
            return disk == 0 && isFirst(disk, p);
        });
        letterEach([&](std::size_t disk, const DiskPartition& p) {
            return disk != 0 || !isFirst(disk, p);
        });
        return std::move(lettering.letters());
    }
    // A disk without a primary FAT partition has no drive of the first
    // round: its first logical drive comes with the other logical ones.
    letterEach(
        [&](std::size_t disk, const DiskPartition& p) { return !p.logical && isFirst(disk, p); });
    letterEach([](std::size_t, const DiskPartition& p) { return p.logical; });
    letterEach(
        [&](std::size_t disk, const DiskPartition& p) { return !p.logical && !isFirst(disk, p); });
    return std::move(lettering.letters());
}

std::string driveMapLine(const LetteredDrive& drive, const std::filesystem::path& image) {
    constexpr std::array<const char*, 3> units = {"KB", "MB", "GB"};
    double size = static_cast<double>(drive.size) / 1024;
    std::size_t unit = 0;
    while (unit + 1 < units.size() && size >= 1024) {
        size /= 1024;
        ++unit;
    }
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.1f %s", size, units[unit]);
    const std::string where =
        drive.partition == 0 ? "whole disk" : "partition " + std::to_string(drive.partition);
    return std::string{drive.letter} + ":  disk " + std::to_string(drive.disk + 1) + ", " + where +
           ", " + drive.fileSystem + ", " + shown + ", " + image.filename().string();
}

} // namespace kor::machines
