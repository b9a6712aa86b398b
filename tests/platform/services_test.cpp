// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random.h"
#include "platform/services.h"

#include "recording_services.h"

#include <gtest/gtest.h>
#include <optional>
#include <set>

namespace kor::platform {
namespace {

TEST(Services, HeadlessFaceWritesToStandardErrorAndAnswersNo) {
    const std::unique_ptr<Services> headless = makeHeadlessServices();
    ::testing::internal::CaptureStderr();

    headless->showMessage("KOR", "ロゴを変更しました");
    const Answer answer = headless->ask("上書きしますか？");
    headless->beep();
    const FolderOpening opened = headless->openFolder("C:\\WINDOWS");

    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, Answer::No);
    EXPECT_EQ(opened, FolderOpening::NoFileManager);
    EXPECT_TRUE(written.starts_with("KOR: ロゴを変更しました\n")) << written;
    EXPECT_NE(written.find("上書きしますか？"), std::string::npos);
    EXPECT_NE(written.find('\a'), std::string::npos);
    EXPECT_NE(written.find("C:\\WINDOWS"), std::string::npos);
}

TEST(Services, HeadlessFaceShowsControlCharactersEscaped) {
    const std::unique_ptr<Services> headless = makeHeadlessServices();
    ::testing::internal::CaptureStderr();

    headless->showMessage("KOR", "C:\\ARC\\\x1B]0;owned\a.LZH\nこのﾌｧｲﾙを開けません。");
    headless->ask("\x1B[2J上書きしますか？");
    headless->openFolder("C:\\\x1B[31m");

    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(written.find('\x1B'), std::string::npos) << written;
    EXPECT_TRUE(
        written.starts_with("KOR: C:\\ARC\\\\x1B]0;owned\\x07.LZH\nこのﾌｧｲﾙを開けません。\n"))
        << written;
    EXPECT_NE(written.find("\\x1B[2J上書き"), std::string::npos) << written;
    EXPECT_NE(written.find("C:\\\\x1B[31m"), std::string::npos) << written;
}

TEST(Services, HeadlessEndProgramExitsWithTheStatus) {
    EXPECT_EXIT(makeHeadlessServices()->endProgram(3), ::testing::ExitedWithCode(3), "");
}

TEST(Services, EndProgramEndsThroughTheInstalledServices) {
    {
        testing::RecordingScope scope;
        std::optional<int> status;
        try {
            endProgram(2);
        } catch (const testing::ProgramEnded& ended) {
            status = ended.exitStatus;
        }
        EXPECT_EQ(status, 2);
    }
    EXPECT_EXIT(endProgram(4), ::testing::ExitedWithCode(4), "");
}

TEST(Services, RecordingScopeInstallsAndRestores) {
    Services* before = &services();
    {
        testing::RecordingScope scope;
        scope.recorder().answers = {Answer::No};

        services().showMessage("korsetup", "text");
        EXPECT_EQ(services().ask("first?"), Answer::No);
        EXPECT_EQ(services().ask("second?"), Answer::Yes);
        services().beep();
        EXPECT_EQ(services().openFolder("C:\\"), FolderOpening::Opened);
        EXPECT_THROW(services().endProgram(1), testing::ProgramEnded);

        const testing::RecordingServices& recorder = scope.recorder();
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].caption, "korsetup");
        EXPECT_EQ(recorder.questions, (std::vector<std::string>{"first?", "second?"}));
        EXPECT_EQ(recorder.beeps, 1);
        EXPECT_EQ(recorder.openedFolders, std::vector<std::string>{"C:\\"});
    }
    EXPECT_EQ(&services(), before);
}

TEST(Random, DrawsLieInTheUnitIntervalAndVary) {
    seedRandomFromClock();
    std::set<double> draws;
    for (int i = 0; i < 1000; ++i) {
        const double draw = nextRandom();
        ASSERT_GE(draw, 0.0);
        ASSERT_LT(draw, 1.0);
        draws.insert(draw);
    }
    EXPECT_GT(draws.size(), 990u);
}

TEST(Random, ReseedingChangesTheSequence) {
    seedRandomFromClock();
    const double first = nextRandom();
    seedRandomFromClock();
    EXPECT_NE(nextRandom(), first);
}

} // namespace
} // namespace kor::platform
