#pragma once

// Fails the n-th write, growth or sync of the files in one folder, below
// every layer of the program: this test binary defines pwrite, fallocate,
// ftruncate, fsync, fdatasync and copy_file_range itself and passes the
// calls it does not fail straight to the kernel. Calls on other files are
// neither counted nor failed.

#include <cstdint>
#include <string>

namespace tl::faults {

// Counts from now on the calls on files under folder; the n-th fails with
// err (ENOSPC or EIO). n = 0 only counts.
void ArmFaults(const std::string& folder, int n, int err);
// Stops counting and failing; the number of calls counted since ArmFaults.
int DisarmFaults();
// Whether the armed failure happened.
bool FaultFired();
// Writes one byte to fd just before the first counted call, so that a
// parent process learns when the operation begins to change files.
void NotifyFirstCall(int fd);

}  // namespace tl::faults
