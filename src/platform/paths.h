#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace nuv::platform {

// A Windows-style name mapped to a native path, or why it could not be.
using NativePath = Result<std::filesystem::path>;

// Maps the names the tool uses to native paths:
//  ".\name"        -> name in the current directory
//  "D:\dir\name"   -> dir/name under the private per-user root (see PrivateRoot)
//  anything else   -> taken as a native path, unchanged
// Paths under the private root are refused when a component that exists is a
// symbolic link, so nothing under it is ever followed through a link.
NativePath ToNativePath(std::string_view name);

// The private per-user folder that stands in for drive D:. It is
// $NUV_PRIVATE_ROOT when set, else $XDG_RUNTIME_DIR/nuv-d, else
// /tmp/nuv-d-<uid>. It is created with mode 0700; an existing one must be a
// real directory (not a link) owned by this user with no access for others,
// otherwise it is refused with a message that says which check failed.
NativePath PrivateRoot();

// This process's own working folder under the private root: one folder per
// process, so that two runs of the tool at once (two hosts, two batch runs)
// never share a working file. It is made with mode 0700 on first use (and
// again should it have been removed), checked like the root, and removed
// with everything in it when the process ends.
NativePath WorkingFolder();

// Maps the Windows-style name of one of the tool's own working files
// ("D:\tmp\script-qv.cfg.gz") into WorkingFolder(): "D:\dir\name" ->
// dir/name there, with the checks of ToNativePath. Names the user gives
// ("D:\out.bin") go through ToNativePath instead: they must outlive the
// process. Anything other than a "D:\" name is refused.
NativePath ToWorkingPath(std::string_view name);

// The folder of the running program (the host executable's folder).
std::filesystem::path ProgramFolder();

// Whether `c` separates folders in a path on this platform. On POSIX only
// '/': a backslash is an ordinary character of a name, so a name the user
// chose is never cut at one. On Windows '\' and '/'. The tool's own Windows-style names (".\name",
// "D:\...") are translated by ToNativePath, and those it joins onto a
// folder by FileInFolder.
bool IsFolderSeparator(char c);

// The folder part of a path, ending with its separator: the text up to and
// including the last folder separator; empty when there is none.
std::string FolderWithSeparator(std::string_view path);

// The tool's file `name` in `folder`, joined by this platform's separator:
// what "%s\name" names on Windows.
std::string FileInFolder(std::string_view folder, std::string_view name);

// The name of `path` in UTF-8, as the tool shows and writes names. (A
// path's string() is in an 8-bit code page on Windows, not UTF-8.)
std::string PathText(const std::filesystem::path& path);

// Hidden and other file attributes do not exist on POSIX; setting them
// succeeds there and changes nothing.
bool SetFileHidden(const std::filesystem::path& path);

}  // namespace nuv::platform
