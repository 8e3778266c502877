// Writes the seed packets of the data packet fuzzer, made with the packet writer, into the
// folder given as argument: make_data_packet_seeds fuzz/data_packet/seeds
#include <cstdio>
#include <string>
#include <vector>

#include "db/data_packet_writer.h"

namespace {

bool Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  using namespace tvx;

  DataPacketWriter history;
  history.SetDeletesAllowed(false);
  history.AddColumn("ID", ftAutoInc, false)
      .AddColumn("EXPORT_DATE", ftDateTime)
      .AddColumn("EXPORT_FROM", ftDate)
      .AddColumn("EXPORT_TO", ftDate);
  for (int i = 0; i < 10; ++i) {
    history.AddRow({i + 1, 45000.5 + i, 44990 + i, i % 3 == 0 ? DataPacketValue() : 45000 + i});
  }

  DataPacketWriter all_types;
  all_types.SetReadOnly(true);
  all_types.AddColumn("S", ftSmallint)
      .AddColumn("I", ftInteger, false)
      .AddColumn("A", ftAutoInc)
      .AddColumn("D", ftDate)
      .AddColumn("T", ftTime)
      .AddColumn("Дата", ftDateTime);
  all_types.AddRow({-32768, INT32_MIN, 1, -693593, 0.0, -1.25});
  all_types.AddRow({32767, INT32_MAX, std::nullopt, 2958465, 0.999, 2958465.5});
  all_types.AddRow({std::nullopt, 0, 3, std::nullopt, std::nullopt, std::nullopt});

  DataPacketWriter empty;
  empty.AddColumn("ID", ftInteger);

  const bool ok = Save(folder + "/history.bin", history.Encode()) &&
                  Save(folder + "/all_types.bin", all_types.Encode()) &&
                  Save(folder + "/no_rows.bin", empty.Encode());
  return ok ? 0 : 1;
}
