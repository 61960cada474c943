#include "workbook/workbook_data.h"

#include "workbook/utf16.h"

namespace nuv::workbook {

std::optional<std::string> SheetNameProblem(std::u16string_view name) {
  if (name.empty())
    return "a sheet name cannot be empty";
  if (name.size() > 31)
    return "a sheet name has at most 31 characters";
  if (name.front() == u'\'' || name.back() == u'\'')
    return "a sheet name cannot begin or end with an apostrophe";
  if (name.find_first_of(u":\\/?*[]") != std::u16string_view::npos)
    return "a sheet name cannot contain any of : \\ / ? * [ ]";
  return std::nullopt;
}

std::size_t FindSheet(const WorkbookData& workbook, std::u16string_view name) {
  for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
    if (SameTextIgnoringCase(workbook.sheets[i]->name, name))
      return i;
  }
  return workbook.sheets.size();
}

}  // namespace nuv::workbook
