#pragma once

#include <string_view>

#include "workbook/dispatch.h"

namespace nuv::workbook::dispid {

// Member ids of the spreadsheet's object model, from its type library. The
// client handles call them and the stand-in application answers them.
inline constexpr DispId kApplicationWorkbooks = 0x23C;
inline constexpr DispId kApplicationVisible = 0x22E;
inline constexpr DispId kApplicationUserControl = 0x4BA;
inline constexpr DispId kApplicationQuit = 0x12E;
inline constexpr DispId kWorkbooksOpen = 0x783;
inline constexpr DispId kWorkbooksAdd = 0xB5;
inline constexpr DispId kWorkbookWorksheets = 0x1EE;
inline constexpr DispId kWorkbookSaveAs = 0x11C;
inline constexpr DispId kWorkbookClose = 0x115;
inline constexpr DispId kWorksheetsItem = 0xAA;
inline constexpr DispId kWorksheetsAdd = 0xB5;
inline constexpr DispId kWorksheetName = 0x6E;
inline constexpr DispId kWorksheetCells = 0xEE;
inline constexpr DispId kWorksheetRange = 0xC5;
inline constexpr DispId kWorksheetUsedRange = 0x19C;
inline constexpr DispId kRangeRows = 0x102;
inline constexpr DispId kRangeColumns = 0xF1;
inline constexpr DispId kRangeCount = 0x76;
inline constexpr DispId kRangeValue2 = 0x56C;
inline constexpr DispId kRangeItem = 0xAA;
inline constexpr DispId kRangeInterior = 0x81;
inline constexpr DispId kInteriorColorIndex = 0x61;

// The members by name, for a client that looks ids up at run time (the tool
// never does). A name means the same id on every object that has it.
struct MemberName {
  std::string_view name;
  DispId id;
};
inline constexpr MemberName kMemberNames[] = {{"Workbooks", kApplicationWorkbooks},
                                              {"Visible", kApplicationVisible},
                                              {"UserControl", kApplicationUserControl},
                                              {"Quit", kApplicationQuit},
                                              {"Open", kWorkbooksOpen},
                                              {"Add", kWorkbooksAdd},
                                              {"Worksheets", kWorkbookWorksheets},
                                              {"SaveAs", kWorkbookSaveAs},
                                              {"Close", kWorkbookClose},
                                              {"Item", kWorksheetsItem},
                                              {"Name", kWorksheetName},
                                              {"Cells", kWorksheetCells},
                                              {"Range", kWorksheetRange},
                                              {"UsedRange", kWorksheetUsedRange},
                                              {"Rows", kRangeRows},
                                              {"Columns", kRangeColumns},
                                              {"Count", kRangeCount},
                                              {"Value2", kRangeValue2},
                                              {"Interior", kRangeInterior},
                                              {"ColorIndex", kInteriorColorIndex}};
static_assert(kWorksheetsAdd == kWorkbooksAdd && kRangeItem == kWorksheetsItem);

// Constants of the object model that the stand-in understands.
inline constexpr int kColorIndexNone = -4142;       // xlColorIndexNone
inline constexpr int kColorIndexAutomatic = -4105;  // xlColorIndexAutomatic
inline constexpr int kWorksheetType = -4167;        // xlWorksheet, xlWBATWorksheet
inline constexpr int kFileFormatExcel8 = 56;        // xlExcel8
inline constexpr int kFileFormatNormal = -4143;     // xlWorkbookNormal

}  // namespace nuv::workbook::dispid
