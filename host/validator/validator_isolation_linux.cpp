// Child processes for the validator's checks: fork, a pipe of lines back to the parent, and a
// deadline per phase.
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "host/report/json.h"
#include "host/validator/validator_isolation.h"

namespace orvane {

namespace {

// Lines of the pipe: "P <phase>" before each call into the plug-in, "R <outcome as JSON>" once
// at the end.
void writeAll(int fd, const std::string& text) {
  const char* p = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the parent is gone: nothing to tell anyone
    p += n;
    left -= static_cast<size_t>(n);
  }
}

std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

[[noreturn]] void childMain(int fd, const IsolationSettings& settings, const std::string& what,
                            const std::function<CheckOutcome(Heartbeat&)>& body) {
  CheckOutcome outcome;
  outcome.what = what;
  if (!settings.workDirectory.empty() && chdir(settings.workDirectory.c_str()) != 0) {
    outcome.why = "cannot enter the work directory " + settings.workDirectory;
  } else {
    Heartbeat heartbeat(fd);
    try {
      outcome = body(heartbeat);
    } catch (const std::exception& e) {
      outcome.passed = false;
      outcome.why = std::string("the host failed: ") + e.what();
    } catch (...) {
      outcome.passed = false;
      outcome.why = "the host failed";
    }
  }
  Json j = {{"what", outcome.what}, {"passed", outcome.passed}, {"why", outcome.why}};
  writeAll(fd, "R " + dumpJson(j, -1) + "\n");
  close(fd);
  // No destructors, no atexit handlers: they belong to the parent.
  _exit(0);
}

std::string deathText(int status) {
  if (WIFSIGNALED(status)) {
    int sig = WTERMSIG(status);
    const char* name = strsignal(sig);
    return "crashed with signal " + std::to_string(sig) + " (" + (name ? name : "?") + ")";
  }
  if (WIFEXITED(status)) {
    return "ended the process with exit status " + std::to_string(WEXITSTATUS(status));
  }
  return "ended the process";
}

}  // namespace

void Heartbeat::phase(const std::string& text) { writeAll(fd_, "P " + oneLine(text) + "\n"); }

namespace {

// What the parent heard from a child: the last phase it began, its result line if it sent one,
// and whether it kept silent past the deadline.
struct ChildReport {
  std::string phase = "the start";
  std::string result;
  bool answered = false;
  bool timedOut = false;
};

// Reads the child's lines until the pipe ends or a phase outlasts `allowed`.
ChildReport listen(int fd, std::chrono::seconds allowed) {
  using Clock = std::chrono::steady_clock;
  ChildReport r;
  auto deadline = Clock::now() + allowed;
  std::string pending;
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      r.timedOut = true;
      return r;
    }
    pollfd p{fd, POLLIN, 0};
    int ready = poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return r;
    if (ready == 0) continue;  // the deadline check above decides
    char chunk[4096];
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return r;  // end of the pipe: the child has gone
    pending.append(chunk, static_cast<size_t>(n));
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (line.compare(0, 2, "P ") == 0) {
        r.phase = line.substr(2);
        deadline = Clock::now() + allowed;
      } else if (line.compare(0, 2, "R ") == 0) {
        r.result = line.substr(2);
        r.answered = true;
      }
    }
  }
}

// The check's outcome from what the child said and how it ended.
CheckOutcome verdict(const std::string& what, const IsolationSettings& settings,
                     const ChildReport& r, int status) {
  CheckOutcome failed;
  failed.what = what;
  if (r.timedOut) {
    failed.why = "no answer within " + std::to_string(settings.timeoutSeconds) + " s during " +
                 r.phase + " (stopped)";
    return failed;
  }
  if (r.answered) {
    try {
      Json j = Json::parse(r.result);
      CheckOutcome outcome;
      outcome.what = j.at("what").get<std::string>();
      outcome.passed = j.at("passed").get<bool>();
      outcome.why = j.at("why").get<std::string>();
      return outcome;
    } catch (const std::exception&) {
      failed.why = "the check's child process sent an unreadable result";
      return failed;
    }
  }
  failed.why = "the plug-in " + deathText(status) + " during " + r.phase;
  return failed;
}

}  // namespace

CheckOutcome runIsolated(const std::string& what, const IsolationSettings& settings,
                         const std::function<CheckOutcome(Heartbeat&)>& body) {
  CheckOutcome failed;
  failed.what = what;
  int fds[2];
  if (pipe(fds) != 0) {
    failed.why = "the host cannot make a pipe";
    return failed;
  }
  // Buffered output would be written twice: once by the parent, once by the child.
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    failed.why = "the host cannot start a child process";
    return failed;
  }
  if (pid == 0) {
    close(fds[0]);
    // Whatever a plug-in prints goes to stderr: stdout carries the report.
    dup2(STDERR_FILENO, STDOUT_FILENO);
    childMain(fds[1], settings, what, body);
  }
  close(fds[1]);
  const ChildReport heard = listen(fds[0], std::chrono::seconds(settings.timeoutSeconds));
  close(fds[0]);
  if (heard.timedOut) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return verdict(what, settings, heard, status);
}

}  // namespace orvane
