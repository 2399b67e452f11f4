#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "tests/process.hpp"

extern char** environ;

namespace korven::testing {

namespace {

// A temporary file for one stream of the child; removed when done.
class Capture {
 public:
  Capture() {
    const char* tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp != nullptr ? tmp : "/tmp") + "/korven-capture-XXXXXX";
    fd_ = mkstemp(path_.data());
    if (fd_ < 0) throw std::runtime_error("cannot create a capture file");
  }
  ~Capture() {
    close(fd_);
    unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  std::string text() const {
    std::string text;
    char chunk[4096];
    lseek(fd_, 0, SEEK_SET);
    for (ssize_t n; (n = read(fd_, chunk, sizeof chunk)) > 0;)
      text.append(chunk, static_cast<std::size_t>(n));
    return text;
  }

 private:
  std::string path_;
  int fd_;
};

}  // namespace

process_result_t runProcess(const std::string& program, const std::vector<std::string>& arguments,
                            const process_options_t& options) {
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) environment.push_back(*e);
  environment.insert(environment.end(), options.environment.begin(), options.environment.end());
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argumentTexts{program};
  argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : argumentTexts) argv.push_back(a.data());
  argv.push_back(nullptr);

  Capture output, errors;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output.fd(), 1);
  posix_spawn_file_actions_adddup2(&actions, errors.fd(), 2);

  // A resource limit is inherited: set it around the spawn only.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  if (options.fileSizeLimit != 0) {
    rlimit limit = saved;
    limit.rlim_cur = options.fileSizeLimit;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  if (options.fileSizeLimit != 0) setrlimit(RLIMIT_FSIZE, &saved);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(spawned));

  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
  }
  process_result_t result;
  if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) result.signal = WTERMSIG(wstatus);
  result.output = output.text();
  result.errors = errors.text();
  return result;
}

}  // namespace korven::testing
