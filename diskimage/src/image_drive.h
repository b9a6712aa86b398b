// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disk_image.h"
#include "fat_reader.h"
#include "mtools.h"
#include "platform/drive.h"
#include "platform/files.h"
#include "platform/host_files.h"
#include "platform/result.h"
#include "qemu_export.h"

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace kor::diskimage {

using platform::FileDescriptor;
using platform::FileVersion;
using platform::FolderEntry;
using platform::Overwrite;

// A drive of the emulated machine that is a FAT disk image file: the same
// operations as a folder drive offers, on the image as it lies, read by the
// FAT reader in this process and changed with mtools. Paths are full Windows
// paths on this drive ("C:\WINDOWS\LOGO.SYS").
//
// The image is written only while no other program has it open (an emulator
// running from it would see its disk change under it), and every change is a
// single mtools command that runs to its end even when the program dies. The
// runs of the programs know one another by an advisory lock on one byte of
// the image: held shared while a run may have temporary files in the
// image, so that another run's clean-up leaves them alone, and next to it a
// byte held exclusively for each change, so that two runs never change the
// file system at once. Only a change opens the image for writing: the kernel
// is asked before it whether any program of any user writes the image.
//
// An image of a format of QEMU's (qcow2, VDI, VMDK, VHDX, dynamic VHD) is
// worked on through its export as a plain file (qemu_export.h): the image
// file itself keeps the locks and is the one checked for other programs, the
// exported file is the one mtools and every read use.
class ImageDrive final : public platform::Drive {
  public:
    // The drive behind `imageFile`, on partition `partition` (0 for the
    // first FAT one). Fails when the file is no image of a FAT volume.
    static Result<std::shared_ptr<ImageDrive>> open(const std::filesystem::path& imageFile,
                                                    unsigned partition);

    // An image in `format` of QEMU's is read and changed through its export;
    // any other through the image file itself.
    ImageDrive(std::filesystem::path imageFile, ImageVolume volume,
               std::optional<QemuFormat> format);
    ~ImageDrive() override;
    ImageDrive(const ImageDrive&) = delete;
    ImageDrive& operator=(const ImageDrive&) = delete;

    const std::filesystem::path& imageFile() const { return m_imageFile; }

    Result<std::vector<FolderEntry>> list(Operation operation, std::string_view directory) override;
    Result<std::optional<FolderEntry>> find(Operation operation, std::string_view path) override;
    // Unchanged as long as nobody else changes the image and this run does
    // not change the file's folder.
    Result<FileVersion> version(Operation operation, std::string_view path) override;
    Result<FileDescriptor> readIntoMemory(Operation operation, std::string_view path) override;

    // Writes the host file `contents` as the new file `path`, keeping the
    // host file's modification time. Its name must be ASCII.
    Status store(Operation operation, int contents, std::string_view path);
    Status storeAs(Operation operation, int contents, std::string_view target,
                   Overwrite overwrite) override;
    Status rename(Operation operation, std::string_view from, std::string_view to,
                  Overwrite overwrite) override;
    Status copy(Operation operation, std::string_view from, std::string_view to,
                Overwrite overwrite) override;
    Status remove(Operation operation, std::string_view path) override;
    Status makeDirectory(Operation operation, std::string_view path) override;
    Status removeFolder(Operation operation, std::string_view path) override;

    Result<std::string> freeTemporaryPath(Operation operation, std::string_view folder) override;

    Status claim(Operation operation, std::string_view path) override;
    // Succeeds when a change could begin now, and else fails as it would:
    // the image not writable, or in use by another program or a loop device.
    Status checkWritable(Operation operation, std::string_view path) override;
    // Removes the temporary files of `directory` when no other run of the
    // programs has the image claimed.
    void removeStaleTemporaries(std::string_view directory) override;

    // Lets go of the image's export between uses, unless a change runs: the
    // next read or change starts it again. The claim and what was read stay;
    // what another program changes meanwhile is told by the image's stamp.
    void release();
    // Lets go of the image for good: export, locks and open files.
    void close();

    // Changes made between begin and end form one step that no other run
    // interleaves with; the image is checked to be out of use at its start.
    class Change;

  private:
    struct Place;
    struct Folder;
    // The entries of a directory as mtools lists them; see list.
    Result<std::vector<mtools::Entry>> entriesIn(Operation operation, std::string_view directory);
    // The entry a path names as mtools lists it; see find.
    Result<std::optional<mtools::Entry>> entryAt(Operation operation, std::string_view path);
    Result<Place> locate(Operation operation, std::string_view path);
    // The place of a file that is there; fails as Windows does when the path
    // names nothing or a folder.
    Result<Place> locateFile(Operation operation, std::string_view path);
    // Whether a file of `from` may take the name `to` at `target`: its folder
    // is there, and a file already of that name may and can be replaced.
    static Status checkNewName(Operation operation, std::string_view from, std::string_view to,
                               const Place& target, Overwrite overwrite);
    Result<const std::vector<mtools::Entry>*>
    entriesAt(Operation operation, const std::string& address, std::string_view path);
    // The file system as this process reads it, without mtools.
    Result<const FatReader*> fatReader(Operation operation, std::string_view path);
    // The folder at the mtools address `address`, found from the root by the
    // carriers of its components.
    Result<Folder> readFolder(Operation operation, const std::string& address,
                              std::string_view path);
    // Reads `length` bytes at `offset` of the file that holds the volume, the
    // one mtools is given; fewer at its end.
    std::string readData(std::uint64_t offset, std::size_t length) const;
    // Opens the data file for readData, when it is not open yet.
    Status openData(Operation operation, std::string_view path);
    // The report of a damaged file system, as `fault` tells it.
    Error damaged(Operation operation, std::string_view path, const FatFault& fault) const;
    Status checkNotInUse(Operation operation, std::string_view path) const;
    bool mtoolsWrites() const;
    // Opens the image for writing, unless another program writes it.
    Status openWriter(Operation operation, std::string_view path);
    void closeWriter();
    void endChange();
    // Fails (EBADMSG) when the file system is damaged, as the read-only check
    // finds it once for each state of the image that others left.
    Status checkSound(Operation operation, std::string_view path);
    mtools::Outcome run(const mtools::Invocation& invocation) const;
    Error failure(Operation operation, std::string_view path, const mtools::Outcome& outcome,
                  std::string_view destination = {}) const;
    void forgetListings();
    // Works through `exported` from now on.
    void useExport(std::shared_ptr<QemuExport> exported);
    // Starts the export of an image in a format of QEMU's, when it has none.
    Status startExport(Operation operation, std::string_view path);
    // Drops what was read of the image when the image has changed since;
    // false when it cannot be looked at.
    bool refreshStamp();
    // After a change of this run's own, for each folder it touched: `edit`
    // brings the listing read before up to date where that can be told, and
    // says so; else the listing is read again.
    struct FolderChange {
        std::string_view folder;
        std::function<bool(std::vector<mtools::Entry>&)> edit = {};
    };
    void noteChanged(std::initializer_list<FolderChange> changes);

    std::filesystem::path m_imageFile;
    // The file that holds the disk: the image file itself, or its export.
    std::filesystem::path m_dataFile;
    ImageVolume m_volume; // in m_dataFile
    std::optional<QemuFormat> m_format;
    std::shared_ptr<QemuExport> m_export; // while the image in m_format is in use
    // The other files the image is made of (extents, backing files), which
    // no other program may write either.
    std::vector<std::filesystem::path> m_chain;
    FileDescriptor m_claim; // read-only
    // Open for writing while a change runs (or the clean-up of temporary
    // files, which then holds the claim exclusively here).
    FileDescriptor m_writer;
    // The programs that can be seen that a change looks for, as the kernel
    // told when the writer was opened: none when nobody else wrote the
    // image; writers when one may have been another run; every program that
    // has the image open when the kernel could not tell.
    enum class Suspects { None, Writers, Everyone } m_suspects = Suspects::Everyone;
    bool m_cleaning = false;
    int m_changeDepth = 0;
    // The listings read since the image last changed, by mtools address.
    std::map<std::string, std::vector<mtools::Entry>> m_listings;
    // What readData reads, opened at the first read after the image changed;
    // and the reader of the file system on it, whose FAT holds until this run
    // or another changes the image.
    FileDescriptor m_dataReader;
    std::optional<FatReader> m_reader;
    // The bytes of small files read since, by mtools address, and the last
    // large one.
    std::map<std::string, std::string> m_contents;
    std::pair<std::string, FileDescriptor> m_lastLargeFile;
    // Counts the changes by others, and those of this run in each folder.
    std::uint64_t m_generation = 0;
    std::map<std::string, std::uint64_t> m_folderGenerations;
    // The generation whose file system was checked, and the first fault the
    // check found. This run's own changes keep a sound volume sound.
    std::optional<std::uint64_t> m_checkedGeneration;
    std::optional<FatFault> m_fault;
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        std::int64_t modified = 0;
        bool operator==(const Stamp&) const = default;
    } m_stamp;
};

class ImageDrive::Change {
  public:
    static Result<Change> begin(ImageDrive& drive, Operation operation, std::string_view path);
    Change(Change&& other) noexcept;
    Change& operator=(Change&&) = delete;
    ~Change();

  private:
    explicit Change(ImageDrive& drive) : m_drive(&drive) {}
    ImageDrive* m_drive;
};

} // namespace kor::diskimage
