#include "workbook/variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "platform/errors.h"
#include "workbook/utf16.h"

namespace nuv::workbook {

std::string_view CellErrorText(std::uint8_t code) {
  switch (code) {
    case kErrorNull:
      return "#NULL!";
    case kErrorDiv0:
      return "#DIV/0!";
    case kErrorValue:
      return "#VALUE!";
    case kErrorRef:
      return "#REF!";
    case kErrorName:
      return "#NAME?";
    case kErrorNum:
      return "#NUM!";
    case kErrorNA:
      return "#N/A";
    default:
      return {};
  }
}

Variant Variant::Text(std::string_view utf8) {
  return Text(Utf8ToUtf16(utf8));
}

Variant Variant::Object(DispatchRef object) {
  return Variant(VT_DISPATCH, std::move(object));
}

Variant Variant::Array(std::shared_ptr<const ValueArray> array) {
  return Variant(VT_VARIANT_ARRAY, std::move(array));
}

bool Variant::IsMissing() const {
  return type_ == VT_ERROR && ErrorCode() == DISP_E_PARAMNOTFOUND;
}

bool Variant::IsNumber() const {
  switch (type_) {
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI4:
    case VT_UI8:
    case VT_R8:
      return true;
    default:
      return false;
  }
}

double Variant::AsDouble() const {
  if (const auto* d = std::get_if<double>(&value_))
    return *d;
  if (const auto* i = std::get_if<std::int64_t>(&value_))
    return static_cast<double>(*i);
  if (const auto* u = std::get_if<std::uint64_t>(&value_))
    return static_cast<double>(*u);
  return 0;
}

std::int64_t Variant::AsInt() const {
  if (const auto* i = std::get_if<std::int64_t>(&value_))
    return *i;
  if (const auto* u = std::get_if<std::uint64_t>(&value_))
    return static_cast<std::int64_t>(*u);
  if (const auto* d = std::get_if<double>(&value_)) {
    // Rounds half to even, as the automation interface converts.
    double r = std::nearbyint(*d);
    if (r >= -9.2e18 && r <= 9.2e18)
      return static_cast<std::int64_t>(r);
  }
  return 0;
}

std::uint8_t Variant::CellErrorCode() const {
  std::uint32_t code = ErrorCode();
  if (code < kCellErrorBase || code > kCellErrorBase + 0xFF)
    return 0xFF;
  auto small = static_cast<std::uint8_t>(code - kCellErrorBase);
  return CellErrorText(small).empty() ? 0xFF : small;
}

std::string Variant::AsUtf8() const {
  return Utf16ToUtf8(AsText());
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.type_ != b.type_)
    return false;
  if (a.type_ == VT_VARIANT_ARRAY)
    return a.AsArray() == b.AsArray();
  return a.value_ == b.value_;
}

namespace {

[[noreturn]] void TypeMismatch() {
  throw AutomationError("Type mismatch.");
}

double NumberOf(const Variant& value) {
  switch (value.type()) {
    case VT_EMPTY:
      return 0;
    case VT_BOOL:
      return value.AsBool() ? -1 : 0;
    case VT_BSTR: {
      std::string text = value.AsUtf8();
      double parsed = 0;
      auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
      if (text.empty() || error != std::errc() || end != text.data() + text.size())
        TypeMismatch();
      return parsed;
    }
    default:
      if (!value.IsNumber())
        TypeMismatch();
      return value.AsDouble();
  }
}

// The nearest integer, or a type mismatch when it lies outside [low, high].
std::int64_t IntegerOf(const Variant& value, double low, double high) {
  if (value.type() == VT_I8 || value.type() == VT_UI8) {
    std::int64_t i = value.AsInt();
    bool negative_unsigned = value.type() == VT_UI8 && i < 0;
    if (negative_unsigned || static_cast<double>(i) < low || static_cast<double>(i) > high)
      TypeMismatch();
    return i;
  }
  double d = std::nearbyint(NumberOf(value));
  if (!(d >= low && d <= high))
    TypeMismatch();
  return static_cast<std::int64_t>(d);
}

}  // namespace

