#pragma once

#include <string>

namespace platform {

// Ways to move a file to a name that must not exist yet, most reliable first. Not every
// file system offers the first two; the last one leaves a short race (a file created
// under the target name between the check and the rename is replaced).
enum class NoReplaceMethod { HardLink, RenameNoReplace, CheckThenRename };

// Moves `from` to `to` unless `to` exists. Returns 0 when moved (`from` is gone), EEXIST
// when `to` exists, else the errno of the failure; `from` stays in place on failure.
int moveNoReplace(const std::string &from, const std::string &to, NoReplaceMethod method);

// Uses the first method that the file system supports.
int moveNoReplace(const std::string &from, const std::string &to);

} // namespace platform
