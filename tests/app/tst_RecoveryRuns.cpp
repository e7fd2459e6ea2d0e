// The editor program as a user runs it: on a private X display, typed into with the keys a user
// presses, killed or stopped by a signal, and started again. The recovery copies it leaves are
// read from disk; the restored texts are read back from the copies and the saves of the next run.
#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

constexpr int kDeadlineMs = 20000;

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

struct Copy
{
    QString path;
    QString caption;
    QByteArray bytes;
    friend bool operator==(const Copy &, const Copy &) = default;
};

char *toString(const Copy &copy)
{
    return QTest::toString(QStringLiteral("%1 (%2): %3")
                               .arg(copy.path, copy.caption,
                                    QString::fromLatin1(copy.bytes.left(40).toPercentEncoding())));
}

// Every run's copies, by the process that wrote them, each in its tab order.
QMap<qint64, QList<Copy>> copiesByRun(const QString &recoveryDir)
{
    QMap<qint64, QList<Copy>> runs;
    const QDir root(recoveryDir);
    for (const QString &run : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QList<Copy> &copies = runs[run.section(u'-', -1).toLongLong()];
        const QJsonArray index =
            QJsonDocument::fromJson(readFile(root.filePath(run + "/index.json"))).array();
        for (const QJsonValue &entry : index) {
            const QJsonObject o = entry.toObject();
            copies.append({o["path"].toString(), o["caption"].toString(),
                           readFile(root.filePath(run + "/" + o["id"].toString() + ".text"))});
        }
    }
    return runs;
}

} // namespace

