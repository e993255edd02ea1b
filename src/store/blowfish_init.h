#pragma once

#include <array>
#include <cstdint>

// The initial Blowfish tables: the fractional hexadecimal digits of pi.
// Private to the cipher; generated into blowfish_init.cpp by
// scripts/gen_blowfish_tables.py.
namespace tl::store::blowfish_init {

extern const std::array<std::uint32_t, 18> kP;
extern const std::array<std::array<std::uint32_t, 256>, 4> kS;

}  // namespace tl::store::blowfish_init
