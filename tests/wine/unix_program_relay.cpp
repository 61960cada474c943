// gzip.exe and lzma.exe for the Windows tests under Wine: Windows programs
// that run the Linux gzip and lzma_alone in their place.
//
// Wine starts a Linux program from CreateProcessW, but gives the caller no
// process handle to wait on and passes it no pipe: the tool could neither
// see it end nor read its output. This relay, a Windows program the tool
// runs and waits on as it would the real ones, hands the Linux program a
// socket for its standard output instead (a socket reaches a Linux program
// under Wine, a pipe does not) and waits until it is closed. The program's
// exit status comes back over it. Names of files on Windows drives are
// handed over as Linux paths. Test-only: on Windows the real gzip.exe and
// lzma.exe are used.
// winsock2.h must come before windows.h.
#include <winsock2.h>
//
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using UnixFileName = char*(__cdecl*)(const wchar_t*);

// The Linux program this relay stands for, by its own file name.
std::wstring LinuxProgram() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path);
  name = name.substr(name.find_last_of(L"\\/") + 1);
  for (wchar_t& c : name)
    c = static_cast<wchar_t>(towlower(c));
  if (name == L"sh.exe")
    return L"sh";
  return name == L"lzma.exe" ? L"lzma_alone" : L"gzip";
}

// The shell's output is the caller's to see (nuv-drive copies it into its
// transcript); the compressors write files and their output is not wanted.
bool ForwardsOutput() {
  return LinuxProgram() == L"sh";
}

// A Windows path ("C:\...") as Wine's Linux path; any other argument as is.
std::wstring LinuxArgument(const std::wstring& arg) {
  const bool drive_path =
      arg.size() >= 3 && iswalpha(arg[0]) && arg[1] == L':' && (arg[2] == L'\\' || arg[2] == L'/');
  static const auto unix_name = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!drive_path || unix_name == nullptr)
    return arg;
  char* converted = unix_name(arg.c_str());
  if (converted == nullptr)
    return arg;
  std::wstring out(converted, converted + strlen(converted));
  HeapFree(GetProcessHeap(), 0, converted);
  return out;
}

// Quoted for the Windows command line that Wine splits into the Linux argv.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, L'\\');
  return out + L"\"";
}

// Two connected sockets on the loopback interface; `child` is inheritable
// and made without overlapped I/O, so that it can be a standard handle.
bool SocketPair(SOCKET& mine, SOCKET& child) {
  SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof(address);
  const bool listening =
      listener != INVALID_SOCKET &&
      bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
      listen(listener, 1) == 0;
  child = listening ? WSASocketW(AF_INET, SOCK_STREAM, 0, nullptr, 0, 0) : INVALID_SOCKET;
  const bool connected =
      child != INVALID_SOCKET &&
      connect(child, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  mine = connected ? accept(listener, nullptr, nullptr) : INVALID_SOCKET;
  if (listener != INVALID_SOCKET)
    closesocket(listener);
  return mine != INVALID_SOCKET && SetHandleInformation(reinterpret_cast<HANDLE>(child),
                                                        HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  WSADATA winsock;
  if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0)
    return 126;
  SOCKET mine = INVALID_SOCKET;
  SOCKET child = INVALID_SOCKET;
  if (!SocketPair(mine, child)) {
    std::fputs("cannot make the socket for the Linux program\n", stderr);
    return 126;
  }
  // The shell runs the program and reports its exit status on the socket,
  // after a line break that ends what the program printed there, if
  // anything; the socket closes when the shell ends. The Linux programs the
  // tests want (the Linux build's nuv-samples and nuv) are on NUV_UNIX_PATH.
  const std::wstring output = ForwardsOutput() ? L"2>/dev/null" : L">/dev/null 2>&1";
  std::wstring command =
      L"sh -c \"PATH=${NUV_UNIX_PATH:-/usr/local/bin:/usr/bin:/bin}; \\\"$0\\\" \\\"$@\\\" "
      L"</dev/null " +
      output + L"; printf '\\n%s' $?\" " + LinuxProgram();
  for (int i = 1; i < argc; ++i)
    command += L" " + Quoted(LinuxArgument(argv[i]));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = reinterpret_cast<HANDLE>(child);
  startup.hStdOutput = reinterpret_cast<HANDLE>(child);
  startup.hStdError = reinterpret_cast<HANDLE>(child);
  PROCESS_INFORMATION started{};
  const BOOL ok = CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 nullptr, &startup, &started);
  closesocket(child);
  if (!ok) {
    std::fputs("cannot start the Linux shell\n", stderr);
    return 127;
  }
  std::string received;
  char buffer[4096];
  int got = 0;
  while ((got = recv(mine, buffer, sizeof(buffer), 0)) > 0)
    received.append(buffer, static_cast<size_t>(got));
  closesocket(mine);
  const size_t status_line = received.rfind('\n');
  if (status_line == std::string::npos)
    return 127;
  std::fwrite(received.data(), 1, status_line, stdout);
  std::fflush(stdout);
  return std::atoi(received.c_str() + status_line + 1);
}
