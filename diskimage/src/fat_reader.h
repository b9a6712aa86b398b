// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disk_image.h"
#include "diskimage/disk_layout.h"
#include "platform/result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The FAT file system of a disk image read in this process, without mtools and
// without changing a byte: its folders and the checks of its cluster chains
// that tell whether the volume may be written. FAT12, FAT16 and FAT32, as the
// boot sector's BIOS parameter block and the count of clusters make it.
namespace kor::diskimage {

// One entry of a folder, as the folder holds it.
struct FatEntry {
    static constexpr std::uint8_t ReadOnly = 0x01;
    static constexpr std::uint8_t Hidden = 0x02;
    static constexpr std::uint8_t System = 0x04;
    static constexpr std::uint8_t Directory = 0x10;
    static constexpr std::uint8_t Archive = 0x20;

    // The VFAT long name in UTF-8; empty when the entry has none, or when the
    // long name entries before it do not carry its checksum.
    std::string longName;
    // The 8.3 name's bytes as CP932 text ("LONGFI~1.BMP", "\x98\x61\x95\x97.LZH"),
    // a first byte stored as 0x05 given back as 0xE5, in small letters where
    // its flags say so ("b.bmp", as Windows NT and mtools write it).
    std::string shortName;
    // The 11 bytes of the 8.3 name as the entry stores them ("LOGO    SYS"),
    // and its byte 12, whose flags 0x08 and 0x10 put the base name and the
    // extension in small letters.
    std::string storedName;
    std::uint8_t smallLetters = 0;
    std::uint8_t attributes = 0;
    std::uint32_t firstCluster = 0;
    std::uint32_t size = 0;

    bool isDirectory() const { return (attributes & Directory) != 0; }
    // The name Windows 95 shows: the long one, else the 8.3 one.
    std::string name() const;
};

// What is wrong in the file system, with the file it concerns.
struct FatFault {
    enum class Kind {
        Layout,      // the boot sector describes no FAT volume that fits its place
        Unreadable,  // a part of the volume could not be read from the image
        Loop,        // the chain comes back to a cluster it passed
        Broken,      // the chain runs into a free or a bad cluster
        Outside,     // the chain names a cluster that the volume does not have
        WrongLength, // more or fewer clusters than the file's size needs
        CrossLinked, // a cluster that another chain holds too
        TooDeep,     // a folder nested deeper than a Windows path can reach
    };
    Kind kind = Kind::Layout;
    // The file or folder, from the root: "\WINDOWS\LOGO.SYS", "\" for the
    // root folder; empty for the volume as a whole.
    std::string path;
    // The other file of a cross-link, where it was found.
    std::string other;
    std::uint32_t clusters = 0; // of a chain of the wrong length
    std::uint32_t size = 0;     // the file's size then

    // What is wrong, as part of a sentence: in the developer's English, "the
    // cluster chain of \LOGO.SYS runs in a loop", and for the user in the
    // session's language, "\LOGO.SYS のｸﾗｽﾀﾁｪｰﾝが循環しています".
    std::string english() const;
    std::string userText() const;
};

// The contents of a file or folder, or the fault that keeps them from being
// read whole; the fault's path is left to the caller, which knows it.
template <typename T> using FatRead = std::variant<T, FatFault>;

class FatReader {
  public:
    // The file system of `volume`, read through `read` (which takes offsets in
    // the image file). Fails (EBADMSG) when its boot sector describes no FAT
    // volume that fits there; `image` names the file in the error.
    static Result<FatReader> open(ImageReader read, ImageVolume volume, const std::string& image);

    // FAT12, FAT16 or FAT32, by the count of its clusters.
    FatType type() const { return m_type; }

