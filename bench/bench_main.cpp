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
void BenchHuge();
void BenchRecovery();
void BenchColouring();
void BenchSoak();
void BenchFuzz();

// Every section; a name on the command line runs only the sections named.
static const BenchSection kSections[] = {
    {"startup", BenchStartup},     {"load", BenchLoad},   {"documents", BenchDocuments},
    {"preview", BenchPreview},     {"panel", BenchPanel}, {"replace", BenchReplace},
    {"save", BenchSave},           {"huge", BenchHuge},   {"recovery", BenchRecovery},
    {"colouring", BenchColouring}, {"soak", BenchSoak},   {"fuzz", BenchFuzz},
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
