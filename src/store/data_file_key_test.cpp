#include "store/data_file_key.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tl::store {
namespace {

// Pins the key of every data file ever written. If this fails, the built-in
// constant or the derivation changed and existing data files no longer open:
// undo that change, do not update this text.
constexpr const char kExpectedKey[] = "abe3716a07892509e66a7e49e65f338c";

TEST(DataFileKeyTest, KeyTextIsPinned) {
    char key[33];
    std::memset(key, 'x', sizeof key);
    DeriveDataFileKey(key);
    EXPECT_EQ(key[32], '\0');
    EXPECT_STREQ(key, kExpectedKey);

    const DataFileKey again = DeriveDataFileKey();
    EXPECT_EQ(std::memcmp(again.data(), key, sizeof key), 0);
}

}  // namespace
}  // namespace tl::store
