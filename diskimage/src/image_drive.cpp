// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_drive.h"

#include "image_users.h"

#include "diskimage/disk_layout.h"
#include "diskimage/image_drives.h"
#include "platform/temporary_files.h"
#include "platform/text.h"

#include "language/translation.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace kor::diskimage {

using platform::drawTemporaryName;
using platform::equalsIgnoringAsciiCase;
using platform::isTemporaryName;
using platform::parentFolder;
using platform::ReadOnlyDetail;
using platform::writeAll;

namespace fs = std::filesystem;

namespace {

// How often an export is tried while another run of the programs holds the
// image, a quarter of a second apart.
constexpr int ExportAttempts = 20;

// What mtools says of a cluster chain that loops.
constexpr std::string_view DamageReport = "loop detected";

// A failure mtools reports in these words on the first line of its report
// (the first entry found counts): the errno it stands for and, where that
// errno's phrase would not tell the user enough, the reason for the user, in
// Japanese and translated when told, {1} standing for the image.
struct MtoolsReport {
    std::string_view said;
    int code;
    const char* japanese;
};

constexpr MtoolsReport MtoolsReports[] = {
    {"Disk full", ENOSPC, KOR_TRANSLATE_NOOP("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} に空きがありません")},
    {"No directory slots", ENOSPC,
     KOR_TRANSLATE_NOOP("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} のﾌｫﾙﾀﾞがいっぱいで、ﾌｧｲﾙを追加できません")},
    {"No space left on device", ENOSPC,
     KOR_TRANSLATE_NOOP("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} を置いたﾃﾞｨｽｸに空きがないため、"
                                     "ﾃﾞｨｽｸｲﾒｰｼﾞに書き込めません")},
    {"not found", ENOENT, nullptr},
    {"lock", EBUSY, nullptr},
    {"ermission denied", EACCES, nullptr},
    {"ead-only", EROFS, nullptr},
};

std::vector<std::string> componentsOf(std::string_view fullPath) {
    std::vector<std::string> components;
    std::string_view rest = fullPath.size() > 3 ? fullPath.substr(3) : std::string_view();
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\\'), rest.size());
        if (end > 0)
            components.emplace_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return components;
}

bool names(std::string_view name, const mtools::Entry& entry) {
    return equalsIgnoringAsciiCase(name, entry.name) ||
           equalsIgnoringAsciiCase(name, entry.shortName);
}

mtools::Invocation command(std::string name, std::vector<std::string> arguments) {
    mtools::Invocation invocation;
    invocation.command = std::move(name);
    invocation.arguments = std::move(arguments);
    return invocation;
}

// A new entry as mtools makes it for a name it keeps as spelt: no long
// name, no attribute that matters here.
mtools::Entry plainEntry(const std::string& name, std::uint64_t size, bool directory) {
    mtools::Entry entry;
    entry.name = entry.shortName = entry.carrier = name;
    entry.size = size;
    entry.directory = directory;
    return entry;
}

// The programs make ASCII names only inside an image: mtools cannot write a
// CP932 short name rightly.
Error notCreatable(Operation operation, std::string_view path) {
    return Error(operation, std::string(path), ENOTSUP,
                 "only ASCII names are made inside a disk image")
        .withUserReason(
            language::translate("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞの中には英数字の名前しか作れません"));
}

std::string joinAddress(const std::string& folder, const std::string& component) {
    return folder + "/" + component;
}

} // namespace

// A folder as the FAT reader reads it, with its path from the root
// ("\WINDOWS", empty for the root) for the faults found in it.
struct ImageDrive::Folder {
    std::vector<FatEntry> entries;
    std::string path;
};

struct ImageDrive::Place {
    bool isRoot = false;
    bool folderExists = false; // the folder that holds the last component
    std::string folderAddress; // its mtools address ("::" for the root)
    std::string address;       // the entry's own, when it exists
    std::string name;          // the last component as the path gives it
    std::optional<mtools::Entry> entry;
};

