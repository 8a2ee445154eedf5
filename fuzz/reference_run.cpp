#include "reference_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string_view>

extern char** environ;

namespace stackcc_fuzz {
namespace {

bool IsInput(std::string_view name, const char* const* inputs, int input_count) {
  for (int i = 0; i < input_count; ++i) {
    if (name == inputs[i]) return true;
  }
  return false;
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::string bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return "<unreadable>";
  char buf[65536];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}

// Waits for `child` at most `seconds`, then kills it.
int WaitFor(pid_t child, int seconds) {
  const timespec pause = {0, 2'000'000};
  for (long waited_ms = 0;; waited_ms += 2) {
    int status = 0;
    pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    if (done < 0) return -3;
    if (waited_ms >= seconds * 1000L) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -1;
    }
    nanosleep(&pause, nullptr);
  }
}

}  // namespace

Files ReadOutputs(const std::string& dir, const char* const* inputs, int input_count) {
  Files files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    std::string name = entry.path().filename().string();
    if (entry.is_regular_file(error) && !IsInput(name, inputs, input_count)) {
      files[name] = ReadWhole(entry.path());
    }
  }
  return files;
}

void RemoveOutputs(const std::string& dir, const char* const* inputs, int input_count) {
  for (const auto& [name, bytes] : ReadOutputs(dir, inputs, input_count)) {
    std::error_code ignored;
    std::filesystem::remove(dir + name, ignored);
  }
}

int RunReference(const std::string& binary, const char* const* argv, const std::string& dir,
                 int seconds) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  int failed = posix_spawn(&child, binary.c_str(), &actions, nullptr,
                           const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return -3;
  return WaitFor(child, seconds);
}

}  // namespace stackcc_fuzz
