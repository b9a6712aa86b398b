// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator_configuration.h"

#include "language/translation.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

// The emulators whose machines are XML files: VirtualBox and libvirt.
namespace kor::machines {
namespace {

namespace fs = std::filesystem;
using platform::Result;

struct XmlDocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using XmlDocument = std::unique_ptr<xmlDoc, XmlDocumentFree>;

// Parses untrusted XML without reaching the network, loading a DTD or
// substituting entities; a document that declares a DTD at all is refused,
// as neither emulator writes one.
Result<XmlDocument> parseXml(const fs::path& file, const std::string& text) {
    if (text.find("<!DOCTYPE") != std::string::npos)
        return configurationRefusal(
            file, EINVAL, "it declares a DTD, which no emulator writes",
            language::translate("machines", "ｴﾐｭﾚｰﾀの書かない DTD が宣言されています"));
    XmlDocument document(xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                       XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!document || !xmlDocGetRootElement(document.get()))
        return configurationRefusal(
            file, EINVAL, "it is not well-formed XML",
            language::translate("machines", "XML の形式が正しくありません"));
    return document;
}

bool named(const xmlNode* node, std::string_view name) {
    return node->type == XML_ELEMENT_NODE &&
           std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

std::vector<xmlNode*> children(const xmlNode* parent, std::string_view name) {
    std::vector<xmlNode*> found;
    for (xmlNode* child = parent ? parent->children : nullptr; child; child = child->next)
        if (named(child, name))
            found.push_back(child);
    return found;
}

xmlNode* child(const xmlNode* parent, std::string_view name) {
    const std::vector<xmlNode*> found = children(parent, name);
    return found.empty() ? nullptr : found.front();
}

std::optional<std::string> attribute(const xmlNode* node, const char* name) {
    if (!node)
        return std::nullopt;
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return std::nullopt;
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::string content(const xmlNode* node) {
    xmlChar* value = node ? xmlNodeGetContent(node) : nullptr;
    if (!value)
        return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

// A decimal number, or `fallback` when `text` is none.
unsigned number(const std::optional<std::string>& text, unsigned fallback) {
    if (!text || text->empty() || text->size() > 9 ||
        !std::all_of(text->begin(), text->end(), [](char c) { return c >= '0' && c <= '9'; }))
        return fallback;
    return static_cast<unsigned>(std::stoul(*text));
}

// A hard disk of a VirtualBox media registry; a nested one is a
// differencing image, made when a snapshot was taken, that holds only what
// changed since and reads everything else through its parent.
struct VirtualBoxMedium {
    std::string location;
    std::string base; // the location of the image it differs from, at the root
    bool differencing = false;
};

void registerMedia(const xmlNode* parent, const std::string& base, bool differencing,
                   std::map<std::string, VirtualBoxMedium>& media) {
    for (const xmlNode* disk : children(parent, "HardDisk")) {
        const std::string location = attribute(disk, "location").value_or("");
        const std::string root = differencing ? base : location;
        media[lowered(attribute(disk, "uuid").value_or(""))] = {location, root, differencing};
        registerMedia(disk, root, true, media);
    }
}

} // namespace

// VirtualBox: the machine settings file as its schema describes it,
// src/VBox/Main/xml/VirtualBox-settings.xsd, and the user manual's chapter
// on virtual storage (www.virtualbox.org/manual). <Machine name=..> holds
// <MediaRegistry><HardDisks>, each <HardDisk uuid location> with its
// differencing children nested inside, and the current state's
// <StorageControllers> (within <Hardware> since settings 1.15, beside it
// before; each <Snapshot> has its own, which are not the machine's now).
// Each <AttachedDevice type="HardDisk" port device> names its <Image uuid>.
// Locations are relative to the machine's folder.
Result<EmulatorMachine> readVirtualBoxMachine(const fs::path& file, const std::string& text) {
    const XmlDocument document = KOR_TRY(parseXml(file, text));
    const xmlNode* root = xmlDocGetRootElement(document.get());
    const xmlNode* machineNode = named(root, "VirtualBox") ? child(root, "Machine") : nullptr;
    if (!machineNode)
        return configurationRefusal(
            file, EINVAL, "it holds no VirtualBox <Machine>",
            language::translate("machines", "VirtualBox のﾏｼﾝ (<Machine>) がありません"));
    std::map<std::string, VirtualBoxMedium> media;
    registerMedia(child(child(machineNode, "MediaRegistry"), "HardDisks"), {}, false, media);
    const xmlNode* controllers = child(child(machineNode, "Hardware"), "StorageControllers");
    if (!controllers)
        controllers = child(machineNode, "StorageControllers");
    struct Attachment {
        std::size_t controller;
        unsigned port;
        unsigned device;
        std::string key;
        std::string uuid;
    };
    std::vector<Attachment> attachments;
    const std::vector<xmlNode*> controllerNodes = children(controllers, "StorageController");
    for (std::size_t index = 0; index < controllerNodes.size(); ++index) {
        const std::string controllerName = attribute(controllerNodes[index], "name").value_or("");
        for (const xmlNode* device : children(controllerNodes[index], "AttachedDevice")) {
            const std::optional<std::string> uuid = attribute(child(device, "Image"), "uuid");
            if (attribute(device, "type") != "HardDisk" || !uuid)
                continue;
            const unsigned port = number(attribute(device, "port"), 0);
            const unsigned slot = number(attribute(device, "device"), 0);
            attachments.push_back({index, port, slot,
                                   controllerName + " port " + std::to_string(port) + " device " +
                                       std::to_string(slot),
                                   lowered(*uuid)});
        }
    }
    std::stable_sort(attachments.begin(), attachments.end(),
                     [](const Attachment& a, const Attachment& b) {
                         return std::tie(a.controller, a.port, a.device) <
                                std::tie(b.controller, b.port, b.device);
                     });
    EmulatorMachine machine{
        attribute(machineNode, "name").value_or(""), Emulator::VirtualBox, file, {}};
    if (machine.name.empty())
        machine.name = file.stem().string();
    for (const Attachment& attachment : attachments) {
        const auto medium = media.find(attachment.uuid);
        if (medium == media.end())
            return configurationRefusal(
                file, ENOENT,
                attachment.key + " attaches the image " + attachment.uuid +
                    ", which the machine's media registry does not hold",
                language::fill(language::translate(
                                   "machines", "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} がﾏｼﾝのﾒﾃﾞｨｱ一覧にありません"),
                               {attachment.key, attachment.uuid}));
        if (medium->second.differencing)
            return configurationRefusal(
                file, ENOTSUP,
                attachment.key + " attaches " + medium->second.location +
                    ", a VirtualBox differencing image of a snapshot, which holds only the "
                    "changes since the snapshot and cannot be changed in place; delete the "
                    "machine's snapshots or merge them into " +
                    medium->second.base + ", or attach the base image itself",
                language::fill(
                    language::translate("machines",
                                        "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} はｽﾅｯﾌﾟｼｮｯﾄの差分ｲﾒｰｼﾞ (VirtualBox) "
                                        "なので変更できません。ｽﾅｯﾌﾟｼｮｯﾄを削除または統合するか、ﾍﾞｰ"
                                        "ｽｲﾒｰｼﾞ {3} をつないでください"),
                    {attachment.key, medium->second.location, medium->second.base}));
        machine.disks.push_back(KOR_TRY(namedDisk(file, attachment.key, medium->second.location)));
    }
    if (machine.disks.empty())
        return configurationRefusal(
            file, ENOENT, "it attaches no hard disk (<AttachedDevice type=\"HardDisk\">)",
            language::translate("machines", "ﾊｰﾄﾞﾃﾞｨｽｸがつながれていません"));
    return machine;
}

// QEMU through libvirt: the domain XML format, libvirt.org/formatdomain.html
// ("Hard drives, floppy disks, CDROMs"). <domain><name> and, in <devices>,
// each <disk type device> with <source file>, <target dev bus> and an
// optional <boot order>. The firmware numbers the disks with a boot order
// first, in that order; the others follow by their target's name (hda
// before hdb, sda before sdb).
Result<EmulatorMachine> readLibvirtMachine(const fs::path& file, const std::string& text) {
    const XmlDocument document = KOR_TRY(parseXml(file, text));
    const xmlNode* domain = xmlDocGetRootElement(document.get());
    if (!named(domain, "domain"))
        return configurationRefusal(
            file, EINVAL, "it is no libvirt domain (<domain>)",
            language::translate("machines", "libvirt のﾄﾞﾒｲﾝ (<domain>) ではありません"));
    struct Disk {
        unsigned bootOrder;
        std::string target;
        std::string key;
        std::string source;
    };
    std::vector<Disk> disks;
    for (const xmlNode* disk : children(child(domain, "devices"), "disk")) {
        if (attribute(disk, "device").value_or("disk") != "disk")
            continue;
        const std::string target = attribute(child(disk, "target"), "dev").value_or("");
        const std::string key = "disk " + target;
        const std::string type = attribute(disk, "type").value_or("file");
        if (type == "block")
            return configurationRefusal(
                file, ENOTSUP,
                key + " is the block device " +
                    attribute(child(disk, "source"), "dev").value_or("") +
                    "; only a disk image file can be opened as a machine's disk",
                language::fill(
                    language::translate("machines",
                                        "{1} はﾌﾞﾛｯｸﾃﾞﾊﾞｲｽです。ﾃﾞｨｽｸｲﾒｰｼﾞのﾌｧｲﾙしか使えません"),
                    {key}));
        if (type != "file")
            return configurationRefusal(
                file, ENOTSUP, key + " is a disk of type '" + type + "', not an image file",
                language::fill(
                    language::translate("machines", "{1} はﾃﾞｨｽｸｲﾒｰｼﾞのﾌｧｲﾙではありません ({2})"),
                    {key, type}));
        disks.push_back({number(attribute(child(disk, "boot"), "order"), UINT_MAX), target, key,
                         attribute(child(disk, "source"), "file").value_or("")});
    }
    std::stable_sort(disks.begin(), disks.end(), [](const Disk& a, const Disk& b) {
        return std::make_tuple(a.bootOrder, a.target.size(), a.target) <
               std::make_tuple(b.bootOrder, b.target.size(), b.target);
    });
    EmulatorMachine machine{content(child(domain, "name")), Emulator::Libvirt, file, {}};
    if (machine.name.empty())
        machine.name = file.stem().string();
    for (const Disk& disk : disks)
        machine.disks.push_back(KOR_TRY(namedDisk(file, disk.key, disk.source)));
    if (machine.disks.empty())
        return configurationRefusal(file, ENOENT,
                                    "it names no hard disk (<disk type='file' device='disk'>)",
                                    language::translate("machines", "ﾊｰﾄﾞﾃﾞｨｽｸが書かれていません"));
    return machine;
}

} // namespace kor::machines
