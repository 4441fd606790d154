// The entry point of a Qt benchmark program: one QApplication on the
// offscreen platform around all of its benchmarks, so no display is needed;
// TROVEL_QT_BENCHMARK_MAIN_THEN(report) calls report() once they have run.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#define TROVEL_QT_BENCHMARK_MAIN_THEN(report) \
  int main(int argc, char** argv) {            \
    qputenv("QT_QPA_PLATFORM", "offscreen");   \
    QApplication app(argc, argv);              \
    benchmark::Initialize(&argc, argv);        \
    benchmark::RunSpecifiedBenchmarks();       \
    benchmark::Shutdown();                     \
    report();                                  \
    return 0;                                  \
  }

#define TROVEL_QT_BENCHMARK_MAIN() TROVEL_QT_BENCHMARK_MAIN_THEN([] {})
