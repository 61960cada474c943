#pragma once

#include <cstddef>
#include <string_view>

namespace nuv::platform {

// A file mapped for reading faults (SIGBUS) where another program cuts it
// shorter while the mapping lives. While a mapping is watched, such a fault
// ends the process with exit status 2 and a message naming the file,
// instead of a crash; no output of the tool is ever half written by then,
// since every output is written whole to a temporary name first. Faults
// anywhere else keep their default action. (Windows refuses to cut a file
// that is mapped, so only POSIX systems need this.)
// Watching is bounded: past a few dozen mappings at once a mapping is not
// watched (and then faults as before).
void WatchMappedFile(const void* start, size_t length, std::string_view path);
void ForgetMappedFile(const void* start);

}  // namespace nuv::platform
