// Zip archives read back by a reader that is not the console's own: Python's
// zipfile module, which checks every member's CRC.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace testsupport {

// The members of the archive at `path` by name, their bytes checked against
// their CRCs; nullopt (with the reason in *error) when Python refuses the
// archive or is not there.
std::optional<std::map<std::string, std::string>> ReadZip(const std::string& path, std::string* error);

}  // namespace testsupport
