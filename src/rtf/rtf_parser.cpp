#include "rtf/rtf_parser.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/codepage.h"

namespace tl::rtf {

namespace {

// The code page of an RTF \fcharset value, or 0 when the charset means "the
// document's ANSI code page" (0 ANSI, 1 default) or is unknown.
int CodePageOfCharset(int charset) {
    switch (charset) {
        case 2:
            return 1252;  // symbol fonts: their glyph codes, read as 1252
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return 0;
    }
}

// Groups deeper than this are counted, not stacked: their formatting leaks
// into the enclosing group instead of being restored. Real documents nest a
// few dozen levels; the limit keeps hostile input from growing the stack.
constexpr std::size_t kMaxDepth = 1024;
// Font and colour tables beyond these sizes are not real documents.
constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxColors = 65536;
// \uc values beyond any real writer's (Word writes at most 2 or 4).
constexpr int kMaxUc = 255;
constexpr int kSymbolCharset = 2;

enum class Kind : std::uint8_t {
    FontTable,
    ColorTable,
    Skip,  // a destination the diary does not keep
    Ansi,
    AnsiCodePage,
    DefaultFont,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    Plain,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    Foreground,
    AssocFont,
    AssocSize,
    AssocBold,
    AssocItalic,
    RunType,
    RightToLeft,
    Vertical,
    Raise,
    Lower,
    Background,
    Pard,
    Align,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    ParagraphMark,
    Char,
    Uc,
    Unicode,
    Bin,
};

struct Keyword {
    std::string_view name;
    Kind kind;
    // Char: the character; Align: the RtfAlignment; Ansi: the code page.
    int value = 0;
};

constexpr int kLeft = static_cast<int>(RtfAlignment::Left);
constexpr int kCenter = static_cast<int>(RtfAlignment::Center);
constexpr int kRight = static_cast<int>(RtfAlignment::Right);
constexpr int kJustify = static_cast<int>(RtfAlignment::Justify);
constexpr int kBaseline = static_cast<int>(RtfVertical::Baseline);
constexpr int kSuper = static_cast<int>(RtfVertical::Super);
constexpr int kSub = static_cast<int>(RtfVertical::Sub);
constexpr int kLowAnsi = 0;
constexpr int kHighAnsi = 1;
constexpr int kDoubleByte = 2;

// clang-format off
constexpr auto kKeywords = [] {
    std::array table{
        Keyword{"fonttbl", Kind::FontTable},
        Keyword{"colortbl", Kind::ColorTable},
        // Destinations left out whole: pictures and objects, document
        // information, style and list tables, headers and footers, notes,
        // field instructions, bookmarks and the like.
        Keyword{"aftnsep", Kind::Skip}, Keyword{"aftnsepc", Kind::Skip},
        Keyword{"annotation", Kind::Skip}, Keyword{"atnauthor", Kind::Skip},
        Keyword{"atndate", Kind::Skip}, Keyword{"atnicn", Kind::Skip},
        Keyword{"atnid", Kind::Skip}, Keyword{"atnparent", Kind::Skip},
        Keyword{"atnref", Kind::Skip}, Keyword{"atntime", Kind::Skip},
        Keyword{"atrfend", Kind::Skip}, Keyword{"atrfstart", Kind::Skip},
        Keyword{"author", Kind::Skip}, Keyword{"bkmkend", Kind::Skip},
        Keyword{"bkmkstart", Kind::Skip}, Keyword{"buptim", Kind::Skip},
        Keyword{"category", Kind::Skip}, Keyword{"colorschememapping", Kind::Skip},
        Keyword{"comment", Kind::Skip}, Keyword{"company", Kind::Skip},
        Keyword{"creatim", Kind::Skip}, Keyword{"datastore", Kind::Skip},
        Keyword{"do", Kind::Skip}, Keyword{"doccomm", Kind::Skip},
        Keyword{"docvar", Kind::Skip}, Keyword{"fchars", Kind::Skip},
        Keyword{"filetbl", Kind::Skip}, Keyword{"fldinst", Kind::Skip},
        Keyword{"footer", Kind::Skip}, Keyword{"footerf", Kind::Skip},
        Keyword{"footerl", Kind::Skip}, Keyword{"footerr", Kind::Skip},
        Keyword{"footnote", Kind::Skip}, Keyword{"ftncn", Kind::Skip},
        Keyword{"ftnsep", Kind::Skip}, Keyword{"ftnsepc", Kind::Skip},
        Keyword{"generator", Kind::Skip}, Keyword{"header", Kind::Skip},
        Keyword{"headerf", Kind::Skip}, Keyword{"headerl", Kind::Skip},
        Keyword{"headerr", Kind::Skip}, Keyword{"info", Kind::Skip},
        Keyword{"keywords", Kind::Skip}, Keyword{"latentstyles", Kind::Skip},
        Keyword{"lchars", Kind::Skip}, Keyword{"listoverridetable", Kind::Skip},
        Keyword{"listtable", Kind::Skip}, Keyword{"manager", Kind::Skip},
        Keyword{"nonshppict", Kind::Skip}, Keyword{"object", Kind::Skip},
        Keyword{"operator", Kind::Skip}, Keyword{"pgdsctbl", Kind::Skip},
        Keyword{"pict", Kind::Skip}, Keyword{"pn", Kind::Skip},
        Keyword{"pntxta", Kind::Skip}, Keyword{"pntxtb", Kind::Skip},
        Keyword{"printim", Kind::Skip}, Keyword{"private", Kind::Skip},
        Keyword{"revtbl", Kind::Skip}, Keyword{"revtim", Kind::Skip},
        Keyword{"rsidtbl", Kind::Skip}, Keyword{"shp", Kind::Skip},
        Keyword{"shpinst", Kind::Skip}, Keyword{"shprslt", Kind::Skip},
        Keyword{"stylesheet", Kind::Skip}, Keyword{"subject", Kind::Skip},
        Keyword{"tc", Kind::Skip}, Keyword{"template", Kind::Skip},
        Keyword{"themedata", Kind::Skip}, Keyword{"title", Kind::Skip},
        Keyword{"txe", Kind::Skip}, Keyword{"userprops", Kind::Skip},
        Keyword{"xe", Kind::Skip}, Keyword{"xmlnstbl", Kind::Skip},
        // Document and table properties.
        Keyword{"ansi", Kind::Ansi, 1252}, Keyword{"mac", Kind::Ansi, 10000},
        Keyword{"pc", Kind::Ansi, 437}, Keyword{"pca", Kind::Ansi, 850},
        Keyword{"ansicpg", Kind::AnsiCodePage}, Keyword{"deff", Kind::DefaultFont},
        Keyword{"fcharset", Kind::FontCharset}, Keyword{"cpg", Kind::FontCodePage},
        Keyword{"red", Kind::Red}, Keyword{"green", Kind::Green}, Keyword{"blue", Kind::Blue},
        // Character properties.
        Keyword{"plain", Kind::Plain}, Keyword{"f", Kind::Font}, Keyword{"fs", Kind::FontSize},
        Keyword{"b", Kind::Bold}, Keyword{"i", Kind::Italic}, Keyword{"v", Kind::Hidden},
        Keyword{"strike", Kind::Strike}, Keyword{"striked", Kind::Strike},
        Keyword{"ul", Kind::Underline}, Keyword{"uld", Kind::Underline},
        Keyword{"uldash", Kind::Underline}, Keyword{"uldashd", Kind::Underline},
        Keyword{"uldashdd", Kind::Underline}, Keyword{"uldb", Kind::Underline},
        Keyword{"ulhwave", Kind::Underline}, Keyword{"ulldash", Kind::Underline},
        Keyword{"ulth", Kind::Underline}, Keyword{"ulthd", Kind::Underline},
        Keyword{"ulthdash", Kind::Underline}, Keyword{"ulthdashd", Kind::Underline},
        Keyword{"ulthdashdd", Kind::Underline}, Keyword{"ulthldash", Kind::Underline},
        Keyword{"ululdbwave", Kind::Underline}, Keyword{"ulw", Kind::Underline},
        Keyword{"ulwave", Kind::Underline}, Keyword{"ulnone", Kind::UnderlineNone},
        Keyword{"cf", Kind::Foreground}, Keyword{"cb", Kind::Background},
        Keyword{"highlight", Kind::Background}, Keyword{"chcbpat", Kind::Background},
        // Associated properties: East Asian text after \dbch takes them.
        Keyword{"af", Kind::AssocFont}, Keyword{"afs", Kind::AssocSize},
        Keyword{"ab", Kind::AssocBold}, Keyword{"ai", Kind::AssocItalic},
        Keyword{"loch", Kind::RunType, kLowAnsi}, Keyword{"hich", Kind::RunType, kHighAnsi},
        Keyword{"dbch", Kind::RunType, kDoubleByte}, Keyword{"rtlch", Kind::RightToLeft, 1},
        Keyword{"ltrch", Kind::RightToLeft, 0},
        Keyword{"super", Kind::Vertical, kSuper}, Keyword{"sub", Kind::Vertical, kSub},
        Keyword{"nosupersub", Kind::Vertical, kBaseline},
        Keyword{"up", Kind::Raise}, Keyword{"dn", Kind::Lower},
        // Paragraph properties.
        Keyword{"pard", Kind::Pard}, Keyword{"ql", Kind::Align, kLeft},
        Keyword{"qc", Kind::Align, kCenter}, Keyword{"qr", Kind::Align, kRight},
        Keyword{"qj", Kind::Align, kJustify}, Keyword{"qd", Kind::Align, kJustify},
        Keyword{"li", Kind::LeftIndent}, Keyword{"lin", Kind::LeftIndent},
        Keyword{"ri", Kind::RightIndent}, Keyword{"rin", Kind::RightIndent},
        Keyword{"fi", Kind::FirstIndent}, Keyword{"sb", Kind::SpaceBefore},
        Keyword{"sa", Kind::SpaceAfter},
        // Paragraph marks. A table row becomes a paragraph, its cells tabs.
        Keyword{"par", Kind::ParagraphMark}, Keyword{"sect", Kind::ParagraphMark},
        Keyword{"page", Kind::ParagraphMark}, Keyword{"row", Kind::ParagraphMark},
        Keyword{"nestrow", Kind::ParagraphMark},
        // Special characters.
        Keyword{"tab", Kind::Char, 0x09}, Keyword{"cell", Kind::Char, 0x09},
        Keyword{"nestcell", Kind::Char, 0x09}, Keyword{"line", Kind::Char, 0x2028},
        Keyword{"emdash", Kind::Char, 0x2014}, Keyword{"endash", Kind::Char, 0x2013},
        Keyword{"emspace", Kind::Char, 0x2003}, Keyword{"enspace", Kind::Char, 0x2002},
        Keyword{"qmspace", Kind::Char, 0x2005}, Keyword{"bullet", Kind::Char, 0x2022},
        Keyword{"lquote", Kind::Char, 0x2018}, Keyword{"rquote", Kind::Char, 0x2019},
        Keyword{"ldblquote", Kind::Char, 0x201C}, Keyword{"rdblquote", Kind::Char, 0x201D},
        Keyword{"zwj", Kind::Char, 0x200D}, Keyword{"zwnj", Kind::Char, 0x200C},
        Keyword{"ltrmark", Kind::Char, 0x200E}, Keyword{"rtlmark", Kind::Char, 0x200F},
        // Unicode and binary data.
        Keyword{"uc", Kind::Uc}, Keyword{"u", Kind::Unicode}, Keyword{"bin", Kind::Bin},
    };
    // clang-format on
    std::sort(table.begin(), table.end(),
              [](const Keyword& a, const Keyword& b) { return a.name < b.name; });
    return table;
}();

const Keyword* FindKeyword(std::string_view name) {
    auto it = std::lower_bound(kKeywords.begin(), kKeywords.end(), name,
                               [](const Keyword& k, std::string_view n) { return k.name < n; });
    return it != kKeywords.end() && it->name == name ? &*it : nullptr;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Control characters other than the tab carry nothing a diary can show; an
// object replacement character stands for an object left out.
bool IsDropped(char16_t c) {
    return (c < 0x20 && c != u'\t') || c == 0x7F || c == u'\uFFFC';
}

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Where text goes: the document body, a font name, the colour table, or
// nowhere (hidden text and the like are handled as body text).
enum class Destination : std::uint8_t { Text, FontTable, ColorTable };

// What East Asian text sets apart from the rest with associated properties
// (word processors write "\dbch\ab" for bold Japanese); unset follows the
// ordinary properties.
struct AsianState {
    std::optional<int> font;
    std::optional<int> halfPoints;
    std::optional<bool> bold;
    std::optional<bool> italic;
    bool operator==(const AsianState&) const = default;
};

struct CharState {
    int font = -1;  // -1: the default font (\deff)
    int halfPoints = kDefaultHalfPoints;
    int foreground = 0;  // colour table index
    int background = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool hidden = false;
    RtfVertical vertical = RtfVertical::Baseline;
    AsianState asian;
    int runType = kLowAnsi;    // the last of \loch, \hich, \dbch
    bool rightToLeft = false;  // \rtlch: associated words are for other scripts
};

// Characters a word processor counts as East Asian: CJK symbols,
// punctuation, kana, ideographs, Hangul, full-width forms and the
// supplementary ideograph planes.
bool IsEastAsian(char16_t c) {
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xA960 && c <= 0xA97F) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xD840 && c <= 0xD8BF) || (c >= 0xDC00 && c <= 0xDFFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

bool IsSymbolFace(std::u16string_view face) {
    return face == u"Symbol";
}
bool IsWingdingsFace(std::u16string_view face) {
    return face.starts_with(u"Wingdings");
}

// Symbol fonts' glyph codes, written as private-use characters U+F0xx (or as
// bytes in a symbol-charset font), mapped to what they show. Only the marks
// word processors put in front of list items and the like are known.
std::optional<char16_t> SymbolFontChar(std::u16string_view face, char16_t c) {
    if (c < 0xF020 || c > 0xF0FF) return std::nullopt;
    const int code = c - 0xF000;
    struct Pair {
        int code;
        char16_t unicode;
    };
    static constexpr Pair kWingdings[] = {
        {0x6C, u'\u25CF'}, {0x6E, u'\u25A0'}, {0x6F, u'\u25A1'}, {0x71, u'\u2751'},
        {0x75, u'\u25C6'}, {0x76, u'\u2756'}, {0x77, u'\u2B25'}, {0x9F, u'\u2022'},
        {0xA1, u'\u25CB'}, {0xA7, u'\u25AA'}, {0xA8, u'\u25FB'}, {0xD8, u'\u27A2'},
        {0xE0, u'\u2794'}, {0xE8, u'\u2794'}, {0xF0, u'\u21E8'}, {0xFB, u'\u2717'},
        {0xFC, u'\u2713'}, {0xFE, u'\u2611'},
    };
    static constexpr Pair kSymbol[] = {
        {0x2D, u'\u2212'}, {0xA7, u'\u2663'}, {0xA8, u'\u2666'}, {0xA9, u'\u2665'},
        {0xAA, u'\u2660'}, {0xAE, u'\u2192'}, {0xB0, u'\u00B0'}, {0xB1, u'\u00B1'},
        {0xB4, u'\u00D7'}, {0xB7, u'\u2022'}, {0xB8, u'\u00F7'}, {0xBE, u'\u2014'},
        {0xD7, u'\u22C5'}, {0xDE, u'\u21D2'}, {0xE0, u'\u25CA'},
    };
    auto find = [code](const auto& table) -> std::optional<char16_t> {
        for (const Pair& pair : table)
            if (pair.code == code) return pair.unicode;
        return std::nullopt;
    };
    if (IsWingdingsFace(face)) return find(kWingdings);
    // Private-use bullets in another face are Symbol's (the common case).
    if (std::optional<char16_t> symbol = find(kSymbol)) return symbol;
    return IsSymbolFace(face) ? std::nullopt : find(kWingdings);
}

struct Group {
    CharState chars;
    RtfParaFormat para;
    Destination destination = Destination::Text;
    int uc = 1;
};

struct Font {
    int charset = -1;
    int codePage = 0;  // \cpg
    std::u16string name;
    bool named = false;  // the name's closing ";" has been seen
};

// One control word or symbol as it was read.
struct Control {
    enum class Type { None, Word, Symbol, Hex } type = Type::None;
    std::string_view word;
    std::optional<int> param;
    char symbol = 0;
    int hex = -1;  // Hex: the byte, or -1 when no digit followed
};

class Parser {
public:
    Parser(std::string_view input, RtfSink& sink) : m_in(input), m_sink(sink) {}
    void run();

private:
    Group& top() { return m_stack.back(); }
    Control readControl();
    void handleControl(const Control& control);
    void handleWord(std::string_view word, std::optional<int> param);
    void handleSymbol(char symbol);
    void skipStep();
    void openGroup();
    void closeGroup();
    void skipGroup();
    void textBytes(std::string_view bytes);
    void addUnit(char16_t unit);
    void decodePending();
    void flushText();
    void finishColor();
    int codePageOf(const Font* font) const;
    const Font* font(int number) const;
    std::optional<RtfColor> color(int index) const;
    RtfCharFormat format(bool eastAsian = false) const;
    void sendText();
    void cellTabs();
    static void associated(CharState& chars, Kind kind, int value, bool on);

    std::string_view m_in;
    std::size_t m_pos = 0;
    RtfSink& m_sink;

    std::vector<Group> m_stack;  // [0] is the state outside every group
    int m_overflow = 0;          // groups open beyond kMaxDepth
    int m_skip = 0;              // depth inside a destination being left out
    int m_ucSkip = 0;            // fallback characters still to drop after \u
    bool m_star = false;         // "\*" seen: the next word may be skipped
    bool m_done = false;         // the "{\rtf" group has closed
    int m_cellTabs = 0;          // \cell marks not yet written as tabs
    RtfParaFormat m_endPara;

    int m_ansiCodePage = 1252;
    int m_defaultFont = -1;
    std::map<int, Font> m_fonts;
    Font* m_fontDef = nullptr;  // the font table entry being read
    std::vector<std::optional<RtfColor>> m_colors;
    RtfColor m_colorDef;
    bool m_colorDefSet = false;  // a component of m_colorDef has been read

    // Invariant: m_bytes and m_text belong to the state on top of the stack;
    // every change of that state flushes them first.
    std::string m_bytes;    // text bytes not yet decoded
    std::u16string m_text;  // body text not yet given to the sink
    store::CodePageConverter m_converter;
};

void Parser::run() {
    m_stack.emplace_back();
    while (m_pos < m_in.size() && !m_done) {
        if (m_skip > 0) {
            skipStep();
            continue;
        }
        switch (m_in[m_pos]) {
            case '{':
                ++m_pos;
                openGroup();
                break;
            case '}':
                ++m_pos;
                closeGroup();
                break;
            case '\\':
                handleControl(readControl());
                break;
            case '\r':
            case '\n':
                ++m_pos;
                break;
            default: {
                std::size_t end = m_in.find_first_of("\\{}\r\n", m_pos);
                if (end == std::string_view::npos) end = m_in.size();
                std::string_view run = m_in.substr(m_pos, end - m_pos);
                m_pos = end;
                textBytes(run);
                break;
            }
        }
    }
    if (!m_done) {
        flushText();
        m_endPara = top().para;
    }
    m_sink.end(m_endPara);
}

Control Parser::readControl() {
    Control control;
    ++m_pos;  // the backslash
    if (m_pos >= m_in.size()) return control;
    char c = m_in[m_pos];
    if (!IsLetter(c)) {
        ++m_pos;
        if (c != '\'') {
            control.type = Control::Type::Symbol;
            control.symbol = c;
            return control;
        }
        control.type = Control::Type::Hex;
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_in.size() && HexValue(m_in[m_pos]) >= 0) {
            value = value * 16 + HexValue(m_in[m_pos++]);
            ++digits;
        }
        if (digits > 0) control.hex = value;
        return control;
    }
    std::size_t start = m_pos;
    while (m_pos < m_in.size() && IsLetter(m_in[m_pos])) ++m_pos;
    control.type = Control::Type::Word;
    control.word = m_in.substr(start, m_pos - start);
    bool negative = m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && IsDigit(m_in[m_pos + 1]);
    if (negative) ++m_pos;
    if (m_pos < m_in.size() && IsDigit(m_in[m_pos])) {
        // Overflow-safe: stop accumulating past the 32-bit range, keep
        // consuming digits so that they do not turn into text.
        std::int64_t value = 0;
        while (m_pos < m_in.size() && IsDigit(m_in[m_pos])) {
            if (value <= INT_MAX) value = value * 10 + (m_in[m_pos] - '0');
            ++m_pos;
        }
        if (negative) value = -value;
        control.param = static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
    }
    if (m_pos < m_in.size() && m_in[m_pos] == ' ') ++m_pos;
    return control;
}

void Parser::handleControl(const Control& control) {
    switch (control.type) {
        case Control::Type::None:
            break;
        case Control::Type::Word:
            handleWord(control.word, control.param);
            break;
        case Control::Type::Symbol:
            handleSymbol(control.symbol);
            break;
        case Control::Type::Hex:
            if (control.hex >= 0) {
                char byte = static_cast<char>(control.hex);
                textBytes(std::string_view(&byte, 1));
            }
            break;
    }
}

void Parser::skipStep() {
    char c = m_in[m_pos];
    if (c == '{') {
        ++m_pos;
        ++m_skip;
    } else if (c == '}') {
        ++m_pos;
        if (--m_skip == 0) closeGroup();
    } else if (c == '\\') {
        // Binary data may hold braces: \bin must be honoured while skipping.
        Control control = readControl();
        if (control.type == Control::Type::Word && control.word == "bin" && control.param) {
            m_pos += std::min<std::size_t>(std::max(*control.param, 0), m_in.size() - m_pos);
        }
    } else {
        std::size_t end = m_in.find_first_of("\\{}", m_pos);
        m_pos = end == std::string_view::npos ? m_in.size() : end;
    }
}

void Parser::openGroup() {
    m_ucSkip = 0;
    m_star = false;
    if (m_stack.size() > kMaxDepth) {
        ++m_overflow;
    } else {
        m_stack.push_back(m_stack.back());
    }
}

void Parser::closeGroup() {
    m_ucSkip = 0;
    m_star = false;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.size() <= 1) return;  // an unmatched "}"
    flushText();
    Destination closing = top().destination;
    if (m_stack.size() == 2) {
        m_endPara = top().para;
        m_done = true;
    }
    m_stack.pop_back();
    if (closing == Destination::ColorTable && top().destination != Destination::ColorTable &&
        m_colorDefSet) {
        finishColor();  // a table whose last entry lacks its ";"
    }
    if (closing == Destination::FontTable && top().destination != Destination::FontTable) {
        m_fontDef = nullptr;
    }
}

void Parser::skipGroup() {
    flushText();
    m_ucSkip = 0;
    m_skip = 1;
}

void Parser::handleSymbol(char symbol) {
    if (symbol == '*') {
        m_star = true;
        return;
    }
    m_star = false;
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            textBytes(std::string_view(&symbol, 1));
            break;
        case '~':
            addUnit(u'\u00A0');
            break;
        case '_':
            addUnit(u'\u2011');
            break;
        case '-':
            addUnit(u'\u00AD');
            break;
        case '\r':
        case '\n':
            handleWord("par", std::nullopt);
            break;
        default:
            break;
    }
}

