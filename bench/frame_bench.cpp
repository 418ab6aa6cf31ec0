// In-process figures: one Airfield update, the whole scene drawn into the
// off-screen bitmap through the headless backend, with a few or with very
// many takeoffs waiting on every runway, logging off or on; one text call
// drawing a line of 40 characters at size 20; and one call drawing a 64 x 64
// picture from a file, after its first.
//
// Each update is timed on its own, so the figures are true medians and 99th
// percentiles of single updates. Between two updates the bitmap is copied to
// the window and the queues are topped up, as the event wait and the
// driver's traffic would do; neither is part of the timed update.
//
// With --rows=FILE the figures are also written to FILE as table rows
// (measure, figure, goal, verdict), tab separated, for the bench runner.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/activity.h"
#include "app/airfield.h"
#include "app/main.h"
#include "kivet/display.h"
#include "kivet/event_wait.h"
#include "kivet/kivet.h"
// bench/run.sh builds this file against the tree before this one too,
// which may keep the in-memory platform under its earlier name.
#if __has_include("kivet/platform/headless/memory_platform.h")
#include "kivet/platform/headless/memory_platform.h"
#else
#include "kivet/platform/headless/headless.h"
#endif

namespace {

struct Figures {
  double median_ms = 0;
  double p99_ms = 0;
};

// Filled by the benchmarks, read when writing the rows.
std::map<std::string, Figures>& results() {
  static std::map<std::string, Figures> r;
  return r;
}

double percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  size_t index = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  std::nth_element(values.begin(), values.begin() + index, values.end());
  return values[index];
}

// Keeps every runway busy: `waiting` takeoffs queued and one landing behind
// them, so that a runway whose movement has just finished finds work on
// whichever queue the coin picks.
void top_up(Airfield& airfield, Display& display, int waiting) {
  for (int i = 0; i < airfield.runway_count(); ++i) {
    Runway* runway = airfield.get_runway(i);
    while (runway->get_takeoff_queue()->size() < waiting) {
      runway->get_takeoff_queue()->enqueue(std::make_unique<Takeoff>(runway->get_y(), &display));
    }
    if (runway->get_landing_queue()->is_empty()) {
      runway->get_landing_queue()->enqueue(std::make_unique<Landing>(runway->get_y(), &display));
    }
  }
}

void airfield_update(benchmark::State& state) {
  const int waiting = static_cast<int>(state.range(0));
  const bool logging = state.range(1) != 0;
  kivet::headless::reset();
  std::srand(1);
  std::vector<double> times_ms;
  {
    Display display;
    KIVET_set_logging(logging ? 1 : 0);
    Airfield airfield(&display);
    add_runways(airfield);
    for (auto _ : state) {
      top_up(airfield, display, waiting);
      auto start = std::chrono::steady_clock::now();
      airfield.update();
      auto end = std::chrono::steady_clock::now();
      // The event wait's pump copies the bitmap to the window between updates.
      kivet::copy_bitmap_to_window();
      std::chrono::duration<double> elapsed = end - start;
      state.SetIterationTime(elapsed.count());
      times_ms.push_back(elapsed.count() * 1e3);
    }
  }
  kivet::headless::reset();
  Figures f{percentile(times_ms, 0.5), percentile(times_ms, 0.99)};
  state.counters["median_ms"] = f.median_ms;
  state.counters["p99_ms"] = f.p99_ms;
  results()[std::to_string(waiting) + (logging ? "/log" : "")] = f;
}

// Arguments: takeoffs waiting per runway, logging on (1) or off (0).
BENCHMARK(airfield_update)
    ->ArgNames({"waiting", "logging"})
    ->Args({3, 0})
    ->Args({1000, 0})
    ->Args({3, 1})
    ->Args({500, 1})
    ->Args({1000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// One call of the library's text drawing, timed on its own: a line of 40
// characters at size 20 (the airfield's label is 16 characters at 20).
void text_line(benchmark::State& state) {
  kivet::headless::reset();
  std::vector<double> times_ms;
  {
    Display display;
    display.clear(WHITE);
    for (auto _ : state) {
      auto start = std::chrono::steady_clock::now();
      KIVET_draw_text(BLACK, -280, 0, 20, "Seattle Tacoma: 3 runways, 9 waiting now");
      auto end = std::chrono::steady_clock::now();
      std::chrono::duration<double> elapsed = end - start;
      state.SetIterationTime(elapsed.count());
      times_ms.push_back(elapsed.count() * 1e3);
    }
  }
  kivet::headless::reset();
  Figures f{percentile(times_ms, 0.5), percentile(times_ms, 0.99)};
  state.counters["median_ms"] = f.median_ms;
  results()["text"] = f;
}

BENCHMARK(text_line)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// A 64 x 64 picture file, uncompressed 24-bit BMP, in the working directory.
const char* write_picture_file() {
  static const char* name = "frame-bench-64.bmp";
  const int side = 64, row = side * 3;
  unsigned char header[54] = {'B', 'M'};
  auto put32 = [&header](int at, uint32_t value) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<unsigned char>(value >> (8 * i));
  };
  put32(2, 54 + row * side);
  put32(10, 54);
  put32(14, 40);
  put32(18, side);
  put32(22, side);
  header[26] = 1;
  header[28] = 24;
  FILE* out = fopen(name, "wb");
  if (!out) return name;
  fwrite(header, 1, sizeof header, out);
  std::vector<unsigned char> pixels(static_cast<size_t>(row) * side);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7);
  fwrite(pixels.data(), 1, pixels.size(), out);
  fclose(out);
  return name;
}

