#include "TestEnvironment.h"

#include "app/unCommon.h"
#include "forms/fmEditor.h"
#include "host/BrowserView.h"
#include "host/EditSurface.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabBar>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <csignal>
#include <memory>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A page whose title and the colour of #box show which text and which style sheet it got.
QByteArray styledPage(const QByteArray &title)
{
    return "<html><head><title>" + title
           + "</title><link rel=\"stylesheet\" href=\"style.css\"></head>\r\n"
             "<body><p id=\"box\">Some text</p></body></html>\r\n";
}

QWebEngineView *engineView(TfrmEditor &form)
{
    return form.findChild<QWebEngineView *>(QStringLiteral("webEngineView"));
}

void clickPage(TfrmEditor &form, int index)
{
    QTabBar *bar = form.pgpEditor->bar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

// Turns to the Browse page as a user does; true once the view has loaded a page.
bool browse(TfrmEditor &form)
{
    QSignalSpy loaded(form.webBrowser, &BrowserView::LoadFinished);
    clickPage(form, 1);
    if (form.pgpEditor->activePage() != form.shtBrowse)
        return false;
    return !loaded.isEmpty() || loaded.wait(30000);
}

// Opens a file while the Browse page is in front; true once the view has loaded it.
bool openWhileBrowsing(TfrmEditor &form, const QString &path)
{
    QSignalSpy loaded(form.webBrowser, &BrowserView::LoadFinished);
    OpenDocument(form, path);
    return !loaded.isEmpty() || loaded.wait(30000);
}

void edit(TfrmEditor &form)
{
    clickPage(form, 0);
}

QString evaluate(TfrmEditor &form, const QString &script)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    engineView(form)->page()->runJavaScript(script, [result](const QVariant &v) { *result = v; });
    if (!QTest::qWaitFor([&] { return result->has_value(); }, 10000))
        return QStringLiteral("<no result>");
    return (*result)->toString();
}

// What the view shows: the page's title and the colour its style sheet gave #box.
QString shown(TfrmEditor &form)
{
    return evaluate(form, QStringLiteral(
        "document.title + '|' + (document.getElementById('box') ?"
        " getComputedStyle(document.getElementById('box')).color : 'no box')"));
}

QString shownFile(TfrmEditor &form)
{
    return QFileInfo(evaluate(form, QStringLiteral("decodeURIComponent(location.pathname)"))).fileName();
}

} // namespace

