// Running a program of ours as a process of its own, as a script or a user
// would: its exit code and what it wrote, with a bound on how long it may
// take (a program that hangs is ended with TerminateProcess: killing the
// wine launcher would leave the Windows process running).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace child {

// CMake gives build paths; under Wine a Unix path is one on drive Z:.
inline std::string WindowsPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (!path.empty() && path[0] == '\\') path = "Z:" + path;
  return path;
}

// Exit codes of our own: the process was ended after its time was up, or
// could not be started.
constexpr DWORD kNotEnded = 0xDEAD;
constexpr DWORD kNotStarted = 0xDEAE;

struct Outcome {
  DWORD code = kNotEnded;
  std::string out;
  std::string err;
};

// One argument as the C runtime splits a command line: quoted when it holds
// a space, backslashes doubled before a quote.
inline std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + '"';
}

inline std::string CommandTail(const std::vector<std::string>& args) {
  std::string tail;
  for (const std::string& arg : args) tail += " " + Quote(arg);
  return tail;
}

inline void ReadAll(HANDLE pipe, std::string* out) {
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) out->append(buffer, n);
}

// Runs exe with the raw command line tail, standard output and error each
// into a pipe of its own. DETACHED_PROCESS: no console at all, as under a
// scheduler or a service; 0: the console of this process, when it has one.
// A process still running after timeoutMs is ended (code kNotEnded). Safe on
// any thread: it reports nothing to the test itself.
inline Outcome Execute(const std::string& exe, const std::string& tail,
                       const std::string& directory = {}, DWORD flags = DETACHED_PROCESS,
                       HANDLE console = nullptr, DWORD timeoutMs = 30000) {
  Outcome run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  if (!CreatePipe(&outRead, &outWrite, &inherit, 0) ||
      !CreatePipe(&errRead, &errWrite, &inherit, 0)) {
    run.code = kNotStarted;
    run.err = "CreatePipe failed";
    return run;
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = console ? console : outWrite;
  si.hStdError = errWrite;
  std::string command = Quote(exe) + tail;
  PROCESS_INFORMATION pi{};
  const BOOL started =
      CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, flags, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &si, &pi);
  const DWORD startError = GetLastError();
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  if (started) {
    std::thread outReader(ReadAll, outRead, &run.out);
    std::thread errReader(ReadAll, errRead, &run.err);
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
      GetExitCodeProcess(pi.hProcess, &run.code);
    } else {
      TerminateProcess(pi.hProcess, kNotEnded);
      WaitForSingleObject(pi.hProcess, INFINITE);
      run.code = kNotEnded;
    }
    outReader.join();
    errReader.join();
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  } else {
    run.code = kNotStarted;
    run.err = "CreateProcess failed: " + std::to_string(startError);
  }
  CloseHandle(outRead);
  CloseHandle(errRead);
  return run;
}

// Execute, on the test's own thread: a process that cannot be started or
// does not end is a failure of the test.
inline Outcome RunRaw(const std::string& exe, const std::string& tail,
                      const std::string& directory = {}, DWORD flags = DETACHED_PROCESS,
                      HANDLE console = nullptr, DWORD timeoutMs = 30000) {
  Outcome run = Execute(exe, tail, directory, flags, console, timeoutMs);
  if (run.code == kNotStarted) ADD_FAILURE() << exe << ": " << run.err;
  if (run.code == kNotEnded) ADD_FAILURE() << exe << " did not end:" << tail.substr(0, 200);
  return run;
}

}  // namespace child