void Parser::handleWord(std::string_view word, std::optional<int> param) {
    const Keyword* keyword = FindKeyword(word);
    const bool starred = std::exchange(m_star, false);
    if (keyword != nullptr && keyword->kind == Kind::Bin) {
        if (m_ucSkip > 0) --m_ucSkip;
        m_pos += std::min<std::size_t>(std::max(param.value_or(0), 0), m_in.size() - m_pos);
        return;
    }
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    if (keyword == nullptr) {
        if (starred) skipGroup();
        return;
    }
    Group& g = top();
    const Kind kind = keyword->kind;
    const int value = param.value_or(0);
    const bool on = !param || *param != 0;
    // Text before a change of character format or code page is the old
    // format's (in the font table this decodes the pending name bytes).
    if ((kind >= Kind::Plain && kind <= Kind::Background) || kind == Kind::Ansi ||
        kind == Kind::AnsiCodePage || kind == Kind::DefaultFont || kind == Kind::FontCharset ||
        kind == Kind::FontCodePage || kind == Kind::FontTable || kind == Kind::ColorTable) {
        flushText();
    }
    switch (kind) {
        case Kind::FontTable:
            g.destination = Destination::FontTable;
            m_fontDef = nullptr;
            break;
        case Kind::ColorTable:
            g.destination = Destination::ColorTable;
            m_colors.clear();
            m_colorDef = {};
            m_colorDefSet = false;
            break;
        case Kind::Skip:
            skipGroup();
            break;
        case Kind::Ansi:
            m_ansiCodePage = keyword->value;
            break;
        case Kind::AnsiCodePage:
            if (value > 0) m_ansiCodePage = value;
            break;
        case Kind::DefaultFont:
            m_defaultFont = value;
            break;
        case Kind::FontCharset:
            if (g.destination == Destination::FontTable && m_fontDef) m_fontDef->charset = value;
            break;
        case Kind::FontCodePage:
            if (g.destination == Destination::FontTable && m_fontDef) m_fontDef->codePage = value;
            break;
        case Kind::Red:
        case Kind::Green:
        case Kind::Blue:
            if (g.destination == Destination::ColorTable) {
                auto component = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
                (kind == Kind::Red     ? m_colorDef.red
                 : kind == Kind::Green ? m_colorDef.green
                                       : m_colorDef.blue) = component;
                m_colorDefSet = true;
            }
            break;
        case Kind::Font:
            if (g.destination != Destination::FontTable) {
                g.chars.font = value;
            } else if (m_fonts.size() < kMaxFonts || m_fonts.contains(value)) {
                m_fontDef = &m_fonts[value];
                *m_fontDef = Font{};
            } else {
                m_fontDef = nullptr;
            }
            break;
        case Kind::Plain:
            g.chars = CharState{};
            break;
        case Kind::FontSize:
            g.chars.halfPoints = value > 0 ? std::min(value, kMaxHalfPoints) : kDefaultHalfPoints;
            break;
        case Kind::Bold:
            g.chars.bold = on;
            break;
        case Kind::Italic:
            g.chars.italic = on;
            break;
        case Kind::Underline:
            g.chars.underline = on;
            break;
        case Kind::UnderlineNone:
            g.chars.underline = false;
            break;
        case Kind::Strike:
            g.chars.strikeOut = on;
            break;
        case Kind::Hidden:
            g.chars.hidden = on;
            break;
        case Kind::Foreground:
            g.chars.foreground = std::max(value, 0);
            break;
        case Kind::Background:
            g.chars.background = std::max(value, 0);
            break;
        case Kind::AssocFont:
        case Kind::AssocSize:
        case Kind::AssocBold:
        case Kind::AssocItalic:
            associated(g.chars, kind, value, on);
            break;
        case Kind::RunType:
            g.chars.runType = keyword->value;
            break;
        case Kind::RightToLeft:
            g.chars.rightToLeft = keyword->value != 0;
            break;
        case Kind::Vertical:
            g.chars.vertical = static_cast<RtfVertical>(keyword->value);
            break;
        case Kind::Raise:
        case Kind::Lower:
            // \up0 and \dn0 end the raising; a missing number is 6.
            g.chars.vertical = param && *param <= 0  ? RtfVertical::Baseline
                               : kind == Kind::Raise ? RtfVertical::Super
                                                     : RtfVertical::Sub;
            break;
        case Kind::Pard:
            g.para = RtfParaFormat{};
            break;
        case Kind::Align:
            g.para.alignment = static_cast<RtfAlignment>(keyword->value);
            break;
        case Kind::LeftIndent:
            g.para.leftIndent = std::clamp(value, -kMaxTwips, kMaxTwips);
            break;
        case Kind::RightIndent:
            g.para.rightIndent = std::clamp(value, -kMaxTwips, kMaxTwips);
            break;
        case Kind::FirstIndent:
            g.para.firstIndent = std::clamp(value, -kMaxTwips, kMaxTwips);
            break;
        case Kind::SpaceBefore:
            g.para.spaceBefore = std::clamp(value, 0, kMaxTwips);
            break;
        case Kind::SpaceAfter:
            g.para.spaceAfter = std::clamp(value, 0, kMaxTwips);
            break;
        case Kind::ParagraphMark:
            if (g.destination == Destination::Text) {
                // A row ends with its last cell's mark, not with a tab.
                if (word == "row" || word == "nestrow") m_cellTabs = std::max(m_cellTabs - 1, 0);
                cellTabs();
                flushText();
                m_sink.paragraphMark(g.para, format());
            }
            break;
        case Kind::Char:
            if (word == "cell" || word == "nestcell") {
                if (g.destination == Destination::Text) ++m_cellTabs;
            } else {
                addUnit(static_cast<char16_t>(keyword->value));
            }
            break;
        case Kind::Uc:
            g.uc = std::clamp(value, 0, kMaxUc);
            break;
        case Kind::Unicode:
            if (param) {
                // Values above 32767 are written as their negative 16-bit twin.
                int unit = *param < 0 ? *param + 65536 : *param;
                if (unit >= 0 && unit <= 0xFFFF) addUnit(static_cast<char16_t>(unit));
            }
            m_ucSkip = g.uc;
            break;
        case Kind::Bin:
            break;  // handled above
    }
}

