#include "cli.h"

namespace tl::cli {

void AddAttachmentCommands(std::vector<Command>&) {}

}  // namespace tl::cli
