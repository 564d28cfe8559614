// test support: runs the real game executable as a child process.
#include "support/run_game.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "support/test_support.h"

extern char** environ;

namespace vurkhold::test {

namespace {

// True once the game has a handler for SIGTERM (its SigCgt mask in /proc). Until the exec
// the child is a copy of this program, whose handlers (SDL's, when a test opened a window)
// it still has; a signal then would be lost with the copy.
bool catches_sigterm(pid_t pid) {
  char exe[4096];
  const ssize_t n = readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), exe, sizeof exe - 1);
  if (n <= 0) return false;
  exe[n] = '\0';
  char* game = realpath(VURK_GAME_BINARY, nullptr);
  const bool is_game = game && std::string(exe) == game;
  std::free(game);
  if (!is_game) return false;
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
  return false;
}

}  // namespace

GameRun run_game(const std::vector<std::string>& args, const std::vector<std::string>& env, int timeout_seconds,
                 bool terminate, const char* program) {
  TempDir out_dir;
  const std::string out_path = out_dir.file("stdout"), err_path = out_dir.file("stderr");
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, 1);
    dup2(err, 2);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execve(program, argv.data(), environ);
    _exit(127);
  }
  GameRun run{-1, "", ""};
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  while (true) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (terminate && catches_sigterm(pid)) {
      kill(pid, SIGTERM);
      terminate = false;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  run.out = read_file(out_path);
  run.err = read_file(err_path);
  return run;
}

}  // namespace vurkhold::test
