#include "legacy/field_edit.h"

#include <algorithm>

#include "common/bytes.h"
#include "common/numbers.h"
#include "image/crc32.h"
#include "legacy/field_bits.h"

namespace nuv::legacy {
namespace {

constexpr std::string_view kStringTooLong = "String too long!";
constexpr std::string_view kStale =
    "The script was parsed again: the fields of this dialog are no longer written.";

std::string OutsideMessage(const ScriptField& field) {
  return "Field data error! The field " + field.name + " lies outside the flash image.";
}

FieldInput InputFor(uint8_t type) {
  switch (type) {
    case kNumberField:
    case kTextField:
      return FieldInput::kEdit;
    case kListField:
      return FieldInput::kList;
    default:
      return FieldInput::kNone;
  }
}

bool IsValueField(const ScriptField& field) {
  return field.type == kNumberField || field.type == kListField;
}

// Whether OK can write the field at `base`; shows why not.
bool Placeable(std::span<const uint8_t> bytes, uint64_t base, const ScriptField& field,
               Messages& messages) {
  if (IsValueField(field)) {
    if (ReadFieldBits(bytes, FieldFirstBit(base, field), field.bit_length))
      return true;
  } else {
    const ByteSpan span = TextFieldBytes(base, field);
    if (span.count > kMaxTextBytes) {
      messages.Show(BoxCaption::Error, kStringTooLong);
      return false;
    }
    if (common::InRange(bytes.size(), span.first, span.count))
      return true;
  }
  messages.Show(BoxCaption::Error, OutsideMessage(field));
  return false;
}

// The value OK writes into a number or list field: the number in its edit
// (0 when there is none), or the item selected in its list.
uint64_t AnsweredValue(const ScriptField& field, const FieldView& view, const FieldAnswer& answer) {
  if (field.type == kNumberField)
    return common::ReadUnsignedEdit(answer.text).value_or(0);
  if (view.items.empty())
    return field.list_start;
  return view.items[std::min(answer.selected, view.items.size() - 1)];
}

// Whether the value fits the field's bits; shows why not. Writing only its
// low bits would store another number than the one the user gave.
bool Fits(uint64_t value, const ScriptField& field, Messages& messages) {
  const uint32_t bits = std::min(field.bit_length, kMaxValueBits);
  const uint64_t largest = (uint64_t{1} << bits) - 1;
  if (value <= largest)
    return true;
  messages.Show(BoxCaption::Error, "Field data error! The value " + std::to_string(value) +
                                       " does not fit the field " + field.name + " (" +
                                       std::to_string(bits) + " bits): its largest value is " +
                                       std::to_string(largest) + ".");
  return false;
}

}  // namespace

FieldSheet LoadFields(const image::FlashImage& image, LegacyBlockList& list, BlockHandle block,
                      Messages& messages) {
  FieldSheet sheet;
  sheet.block = block;
  ScriptBlock* target = list.Find(block);
  if (target == nullptr)
    return sheet;
  sheet.described = target->em == kDescribedFieldBlock;
  const auto base = FindBlockBase(image, *target, messages);
  if (!base)
    return sheet;
  const std::span<const uint8_t> bytes = image.bytes();
  for (ScriptField& field : target->fields) {
    FieldView& view = sheet.fields.emplace_back();
    view.input = InputFor(field.type);
    if (field.type == kListField)
      view.items = ListItems(field);
    if (!IsValueField(field))
      field.value = 0;
    if (!Placeable(bytes, base->byte, field, messages))
      break;
    if (IsValueField(field)) {
      field.value = *ReadFieldBits(bytes, FieldFirstBit(base->byte, field), field.bit_length);
      field.text.clear();
      if (field.type == kListField) {
        const auto found = std::find(view.items.begin(), view.items.end(), field.value);
        view.selected =
            found == view.items.end() ? 0 : static_cast<size_t>(found - view.items.begin());
      } else {
        view.text = std::to_string(field.value);
      }
    } else {
      const ByteSpan span = TextFieldBytes(base->byte, field);
      const auto text = bytes.subspan(span.first, span.count);
      field.text.assign(text.begin(), text.end());
      view.text.assign(text.begin(), std::find(text.begin(), text.end(), uint8_t{0}));
    }
    // A list that offers no values gives nothing to choose: its bits stay.
    view.writable =
        view.input == FieldInput::kEdit || (view.input == FieldInput::kList && !view.items.empty());
  }
  return sheet;
}

StoreResult StoreFields(image::FlashImage& image, LegacyBlockList& list, const FieldSheet& sheet,
                        std::span<const FieldAnswer> answers, Messages& messages) {
  ScriptBlock* target = list.Find(sheet.block);
  if (target == nullptr) {
    messages.Show(BoxCaption::Error, kStale);
    return StoreResult::kRefused;
  }
  const auto base = FindBlockBase(image, *target, messages);
  if (!base)
    return StoreResult::kRefused;
  const size_t count = std::min({sheet.fields.size(), answers.size(), target->fields.size()});
  // Every field is checked before the first one is written.
  std::vector<uint64_t> values(count);
  for (size_t i = 0; i < count; ++i) {
    const ScriptField& field = target->fields[i];
    if (!sheet.fields[i].writable)
      continue;
    if (!Placeable(image.bytes(), base->byte, field, messages))
      return StoreResult::kRefused;
    if (IsValueField(field)) {
      values[i] = AnsweredValue(field, sheet.fields[i], answers[i]);
      if (!Fits(values[i], field, messages))
        return StoreResult::kRefused;
    }
  }

  const std::span<uint8_t> bytes = image.mutable_bytes();
  for (size_t i = 0; i < count; ++i) {
    const FieldAnswer& answer = answers[i];
    ScriptField& field = target->fields[i];
    if (!sheet.fields[i].writable)
      continue;
    if (IsValueField(field)) {
      field.value = static_cast<uint32_t>(values[i]);
      // Every field was found placeable above.
      static_cast<void>(
          WriteFieldBits(bytes, FieldFirstBit(base->byte, field), field.bit_length, field.value));
      continue;
    }
    // A text field: the typed characters and a zero byte over the bytes
    // read at the set-up, so what follows the zero byte stays as it was.
    field.value = 0;
    const ByteSpan span = TextFieldBytes(base->byte, field);
    if (span.count == 0)
      continue;
    field.text.resize(span.count);
    const size_t typed = std::min<size_t>(answer.text.size(), span.count - 1);
    std::copy_n(answer.text.begin(), typed, field.text.begin());
    field.text[typed] = 0;
    std::copy(field.text.begin(), field.text.end(),
              bytes.begin() + static_cast<ptrdiff_t>(span.first));
  }

  if (base->entry) {
    image::BlockEntry& entry = image.legacy_entries[*base->entry];
    if (!entry.has_no_crc())
      entry.set_crc(
          image::UpdateCrc(image::kCrcStart, bytes.subspan(entry.offset(), entry.size())));
  }
  return StoreResult::kStored;
}

std::string TipText(const ScriptField& field) {
  std::string out;
  const std::string& text = field.description;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out.push_back('\n');
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace nuv::legacy
