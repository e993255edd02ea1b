#include "store/data_file_key.h"

#include <cstdint>
#include <cstring>

#include "store/md5.h"

namespace tl::store {
namespace {

// The 17-byte build-time constant behind every data file's key, kept with
// byte i increased by i + 1 (mod 256) so it does not sit in the executable as
// is. NEVER CHANGE IT: data files open only under the constant they were
// written with. data_file_key_test.cpp pins the key text it yields.
constexpr std::uint8_t kStoredConstant[17] = {
    0xBF, 0x90, 0x34, 0x07, 0xED, 0x8B, 0x03, 0x4D, 0x23,
    0xFE, 0xFA, 0x5D, 0x5F, 0xCA, 0x1D, 0x15, 0x27,
};

}  // namespace

void DeriveDataFileKey(char out[33]) {
    // One spare zero byte, so the constant always ends in a zero.
    std::uint8_t constant[sizeof kStoredConstant + 1] = {};
    for (std::size_t i = 0; i < sizeof kStoredConstant; ++i) {
        constant[i] = static_cast<std::uint8_t>(kStoredConstant[i] - (i + 1));
    }
    // The digest covers the bytes up to the first zero byte.
    const std::size_t length = std::strlen(reinterpret_cast<const char*>(constant));

    CMD5 md5;
    md5.Init();
    md5.Update(constant, length);
    md5.Final();
    md5.HexDigest(out);
}

DataFileKey DeriveDataFileKey() {
    DataFileKey key{};
    DeriveDataFileKey(key.data());
    return key;
}

}  // namespace tl::store
