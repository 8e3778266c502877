#include "server/exports/export_methods.h"

#include <cmath>
#include <cstdio>

#include "server/common/request_error.h"

namespace tvx::example {

namespace {

constexpr char kExportAllData[] = "ExportAllData";
constexpr char kExportData1C[] = "ExportData1C";

bool SameName(const std::string& a, const char* b) {
  const std::string other(b);
  if (a.size() != other.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (fold(a[i]) != fold(other[i])) return false;
  }
  return true;
}

std::string DayText(TDateTime day) {
  int y = 0, m = 0, d = 0;
  DecodeDate(day, y, m, d);
  char text[16];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", d, m, y);
  return text;
}

// A date argument as a whole day.
TDateTime DayArgument(const WireArgument& argument, const char* name) {
  if (argument.value.type != WireType::kDate) {
    throw RequestError(kTypeMismatch, std::string("Аргумент ") + name +
                                          " метода ExportData1C должен быть датой (VT_DATE), "
                                          "передан " +
                                          TypeName(argument.value.type));
  }
  const double value = argument.value.real;
  if (!std::isfinite(value) || !IsValidDateTime(value)) {
    throw RequestError(kInvalidArgument,
                       std::string("Аргумент ") + name + " метода ExportData1C не является датой");
  }
  return DateOf(value);
}

void CheckOne(const WireArgument& argument, const char* name) {
  if (argument.value.type != WireType::kI4 && argument.value.type != WireType::kI2) {
    throw RequestError(kTypeMismatch, std::string("Аргумент ") + name +
                                          " метода ExportData1C должен быть целым числом, "
                                          "передан " +
                                          TypeName(argument.value.type));
  }
  if (argument.value.integer != 1) {
    throw RequestError(kInvalidArgument, std::string("Аргумент ") + name +
                                             " метода ExportData1C должен быть равен 1, передано " +
                                             std::to_string(argument.value.integer));
  }
}

}  // namespace

const std::vector<std::string>& MethodNames() {
  static const std::vector<std::string> names = {kExportAllData, kExportData1C};
  return names;
}

InvokeReply CallMethod(ExportService& exports, ExportGate& gate, const User& user,
                       const InvokeRequest& request, ExportOutcome* outcome) {
  const auto& args = request.arguments;
  const bool known =
      SameName(request.method, kExportAllData) || SameName(request.method, kExportData1C);
  if (known && !MayExport(user.role)) {
    throw RequestError(kAccessDenied, std::string("Роль «") + RoleName(user.role) +
                                          "» не даёт выгружать данные; нужна роль export");
  }
  InvokeReply reply;
  ExportOutcome done;
  if (SameName(request.method, kExportAllData)) {
    if (!args.empty()) {
      throw RequestError(
          kBadParamCount,
          "Метод ExportAllData вызывается без аргументов, передано " + std::to_string(args.size()));
    }
    const ExportGate::Ticket ticket = gate.Enter(user);
    done = exports.ExportAll();
  } else if (SameName(request.method, kExportData1C)) {
    if (args.size() != 5) {
      throw RequestError(kBadParamCount,
                         "Метод ExportData1C принимает 5 аргументов (From, To, FileVersion, "
                         "Encoding, Result), передано " +
                             std::to_string(args.size()));
    }
    const TDateTime from = DayArgument(args[0], "From");
    const TDateTime to = DayArgument(args[1], "To");
    CheckOne(args[2], "FileVersion");
    CheckOne(args[3], "Encoding");
    if (args[4].passing != Passing::kVariantReference) {
      throw RequestError(kTypeMismatch,
                         "Аргумент Result метода ExportData1C передаётся по ссылке на вариант "
                         "(VT_BYREF|VT_VARIANT)");
    }
    if (from > to) {
      throw RequestError(kInvalidArgument, "Дата начала периода (" + DayText(from) +
                                               ") позже даты его окончания (" + DayText(to) + ")");
    }
    const ExportGate::Ticket ticket = gate.Enter(user);
    done = exports.ExportChanges(from, to);
    reply.references.push_back({4, WireValue::I4(static_cast<std::int32_t>(done.id))});
  } else {
    throw RequestError(kUnknownMember,
                       "Метод «" + request.method + "» сервером приложений не поддерживается");
  }
  if (outcome != nullptr) *outcome = done;
  return reply;
}

}  // namespace tvx::example
