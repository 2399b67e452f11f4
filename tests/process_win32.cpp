#include <windows.h>

#include <stdexcept>
#include <string>

#include "tests/process.hpp"

namespace korven::testing {

namespace {

std::wstring widen(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

// Quotes one argument so that the C runtime's parser gives it back unchanged:
// backslashes count only before a quote.
void appendQuoted(std::wstring* line, const std::wstring& argument) {
  line->push_back(L'"');
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    line->append(backslashes, L'\\');
    backslashes = 0;
    line->push_back(c);
  }
  line->append(backslashes * 2, L'\\');
  line->push_back(L'"');
}

// A temporary file for one stream of the child, inherited by it.
class Capture {
 public:
  Capture() {
    wchar_t directory[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, directory);
    GetTempFileNameW(directory, L"kcp", 0, path_);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    handle_ = CreateFileW(path_, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a capture file");
  }
  ~Capture() {
    CloseHandle(handle_);
    DeleteFileW(path_);
  }
  HANDLE handle() const { return handle_; }
  std::string text() const {
    std::string text;
    SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
    char chunk[4096];
    DWORD n = 0;
    while (ReadFile(handle_, chunk, sizeof chunk, &n, nullptr) && n > 0) text.append(chunk, n);
    return text;
  }

 private:
  wchar_t path_[MAX_PATH + 1];
  HANDLE handle_;
};

// The caller's environment with `extra` entries added, as CreateProcessW
// takes it: NUL-separated, ended by an empty entry.
std::wstring environmentBlock(const std::vector<std::string>& extra) {
  std::wstring block;
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* e = current; *e != L'\0'; e += wcslen(e) + 1) {
    block.append(e);
    block.push_back(L'\0');
  }
  FreeEnvironmentStringsW(current);
  for (const std::string& entry : extra) {
    block.append(widen(entry));
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return block;
}

}  // namespace

process_result_t runProcess(const std::string& program, const std::vector<std::string>& arguments,
                            const process_options_t& options) {
  const std::wstring application = widen(program);
  std::wstring line;
  appendQuoted(&line, application);
  for (const std::string& argument : arguments) {
    line.push_back(L' ');
    appendQuoted(&line, widen(argument));
  }
  std::wstring environment = environmentBlock(options.environment);

  Capture output, errors;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output.handle();
  startup.hStdError = errors.handle();
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE,
                     CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup, &process);
  CloseHandle(input);
  if (!started) throw std::runtime_error("cannot start " + program);

  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  process_result_t result;
  result.status = static_cast<int>(code);
  result.output = output.text();
  result.errors = errors.text();
  return result;
}

}  // namespace korven::testing
