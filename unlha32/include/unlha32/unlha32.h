#pragma once

// The archive library: checking, listing and extracting LZH archives through
// the six functions that archivers of the Windows 95 era offered. Texts are
// CP932 (Shift-JIS) Windows paths of the emulated machine. Built as a shared
// library that the programs load by name at their first archive call.

#include <cstddef>
#include <cstdint>

extern "C" {

using HWND = std::uintptr_t;
using HARC = std::uintptr_t;

// The member record the library fills: 558 bytes, little-endian, packed.
#pragma pack(push, 1)
struct INDIVIDUALINFO {
    std::uint32_t dwOriginalSize;   // 0: unpacked size in bytes
    std::uint32_t dwCompressedSize; // 4: packed size in bytes
    std::uint32_t dwCRC;            // 8: CRC-16 of the member's data in the low half
    std::uint16_t uOSType;          // 12: the header's OS byte
    std::uint16_t uHeaderLevel;     // 14: LZH header level 0 to 3
    std::uint16_t wRatio;           // 16: packed size per mille of the unpacked size
    std::uint32_t dwReserved;       // 18
    std::uint16_t wDate;            // 22: MS-DOS date: year-1980 << 9 | month << 5 | day
    std::uint16_t wTime;            // 24: MS-DOS time: hour << 11 | minute << 5 | second / 2
    char szFileName[513];           // 26: member path as stored, "\" between parts, NUL-ended
    char szAttribute[8];            // 539
    char szMode[8];                 // 547: compression method, such as "-lh5-"
    char reserved[3];               // 555
};
#pragma pack(pop)
static_assert(sizeof(INDIVIDUALINFO) == 558);
static_assert(offsetof(INDIVIDUALINFO, wDate) == 22);
static_assert(offsetof(INDIVIDUALINFO, szFileName) == 26);

// Mode 1 of UnlhaCheckArchive: read every header. Non-zero: a valid archive.
int UnlhaCheckArchive(const char* archivePath, int mode);

// Opens an archive for UnlhaFindFirst/UnlhaFindNext. Zero when it cannot be
// opened or is not an LZH archive.
HARC UnlhaOpenArchive(HWND owner, const char* archivePath, std::uint32_t mode);

// 0 and the record filled when a member matches `pattern` ("*.*", or a member
// name compared without regard to ASCII case); -1 when none does.
int UnlhaFindFirst(HARC archive, const char* pattern, INDIVIDUALINFO* info);
// 0 and the record filled for the next member matching the pattern; -1 at the end.
int UnlhaFindNext(HARC archive, INDIVIDUALINFO* info);
int UnlhaCloseArchive(HARC archive);

// Runs one command, "x -jf0 archive destination member" (arguments quoted when
// they hold blanks, or "@responsefile"). 0 on success; the output buffer gets
// a short report.
int Unlha(HWND owner, const char* commandLine, char* output, std::uint32_t outputSize);

}
