#include "decl/initializer_braces.h"

#include <string>

#include "base/bytes.h"
#include "base/text_helpers.h"
#include "decl/tables.h"
#include "io/diagnostics.h"
#include "io/run_state.h"

namespace stackcc {

namespace {

// Where the walk of the data layout stops for a value or a brace.
bool StartsValue(char ch) {
  return ch == '"' || IsDigit(ch) || ch == '{';
}

// The index in text after the string or digit run at i.
std::size_t PastValue(std::string_view text, std::size_t i) {
  if (text[i] == '"') {
    std::size_t close = text.find('"', i + 1);
    return close == std::string_view::npos ? text.size() : close + 1;
  }
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

// The member of the tag that first takes a brace group at the top level of the
// list and is no array or structure; -1 for none.
int MemberTakingBraces(const Compiler& c, const TagMembers& members, std::string_view value) {
  std::size_t next = 0;
  int depth = 0;
  for (std::size_t i = 0; i < value.size();) {
    char ch = value[i];
    if (ch == '}') --depth;
    if (!StartsValue(ch)) {
      ++i;
      continue;
    }
    if (depth == 1) {
      int m = members.records[next];
      next = (next + 1) % members.records.size();
      const MemberRecord& r = c.decl.members[m];
      if (ch == '{' && r.isArray == 0 && !r.structure) return m;
    }
    if (ch == '{') {
      ++depth;
      ++i;
    } else {
      i = PastValue(value, i);
    }
  }
  return -1;
}

}  // namespace

void WarnInitializerBraces(Compiler& c, std::string_view name, std::string_view tag,
                           std::string_view value) {
  if (!WarningOn(c.run.tools, Warning::kInitializerBraces) || tag.empty()) return;
  auto list = c.decl.memberIndex.find(std::string(tag));
  if (list == c.decl.memberIndex.end() || list->second.records.empty()) return;
  int m = MemberTakingBraces(c, list->second, value);
  if (m < 0) return;
  std::string text = "the braces inside the initialiser of '";
  text += name.substr(0, name.find(kFunctionMark));
  text +=
      "' do not group one structure each here: a brace list at the top level gives its "
      "values to one member ('";
  text += c.decl.members[m].member.view();
  text +=
      "'), so the data lands elsewhere than in C; write the values of all elements as one "
      "flat list (braces only around a member that is an array)";
  ReportWarning(c, Warning::kInitializerBraces, text);
}

}  // namespace stackcc
