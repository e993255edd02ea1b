#include "diary/rtf_qt_format.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>
#include <cmath>

namespace tl::diary {

using rtf::kDefaultHalfPoints;
using rtf::kMaxHalfPoints;
using rtf::kMaxTwips;
using rtf::kMinHalfPoints;
using rtf::kTwipsPerPixel;
using rtf::RtfAlignment;
using rtf::RtfCharFormat;
using rtf::RtfColor;
using rtf::RtfParaFormat;

namespace {

qreal ToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

int ToTwips(qreal pixels, int low) {
    double twips = std::round(pixels * kTwipsPerPixel);
    if (!std::isfinite(twips)) return 0;
    return static_cast<int>(std::clamp<double>(twips, low, kMaxTwips));
}

QColor ToQColor(const RtfColor& color) {
    return QColor(color.red, color.green, color.blue);
}

// A brush the format sets to a visible colour; transparent means none.
std::optional<RtfColor> ColorOf(const QTextCharFormat& chars, QTextFormat::Property property) {
    if (!chars.hasProperty(property)) return std::nullopt;
    QBrush brush = chars.brushProperty(property);
    if (brush.style() == Qt::NoBrush || brush.color().alpha() == 0) return std::nullopt;
    QColor color = brush.color().toRgb();
    return RtfColor{static_cast<std::uint8_t>(color.red()),
                    static_cast<std::uint8_t>(color.green()),
                    static_cast<std::uint8_t>(color.blue())};
}

}  // namespace

QTextBlockFormat ToBlockFormat(const RtfParaFormat& para) {
    QTextBlockFormat block;
    switch (para.alignment) {
        case RtfAlignment::Left:
            block.setAlignment(Qt::AlignLeft);
            break;
        case RtfAlignment::Center:
            block.setAlignment(Qt::AlignHCenter);
            break;
        case RtfAlignment::Right:
            block.setAlignment(Qt::AlignRight);
            break;
        case RtfAlignment::Justify:
            block.setAlignment(Qt::AlignJustify);
            break;
    }
    // Text cannot start left of the editor's edge: negative margins are 0.
    block.setLeftMargin(ToPixels(std::max(para.leftIndent, 0)));
    block.setRightMargin(ToPixels(std::max(para.rightIndent, 0)));
    block.setTextIndent(ToPixels(para.firstIndent));
    block.setTopMargin(ToPixels(para.spaceBefore));
    block.setBottomMargin(ToPixels(para.spaceAfter));
    return block;
}

RtfParaFormat ToParaFormat(const QTextBlockFormat& block, qreal indentWidth) {
    RtfParaFormat para;
    Qt::Alignment horizontal = block.alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignHCenter) {
        para.alignment = RtfAlignment::Center;
    } else if (horizontal & Qt::AlignJustify) {
        para.alignment = RtfAlignment::Justify;
    } else if (horizontal & Qt::AlignRight) {
        para.alignment = RtfAlignment::Right;
    }
    para.leftIndent = ToTwips(block.leftMargin() + block.indent() * indentWidth, 0);
    para.rightIndent = ToTwips(block.rightMargin(), 0);
    para.firstIndent = ToTwips(block.textIndent(), -kMaxTwips);
    para.spaceBefore = ToTwips(block.topMargin(), 0);
    para.spaceAfter = ToTwips(block.bottomMargin(), 0);
    return para;
}

QTextCharFormat ToCharFormat(const RtfCharFormat& chars) {
    QTextCharFormat format;
    if (!chars.face.empty()) {
        format.setFontFamilies(
            {QString::fromUtf16(chars.face.data(), static_cast<qsizetype>(chars.face.size()))});
    }
    format.setFontPointSize(chars.halfPoints / 2.0);
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setFontUnderline(chars.underline);
    format.setFontStrikeOut(chars.strikeOut);
    switch (chars.vertical) {
        case rtf::RtfVertical::Baseline:
            format.setVerticalAlignment(QTextCharFormat::AlignNormal);
            break;
        case rtf::RtfVertical::Super:
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            break;
        case rtf::RtfVertical::Sub:
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
            break;
    }
    if (chars.foreground) format.setForeground(ToQColor(*chars.foreground));
    if (chars.background) format.setBackground(ToQColor(*chars.background));
    return format;
}

ResolvedCharFormat ToRtfCharFormat(const QTextCharFormat& chars, const QFont& defaultFont) {
    const QFont font = chars.font().resolve(defaultFont);
    ResolvedCharFormat result;
    result.face = font.family();
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0) points = font.pixelSize() * 72.0 / 96.0;
    if (points <= 0) points = kDefaultHalfPoints / 2.0;
    result.format.halfPoints =
        std::clamp(static_cast<int>(std::lround(points * 2)), kMinHalfPoints, kMaxHalfPoints);
    result.format.bold = font.bold();
    result.format.italic = font.italic();
    result.format.underline = font.underline();
    result.format.strikeOut = font.strikeOut();
    if (chars.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        result.format.vertical = rtf::RtfVertical::Super;
    else if (chars.verticalAlignment() == QTextCharFormat::AlignSubScript)
        result.format.vertical = rtf::RtfVertical::Sub;
    result.format.foreground = ColorOf(chars, QTextFormat::ForegroundBrush);
    result.format.background = ColorOf(chars, QTextFormat::BackgroundBrush);
    return result;
}

}  // namespace tl::diary
