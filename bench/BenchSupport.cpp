#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sys/resource.h>
#include <vector>

double TimeMs(const std::function<void()> &fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return t.nsecsElapsed() / 1e6;
}

double CpuMs(const std::function<void()> &fn)
{
    const auto used = [] {
        rusage u {};
        getrusage(RUSAGE_SELF, &u);
        return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3
               + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
    };
    const double before = used();
    fn();
    return used() - before;
}

double MedianMs(int runs, const std::function<void()> &fn)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(TimeMs(fn));
    return Median(std::move(times));
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QByteArray GenerateHtml(qsizetype bytes)
{
    QByteArray out;
    out.reserve(bytes + 256);
    out.append("<!DOCTYPE html>\r\n<html><head><title>Generated</title>"
               "<link rel=\"stylesheet\" href=\"style.css\"></head>\r\n<body>\r\n");
    qsizetype n = 0;
    while (out.size() < bytes) {
        out.append("<p class=\"item\">Paragraph ")
            .append(QByteArray::number(n++))
            .append(" with <a href=\"page.htm\">a link</a> and <b>bold</b> text.</p>\r\n");
    }
    out.append("</body></html>\r\n");
    return out;
}

namespace {

double statusMb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

} // namespace

double PeakRssMb()
{
    return statusMb("VmHWM:");
}

void ResetPeakRss()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

void ReleaseFreeMemory()
{
    malloc_trim(0);
}

double CurrentRssMb()
{
    return statusMb("VmRSS:");
}

void Report(const QString &section, const QString &what, double value, const QString &unit)
{
    std::printf("%-10s %-58s %10.1f %s\n", qPrintable(section), qPrintable(what), value,
                qPrintable(unit));
    std::fflush(stdout);
}

void ReportRatio(const QString &section, const QString &what, double ratio, const QString &floor)
{
    std::printf("%-10s %-58s %10.2f x %s\n", qPrintable(section), qPrintable(what), ratio,
                qPrintable(floor));
    std::fflush(stdout);
}

void SettleEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

QString WriteBenchInput(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir::currentPath() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
