// Runs test code in forked child processes: several at once, to make them
// race, or one without root's privileges, so that permissions bind.
#pragma once

#include <functional>

namespace tessa::test {

// Forks `count` children at once, child c running body(c) (c = 0, 1, ...),
// and waits for all. A child exits with 0 when body returned true. Returns
// how many children ended with exit code 0.
int RunInChildrenAtOnce(int count, const std::function<bool(int)>& body);

// Runs body in a forked child that, when the tests run as root, first gives
// up every capability (exit code 2 when it cannot): it stays root, the owner
// of the files the tests made and of a private TMPDIR, but permission bits
// bind it. Returns the child's exit code (body's return value), or -1 when
// it did not end normally.
int ExitCodeWithoutPrivileges(const std::function<int()>& body);

}  // namespace tessa::test
