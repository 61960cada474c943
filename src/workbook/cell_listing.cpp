#include "workbook/cell_listing.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "workbook/utf16.h"

namespace nuv::workbook {
namespace {

constexpr std::array<std::uint8_t, 7> kErrorCodes = {kErrorNull, kErrorDiv0, kErrorValue, kErrorRef,
                                                     kErrorName, kErrorNum,  kErrorNA};
constexpr std::size_t kMaxCellText = 32767;

void AppendEscaped(std::string& out, std::u16string_view text) {
  for (char c : Utf16ToUtf8(text)) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
}

std::optional<std::u16string> Unescape(std::string_view text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      plain += text[i];
      continue;
    }
    if (++i == text.size())
      return std::nullopt;
    switch (text[i]) {
      case '\\':
        plain += '\\';
        break;
      case 't':
        plain += '\t';
        break;
      case 'n':
        plain += '\n';
        break;
      case 'r':
        plain += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return Utf8ToUtf16(plain);
}

// The shortest digits that read back as the value, written out in full
// when the exponent lies from -4 to 15 and in scientific form otherwise
// (Python's repr, without its ".0" on whole numbers).
std::string NumberText(double value) {
  char buffer[40];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string text(buffer, error == std::errc() ? end : buffer);
  std::size_t e = text.find('e');
  if (e == std::string::npos)
    return text;  // inf or nan, which no cell holds
  int exponent = std::stoi(text.substr(e + 1));
  if (exponent < -4 || exponent >= 16)
    return text;
  std::string sign = text[0] == '-' ? "-" : "";
  std::string digits;
  for (char c : text.substr(sign.size(), e - sign.size()))
    if (c != '.')
      digits += c;
  if (exponent < 0)
    return sign + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  auto whole = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= whole)
    return sign + digits + std::string(whole - digits.size(), '0');
  return sign + digits.substr(0, whole) + "." + digits.substr(whole);
}

// The TYPE word and VALUE text of a cell's value.
std::pair<std::string, std::string> Describe(const Cell& cell) {
  const Variant& v = cell.value;
  std::string type, value;
  switch (v.type()) {
    case VT_R8:
      type = "number", value = NumberText(v.AsDouble());
      break;
    case VT_BSTR:
      type = "text";
      AppendEscaped(value, v.AsText());
      break;
    case VT_BOOL:
      type = "bool", value = v.AsBool() ? "TRUE" : "FALSE";
      break;
    default:
      type = "error", value = std::string(CellErrorText(v.CellErrorCode()));
      break;
  }
  return {cell.formula ? "formula-" + type : type, value};
}

template <typename Number>
std::optional<Number> ReadNumber(std::string_view text, Number low, Number high) {
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
      value > high)
    return std::nullopt;
  return value;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    std::size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos)
      return fields;
    line.remove_prefix(tab + 1);
  }
}

class ListingParser {
 public:
  ListingParser(WorkbookData& workbook, Messages& messages)
      : workbook_(workbook), messages_(messages) {}

  // One line; kFailed after "line N: why".
  enum class LineResult { kRead, kFailed };
  LineResult Line(std::size_t number, std::string_view line) {
    number_ = number;
    std::vector<std::string_view> fields = SplitTabs(line);
    if (fields.size() != 5)
      return Fail("expected 5 fields separated by tabs, found " + std::to_string(fields.size()));
    const std::optional<std::u16string> name = Unescape(fields[0]);
    if (!name)
      return Fail("the sheet name has a backslash that is not \\\\, \\t, \\n or \\r");
    if (const std::optional<std::string> problem = SheetNameProblem(*name))
      return Fail(*problem);
    SheetData& sheet = Sheet(*name);
    std::string_view type = fields[3];
    if (type == "sheet")
      return fields[1].empty() && fields[2].empty() && fields[4].empty()
                 ? LineResult::kRead
                 : Fail("a sheet line has no row, column or value");
    const std::optional<std::uint32_t> row = ReadNumber<std::uint32_t>(fields[1], 1, kMaxRows);
    if (!row)
      return Fail("the row must be a number from 1 to " + std::to_string(kMaxRows));
    const std::optional<std::uint32_t> column =
        ReadNumber<std::uint32_t>(fields[2], 1, kMaxColumns);
    if (!column)
      return Fail("the column must be a number from 1 to " + std::to_string(kMaxColumns));
    Cell& cell = sheet.cells.At(*row, *column);
    if (type == "fill") {
      const std::optional<std::uint32_t> index = ReadNumber<std::uint32_t>(fields[4], 1, 56);
      if (!index)
        return Fail("a fill is a colour index from 1 to 56");
      cell.fill = static_cast<std::uint8_t>(*index);
      return LineResult::kRead;
    }
    bool formula = type.starts_with("formula-");
    if (formula)
      type.remove_prefix(8);
    std::optional<Variant> value = Value(type, fields[4]);
    if (!value)
      return LineResult::kFailed;
    cell.value = std::move(*value);
    cell.formula = formula;
    return LineResult::kRead;
  }

