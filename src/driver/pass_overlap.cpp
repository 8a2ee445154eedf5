#include "driver/pass_overlap.h"

#include <limits.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "driver/compiler.h"
#include "driver/passes.h"

namespace stackcc {

namespace {

std::size_t KeptBytes(Compiler& c) {
  const OutputState& o = c.out;
  return o.passOut.HeldBytes() + o.section2.HeldBytes() + o.section3.HeldBytes() +
         o.section4.HeldBytes() + o.functionList.HeldBytes() + o.listing.HeldBytes() +
         o.header.HeldBytes() + c.diag.errorStream.HeldBytes();
}

// The size of a regular file, -1 for anything else.
long long RegularFileSize(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_size);
}

// Only a large source is done sooner with Pass 2 alongside (see
// overlapMinimumSource), and only a regular intermediate file can be followed.
bool WorthOverlapping(const Compiler& c) {
  return RegularFileSize(PathOfDerived(c.driver.sourceName.view())) >=
             c.driver.overlapMinimumSource &&
         RegularFileSize(PathOfDerived(Derived(c, ".000"))) >= 0;
}

// Pass 2 gets the stack the main thread would have had: the soft stack limit,
// or 256 MB when there is none.
std::size_t Pass2StackSize() {
  struct rlimit limit;
  constexpr std::size_t kUnlimited = std::size_t{256} << 20;
  if (::getrlimit(RLIMIT_STACK, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnlimited;
  std::size_t size = static_cast<std::size_t>(limit.rlim_cur);
  std::size_t least = static_cast<std::size_t>(PTHREAD_STACK_MIN);
  return size < least ? least : size;
}

}  // namespace

PassOverlap::PassOverlap(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}

PassOverlap::~PassOverlap() {
  if (!started_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    abandoned_ = true;
  }
  endedFlag_.store(true, std::memory_order_release);
  changed_.notify_all();
  ::pthread_join(thread_, nullptr);
}

void PassOverlap::Start(Compiler& pass1) {
  if (!WorthOverlapping(pass1)) return;
  // Default-initialised, as in main: the big buffers stay untouched until used.
  pass2_.reset(new Compiler);
  Compiler& w = *pass2_;
  ParseCommandLine(w, argc_, argv_);
  w.driver.console = pass1.driver.console;
  w.driver.overlap = this;
  w.driver.reuseExpressionCode = pass1.driver.reuseExpressionCode;
  pthread_attr_t attributes;
  if (::pthread_attr_init(&attributes) != 0) return;
  ::pthread_attr_setstacksize(&attributes, Pass2StackSize());
  auto run = [](void* self) -> void* {
    static_cast<PassOverlap*>(self)->RunPass2();
    return nullptr;
  };
  started_ = ::pthread_create(&thread_, &attributes, run, this) == 0;
  ::pthread_attr_destroy(&attributes);
  if (started_) pass1.out.passOut.SetObserver(this);
}

void PassOverlap::RunPass2() {
  Compiler& w = *pass2_;
  w.reader.top = 0;
  std::string intermediate = Derived(w, ".000");
  if (!OpenBaseLevel(w, PathOfDerived(intermediate), intermediate)) {
    declined_ = true;
    return;
  }
  w.reader.levels[0].stream.Follow(this);
  ForEachPass2File(w, [](OutFile& file, const std::string&, std::string_view, bool) {
    file.Hold();
    return true;
  });
  WriteHeadsOfPass2(w);
  RunPassLoop(w, 2, [this](Compiler& c, SourceText t) {
    std::string_view result = DispatchStatement(c, t);
    CheckPoint(c);
    return result;
  });
  if (!joined_) Join(w);
  CloseAll(w);
}

void PassOverlap::CheckPoint(Compiler& c) {
  if (joined_) return;
  if (endedFlag_.load(std::memory_order_acquire) || KeptBytes(c) > kHoldLimit) Join(c);
}

bool PassOverlap::Join(Compiler& c) {
  if (joined_) return !abandoned_;
  joined_ = true;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return ended_; });
  }
  if (abandoned_) {
    StopRun(c, 0);
    return false;
  }
  if (!c.scan.markerSeen) {
    c.diag.errorLineText = errorLineText_;
    c.scan.lastMarkerLine = lastMarkerLine_;
  }
  Console(c, "Pass 2\r\n");
  // Every file is opened before any is written, as a Pass 2 started now would.
  bool opened = ForEachPass2File(
      c, [&c](OutFile& file, const std::string& path, std::string_view shown, bool append) {
        if (file.Release(path, append)) return true;
        CannotWrite(c, shown);
        return false;
      });
  if (opened) {
    ForEachPass2File(c, [](OutFile& file, const std::string&, std::string_view, bool) {
      file.WriteKept();
      return true;
    });
  }
  return true;
}

void PassOverlap::FinishPass1(Compiler& pass1, bool clean) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (clean) {
      errorLineText_ = pass1.diag.errorLineText;
      lastMarkerLine_ = pass1.scan.lastMarkerLine;
    }
    abandoned_ = !clean;
    ended_ = true;
  }
  endedFlag_.store(true, std::memory_order_release);
  changed_.notify_all();
  ::pthread_join(thread_, nullptr);
  started_ = false;
}

void PassOverlap::Written(std::size_t total) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    published_ = total;
  }
  changed_.notify_all();
}

std::size_t PassOverlap::AwaitBytes(std::size_t wanted) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this, wanted] { return published_ >= wanted || ended_; });
  return published_;
}

}  // namespace stackcc
