#pragma once

#include <cstddef>
#include <cstdint>

namespace nuv::workbook::biff {

// Record identifiers of the Excel 97 (BIFF8) workbook stream that we write
// or read.
enum Record : std::uint16_t {
  kFormula = 0x0006,
  kEof = 0x000A,
  kCalcCount = 0x000C,
  kCalcMode = 0x000D,
  kPrecision = 0x000E,
  kRefMode = 0x000F,
  kDelta = 0x0010,
  kIteration = 0x0011,
  kProtect = 0x0012,
  kPassword = 0x0013,
  kWindowProtect = 0x0019,
  kDateMode = 0x0022,
  kPrintHeaders = 0x002A,
  kPrintGridLines = 0x002B,
  kFilePass = 0x002F,
  kFont = 0x0031,
  kContinue = 0x003C,
  kWindow1 = 0x003D,
  kBackup = 0x0040,
  kCodePage = 0x0042,
  kWriteAccess = 0x005C,
  kSaveRecalc = 0x005F,
  kGuts = 0x0080,
  kWsBool = 0x0081,
  kGridSet = 0x0082,
  kHideObj = 0x008D,
  kFnGroupCount = 0x009C,
  kBoundSheet = 0x0085,
  kMms = 0x00C1,
  kMulRk = 0x00BD,
  kMulBlank = 0x00BE,
  kRString = 0x00D6,
  kBookBool = 0x00DA,
  kXf = 0x00E0,
  kInterfaceHdr = 0x00E1,
  kInterfaceEnd = 0x00E2,
  kSst = 0x00FC,
  kLabelSst = 0x00FD,
  kExtSst = 0x00FF,
  kTabId = 0x013D,
  kUsesElfs = 0x0160,
  kDsf = 0x0161,
  kProt4Rev = 0x01AF,
  kRefreshAll = 0x01B7,
  kProt4RevPass = 0x01BC,
  kDimensions = 0x0200,
  kBlank = 0x0201,
  kNumber = 0x0203,
  kLabel = 0x0204,
  kBoolErr = 0x0205,
  kString = 0x0207,
  kRow = 0x0208,
  kDefaultRowHeight = 0x0225,
  kWindow2 = 0x023E,
  kRk = 0x027E,
  kStyle = 0x0293,
  kBof = 0x0809,
};

// The largest record body; longer contents go on in CONTINUE records.
inline constexpr std::size_t kMaxRecordData = 8224;

inline constexpr std::uint16_t kBiff8Version = 0x0600;
inline constexpr std::uint16_t kBofGlobals = 0x0005;
inline constexpr std::uint16_t kBofWorksheet = 0x0010;

// Fill of an XF: pattern 1 is a solid fill in the foreground colour.
inline constexpr std::uint32_t kSolidFill = 1;
// Palette entries 8 to 63 are what the automation interface counts as
// colour indexes 1 to 56; entries 0 to 7 repeat the first eight colours.
inline constexpr std::uint16_t kPaletteOffset = 7;

}  // namespace nuv::workbook::biff
