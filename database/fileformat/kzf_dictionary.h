// The preset dictionary of the native format's compression codec: one fixed
// block of 13,523 bytes of typical file content that starts the history of
// both the encoder and the decoder. Files decode correctly only with exactly
// these bytes, so the block is frozen (a checksum test guards it).
#pragma once

#include <cstdint>

constexpr int kKzfDictionarySize = 13523;

// Start of the part an encoder configured for format versions 36 and below
// presets (everything after the leading run of opcode names).
constexpr int kKzfDictionaryShortStart = 65;

// The dictionary bytes, kKzfDictionarySize of them; built on first use,
// read-only and shared afterwards.
const uint8_t* kzf_preset_dictionary();