class tst_Preview : public QObject
{
    Q_OBJECT

private slots:
    void engineThatCannotStartIsReported()
    {
        TestEnvironment env;
        const QByteArray saved = qgetenv("QTWEBENGINEPROCESS_PATH");
        qputenv("QTWEBENGINEPROCESS_PATH", QFile::encodeName(env.root() + "/no-such-helper"));
        const auto restore = qScopeGuard([&] {
            if (saved.isNull())
                qunsetenv("QTWEBENGINEPROCESS_PATH");
            else
                qputenv("QTWEBENGINEPROCESS_PATH", saved);
        });
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        dialogs.expectError("no-such-helper");
        clickPage(form, 1);
        QVERIFY(!engineView(form));

        edit(form);
        QCOMPARE(form.pgpEditor->activePage(), form.shtEdit);
        form.mmoEditor->setLinesText("still editing");
        QCOMPARE(form.mmoEditor->linesText(), QByteArray("still editing\r\n"));
        QCOMPARE(form.tabFileList->tab(0), QStringLiteral("* - Untitled"));
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void previewShowsTheEditorsText()
    {
        TestEnvironment env;
        // Characters that mean something in an address must still name the directory.
        const QString site = QStringLiteral("web site #1 100% \u00e9/");
        env.writeFile(site + "style.css", "#box { color: rgb(1, 2, 3); }\r\n");
        const QByteArray indexText = styledPage("index");
        const QString index = env.writeFile(site + "index.htm", indexText);
        const QString about = env.writeFile(site + "about.htm", styledPage("about"));
        const QString notes = env.writeFile(site + "notes.txt", styledPage("notes"));
        const QString preview = env.workDir() + "/" + site + "Orvik_temp.ht~";
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        OpenDocument(form, index);
        QVERIFY(!engineView(form));

        // A saved document: the preview file beside it is shown, the document is not touched.
        QVERIFY(browse(form));
        QCOMPARE(ReadWholeFile(preview), form.mmoEditor->linesText());
        QCOMPARE(ReadWholeFile(index), indexText);
        QCOMPARE(shown(form), QStringLiteral("index|rgb(1, 2, 3)"));
        QCOMPARE(shownFile(form), QStringLiteral("Orvik_temp.ht~"));
        QCOMPARE(form.webBrowser->size(), form.pgpEditor->size() - QSize(7, 25));

        // Unsaved edits are shown and stay unsaved; a changed style sheet is read again.
        edit(form);
        QVERIFY(QFileInfo::exists(preview));
        form.mmoEditor->setLinesText(styledPage("edited"));
        env.writeFile(site + "style.css", "#box { color: rgb(4, 5, 6); }\r\n");
        QVERIFY(browse(form));
        QCOMPARE(shown(form), QStringLiteral("edited|rgb(4, 5, 6)"));
        QVERIFY(!form.DocumentList->Items(0)->Saved);
        QCOMPARE(form.tabFileList->tab(0), QStringLiteral("* - index.htm"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Ostra Pagloom - ") + index);
        QCOMPARE(ReadWholeFile(index), indexText);

        // Opened while browsing: the file itself is shown, whatever its extension.
        QVERIFY(openWhileBrowsing(form, about));
        QCOMPARE(shown(form), QStringLiteral("about|rgb(4, 5, 6)"));
        QCOMPARE(shownFile(form), QStringLiteral("about.htm"));
        QCOMPARE(ReadWholeFile(preview), styledPage("edited"));

        // Two documents in one directory share the preview file: the last turn decides.
        edit(form);
        QVERIFY(browse(form));
        QCOMPARE(ReadWholeFile(preview), styledPage("about"));
        QCOMPARE(shownFile(form), QStringLiteral("Orvik_temp.ht~"));

        QVERIFY(openWhileBrowsing(form, notes));
        QCOMPARE(shown(form), QStringLiteral("notes|rgb(4, 5, 6)"));

        // An empty editor gives an empty preview file, and an empty page.
        edit(form);
        form.mmoEditor->linesClear();
        QVERIFY(browse(form));
        QCOMPARE(QFileInfo(preview).size(), 0);
        QVERIFY(QFileInfo(preview).isFile());
        QCOMPARE(shown(form), QStringLiteral("|no box"));

        // An untitled document previews in the private untitled directory.
        edit(form);
        form.itmNew->Click();
        QVERIFY(browse(form));
        QCOMPARE(ReadWholeFile(env.untitledDir() + "Orvik_temp.ht~"), form.mmoEditor->linesText());
        QCOMPARE(shown(form), QStringLiteral("Untitled|no box"));

        // Text is shown in the encoding the editor reads it in, unless the page names one.
        const struct
        {
            QByteArray text;
            const char *title;
        } encodings[] = {
            {"<title>caf\xc3\xa9 \xe2\x82\xac</title>", "caf\u00e9 \u20ac"},
            {"<title>caf\xe9</title>", "caf\u00e9"},
            {"<meta charset=\"iso-8859-1\"><title>caf\xc3\xa9</title>", "caf\u00c3\u00a9"},
        };
        for (const auto &row : encodings) {
            edit(form);
            form.mmoEditor->setLinesText(row.text);
            QVERIFY(browse(form));
            QCOMPARE(evaluate(form, QStringLiteral("document.title")), QString::fromUtf8(row.title));
        }

        // A bare file name has no directory: the preview goes to the working directory.
        edit(form);
        env.writeFile("style.css", "#box { color: rgb(7, 8, 9); }\r\n");
        env.writeFile("bare.htm", styledPage("bare"));
        OpenDocument(form, "bare.htm");
        QVERIFY(browse(form));
        QCOMPARE(ReadWholeFile(env.workDir() + "/Orvik_temp.ht~"), styledPage("bare"));
        QCOMPARE(shown(form), QStringLiteral("bare|rgb(7, 8, 9)"));
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void unwritablePreviewShowsTheCurrentText()
    {
        TestEnvironment env;
        for (const char *dir : {"taken", "limited", "vanished"}) {
            env.writeFile(QStringLiteral("%1/style.css").arg(dir), "#box { color: rgb(1, 2, 3); }\r\n");
            env.writeFile(QStringLiteral("%1/page.htm").arg(dir), styledPage("on disk"));
        }
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        // The preview file's name is taken by a directory.
        QDir().mkpath(env.workDir() + "/taken/Orvik_temp.ht~");
        OpenDocument(form, env.workDir() + "/taken/page.htm");
        form.mmoEditor->setLinesText(styledPage("taken"));
        QVERIFY(browse(form));
        QCOMPARE(shown(form), QStringLiteral("taken|rgb(1, 2, 3)"));
        QVERIFY(QFileInfo(env.workDir() + "/taken/Orvik_temp.ht~").isDir());

        // A file that cannot grow keeps the earlier preview; the view must not show that one.
        edit(form);
        OpenDocument(form, env.workDir() + "/limited/page.htm");
        QVERIFY(browse(form));
        const QString limitedPreview = env.workDir() + "/limited/Orvik_temp.ht~";
        QCOMPARE(ReadWholeFile(limitedPreview), styledPage("on disk"));
        edit(form);
        form.mmoEditor->setLinesText(styledPage("beyond the size limit"));
        QSignalSpy loaded(form.webBrowser, &BrowserView::LoadFinished);
        {
            const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit previous;
            getrlimit(RLIMIT_FSIZE, &previous);
            rlimit limit = previous;
            limit.rlim_cur = 16;
            setrlimit(RLIMIT_FSIZE, &limit);
            clickPage(form, 1);
            setrlimit(RLIMIT_FSIZE, &previous);
            std::signal(SIGXFSZ, previousHandler);
        }
        QVERIFY(!loaded.isEmpty() || loaded.wait(30000));
        QCOMPARE(ReadWholeFile(limitedPreview), styledPage("on disk"));
        QCOMPARE(shown(form), QStringLiteral("beyond the size limit|rgb(1, 2, 3)"));

        // The document's directory is gone.
        edit(form);
        OpenDocument(form, env.workDir() + "/vanished/page.htm");
        QVERIFY(QDir(env.workDir() + "/vanished").removeRecursively());
        form.mmoEditor->setLinesText(styledPage("vanished"));
        QVERIFY(browse(form));
        QCOMPARE(shown(form), QStringLiteral("vanished|rgb(0, 0, 0)"));
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void plantedLinksAreReplacedNotFollowed()
    {
        TestEnvironment env;
        const QString victim = env.writeFile("victim.txt", "precious\r\n");
        const QString symlinked = env.writeFile("symlinked/page.htm", styledPage("symlinked"));
        const QString hardlinked = env.writeFile("hardlinked/page.htm", styledPage("hardlinked"));
        QVERIFY(QFile::link(victim, env.workDir() + "/symlinked/Orvik_temp.ht~"));
        QCOMPARE(::link(QFile::encodeName(victim).constData(),
                        QFile::encodeName(env.workDir() + "/hardlinked/Orvik_temp.ht~").constData()),
                 0);
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        for (const QString &page : {symlinked, hardlinked}) {
            edit(form);
            OpenDocument(form, page);
            QVERIFY(browse(form));
            const QString preview = QFileInfo(page).absolutePath() + "/Orvik_temp.ht~";
            QVERIFY(!QFileInfo(preview).isSymLink());
            QCOMPARE(ReadWholeFile(preview), ReadWholeFile(page));
            QCOMPARE(shown(form), QFileInfo(page).dir().dirName() + "|rgb(0, 0, 0)");
        }
        QCOMPARE(ReadWholeFile(victim), QByteArray("precious\r\n"));
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void pageScriptCannotReadLocalFiles()
    {
        TestEnvironment env;
        env.writeFile("outside.txt", "TOPSECRET_OUTSIDE");
        env.writeFile("site/secret.txt", "TOPSECRET_NEIGHBOUR");
        env.writeFile("site/style.css", "#box { color: rgb(1, 2, 3); }\r\n");
        env.writeFile("site/app.js", "window.appRan = true;\r\n");
        const QString fileUrl = QUrl::fromLocalFile(env.workDir() + "/site/secret.txt").toString();
        // Every way a script might read a neighbour; each reports what it got.
        const QByteArray page = QStringLiteral(R"(<html><head><title>probing</title>
<link rel="stylesheet" href="style.css"><script src="app.js"></script></head>
<body><p id="box">probe</p><script>
function xhr(url) { return new Promise(r => { const x = new XMLHttpRequest();
  x.onload = () => r('read:' + x.responseText); x.onerror = () => r('error');
  try { x.open('GET', url); x.send(); } catch (e) { r('error'); } }); }
function framed(tag, attr) { return new Promise(r => { const f = document.createElement(tag);
  f[attr] = 'secret.txt';
  f.onload = () => { try { r(f.contentDocument ? 'read:' + f.contentDocument.body.innerText : 'null'); }
                     catch (e) { r('error'); } };
  f.onerror = () => r('error'); document.body.appendChild(f); }); }
function script() { return new Promise(r => { window.onerror = m => { r('read:' + m); return true; };
  const s = document.createElement('script'); s.src = 'secret.txt';
  s.onload = () => r('ran'); s.onerror = () => r('error'); document.head.appendChild(s); }); }
function worker() { return new Promise(r => { try { const w = new Worker('secret.txt');
  w.onerror = e => { e.preventDefault(); r('error:' + e.message); }; } catch (e) { r('error'); } }); }
const attempts = {
  xhr: () => xhr('secret.txt'), xhrOutside: () => xhr('../outside.txt'), xhrFile: () => xhr('%1'),
  fetch: () => fetch('secret.txt').then(x => x.text()).then(t => 'read:' + t, () => 'error'),
  iframe: () => framed('iframe', 'src'), object: () => framed('object', 'data'),
  script: script, worker: worker };
const results = {};
Promise.all(Object.entries(attempts).map(([name, attempt]) =>
  Promise.race([attempt(), new Promise(r => setTimeout(() => r('timeout'), 5000))])
    .then(v => { results[name] = String(v); }))).then(() => {
  results.css = getComputedStyle(document.getElementById('box')).color;
  results.app = String(window.appRan);
  document.title = JSON.stringify(results); });
function download() { const a = document.createElement('a'); a.href = 'secret.txt';
  a.download = 'stolen.txt'; document.body.appendChild(a); a.click(); }
</script></body></html>
)").arg(fileUrl).toUtf8();
        const QString path = env.writeFile("site/index.htm", page);
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        OpenDocument(form, path);
        QVERIFY(browse(form));
        QWebEngineView *view = engineView(form);
        QTRY_VERIFY_WITH_TIMEOUT(view->title().startsWith('{'), 20000);
        const QJsonObject results = QJsonDocument::fromJson(view->title().toUtf8()).object();
        QCOMPARE(results.value("css").toString(), QStringLiteral("rgb(1, 2, 3)"));
        QCOMPARE(results.value("app").toString(), QStringLiteral("true"));
        for (const char *attempt : {"xhr", "xhrOutside", "xhrFile", "fetch", "iframe", "object",
                                    "script", "worker"}) {
            const QString outcome = results.value(attempt).toString();
            QVERIFY2(!outcome.isEmpty() && !outcome.contains("TOPSECRET") && outcome != "ran",
                     qPrintable(QStringLiteral("%1: %2").arg(attempt, outcome)));
        }

        // A download the page starts is refused before it writes anything.
        QList<QPointer<QWebEngineDownloadRequest>> downloads;
        connect(view->page()->profile(), &QWebEngineProfile::downloadRequested, this,
                [&](QWebEngineDownloadRequest *d) { downloads << d; });
        evaluate(form, QStringLiteral("download()"));
        QTRY_COMPARE_WITH_TIMEOUT(downloads.size(), 1, 10000);
        const QString target = downloads[0]->downloadDirectory() + "/" + downloads[0]->downloadFileName();
        QTRY_COMPARE(downloads[0]->state(), QWebEngineDownloadRequest::DownloadCancelled);
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }
};

ORVIK_TEST_MAIN(tst_Preview)
#include "tst_Preview.moc"