 private:
  std::optional<Variant> Value(std::string_view type, std::string_view text) {
    if (type == "number") {
      const std::optional<double> number =
          ReadNumber<double>(text, -1.7976931348623157e308, 1.7976931348623157e308);
      if (!number) {
        Fail(std::string("\"").append(text).append("\" is not a number"));
        return std::nullopt;
      }
      return Variant::R8(*number);
    }
    if (type == "text") {
      std::optional<std::u16string> value = Unescape(text);
      if (!value) {
        Fail("the text has a backslash that is not \\\\, \\t, \\n or \\r");
        return std::nullopt;
      }
      if (value->size() > kMaxCellText) {
        Fail("a cell holds at most 32767 characters");
        return std::nullopt;
      }
      return Variant::Text(std::move(*value));
    }
    if (type == "bool") {
      if (text == "TRUE" || text == "FALSE")
        return Variant::Bool(text == "TRUE");
      Fail("a bool is TRUE or FALSE");
      return std::nullopt;
    }
    if (type == "error") {
      for (std::uint8_t code : kErrorCodes) {
        if (CellErrorText(code) == text)
          return Variant::CellError(code);
      }
      Fail(std::string("\"").append(text).append("\" is not an error value"));
      return std::nullopt;
    }
    Fail(std::string("unknown type \"").append(type).append("\""));
    return std::nullopt;
  }

  SheetData& Sheet(const std::u16string& name) {
    std::size_t at = FindSheet(workbook_, name);
    if (at == workbook_.sheets.size()) {
      workbook_.sheets.push_back(std::make_shared<SheetData>());
      workbook_.sheets.back()->name = name;
    }
    return *workbook_.sheets[at];
  }

  LineResult Fail(const std::string& why) {
    messages_.Show(BoxCaption::Error, "line " + std::to_string(number_) + ": " + why);
    return LineResult::kFailed;
  }

  WorkbookData& workbook_;
  Messages& messages_;
  std::size_t number_ = 0;
};

}  // namespace

std::string ListWorkbook(const WorkbookData& workbook) {
  std::string out;
  for (const auto& sheet : workbook.sheets) {
    std::string name;
    AppendEscaped(name, sheet->name);
    out += name + "\t\t\tsheet\t\n";
    sheet->cells.ForEachUsed([&](std::uint32_t row, std::uint32_t column, const Cell& cell) {
      std::string place = name + '\t' + std::to_string(row) + '\t' + std::to_string(column) + '\t';
      if (!cell.value.IsEmpty()) {
        auto [type, value] = Describe(cell);
        out += place + type + '\t' + value + '\n';
      }
      if (cell.fill)
        out += place + "fill\t" + std::to_string(cell.fill) + '\n';
    });
  }
  return out;
}

std::optional<WorkbookData> ParseListing(std::string_view text, Messages& messages) {
  WorkbookData workbook;
  ListingParser parser(workbook, messages);
  std::size_t number = 0;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.empty())
      continue;
    if (parser.Line(number, line) != ListingParser::LineResult::kRead)
      return std::nullopt;
  }
  if (workbook.sheets.empty()) {
    messages.Show(BoxCaption::Error, "a workbook needs at least one sheet");
    return std::nullopt;
  }
  return workbook;
}

}  // namespace nuv::workbook
