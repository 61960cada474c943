#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nuv::workbook {

class Dispatch;
using DispatchRef = std::shared_ptr<Dispatch>;
class ValueArray;

// The automation value types the tool and the spreadsheet exchange. The
// numbers are those of the automation interface, so a value's type reads the
// same here as in a trace of the original tool.
enum VarType : std::uint16_t {
  VT_EMPTY = 0,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R8 = 5,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_ARRAY = 0x2000,
};
// The type of Range.Value2 for several cells: an array of VARIANTs.
inline constexpr VarType VT_VARIANT_ARRAY = static_cast<VarType>(VT_ARRAY | VT_VARIANT);

// Status codes carried by VT_ERROR values and by automation failures.
inline constexpr std::uint32_t DISP_E_PARAMNOTFOUND = 0x80020004;
inline constexpr std::uint32_t DISP_E_TYPEMISMATCH = 0x80020005;
inline constexpr std::uint32_t DISP_E_BADINDEX = 0x8002000B;

// The error values a cell can hold, as the spreadsheet hands them over:
// 0x800A0000 | (2000 + the file format's error code), e.g. #DIV/0! is 2007.
inline constexpr std::uint32_t kCellErrorBase = 0x800A0000u + 2000u;
inline constexpr std::uint8_t kErrorNull = 0x00, kErrorDiv0 = 0x07, kErrorValue = 0x0F,
                              kErrorRef = 0x17, kErrorName = 0x1D, kErrorNum = 0x24,
                              kErrorNA = 0x2A;
// "#DIV/0!" for code 0x07, or empty for a code that names no cell error.
std::string_view CellErrorText(std::uint8_t code);

// An automation VARIANT: a type tag and its value. Copies are deep for
// texts and share the (immutable) array of an array value; an object value
// is one more reference to the object.
class Variant {
 public:
  Variant() = default;
  static Variant I2(std::int16_t value) { return Variant(VT_I2, std::int64_t{value}); }
  static Variant I4(std::int32_t value) { return Variant(VT_I4, std::int64_t{value}); }
  static Variant I8(std::int64_t value) { return Variant(VT_I8, value); }
  static Variant UI4(std::uint32_t value) { return Variant(VT_UI4, std::uint64_t{value}); }
  static Variant UI8(std::uint64_t value) { return Variant(VT_UI8, value); }
  static Variant R8(double value) { return Variant(VT_R8, value); }
  static Variant Bool(bool value) { return Variant(VT_BOOL, std::int64_t{value ? -1 : 0}); }
  // A cell error value (code as in the file format, e.g. 0x07) or any
  // status code such as DISP_E_PARAMNOTFOUND.
  static Variant Error(std::uint32_t scode) { return Variant(VT_ERROR, std::uint64_t{scode}); }
  static Variant CellError(std::uint8_t code) { return Error(kCellErrorBase + code); }
  static Variant Text(std::u16string text) { return Variant(VT_BSTR, std::move(text)); }
  static Variant Text(std::string_view utf8);
  static Variant Object(DispatchRef object);
  static Variant Array(std::shared_ptr<const ValueArray> array);

  VarType type() const { return type_; }
  bool IsEmpty() const { return type_ == VT_EMPTY; }
  // True for the value passed in place of an omitted optional argument.
  bool IsMissing() const;
  bool IsNumber() const;

  // Accessors; each is only meaningful for its own types (checked by the
  // caller through type()). Numeric accessors convert between the numeric
  // types as the automation interface would.
  double AsDouble() const;
  std::int64_t AsInt() const;
  bool AsBool() const { return std::get<std::int64_t>(value_) != 0; }
  std::uint32_t ErrorCode() const {
    return static_cast<std::uint32_t>(std::get<std::uint64_t>(value_));
  }
  // The file format's code of a cell error value, or 0xFF for another code.
  std::uint8_t CellErrorCode() const;
  const std::u16string& AsText() const { return std::get<std::u16string>(value_); }
  std::string AsUtf8() const;
  const DispatchRef& AsObject() const { return std::get<DispatchRef>(value_); }
  const ValueArray& AsArray() const { return *std::get<std::shared_ptr<const ValueArray>>(value_); }
  std::shared_ptr<const ValueArray> ShareArray() const {
    return std::get<std::shared_ptr<const ValueArray>>(value_);
  }

  friend bool operator==(const Variant& a, const Variant& b);

 private:
  using Storage = std::variant<std::monostate, std::int64_t, std::uint64_t, double, std::u16string,
                               DispatchRef, std::shared_ptr<const ValueArray>>;
  Variant(VarType type, Storage value) : type_(type), value_(std::move(value)) {}

  VarType type_ = VT_EMPTY;
  Storage value_;
};

// Converts a value to another type the way the automation interface
// coerces arguments: between numbers, booleans and texts (a text must be a
// whole decimal number). Throws nuv::AutomationError "Type mismatch." when
// the value cannot be converted.
Variant ChangeType(const Variant& value, VarType type);

// What Range.Value2 returns for several cells: a two-dimensional array whose
// indices start at 1, row first. GetElement hands out copies. Only elements
// that hold a value take memory: a range from A1 to a stray cell far away
// (A1:IV65536 is 16.7 million elements) costs what its used cells cost.
class ValueArray {
 public:
  ValueArray() = default;
  // An array whose elements are all empty.
  ValueArray(std::uint32_t rows, std::uint32_t columns) : rows_(rows), columns_(columns) {}

  std::uint32_t rows() const { return rows_; }
  std::uint32_t columns() const { return columns_; }
  // The element at (row, column), counted from 1; indices outside the array
  // raise nuv::AutomationError.
  Variant GetElement(std::uint32_t row, std::uint32_t column) const;
  // Fills an element while the array is built (an empty value empties it);
  // same indices as GetElement. Filling row by row, left to right, is the
  // quick order.
  void Set(std::uint32_t row, std::uint32_t column, Variant value);

  // An element that holds a value.
  struct Element {
    std::uint32_t row = 0;
    std::uint32_t column = 0;
    Variant value;
    friend bool operator==(const Element&, const Element&) = default;
  };
  // The elements that hold a value, row by row and within a row from left
  // to right; every other element is empty.
  std::span<const Element> stored() const { return elements_; }

  // Takes the array out of a value: an array value gives its array, any
  // single value a 1 x 1 array holding it.
  static ValueArray FromVariant(const Variant& value);

  friend bool operator==(const ValueArray&, const ValueArray&) = default;

 private:
  void CheckIndices(std::uint32_t row, std::uint32_t column) const;
  // The first element at or after (row, column).
  std::vector<Element>::const_iterator LowerBound(std::uint32_t row, std::uint32_t column) const;

  std::uint32_t rows_ = 0;
  std::uint32_t columns_ = 0;
  std::vector<Element> elements_;  // never empty values; row by row, left to right
};

}  // namespace nuv::workbook
