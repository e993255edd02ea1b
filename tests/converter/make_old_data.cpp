// Writes a sample data file of an earlier generation, for trying the
// conversion in the program by hand:
//   tl_make_old_data INDEX SEED PATH [PASSWORD]
// INDEX is the generation (4 to 8), SEED picks the sample's year (1998 +
// SEED % 5) and bytes.

#include <cstdio>
#include <exception>
#include <string>

#include "store/codepage.h"
#include "support/old_data_files.h"

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: %s INDEX SEED PATH [PASSWORD]\n", argv[0]);
        return 2;
    }
    try {
        const int index = std::stoi(argv[1]);
        const auto seed = static_cast<unsigned>(std::stoul(argv[2]));
        const std::u16string password = argc == 5 ? tl::store::Utf8ToUtf16(argv[4]) : u"";
        tl::testing::WriteOldDataFile(index, tl::testing::SampleOldDiary(seed, password), argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
