#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The part of Rich Text Format that the diary reads and writes, shared by the
// reader, the writer and their mapping onto the editor's formats.
//
// Units: sizes in half-points (\fs20 = 10 pt); indents and paragraph spacing
// in twips (1/1440 inch). Colours are plain RGB; "automatic" (colour table
// entry 0, or no colour word) is std::nullopt.

namespace tl::rtf {

// RTF's default size when a stream names none: 12 pt.
inline constexpr int kDefaultHalfPoints = 24;

// Parameters are clamped into these ranges so that absurd values cannot
// reach the layout. 3276 half-points is the largest size RTF writers emit
// (1638 pt); 31680 twips is 22 inches, wider than any page.
inline constexpr int kMinHalfPoints = 1;
inline constexpr int kMaxHalfPoints = 3276;
inline constexpr int kMaxTwips = 31680;

// The editor lays text out in pixels of a 96 dpi screen: 1440 / 96 twips each.
inline constexpr double kTwipsPerPixel = 15.0;

// What the writer declares: \ansicpg932, and \fcharset128 for fonts whose
// text carries code page 932 fallback bytes.
inline constexpr int kWriterCodePage = 932;
inline constexpr int kWriterCharset = 128;

struct RtfColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const RtfColor&) const = default;
};

enum class RtfAlignment { Left, Center, Right, Justify };

// Raised or lowered text (\super, \sub, \up, \dn).
enum class RtfVertical : std::uint8_t { Baseline, Super, Sub };

// Paragraph properties (\pard resets them to these values).
struct RtfParaFormat {
    RtfAlignment alignment = RtfAlignment::Left;
    int leftIndent = 0;   // \li, twips
    int rightIndent = 0;  // \ri
    int firstIndent = 0;  // \fi, relative to leftIndent; negative for a hanging line
    int spaceBefore = 0;  // \sb
    int spaceAfter = 0;   // \sa
    bool operator==(const RtfParaFormat&) const = default;
};

// Character properties (\plain resets them to these values). The face is a
// view that lives only as long as the call it is passed to.
struct RtfCharFormat {
    std::u16string_view face;  // empty: the stream names no font
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    RtfVertical vertical = RtfVertical::Baseline;
    std::optional<RtfColor> foreground;
    std::optional<RtfColor> background;
    bool operator==(const RtfCharFormat&) const = default;
};

}  // namespace tl::rtf
