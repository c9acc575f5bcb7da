// Cutting received bytes into lines, as the HTTP and FTP engines read their replies.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "control/engine/socket/byte_buffer.h"

// Takes the next line from the unread part of buffer (from readOffset on). A line ends at LF
// or at CR LF; a CR not followed by LF belongs to the line. The terminator is replaced by 0 in
// the buffer and readOffset moves behind it; once everything is handed out the buffer is emptied
// and readOffset returns to 0. Nothing changes while no terminator has arrived.
std::optional<std::string> ExtractLine(ByteBuffer& buffer, int32_t& readOffset);

// A line handed to a caller's buffer of capacity bytes keeps at most capacity - 1 of them
// (room for the terminating 0); the rest is dropped.
std::string CutToCapacity(std::string line, int32_t capacity);

// Bytes a line may run to before its end arrives: a peer that never ends its line is refused
// with kLineTooLong (the WinSock code for a message too long) instead of filling memory.
inline constexpr int32_t kLineLimit = 64 * 1024;
inline constexpr int kLineTooLong = 10040;
