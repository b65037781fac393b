#pragma once

// Writing a whole file so that a failure half-way (a full disk, a crash, a pulled
// cable) never leaves the user with neither the old file nor the new one: a
// regular file is written beside itself and renamed over the old one only once
// every byte is on disk.

#include <string>
#include <string_view>

namespace vpx {

enum class ReplaceStatus { Ok, CannotCreate };

// CannotCreate when the file cannot be created or opened for writing (nothing
// was changed). A failure after that throws std::runtime_error with the
// system's reason; the old file is then still there, unchanged. Anything that
// is not a regular file (a device, a link) is written in place.
ReplaceStatus ReplaceFileContents(const std::string& path, std::string_view bytes);

} // namespace vpx