// One call drawing the picture. The first call reads and decodes the file;
// the others only copy its pixels.
void picture_draw(benchmark::State& state) {
  kivet::headless::reset();
  const char* file = write_picture_file();
  std::vector<double> times_ms;
  double first_ms = 0;
  {
    Display display;
    display.clear(WHITE);
    auto start = std::chrono::steady_clock::now();
    display.picture(-32, 32, file);
    first_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                   .count();
    for (auto _ : state) {
      start = std::chrono::steady_clock::now();
      display.picture(-32, 32, file);
      std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
      state.SetIterationTime(elapsed.count());
      times_ms.push_back(elapsed.count() * 1e3);
    }
  }
  kivet::headless::reset();
  remove(file);
  Figures f{percentile(times_ms, 0.5), percentile(times_ms, 0.99)};
  state.counters["median_ms"] = f.median_ms;
  state.counters["first_ms"] = first_ms;
  results()["picture"] = f;
  results()["picture/first"] = Figures{first_ms, first_ms};
}

BENCHMARK(picture_draw)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);

std::string fixed(double value, int decimals) {
  char text[64];
  snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

void write_rows(const char* path) {
  FILE* out = fopen(path, "a");
  if (!out) {
    perror(path);
    return;
  }
  auto row = [out](const std::string& measure, const std::string& figure, const std::string& goal,
                   const std::string& verdict) {
    fprintf(out, "%s\t%s\t%s\t%s\n", measure.c_str(), figure.c_str(), goal.c_str(),
            verdict.c_str());
  };
  auto& r = results();
  auto update_row = [&](const std::string& measure, const std::string& key, double goal_ms) {
    const Figures& f = r[key];
    row(measure, "median " + fixed(f.median_ms, 3) + " ms, p99 " + fixed(f.p99_ms, 3) + " ms",
        "median <= " + fixed(goal_ms, 1) + " ms", f.median_ms <= goal_ms ? "pass" : "FAIL");
  };
  update_row("3. Airfield update, 3 busy runways, 3 waiting each, logging off", "3", 0.5);
  update_row("4. Airfield update, 1,000 waiting takeoffs per runway, logging off", "1000", 2.0);
  const Figures& few = r["3/log"];
  row("5a. Airfield update, 3 waiting each, logging on",
      "median " + fixed(few.median_ms, 3) + " ms, p99 " + fixed(few.p99_ms, 3) + " ms", "reported",
      "-");
  // Twice the waiting takeoffs, twice the drawing calls: a linear cost
  // doubles, a quadratic one quadruples.
  const Figures& half = r["500/log"];
  const Figures& full = r["1000/log"];
  double ratio = half.median_ms > 0 ? full.median_ms / half.median_ms : 0;
  row("5b. Airfield update, 1,000 waiting per runway, logging on",
      "median " + fixed(full.median_ms, 2) + " ms; x" + fixed(ratio, 2) + " of 500 waiting",
      "no quadratic cost (x ~2, not ~4)", ratio > 0 && ratio < 2.6 ? "pass" : "FAIL");
  const Figures& text = r["text"];
  row("3t. Text, one call drawing 40 characters at size 20",
      "median " + fixed(text.median_ms * 1e3, 1) + " us, p99 " + fixed(text.p99_ms * 1e3, 1) +
          " us",
      "reported (against the tree before below)", "-");
  const Figures& picture = r["picture"];
  double first = r["picture/first"].median_ms;
  // Decoding a picture costs far more than copying it: a call that decoded
  // again would take about as long as the first.
  row("3p. Picture, one call drawing a 64 x 64 picture from a file, after the first",
      "median " + fixed(picture.median_ms * 1e3, 1) + " us, p99 " +
          fixed(picture.p99_ms * 1e3, 1) + " us; first call " + fixed(first * 1e3, 1) + " us",
      "no decode after the first (median <= 1/3 of the first call)",
      picture.median_ms > 0 && picture.median_ms * 3 <= first ? "pass" : "FAIL");
  fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
  const char* rows_path = nullptr;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (strncmp(argv[i], "--rows=", 7) == 0) {
      rows_path = argv[i] + 7;
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (rows_path) write_rows(rows_path);
  return 0;
}
