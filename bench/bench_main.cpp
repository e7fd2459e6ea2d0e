#include "BenchSupport.h"
#include "TestEnvironment.h"

#include <cstdio>

void BenchStartup();
void BenchLoad();
void BenchDocuments();
void BenchPreview();
void BenchPanel();
void BenchReplace();
void BenchSave();
void BenchRecovery();

// Every section; a name on the command line runs only the sections named.
static const BenchSection kSections[] = {
    {"startup", BenchStartup},
    {"load", BenchLoad},
    {"documents", BenchDocuments},
    {"preview", BenchPreview},
    {"panel", BenchPanel},
    {"replace", BenchReplace},
    {"save", BenchSave},
    {"recovery", BenchRecovery},
};

int main(int argc, char **argv)
{
    PrepareTestProcess();
    QApplication app(argc, argv);
    const QStringList wanted = app.arguments().mid(1);
    TestEnvironment env; // private settings, cache and working directories
    for (const BenchSection &s : kSections)
        if (wanted.isEmpty() || wanted.contains(QString::fromLatin1(s.name)))
            s.run();
    return 0;
}
