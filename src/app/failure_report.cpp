#include "failure_report.h"

#include <new>

#include "store/file.h"

namespace tl::app {

res::Msg FailureMessage(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const store::FileError& e) {
        return e.kind() == store::FileErrorKind::DiskFull ? res::Msg::DiskFull
                                                          : res::Msg::WriteToDiskFailure;
    } catch (const std::bad_alloc&) {
        return res::Msg::OutOfMemory;
    } catch (...) {
        return res::Msg::WriteToDiskFailure;
    }
}

void ReportFailure(res::UserInterface& ui, std::exception_ptr failure) {
    ui.warn(FailureMessage(failure));
}

}  // namespace tl::app
