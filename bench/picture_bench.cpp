// Loading picture files that claim to be large, hostile or real: each must be loaded or
// refused quickly and within bounded memory. The peak memory of one load is measured in a
// child process of its own, so that earlier loads do not count.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include "picture_files.h"
#include "view/picture_file.h"

namespace pyra {
namespace {

using testing::BitmapFile;
using testing::MetafileFile;

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The peak resident memory, in MB, that one load adds to a fresh child process.
double LoadPeakMegabytes(const QString& path) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    const long before = PeakKilobytes();
    const QImage picture = LoadPictureFile(path);
    const long grown = PeakKilobytes() - before;
    (void)!write(fds[1], &grown, sizeof grown);
    _exit(picture.isNull() ? 1 : 0);
  }
  close(fds[1]);
  long grown = -1024;
  (void)!read(fds[0], &grown, sizeof grown);
  close(fds[0]);
  waitpid(child, nullptr, 0);
  return grown / 1024.0;
}

void Load(benchmark::State& state, const QByteArray& bytes, const char* name) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QString::fromLatin1(name));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    state.SkipWithError("cannot write the file");
    return;
  }
  file.close();
  bool loaded = false;
  for (auto _ : state) {
    const QImage picture = LoadPictureFile(path);
    loaded = !picture.isNull();
    benchmark::DoNotOptimize(picture);
  }
  state.counters["loaded"] = loaded;
  state.counters["peak_MB"] = LoadPeakMegabytes(path);
}

// Metafiles whose frames declare the picture's size in pixels (96 units to the inch).
BENCHMARK_CAPTURE(Load, wmf_8192x8192_declared, MetafileFile(8192, 8192, 96), "big.wmf")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, wmf_5700x5700_declared, MetafileFile(5700, 5700, 96), "big.wmf")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, wmf_32767x32767_at_1dpi, MetafileFile(32767, 32767, 1), "big.wmf")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, wmf_4096x4096_largest, MetafileFile(4096, 4096, 96), "big.wmf")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, wmf_8192x2048_largest_wide, MetafileFile(8192, 2048, 96), "wide.wmf")
    ->Unit(benchmark::kMillisecond);
// Bitmaps: headers that promise more than the file holds, and the largest real ones.
BENCHMARK_CAPTURE(Load, bmp_8192x8192_1bit, BitmapFile(8192, 8192, 1, true), "big.bmp")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, bmp_30000x30000_header_only, BitmapFile(30000, 30000, 24, false), "big.bmp")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, bmp_4096x4096_header_only, BitmapFile(4096, 4096, 24, false), "cut.bmp")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, bmp_4096x4096_24bit_largest, BitmapFile(4096, 4096, 24, true), "big.bmp")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, bmp_4096x4096_1bit_largest, BitmapFile(4096, 4096, 1, true), "big.bmp")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pyra
