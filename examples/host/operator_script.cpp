#include "host/operator_script.h"

#include <stdexcept>

namespace tvx::host {

namespace {

struct VerbName {
  const char* name;
  Verb verb;
  bool needs_argument;
};

constexpr VerbName kVerbs[] = {
    {"command", Verb::kCommand, true}, {"wait", Verb::kWait, true},
    {"box", Verb::kWaitBox, true},     {"gone", Verb::kGone, true},
    {"texts", Verb::kTexts, false},    {"shot", Verb::kShot, true},
    {"click", Verb::kClick, true},     {"ok", Verb::kOk, false},
    {"key", Verb::kKey, true},         {"type", Verb::kType, true},
    {"close", Verb::kClose, false},    {"status", Verb::kStatus, false},
    {"quit", Verb::kQuit, false},      {"timeout", Verb::kTimeout, true},
    {"pause", Verb::kPause, true},     {"say", Verb::kSay, false},
};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<ScriptStep> ParseScript(std::string_view script) {
  std::vector<ScriptStep> steps;
  int line_number = 0;
  while (!script.empty()) {
    const std::size_t end = script.find('\n');
    const std::string_view raw = script.substr(0, end);
    script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
    ++line_number;
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '#') continue;
    const std::size_t space = line.find_first_of(" \t");
    const std::string_view verb = line.substr(0, space);
    const std::string_view argument =
        space == std::string_view::npos ? std::string_view() : Trim(line.substr(space));
    const VerbName* known = nullptr;
    for (const VerbName& candidate : kVerbs) {
      if (verb == candidate.name) known = &candidate;
    }
    const std::string where = "script line " + std::to_string(line_number) + ": ";
    if (known == nullptr)
      throw std::invalid_argument(where + "unknown step \"" + std::string(verb) + "\"");
    if (known->needs_argument && argument.empty()) {
      throw std::invalid_argument(where + "\"" + std::string(verb) + "\" needs an argument");
    }
    steps.push_back({line_number, known->verb, std::string(argument), std::string(line)});
  }
  return steps;
}

}  // namespace tvx::host
