#pragma once
// The Linux side of the test bench, reached from the driver under Wine: Wine
// starts Linux programs given by their path on drive Z:, which lets a test
// check its files with Debian's own tools. Wine reports no exit code of such a
// program, so a script's verdict is what it prints.
#include "Driver.h"
#include <filesystem>
#include <optional>
#include <string>

namespace e2e {

// The path a Linux program sees for a path on drive Z:.
std::string UnixPath(const std::filesystem::path& path);

// This folder of the sources: the test bench's scripts.
std::filesystem::path TestSourceFolder();

// Runs the bash script text and returns all it printed (standard output and
// errors), once it has ended; nothing when it did not end in time.
std::optional<std::string> RunLinuxScript(const std::string& script, Duration timeout = 120s);

}  // namespace e2e
