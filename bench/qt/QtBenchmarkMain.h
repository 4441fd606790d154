// The entry point of a Qt benchmark program: one QApplication on the
// offscreen platform around all of its benchmarks, so no display is needed.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#define TROVEL_QT_BENCHMARK_MAIN()                 \
  int main(int argc, char** argv) {                \
    qputenv("QT_QPA_PLATFORM", "offscreen");       \
    QApplication app(argc, argv);                  \
    benchmark::Initialize(&argc, argv);            \
    benchmark::RunSpecifiedBenchmarks();           \
    benchmark::Shutdown();                         \
    return 0;                                      \
  }
