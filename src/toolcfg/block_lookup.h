#pragma once

#include <cstdint>
#include <string_view>

#include "image/block_table.h"
#include "support/messages.h"

namespace nuv::toolcfg {

// Lookups over the working block table, in table order; the first match
// wins. A miss shows its own message (application box) and gives null.
//
// Names are compared byte by byte over exactly `length` bytes, not stopping
// at a zero byte: a length shorter than the block name makes a prefix
// match, a length of 0 matches the first record. `name` counts as padded
// with zero bytes up to `length`, and no more than the 8 bytes of a block
// name are ever compared.

// "ERROR!! can not find block[NAME]in dmh!"
image::BlockRecord* FindBlockByName(image::BlockTable& table, std::string_view name, uint8_t length,
                                    Messages& messages);
const image::BlockRecord* FindBlockByName(const image::BlockTable& table, std::string_view name,
                                          uint8_t length, Messages& messages);

// "ERROR!! can not find block id[0xID]in dmh!"
image::BlockRecord* FindBlockById(image::BlockTable& table, uint8_t id, Messages& messages);
const image::BlockRecord* FindBlockById(const image::BlockTable& table, uint8_t id,
                                        Messages& messages);

// "ERROR!! can not find block [NAME] id[0xID]in dmh!"
image::BlockRecord* FindBlockByNameAndId(image::BlockTable& table, std::string_view name,
                                         uint8_t length, uint8_t id, Messages& messages);
const image::BlockRecord* FindBlockByNameAndId(const image::BlockTable& table,
                                               std::string_view name, uint8_t length, uint8_t id,
                                               Messages& messages);

}  // namespace nuv::toolcfg
