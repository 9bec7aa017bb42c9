#pragma once
// A tiny benchmark registry: each file registers its benchmarks; main runs them in order and
// prints one line per figure.

#include <QString>
#include <functional>

namespace bench {

// Runs body `runs` times and returns the median wall time in milliseconds.
double medianMs(int runs, const std::function<void()>& body);
// Prints "name: value unit (target ...)" and remembers whether the target was met.
void report(const QString& name, double value, const QString& unit, double target,
            bool higherIsBetter = false);
// Prints a line of information.
void note(const QString& text);
// Peak resident memory of this process so far, in MiB.
double peakMemoryMiB();
// Resident memory of this process now, in MiB.
double currentMemoryMiB();

// Counts targets missed elsewhere (a child process's figures) as missed here.
void countMissed(int n);
// Runs this bench binary again for `group` on a screen scaled by `scale`, and prints what it
// prints; its missed targets count as this run's.
void runScaled(const char* group, double scale);
// Whether this run is such a child.
bool isScaledChild();

// The page turn flat out: one frame and a whole forward turn of a w x h spread under a band of
// depth d, on surfaces of the screen's ratio.
struct TurnFigures {
    double frameMs = 0, turnMs = 0;
    int frames = 0;
};
TurnFigures measureTurn(int w, int h, int d);

struct Registrar {
    Registrar(int order, const char* name, std::function<void()> run);
};

}  // namespace bench

#define BENCH_CONCAT2(a, b) a##b
#define BENCH_CONCAT(a, b) BENCH_CONCAT2(a, b)
// BENCHMARK(order, name) { ... } registers a benchmark group; lower orders run first.
#define BENCHMARK(order, name)                                                            \
    static void BENCH_CONCAT(bench_, name)();                                             \
    static ::bench::Registrar BENCH_CONCAT(bench_reg_, name)(order, #name,                \
                                                             BENCH_CONCAT(bench_, name)); \
    static void BENCH_CONCAT(bench_, name)()
