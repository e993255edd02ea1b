#include "cli.h"

int main(int argc, char** argv) {
    return tl::cli::Run(argc, argv);
}
