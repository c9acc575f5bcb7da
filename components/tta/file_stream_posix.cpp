#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "components/tta/file_stream.h"
#include "components/tta/status.h"

namespace tta {
namespace {

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(int fd, const struct stat& info) : fd_(fd), info_(info) {}
  ~PosixInputFile() override { close(fd_); }

  size_t Read(uint8_t* data, size_t size) override {
    for (;;) {
      const ssize_t got = read(fd_, data, size);
      if (got >= 0) return static_cast<size_t>(got);
      if (errno != EINTR) throw CodecError(Status::kReadFailed);
    }
  }
  uint64_t size() const override { return static_cast<uint64_t>(info_.st_size); }
  const struct stat& info() const { return info_; }

 private:
  int fd_;
  struct stat info_;
};

class PosixOutputFile : public OutputFile {
 public:
  PosixOutputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) {
      close(fd_);
      unlink(path_.c_str());
    }
  }

  void Write(const uint8_t* data, size_t size) override {
    while (size > 0) {
      const ssize_t put = write(fd_, data, size);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) throw CodecError(Status::kOutputNotWritable);
      data += put;
      size -= static_cast<size_t>(put);
    }
  }
  void WriteAt(uint64_t offset, const uint8_t* data, size_t size) override {
    while (size > 0) {
      const ssize_t put = pwrite(fd_, data, size, static_cast<off_t>(offset));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) throw CodecError(Status::kOutputNotWritable);
      data += put;
      size -= static_cast<size_t>(put);
      offset += static_cast<uint64_t>(put);
    }
  }
  void Commit() override {
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
      unlink(path_.c_str());
      throw CodecError(Status::kOutputNotWritable);
    }
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw CodecError(Status::kSourceMissing);
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    throw CodecError(Status::kSourceMissing);
  }
  return std::make_unique<PosixInputFile>(fd, info);
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path, const InputFile& source) {
  const auto& sourceInfo = static_cast<const PosixInputFile&>(source).info();
  struct stat existing;
  if (stat(path.c_str(), &existing) == 0 && existing.st_dev == sourceInfo.st_dev &&
      existing.st_ino == sourceInfo.st_ino) {
    throw CodecError(Status::kInvalidArguments);
  }
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw CodecError(Status::kOutputNotWritable);
  return std::make_unique<PosixOutputFile>(fd, path);
}

}  // namespace tta
