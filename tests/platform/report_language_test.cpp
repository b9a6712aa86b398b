// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskimage/disk_layout.h"
#include "language/translation.h"
#include "platform/files.h"
#include "platform/result.h"
#include "session_locale.h"
#include "temporary_machine.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace kor::platform {
namespace {

// A report as the user reads it: the Japanese of a Japanese session, exactly
// as it always was, and the same report in English under any other locale,
// with the paths and names it carries untouched. {1} in an expectation stands
// for the host path of the machine's C:\OLD.IMG.
TEST(ReportLanguage, EachErrorIsToldInTheSessionsLanguage) {
    const kor::testing::TemporaryMachine machine;
    // The header of a qcow image of version 1, which nothing works on.
    machine.writeFile("C:\\OLD.IMG", std::string("QFI\xfb\0\0\0\x01", 8) + std::string(504, '\0'));
    const std::string image = machine.host("C:\\OLD.IMG").string();
    const auto busy = [] {
        return Error(Operation::Write, "C:\\WINDOWS\\~KOR1.TMP", EBUSY, "the disk image is in use")
            .withLeadingReason(language::fill(
                language::translate("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} は {2} が使用中です。"
                                                 "ｴﾐｭﾚｰﾀを終了してから、もう一度実行してください"),
                {"/vm/w95.img", "qemu (PID 7)"}));
    };
    struct Case {
        const char* kind;
        std::function<Error()> error;
        const char* japanese;
        const char* english;
    };
    const Case cases[] = {
        {"an errno's phrase",
         [] { return Error(Operation::Delete, "C:\\WINDOWS\\LOGOW.SYS", EACCES); },
         "C:\\WINDOWS\\LOGOW.SYS\nこのﾌｧｲﾙを削除できません。アクセスが拒否されました。",
         "C:\\WINDOWS\\LOGOW.SYS\nCannot delete this file. Access denied."},
        {"a failure of the machine", [] { return readFile("C:\\NONE.SYS").error(); },
         "C:\\NONE.SYS\nこのﾌｧｲﾙを読み込めません。ファイルが見つかりません。",
         "C:\\NONE.SYS\nCannot read this file. File not found."},
        {"an errno without a phrase, between two files",
         [] { return Error(Operation::Copy, "D:\\PICS\\A.BMP", "C:\\logo.sys", EOVERFLOW); },
         "D:\\PICS\\A.BMP → C:\\logo.sys\nこのﾌｧｲﾙをｺﾋﾟｰできません。エラーが発生しました (errno "
         "75: value too large for defined data type)。",
         "D:\\PICS\\A.BMP → C:\\logo.sys\nCannot copy this file. An error occurred (errno 75: "
         "value too large for defined data type)."},
        {"a leading reason with names in it", busy,
         "ﾃﾞｨｽｸｲﾒｰｼﾞ /vm/w95.img は qemu (PID 7) が使用中です。ｴﾐｭﾚｰﾀを終了してから、もう一度"
         "実行してください。\nC:\\WINDOWS\\~KOR1.TMP\nこのﾌｧｲﾙに書き込めません。",
         "The disk image /vm/w95.img is in use by qemu (PID 7). Quit the emulator, then try "
         "again.\nC:\\WINDOWS\\~KOR1.TMP\nCannot write to this file."},
        {"a retold failure",
         [&] { return busy().retold(Operation::Copy, "C:\\A.BMP", "C:\\logo.sys"); },
         "ﾃﾞｨｽｸｲﾒｰｼﾞ /vm/w95.img は qemu (PID 7) が使用中です。ｴﾐｭﾚｰﾀを終了してから、もう一度"
         "実行してください。\nC:\\A.BMP → C:\\logo.sys\nこのﾌｧｲﾙをｺﾋﾟｰできません。",
         "The disk image /vm/w95.img is in use by qemu (PID 7). Quit the emulator, then try "
         "again.\nC:\\A.BMP → C:\\logo.sys\nCannot copy this file."},
        {"a disk image refused", [&] { return diskimage::readDiskLayout(image).error(); },
         "{1}\nこのﾄﾞﾗｲﾌﾞのﾃﾞｨｽｸｲﾒｰｼﾞを使えません。qcow 形式のｲﾒｰｼﾞは使えません。raw "
         "形式に変換してください: qemu-img convert -O raw {1} disk.img。",
         "{1}\nCannot use the disk image of this drive. This image is in qcow format, which "
         "cannot be used. Convert it to a raw image: qemu-img convert -O raw {1} disk.img."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        {
            const kor::testing::SessionLocale japanese(nullptr, "ja_JP.UTF-8", "C.UTF-8");
            EXPECT_EQ(c.error().message(), language::fill(c.japanese, {image}));
        }
        const kor::testing::SessionLocale english(nullptr, nullptr, "C.UTF-8");
        EXPECT_EQ(c.error().message(), language::fill(c.english, {image}));
    }
}

} // namespace
} // namespace kor::platform
