// The scan of 5000 charts against the least any program could do to read the same headers: list the
// folder, then open each chart, read 300 bytes and close it, and find its music in the listing. A plain
// program rather than a Google Benchmark one, so that it builds for Windows too and runs under Wine,
// where the cost of each call into the system is what decides.
//
//   vxscanfloor [--songs N] [--rounds R]
//
// Prints the median of each side over R alternating rounds and their ratio.
#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/library/scan.h"
#include "core/text/native_path.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

// How many charts the loop read whole headers of (so nothing is optimized away).
std::size_t FloorLoop(const std::filesystem::path& folder) {
  std::size_t found = 0;
#ifdef _WIN32
  std::vector<std::wstring> charts;
  std::set<std::wstring> names;
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW((folder / L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = data.cFileName;
    names.insert(name);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, L".vxn") == 0) charts.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  for (const std::wstring& name : charts) {
    const HANDLE file = CreateFileW((folder / name).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    char header[300];
    DWORD got = 0;
    if (ReadFile(file, header, sizeof header, &got, nullptr) && got == sizeof header &&
        names.count(name.substr(0, name.size() - 1) + L"m"))
      ++found;
    CloseHandle(file);
  }
#else
  std::vector<std::string> charts;
  std::set<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    names.insert(name);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".vxn") == 0) charts.push_back(name);
  }
  for (const std::string& name : charts) {
    const int fd = ::openat(::dirfd(dir), name.c_str(), O_RDONLY);
    if (fd < 0) continue;
    char header[300];
    if (::read(fd, header, sizeof header) == static_cast<ssize_t>(sizeof header) &&
        names.count(name.substr(0, name.size() - 1) + "m"))
      ++found;
    ::close(fd);
  }
  ::closedir(dir);
#endif
  return found;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int songs = 5000, rounds = 11;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--songs") == 0) songs = std::clamp(std::atoi(argv[i + 1]), 1, 5000);
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::clamp(std::atoi(argv[i + 1]), 1, 1001);
  }
  vx::fixtures::TempDir place;
  for (int id = 0; id < songs; ++id) {
    vx::fixtures::ChartSpec recipe;
    recipe.title = "Song " + std::to_string(id);
    vx::fixtures::WriteSong(place.Native(), id, recipe);
  }
  std::vector<double> ours, floor;
  std::size_t rows = 0, read = 0;
  for (int round = 0; round < rounds; ++round) {
    auto start = Clock::now();
    rows = vx::ScanMusicFolder(place.Gbk()).size();
    ours.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    start = Clock::now();
    read = FloorLoop(place.Path());
    floor.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  if (rows != static_cast<std::size_t>(songs) || read != static_cast<std::size_t>(songs)) {
    std::fprintf(stderr, "vxscanfloor: the scan found %zu songs and the loop %zu, of %d\n", rows, read,
                 songs);
    return 1;
  }
  const double oursMs = Median(ours), floorMs = Median(floor);
  std::printf("scan of %d charts: ours %.1f ms, floor %.1f ms (medians of %d rounds), ratio %.2f\n", songs,
              oursMs, floorMs, rounds, oursMs / floorMs);
  return 0;
}
