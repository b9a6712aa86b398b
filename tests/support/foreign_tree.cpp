// SPDX-License-Identifier: GPL-3.0-or-later
#include "foreign_tree.h"

#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

void writeHostFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void giveAway(const fs::path& path) {
    if (::lchown(path.c_str(), ForeignUser, ForeignUser) != 0)
        throw std::runtime_error("cannot give " + path.string() + " to another user");
}

void foreignLink(const fs::path& target, const fs::path& link) {
    fs::create_symlink(target, link);
    giveAway(link);
}

} // namespace

ForeignTree makeForeignTree(const TemporaryMachine& machine) {
    ForeignTree tree;
    const fs::path drive = machine.root() / "c";
    const fs::path rootOnly = machine.root() / "private";
    tree.secretFile = rootOnly / "SECRET.BMP";
    tree.secret = withBitmapStart(std::string(129078, 'S'));
    writeHostFile(tree.secretFile, tree.secret);
    writeHostFile(rootOnly / "A.BMP", tree.secret);
    tree.picture = withBitmapStart(std::string(129078, 'P'));
    writeHostFile(drive / "PICS" / "PIC.BMP", tree.picture);
    tree.own = withBitmapStart(std::string(129078, 'O'));
    const fs::path elsewhere = machine.root() / "elsewhere";
    writeHostFile(elsewhere / "MINE.BMP", tree.own);
    giveAway(elsewhere);
    giveAway(elsewhere / "MINE.BMP");
    for (const auto& entry : fs::recursive_directory_iterator(drive))
        giveAway(entry.path());
    giveAway(drive);
    foreignLink(tree.secretFile, drive / "PICS" / "EVIL.BMP");
    foreignLink(rootOnly, drive / "ETC");
    foreignLink("HOP.BMP", drive / "PICS" / "CHAIN.BMP");
    foreignLink(tree.secretFile, drive / "PICS" / "HOP.BMP");
    foreignLink(elsewhere / "MINE.BMP", drive / "PICS" / "MINE.BMP");
    return tree;
}

} // namespace kor::testing
