#include "cli.h"

namespace tl::cli {

void AddRecordCommands(std::vector<Command>&) {}

}  // namespace tl::cli