void Parser::textBytes(std::string_view bytes) {
    if (m_ucSkip > 0) {
        std::size_t dropped =
            std::min<std::size_t>(static_cast<std::size_t>(m_ucSkip), bytes.size());
        m_ucSkip -= static_cast<int>(dropped);
        bytes.remove_prefix(dropped);
    }
    switch (top().destination) {
        case Destination::Text:
            if (bytes.empty()) break;
            cellTabs();
            m_bytes.append(bytes);
            break;
        case Destination::FontTable:
            for (char c : bytes) {
                if (m_fontDef == nullptr || m_fontDef->named) continue;
                if (c == ';') {
                    decodePending();
                    m_fontDef->named = true;
                } else {
                    m_bytes.push_back(c);
                }
            }
            break;
        case Destination::ColorTable:
            for (char c : bytes) {
                if (c == ';') finishColor();
            }
            break;
    }
}

// An entry without components is "automatic".
void Parser::finishColor() {
    if (m_colors.size() < kMaxColors) {
        m_colors.push_back(m_colorDefSet ? std::optional<RtfColor>(m_colorDef) : std::nullopt);
    }
    m_colorDef = {};
    m_colorDefSet = false;
}

void Parser::addUnit(char16_t unit) {
    decodePending();
    switch (top().destination) {
        case Destination::Text:
            cellTabs();
            m_text.push_back(unit);
            break;
        case Destination::FontTable:
            if (m_fontDef != nullptr && !m_fontDef->named) m_fontDef->name.push_back(unit);
            break;
        case Destination::ColorTable:
            break;
    }
}

