// A new-format sample whose workbook must come back byte for byte: 64-bit
// values that a spreadsheet cell (a double) can only round, and texts in
// Windows-1252 with every byte from 0x01 to 0xFF: text values, item and
// block names, titles and descriptions.
#include "sample_codepage.h"

#include <string>
#include <utility>
#include <vector>

#include "image_builder.h"
#include "sample_set.h"
#include "sample_toolcfg.h"

namespace nuv::samples {
namespace {

// The script's bytes are Windows-1252 (0xFC is "ü", 0xE4 "ä"); the
// text items of "texte" are added by Script().
constexpr char kScriptStart[] =
    "// Tool-config script of the code-page sample: Windows-1252 texts.\n"
    "FLASH=8M\n"
    "CFGHEADER=toolcfg\n"
    "\n"
    "SHEETID=2\n"
    "SHEETINFO=Schl\xFCssel][Wert][Min][Max][Beschreibung\n"
    "BLOCKINFO=gro\xDF]\n"
    "EM=1\n"
    "INDEX=0x31\n"
    "[Seriennummer][0][0][64][Gr\xF6\xDF"
    "er als 2^53];\n"
    "[Alle Bits][0][64][64][Jedes Bit gesetzt \xA9];\n"
    "[Knapp][0][128][54][2^53 + 1];\n"
    "[Ungerade][0][197][61][61 Bits ab Bit 197];\n"
    "[Lautst\xE4rke][2][264][8][0][100][Lautst\xE4rke beim Einschalten];\n"
    "\n"
    "SHEETID=4\n"
    "SHEETINFO=Block][Datei\n"
    "BLOCKINFO=d\xE4tei]\n"
    "EM=3\n"
    "INDEX=0x33\n"
    "\n"
    "SHEETID=3\n"
    "SHEETINFO=Eintrag][Text \x80\n"
    "BLOCKINFO=texte]\n"
    "INDEX=0x32\n";

// Each text item holds up to 19 bytes and its terminator.
constexpr std::size_t kTextStride = 20;
constexpr std::size_t kTextBytes = 19;

// Bytes 0x01 to 0xFF, in text values of 19 bytes each.
std::vector<std::string> TextValues() {
  std::vector<std::string> values;
  for (int byte = 1; byte <= 0xFF; ++byte) {
    if ((byte - 1) % kTextBytes == 0)
      values.emplace_back();
    values.back().push_back(static_cast<char>(byte));
  }
  return values;
}

// The first name holds the five bytes that Windows-1252 leaves undefined.
std::string TextItemName(std::size_t k) {
  return k == 0 ? std::string("Frei \x81\x8D\x8F\x90\x9D") : "Zeichen " + std::to_string(k);
}

std::string Script() {
  std::string script = kScriptStart;
  const std::size_t count = TextValues().size();
  for (std::size_t k = 0; k < count; ++k) {
    script += '[';
    script += TextItemName(k);
    script += "][1][" + std::to_string(8 * kTextStride * k) + "][0];\n";
  }
  return script;
}

void PutBits(std::vector<uint8_t>& bytes, uint64_t position, uint32_t length, uint64_t value) {
  for (uint32_t i = 0; i < length; ++i, ++position) {
    const uint8_t mask = static_cast<uint8_t>(1u << (position % 8));
    if ((value >> i) & 1)
      bytes.at(position / 8) |= mask;
    else
      bytes.at(position / 8) &= static_cast<uint8_t>(~mask);
  }
}

std::vector<uint8_t> CodePageImage() {
  // The bits between the fields keep the pattern they were given.
  std::vector<uint8_t> wide = PatternBytes(40, 0x31);
  PutBits(wide, 0, 64, kSampleSerial);
  PutBits(wide, 64, 64, ~uint64_t{0});
  PutBits(wide, 128, 54, (uint64_t{1} << 53) + 1);
  PutBits(wide, 197, 61, 0x1ABCDEF012345679u);
  PutBits(wide, 8 * kCodePageVolumeByte, 8, kCodePageVolume);

  const std::vector<std::string> values = TextValues();
  std::vector<uint8_t> texts(kTextStride * values.size(), 0);
  for (std::size_t k = 0; k < values.size(); ++k)
    std::copy(values[k].begin(), values[k].end(),
              texts.begin() + static_cast<std::ptrdiff_t>(kTextStride * k));

  NewFormatPlan plan;
  BankPlan bank;
  bank.sdram_size = 64u << 20;
  bank.blocks.push_back(ToolConfigSampleBlock(0x31, "gro\xDF", std::move(wide)));
  bank.blocks.push_back(ToolConfigSampleBlock(0x32, "texte", std::move(texts)));
  bank.blocks.push_back(ToolConfigSampleBlock(0x33, "d\xE4tei", PatternBytes(64, 0x33)));
  const std::string script = Script();
  bank.blocks.push_back(ToolConfigSampleBlock(0x40, "toolcfg", GzipCompress(TextBytes(script))));
  plan.banks.push_back(std::move(bank));
  return BuildNewFormatImage(plan).bytes;
}

void GenerateCodePageSamples(std::vector<SampleFile>& out) {
  out.push_back({"codepage/script-codepage.cfg", TextBytes(Script())});
  out.push_back({"codepage/new-codepage.bin", CodePageImage()});
}

GeneratorRegistration registration("codepage", &GenerateCodePageSamples);

}  // namespace
}  // namespace nuv::samples
