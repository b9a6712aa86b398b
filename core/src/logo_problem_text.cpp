// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo_problem_text.h"

#include "language/translation.h"

#include <vector>

namespace kor::core {
namespace {

struct ProblemText {
    LogoProblem problem;
    const char* english;
    const char* japanese;
};

// {1}, {2} stand for the value found and the value the format needs.
constexpr ProblemText Texts[] = {
    {LogoProblem::NotABitmap, "not a Windows bitmap", "Windows のビットマップではありません。"},
    {LogoProblem::WrongWidth, "the width is {1}, not {2}",
     "幅が {1} ドットです ({2} ドットでなければなりません)。"},
    {LogoProblem::WrongHeight, "the height is {1}, not {2}",
     "高さが {1} ドットです ({2} ドットでなければなりません)。"},
    {LogoProblem::WrongDepth, "the colour depth is {1} bits, not {2}",
     "1 ドットの色のビット数が {1} です ({2} でなければなりません)。"},
    {LogoProblem::Compressed, "the pixels are compressed (method {1})",
     "画像が圧縮されています (方式 {1})。"},
    {LogoProblem::WrongPaletteSize, "the palette has {1} entries, not {2}",
     "パレットが {1} 色です ({2} 色でなければなりません)。"},
    {LogoProblem::WrongLength, "the file is {1} bytes long, not {2}",
     "ファイルの大きさが {1} バイトです ({2} バイトでなければなりません)。"},
    {LogoProblem::TruncatedPixels, "the pixels end {1} bytes past the end of the file",
     "画像データが途中で切れています ({1} バイト不足)。"},
    {LogoProblem::WrongPixelOffset, "the pixels start at byte {1}, not {2}",
     "画像データの開始位置が {1} バイト目です ({2} バイト目でなければなりません)。"},
};

// The values a problem's sentence names, in the order of its marks.
std::vector<std::string> valuesOf(LogoProblem problem, const LogoInspection& found,
                                  const LogoLayout& layout) {
    using std::to_string;
    switch (problem) {
    case LogoProblem::NotABitmap:
        return {};
    case LogoProblem::WrongWidth:
        return {to_string(found.width), to_string(layout.width)};
    case LogoProblem::WrongHeight:
        return {to_string(found.height), to_string(layout.height)};
    case LogoProblem::WrongDepth:
        return {to_string(found.bitsPerPixel), to_string(layout.bitsPerPixel)};
    case LogoProblem::Compressed:
        return {to_string(found.compression)};
    case LogoProblem::WrongPaletteSize:
        return {to_string(found.coloursUsed), to_string(layout.paletteEntries)};
    case LogoProblem::WrongLength:
        return {to_string(found.length), to_string(layout.length)};
    case LogoProblem::TruncatedPixels:
        return {to_string(found.pixelEnd - found.length)};
    case LogoProblem::WrongPixelOffset:
        return {to_string(found.pixelOffset), to_string(layout.pixelOffset)};
    }
    return {};
}

} // namespace

std::string fillInValues(std::string_view text, const std::vector<std::string>& values) {
    return language::fill(text, values);
}

std::string describeLogoProblem(LogoProblem problem, const LogoInspection& found, LogoFormat format,
                                TextLanguage language) {
    std::string_view text;
    for (const ProblemText& entry : Texts)
        if (entry.problem == problem)
            text = language == TextLanguage::Japanese ? entry.japanese : entry.english;
    return fillInValues(text, valuesOf(problem, found, layoutOf(format)));
}

std::string describeLogoProblemsInJapanese(const LogoInspection& found, LogoFormat format) {
    std::string sentences;
    for (const LogoProblem problem : found.problems)
        sentences += describeLogoProblem(problem, found, format, TextLanguage::Japanese);
    return sentences;
}

} // namespace kor::core
