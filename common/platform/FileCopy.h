// File copying and the "in use" test as the file procedures need them. A file is in use while
// another open handle holds an exclusive lock on it (our copies and the stand-in MicroStation's
// open design file do), or when it cannot be opened for reading at all.
#pragma once

#include <cstdint>
#include <string>

namespace vtl::platform {

// The shell's code for a call it does not understand.
inline constexpr int32_t kShellInvalidCall = 0x7C;

// Copies source over dest (overwriting it), keeping the source's modification time; a new dest
// gets the source's mode, an existing one keeps its own. Raises the runtime's error on failure;
// copying a file onto itself is refused.
void copyFile(const std::string& source, const std::string& dest);
// The same with the shell's result codes: 0 success, 2 not found, 5 access denied, 32 in use.
int32_t copyFileCode(const std::string& source, const std::string& dest);

// Raises the runtime's error when the file cannot be opened for reading, or error 70 when
// another handle holds it locked for writing.
void checkReadable(const std::string& file);
bool isLockedByAnother(const std::string& file);

// A drive in the platform's sense: the root of a mounted file system.
bool isDriveRoot(const std::string& path);

}  // namespace vtl::platform
