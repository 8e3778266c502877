#include "server/common/private_folder.h"

namespace tvx::example {

void CreatePrivateFolder(const std::filesystem::path& folder) {
  if (std::filesystem::exists(folder)) return;
  std::filesystem::create_directories(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
}

}  // namespace tvx::example