class tst_RecoveryRuns : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char *tool : {"Xvfb", "xdotool"})
            QVERIFY2(
                !QStandardPaths::findExecutable(tool).isEmpty(),
                qPrintable(
                    QStringLiteral("%1 is missing (Debian packages xvfb, xdotool)").arg(tool)));
        // Xvfb names the display it took once it takes connections. Without -noreset it starts
        // over whenever its last client goes, and turns the next editor away meanwhile.
        m_xvfb.start("Xvfb", {"-displayfd", "1", "-noreset", "-screen", "0", "1024x768x24",
                              "-nolisten", "tcp"});
        QVERIFY(m_xvfb.waitForStarted());
        while (!m_xvfb.canReadLine())
            QVERIFY2(m_xvfb.waitForReadyRead(kDeadlineMs), "Xvfb did not start");
        m_display = ":" + QString::fromLatin1(m_xvfb.readLine().trimmed());
    }

    void cleanupTestCase()
    {
        m_xvfb.terminate();
        m_xvfb.waitForFinished();
    }

    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        for (const char *dir : {"config", "data", "cache", "runtime", "work"})
            QVERIFY(QDir().mkpath(m_home->filePath(dir)));
        QFile::setPermissions(m_home->filePath("runtime"), QFileDevice::ReadOwner
                                                               | QFileDevice::WriteOwner
                                                               | QFileDevice::ExeOwner);
        m_page = m_home->filePath("work/t.htm");
        QFile page(m_page);
        // Not UTF-8: the copy and the save must keep the 8-bit bytes as they are.
        QVERIFY(page.open(QIODevice::WriteOnly) && page.write("caf\xe9\r\n") == 6);
    }

    void cleanup()
    {
        for (QProcess *editor : std::as_const(m_editors)) {
            editor->kill();
            editor->waitForFinished();
        }
        qDeleteAll(m_editors);
        m_editors.clear();
        m_home.reset();
    }

    // Typed texts survive a kill; a second editor started meanwhile does not take them; the next
    // start asks and brings them back in their tabs; Save, Close and Exit remove the copies.
    void killedRunIsRestoredAtTheNextStart()
    {
        QProcess *first = startEditor(m_home->filePath("work"), {"t.htm"});
        typeIntoTwoDocuments(first);
        if (QTest::currentTestFailed())
            return;
        // The new document's copy: "World", then the text a new document starts with.
        QByteArray untitled;
        QTRY_VERIFY_WITH_TIMEOUT(
            (untitled = copiesByRun(recoveryDir()).value(first->processId()).value(1).bytes)
                .startsWith("World"),
            kDeadlineMs);
        const QList<Copy> typed {{m_page, "t.htm", "Hello caf\xe9\r\n"},
                                 {"", "Untitled", untitled}};
        QTRY_COMPARE_WITH_TIMEOUT(copiesByRun(recoveryDir()).value(first->processId()), typed,
                                  kDeadlineMs);

        // It reaches its idle window without a question, and the copies stay as they are.
        QProcess *second = startEditor(m_home->path(), {}, true);
        QVERIFY(second->waitForFinished(kDeadlineMs));
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(second->readAllStandardOutput().startsWith("idle "));
        QCOMPARE(copiesByRun(recoveryDir()),
                 (QMap<qint64, QList<Copy>> {{first->processId(), typed}}));

        first->kill();
        QVERIFY(first->waitForFinished(kDeadlineMs));
        // From elsewhere: a path given relative to the first run's directory still finds its file.
        QProcess *restored = startEditor(m_home->path(), {});
        QVERIFY(answer(restored, "Return"));
        QTRY_COMPARE_WITH_TIMEOUT(copiesByRun(recoveryDir()),
                                  (QMap<qint64, QList<Copy>> {{restored->processId(), typed}}),
                                  kDeadlineMs);
        // The last restored tab is in view and the first one follows it: no tab is left before.
        QTRY_COMPARE_WITH_TIMEOUT(title(restored), QString("Ostra Pagloom - Untitled"),
                                  kDeadlineMs);
        QVERIFY(press(restored, "ctrl+Tab"));
        QTRY_COMPARE_WITH_TIMEOUT(title(restored), "Ostra Pagloom - " + m_page, kDeadlineMs);

        QVERIFY(press(restored, "ctrl+s"));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(m_page), QByteArray("Hello caf\xe9\r\n"), kDeadlineMs);
        QTRY_COMPARE_WITH_TIMEOUT(copiesByRun(recoveryDir()).value(restored->processId()),
                                  typed.mid(1), kDeadlineMs);
        QVERIFY(press(restored, "ctrl+Tab"));
        QTRY_COMPARE_WITH_TIMEOUT(title(restored), QString("Ostra Pagloom - Untitled"),
                                  kDeadlineMs);
        QVERIFY(press(restored, "ctrl+w"));
        QVERIFY(answer(restored, "n"));
        QTRY_VERIFY_WITH_TIMEOUT(copiesByRun(recoveryDir()).isEmpty(), kDeadlineMs);

        QVERIFY(type(restored, "x"));
        QTRY_COMPARE_WITH_TIMEOUT(copiesByRun(recoveryDir()).value(restored->processId()).size(), 1,
                                  kDeadlineMs);
        QVERIFY(press(restored, "ctrl+q"));
        QVERIFY(answer(restored, "n"));
        QVERIFY(restored->waitForFinished(kDeadlineMs));
        QCOMPARE(restored->exitStatus(), QProcess::NormalExit);
        QCOMPARE(restored->exitCode(), 0);
        QCOMPARE(QDir(recoveryDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // A signal that ends the session writes the copies at once and ends the editor as the signal
    // would have, without a question, even while one is open.
    void endingSignalWritesTheCopies_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("questionOpen");
        QTest::newRow("SIGTERM") << int(SIGTERM) << false;
        QTest::newRow("SIGHUP") << int(SIGHUP) << false;
        QTest::newRow("SIGTERM during Close's question") << int(SIGTERM) << true;
    }
    void endingSignalWritesTheCopies()
    {
        QFETCH(int, signal);
        QFETCH(bool, questionOpen);
        QProcess *editor = startEditor(m_home->filePath("work"), {"t.htm"});
        // Within the pause after which copies are written anyway.
        typeIntoTwoDocuments(editor);
        if (QTest::currentTestFailed())
            return;
        if (questionOpen) {
            QVERIFY(press(editor, "ctrl+w"));
            QTRY_VERIFY_WITH_TIMEOUT(!window(editor, "Confirm").isEmpty(), kDeadlineMs);
        }
        const qint64 run = editor->processId();
        QCOMPARE(::kill(pid_t(run), signal), 0);
        QVERIFY(editor->waitForFinished(kDeadlineMs));
        QCOMPARE(editor->exitStatus(), QProcess::CrashExit);
        QCOMPARE(editor->exitCode(), signal);
        const QList<Copy> copies = copiesByRun(recoveryDir()).value(run);
        QCOMPARE(copies.size(), 2);
        QCOMPARE(copies.first(), (Copy {m_page, "t.htm", "Hello caf\xe9\r\n"}));
        QCOMPARE(copies.last().caption, QString("Untitled"));
        QVERIFY(copies.last().bytes.startsWith("World"));
    }

private:
    QString recoveryDir() const { return m_home->filePath("data/Orvik/Pagloom/recovery"); }

    QProcess *startEditor(const QString &dir, const QStringList &args, bool quitWhenIdle = false)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.remove("WAYLAND_DISPLAY");
        env.insert("XDG_CONFIG_HOME", m_home->filePath("config"));
        env.insert("XDG_DATA_HOME", m_home->filePath("data"));
        env.insert("XDG_CACHE_HOME", m_home->filePath("cache"));
        env.insert("XDG_RUNTIME_DIR", m_home->filePath("runtime"));
        if (quitWhenIdle)
            env.insert("ORVIK_QUIT_WHEN_IDLE", "1");
        auto *editor = new QProcess;
        m_editors.append(editor);
        editor->setProcessEnvironment(env);
        editor->setWorkingDirectory(dir);
        editor->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        editor->start(QCoreApplication::applicationDirPath() + "/OrvikEditor", args);
        return editor;
    }

    // What xdotool prints; empty when it fails.
    QString xdotool(const QStringList &args)
    {
        QProcess x;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        x.setProcessEnvironment(env);
        x.start("xdotool", args);
        x.waitForFinished(kDeadlineMs);
        return x.exitCode() == 0 ? QString::fromUtf8(x.readAllStandardOutput()).trimmed()
                                 : QString();
    }

    // A shown window of editor whose title begins with name.
    QString window(QProcess *editor, const QString &name)
    {
        return xdotool({"search", "--all", "--onlyvisible", "--pid",
                        QString::number(editor->processId()), "--name",
                        "^" + QRegularExpression::escape(name)})
            .section(u'\n', 0, 0);
    }

    QString title(QProcess *editor)
    {
        const QString main = window(editor, "Ostra Pagloom");
        return main.isEmpty() ? QString() : xdotool({"getwindowname", main});
    }

    // Presses keys once the window has the keyboard, as a user waits for a window to come up.
    [[nodiscard]] bool keys(QProcess *editor, const QString &name, const QStringList &args)
    {
        QDeadlineTimer deadline(kDeadlineMs);
        for (;;) {
            const QString w = window(editor, name);
            if (!w.isEmpty() && xdotool({"getwindowfocus"}) == w)
                break;
            if (deadline.hasExpired())
                return false;
            QTest::qWait(20);
        }
        xdotool(args);
        return true;
    }
    [[nodiscard]] bool press(QProcess *editor, const QString &key)
    {
        return keys(editor, "Ostra Pagloom", {"key", key});
    }
    [[nodiscard]] bool type(QProcess *editor, const QString &text)
    {
        return keys(editor, "Ostra Pagloom", {"type", "--delay", "5", text});
    }
    [[nodiscard]] bool answer(QProcess *editor, const QString &key)
    {
        return keys(editor, "Confirm", {"key", key});
    }

    // "Hello " before the page's text and "World" before a new document's; the keyboard ends in
    // the page, once the editor has taken every key.
    void typeIntoTwoDocuments(QProcess *editor)
    {
        QTRY_COMPARE_WITH_TIMEOUT(title(editor), QString("Ostra Pagloom - t.htm"), kDeadlineMs);
        QVERIFY(type(editor, "Hello "));
        QVERIFY(press(editor, "ctrl+n"));
        QTRY_COMPARE_WITH_TIMEOUT(title(editor), QString("Ostra Pagloom - UNTITLED"), kDeadlineMs);
        QVERIFY(type(editor, "World"));
        QVERIFY(press(editor, "ctrl+Tab"));
        QTRY_COMPARE_WITH_TIMEOUT(title(editor), QString("Ostra Pagloom - t.htm"), kDeadlineMs);
    }

    QProcess m_xvfb;
    QString m_display;
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_page;
    QList<QProcess *> m_editors;
};

QTEST_GUILESS_MAIN(tst_RecoveryRuns)
#include "tst_RecoveryRuns.moc"
