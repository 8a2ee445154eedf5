#include "stmt/statement_warnings.h"

#include <string>

#include "base/bytes.h"
#include "decl/opening_words.h"
#include "io/diagnostics.h"
#include "io/run_state.h"
#include "scanner/scanner.h"

namespace stackcc {

namespace {

// The name that ends at end (exclusive), empty when none does.
std::string_view NameBefore(std::string_view text, std::size_t end) {
  while (end > 0 && IsBlank(text[end - 1])) --end;
  std::size_t start = end;
  while (start > 0 && IsNameChar(text[start - 1])) --start;
  if (start == end || IsDigit(text[start])) return {};
  return text.substr(start, end - start);
}

// An "=" that is no comparison: not "==", "!=", "<=", ">=".
bool IsStoreSign(std::string_view text, std::size_t i) {
  char before = i > 0 ? text[i - 1] : '\0';
  char after = i + 1 < text.size() ? text[i + 1] : '\0';
  return after != '=' && before != '=' && before != '!' && before != '<' && before != '>';
}

}  // namespace

FixedText<160> SideEffectOf(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch == '"') {
      std::size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) break;
      i = close;
    } else if ((ch == '+' || ch == '-') && i + 1 < text.size() && text[i + 1] == ch) {
      return FixedText<160>("increments or decrements a variable");
    } else if (ch == '=' && IsStoreSign(text, i)) {
      return FixedText<160>("assigns a variable");
    } else if (ch == '(') {
      std::string_view name = NameBefore(text, i);
      if (name.empty() || name == "sizeof") continue;
      FixedText<160> what("calls '");
      what.append(name);
      what.append("'");
      return what;
    }
  }
  return {};
}

void WarnSwitchSubject(Compiler& c, std::string_view subject) {
  if (!WarningOn(c.run.tools, Warning::kSwitchSubject)) return;
  FixedText<160> effect = SideEffectOf(subject);
  if (effect.empty()) return;
  std::string text = "the switch subject ";
  text += effect.view();
  text +=
      " and is evaluated again for every case tested here (not once, as in C): assign it to a "
      "variable before the switch and switch on the variable";
  ReportWarning(c, Warning::kSwitchSubject, text);
}

KeywordPrefix FindKeywordPrefix(const Compiler& c) {
  KeywordPrefix prefix;
  if (!WarningOn(c.run.tools, Warning::kKeywordPrefix)) return prefix;
  std::string_view rest = ScanRest(c);
  for (const OpeningWord& w : kOpeningWords) {
    if (!rest.starts_with(w.word) || rest.size() <= w.word.size() || rest[w.word.size()] != '_') {
      continue;
    }
    std::size_t end = w.word.size();
    while (end < rest.size() && IsNameChar(rest[end])) ++end;
    prefix.word = w.word;
    prefix.name.assign(rest.substr(0, end));
    prefix.position = c.scan.cur.position;
    return prefix;
  }
  return prefix;
}

void WarnKeywordPrefix(Compiler& c, KeywordPrefix& prefix) {
  if (prefix.word.empty() || prefix.told) return;
  prefix.told = true;
  std::string name(prefix.name.view());
  std::string word(prefix.word);
  ReportWarning(c, Warning::kKeywordPrefix,
                "'" + name + "' is read as the keyword '" + word + "' followed by '" +
                    name.substr(word.size()) +
                    "' (a keyword ends at any byte that is no letter or digit, '_' too): rename "
                    "it so that it does not begin with '" +
                    word + "_'");
}

}  // namespace stackcc
