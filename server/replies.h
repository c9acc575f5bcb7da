// The texts the server answers with: the history reply, the saved size, the download
// descriptor, and the names files are offered under.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/forward_record.h"

namespace server {

// A WAV source travels as a TTA work file and is offered under the source name with the
// extension tta; every other file under its own name. Never under the work file's name: the
// application percent-encodes that one, and the receiver would keep the encoded name.
std::string OfferedName(std::string_view sourceName);

// "yyyy/mm/dd hh:mm:ss" in the server's local time.
std::string FormatForwardDate(std::int64_t secondsSinceEpoch);

// Code page 932 bytes: per forward the five name/mail pairs, the date, "0" kept or "1" deleted,
// then name and size of each kept file, US between fields, CR LF after each record.
std::string HistoryReply(const std::vector<ForwardRecord>& forwards);

// The bytes of the kept files of forwards that were not deleted, capped at the largest 32-bit
// signed number because the application reads the reply into one.
std::string SavedSizeReply(const std::vector<ForwardRecord>& forwards);

// Code page 932 bytes: one absolute URL per file, CR LF after each, names not encoded. A file
// whose name is not offerable is left out, and nothing is listed when the base URL or the
// identifier holds a character a URL does not.
std::string DescriptorText(std::string_view baseUrl, const ForwardRecord& forward);

// The path under which a forward's file is downloaded (without the base URL), UTF-8.
std::string FileUrlPath(const ForwardRecord& forward, std::string_view offeredName);

}  // namespace server
