#include "components/tta/file_transcode.h"

#include <new>

#include "components/tta/file_stream.h"
#include "components/tta/parallel_transcode.h"

namespace tta {
namespace {

// Creates the output only when the first byte is written: the source's headers are read
// before that, so a source that cannot be converted leaves an existing file at the output
// path untouched.
class DeferredOutput final : public ByteSink {
 public:
  DeferredOutput(const std::string& path, const InputFile& source) : path_(path), source_(source) {}
  void Write(const uint8_t* data, size_t size) override { file().Write(data, size); }
  void WriteAt(uint64_t offset, const uint8_t* data, size_t size) override {
    file().WriteAt(offset, data, size);
  }
  void Commit() { file().Commit(); }

 private:
  OutputFile& file() {
    if (!file_) file_ = CreateOutputFile(path_, source_);
    return *file_;
  }

  const std::string& path_;
  const InputFile& source_;
  std::unique_ptr<OutputFile> file_;
};

}  // namespace

Status ConvertFile(Conversion convert, const std::string& sourcePath, const std::string& outputPath,
                   const ProgressFn& progress) {
  try {
    if (sourcePath.empty() || outputPath.empty()) return Status::kInvalidArguments;
    const auto source = OpenInputFile(sourcePath);
    DeferredOutput output(outputPath, *source);
    convert(*source, source->size(), output, progress);
    output.Commit();
    return Status::kOk;
  } catch (const CodecError& error) {
    return error.status();
  } catch (const std::bad_alloc&) {
    return Status::kOutOfMemory;
  } catch (...) {
    return Status::kInternalError;
  }
}

Status EncodeFile(const std::string& wavPath, const std::string& ttaPath,
                  const ProgressFn& progress) {
  return ConvertFile(
      [](ByteSource& wav, uint64_t size, ByteSink& tta, const ProgressFn& report) {
        EncodeWavToTtaInParallel(wav, size, tta, report);
      },
      wavPath, ttaPath, progress);
}

Status DecodeFile(const std::string& ttaPath, const std::string& wavPath,
                  const ProgressFn& progress) {
  return ConvertFile(
      [](ByteSource& tta, uint64_t size, ByteSink& wav, const ProgressFn& report) {
        DecodeTtaToWavInParallel(tta, size, wav, report);
      },
      ttaPath, wavPath, progress);
}

}  // namespace tta
