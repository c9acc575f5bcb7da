// tta: encodes WAV files to TTA and decodes them back (frames on one thread per processor), for
// benchmarks and interop checks.
//   tta encode IN.wav OUT.tta
//   tta decode IN.tta OUT.wav
// The exit code is the conversion's result code (the same numbers TTA_VB.dll returns), or
// 64 for a wrong command line. Ctrl-C stops the conversion and removes the partial output.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>

#include "components/tta/file_transcode.h"
#include "components/tta/progress_bar.h"

namespace {

constexpr int kUsageExit = 64;
constexpr unsigned kBarWidth = 40;

std::atomic<bool> interrupted{false};

void OnInterrupt(int) { interrupted = true; }

int Usage() {
  std::fputs(
      "usage: tta encode IN.wav OUT.tta\n"
      "       tta decode IN.tta OUT.wav\n"
      "exit code: 0 done, 1 source missing, 2 unsupported source, 3 output not writable,\n"
      "           4 damaged source, 5 read error, 6 output is the source, 9 interrupted\n",
      stderr);
  return kUsageExit;
}

// Draws the bar on a terminal only, and only when its percentage moves.
tta::ProgressFn MakeProgress(uint64_t total, bool onTerminal) {
  return [total, onTerminal, shown = 101u](uint64_t position) mutable {
    if (onTerminal) {
      const unsigned percent = tta::ProgressPercent(position, total);
      if (percent != shown) {
        shown = percent;
        std::fprintf(stderr, "\r%s", tta::RenderProgressBar(position, total, kBarWidth).c_str());
        std::fflush(stderr);
      }
    }
    return !interrupted.load();
  };
}

// The scale of the bar; a source that cannot be read fails in the conversion itself.
uint64_t FileSize(const char* path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  const std::string command = argv[1];
  const bool encode = command == "encode";
  if (!encode && command != "decode") return Usage();

  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  const bool onTerminal = isatty(STDERR_FILENO) != 0;
  const auto progress = MakeProgress(FileSize(argv[2]), onTerminal);
  const tta::Status status = encode ? tta::EncodeFile(argv[2], argv[3], progress)
                                    : tta::DecodeFile(argv[2], argv[3], progress);
  if (onTerminal) std::fputc('\n', stderr);
  if (status != tta::Status::kOk) {
    const char* reason = tta::Describe(status);
    if (status == tta::Status::kUnsupportedFormat) {
      reason = encode ? "not a WAV file of integer PCM with 8, 16 or 24 bits and 1 to 8 channels"
                      : "not a TTA1 file";
    }
    std::fprintf(stderr, "tta: %s %s: %s\n", encode ? "encoding" : "decoding", argv[2], reason);
  }
  return static_cast<int>(status);
}
