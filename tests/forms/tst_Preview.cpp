#include "EditorFixture.h"

#include "host/BrowserView.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A page whose title and the colour of #box show which text and which style sheet it got.
QByteArray styledPage(const QByteArray &title)
{
    return "<html><head><title>" + title + "</title><link rel=\"stylesheet\" href=\"style.css\">"
           "</head>\r\n<body><p id=\"box\">Some text</p></body></html>\r\n";
}

QWebEngineView *engineView(TfrmEditor &form) { return form.findChild<QWebEngineView *>("webEngineView"); }

void clickPage(TfrmEditor &form, int index)
{
    QTabBar *bar = form.pgpEditor->bar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

// Runs action (by default a user's turn to the Browse page); true once the view has loaded.
bool loads(TfrmEditor &form, const std::function<void()> &action = {})
{
    QSignalSpy loaded(form.webBrowser, &BrowserView::LoadFinished);
    action ? action() : clickPage(form, 1);
    return form.pgpEditor->activePage() == form.shtBrowse && (!loaded.isEmpty() || loaded.wait(30000));
}

// Turns from the Edit page with new text in the editor; true once the view has loaded.
bool browseText(TfrmEditor &form, const QByteArray &text)
{
    clickPage(form, 0);
    form.mmoEditor->setLinesText(text);
    return loads(form);
}

QString evaluate(TfrmEditor &form, const QString &script)
{
    // Shared, so that an answer arriving after the wait has nowhere stale to go.
    auto result = std::make_shared<std::optional<QVariant>>();
    engineView(form)->page()->runJavaScript(script, [result](const QVariant &v) { *result = v; });
    return QTest::qWaitFor([&] { return result->has_value(); }, 10000) ? (*result)->toString()
                                                                        : QStringLiteral("<no result>");
}

// What the view shows: the page's title, the colour its style sheet gave #box, the file's name.
QString shown(TfrmEditor &form)
{
    return evaluate(form, QStringLiteral(
        "document.title + '|' + getComputedStyle(document.getElementById('box')).color"
        " + '|' + decodeURIComponent(location.pathname).split('/').pop()"));
}

} // namespace

class tst_Preview : public QObject
{
    Q_OBJECT

private slots:
    void previewShowsTheEditorsText()
    {
        EditorFixture fx;
        TfrmEditor &form = fx.f();
        // Characters that mean something in an address must still name the directory.
        const QString site = QStringLiteral("web site #1 100% \u00e9/");
        fx.file(site + "style.css", "#box { color: rgb(1, 2, 3); }");
        const QString index = fx.file(site + "index.htm", styledPage("index"));
        const QString preview = fx.env.workDir() + "/" + site + "Orvik_temp.ht~";
        fx.open(index);

        // A missing engine helper is reported and the Edit page still edits; later turns try again.
        const QByteArray savedHelper = qgetenv("QTWEBENGINEPROCESS_PATH");
        const QString helper = fx.env.root() + "/no-such-helper";
        qputenv("QTWEBENGINEPROCESS_PATH", QFile::encodeName(helper));
        fx.dialogs.expectError("Cannot start the browser view: " + helper + " is missing");
        clickPage(form, 1);
        savedHelper.isNull() ? qunsetenv("QTWEBENGINEPROCESS_PATH")
                             : qputenv("QTWEBENGINEPROCESS_PATH", savedHelper);
        QVERIFY(!engineView(form));
        clickPage(form, 0);
        fx.type("still editing");
        QVERIFY(fx.editorText().startsWith("still editing"));
        form.mmoEditor->setLinesText(styledPage("index"));

        // The preview file beside the document is shown; the document is not touched.
        QVERIFY(loads(form));
        QCOMPARE(ReadWholeFile(preview), styledPage("index"));
        QCOMPARE(shown(form), QStringLiteral("index|rgb(1, 2, 3)|Orvik_temp.ht~"));

        // Unsaved edits are shown and stay unsaved; a style sheet changed on disk is read again.
        fx.file(site + "style.css", "#box { color: rgb(4, 5, 6); }");
        QVERIFY(browseText(form, styledPage("edited")));
        QCOMPARE(shown(form), QStringLiteral("edited|rgb(4, 5, 6)|Orvik_temp.ht~"));
        QCOMPARE(fx.tabs(), QStringList("* - index.htm"));
        QCOMPARE(ReadWholeFile(index), styledPage("index"));

        // Opened while browsing: the file itself is shown as a page, whatever its extension.
        QVERIFY(loads(form, [&] { fx.open(fx.file(site + "notes.txt", styledPage("notes"))); }));
        QCOMPARE(shown(form), QStringLiteral("notes|rgb(4, 5, 6)|notes.txt"));
        QCOMPARE(ReadWholeFile(preview), styledPage("edited"));

        // Shown in the encoding the editor reads the text in, unless the page names one.
        const QList<std::pair<QByteArray, QString>> encodings = {
            {"<title>caf\xc3\xa9 \xe2\x82\xac</title>", QStringLiteral("caf\u00e9 \u20ac")},
            {"<title>caf\xe9</title>", QStringLiteral("caf\u00e9")},
            {"<meta charset=\"iso-8859-1\"><title>caf\xc3\xa9</title>", QStringLiteral("caf\u00c3\u00a9")}};
        for (const auto &[text, title] : encodings) {
            QVERIFY(browseText(form, text));
            QCOMPARE(evaluate(form, QStringLiteral("document.title")), title);
        }

        // An untitled document previews in the private untitled directory.
        clickPage(form, 0);
        form.itmNew->Click();
        QVERIFY(loads(form));
        QCOMPARE(ReadWholeFile(fx.env.untitledDir() + "Orvik_temp.ht~"), form.mmoEditor->linesText());
        QVERIFY2(fx.dialogs.allAnswered(), qPrintable(fx.dialogs.report()));
    }

