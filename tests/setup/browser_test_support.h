// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logo_browser.h"
#include "lzh_writer.h"
#include "main_window.h"
#include "recording_services.h"
#include "window_test_support.h"

#include <QAction>
#include <QColor>
#include <QListWidget>
#include <QTest>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Helpers of the logo browser and image display tests: real bitmaps of a
// logo's length, and the main window with its browser open on a temporary
// machine.
namespace kor::testing {

inline constexpr std::string_view KorIni = "C:\\WINDOWS\\KOR.INI";

inline constexpr std::string_view NoFileSelected = "ファイルが選択されていません";
inline constexpr std::string_view WrongSize = "ファイルサイズが違うのでロゴには使用できません";
inline constexpr std::string_view Changed = "変更が終了しました";
inline constexpr std::string_view CannotLoad = "画像を読み込めません";

// A Windows bitmap of 320 x 400 pixels with 256 colours, 129078 bytes as a
// logo must be (file header 14, information header 40, palette 1024, pixels
// 128000), each quarter in one colour: top left, top right, bottom left,
// bottom right.
inline std::string logoBitmap(const std::array<QColor, 4>& quarters) {
    constexpr std::uint32_t Width = 320;
    constexpr std::uint32_t Height = 400;
    constexpr std::uint32_t PixelOffset = 14 + 40 + 1024;
    std::string bytes;
    auto put = [&bytes](std::uint32_t value, int width) {
        for (int byte = 0; byte < width; ++byte)
            bytes += static_cast<char>(value >> (8 * byte) & 0xFF);
    };
    bytes += "BM";
    put(PixelOffset + Width * Height, 4);
    put(0, 4);
    put(PixelOffset, 4);
    put(40, 4);
    put(Width, 4);
    put(Height, 4);
    put(1, 2);
    put(8, 2);
    put(0, 4); // uncompressed
    put(Width * Height, 4);
    put(2835, 4); // 72 dots per inch
    put(2835, 4);
    put(256, 4);
    put(0, 4);
    for (int index = 0; index < 256; ++index) {
        const QColor colour = index < 4 ? quarters[static_cast<std::size_t>(index)] : Qt::black;
        put(static_cast<std::uint32_t>(colour.blue()), 1);
        put(static_cast<std::uint32_t>(colour.green()), 1);
        put(static_cast<std::uint32_t>(colour.red()), 1);
        put(0, 1);
    }
    // Rows go from the bottom up.
    for (std::uint32_t row = 0; row < Height; ++row) {
        const bool top = Height - 1 - row < Height / 2;
        for (std::uint32_t x = 0; x < Width; ++x)
            bytes += static_cast<char>((top ? 0 : 2) + (x < Width / 2 ? 0 : 1));
    }
    return bytes;
}

inline const std::array<QColor, 4> Quarters = {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue),
                                               QColor(Qt::white)};

// 129078 bytes that no picture reader takes for a picture.
inline std::string notABitmap() {
    std::string bytes;
    while (bytes.size() < 129078)
        bytes += "not a picture ";
    bytes.resize(129078);
    return bytes;
}

// The main window on a fresh machine whose KOR.INI holds `ini`, shown, with
// the logo browser open through its menu item.
struct OpenBrowser {
    explicit OpenBrowser(const QStringList& ini,
                         const std::function<void(TemporaryMachine&)>& files) {
        machine.writeFile(KorIni, koriniText(ini));
        files(machine);
        window = std::make_unique<setup::MainWindow>();
        window->show();
        static_cast<void>(QTest::qWaitForWindowExposed(window.get()));
        menu("openBrowserAction");
        browser = liveWindow<setup::LogoBrowser>(*window);
    }

    void menu(const char* item) {
        window->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    }

    // Opens a directory as a double click in the directory list would.
    void open(std::string_view path) { static_cast<void>(browser->folderList->setPath(path)); }

    // Selects a file as a click does; false when it is not listed.
    bool pickFile(const QString& name) {
        const QList<QListWidgetItem*> found = browser->fileList->findItems(name, Qt::MatchExactly);
        if (found.isEmpty())
            return false;
        browser->fileList->setCurrentItem(found.front());
        return true;
    }

    // Clicks the member row `row` of the member list.
    void clickMember(int row) {
        setup::ReportListView* list = browser->memberList;
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    std::vector<std::string> messages() {
        std::vector<std::string> texts;
        for (const auto& message : recording.recorder().messages)
            texts.push_back(message.text);
        return texts;
    }

    TemporaryMachine machine;
    RecordingScope recording;
    std::unique_ptr<setup::MainWindow> window;
    setup::LogoBrowser* browser = nullptr;
};

} // namespace kor::testing
