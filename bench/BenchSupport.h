// Timing, generated inputs and the report lines of the benchmark program.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

// Median wall time of runs calls, in milliseconds.
double MedianMs(int runs, const std::function<void()> &fn);
double TimeMs(const std::function<void()> &fn);
// CPU time (user and system, all threads) this process spends in fn, in milliseconds: unlike wall
// time, it does not count waiting for a core on a busy machine.
double CpuMs(const std::function<void()> &fn);
// The middle value of a non-empty list.
double Median(std::vector<double> values);

// An HTML text of about the given size, with many short elements and lines.
QByteArray GenerateHtml(qsizetype bytes);

// Writes bytes to a file of that name in the working directory and returns its path.
QString WriteBenchInput(const QString &name, const QByteArray &bytes);

// Peak and current resident memory of this process, in megabytes.
double PeakRssMb();
double CurrentRssMb();
// Starts a new peak from the current resident size.
void ResetPeakRss();
// Gives memory freed earlier back to the system, so that the next measurement neither counts it
// nor reuses it.
void ReleaseFreeMemory();

void Report(const QString &section, const QString &what, double value, const QString &unit);
void ReportRatio(const QString &section, const QString &what, double ratio, const QString &floor);

// Runs the event loop until nothing is pending.
void SettleEvents();

struct BenchSection
{
    const char *name;
    void (*run)();
};
