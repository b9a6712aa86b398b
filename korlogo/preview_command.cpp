// SPDX-License-Identifier: GPL-3.0-or-later
// korlogo preview: a logo as the machine shows it while it starts, its colours
// cycling, in a window or as a PNG of its first frame.

#include "commands.h"
#include "logo_files.h"

#include "core/logo.h"
#include "core/logo_conversion.h"
#include "core/logo_format.h"
#include "core/logo_problem_text.h"

#include "platform/services.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace kor::korlogo {
namespace {

using core::DecodedLogo;
using core::LogoFormat;
using core::LogoPalette;
using core::ScreenShape;

// The border of entry 0's colour around the screen, on each side, in the
// window as it opens and in a saved picture, so that the PNG is what the
// window first shows.
constexpr int BorderPixels = 32;

QSize withBorder(QSize screen) {
    return screen + QSize(2 * BorderPixels, 2 * BorderPixels);
}

QList<QRgb> colourTable(const LogoPalette& palette) {
    QList<QRgb> table;
    table.reserve(static_cast<qsizetype>(palette.size()));
    for (const core::RgbQuad& entry : palette)
        table.push_back(qRgb(entry.red, entry.green, entry.blue));
    return table;
}

// The boot screen of `shape` as indices into the palette: a Windows 95 logo
// stretched to twice its width, a PC-98 logo as it is, and on a 4:3 screen
// each row 1.2 rows tall (one row in five shown twice). Built once; a step
// of the animation only replaces the colour table.
QImage screenOf(const DecodedLogo& logo, ScreenShape shape) {
    const core::ScreenSize size = core::screenSizeOf(shape);
    QImage screen(size.width, size.height, QImage::Format_Indexed8);
    // Each screen pixel shows the logo pixel under its centre.
    const auto under = [](int at, int logoLength, int screenLength) {
        return (2 * at + 1) * logoLength / (2 * screenLength);
    };
    for (int y = 0; y < size.height; ++y) {
        uchar* line = screen.scanLine(y);
        const int row = under(y, logo.height, size.height);
        for (int x = 0; x < size.width; ++x)
            line[x] = logo.pixelAt(under(x, logo.width, size.width), row);
    }
    screen.setColorTable(colourTable(logo.palette));
    return screen;
}

// The screen centred on the border colour, as the window paints it.
void paintScreen(QPainter& painter, const QRect& area, const QImage& screen) {
    painter.fillRect(area, QColor::fromRgb(screen.color(0)));
    painter.drawImage(
        QPoint((area.width() - screen.width()) / 2, (area.height() - screen.height()) / 2), screen);
}

class PreviewWindow final : public QWidget {
  public:
    PreviewWindow(const DecodedLogo& logo, ScreenShape shape, int interval, const QString& title)
        : m_palette(logo.palette), m_animation(logo.animation), m_screen(screenOf(logo, shape)) {
        setWindowTitle(title);
        setMinimumSize(m_screen.size());
        resize(withBorder(m_screen.size()));
        if (m_animation) {
            connect(&m_timer, &QTimer::timeout, this, &PreviewWindow::step);
            m_timer.start(interval);
        }
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintScreen(painter, rect(), m_screen);
    }

    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape)
            close();
        else
            QWidget::keyPressEvent(event);
    }

  private:
    void step() {
        m_palette = core::stepPaletteAnimation(m_palette, *m_animation);
        m_screen.setColorTable(colourTable(m_palette));
        update();
    }

    LogoPalette m_palette;
    std::optional<core::AnimationRange> m_animation;
    QImage m_screen;
    QTimer m_timer;
};

int saveFirstFrame(const Messages& messages, const DecodedLogo& logo, ScreenShape shape,
                   const std::string& path) {
    const QImage screen = screenOf(logo, shape);
    QImage picture(withBorder(screen.size()), QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        paintScreen(painter, picture.rect(), screen);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    const int error =
        writer.write(picture)
            ? writeOutput(path, {reinterpret_cast<const std::uint8_t*>(png.constData()),
                                 static_cast<std::size_t>(png.size())})
            : EIO;
    if (error == 0)
        return 0;
    if (error == OutputIsSpecial) {
        std::fprintf(stderr, "%s\n", messages.text(Message::OutputNotAFile, {path}).c_str());
        return 1;
    }
    const std::string name =
        path == StandardOutputName ? messages.text(Message::StandardOutput) : path;
    std::fprintf(stderr, "%s\n",
                 messages.text(Message::PreviewCannotSave, {name, messages.reason(error)}).c_str());
    return 1;
}

std::optional<int> intervalFrom(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 1 || value > 60000)
        return std::nullopt;
    return value;
}

} // namespace

int runPreview(const Messages& messages, std::span<const std::string> arguments) {
    LogoFormat format = LogoFormat::Windows95;
    ScreenShape shape = ScreenShape::FourByThree;
    int interval = core::LogoAnimationStepMilliseconds;
    std::optional<std::string> file;
    std::optional<std::string> savePath;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (optionsEnded || !argument.starts_with("-") || argument == "-") {
            if (file)
                return badUsage(messages);
            file = argument;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--pc98") {
            format = LogoFormat::Pc98;
        } else if (argument == "--square-pixels") {
            shape = ScreenShape::SquarePixels;
        } else if (argument == "--interval" && hasValue) {
            const std::optional<int> value = intervalFrom(arguments[++i]);
            if (!value)
                return badUsage(messages);
            interval = *value;
        } else if (argument == "--save" && hasValue) {
            savePath = arguments[++i];
        } else if (argument == "--help" || argument == "-h") {
            return help(messages, Message::HelpPreview);
        } else {
            return badUsage(messages);
        }
    }
    if (!file)
        return badUsage(messages);
    if (savePath && *savePath != StandardOutputName && isSpecialFile(*savePath)) {
        std::fprintf(stderr, "%s\n", messages.text(Message::OutputNotAFile, {*savePath}).c_str());
        return 1;
    }

    // The whole file, or enough of a longer one to say it is too long.
    const FileStart read = readFileStart(
        *file, std::max<std::size_t>(core::LogoHeadersLength, core::layoutOf(format).length));
    std::string refusal = reasonsNotShown(messages, read, format);
    const std::optional<DecodedLogo> logo =
        refusal.empty() ? core::decodeLogo(read.bytes, format) : std::nullopt;
    // A file that changed while it was read is judged by what was read.
    if (refusal.empty() && !logo)
        refusal = core::describeLogoProblems(
            core::inspectLogo(read.bytes, read.bytes.size(), format), format);
    if (!logo) {
        std::fprintf(
            stderr, "%s\n",
            messages
                .text(Message::NotShown, {*file, std::string(core::machineNameOf(format)), refusal})
                .c_str());
        return 1;
    }

    if (savePath)
        return saveFirstFrame(messages, *logo, shape, *savePath);
    // Without a display the toolkit would end the program with its own words.
    const char* platformName = std::getenv("QT_QPA_PLATFORM");
    if (!platform::windowsCanOpen(platformName ? platformName : "")) {
        std::fprintf(stderr, "%s\n", messages.text(Message::PreviewNoDisplay).c_str());
        return 1;
    }
    int argc = 1;
    char name[] = "korlogo";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    PreviewWindow window(*logo, shape, interval, QString::fromStdString(*file));
    window.show();
    return application.exec();
}

} // namespace kor::korlogo
