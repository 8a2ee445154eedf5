#include "io/source_positions.h"

#include <algorithm>

#include "base/compiler.h"
#include "io/diagnostics.h"
#include "io/source_reader.h"

namespace stackcc {

namespace {

std::uint32_t FileIndex(PositionLog& log, std::string_view name) {
  if (!log.marks.empty() && log.files[log.marks.back().file] == name) return log.marks.back().file;
  for (std::size_t i = 0; i < log.files.size(); ++i) {
    if (log.files[i] == name) return static_cast<std::uint32_t>(i);
  }
  log.files.emplace_back(name);
  return static_cast<std::uint32_t>(log.files.size() - 1);
}

// The level whose text is in hand: the one that handed out the last text.
const IncludeLevel* LevelInHand(const Compiler& c) {
  const IncludeStack& s = c.reader;
  int level = s.lastLevel >= 0 ? s.lastLevel : s.top;
  if (level < 0 || static_cast<std::size_t>(level) >= s.levels.Built()) return nullptr;
  return &s.levels[static_cast<std::size_t>(level)];
}

}  // namespace

void NoteIntermediateLines(Compiler& c, std::string_view written) {
  PositionLog& log = c.diag.positions;
  if (!log.enabled) return;
  if (const IncludeLevel* level = LevelInHand(c)) {
    log.marks.push_back(
        {log.linesWritten, FileIndex(log, level->fileName.view()), level->lineCounter});
  }
  log.linesWritten +=
      1 + static_cast<std::uint32_t>(std::count(written.begin(), written.end(), '\n'));
}

void NoteStatementStart(Compiler& c, const char* at) {
  PositionLog& log = c.diag.positions;
  if (!log.enabled || c.reader.levels.Built() == 0) return;
  const IncludeLevel& level = c.reader.levels[0];
  std::uint64_t end = level.loaded;
  std::uint64_t behind =
      static_cast<std::uint64_t>(level.buffer.c_str() + level.buffer.size() - at);
  log.statementStart = end >= behind ? end - behind : 0;
}

SourcePosition CurrentPosition(const Compiler& c) {
  const PositionLog& log = c.diag.positions;
  if (log.pass == 1) {
    const IncludeLevel* level = LevelInHand(c);
    if (level == nullptr) return {};
    return {level->fileName.view(), level->lineCounter};
  }
  if (log.pass != 2 || log.marks.empty()) return {};
  auto line = static_cast<std::uint32_t>(
      std::lower_bound(log.lineEnds.begin(), log.lineEnds.end(), log.statementStart) -
      log.lineEnds.begin());
  auto mark =
      std::upper_bound(log.marks.begin(), log.marks.end(), line,
                       [](std::uint32_t l, const PositionLog::Mark& m) { return l < m.firstLine; });
  if (mark == log.marks.begin()) return {};
  --mark;
  return {log.files[mark->file], mark->line};
}

}  // namespace stackcc
