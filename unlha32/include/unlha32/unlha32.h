// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The archive library: checking, listing and extracting LZH archives through
// the six functions that archivers of the Windows 95 era offered. Texts are
// CP932 (Shift-JIS) Windows paths of the emulated machine; a relative path is
// taken against the machine's current drive and directory. Built as a shared
// library that the programs load by name at their first archive call.
//
// An archive is read once: its directory (every member's header) is kept
// while the file stays unchanged, so that listing an archive member by member,
// opening it for every member, costs no more than reading it once. Folders and
// symbolic links are not members; neither is a member whose name or size the
// record below cannot hold.

#include <cstddef>
#include <cstdint>

extern "C" {

using HWND = std::uintptr_t;
using HARC = std::uintptr_t;

// The member record the library fills: 558 bytes, little-endian, packed.
//
// wDate and wTime hold the MS-DOS stamp stored in a level 0 or 1 header as it
// is (even one that is no valid date); for level 2 and 3 headers, the Unix
// time they store, in local time, held within the years 1980 to 2107.
//
// szFileName holds the member path as the archiver stored it, in its bytes
// and its capitals, up to a zero byte: the folders (for level 1 to 3 headers
// the directory header first) joined by "\", where "/" and 0xFF separators are
// written as "\". A 0x5C that is the second byte of a double-byte character
// is not a separator.
#pragma pack(push, 1)
struct INDIVIDUALINFO {
    std::uint32_t dwOriginalSize;   // 0: unpacked size in bytes
    std::uint32_t dwCompressedSize; // 4: packed size in bytes
    std::uint32_t dwCRC;            // 8: CRC-16 of the member's data in the low half
    std::uint16_t uOSType;          // 12: the header's OS byte
    std::uint16_t uHeaderLevel;     // 14: LZH header level 0 to 3
    std::uint16_t wRatio;           // 16: packed size per mille of the unpacked size
    std::uint32_t dwReserved;       // 18: zero
    std::uint16_t wDate;            // 22: MS-DOS date: year-1980 << 9 | month << 5 | day
    std::uint16_t wTime;            // 24: MS-DOS time: hour << 11 | minute << 5 | second / 2
    char szFileName[513];           // 26: member path as stored, NUL-ended
    char szAttribute[8];            // 539: empty
    char szMode[8];                 // 547: compression method as stored, such as "-lh5-"
    char reserved[3];               // 555
};
#pragma pack(pop)
static_assert(sizeof(INDIVIDUALINFO) == 558);
static_assert(offsetof(INDIVIDUALINFO, wDate) == 22);
static_assert(offsetof(INDIVIDUALINFO, szFileName) == 26);

// Reads every header of the archive, whatever the mode. Non-zero for a valid
// archive: every header reads and the archive ends where its last member's
// data ends, at the ending zero byte or the end of the file (the zero byte
// alone is a valid archive without members). Zero for a missing file, a file
// that is no LZH archive, or a damaged or truncated one.
int UnlhaCheckArchive(const char* archivePath, int mode);

// Opens a valid archive (as UnlhaCheckArchive takes it) for UnlhaFindFirst
// and UnlhaFindNext; the owner and mode are not used. Zero when it cannot be.
// A handle is a number that is never given out twice.
HARC UnlhaOpenArchive(HWND owner, const char* archivePath, std::uint32_t mode);

// 0 and the record filled with the first member, in archive order, that
// matches `pattern`: a member path compared without regard to ASCII case ("/"
// and "\" alike), or Windows wildcards over the whole path ("*", "?"; "*.*"
// matches every member). -1 when none does or the handle is unknown.
int UnlhaFindFirst(HARC archive, const char* pattern, INDIVIDUALINFO* info);
// 0 and the record filled for the next member matching the pattern of the last
// UnlhaFindFirst; -1 at the end or for an unknown handle.
int UnlhaFindNext(HARC archive, INDIVIDUALINFO* info);
// 0, or -1 for an unknown handle.
int UnlhaCloseArchive(HARC archive);

// Runs one command; 0 on success, non-zero on failure. The output buffer gets
// a short report, cut to fit and always NUL-ended when outputSize is not 0:
// the files written, or why the command failed in two lines ended by CRLF,
// the English text ("cannot extract C:\TMP\A.BMP: CRC error") and the
// reason in the session's language ("CRC が一致しません。...", "The CRC does
// not match..."), neither holding a line break of its own.
//
// The command text: arguments separated by blanks (spaces and tabs). A
// double-quoted part may hold blanks and line breaks, and a quotation mark
// written twice (""); a quoted argument is never a switch. A command text that
// is one argument "@file" names a response file (a Windows path, or an
// absolute host path) that holds the command; an unquoted line break ends
// it, and nothing but blanks and line breaks may follow. The only command is
//
//     x -jf0 [-jl[=LENGTH]] archive destination\ member...
//
// (command and switches without regard to case): extract the members into the
// destination folder, which must exist and be written with its final "\".
// A member is a member path or a wildcard pattern, as for UnlhaFindFirst;
// with -jl it is a stored name exactly, byte for byte, "*" and "?" included,
// and names only the first member of that name (with =LENGTH, of that name
// and length), never another. -jf0 leaves the member's folders out: member
// "SUB\A.BMP" is written as destination + "A.BMP", and so is "..\..\A.BMP":
// only the last part is ever written.
//
// The command writes every file or none. It fails, writing nothing, when:
// - a member matches no member;
// - a member's last part is empty, ".", ".." or not a valid Windows file name
//   (control characters, < > : " | ? *);
// - two members would be written under the same name;
// - a file (or folder) of that name exists in the destination, in any case of
//   its letters: no file is ever replaced;
// - a member's method is not one of the LZH methods (-lh0- to -lh7-, -lhx-,
//   -lzs-, -lz4-, -lz5-) or has no decoder, its data decode to more than its
//   header declares, or its length or CRC-16 is wrong.
// Each member is decoded into a temporary file in the destination folder and
// renamed into place only when all of them are sound.
//
// Returns 0 when the command succeeded, 2 when it failed at writing into the
// destination (a full disk, a folder that takes no file), and 1 when it failed
// for any other reason.
int Unlha(HWND owner, const char* commandLine, char* output, std::uint32_t outputSize);
}
