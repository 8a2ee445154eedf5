// Device scripts: reading the lines "name value" and handing out each name's
// values in order. A DeviceScript owns its queues of values.
#include "vm/device_script.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "vm/errors.h"
#include "vm/numbers.h"

namespace stackvm {

namespace {

std::optional<int64_t> scriptValue(std::string_view word) {
  std::string_view digits = word;
  if (!digits.empty() && digits[0] == '-') digits.remove_prefix(1);
  bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  for (char c : hex ? digits.substr(2) : digits) {
    bool ok = (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    if (!ok) return std::nullopt;
  }
  std::optional<ParsedNumber> n = parseNumber(word);
  if (!n || !n->within(INT64_MIN, UINT64_MAX)) return std::nullopt;
  return static_cast<int64_t>(n->bits);
}

void trim(std::string_view& text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
}

bool isName(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name) {
    bool ok =
        c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!ok) return false;
  }
  return true;
}

// "name(arg, ...)" after the word expect; nothing when it is malformed.
std::optional<ExpectedCall> expectedCall(std::string_view text) {
  size_t open = text.find('(');
  if (open == std::string_view::npos || text.back() != ')') return std::nullopt;
  std::string_view name = text.substr(0, open);
  trim(name);
  if (!isName(name)) return std::nullopt;
  ExpectedCall call;
  call.name = std::string(name);
  std::string_view args = text.substr(open + 1, text.size() - open - 2);
  trim(args);
  while (!args.empty()) {
    size_t comma = args.find(',');
    std::string_view word = args.substr(0, comma);
    trim(word);
    std::optional<int64_t> value = scriptValue(word);
    if (!value || word.empty()) return std::nullopt;
    call.args.push_back(*value);
    if (comma == std::string_view::npos) break;
    args.remove_prefix(comma + 1);
    trim(args);
    if (args.empty()) return std::nullopt;  // a comma with no argument after it
  }
  return call;
}

bool isExpectLine(std::string_view name, std::string_view rest) {
  return (name == "expect" && rest.find('(') != std::string_view::npos) ||
         name.rfind("expect(", 0) == 0;
}

}  // namespace

DeviceScript DeviceScript::parse(const std::string& text, const std::string& fileName) {
  DeviceScript script;
  size_t pos = 0;
  int lineNo = 0;
  while (pos < text.size()) {
    size_t end = std::min(text.find('\n', pos), text.size());
    std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    ++lineNo;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.empty() || line[0] == '#') continue;
    size_t gap = line.find_first_of(" \t");
    std::string_view name = line.substr(0, gap);
    std::string_view rest = gap == std::string_view::npos ? "" : line.substr(gap);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    if (isExpectLine(name, rest)) {
      std::optional<ExpectedCall> call = expectedCall(line.substr(6));
      if (!call) {
        throw UsageError(
            fileName + ":" + std::to_string(lineNo) +
            ": expected 'expect name(arg, ...)' with decimal or hexadecimal arguments");
      }
      call->line = lineNo;
      script.expected_.push_back(std::move(*call));
      continue;
    }
    std::optional<int64_t> value = scriptValue(rest);
    if (!value) {
      throw UsageError(fileName + ":" + std::to_string(lineNo) +
                       ": expected 'name value' (decimal, or hexadecimal after 0x)");
    }
    script.queues_[std::string(name)].values.push_back(*value);
  }
  return script;
}

int64_t DeviceScript::next(const std::string& name) {
  auto it = queues_.find(name);
  if (it == queues_.end() || it->second.used == it->second.values.size()) return 0;
  return it->second.values[it->second.used++];
}

bool DeviceScript::hasValue(const std::string& name) const {
  auto it = queues_.find(name);
  return it != queues_.end() && it->second.used < it->second.values.size();
}

std::vector<int64_t> DeviceScript::values(const std::string& name) const {
  auto it = queues_.find(name);
  return it == queues_.end() ? std::vector<int64_t>{} : it->second.values;
}

std::vector<std::string> DeviceScript::names() const {
  std::vector<std::string> out;
  for (const auto& [name, queue] : queues_) out.push_back(name);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace stackvm
