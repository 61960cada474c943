#pragma once

#include <cstddef>
#include <cstdint>

namespace nuv::samples {

// "codepage/new-codepage.bin" (its script also as
// "codepage/script-codepage.cfg"): one bank whose script and blocks hold
// Windows-1252 texts. Block "gro\xDF" (0x31, sheet "IR_FP_Key") holds 64-bit
// values above 2^53 (0xF00DFACE12345678, all ones, 2^53 + 1, and a 61-bit
// field at an odd bit offset) and the range item "Lautst\xE4rke" (0 to 100)
// in its byte 33; block "texte" (0x32, "Sys_Config") holds text items
// with the bytes 0x01 to 0xFF, 19 to an item, and item names with the five
// bytes Windows-1252 leaves undefined; block "d\xE4tei" (0x33, "File_Path")
// is a file block.
inline constexpr std::uint8_t kCodePageVolume = 40;
inline constexpr std::size_t kCodePageVolumeByte = 33;

}  // namespace nuv::samples