    // The entries of the folder whose chain starts at `firstCluster` (0 for
    // the root, as ".." names it), in their order, without ".", "..", the
    // volume label and deleted entries. Fails (EBADMSG) when its chain is
    // broken or loops.
    Result<std::vector<FatEntry>> list(std::uint32_t firstCluster) const;
    // The same, with the fault (Unreadable, Loop, Broken, Outside) that keeps
    // the folder from being read. A chain longer than the most entries
    // Windows reads is read that far.
    FatRead<std::vector<FatEntry>> readFolder(std::uint32_t firstCluster) const;

    // Gives the bytes of `file` to `sink` in pieces of at most a mebibyte, so
    // that a huge file on a sparse image takes no memory of its size; stops
    // when `sink` returns false. Its chain is followed as far as its size
    // needs and no further, so that a damaged chain cannot make a read run
    // on, and is checked whole before any byte is given. The fault when the
    // chain loops, breaks off, leaves the volume or ends before the size
    // (WrongLength), or when its clusters cannot be read (Unreadable).
    std::optional<FatFault> readFile(const FatEntry& file,
                                     const std::function<bool(std::string_view)>& sink) const;

    // Walks every folder from the root and checks every chain: none loops,
    // breaks off or leaves the volume, a file's chain fits its size, and no
    // cluster belongs to two chains. The faults found, the first ones only;
    // none on a sound volume.
    std::vector<FatFault> check() const;

  private:
    FatReader() = default;
    class Check;

    // The `width` bytes of the FAT at `at`, little-endian, its blocks read
    // as they are first needed.
    std::uint32_t tableBytes(std::uint64_t at, std::size_t width) const;
    // The cluster that an entry's bytes 26-27, and on FAT32 20-21, name.
    std::uint32_t firstClusterOf(std::string_view entry) const;
    std::uint32_t next(std::uint32_t cluster) const;
    bool endsChain(std::uint32_t value) const;
    // Whether a chain runs into a free cluster (0) or one marked bad.
    bool breaksChain(std::uint32_t value) const;
    std::uint64_t clusterOffset(std::uint32_t cluster) const;
    // The chain from `first`, up to its end or `most` clusters; the fault
    // (Loop, Broken, Outside) when it is not sound that far. A chain that
    // ends before `most` is given as it is.
    FatRead<std::vector<std::uint32_t>> chainOf(std::uint32_t first, std::uint64_t most) const;
    // Gives the first `length` bytes of the clusters of `chain` to `sink`,
    // read in runs of neighbouring clusters, a mebibyte at most at a time;
    // false when a read came short. Stops when `sink` returns false.
    bool chainBytes(const std::vector<std::uint32_t>& chain, std::uint64_t length,
                    const std::function<bool(std::string_view)>& sink) const;
    // The bytes of a folder: the fixed root of FAT12 and FAT16 or the clusters
    // of `chain`, as far as Windows reads a folder; nothing when a read came
    // short.
    std::optional<std::string> folderBytes(const std::vector<std::uint32_t>& chain) const;

    ImageReader m_read;
    std::uint64_t m_volumeOffset = 0;
    FatType m_type = FatType::Fat16;
    std::uint32_t m_clusterBytes = 0;
    std::uint32_t m_lastCluster = 0; // the clusters are 2 .. m_lastCluster
    std::uint32_t m_rootCluster = 0; // FAT32's; 0 for a fixed root
    std::uint64_t m_rootOffset = 0;  // from the start of the volume
    std::uint64_t m_rootBytes = 0;   // of a fixed root
    std::uint64_t m_dataOffset = 0;
    // The first FAT, as far as the clusters go, in the blocks read so far
    // (empty ones not yet): a volume that is mostly free costs only what it
    // uses, whatever size its boot sector claims.
    std::uint64_t m_tableOffset = 0; // in the image file
    std::uint64_t m_tableBytes = 0;
    mutable std::vector<std::string> m_tableBlocks;
};

// The faults of the file system of `volume`: those FatReader::check finds, or
// the one that keeps it from being read.
std::vector<FatFault> checkFatVolume(const ImageReader& read, ImageVolume volume);

} // namespace kor::diskimage
