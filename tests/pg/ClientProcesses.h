// Client processes for the concurrency tests: each is this test program run
// again (fork and exec of /proc/self/exe) with one test selected and its
// role in the environment. A client writes lines to fd 3 ("ready" once it
// holds its connection and documents, then its answers) and waits on fd 4
// for the start: the parent closes the write end of that pipe once every
// client is ready, so all of them start at the same moment. Every wait has
// a deadline; a client still running at the end is killed.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fabrikon::testsupport {

class ClientProcesses {
 public:
  using Clock = std::chrono::steady_clock;
  using Environment = std::map<std::string, std::string>;

  // The test that runs a client's role (selected by the children's filter).
  static constexpr const char* kClientTest = "PgClientProcess.DISABLED_RunsTheRoleOfItsEnvironment";

  ClientProcesses() {
    if (::pipe(go_) != 0) throw std::runtime_error("pipe");
  }
  ~ClientProcesses() {
    Release();
    for (Client& client : clients_) {
      if (client.running) {
        ::kill(client.pid, SIGKILL);
        ::waitpid(client.pid, nullptr, 0);
      }
      if (client.out >= 0) ::close(client.out);
    }
    if (go_[0] >= 0) ::close(go_[0]);
  }
  ClientProcesses(const ClientProcesses&) = delete;
  ClientProcesses& operator=(const ClientProcesses&) = delete;

  // Starts a client with `environment` added to ours; answers its index.
  size_t Start(const Environment& environment) {
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) Exec(environment, out[1]);
    ::close(out[1]);
    clients_.push_back(Client{pid, out[0]});
    return clients_.size() - 1;
  }

  // Waits until every client has written "ready"; false at the deadline.
  bool AwaitReady(Clock::time_point deadline) {
    for (;;) {
      bool all = true;
      for (const Client& client : clients_) all = all && !client.lines.empty() && client.lines[0] == "ready";
      if (all) return true;
      if (!ReadSome(deadline)) return false;
    }
  }

  // Lets every client go at once.
  void Release() {
    if (go_[1] >= 0) ::close(go_[1]);
    go_[1] = -1;
  }

  // Reads every client's lines until all have closed their end; false at the deadline.
  bool Collect(Clock::time_point deadline) {
    for (;;) {
      bool open = false;
      for (const Client& client : clients_) open = open || client.out >= 0;
      if (!open) return true;
      if (!ReadSome(deadline)) return false;
    }
  }

  // Waits for every client to end (the status waitpid gives); kills the
  // ones still running at the deadline and answers false then.
  bool Wait(Clock::time_point deadline) {
    bool inTime = true;
    for (Client& client : clients_) {
      while (client.running) {
        const pid_t done = ::waitpid(client.pid, &client.status, WNOHANG);
        if (done == client.pid) {
          client.running = false;
        } else if (Clock::now() >= deadline) {
          ::kill(client.pid, SIGKILL);
          ::waitpid(client.pid, &client.status, 0);
          client.running = false;
          inTime = false;
        } else {
          // A poll of the process table with a deadline, not a decision.
          ::poll(nullptr, 0, 5);
        }
      }
    }
    return inTime;
  }

  // Everything client `i` wrote so far, "ready" included, one entry per line.
  const std::vector<std::string>& Lines(size_t i) const { return clients_.at(i).lines; }
  // Reads what is waiting without blocking past the deadline.
  bool Poll(Clock::time_point deadline) { return ReadSome(deadline); }
  pid_t Pid(size_t i) const { return clients_.at(i).pid; }
  int Status(size_t i) const { return clients_.at(i).status; }
  size_t Size() const { return clients_.size(); }

 private:
  struct Client {
    pid_t pid;
    int out;
    std::vector<std::string> lines{};
    std::string partial{};
    bool running = true;
    int status = 0;
  };

  [[noreturn]] void Exec(const Environment& environment, int out) {
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    // Out of the way first: either end may sit on fd 3 or 4 already.
    const int answers = ::fcntl(out, F_DUPFD, 100), start = ::fcntl(go_[0], F_DUPFD, 100);
    if (answers < 0 || start < 0 || ::dup2(answers, 3) < 0 || ::dup2(start, 4) < 0) ::_exit(120);
    for (int fd = 5; fd < 1024; ++fd) ::close(fd);
    // The client's test report is noise here; its answers come on fd 3.
    if (const int null = ::open("/dev/null", O_WRONLY); null >= 0) ::dup2(null, 1);
    std::string filterArg = std::string("--gtest_filter=") + kClientTest;
    char self[] = "/proc/self/exe";
    char alsoDisabled[] = "--gtest_also_run_disabled_tests";
    char* argv[] = {self, alsoDisabled, filterArg.data(), nullptr};
    ::execv(self, argv);
    ::_exit(121);
  }

  // Reads from the clients that have something; false when the deadline passed first.
  bool ReadSome(Clock::time_point deadline) {
    std::vector<pollfd> fds;
    std::vector<size_t> owners;
    for (size_t i = 0; i < clients_.size(); ++i) {
      if (clients_[i].out < 0) continue;
      fds.push_back(pollfd{clients_[i].out, POLLIN, 0});
      owners.push_back(i);
    }
    if (fds.empty()) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(left));
    if (ready <= 0) return ready < 0;
    for (size_t k = 0; k < fds.size(); ++k) {
      if (fds[k].revents == 0) continue;
      Client& client = clients_[owners[k]];
      char buffer[4096];
      const ssize_t n = ::read(client.out, buffer, sizeof buffer);
      if (n <= 0) {
        ::close(client.out);
        client.out = -1;
        continue;
      }
      client.partial.append(buffer, static_cast<size_t>(n));
      for (size_t end; (end = client.partial.find('\n')) != std::string::npos;) {
        client.lines.push_back(client.partial.substr(0, end));
        client.partial.erase(0, end + 1);
      }
    }
    return true;
  }

  int go_[2] = {-1, -1};
  std::vector<Client> clients_;
};

}  // namespace fabrikon::testsupport
