// The message the upload window shows when the compressor refuses a WAV file of the forward.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Names the file and tells why, from the compressor's result code; a code the compressor
// library does not document here is shown as its number.
std::u16string CompressFailureMessage(std::u16string_view filePath, int32_t result);
