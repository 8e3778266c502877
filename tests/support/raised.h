// What an action raised, in a form that a table of cases can compare: the exception's
// class name and message, and for OLE errors their status code and source.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "rtl/exceptions.h"

namespace tvx::test {

struct Raised {
  std::string class_name;  // "(nothing)" when the action returned
  std::string message;
  int32_t code = 0;    // EOleSysError and EOleException
  std::string source;  // EOleException

  friend bool operator==(const Raised&, const Raised&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Raised& r) {
    return out << r.class_name << " \"" << r.message << "\" code " << std::hex << r.code << std::dec
               << " source \"" << r.source << "\"";
  }
};

inline Raised Capture(const std::function<void()>& action) {
  try {
    action();
  } catch (const EOleException& e) {
    return {e.ClassName(), e.Message(), e.ErrorCode(), e.Source()};
  } catch (const EOleSysError& e) {
    return {e.ClassName(), e.Message(), e.ErrorCode(), {}};
  } catch (const Exception& e) {
    return {e.ClassName(), e.Message(), 0, {}};
  }
  return {"(nothing)", {}, 0, {}};
}

}  // namespace tvx::test
