#pragma once
// A test ends only after every job it started has ended: the check fails a
// test that leaves a worker of the running-thread registry or a helper
// thread of ours running, and stops what it left so the next test starts
// clean.

namespace testsupport {

// Adds the check to GoogleTest's listeners; before RUN_ALL_TESTS.
void InstallJobsLeftCheck();

}  // namespace testsupport