void Parser::decodePending() {
    if (m_bytes.empty()) return;
    if (top().destination == Destination::FontTable) {
        if (m_fontDef != nullptr)
            m_converter.decode(codePageOf(m_fontDef), m_bytes, m_fontDef->name);
    } else {
        const Font* current = font(top().chars.font);
        if (current != nullptr && current->charset == kSymbolCharset) {
            // A symbol font's bytes are its glyph codes.
            for (char byte : m_bytes) {
                const auto code = static_cast<char16_t>(0xF000 + static_cast<unsigned char>(byte));
                if (std::optional<char16_t> shown = SymbolFontChar(current->name, code))
                    m_text.push_back(*shown);
                else
                    m_converter.decode(codePageOf(current), std::string_view(&byte, 1), m_text);
            }
        } else {
            m_converter.decode(codePageOf(current), m_bytes, m_text);
        }
    }
    m_bytes.clear();
}

void Parser::cellTabs() {
    if (m_cellTabs == 0) return;
    decodePending();
    m_text.append(static_cast<std::size_t>(std::exchange(m_cellTabs, 0)), u'\t');
}

void Parser::associated(CharState& chars, Kind kind, int value, bool on) {
    // Right-to-left scripts' own properties are not kept.
    if (chars.rightToLeft) return;
    // East Asian text's own values, or the ordinary ones for other text.
    const bool asian = chars.runType == kDoubleByte;
    auto set = [asian](auto& own, auto& ordinary, auto value) {
        if (asian)
            own = value;
        else
            ordinary = value;
    };
    switch (kind) {
        case Kind::AssocFont:
            set(chars.asian.font, chars.font, value);
            break;
        case Kind::AssocSize:
            set(chars.asian.halfPoints, chars.halfPoints,
                value > 0 ? std::min(value, kMaxHalfPoints) : kDefaultHalfPoints);
            break;
        case Kind::AssocBold:
            set(chars.asian.bold, chars.bold, on);
            break;
        case Kind::AssocItalic:
            set(chars.asian.italic, chars.italic, on);
            break;
        default:
            break;
    }
}

