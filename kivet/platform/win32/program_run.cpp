// Running a program for the check on Windows. The child runs in a job
// object that ends whatever it started when the run is over, with its
// standard handles on files opened for it. Windows has no way to ask a
// console program to end that it would see as a time limit, so at the limit
// the program is ended at once (it writes no picture then). Standard
// output's file is watched while the program runs and the program ended
// when it grows past the bound; other files are not bounded.
#include "kivet/check/program_run.h"

#include <mutex>
#include <thread>

#include "kivet/platform/win32/wide_text.h"
#include "kivet/platform/win32/windows_api.h"

namespace kivet::check {
namespace {

constexpr DWORD WATCH_STEP_MS = 20;

// A child inherits every inheritable handle of the process: the handles
// made for one run are inheritable only while that run's process is made,
// so that several runs at once do not get each other's files.
std::mutex inheriting;

HANDLE open_for_child(const std::string& path, bool writing) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  std::wstring name = win32::to_wide(path);
  if (writing) {
    return CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  return CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The current environment with the request's changes, as CreateProcessW
// takes it: NAME=value strings, each ended by a zero, then one more.
std::wstring environment_block(const RunRequest& request) {
  std::wstring block;
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* entry = current; entry && *entry; entry += wcslen(entry) + 1) {
    std::wstring text = entry;
    bool replaced = false;
    for (const auto& change : request.environment) {
      std::wstring prefix = win32::to_wide(change.first) + L"=";
      if (_wcsnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0) replaced = true;
    }
    if (!replaced) block += text + L'\0';
  }
  if (current) FreeEnvironmentStringsW(current);
  for (const auto& change : request.environment) {
    block += win32::to_wide(change.first + "=" + change.second) + L'\0';
  }
  block += L'\0';
  return block;
}

long long file_size(HANDLE file) {
  LARGE_INTEGER size;
  return GetFileSizeEx(file, &size) ? size.QuadPart : 0;
}

}  // namespace

RunResult run_program(const RunRequest& request) {
  RunResult result;
  // A program that crashes ends at once with its exception's code: no
  // error box or debugger waits for a user (the mode passes to children).
  SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  std::unique_lock<std::mutex> hold(inheriting);
  HANDLE in = open_for_child(request.input, false);
  HANDLE out = open_for_child(request.output, true);
  HANDLE err = open_for_child(request.errors, true);
  if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
    result.reason = win32::error_text(GetLastError());
    for (HANDLE h : {in, out, err}) {
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    return result;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::wstring program = win32::to_wide(request.program);
  std::wstring command_line = L"\"" + program + L"\"";
  std::wstring folder = win32::to_wide(request.folder);
  std::wstring environment = environment_block(request);
  PROCESS_INFORMATION process{};
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  BOOL started = CreateProcessW(program.c_str(), &command_line[0], nullptr, nullptr, TRUE,
                                CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED,
                                &environment[0], folder.c_str(), &startup, &process);
  DWORD start_error = GetLastError();
  CloseHandle(in);
  CloseHandle(err);
  SetHandleInformation(out, HANDLE_FLAG_INHERIT, 0);
  hold.unlock();
  if (!started) {
    CloseHandle(out);
    if (job) CloseHandle(job);
    result.reason = win32::error_text(start_error);
    return result;
  }
  if (job) AssignProcessToJobObject(job, process.hProcess);
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);

  ULONGLONG limit_ms = static_cast<ULONGLONG>(request.time_limit_seconds * 1000);
  ULONGLONG start = GetTickCount64();
  result.ending = RunResult::exited;
  for (;;) {
    if (WaitForSingleObject(process.hProcess, WATCH_STEP_MS) == WAIT_OBJECT_0) break;
    if (file_size(out) >= request.file_size_limit) {
      TerminateProcess(process.hProcess, 1);
      result.ending = RunResult::too_much_output;
      break;
    }
    if (GetTickCount64() - start >= limit_ms) {
      TerminateProcess(process.hProcess, 1);
      result.ending = RunResult::timed_out;
      break;
    }
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(out);
  if (job) CloseHandle(job);  // ends whatever the program left running
  if (result.ending == RunResult::exited) {
    // An exception that ended the program: an NTSTATUS error code.
    if ((code & 0xF0000000u) == 0xC0000000u) {
      result.ending = RunResult::signalled;
      result.signal = static_cast<int>(code);
    } else {
      result.status = static_cast<int>(code);
    }
  }
  return result;
}

int processor_count() {
  unsigned count = std::thread::hardware_concurrency();
  return count > 0 ? static_cast<int>(count) : 1;
}

}  // namespace kivet::check
