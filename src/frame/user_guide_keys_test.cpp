// The user guide's keyboard reference against the accelerator table: every
// key of the main window is described, and no key is described that the
// window does not have.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "command_table.h"

namespace tl::frame {
namespace {

// The guide writes keys as <kbd>Ctrl</kbd>+<kbd>Insert</kbd>; the table in
// QKeySequence's portable text.
std::string GuideName(std::string key) {
    for (auto [from, to] : {std::pair{"Ins", "Insert"}, {"Del", "Delete"}, {"Return", "Enter"}}) {
        const std::regex word(std::string("\\b") + from + "\\b");
        key = std::regex_replace(key, word, to);
    }
    return key;
}

// The keys written in the guide's section about the main window's keys.
std::set<std::string> MainWindowKeysOfTheGuide() {
    std::ifstream in(TL_USER_GUIDE_MD);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    const auto start = text.find("# Keyboard reference");
    const auto end = text.find("Keys of the side bar:", start);
    EXPECT_NE(start, std::string::npos);
    EXPECT_NE(end, std::string::npos);
    const std::string section = text.substr(start, end - start);
    std::set<std::string> keys;
    const std::regex combo(R"(<kbd>[^<]+</kbd>(\+<kbd>[^<]+</kbd>)*)");
    for (auto it = std::sregex_iterator(section.begin(), section.end(), combo);
         it != std::sregex_iterator(); ++it)
        keys.insert(std::regex_replace(it->str(), std::regex("</?kbd>"), ""));
    return keys;
}

TEST(UserGuideKeysTest, TheKeyboardReferenceListsExactlyTheMainWindowsKeys) {
    const std::set<std::string> guide = MainWindowKeysOfTheGuide();
    std::set<std::string> table;
    for (const Accelerator& a : Accelerators()) table.insert(GuideName(std::string(a.key)));
    for (const std::string& key : table)
        EXPECT_TRUE(guide.count(key)) << "not in the guide: " << key;
    for (const std::string& key : guide) EXPECT_TRUE(table.count(key)) << "no such key: " << key;
}

}  // namespace
}  // namespace tl::frame
