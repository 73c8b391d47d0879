// Running a piece of a test in a child process whose files may not grow past
// a limit, so that writes fail part-way for real (root ignores permissions,
// but not RLIMIT_FSIZE).
#pragma once

#include <functional>

// Forks; the child ignores SIGXFSZ (writes past the limit then fail with
// EFBIG), sets the limit, runs body and ends with its result as exit status.
// Returns that status, or -1 when the child did not end normally.
int runWithFileSizeLimit(long limitBytes, const std::function<int()>& body);
