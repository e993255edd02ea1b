#include "cli.h"

namespace tl::cli {

void AddAppCommands(std::vector<Command>&) {}

}  // namespace tl::cli
