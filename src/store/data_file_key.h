#pragma once

#include <array>

namespace tl::store {

// The key text of every data file: 32 lowercase hexadecimal characters and a
// zero byte, the MD5 of the program's built-in constant.
using DataFileKey = std::array<char, 33>;

void DeriveDataFileKey(char out[33]);
DataFileKey DeriveDataFileKey();

}  // namespace tl::store
