#include "user_interface.h"

namespace tl::res {

UserInterface& Silent() {
    static SilentUserInterface silent;
    return silent;
}

}  // namespace tl::res
