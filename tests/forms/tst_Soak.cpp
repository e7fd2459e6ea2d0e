#include "Soak.h"

#include <QFileInfo>

// Seeded runs of user actions against a model of the documents and the disk.
class tst_Soak : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Every save flushes to disk; in memory the run is paced by the editor, not the disk.
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            qputenv("TMPDIR", "/dev/shm");
    }
    void soak_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("browseEvery"); // the Browse page starts the web engine: rarely
        QTest::addRow("seed 1") << 1u << 250;
        QTest::addRow("seed 2") << 2u << 0;
        QTest::addRow("seed 3") << 3u << 0;
    }
    void soak()
    {
        QFETCH(quint32, seed);
        QFETCH(int, browseEvery);
        const QString fault = Soak(seed, browseEvery).run(1000);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
};

ORVIK_TEST_MAIN(tst_Soak)
#include "tst_Soak.moc"
