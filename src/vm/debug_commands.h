// The debugger's command line: gdb's command names and short forms, and its
// way of answering, over a Debugger.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "vm/debugger.h"
#include "vm/host_prototypes.h"

namespace stackvm {

class CommandLine {
 public:
  // `directory` is where the source files named by the markers are.
  CommandLine(Debugger& debugger, std::ostream& out, FileReader reader, std::string directory);

  // Runs one line; false once the session is to end (quit).
  bool execute(const std::string& line);
  // The status stackvm ends with: the program's, 70 after a run-time error, 72
  // after a device call other than the script expects.
  int status() const { return status_; }

 private:
  using Handler = void (CommandLine::*)(const std::string& args);
  struct Command {
    const char* name;
    const char* alias;
    Handler handler;
    const char* help;
  };
  static const std::vector<Command>& commands();
  const Command* find(const std::string& word) const;

  void breakCommand(const std::string& args);
  void tbreakCommand(const std::string& args);
  void deleteCommand(const std::string& args);
  void conditionCommand(const std::string& args);
  void runCommand(const std::string& args);
  void continueCommand(const std::string& args);
  void stepCommand(const std::string& args);
  void nextCommand(const std::string& args);
  void stepiCommand(const std::string& args);
  void nextiCommand(const std::string& args);
  void finishCommand(const std::string& args);
  void untilCommand(const std::string& args);
  void reverseStepCommand(const std::string& args);
  void reverseNextCommand(const std::string& args);
  void reverseStepiCommand(const std::string& args);
  void reverseContinueCommand(const std::string& args);
  void reverseFinishCommand(const std::string& args);
  void printCommand(const std::string& args);
  void displayCommand(const std::string& args);
  void undisplayCommand(const std::string& args);
  void watchCommand(const std::string& args);
  void backtraceCommand(const std::string& args);
  void infoCommand(const std::string& args);
  void listCommand(const std::string& args);
  void examineCommand(const std::string& args);
  void killCommand(const std::string& args);
  void quitCommand(const std::string& args);
  void helpCommand(const std::string& args);

  void requireRunning() const;
  void requireForward() const;
  void setBreakpoint(const std::string& args, bool temporary);
  void motion(Motion m, const std::string& args, bool back);
  void report(const StopEvent& e);
  void showLocation(bool withFrame);
  void showDisplays();
  struct Display;
  void showDisplay(const Display& d);
  std::string frameText(const FrameInfo& frame) const;
  std::string sourceLine(const std::string& file, uint32_t line);
  void listAround(const std::string& file, uint32_t first, uint32_t last);
  void infoBreakpoints();
  void infoVariables(const std::vector<const VariableInfo*>& vars, const char* none);
  std::string formatted(const std::string& expression, char format, size_t frame = 0);

  Debugger& debugger_;
  std::ostream& out_;
  FileReader reader_;
  std::string directory_;
  std::map<std::string, std::vector<std::string>> sources_;
  struct Display {
    int number;
    std::string expression;
    char format;
  };
  std::vector<Display> displays_;
  int nextDisplay_ = 1;
  int history_ = 0;  // the last $N
  std::string lastFunction_;
  std::string listFile_;
  uint32_t listNext_ = 0;
  int status_ = 0;
  bool quit_ = false;
};

}  // namespace stackvm
