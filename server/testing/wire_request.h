// Upload requests built byte for byte as the control sends them (HTTP/1.0, boundary
// --K38Valet20020709, the "magic" index part first, then the Para fields and the file parts),
// and the parameter data file that goes with them.
#pragma once

#include <string>
#include <vector>

namespace server::testing {

struct WireFile {
  std::string name;  // code page 932 bytes, as in the part head's filename
  std::string data;
};

// The multipart body: index, Para fields (non-empty ones), files, closing delimiter.
std::string UploadBody(const std::vector<WireFile>& files,
                       const std::vector<std::string>& paras = {});

// The whole request: header block with the body's Content-Length, then the body.
std::string UploadRequest(const std::string& host, const std::string& body);

struct ParaRecipient {
  std::string name;
  std::string mail;
};
struct ParaListed {
  std::string name;
  long long size = 0;
};

// The parameter data file line (code page 932 text in, code page 932 bytes out).
std::string ParaFileLine(const std::string& sender, const std::string& productId,
                         const std::vector<ParaRecipient>& recipients, const std::string& message,
                         const std::vector<ParaListed>& sources,
                         const std::vector<ParaListed>& works);

}  // namespace server::testing
