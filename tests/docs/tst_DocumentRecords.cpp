#include "TestEnvironment.h"

#include "docs/DocumentList.h"
#include "host/HostError.h"

#include <QDir>

class tst_DocumentRecords : public QObject
{
    Q_OBJECT
private slots:
    void setFullPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("diskPath"); // "~" stands for the working directory
        QTest::newRow("directories") << "/web/index.htm" << "index.htm" << "/web/" << "/web/index.htm";
        QTest::newRow("bare name") << "index.htm" << "index.htm" << "" << "~/index.htm";
        QTest::newRow("relative") << "sub/a b.html" << "a b.html" << "sub/" << "~/sub/a b.html";
        QTest::newRow("trailing separator") << "/web/site/" << "" << "/web/site/" << "/web/site/";
        QTest::newRow("backslash is ordinary")
            << "C:\\web\\x.htm" << "C:\\web\\x.htm" << "" << "~/C:\\web\\x.htm";
        // An empty path keeps the untitled document's name and directory.
        QTest::newRow("empty") << "" << "Untitled" << "/cache/" << "";
    }
    void setFullPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, fileName);
        QFETCH(QString, directory);
        QFETCH(QString, diskPath);
        THTMLInfo record;
        record.FileName = "Untitled";
        record.Directory = "/cache/";
        record.FullPath = "/old.htm";
        record.SetFullPath(path);
        // FullPath stays exactly as given; DiskPath is absolute, against the current directory.
        QCOMPARE(QStringList({record.FullPath, record.FileName, record.Directory, record.DiskPath}),
                 QStringList({path, fileName, directory, diskPath.replace('~', QDir::currentPath())}));
    }

    void listKeepsOrderAndComparesPathsExactly()
    {
        TDocumentList list;
        for (const char *p : {"/a/x.htm", "/a/X.htm", "x.htm"}) {
            auto r = std::make_shared<THTMLInfo>();
            r->SetFullPath(QString::fromLatin1(p));
            list.Add(r);
        }
        QCOMPARE(list.IndexOfPath("/a/X.htm"), 1);
        QCOMPARE(list.IndexOfPath("/a/./x.htm"), -1);
        const DocumentRef removed = list.Items(1);
        list.Delete(1);
        QCOMPARE(list.Items(1)->FullPath, QStringLiteral("x.htm"));
        // A removed record stays valid while something still designates it.
        QCOMPARE(removed->FileName, QStringLiteral("X.htm"));
        QVERIFY_THROWS_EXCEPTION(EHostError, list.Items(2));
        QVERIFY_THROWS_EXCEPTION(EHostError, list.Delete(-1));
    }
};

ORVIK_TEST_MAIN(tst_DocumentRecords)
#include "tst_DocumentRecords.moc"