void Parser::flushText() {
    decodePending();
    if (m_text.empty()) return;
    std::erase_if(m_text, IsDropped);
    if (!m_text.empty() && !top().chars.hidden) sendText();
    m_text.clear();
}

// East Asian characters go in runs of their own when their properties differ.
void Parser::sendText() {
    const CharState& chars = top().chars;
    const Font* current = font(chars.font);
    for (char16_t& c : m_text) {
        if (std::optional<char16_t> shown = SymbolFontChar(current ? current->name : u"", c))
            c = *shown;
    }
    const RtfCharFormat plain = format(false);
    if (chars.asian == AsianState{}) {
        m_sink.text(m_text, plain);
        return;
    }
    const RtfCharFormat asian = format(true);
    std::size_t start = 0;
    while (start < m_text.size()) {
        const bool east = IsEastAsian(m_text[start]);
        std::size_t end = start + 1;
        while (end < m_text.size() && IsEastAsian(m_text[end]) == east) ++end;
        m_sink.text(std::u16string_view(m_text).substr(start, end - start), east ? asian : plain);
        start = end;
    }
}

int Parser::codePageOf(const Font* font) const {
    if (font != nullptr) {
        if (font->codePage > 0) return font->codePage;
        if (int codePage = CodePageOfCharset(font->charset); codePage != 0) return codePage;
    }
    return m_ansiCodePage;
}

