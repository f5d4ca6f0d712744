#pragma once

struct Configuration;
namespace platform {
class FileSystem;
}

// Leaves an empty "terminate" file in the exchange folder: the print manager ends
// when it sees it. An existing file is truncated. False when it cannot be made.
bool writeTerminateFile(const Configuration &config, platform::FileSystem &files);