namespace {

// The export of the image, shared by the drives of its partitions. Refused
// while images beside it build on it, and while another program holds QEMU's
// lock on it; another run of these programs is waited for a little first.
Result<std::shared_ptr<QemuExport>> exportOf(const fs::path& image, const struct stat& info,
                                             const QemuFormat& format) {
    static std::map<std::pair<dev_t, ino_t>, std::weak_ptr<QemuExport>> exports;
    std::weak_ptr<QemuExport>& known = exports[{info.st_dev, info.st_ino}];
    if (std::shared_ptr<QemuExport> running = known.lock(); running && running->alive())
        return running;
    const std::string imageName = image.string();
    if (const std::vector<fs::path> overlays = overlaysOf(image); !overlays.empty())
        return Error(Operation::OpenImage, imageName, EBUSY,
                     "other images build on it: " + overlays.front().string() +
                         " names it as its backing file; link the image the emulator opens")
            .withUserReason(language::fill(
                language::translate("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} は {2} のﾍﾞｰｽ (元のｲﾒｰｼﾞ) "
                                                 "です。ｴﾐｭﾚｰﾀが開くｲﾒｰｼﾞを指定してください"),
                {imageName, overlays.front().string()}));
    // Another run: by its claim, or, before it has claimed the image, by its
    // export's daemon, which mounts into a folder of the programs'.
    const std::string exportFolder = "/kor-" + std::to_string(::getuid()) + "/";
    const auto isAnotherRun = [&](const Opening& opening) {
        const std::string line = readSmallFile("/proc/" + opening.pid + "/cmdline");
        return opening.claimed || (line.starts_with("qemu-storage-daemon") &&
                                   line.find(exportFolder) != std::string::npos);
    };
    // A program that writes the image without QEMU's lock (VirtualBox, 86Box),
    // one of another user's too, which /proc does not show, is told by the
    // kernel while no daemon of this run has the image open for writing.
    if (const FileDescriptor probe(::open(image.c_str(), O_RDONLY | O_CLOEXEC));
        probe.isOpen() && writersOf(probe.get()) == Writers::Some) {
        const std::vector<Opening> openings = openingsOf(info);
        if (std::ranges::none_of(openings, isAnotherRun))
            return inUse(Operation::OpenImage, imageName, image,
                         otherProgramOf(openings, true, -1).value_or(Holder()));
    }
    for (int attempt = 1;; ++attempt) {
        bool lockRefused = false;
        Result<std::shared_ptr<QemuExport>> started = QemuExport::start(image, format, lockRefused);
        if (started) {
            known = started.value();
            return started;
        }
        if (!lockRefused)
            return started.error();
        const std::vector<Opening> openings = openingsOf(info);
        const auto anotherRun = std::ranges::find_if(openings, isAnotherRun);
        if (anotherRun != openings.end() && attempt < ExportAttempts) {
            ::usleep(250'000);
            continue;
        }
        std::optional<Holder> holder;
        if (anotherRun != openings.end())
            holder = holderOf(anotherRun->pid);
        else if (!(holder = otherProgramOf(openings, false, -1)))
            holder = otherLockOf(info, false);
        return inUse(Operation::OpenImage, imageName, image, holder.value_or(Holder()));
    }
}

// An image file open for reading its disk: the file itself, or the export of
// an image in a format of QEMU's.
struct ImageData {
    FileDescriptor file;
    struct stat info {}; // of the image file
    std::optional<QemuFormat> format;
    std::shared_ptr<QemuExport> exported;
    FileDescriptor exportedFile;
    std::uint64_t size = 0; // of the disk as it reads

    ImageReader reader() const { return readerOf(exported ? exportedFile.get() : file.get()); }
};

Result<ImageData> openImageData(const fs::path& imageFile) {
    const std::string imageName = imageFile.string();
    ImageData data;
    data.file = FileDescriptor(::open(imageFile.c_str(), O_RDONLY | O_CLOEXEC));
    if (!data.file.isOpen() || ::fstat(data.file.get(), &data.info) != 0)
        return Error(Operation::OpenImage, imageName, errno);
    data.size = static_cast<std::uint64_t>(data.info.st_size);
    data.format = KOR_TRY(qemuFormatOf(readerOf(data.file.get()), data.size, imageName));
    if (!data.format)
        return data;
    data.exported = KOR_TRY(exportOf(imageFile, data.info, *data.format));
    data.exportedFile = FileDescriptor(::open(data.exported->file().c_str(), O_RDONLY | O_CLOEXEC));
    struct stat exportedInfo {};
    if (!data.exportedFile.isOpen() || ::fstat(data.exportedFile.get(), &exportedInfo) != 0)
        return Error(Operation::OpenImage, imageName, errno);
    data.size = static_cast<std::uint64_t>(exportedInfo.st_size);
    return data;
}

using DriveKey = std::tuple<std::string, dev_t, ino_t, unsigned>;

// The drives opened in this run, by image file and partition.
std::map<DriveKey, std::shared_ptr<ImageDrive>>& openedDrives() {
    static std::map<DriveKey, std::shared_ptr<ImageDrive>> opened;
    return opened;
}

} // namespace

Result<std::shared_ptr<ImageDrive>> ImageDrive::open(const fs::path& imageFile,
                                                     unsigned partition) {
    const std::string imageName = imageFile.string();
    ImageData data = KOR_TRY(openImageData(imageFile));
    const ImageVolume volume =
        KOR_TRY(findImageVolume(data.reader(), data.size, partition, imageName));
    // One drive object for each image and partition, so that all that this
    // run knows of an image (its listings, its claim) stays in one place. The
    // layout is read each time, as the file may have been made anew.
    const DriveKey key{imageName, data.info.st_dev, data.info.st_ino, partition};
    auto& drive = openedDrives()[key];
    // A file made anew may get the number of one that was removed.
    struct stat claimed {};
    const bool claimGone = drive && drive->m_claim.isOpen() &&
                           ::fstat(drive->m_claim.get(), &claimed) == 0 && claimed.st_nlink == 0;
    if (!drive || claimGone || drive->m_volume.offset != volume.offset ||
        drive->m_volume.length != volume.length)
        drive = std::make_shared<ImageDrive>(imageFile, volume, data.format);
    if (data.exported) {
        drive->useExport(std::move(data.exported));
        // Another run that waits for the image's export sees this one by its
        // claim for as long as the export lasts. An image the user may only
        // read is claimed by none, and its export lets no other run write.
        if (::faccessat(AT_FDCWD, imageFile.c_str(), W_OK, AT_EACCESS) == 0)
            KOR_TRY(drive->claim(Operation::OpenImage, imageName));
    }
    return drive;
}

ImageDrive::ImageDrive(fs::path imageFile, ImageVolume volume, std::optional<QemuFormat> format)
    : m_imageFile(std::move(imageFile)), m_dataFile(m_imageFile), m_volume(volume),
      m_format(std::move(format)),
      m_chain(m_format ? chainOf(m_imageFile) : std::vector<fs::path>()) {}

void ImageDrive::useExport(std::shared_ptr<QemuExport> exported) {
    if (m_export == exported)
        return;
    // What was read through another export's file is read again through this one.
    m_dataReader = FileDescriptor();
    m_reader.reset();
    m_export = std::move(exported);
    m_dataFile = m_export->file();
}

Status ImageDrive::startExport(Operation operation, std::string_view path) {
    // A daemon that died (killed, or out of memory) is replaced; a change
    // under way fails as its writes do.
    if (m_export && !m_export->alive())
        release();
    if (!m_format || m_export)
        return {};
    struct stat info {};
    if (::stat(m_imageFile.c_str(), &info) != 0)
        return Error(operation, std::string(path), errno);
    Result<std::shared_ptr<QemuExport>> exported = exportOf(m_imageFile, info, *m_format);
    if (!exported)
        return exported.error().retold(operation, std::string(path));
    useExport(std::move(exported).value());
    return {};
}

void ImageDrive::release() {
    // A change keeps its export to its end: mtools works on the exported
    // file, and the claim made exclusive for a clean-up rests on it too.
    if (!m_export || m_changeDepth > 0 || m_writer.isOpen())
        return;
    m_dataReader = FileDescriptor();
    m_reader.reset();
    m_export.reset();
    m_dataFile = m_imageFile;
}

void releaseImageDrives() {
    for (const auto& [key, drive] : openedDrives())
        if (drive)
            drive->release();
}

void ImageDrive::close() {
    forgetListings();
    m_writer = FileDescriptor();
    m_claim = FileDescriptor();
    m_export.reset();
    m_dataFile = m_imageFile;
}

void closeImageDrives() {
    for (const auto& [key, drive] : openedDrives())
        if (drive)
            drive->close();
    openedDrives().clear();
}

ImageDrive::~ImageDrive() = default;

mtools::Outcome ImageDrive::run(const mtools::Invocation& invocation) const {
    mtools::Invocation onData = invocation;
    if (m_export)
        onData.keptOpen = m_export->lifeline();
    mtools::Outcome outcome = mtools::run(m_dataFile, m_volume.offset, onData);
    // mtools follows a cluster chain that runs in a circle only once round,
    // says so, and carries on as if nothing were wrong.
    if (outcome.errors.find(DamageReport) != std::string::npos)
        outcome.exitStatus = -1;
    return outcome;
}

void ImageDrive::forgetListings() {
    m_listings.clear();
    m_contents.clear();
    m_lastLargeFile = {std::string(), FileDescriptor()};
    m_reader.reset();
    m_dataReader = FileDescriptor();
}

bool ImageDrive::refreshStamp() {
    struct stat info {};
    if (::stat(m_imageFile.c_str(), &info) != 0)
        return false;
    const Stamp stamp{info.st_dev, info.st_ino, info.st_size,
                      info.st_mtim.tv_sec * 1'000'000'000 + info.st_mtim.tv_nsec};
    if (stamp != m_stamp) {
        forgetListings();
        m_stamp = stamp;
        ++m_generation;
    }
    return true;
}

void ImageDrive::noteChanged(std::initializer_list<FolderChange> changes) {
    std::vector<std::string_view> folders;
    for (const FolderChange& change : changes) {
        folders.push_back(change.folder);
        const std::string key(change.folder);
        ++m_folderGenerations[key];
        const auto listing = m_listings.find(key);
        if (listing != m_listings.end() && !(change.edit && change.edit(listing->second)))
            m_listings.erase(listing);
    }
    // The FAT read before no longer holds.
    m_reader.reset();
    // Files read before keep their bytes unless they lie in a changed folder.
    const auto inChangedFolder = [&](const std::string& address) {
        const std::string_view folder = std::string_view(address).substr(0, address.rfind('/'));
        return std::ranges::find(folders, folder) != folders.end();
    };
    std::erase_if(m_contents, [&](const auto& kept) { return inChangedFolder(kept.first); });
    if (inChangedFolder(m_lastLargeFile.first))
        m_lastLargeFile = {std::string(), FileDescriptor()};
    // The image changed by this run's own hand, under its lock: what was
    // read of the other folders still holds.
    struct stat info {};
    if (::stat(m_imageFile.c_str(), &info) == 0)
        m_stamp = {info.st_dev, info.st_ino, info.st_size,
                   info.st_mtim.tv_sec * 1'000'000'000 + info.st_mtim.tv_nsec};
}

Error ImageDrive::failure(Operation operation, std::string_view path,
                          const mtools::Outcome& outcome, std::string_view destination) const {
    const auto error = [&](int code, std::string detail, std::string told = {}) {
        Error made(operation, std::string(path), std::string(destination), code, std::move(detail));
        return told.empty() ? made : std::move(made).withUserReason(std::move(told));
    };
    if (outcome.spawnError == ENOENT)
        return error(
            ENOSYS, "mtools is not installed; it reads and writes disk images",
            language::translate(
                "diskimage",
                "ﾃﾞｨｽｸｲﾒｰｼﾞを読み書きする mtools がｲﾝｽﾄｰﾙされていません (apt install mtools)"));
    if (outcome.spawnError != 0)
        return error(outcome.spawnError, "cannot start mtools");
    if (outcome.timedOut)
        return error(
            EIO,
            "mtools did not finish; the file system of " + m_imageFile.string() + " may be damaged",
            language::translate(
                "diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞの処理が終わりません。ﾌｧｲﾙｼｽﾃﾑが壊れているかもしれません"));
    if (outcome.errors.find(DamageReport) != std::string::npos)
        return error(EBADMSG,
                     "the file system of " + m_imageFile.string() +
                         " is damaged: a cluster chain runs in a loop",
                     language::fill(
                         language::translate(
                             "diskimage",
                             "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} のﾌｧｲﾙｼｽﾃﾑが壊れています "
                             "(ｸﾗｽﾀﾁｪｰﾝが循環しています)。Windows の ScanDisk で修復してください"),
                         {m_imageFile.string()}));
    const std::string said = firstLine(outcome.errors);
    for (const MtoolsReport& report : MtoolsReports)
        if (said.find(report.said) != std::string::npos)
            return error(report.code, said,
                         report.japanese
                             ? language::fill(language::translate("diskimage", report.japanese),
                                              {m_imageFile.string()})
                             : std::string());
    // mtools' own words stay in the English detail; the report to the user
    // has none of them.
    return error(
        EIO, said.empty() ? "mtools failed" : "mtools: " + said,
        language::fill(language::translate("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} を読み書きできません"),
                       {m_imageFile.string()}));
}

Result<const std::vector<mtools::Entry>*>
ImageDrive::entriesAt(Operation operation, const std::string& address, std::string_view path) {
    if (!refreshStamp())
        return Error(operation, std::string(path), errno);
    if (const auto found = m_listings.find(address); found != m_listings.end())
        return &found->second;
    const Folder folder = KOR_TRY(readFolder(operation, address, path));
    std::vector<mtools::Entry> entries;
    entries.reserve(folder.entries.size());
    std::ranges::transform(folder.entries, std::back_inserter(entries), mtools::entryOf);
    return &m_listings.emplace(address, std::move(entries)).first->second;
}

std::string ImageDrive::readData(std::uint64_t offset, std::size_t length) const {
    return readBytes(m_dataReader.get(), offset, length);
}

Status ImageDrive::openData(Operation operation, std::string_view path) {
    if (!m_dataReader.isOpen()) {
        KOR_TRY(startExport(operation, path));
        m_dataReader = FileDescriptor(::open(m_dataFile.c_str(), O_RDONLY | O_CLOEXEC));
        if (!m_dataReader.isOpen())
            return Error(operation, std::string(path), errno);
    }
    return {};
}

Result<const FatReader*> ImageDrive::fatReader(Operation operation, std::string_view path) {
    if (m_reader)
        return &*m_reader;
    KOR_TRY(openData(operation, path));
    Result<FatReader> opened = FatReader::open(
        [this](std::uint64_t offset, std::size_t length) { return readData(offset, length); },
        m_volume, m_imageFile.string());
    if (!opened)
        return opened.error().retold(operation, std::string(path));
    return &m_reader.emplace(std::move(opened).value());
}

Result<ImageDrive::Folder> ImageDrive::readFolder(Operation operation, const std::string& address,
                                                  std::string_view path) {
    const FatReader& reader = *KOR_TRY(fatReader(operation, path));
    Folder folder;
    std::uint32_t firstCluster = 0;
    std::string_view rest =
        std::string_view(address).substr(std::min<std::size_t>(2, address.size()));
    for (;;) {
        FatRead<std::vector<FatEntry>> read = reader.readFolder(firstCluster);
        if (FatFault* fault = std::get_if<FatFault>(&read)) {
            fault->path = folder.path.empty() ? "\\" : folder.path;
            return damaged(operation, path, *fault);
        }
        folder.entries = std::get<0>(std::move(read));
        rest.remove_prefix(std::min<std::size_t>(1, rest.size()));
        if (rest.empty())
            return folder;
        const std::string component(rest.substr(0, rest.find('/')));
        rest.remove_prefix(component.size());
        // The address spells each folder as locate does; else it is a name
        // that mtools would take for it.
        const auto found = std::ranges::find_if(folder.entries, [&](const FatEntry& entry) {
            return entry.isDirectory() &&
                   mtools::addressOf(mtools::carrierOf(entry.storedName, entry.smallLetters)) ==
                       component;
        });
        const auto matched =
            found != folder.entries.end()
                ? found
                : std::ranges::find_if(folder.entries, [&](const FatEntry& entry) {
                      return entry.isDirectory() &&
                             mtools::addressMatches(component, mtools::entryOf(entry));
                  });
        if (matched == folder.entries.end())
            return Error(operation, std::string(path), ENOENT, "no such directory");
        folder.path += "\\" + matched->name();
        // A folder's chain starts at cluster 2 or later; 0 would read the
        // root again, in circles.
        if (matched->firstCluster < 2) {
            FatFault fault;
            fault.kind = FatFault::Kind::Outside;
            fault.path = folder.path;
            return damaged(operation, path, fault);
        }
        firstCluster = matched->firstCluster;
    }
}

Error ImageDrive::damaged(Operation operation, std::string_view path, const FatFault& fault) const {
    const std::string image = m_imageFile.string();
    return Error(operation, std::string(path), EBADMSG,
                 "the file system of " + image + " is damaged: " + fault.english() +
                     "; repair it with ScanDisk in Windows")
        .withUserReason(language::fill(
            language::translate("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} のﾌｧｲﾙｼｽﾃﾑが壊れています "
                                             "({2})。Windows の ScanDisk で修復してください"),
            {image, fault.userText()}));
}

Result<ImageDrive::Place> ImageDrive::locate(Operation operation, std::string_view path) {
    const std::vector<std::string> components = componentsOf(path);
    Place place;
    place.folderAddress = "::";
    place.folderExists = true;
    if (components.empty()) {
        place.isRoot = true;
        place.address = "::";
        return place;
    }
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::vector<mtools::Entry>& entries =
            *KOR_TRY(entriesAt(operation, place.folderAddress, path));
        const auto entry = std::ranges::find_if(
            entries, [&](const mtools::Entry& e) { return names(components[i], e); });
        const bool last = i + 1 == components.size();
        if (entry == entries.end() || (!last && !entry->directory)) {
            place.folderExists = last;
            place.name = components.back();
            return place;
        }
        const std::string component = mtools::addressOf(entry->carrier);
        // Only a name spelt with "?" can stand for more than one.
        const bool ambiguous = component != entry->carrier &&
                               std::ranges::count_if(entries, [&](const mtools::Entry& e) {
                                   return mtools::addressMatches(component, e);
                               }) > 1;
        if (ambiguous)
            return Error(operation, std::string(path), ENOTSUP,
                         "mtools cannot tell " + entry->name + " from another name")
                .withUserReason(language::fill(
                    language::translate("diskimage",
                                        "ﾃﾞｨｽｸｲﾒｰｼﾞの中で {1} をほかの名前と区別できません"),
                    {entry->name}));
        if (last) {
            place.address = joinAddress(place.folderAddress, component);
            place.name = components.back();
            place.entry = *entry;
            return place;
        }
        place.folderAddress = joinAddress(place.folderAddress, component);
    }
    return place;
}

Status ImageDrive::checkNewName(Operation operation, std::string_view from, std::string_view to,
                                const Place& target, Overwrite overwrite) {
    const auto failed = [&](int code, std::string detail = {}) {
        return Error(operation, std::string(from), std::string(to), code, std::move(detail));
    };
    if (!target.folderExists)
        return failed(ENOTDIR, "no such directory");
    if (target.entry && (overwrite == Overwrite::No || target.entry->directory))
        return failed(EEXIST);
    if (target.entry && target.entry->readOnly)
        return failed(EACCES, std::string(ReadOnlyDetail));
    return {};
}

Result<ImageDrive::Place> ImageDrive::locateFile(Operation operation, std::string_view path) {
    Place place = KOR_TRY(locate(operation, path));
    if (!place.entry)
        return Error(operation, std::string(path), place.folderExists ? ENOENT : ENOTDIR);
    if (place.entry->directory)
        return Error(operation, std::string(path), EISDIR, "not a file");
    return place;
}

Result<std::vector<mtools::Entry>> ImageDrive::entriesIn(Operation operation,
                                                         std::string_view directory) {
    const Place place = KOR_TRY(locate(operation, directory));
    if (!place.isRoot && !(place.entry && place.entry->directory))
        return Error(operation, std::string(directory), ENOTDIR, "no such directory");
    return *KOR_TRY(entriesAt(operation, place.address, directory));
}

Result<std::optional<mtools::Entry>> ImageDrive::entryAt(Operation operation,
                                                         std::string_view path) {
    const Place place = KOR_TRY(locate(operation, path));
    if (place.isRoot) {
        mtools::Entry root;
        root.directory = true;
        return std::optional<mtools::Entry>(root);
    }
    return place.entry;
}

namespace {

FolderEntry folderEntryOf(const mtools::Entry& entry) {
    return FolderEntry{entry.name, entry.size, entry.directory, entry.hidden, entry.readOnly};
}

} // namespace

Result<std::vector<FolderEntry>> ImageDrive::list(Operation operation, std::string_view directory) {
    const std::vector<mtools::Entry> entries = KOR_TRY(entriesIn(operation, directory));
    std::vector<FolderEntry> listed;
    listed.reserve(entries.size());
    std::ranges::transform(entries, std::back_inserter(listed), folderEntryOf);
    return listed;
}

Result<std::optional<FolderEntry>> ImageDrive::find(Operation operation, std::string_view path) {
    const std::optional<mtools::Entry> entry = KOR_TRY(entryAt(operation, path));
    if (!entry)
        return std::optional<FolderEntry>();
    return std::optional(folderEntryOf(*entry));
}

Result<FileDescriptor> ImageDrive::readIntoMemory(Operation operation, std::string_view path) {
    const Place place = KOR_TRY(locateFile(operation, path));
    // The last large file read (an archive, opened once for every member
    // and logo) is kept as it is; its reader gets a descriptor of its own.
    if (m_lastLargeFile.first == place.address && m_lastLargeFile.second.isOpen()) {
        const std::string again = "/proc/self/fd/" + std::to_string(m_lastLargeFile.second.get());
        FileDescriptor reopened(::open(again.c_str(), O_RDONLY | O_CLOEXEC));
        if (reopened.isOpen())
            return reopened;
    }
    FileDescriptor memory(::memfd_create("kor-image-file", MFD_CLOEXEC));
    if (!memory.isOpen())
        return Error(operation, std::string(path), errno);
    // Small files (KOR.INI, read once for every key) are kept as read.
    if (const auto kept = m_contents.find(place.address); kept != m_contents.end()) {
        if (const int error = writeAll(memory.get(), kept->second))
            return Error(operation, std::string(path), error);
    } else {
        const Folder folder = KOR_TRY(readFolder(operation, place.folderAddress, path));
        const auto file = std::ranges::find_if(folder.entries, [&](const FatEntry& entry) {
            return !entry.isDirectory() &&
                   mtools::carrierOf(entry.storedName, entry.smallLetters) == place.entry->carrier;
        });
        if (file == folder.entries.end())
            return Error(operation, std::string(path), ENOENT);
        // A large file goes straight into memory, a piece at a time, so that
        // one of 4 GiB on a sparse image is never held twice.
        constexpr std::uint64_t keptSize = 64 * 1024;
        const bool small = file->size <= keptSize;
        std::string bytes;
        int writeError = 0;
        std::optional<FatFault> fault =
            KOR_TRY(fatReader(operation, path))->readFile(*file, [&](std::string_view piece) {
                if (small)
                    bytes += piece;
                writeError = writeAll(memory.get(), piece);
                return writeError == 0;
            });
        if (writeError != 0)
            return Error(operation, std::string(path), writeError);
        if (fault) {
            fault->path = folder.path + "\\" + file->name();
            return damaged(operation, path, *fault);
        }
        if (small) {
            m_contents.emplace(place.address, std::move(bytes));
        } else {
            m_lastLargeFile = {place.address,
                               FileDescriptor(::fcntl(memory.get(), F_DUPFD_CLOEXEC, 0))};
        }
    }
    ::lseek(memory.get(), 0, SEEK_SET);
    return memory;
}

Result<FileVersion> ImageDrive::version(Operation operation, std::string_view path) {
    const Place place = KOR_TRY(locateFile(operation, path));
    const auto folder = m_folderGenerations.find(place.folderAddress);
    return FileVersion{
        std::string(path),
        m_stamp.device,
        m_stamp.inode,
        place.entry->size,
        static_cast<std::int64_t>(m_generation),
        folder == m_folderGenerations.end() ? 0 : static_cast<std::int64_t>(folder->second)};
}

Status ImageDrive::claim(Operation operation, std::string_view path) {
    if (m_claim.isOpen())
        return {};
    // Read-only, so that a run that merely holds the image does not count as
    // a writer of it when another run asks the kernel.
    FileDescriptor file(::open(m_imageFile.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.isOpen() || ::faccessat(AT_FDCWD, m_imageFile.c_str(), W_OK, AT_EACCESS) != 0)
        return Error(operation, std::string(path), errno,
                     "cannot write the disk image " + m_imageFile.string());
    lockByte(file.get(), F_RDLCK, ClaimByte, true);
    m_claim = std::move(file);
    return {};
}

Status ImageDrive::openWriter(Operation operation, std::string_view path) {
    if (m_writer.isOpen())
        return {};
    KOR_TRY(startExport(operation, path));
    KOR_TRY(claim(operation, path));
    // Asked before this run opens the image for writing itself. A writer
    // while another run of these programs has the image open for writing,
    // or while mtools does, may be that run; then the writers that can be
    // seen are looked for. The export's daemon writes the image all along,
    // so that the kernel cannot tell of others.
    switch (m_export ? Writers::Some : writersOf(m_claim.get())) {
    case Writers::None:
        m_suspects = Suspects::None;
        break;
    case Writers::Some:
        m_suspects = Suspects::Writers;
        if (!m_export && !heldByAnother(m_claim.get(), WriterByte) && !mtoolsWrites()) {
            KOR_TRY(checkNotInUse(operation, path));
            return inUse(operation, path, m_imageFile, Holder());
        }
        break;
    case Writers::Unseen:
        m_suspects = Suspects::Everyone;
        break;
    }
    lockByte(m_claim.get(), F_RDLCK, WriterByte, false);
    FileDescriptor file(::open(m_imageFile.c_str(), O_RDWR | O_CLOEXEC));
    if (!file.isOpen()) {
        const int error = errno;
        lockByte(m_claim.get(), F_UNLCK, WriterByte, false);
        return Error(operation, std::string(path), error,
                     "cannot write the disk image " + m_imageFile.string());
    }
    m_writer = std::move(file);
    return {};
}

void ImageDrive::closeWriter() {
    m_writer = FileDescriptor();
    lockByte(m_claim.get(), F_UNLCK, WriterByte, false);
}

// mtools, which locks the image against itself, may still be writing for a
// run of these programs that was killed.
bool ImageDrive::mtoolsWrites() const {
    struct stat target {};
    return ::fstat(m_claim.get(), &target) == 0 &&
           std::ranges::any_of(openingsOf(target), [](const Opening& opening) {
               return opening.isMtools && opening.writes;
           });
}

Status ImageDrive::checkNotInUse(Operation operation, std::string_view path) const {
    struct stat target {};
    if (::fstat(m_claim.get(), &target) != 0)
        return {};
    if (const std::optional<std::string> loop = loopDeviceOf(target))
        return Error(operation, std::string(path), EBUSY,
                     "the disk image " + m_imageFile.string() + " is attached to " + *loop +
                         "; unmount it and detach it (losetup -d " + *loop + ") first")
            .withLeadingReason(language::fill(
                language::translate(
                    "diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} は {2} に接続されています。ｱﾝﾏｳﾝﾄして切り離して "
                                 "(losetup -d {2}) から、もう一度実行してください"),
                {leadingPath(m_imageFile), *loop}));
    std::optional<Holder> holder;
    const pid_t exporter = m_export ? m_export->daemon() : -1;
    if (m_suspects != Suspects::None)
        holder = otherProgramOf(openingsOf(target), m_suspects == Suspects::Writers, exporter);
    if (!holder)
        holder = otherLockOf(target, m_export != nullptr);
    if (holder)
        return inUse(operation, path, m_imageFile, *holder);
    for (const fs::path& file : m_chain) {
        struct stat info {};
        if (::stat(file.c_str(), &info) != 0)
            continue;
        holder = otherProgramOf(openingsOf(info), true, exporter);
        if (holder)
            return inUse(operation, path, file, *holder);
    }
    return {};
}

Status ImageDrive::checkWritable(Operation operation, std::string_view path) {
    KOR_TRY(Change::begin(*this, operation, path));
    return {};
}

Status ImageDrive::checkSound(Operation operation, std::string_view path) {
    if (m_checkedGeneration != m_generation) {
        KOR_TRY(openData(operation, path));
        const ImageReader read = [this](std::uint64_t offset, std::size_t length) {
            return readData(offset, length);
        };
        std::vector<FatFault> faults = checkFatVolume(read, m_volume);
        m_fault = faults.empty() ? std::nullopt : std::optional(std::move(faults.front()));
        m_checkedGeneration = m_generation;
    }
    if (!m_fault)
        return {};
    return damaged(operation, path, *m_fault);
}

Result<ImageDrive::Change> ImageDrive::Change::begin(ImageDrive& drive, Operation operation,
                                                     std::string_view path) {
    if (drive.m_changeDepth == 0) {
        KOR_TRY(drive.openWriter(operation, path));
        lockByte(drive.m_writer.get(), F_WRLCK, ChangeByte, true);
        drive.refreshStamp();
        // Nothing is written on a damaged volume: a change there would spread
        // the damage (freeing a chain that loops, or another file's clusters).
        Status ready = drive.checkNotInUse(operation, path);
        if (ready)
            ready = drive.checkSound(operation, path);
        if (!ready) {
            drive.endChange();
            return ready.error();
        }
    }
    ++drive.m_changeDepth;
    return Change(drive);
}

ImageDrive::Change::Change(Change&& other) noexcept
    : m_drive(std::exchange(other.m_drive, nullptr)) {}

ImageDrive::Change::~Change() {
    if (m_drive == nullptr)
        return;
    if (--m_drive->m_changeDepth == 0)
        m_drive->endChange();
}

void ImageDrive::endChange() {
    if (m_cleaning)
        lockByte(m_writer.get(), F_UNLCK, ChangeByte, false);
    else
        closeWriter();
}

Status ImageDrive::store(Operation operation, int contents, std::string_view path) {
    const Change change = KOR_TRY(Change::begin(*this, operation, path));
    const Place place = KOR_TRY(locate(operation, path));
    if (!place.folderExists)
        return Error(operation, std::string(path), ENOTDIR, "no such directory");
    if (place.entry)
        return Error(operation, std::string(path), EEXIST);
    if (!mtools::isCreatableName(place.name))
        return notCreatable(operation, path);
    const std::string address = joinAddress(place.folderAddress, place.name);
    mtools::Invocation copying = command("mcopy", {"-m", "-D", "o", "/dev/fd/5", address});
    copying.input = contents;
    const mtools::Outcome outcome = run(copying);
    // A disk that filled up keeps what mtools had written so far.
    if (!outcome.succeeded()) {
        run(command("mdel", {address}));
        noteChanged({{place.folderAddress}});
        return failure(operation, path, outcome);
    }
    struct stat stored {};
    const bool sized = ::fstat(contents, &stored) == 0;
    noteChanged({{place.folderAddress, [&](std::vector<mtools::Entry>& entries) {
                      if (!sized || !mtools::keepsItsSpelling(place.name))
                          return false;
                      entries.push_back(plainEntry(
                          place.name, static_cast<std::uint64_t>(stored.st_size), false));
                      return true;
                  }}});
    return {};
}

// The file goes into the target's folder under a temporary name, and only
// once it is whole does it take the target's name: a run that dies in between
// leaves a temporary file, which the next run removes, and the old target.
// A new file of a run's temporary folder (an archive member extracted there)
// is written under its own name at once: the next run removes that folder
// whole, and until then nobody else reads it.
Status ImageDrive::storeAs(Operation operation, int contents, std::string_view target,
                           Overwrite overwrite) {
    const Change change = KOR_TRY(Change::begin(*this, operation, target));
    const std::string folder = parentFolder(target);
    const std::string_view name = target.substr(target.rfind('\\') + 1);
    if (isTemporaryName(std::string_view(folder).substr(folder.rfind('\\') + 1)) &&
        mtools::isCreatableName(name) && !KOR_TRY(entryAt(operation, target)))
        return store(operation, contents, target);
    const std::string staged = KOR_TRY(freeTemporaryPath(operation, folder));
    KOR_TRY(store(operation, contents, staged));
    if (Status renamed = rename(operation, staged, target, overwrite); !renamed) {
        static_cast<void>(remove(Operation::Delete, staged));
        return renamed;
    }
    return {};
}

Status ImageDrive::rename(Operation operation, std::string_view from, std::string_view to,
                          Overwrite overwrite) {
    const Change change = KOR_TRY(Change::begin(*this, operation, from));
    const Place source = KOR_TRY(locate(operation, from));
    const Place target = KOR_TRY(locate(operation, to));
    const auto failed = [&](int code, std::string detail = {}) {
        return Error(operation, std::string(from), std::string(to), code, std::move(detail));
    };
    if (!source.entry)
        return failed(source.folderExists ? ENOENT : ENOTDIR);
    KOR_TRY(checkNewName(operation, from, to, target, overwrite));
    // The new name is given as the path spells it; a file that is replaced
    // passes its name on as it was spelt, long name and case.
    const std::string newName = !target.entry ? target.name
                                : mtools::isCreatableName(target.entry->name)
                                    ? target.entry->name
                                    : mtools::addressOf(target.entry->carrier);
    const bool sameFolder = source.folderAddress == target.folderAddress;
    std::vector<std::string> before;
    for (const mtools::Entry& entry : *KOR_TRY(entriesAt(operation, target.folderAddress, to)))
        before.push_back(entry.carrier);
    std::vector<std::string> arguments;
    if (overwrite == Overwrite::Yes)
        arguments = {"-D", "o"};
    arguments.push_back(source.address);
    arguments.push_back(joinAddress(target.folderAddress, newName));
    const mtools::Outcome outcome = run(command(sameFolder ? "mren" : "mmove", arguments));
    if (!outcome.succeeded()) {
        noteChanged({{source.folderAddress}, {target.folderAddress}});
        return failure(operation, from, outcome, to);
    }
    // Where mtools spells the new entry as it was given, the listings are
    // brought up to date here rather than read again.
    const mtools::Entry moved = *source.entry;
    const auto takeOut = [&](std::vector<mtools::Entry>& entries) {
        std::erase_if(entries, [&](const mtools::Entry& e) { return e.carrier == moved.carrier; });
        return true;
    };
    const auto putIn = [&](std::vector<mtools::Entry>& entries) {
        if (sameFolder)
            takeOut(entries);
        if (target.entry) {
            const auto replaced =
                std::ranges::find(entries, target.entry->carrier, &mtools::Entry::carrier);
            if (replaced == entries.end() || !mtools::keepsItsSpelling(replaced->carrier) ||
                replaced->name != replaced->carrier)
                return false;
            replaced->size = moved.size;
            replaced->hidden = moved.hidden;
            replaced->readOnly = moved.readOnly;
            return true;
        }
        if (!mtools::keepsItsSpelling(newName))
            return false;
        entries.push_back(plainEntry(newName, moved.size, moved.directory));
        return true;
    };
    if (sameFolder)
        noteChanged({{target.folderAddress, putIn}});
    else
        noteChanged({{source.folderAddress, takeOut}, {target.folderAddress, putIn}});
    if (target.entry || mtools::isCreatableName(newName))
        return {};
    // A name beyond ASCII (a member's own, extracted into the image) becomes a
    // long name, which mtools writes faithfully, with an ASCII short name of
    // its choosing; but it folds some characters (full-width letters) into
    // ASCII without a long name. Such a file takes its old name back.
    const std::vector<mtools::Entry>& after =
        *KOR_TRY(entriesAt(operation, target.folderAddress, to));
    const auto made = std::ranges::find_if(after, [&](const mtools::Entry& entry) {
        return std::ranges::find(before, entry.carrier) == before.end();
    });
    if (made != after.end() && made->name == target.name)
        return {};
    if (made != after.end()) {
        run(command(sameFolder ? "mren" : "mmove",
                    {joinAddress(target.folderAddress, mtools::addressOf(made->carrier)),
                     joinAddress(source.folderAddress, mtools::addressOf(source.entry->carrier))}));
        noteChanged({{source.folderAddress}, {target.folderAddress}});
    }
    return Error(operation, std::string(from), std::string(to), ENOTSUP,
                 "the disk image cannot hold the name " + target.name)
        .withUserReason(language::translate("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞの中にこの名前を作れません"));
}

Result<std::string> ImageDrive::freeTemporaryPath(Operation operation, std::string_view folder) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        std::string path =
            std::string(folder) + (folder.ends_with('\\') ? "" : "\\") + drawTemporaryName();
        if (!KOR_TRY(entryAt(operation, path)))
            return path;
    }
    return Error(operation, std::string(folder), EEXIST, "no free temporary name");
}

Status ImageDrive::copy(Operation operation, std::string_view from, std::string_view to,
                        Overwrite overwrite) {
    const Change change = KOR_TRY(Change::begin(*this, operation, to));
    const Place source = KOR_TRY(locate(operation, from));
    const auto failed = [&](int code, std::string detail = {}) {
        return Error(operation, std::string(from), std::string(to), code, std::move(detail));
    };
    if (!source.entry)
        return failed(source.folderExists ? ENOENT : ENOTDIR);
    if (source.entry->directory)
        return failed(EISDIR, std::string(from) + " is not a file");
    const Place target = KOR_TRY(locate(operation, to));
    KOR_TRY(checkNewName(operation, from, to, target, overwrite));
    // One mtools command copies inside the image, keeping the file's time.
    const std::string staged = KOR_TRY(freeTemporaryPath(operation, parentFolder(to)));
    const std::string stagedName = staged.substr(staged.rfind('\\') + 1);
    const std::string stagedAddress = joinAddress(target.folderAddress, stagedName);
    const mtools::Outcome outcome =
        run(command("mcopy", {"-m", "-D", "o", source.address, stagedAddress}));
    if (!outcome.succeeded()) {
        run(command("mdel", {stagedAddress}));
        noteChanged({{target.folderAddress}});
        return failure(operation, from, outcome, to);
    }
    noteChanged({{target.folderAddress, [&](std::vector<mtools::Entry>& entries) {
                      entries.push_back(plainEntry(stagedName, source.entry->size, false));
                      return true;
                  }}});
    if (Status renamed = rename(operation, staged, to, overwrite); !renamed) {
        static_cast<void>(remove(Operation::Delete, staged));
        return renamed;
    }
    return {};
}

Status ImageDrive::remove(Operation operation, std::string_view path) {
    const Change change = KOR_TRY(Change::begin(*this, operation, path));
    const Place place = KOR_TRY(locateFile(operation, path));
    if (place.entry->readOnly)
        return Error(operation, std::string(path), EACCES, std::string(ReadOnlyDetail));
    const mtools::Outcome outcome = run(command("mdel", {place.address}));
    noteChanged({{place.folderAddress, [&](std::vector<mtools::Entry>& entries) {
                      std::erase_if(entries, [&](const mtools::Entry& e) {
                          return e.carrier == place.entry->carrier;
                      });
                      return outcome.succeeded();
                  }}});
    if (!outcome.succeeded())
        return failure(operation, path, outcome);
    return {};
}

Status ImageDrive::makeDirectory(Operation operation, std::string_view path) {
    const Change change = KOR_TRY(Change::begin(*this, operation, path));
    const Place place = KOR_TRY(locate(operation, path));
    if (!place.folderExists)
        return Error(operation, std::string(path), ENOTDIR, "no such directory");
    if (place.entry || place.isRoot)
        return Error(operation, std::string(path), EEXIST);
    if (!mtools::isCreatableName(place.name))
        return notCreatable(operation, path);
    const std::string address = joinAddress(place.folderAddress, place.name);
    const mtools::Outcome outcome = run(command("mmd", {address}));
    const bool known = outcome.succeeded() && mtools::keepsItsSpelling(place.name);
    noteChanged({{place.folderAddress, [&](std::vector<mtools::Entry>& entries) {
                      if (known)
                          entries.push_back(plainEntry(place.name, 0, true));
                      return known;
                  }}});
    if (!outcome.succeeded())
        return failure(operation, path, outcome);
    // A new folder holds nothing.
    if (known)
        m_listings[address];
    return {};
}

Status ImageDrive::removeFolder(Operation operation, std::string_view path) {
    const Change change = KOR_TRY(Change::begin(*this, operation, path));
    const std::vector<mtools::Entry> entries = KOR_TRY(entriesIn(operation, path));
    if (std::ranges::any_of(entries, &mtools::Entry::directory))
        return Error(operation, std::string(path), ENOTEMPTY);
    const Place place = KOR_TRY(locate(operation, path));
    const mtools::Outcome outcome = run(command("mdeltree", {place.address}));
    noteChanged({{place.folderAddress,
                  [&](std::vector<mtools::Entry>& entries) {
                      std::erase_if(entries, [&](const mtools::Entry& e) {
                          return e.carrier == place.entry->carrier;
                      });
                      return outcome.succeeded();
                  }},
                 {place.address}});
    if (!outcome.succeeded())
        return failure(operation, path, outcome);
    return {};
}

void ImageDrive::removeStaleTemporaries(std::string_view directory) {
    Result<std::vector<mtools::Entry>> entries = entriesIn(Operation::List, directory);
    if (!entries || std::ranges::none_of(entries.value(), [](const mtools::Entry& entry) {
            return isTemporaryName(entry.shortName);
        }))
        return;
    // Only when no other run has the image claimed: a live run's temporary
    // files look no different from a dead one's. The claim becomes exclusive
    // on the writer, which alone may hold a write lock, without a moment
    // where this run holds none.
    if (!openWriter(Operation::Delete, directory))
        return;
    lockByte(m_writer.get(), F_RDLCK, ClaimByte, false);
    lockByte(m_claim.get(), F_UNLCK, ClaimByte, false);
    if (lockByte(m_writer.get(), F_WRLCK, ClaimByte, false)) {
        m_cleaning = true;
        for (const mtools::Entry& entry : entries.value()) {
            if (!isTemporaryName(entry.shortName))
                continue;
            const std::string path =
                std::string(directory) + (directory.ends_with('\\') ? "" : "\\") + entry.shortName;
            static_cast<void>(entry.directory ? removeFolder(Operation::Delete, path)
                                              : remove(Operation::Delete, path));
        }
        m_cleaning = false;
        lockByte(m_writer.get(), F_RDLCK, ClaimByte, false);
    }
    lockByte(m_claim.get(), F_RDLCK, ClaimByte, false);
    closeWriter();
}

Result<std::shared_ptr<platform::Drive>> openImageDrive(const fs::path& imageFile,
                                                        unsigned partition) {
    return std::shared_ptr<platform::Drive>(KOR_TRY(ImageDrive::open(imageFile, partition)));
}

Result<DiskLayout> readDiskLayout(const fs::path& imageFile) {
    const ImageData data = KOR_TRY(openImageData(imageFile));
    return findDiskLayout(data.reader(), data.size, imageFile.string());
}

} // namespace kor::diskimage