Variant ChangeType(const Variant& value, VarType type) {
  if (value.type() == type)
    return value;
  switch (type) {
    case VT_VARIANT:
      return value;
    case VT_EMPTY:
      return Variant();
    case VT_I2:
      return Variant::I2(static_cast<std::int16_t>(IntegerOf(value, -32768, 32767)));
    case VT_I4:
      return Variant::I4(static_cast<std::int32_t>(IntegerOf(value, -2147483648.0, 2147483647.0)));
    case VT_I8:
      return Variant::I8(IntegerOf(value, -9.2e18, 9.2e18));
    case VT_UI4:
      return Variant::UI4(static_cast<std::uint32_t>(IntegerOf(value, 0, 4294967295.0)));
    case VT_UI8:
      if (value.type() == VT_I8 && value.AsInt() >= 0)
        return Variant::UI8(static_cast<std::uint64_t>(value.AsInt()));
      return Variant::UI8(static_cast<std::uint64_t>(IntegerOf(value, 0, 9.2e18)));
    case VT_R8:
      return Variant::R8(NumberOf(value));
    case VT_BOOL:
      return Variant::Bool(NumberOf(value) != 0);
    case VT_BSTR: {
      if (value.type() == VT_BOOL)
        return Variant::Text(value.AsBool() ? "True" : "False");
      if (value.type() == VT_EMPTY)
        return Variant::Text(std::u16string());
      if (!value.IsNumber())
        TypeMismatch();
      if (value.type() != VT_R8)
        return Variant::Text(value.type() == VT_UI4 || value.type() == VT_UI8
                                 ? std::to_string(static_cast<std::uint64_t>(value.AsInt()))
                                 : std::to_string(value.AsInt()));
      char buffer[32];
      auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value.AsDouble());
      if (error != std::errc())
        TypeMismatch();
      return Variant::Text(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
    }
    default:
      TypeMismatch();
  }
}

void ValueArray::CheckIndices(std::uint32_t row, std::uint32_t column) const {
  if (row < 1 || row > rows_ || column < 1 || column > columns_) {
    throw AutomationError("Invalid index: element (" + std::to_string(row) + ", " +
                          std::to_string(column) + ") lies outside the array of " +
                          std::to_string(rows_) + " rows and " + std::to_string(columns_) +
                          " columns.");
  }
}

std::vector<ValueArray::Element>::const_iterator ValueArray::LowerBound(
    std::uint32_t row, std::uint32_t column) const {
  return std::lower_bound(elements_.begin(), elements_.end(), std::pair{row, column},
                          [](const Element& e, const std::pair<std::uint32_t, std::uint32_t>& at) {
                            return std::pair{e.row, e.column} < at;
                          });
}

Variant ValueArray::GetElement(std::uint32_t row, std::uint32_t column) const {
  CheckIndices(row, column);
  auto at = LowerBound(row, column);
  if (at == elements_.end() || at->row != row || at->column != column)
    return Variant();
  return at->value;
}

void ValueArray::Set(std::uint32_t row, std::uint32_t column, Variant value) {
  CheckIndices(row, column);
  const bool after_last =
      elements_.empty() ||
      std::pair{elements_.back().row, elements_.back().column} < std::pair{row, column};
  if (after_last) {
    if (!value.IsEmpty())
      elements_.push_back({row, column, std::move(value)});
    return;
  }
  auto at = elements_.begin() + (LowerBound(row, column) - elements_.begin());
  const bool present = at->row == row && at->column == column;
  if (value.IsEmpty()) {
    if (present)
      elements_.erase(at);
  } else if (present) {
    at->value = std::move(value);
  } else {
    elements_.insert(at, {row, column, std::move(value)});
  }
}

ValueArray ValueArray::FromVariant(const Variant& value) {
  if (value.type() == VT_VARIANT_ARRAY)
    return value.AsArray();
  ValueArray single(1, 1);
  single.Set(1, 1, value);
  return single;
}

}  // namespace nuv::workbook