const Font* Parser::font(int number) const {
    auto it = m_fonts.find(number < 0 ? m_defaultFont : number);
    return it == m_fonts.end() ? nullptr : &it->second;
}

std::optional<RtfColor> Parser::color(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_colors.size()) return std::nullopt;
    return m_colors[static_cast<std::size_t>(index)];
}

RtfCharFormat Parser::format(bool eastAsian) const {
    const CharState& chars = m_stack.back().chars;
    const AsianState none;
    const AsianState& asian = eastAsian ? chars.asian : none;
    RtfCharFormat result;
    if (const Font* current = font(asian.font.value_or(chars.font))) result.face = current->name;
    result.halfPoints = asian.halfPoints.value_or(chars.halfPoints);
    result.bold = asian.bold.value_or(chars.bold);
    result.italic = asian.italic.value_or(chars.italic);
    result.vertical = chars.vertical;
    result.underline = chars.underline;
    result.strikeOut = chars.strikeOut;
    result.foreground = color(chars.foreground);
    result.background = color(chars.background);
    return result;
}

}  // namespace

bool IsRtf(std::string_view bytes) {
    std::size_t start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start, 5) == "{\\rtf";
}

void ParseRtf(std::string_view bytes, RtfSink& sink) {
    Parser parser(bytes, sink);
    parser.run();
}

}  // namespace tl::rtf
