// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo_problem_text.h"

#include "language/translation.h"

#include <array>

namespace kor::core {
namespace {

struct ProblemText {
    LogoProblem problem;
    const char* japanese;
};

// {1}, {2} stand for the value found and the value the format needs.
constexpr ProblemText Texts[] = {
    {LogoProblem::NotABitmap, KOR_TRANSLATE_NOOP("core", "Windows のビットマップではありません。")},
    {LogoProblem::WrongWidth,
     KOR_TRANSLATE_NOOP("core", "幅が {1} ドットです ({2} ドットでなければなりません)。")},
    {LogoProblem::WrongHeight,
     KOR_TRANSLATE_NOOP("core", "高さが {1} ドットです ({2} ドットでなければなりません)。")},
    {LogoProblem::WrongDepth,
     KOR_TRANSLATE_NOOP("core", "1 ドットの色のビット数が {1} です ({2} でなければなりません)。")},
    {LogoProblem::Compressed, KOR_TRANSLATE_NOOP("core", "画像が圧縮されています (方式 {1})。")},
    {LogoProblem::WrongPaletteSize,
     KOR_TRANSLATE_NOOP("core", "パレットが {1} 色です ({2} 色でなければなりません)。")},
    {LogoProblem::WrongLength,
     KOR_TRANSLATE_NOOP("core",
                        "ファイルの大きさが {1} バイトです ({2} バイトでなければなりません)。")},
    {LogoProblem::TruncatedPixels,
     KOR_TRANSLATE_NOOP("core", "画像データが途中で切れています ({1} バイト不足)。")},
    {LogoProblem::WrongPixelOffset,
     KOR_TRANSLATE_NOOP(
         "core", "画像データの開始位置が {1} バイト目です ({2} バイト目でなければなりません)。")},
};

// The values a problem's sentence names, in the order of its marks; a
// sentence of one value leaves the second empty.
std::array<std::string, 2> valuesOf(LogoProblem problem, const LogoInspection& found,
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

std::string describeLogoProblems(const LogoInspection& found, LogoFormat format) {
    std::string reasons;
    for (const LogoProblem problem : found.problems) {
        const auto values = valuesOf(problem, found, layoutOf(format));
        std::string reason;
        for (const ProblemText& entry : Texts)
            if (entry.problem == problem)
                reason = language::fill(language::translate("core", entry.japanese),
                                        {values[0], values[1]});
        // Japanese sentences follow one another; English clauses take a "; ".
        reasons = reasons.empty()
                      ? reason
                      : language::fill(language::translate("core", "{1}{2}"), {reasons, reason});
    }
    return reasons;
}

} // namespace kor::core
