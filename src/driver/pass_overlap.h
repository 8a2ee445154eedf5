// Pass 2 started early. Pass 2 reads what Pass 1 writes, line by line, so it
// can run on the second core while Pass 1 is still writing: it follows
// <base>.000 as the file grows, on a compilation object of its own. Nothing of
// it shows until Pass 1 has ended: its files are kept in memory (up to a
// limit, beyond which it waits), and it prints and reports nothing. When Pass 1
// ends cleanly, Pass 2 takes over what a Pass 2 started afterwards would have
// found (the error position and the last marker line, unless it has met a
// marker of its own), says "Pass 2", opens its files and writes what it kept;
// from then on it runs as it would have alone. When Pass 1 stops the run, Pass
// 2 is abandoned unseen.
#pragma once

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "driver/diagnostics.h"
#include "driver/fixed_text.h"
#include "driver/out_file.h"
#include "scanner/scanner.h"

namespace stackcc {

struct Compiler;

class PassOverlap final : public WriteObserver, public GrowingSource {
 public:
  // What Pass 2 may keep before it waits for Pass 1 to end.
  static constexpr std::size_t kHoldLimit = std::size_t{4} << 20;

  PassOverlap(int argc, const char* const* argv);
  ~PassOverlap();
  PassOverlap(const PassOverlap&) = delete;
  PassOverlap& operator=(const PassOverlap&) = delete;

  // Main thread, once Pass 1 has created <base>.000 and <base>.err: starts Pass
  // 2 unless the intermediate file cannot be followed (not a regular file).
  void Start(Compiler& pass1);
  bool Started() const { return started_; }
  // Main thread, at the end of Pass 1 (clean: the run goes on to Pass 2). Waits
  // for Pass 2 to end.
  void FinishPass1(Compiler& pass1, bool clean);
  // After FinishPass1: Pass 2 could not start (it is to be run afresh).
  bool Declined() const { return declined_; }
  Compiler& Pass2() { return *pass2_; }

  // Pass 2's thread: makes its work visible (see above), waiting for Pass 1 to
  // end first. False when Pass 2 is abandoned; it is then stopped.
  bool Join(Compiler& c);
  // Pass 2's thread, before it prints, reports or reads carried state: joins
  // if it has not yet; false when Pass 2 is abandoned.
  bool MayShow(Compiler& c) { return joined_ ? !abandoned_ : Join(c); }
  // Pass 2's thread, after each statement: joins once Pass 1 has ended or too
  // much is kept.
  void CheckPoint(Compiler& c);

  void Written(std::size_t total) override;
  std::size_t AwaitBytes(std::size_t wanted) override;

 private:
  void RunPass2();

  int argc_;
  const char* const* argv_;
  std::unique_ptr<Compiler> pass2_;
  pthread_t thread_{};
  bool started_ = false;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t published_ = 0;
  bool ended_ = false;      // Pass 1 has ended (cleanly or not)
  bool abandoned_ = false;  // Pass 1 stopped the run
  std::atomic<bool> endedFlag_{false};
  // What Pass 1 left for Pass 2, set before ended_.
  decltype(Diagnostics::errorLineText) errorLineText_;
  decltype(ScanState::lastMarkerLine) lastMarkerLine_;

  // Pass 2's thread only (read by the main thread after the join of threads).
  bool joined_ = false;
  bool declined_ = false;
};

}  // namespace stackcc
