#include "app/CommandLine.h"

#include <QTest>

Q_DECLARE_METATYPE(CommandLine::Request)

// What the program makes of the arguments typed after its name.
class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void readsTheFirstArgument_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<CommandLine::Request>("request");
        QTest::addColumn<QString>("file"); // the first argument the editor gets
        QTest::addColumn<int>("toolkitArguments");
        using R = CommandLine::Request;
        QTest::newRow("nothing") << QStringList() << R::Edit << "" << 1;
        QTest::newRow("a file, further ones ignored")
            << QStringList({"a b.htm", "c.htm"}) << R::Edit << "a b.htm" << 3;
        QTest::newRow("a path beginning with '-'")
            << QStringList {"-a.htm"} << R::Edit << "-a.htm" << 2;
        QTest::newRow("--help") << QStringList {"--help"} << R::Help << "" << 2;
        QTest::newRow("--version") << QStringList {"--version"} << R::Version << "" << 2;
        QTest::newRow("--help after the file")
            << QStringList({"a.htm", "--help"}) << R::Edit << "a.htm" << 3;
        // Nothing after "--" is an option, the toolkit's included.
        QTest::newRow("-- then a file named --help")
            << QStringList({"--", "--help"}) << R::Edit << "--help" << 1;
        QTest::newRow("-- then --") << QStringList({"--", "--"}) << R::Edit << "--" << 1;
        QTest::newRow("-- alone") << QStringList {"--"} << R::Edit << "" << 1;
        QTest::newRow("-- after the file")
            << QStringList({"a.htm", "--", "b.htm"}) << R::Edit << "a.htm" << 2;
    }
    void readsTheFirstArgument()
    {
        QFETCH(QStringList, typed);
        QFETCH(CommandLine::Request, request);
        QFETCH(QString, file);
        QFETCH(int, toolkitArguments);
        typed.prepend("OrvikEditor");
        const CommandLine command = ReadCommandLine(typed);
        QCOMPARE(command.request, request);
        QCOMPARE(command.toolkitArguments, toolkitArguments);
        // What the toolkit leaves of its share when it takes nothing, then the literal rest.
        if (request == CommandLine::Request::Edit)
            QCOMPARE((typed.mid(0, command.toolkitArguments) + command.literal).value(1), file);
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
