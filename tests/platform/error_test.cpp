// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/result.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace kor::platform {
namespace {

TEST(Error, TextNamesOperationPathAndReason) {
    EXPECT_EQ(Error(Operation::Rename, "C:\\WINDOWS\\A.BMP", "C:\\logo.sys", EACCES).text(),
              "cannot rename C:\\WINDOWS\\A.BMP to C:\\logo.sys: permission denied");
    EXPECT_EQ(Error(Operation::DecodeText, "", EILSEQ, "invalid byte sequence").text(),
              "cannot decode CP932 text: invalid byte sequence");
    EXPECT_EQ(Error(Operation::MeasureLength, "C:\\A.BMP", ENOENT).text(),
              "cannot get the length of C:\\A.BMP: no such file or directory");
}

TEST(Error, DetailReplacesTheGenericReasonOnly) {
    const Error error(Operation::Find, "Q:\\LOGO.LZH", ENODEV, "drive Q: is not mapped");

    EXPECT_EQ(error.operation(), Operation::Find);
    EXPECT_EQ(error.path(), "Q:\\LOGO.LZH");
    EXPECT_EQ(error.destination(), "");
    EXPECT_EQ(error.code(), ENODEV);
    EXPECT_EQ(error.reason(), "drive Q: is not mapped");
    EXPECT_EQ(Error(Operation::Find, "Q:\\LOGO.LZH", ENODEV).reason(), "no such device");
}

struct ReasonCase {
    int code;
    const char* japanese;
};

class JapaneseReason : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(JapaneseReason, ReadsAsWindows95Reports) {
    EXPECT_EQ(userReasonOf(GetParam().code), GetParam().japanese);
}

INSTANTIATE_TEST_SUITE_P(
    Error, JapaneseReason,
    ::testing::Values(ReasonCase{ENOENT, "ファイルが見つかりません"},
                      ReasonCase{ENOTDIR, "パスが見つかりません"},
                      ReasonCase{EACCES, "アクセスが拒否されました"},
                      ReasonCase{EPERM, "アクセスが拒否されました"},
                      ReasonCase{EROFS, "ディスクが書き込み禁止になっています"},
                      ReasonCase{ENOSPC, "ディスクの空き容量が不足しています"},
                      ReasonCase{EEXIST, "同じ名前のファイルが既にあります"},
                      ReasonCase{ENODEV, "ドライブが割り当てられていません"},
                      ReasonCase{EXDEV, "別のドライブです"}, ReasonCase{EISDIR, "フォルダです"},
                      ReasonCase{EILSEQ, "Shift-JIS で扱えない文字があります"},
                      ReasonCase{EIO, "ディスクの読み書きに失敗しました"},
                      ReasonCase{EOVERFLOW, "エラーが発生しました (errno 75: value too large for "
                                            "defined data type)"}));

TEST(Error, MessagePutsThePathAboveAJapaneseSentence) {
    EXPECT_EQ(Error(Operation::Delete, "C:\\WINDOWS\\logow.sys", EACCES).message(),
              "C:\\WINDOWS\\logow.sys\nこのﾌｧｲﾙを削除できません。アクセスが拒否されました。");
    EXPECT_EQ(Error(Operation::Copy, "D:\\PICS\\A.BMP", "C:\\logo.sys", ENOSPC).message(),
              "D:\\PICS\\A.BMP → C:\\logo.sys\n"
              "このﾌｧｲﾙをｺﾋﾟｰできません。ディスクの空き容量が不足しています。");
    EXPECT_EQ(Error(Operation::ChangeDrive, "Q:", ENODEV, "drive Q: is not mapped").message(),
              "Q:\nこのﾄﾞﾗｲﾌﾞに切り替えられません。ドライブが割り当てられていません。");
    EXPECT_EQ(Error(Operation::Read, "C:\\A\nKOR: B.BMP", EIO).message(),
              "C:\\A\\x0AKOR: B.BMP\nこのﾌｧｲﾙを読み込めません。ディスクの読み書きに失敗しました。")
        << "a line break in a path cannot start a line of its own";
    EXPECT_EQ(Error(Operation::EncodeText, "", EILSEQ).message(),
              "Shift-JIS の文字列に変換できません。Shift-JIS で扱えない文字があります。");
}

// A reason the user must act on comes before a path that only says where it
// was noticed, also once the failure is retold; the English text keeps its
// order.
TEST(Error, LeadingReasonComesBeforeThePath) {
    const Error busy =
        Error(Operation::Write, "C:\\WINDOWS\\~KOR1.TMP", EBUSY, "the disk image is in use")
            .withLeadingReason("ﾃﾞｨｽｸｲﾒｰｼﾞ /vm/w95.img は qemu (PID 7) が使用中です");
    EXPECT_EQ(busy.message(), "ﾃﾞｨｽｸｲﾒｰｼﾞ /vm/w95.img は qemu (PID 7) が使用中です。\n"
                              "C:\\WINDOWS\\~KOR1.TMP\nこのﾌｧｲﾙに書き込めません。");
    EXPECT_EQ(busy.retold(Operation::Copy, "C:\\A.BMP", "C:\\logo.sys").message(),
              "ﾃﾞｨｽｸｲﾒｰｼﾞ /vm/w95.img は qemu (PID 7) が使用中です。\n"
              "C:\\A.BMP → C:\\logo.sys\nこのﾌｧｲﾙをｺﾋﾟｰできません。");
    EXPECT_EQ(busy.text(), "cannot write C:\\WINDOWS\\~KOR1.TMP: the disk image is in use");
}

} // namespace
} // namespace kor::platform
