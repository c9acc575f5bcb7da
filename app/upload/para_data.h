// The parameter data file that describes one forward to the server: one line of fields in the
// ANSI code page, US between fields, RS between the three sections, GS for a line break of the
// message, and CR LF at its end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ParaRecipient {
  std::u16string SendName;
  std::u16string Email;
};

struct ParaFileEntry {
  std::u16string name;
  int32_t size = 0;
};

struct ParaData {
  std::u16string sendName;
  std::u16string productId;
  std::vector<ParaRecipient> recipients;  // in order; fewer than five are padded with empty pairs
  std::u16string message;                 // line breaks as CR LF
  std::vector<ParaFileEntry> sources;     // each file's name and size as it was added
  std::vector<ParaFileEntry> works;       // each work file's name and size; empty and 0 if missing
};

// The file's one line, CR LF included. Blanks (U+0020) are removed from the file names; other
// characters, a full-width blank among them, are kept. No field is quoted or escaped.
std::u16string FormatParaDataLine(const ParaData& data);
