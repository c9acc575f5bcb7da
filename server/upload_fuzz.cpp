// What an uploader controls: the sequence of parts the multipart parser reports (names, file
// names, data), the index and the parameter data file. The receiver must keep its bounds, and
// a forward the checks accept must only offer names that make one address per descriptor line
// with nothing but URL characters before its last segment.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "server/offered_names.h"
#include "server/replies.h"
#include "server/upload_check.h"
#include "server/upload_receiver.h"

namespace {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}
  bool empty() const { return rest_.empty(); }
  std::uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto byte = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return byte;
  }
  // A text of a length the input chooses, up to `limit` bytes.
  std::string_view Text(std::size_t limit) {
    const std::size_t length = std::min<std::size_t>(Byte() % (limit + 1), rest_.size());
    std::string_view text = rest_.substr(0, length);
    rest_.remove_prefix(length);
    return text;
  }

 private:
  std::string_view rest_;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

// Every line of the descriptor is one address whose last segment is an offered name.
void CheckDescriptor(const server::UploadPlan& plan) {
  server::ForwardRecord forward;
  forward.id = "0123456789abcdef0123456789abcdef";
  for (const server::ListedFile& source : plan.para.sources) {
    Check(server::IsOfferableName(source.name));
    const std::string offered = server::OfferedName(source.name);
    forward.files.push_back({source.name, source.size, source.name, source.size, offered});
  }
  const std::string prefix = "http://127.0.0.1:8480/files/" + forward.id + "/";
  const std::string text = server::DescriptorText("http://127.0.0.1:8480", forward);
  std::size_t lines = 0;
  for (std::size_t start = 0; start < text.size(); ++lines) {
    const std::size_t end = text.find("\r\n", start);
    Check(end != std::string::npos);
    const std::string_view line(text.data() + start, end - start);
    Check(line.starts_with(prefix) && line.size() > prefix.size());
    Check(line.rfind('/') == prefix.size() - 1);
    for (char c : line) Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    start = end + 2;
  }
  Check(lines == forward.files.size());
}

// The same upload with a "magic" index first that tells the truth about the file parts, so
// that the checks behind the index are reached as often as a truthful sender reaches them.
server::ReceivedUpload WithTruthfulIndex(server::ReceivedUpload upload) {
  upload.parts.insert(upload.parts.begin(), {"magic", "", "", 0});
  upload.fields.insert(upload.fields.begin(), std::string());
  upload.stagedFiles.insert(upload.stagedFiles.begin(), std::filesystem::path());
  std::uint64_t files = 0;
  for (const server::ReceivedPart& part : upload.parts) files += part.filename.empty() ? 0 : 1;
  upload.parts[0].size = 20 * (files + 1);
  const std::vector<server::IndexEntry> layout =
      server::LayOutFileParts(upload.boundary, upload.parts);
  std::uint64_t total = 0;
  for (const server::IndexEntry& entry : layout) total += entry.size;
  auto pair = [](std::uint64_t a, std::uint64_t b) {
    char text[48];
    std::snprintf(text, sizeof text, "%09llu %09llu ", static_cast<unsigned long long>(a),
                  static_cast<unsigned long long>(b));
    return std::string(text);
  };
  std::string index = pair(files, total);
  for (const server::IndexEntry& entry : layout) index += pair(entry.offset, entry.size);
  upload.fields[0] = index;
  return upload;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path staging =
      std::filesystem::temp_directory_path() / ("orvane-upload-fuzz-" + std::to_string(getpid()));
  Input input(data, size);
  const std::string boundary(input.Text(70));
  server::UploadReceiver receiver(staging, boundary);
  bool going = true;
  bool ended = false;
  while (going && !ended && !input.empty()) {
    switch (input.Byte() % 4) {
      case 0: {
        const std::string_view name = input.Text(12);
        const std::string_view filename = input.Text(40);
        going = receiver.BeginPart(name, filename, input.Text(8));
        break;
      }
      case 1: {
        // Data in pieces of up to 255 bytes, repeated to reach the field cap at times.
        const std::string_view piece = input.Text(255);
        const int repeats = 1 + input.Byte() % 4 * 100;
        for (int i = 0; i < repeats && going; ++i)
          going = receiver.Append(piece.data(), piece.size());
        break;
      }
      case 2:
        going = receiver.Finish();
        break;
      default:
        ended = true;
        break;
    }
    const server::ReceivedUpload& upload = receiver.upload();
    Check(upload.parts.size() == upload.fields.size() &&
          upload.parts.size() == upload.stagedFiles.size());
    std::size_t fieldBytes = 0;
    for (const std::string& field : upload.fields) fieldBytes += field.size();
    Check(fieldBytes <= 64 << 10);
    Check(going == (receiver.failure() == server::UploadReceiver::Failure::kNone));
  }
  if (!going || !receiver.Finish()) return 0;

  const bool truthful = input.Byte() % 2 == 0;
  const server::ReceivedUpload upload =
      truthful ? WithTruthfulIndex(receiver.upload()) : receiver.upload();
  // As the server reads it: the staged file of the part that carries the parameter data.
  const std::optional<std::size_t> paraPart = server::FindParaPart(upload);
  std::string para;
  if (paraPart) {
    std::ifstream staged(upload.stagedFiles[*paraPart], std::ios::binary);
    para.assign(std::istreambuf_iterator<char>(staged), std::istreambuf_iterator<char>());
  }
  const std::optional<server::UploadPlan> plan = server::CheckUpload(upload, para);
  if (plan) {
    Check(plan->workParts.size() == plan->para.works.size());
    for (std::size_t i = 0; i < plan->workParts.size(); ++i) {
      const std::size_t part = plan->workParts[i];
      Check(part < upload.parts.size() && !upload.parts[part].filename.empty());
      Check(upload.parts[part].size == static_cast<std::uint64_t>(plan->para.works[i].size));
      for (std::size_t j = 0; j < i; ++j) Check(plan->workParts[j] != part);
    }
    CheckDescriptor(*plan);
  }
  for (const server::ReceivedPart& part : upload.parts) {
    server::IsOfferableName(server::BaseName(part.filename));
    server::IsUrlHost(part.name);
  }
  return 0;
}
