#include "selection_format.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>

namespace tl::frame {
namespace {

// "plain" in the default font, then "BIG" bold, italic, 18 points in
// another face.
class SelectionFormatTest : public ::testing::Test {
protected:
    SelectionFormatTest() {
        QFont base(QStringLiteral("Sans"));
        base.setPointSizeF(10);
        document.setDefaultFont(base);
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("plain"));
        QTextCharFormat big;
        big.setFontFamilies({QStringLiteral("Serif")});
        big.setFontPointSize(18);
        big.setFontWeight(QFont::Bold);
        big.setFontItalic(true);
        cursor.insertText(QStringLiteral("BIG"), big);
    }
    SelectionFormat read(int from, int to) {
        QTextCursor cursor(&document);
        cursor.setPosition(from);
        if (to != from) cursor.setPosition(to, QTextCursor::KeepAnchor);
        return ReadSelectionFormat(cursor, cursor.charFormat(), document.defaultFont());
    }
    QTextDocument document;
};

TEST_F(SelectionFormatTest, OneRunShowsItsFaceSizeAndEffects) {
    const SelectionFormat big = read(6, 8);
    EXPECT_EQ(big.family, QStringLiteral("Serif"));
    EXPECT_EQ(big.pointSize, 18.0);
    EXPECT_TRUE(big.bold);
    EXPECT_TRUE(big.italic);
    EXPECT_FALSE(big.underline);
    // Unset properties come from the editor's default font.
    const SelectionFormat plain = read(1, 3);
    EXPECT_EQ(plain.family, QStringLiteral("Sans"));
    EXPECT_EQ(plain.pointSize, 10.0);
    EXPECT_FALSE(plain.bold);
}

TEST_F(SelectionFormatTest, MixedSelectionShowsNoFaceNoSizeAndOnlySharedEffects) {
    const SelectionFormat both = read(2, 7);
    EXPECT_EQ(both.family, std::nullopt);
    EXPECT_EQ(both.pointSize, std::nullopt);
    EXPECT_FALSE(both.bold);
    EXPECT_FALSE(both.italic);
}

TEST_F(SelectionFormatTest, WithoutASelectionTheTypingFormatCounts) {
    QTextCursor cursor(&document);
    cursor.setPosition(2);
    QTextCharFormat typing = cursor.charFormat();
    typing.setFontUnderline(true);
    const SelectionFormat f = ReadSelectionFormat(cursor, typing, document.defaultFont());
    EXPECT_TRUE(f.underline);
    EXPECT_EQ(f.pointSize, 10.0);
}

TEST(SizeTextTest, WholeSizesHaveNoDecimals) {
    EXPECT_EQ(SizeText(10), QStringLiteral("10"));
    EXPECT_EQ(SizeText(10.5), QStringLiteral("10.5"));
    EXPECT_EQ(SizeText(72), QStringLiteral("72"));
    EXPECT_EQ(SizeText(11.04), QStringLiteral("11"));
}

}  // namespace
}  // namespace tl::frame
