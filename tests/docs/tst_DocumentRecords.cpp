#include "docs/DocumentList.h"
#include "util/HostError.h"

#include <QDir>
#include <QTest>

class tst_DocumentRecords : public QObject
{
    Q_OBJECT
private slots:
    void setFullPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("parts"); // FileName, Directory, DiskPath; "~": working dir
        QTest::newRow("absolute") << "/web/a.htm" << QStringList {"a.htm", "/web/", "/web/a.htm"};
        QTest::newRow("relative") << "s/a b.htm" << QStringList {"a b.htm", "s/", "~/s/a b.htm"};
        QTest::newRow("backslash is plain")
            << "a\\b.htm" << QStringList {"a\\b.htm", "", "~/a\\b.htm"};
        QTest::newRow("empty keeps untitled") << "" << QStringList {"Untitled", "/cache/", ""};
    }
    void setFullPath()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, parts);
        THTMLInfo record;
        record.FileName = "Untitled";
        record.Directory = "/cache/";
        record.SetFullPath(path);
        // FullPath stays exactly as given; DiskPath is absolute, against the current directory.
        QCOMPARE(QStringList({record.FullPath, record.FileName, record.Directory, record.DiskPath}),
                 QStringList {path} + parts.replaceInStrings("~", QDir::currentPath()));
    }

    void listKeepsOrderAndComparesPathsExactly()
    {
        TDocumentList list;
        for (const char *p : {"/a/x.htm", "/a/X.htm", "x.htm"}) {
            list.Add(std::make_shared<THTMLInfo>());
            list.Items(list.Count() - 1)->SetFullPath(QString::fromLatin1(p));
        }
        QCOMPARE(list.IndexOfPath("/a/X.htm"), 1);
        list.Delete(1);
        QCOMPARE(list.Items(1)->FullPath, QStringLiteral("x.htm"));
        QVERIFY_THROWS_EXCEPTION(EHostError, list.Items(2));
        QVERIFY_THROWS_EXCEPTION(EHostError, list.Delete(-1));
    }
};

QTEST_GUILESS_MAIN(tst_DocumentRecords)
#include "tst_DocumentRecords.moc"
