#include "server/exports/export_file.h"

#include <cstdio>

namespace tvx::example {

namespace {

// Escapes the five markup characters; control characters other than tab, line feed and
// carriage return cannot appear in XML 1.0 and become U+FFFD.
std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\xEF\xBF\xBD";
        } else {
          out += c;
        }
    }
  }
  return out;
}

// A moment as XML writes it: "YYYY-MM-DDTHH:MM:SS".
std::string Moment(std::string text) {
  if (text.size() > 10 && text[10] == ' ') text[10] = 'T';
  return text;
}

// Kopecks as "12345.67".
std::string Money(std::int64_t kopecks) {
  char text[32];
  const char* sign = kopecks < 0 ? "-" : "";
  const std::int64_t value = kopecks < 0 ? -kopecks : kopecks;
  std::snprintf(text, sizeof text, "%s%lld.%02lld", sign, static_cast<long long>(value / 100),
                static_cast<long long>(value % 100));
  return text;
}

class Element {
 public:
  Element(std::string& out, const char* name) : out_(out) { out_ += std::string("    <") + name; }
  Element& Attribute(const char* name, const std::string& value) {
    out_ += std::string(" ") + name + "=\"" + Escape(value) + "\"";
    return *this;
  }
  Element& Attribute(const char* name, std::int64_t value) {
    return Attribute(name, std::to_string(value));
  }
  Element& Optional(const char* name, const std::optional<std::string>& value) {
    return value ? Attribute(name, *value) : *this;
  }
  void Close() { out_ += "/>\n"; }

 private:
  std::string& out_;
};

}  // namespace

std::string ExportFileName(std::int64_t id) {
  char name[40];
  std::snprintf(name, sizeof name, "export-%06lld.xml", static_cast<long long>(id));
  return name;
}

std::string WriteExportXml(const ExportContent& content) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<ExportTo1C version=\"1\" id=\"" + std::to_string(content.id) + "\" created=\"" +
         Moment(content.created) + "\" mode=\"" + (content.full ? "full" : "changes") +
         "\" from=\"" + content.from + "\" to=\"" + content.to + "\">\n";

  out += "  <Staff count=\"" + std::to_string(content.staff.size()) + "\">\n";
  for (const StaffRecord& r : content.staff) {
    Element(out, "Employee")
        .Attribute("id", r.id)
        .Attribute("number", r.personnel_number)
        .Attribute("lastName", r.last_name)
        .Attribute("firstName", r.first_name)
        .Optional("middleName", r.middle_name)
        .Attribute("position", r.position)
        .Attribute("department", r.department)
        .Attribute("hired", r.hired)
        .Optional("dismissed", r.dismissed)
        .Attribute("salary", Money(r.salary))
        .Attribute("changed", Moment(r.changed))
        .Close();
  }
  out += "  </Staff>\n";

  out += "  <Vacations count=\"" + std::to_string(content.vacations.size()) + "\">\n";
  for (const VacationRecord& r : content.vacations) {
    Element(out, "Vacation")
        .Attribute("id", r.id)
        .Attribute("employee", r.staff_id)
        .Attribute("number", r.personnel_number)
        .Attribute("kind", r.kind)
        .Attribute("start", r.start)
        .Attribute("end", r.end)
        .Attribute("changed", Moment(r.changed))
        .Close();
  }
  out += "  </Vacations>\n";

  out += "  <ExtraPay count=\"" + std::to_string(content.extra_pay.size()) + "\">\n";
  for (const ExtraPayRecord& r : content.extra_pay) {
    Element(out, "Payment")
        .Attribute("id", r.id)
        .Attribute("employee", r.staff_id)
        .Attribute("number", r.personnel_number)
        .Attribute("kind", r.kind)
        .Attribute("date", r.date)
        .Attribute("amount", Money(r.amount))
        .Attribute("changed", Moment(r.changed))
        .Close();
  }
  out += "  </ExtraPay>\n";
  out += "</ExportTo1C>\n";
  return out;
}

}  // namespace tvx::example
