#include "host/host_results.h"

#include <windows.h>

#include <mutex>
#include <stdexcept>

#include "tavolex/host.h"

namespace tvx::host {

namespace {

std::mutex& ResultsMutex() {
  static std::mutex mutex;
  return mutex;
}

HANDLE& ResultsFile() {
  static HANDLE file = INVALID_HANDLE_VALUE;
  return file;
}

}  // namespace

void OpenResults(const std::string& file) {
  const std::u16string wide = tavolex::ToUtf16(file);
  const std::lock_guard lock(ResultsMutex());
  HANDLE handle =
      CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_WRITE, FILE_SHARE_READ,
                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    throw std::invalid_argument("cannot write the results file " + file);
  }
  ResultsFile() = handle;
}

void WriteResult(const nlohmann::json& record) {
  // Texts that are not UTF-8 (none should be) are replaced rather than thrown about.
  std::string line = record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  line += '\n';
  const std::lock_guard lock(ResultsMutex());
  if (ResultsFile() == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(ResultsFile(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void CloseResults() {
  const std::lock_guard lock(ResultsMutex());
  if (ResultsFile() == INVALID_HANDLE_VALUE) return;
  CloseHandle(ResultsFile());
  ResultsFile() = INVALID_HANDLE_VALUE;
}

}  // namespace tvx::host
