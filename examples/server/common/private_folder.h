// Folders of personnel data: the server creates them for its own user alone.
#pragma once

#include <filesystem>

namespace tvx::example {

// Creates the folder (and its missing parents) with mode 0700 unless it exists already; an
// existing folder keeps its mode.
void CreatePrivateFolder(const std::filesystem::path& folder);

}  // namespace tvx::example