    // A planted link is replaced, never written through. A preview file that cannot be written
    // is not reported, and the view shows the current text, never an earlier preview.
    void previewFileFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QByteArray>("previewAfter");
        QTest::newRow("symbolic link planted") << "symlink" << styledPage("edited");
        QTest::newRow("hard link planted") << "hardlink" << styledPage("edited");
        QTest::newRow("name taken by a directory") << "directory" << QByteArray("<not a file>");
        QTest::newRow("file cannot grow") << "size limit" << styledPage("on disk");
        QTest::newRow("directory removed") << "vanished" << QByteArray("<not a file>");
    }
    void previewFileFaults()
    {
        QFETCH(QString, fault);
        QFETCH(QByteArray, previewAfter);
        EditorFixture fx;
        const QString victim = fx.file("victim.txt", "precious");
        fx.file("site/style.css", "#box { color: rgb(1, 2, 3); }");
        const QString preview = fx.env.workDir() + "/site/Orvik_temp.ht~";
        const QByteArray from = QFile::encodeName(victim), to = QFile::encodeName(preview);
        if (fault == "symlink")
            QCOMPARE(::symlink(from.constData(), to.constData()), 0);
        if (fault == "hardlink")
            QCOMPARE(::link(from.constData(), to.constData()), 0);
        if (fault == "directory")
            QVERIFY(QDir().mkpath(preview));
        fx.open(fx.file("site/page.htm", styledPage("on disk")));
        if (fault == "vanished")
            QVERIFY(QDir(fx.env.workDir() + "/site").removeRecursively());
        if (fault == "size limit") // shown once, and the engine started before the limit
            QVERIFY(loads(fx.f()));

        clickPage(fx.f(), 0);
        fx.f().mmoEditor->setLinesText(styledPage("edited"));
        QVERIFY(loads(fx.f(), [&] { // the limit holds for the page turn only
            rlimit previous;
            getrlimit(RLIMIT_FSIZE, &previous);
            const rlimit limit = {fault == "size limit" ? 16 : previous.rlim_cur, previous.rlim_max};
            const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &limit);
            clickPage(fx.f(), 1);
            setrlimit(RLIMIT_FSIZE, &previous);
            std::signal(SIGXFSZ, previousHandler);
        }));

        // Served from memory under the same address, so the style sheet still applies.
        const QString colour = fault == "vanished" ? "rgb(0, 0, 0)" : "rgb(1, 2, 3)";
        QCOMPARE(shown(fx.f()), "edited|" + colour + "|Orvik_temp.ht~");
        const QFileInfo info(preview);
        QCOMPARE(info.isFile() && !info.isSymLink() ? ReadWholeFile(preview) : "<not a file>", previewAfter);
        QCOMPARE(ReadWholeFile(victim), QByteArray("precious"));
        QVERIFY2(fx.dialogs.allAnswered(), qPrintable(fx.dialogs.report()));
    }

    void pageScriptCannotReadLocalFiles()
    {
        EditorFixture fx;
        fx.file("outside.txt", "TOPSECRET_OUTSIDE");
        fx.file("site/secret.txt", "TOPSECRET_NEIGHBOUR");
        fx.file("site/app.js", "window.appRan = true;");
        const QString fileUrl = QUrl::fromLocalFile(fx.env.workDir() + "/site/secret.txt").toString();
        // Every way a script might read a neighbour; each reports what it got, in the title.
        const QByteArray page = QStringLiteral(R"(<html><head><script src="app.js"></script></head>
<body><script>
const xhr = url => new Promise(r => { const x = new XMLHttpRequest(); x.onerror = () => r('error');
  x.onload = () => r('read:' + x.responseText); x.open('GET', url); x.send(); });
const element = (tag, attr) => new Promise(r => { const e = document.createElement(tag);
  e[attr] = 'secret.txt'; e.onerror = () => r('error'); document.body.appendChild(e);
  e.onload = () => { try { r(tag == 'script' ? 'ran' : 'read:' + e.contentDocument.body.innerText); }
                     catch (x) { r('error'); } }; });
const attempts = {
  xhr: () => xhr('secret.txt'), xhrOutside: () => xhr('../outside.txt'), xhrFile: () => xhr('%1'),
  fetch: () => fetch('secret.txt').then(x => x.text()).then(t => 'read:' + t, () => 'error'),
  iframe: () => element('iframe', 'src'), object: () => element('object', 'data'),
  script: () => element('script', 'src'), worker: () => new Promise(r => {
    new Worker('secret.txt').onerror = e => { e.preventDefault(); r('error:' + e.message); }; }) };
const results = { app: String(window.appRan) };
Promise.all(Object.entries(attempts).map(([name, attempt]) => Promise.race([attempt().catch(() => 'error'),
  new Promise(r => setTimeout(() => r('timeout'), 5000))]).then(v => { results[name] = String(v); })))
  .then(() => { document.title = JSON.stringify(results); });
</script></body></html>)").arg(fileUrl).toUtf8();
        fx.open(fx.file("site/index.htm", page));
        QVERIFY(loads(fx.f()));
        QWebEngineView *view = engineView(fx.f());
        QTRY_VERIFY_WITH_TIMEOUT(view->title().startsWith('{'), 20000);
        const QJsonObject results = QJsonDocument::fromJson(view->title().toUtf8()).object();
        QCOMPARE(results.value("app").toString(), QStringLiteral("true")); // page scripts still run
        for (const char *attempt :
             {"xhr", "xhrOutside", "xhrFile", "fetch", "iframe", "object", "script", "worker"}) {
            const QString outcome = results.value(attempt).toString();
            QVERIFY2(!outcome.isEmpty() && !outcome.contains("TOPSECRET") && outcome != "ran",
                     qPrintable(QStringLiteral("%1: %2").arg(attempt, outcome)));
        }

        // A download the page starts is refused before it writes anything.
        QList<QPointer<QWebEngineDownloadRequest>> downloads;
        connect(view->page()->profile(), &QWebEngineProfile::downloadRequested, this,
                [&](QWebEngineDownloadRequest *d) { downloads << d; });
        evaluate(fx.f(), QStringLiteral("const a = document.createElement('a'); a.href = 'secret.txt';"
                                        " a.download = 'stolen.txt'; document.body.append(a); a.click();"));
        QTRY_COMPARE_WITH_TIMEOUT(downloads.size(), 1, 10000);
        const QString target = downloads[0]->downloadDirectory() + "/" + downloads[0]->downloadFileName();
        QTRY_COMPARE(downloads[0]->state(), QWebEngineDownloadRequest::DownloadCancelled);
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY2(fx.dialogs.allAnswered(), qPrintable(fx.dialogs.report()));
    }
};

ORVIK_TEST_MAIN(tst_Preview)
#include "tst_Preview.moc"
