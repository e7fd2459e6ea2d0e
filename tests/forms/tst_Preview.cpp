#include "EditorFixture.h"

#include "host/BrowserView.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A page whose title and the colour of #box show which text and which style sheet it got.
QByteArray styledPage(const QByteArray &title)
{
    return "<title>" + title + "</title><link rel=stylesheet href=style.css><p id=box>x</p>\r\n";
}

QWebEnginePage *enginePage(TfrmEditor &form) { return form.findChild<QWebEngineView *>()->page(); }

void clickPage(TfrmEditor &form, int index)
{
    QTabBar *bar = Control<PageControl>(form).bar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

// Puts text, if given, in the editor from the Edit page, then runs turn (by default a user's
// turn to the Browse page); true once the view has loaded.
bool browse(TfrmEditor &form, const QByteArray &text = {}, const std::function<void()> &turn = {})
{
    if (!text.isNull()) {
        clickPage(form, 0);
        Control<EditSurface>(form).setLinesText(text);
    }
    QSignalSpy loaded(&Control<BrowserView>(form), &BrowserView::LoadFinished);
    turn ? turn() : clickPage(form, 1);
    return Control<PageControl>(form).activePage() == &Control(form, "shtBrowse")
           && (loaded.size() || loaded.wait(30000));
}

// What the view shows; by default the title, the colour the style sheet gave #box, the file name.
QString shown(TfrmEditor &form, const QString &script = "document.title + '|' + "
              "getComputedStyle(box).color + '|' + location.pathname.split('/').pop()")
{
    auto result = std::make_shared<QVariant>(); // shared: a late answer has nowhere stale to go
    enginePage(form)->runJavaScript(script, [result](const QVariant &v) { *result = v; });
    return QTest::qWaitFor([&] { return result->isValid(); }, 10000) ? result->toString() : "";
}

// Every way a script might read or download its neighbour secret.txt; the title reports each read.
const QByteArray probePage = R"(<html><head><script src="app.js"></script></head><body><script>
const xhr = url => new Promise(r => { const x = new XMLHttpRequest(); x.onerror = () => r('error');
  x.onload = () => r('read:' + x.responseText); x.open('GET', url); x.send(); });
const element = (tag, attr) => new Promise(r => { const e = document.createElement(tag);
  e[attr] = 'secret.txt'; e.onerror = () => r('error'); document.body.appendChild(e);
  e.onload = () => { try { r(tag == 'script' ? 'ran' : 'read:' + e.contentDocument.body.innerText);
                     } catch (x) { r('error'); } }; });
const attempts = { xhr: () => xhr('secret.txt'),
  xhrFile: () => xhr('file://' + location.pathname.replace(/[^/]*$/, 'secret.txt')),
  fetch: () => fetch('secret.txt').then(x => x.text()).then(t => 'read:' + t, () => 'error'),
  iframe: () => element('iframe', 'src'), object: () => element('object', 'data'),
  script: () => element('script', 'src'), worker: () => new Promise(r => {
    new Worker('secret.txt').onerror = e => { e.preventDefault(); r('error:' + e.message); }; }) };
const results = { app: String(window.appRan), name: location.pathname.split('/').pop() };
const timeout = () => new Promise(r => setTimeout(() => r('timeout'), 5000));
Promise.all(Object.entries(attempts).map(([name, attempt]) => Promise.race([attempt(), timeout()])
  .catch(() => 'error').then(v => { results[name] = String(v); })))
  .then(() => { document.title = JSON.stringify(results); });
const a = document.createElement('a'); a.href = 'secret.txt'; a.download = 'stolen.txt';
document.body.append(a); a.click();
</script></body></html>)";

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
        fx.open(index);

        // A missing engine helper is reported; a later turn tries again.
        const QByteArray savedHelper = qgetenv("QTWEBENGINEPROCESS_PATH");
        const QString helper = fx.env.root() + "/no-such-helper";
        qputenv("QTWEBENGINEPROCESS_PATH", QFile::encodeName(helper));
        fx.dialogs.expectError("Cannot start the browser view: " + helper + " is missing");
        clickPage(form, 1);
        qputenv("QTWEBENGINEPROCESS_PATH", savedHelper); // empty counts as unset

        // The preview file beside the document is shown; the document is not touched.
        QVERIFY(browse(form, styledPage("index")));
        QCOMPARE(ReadWholeFile(QFileInfo(index).path() + "/Orvik_temp.ht~"), styledPage("index"));
        QCOMPARE(shown(form), QStringLiteral("index|rgb(1, 2, 3)|Orvik_temp.ht~"));

        // Unsaved edits are shown and stay unsaved; a style sheet changed on disk is read again.
        fx.file(site + "style.css", "#box { color: rgb(4, 5, 6); }");
        QVERIFY(browse(form, styledPage("edited")));
        QCOMPARE(shown(form), QStringLiteral("edited|rgb(4, 5, 6)|Orvik_temp.ht~"));
        QCOMPARE(ReadWholeFile(index), styledPage("index"));

        // Opened while browsing, a file is shown itself as a page, whatever its extension. Its
        // scripts run and load page resources, but read no local file and download nothing.
        fx.file(site + "secret.txt", "SECRET");
        fx.file(site + "app.js", "window.appRan = true;");
        QSignalSpy downloads(enginePage(form)->profile(), &QWebEngineProfile::downloadRequested);
        QVERIFY(browse(form, {}, [&] { fx.open(fx.file(site + "probe.txt", probePage)); }));
        const QString start = R"({"app":"true","name":"probe.txt")";
        QTRY_VERIFY2_WITH_TIMEOUT(enginePage(form)->title().startsWith(start),
                                  qPrintable(enginePage(form)->title()), 20000);
        const QString reads = enginePage(form)->title();
        QVERIFY2(!reads.contains("SECRET") && !reads.contains("\"ran\""), qPrintable(reads));
        QTRY_COMPARE(downloads.size(), 1);
        const auto *download = downloads[0][0].value<QWebEngineDownloadRequest *>();
        QTRY_COMPARE(download->state(), QWebEngineDownloadRequest::DownloadCancelled);
        QVERIFY(!QDir(download->downloadDirectory()).exists(download->downloadFileName()));

        // Shown in the encoding the editor reads the text in, unless the page names one.
        for (const auto &[text, title] : QList<std::pair<QByteArray, QByteArray>>{
                 {"<title>caf\xc3\xa9 \xe2\x82\xac</title>", "caf\xc3\xa9 \xe2\x82\xac"},
                 {"<title>caf\xe9</title>", "caf\xc3\xa9"},
                 {"<meta charset=latin1><title>caf\xc3\xa9</title>", "caf\xc3\x83\xc2\xa9"}}) {
            QVERIFY(browse(form, text));
            QCOMPARE(shown(form, "document.title").toUtf8(), title);
        }

        // An untitled document previews in the private untitled directory.
        fx.choose("itmNew");
        QVERIFY(browse(form, "new\r\n"));
        QCOMPARE(ReadWholeFile(fx.env.untitledDir() + "Orvik_temp.ht~"), QByteArray("new\r\n"));
        QVERIFY2(fx.dialogs.allAnswered(), qPrintable(fx.dialogs.report()));
    }

    // A planted link is replaced, never written through. An unwritable preview file is not
    // reported, leaves no partial file, and the view shows the current text from memory.
    void previewFileFaults()
    {
        EditorFixture fx;
        const QString victim = fx.file("victim.txt", "precious");
        fx.file("site/style.css", "#box { color: rgb(1, 2, 3); }");
        const QString preview = fx.env.workDir() + "/site/Orvik_temp.ht~";
        const QByteArray from = QFile::encodeName(victim), to = QFile::encodeName(preview);
        fx.open(fx.file("site/page.htm", styledPage("on disk")));
        std::signal(SIGXFSZ, SIG_IGN); // a write over the size limit fails, not the process
        // The first turn starts the engine before any limit is set.
        for (const QString fault : {"symlink", "hardlink", "size limit", "directory", "vanished"}) {
            QFile::remove(preview);
            if (fault.endsWith("link"))
                QCOMPARE((fault == "symlink" ? ::symlink : ::link)(from.data(), to.data()), 0);
            if (fault == "directory")
                QVERIFY(QDir().mkpath(preview));
            if (fault == "vanished")
                QVERIFY(QDir(fx.env.workDir() + "/site").removeRecursively());
            const QByteArray text = styledPage(fault.toUtf8());
            QVERIFY(browse(fx.f(), text, [&] { // the limit holds for the page turn only
                rlimit old;
                getrlimit(RLIMIT_FSIZE, &old);
                const rlimit limit = {fault == "size limit" ? 16 : old.rlim_cur, old.rlim_max};
                setrlimit(RLIMIT_FSIZE, &limit);
                clickPage(fx.f(), 1);
                setrlimit(RLIMIT_FSIZE, &old);
            }));
            const QString colour = fault == "vanished" ? "rgb(0, 0, 0)" : "rgb(1, 2, 3)";
            QCOMPARE(shown(fx.f()), fault + "|" + colour + "|Orvik_temp.ht~");
            QCOMPARE(ReadWholeFile(preview), fault.endsWith("link") ? text : "<unreadable>");
            QCOMPARE(ReadWholeFile(victim), QByteArray("precious"));
        }
        QVERIFY2(fx.dialogs.allAnswered(), qPrintable(fx.dialogs.report()));
    }
};

ORVIK_TEST_MAIN(tst_Preview)
#include "tst_Preview.moc"
