#include "TestEnvironment.h"

#include "docs/DocumentList.h"
#include "host/HostError.h"

class tst_DocumentRecords : public QObject
{
    Q_OBJECT
private slots:
    void splitPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("directory");
        QTest::newRow("directories") << "/web/index.htm" << "index.htm" << "/web/";
        QTest::newRow("bare name") << "index.htm" << "index.htm" << "";
        QTest::newRow("trailing separator") << "/web/site/" << "" << "/web/site/";
        QTest::newRow("double leading separator") << "//server/share/a.htm" << "a.htm" << "//server/share/";
        QTest::newRow("backslash is ordinary") << "C:\\web\\index.htm" << "C:\\web\\index.htm" << "";
        QTest::newRow("relative") << "sub/a b.html" << "a b.html" << "sub/";
    }
    void splitPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, fileName);
        QFETCH(QString, directory);
        THTMLInfo record;
        record.SetFullPath(path);
        QCOMPARE(record.FullPath, path);
        QCOMPARE(record.FileName, fileName);
        QCOMPARE(record.Directory, directory);
    }

    void emptyPathKeepsNameAndDirectory()
    {
        THTMLInfo record;
        record.FileName = "Untitled";
        record.Directory = "/cache/";
        record.FullPath = "/old.htm";
        record.SetFullPath(QString());
        QCOMPARE(record.FullPath, QString());
        QCOMPARE(record.FileName, QStringLiteral("Untitled"));
        QCOMPARE(record.Directory, QStringLiteral("/cache/"));
    }

    void newRecordIsUnsavedAndEmpty()
    {
        THTMLInfo record;
        QVERIFY(!record.Saved);
        QVERIFY(record.Text.isEmpty() && record.FullPath.isEmpty());
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
        QCOMPARE(list.Count(), 2);
        QCOMPARE(list.Items(1)->FullPath, QStringLiteral("x.htm"));
        // A removed record stays valid while something still designates it.
        QCOMPARE(removed->FileName, QStringLiteral("X.htm"));
        QVERIFY_THROWS_EXCEPTION(EHostError, list.Items(2));
        QVERIFY_THROWS_EXCEPTION(EHostError, list.Delete(-1));
    }
};

ORVIK_TEST_MAIN(tst_DocumentRecords)
#include "tst_DocumentRecords.moc"
