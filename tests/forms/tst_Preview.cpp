#include "EditorFixture.h"

#include "host/BrowserView.h"

#include <QDir>
#include <QImage>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A page whose title and the colour of #box show which text and which style sheet it got.
QByteArray styledPage(const QByteArray &title)
{
    return "<title>" + title + "</title><link rel=stylesheet href=style.css><p id=box>x</p>\r\n";
}

QWebEnginePage *enginePage(TfrmEditor &form)
{
    return form.findChild<QWebEngineView *>()->page();
}

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
QString shown(TfrmEditor &form,
              const QString &script =
                  "document.title + '|' + "
                  "getComputedStyle(box).color + '|' + location.pathname.split('/').pop()")
{
    auto result = std::make_shared<QVariant>(); // shared: a late answer has nowhere stale to go
    enginePage(form)->runJavaScript(script, [result](const QVariant &v) { *result = v; });
    return QTest::qWaitFor([&] { return result->isValid(); }, 10000) ? result->toString() : "";
}

// Every way a script might read a file: the title reports each attempt ("read:" when it got
// data). The site is the page's folder's ancestor below home; OUT is outside it. The engine
// makes all local files one origin (a page without that gets no local file at all), so the
// page reads back its neighbouring page resources; nothing else.
const QByteArray hostilePage = R"(<html><head><link rel=stylesheet href="../css/site.css">
<script src="app.js"></script></head><body><p id=box>x</p><img id=logo src="../images/x.png"><script>
const out = 'OUT', results = {}, errors = [];
onerror = m => { errors.push(String(m)); };
const load = (tag, attrs, probe) => new Promise(r => { const e = document.createElement(tag);
  e.onerror = () => r('error'); e.onload = () => { try { r(probe(e)); } catch (x) { r('denied'); } };
  Object.assign(e, attrs); document.body.appendChild(e); });
const pixels = src => load('img', {src}, e => { const g = document.createElement('canvas')
  .getContext('2d'); g.drawImage(e, 0, 0); return 'read:' + g.getImageData(0, 0, 1, 1).data; });
const rules = href => load('link', {rel: 'stylesheet', href},
  e => 'read:' + Array.from(e.sheet.cssRules, r => r.cssText).join());
const script = src => load('script', {src}, () => 'ran');
const frame = (tag, attrs) => load(tag, attrs, e => 'read:' + e.contentDocument.body.innerText);
const xhr = url => new Promise(r => { const x = new XMLHttpRequest(); x.onerror = () => r('error');
  x.onload = () => r('read:' + x.responseText); x.open('GET', url); x.send(); });
const attempts = {
  pixels: () => pixels('pic.png'), outsidePixels: () => pixels(out + '/secret.png'),
  rules: () => rules('style.css'), outsideRules: () => rules(out + '/secret.css'),
  outsideScript: () => script(out + '/secret.js'), hiddenScript: () => script('.hidden/secret.js'),
  linkedScript: () => script('linked.js'), linkedOutside: () => script('outside.js'),
  xhr: () => xhr('secret.txt'),
  xhrFile: () => xhr('file://' + location.pathname.replace(/[^/]*$/, 'secret.txt')),
  fetch: () => fetch('secret.txt').then(x => x.text()).then(t => 'read:' + t, () => 'error'),
  iframe: () => frame('iframe', {src: 'secret.txt'}),
  object: () => frame('object', {data: 'secret.txt'}),
  worker: () => new Promise(r => { new Worker('secret.txt').onerror = e => {
    e.preventDefault(); r('error' + (e.message || '')); }; }) };
// Last, as it moves the page's own address: it must not move the site.
const moved = () => { try { history.pushState(null, '', out + '/page.htm'); } catch (x) {
  return 'denied'; } return script(out + '/secret.js'); };
const timeout = () => new Promise(r => setTimeout(() => r('timeout'), 5000));
const names = Object.keys(attempts);
Promise.all(names.map(name => Promise.race([attempts[name](), timeout()]).catch(() => 'denied')))
  .then(values => { names.forEach((name, i) => { results[name] = String(values[i]); });
  return moved(); }).then(v => { results.pushState = String(v);
  Object.assign(results, {app: String(window.appRan), secret: String(window.secret), errors,
    style: getComputedStyle(box).color, logo: logo.naturalWidth});
  document.title = JSON.stringify(results); });
const a = document.createElement('a'); a.href = 'secret.txt'; a.download = 'stolen.txt';
document.body.append(a); a.click();
</script></body></html>)";

void writeImage(const QString &path)
{
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    QDir().mkpath(QFileInfo(path).path());
    if (!image.save(path, "PNG"))
        qFatal("cannot write %s", qPrintable(path));
}

mode_t modeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
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

        // Shown in the encoding the editor reads the text in, unless the page names one.
        for (const auto &[text, title] : QList<std::pair<QByteArray, QByteArray>> {
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
        ANSWERED(fx.dialogs);
    }

    // Hostile pages, shown as a preview file, as a preview that could not be written (from
    // memory), and opened while browsing under a name the engine would not render (its scheme).
    void hostilePagesReadNothing_data()
    {
        QTest::addColumn<QString>("shownAs");
        QTest::addColumn<QString>("pushState"); // a file: address cannot be moved by a page
        QTest::newRow("preview file") << QString("preview file") << QString("denied");
        QTest::newRow("preview from memory") << QString("memory") << QString("error");
        QTest::newRow("opened as .txt") << QString("opened") << QString("error");
    }
    void hostilePagesReadNothing()
    {
        QFETCH(QString, shownAs);
        QFETCH(QString, pushState);
        EditorFixture fx;
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(fx.env.root())); // the site is then work/
        const auto restoreHome = qScopeGuard([&] { qputenv("HOME", savedHome); });
        const QString out = fx.env.root() + "/outside";
        writeImage(out + "/secret.png");
        writeImage(fx.env.workDir() + "/site/pages/pic.png");
        writeImage(fx.env.workDir() + "/site/images/x.png");
        fx.file("../outside/secret.css", "#x { --secret: 'SECRET'; }");
        fx.file("../outside/secret.js", "window.secret = 'SECRET outside';");
        fx.file("site/css/site.css", "#box { color: rgb(1, 2, 3); }");
        const QString pages = fx.env.workDir() + "/site/pages/";
        fx.file("site/pages/style.css", "#y { color: red; }");
        fx.file("site/pages/app.js", "window.appRan = true;");
        fx.file("site/pages/secret.txt", "SECRET");
        fx.file("site/pages/.hidden/secret.js", "window.secret = 'SECRET hidden';");
        QVERIFY(QFile::link(pages + "secret.txt", pages + "linked.js"));
        QVERIFY(QFile::link(out + "/secret.js", pages + "outside.js"));
        const QByteArray page = QByteArray(hostilePage).replace("OUT", QFile::encodeName(out));
        const QString file = fx.file(
            shownAs == "opened" ? "site/pages/page.txt" : "site/pages/page.htm", page);
        if (shownAs == "memory")
            QVERIFY(QDir().mkpath(pages + "Orvik_temp.ht~"));

        QVERIFY(browse(fx.f(), "")); // starts the engine
        QSignalSpy downloads(enginePage(fx.f())->profile(), &QWebEngineProfile::downloadRequested);
        QVERIFY(browse(fx.f(), {}, [&] {
            if (shownAs != "opened")
                clickPage(fx.f(), 0);
            fx.open(file);
            clickPage(fx.f(), 1);
        }));
        QTRY_VERIFY_WITH_TIMEOUT(enginePage(fx.f())->title().startsWith('{'), 20000);
        const QString reads = enginePage(fx.f())->title();
        QVERIFY2(!reads.contains("SECRET"), qPrintable(reads));
        // Page resources from inside the site load: the neighbours (which a script cannot read
        // back) and the site's shared style sheet and image.
        const QString expected =
            "{'pixels':'read:255,0,0,255','outsidePixels':'error',"
            "'rules':'read:#y { color: red; }','outsideRules':'error','outsideScript':'error',"
            "'hiddenScript':'error','linkedScript':'error','linkedOutside':'error','xhr':'error',"
            "'xhrFile':'error',"
            "'fetch':'error','iframe':'denied','object':'error','worker':'error',"
            "'pushState':'"
            + pushState
            + "','app':'true','secret':'undefined','errors':[],"
              "'style':'rgb(1, 2, 3)','logo':7}";
        QCOMPARE(reads, QString(expected).replace('\'', '"'));
        QTRY_COMPARE(downloads.size(), 1);
        const auto *download = downloads[0][0].value<QWebEngineDownloadRequest *>();
        QTRY_COMPARE(download->state(), QWebEngineDownloadRequest::DownloadCancelled);
        QVERIFY(!QDir(download->downloadDirectory()).exists(download->downloadFileName()));
    }

    // A frameset of neighbouring pages shows them; each frame reports its text to the page.
    void framesOfNeighbouringPagesShow()
    {
        EditorFixture fx;
        for (const QByteArray name : {"Alpha", "Beta"})
            fx.file(name + ".htm", "<p>" + name
                                       + "</p><script>parent.postMessage("
                                         "document.body.innerText, '*')</script>");
        fx.file("notes.txt", "<script>parent.postMessage('notes', '*')</script>");
        fx.open(fx.file(
            "frames.htm",
            "<html><head><script>const got = []; onmessage = e => {"
            " got.push(e.data); document.title = got.sort().join(); };</script></head><frameset"
            " cols='*,*,*'><frame src=Alpha.htm><frame src=Beta.htm><frame src=notes.txt>"
            "</frameset></html>"));
        QVERIFY(browse(fx.f()));
        QTRY_COMPARE(enginePage(fx.f())->title(), QStringLiteral("Alpha,Beta"));
        QTest::qWait(500); // the text file's frame would have reported by now
        QCOMPARE(enginePage(fx.f())->title(), QStringLiteral("Alpha,Beta"));
    }

    // The preview file is readable by whoever may read the document, and no one else.
    void previewFileTakesTheDocumentsMode()
    {
        EditorFixture fx;
        const mode_t savedMask = ::umask(077);
        for (const mode_t mode : {0600, 0640, 0664}) {
            const QString document = fx.file(QString("%1/page.htm").arg(mode, 0, 8), "x");
            QVERIFY(::chmod(QFile::encodeName(document).constData(), mode) == 0);
            clickPage(fx.f(), 0);
            fx.open(document);
            QVERIFY(browse(fx.f()));
            QCOMPARE(modeOf(QFileInfo(document).path() + "/Orvik_temp.ht~"), mode);
        }
        ::umask(022);
        fx.choose("itmNew");
        QVERIFY(browse(fx.f()));
        QCOMPARE(modeOf(fx.env.untitledDir() + "Orvik_temp.ht~"), mode_t(0600));
        ::umask(savedMask);
    }

    // Exit takes away each preview file this run wrote that still holds what it wrote.
    void exitRemovesThePreviewFilesItWrote()
    {
        EditorFixture fx;
        const QString dir = fx.env.workDir();
        const QString planted = fx.file("untouched/Orvik_temp.ht~", "not ours");
        for (const QString name : {"a", "b", "changed", "copied"}) {
            clickPage(fx.f(), 0);
            fx.open(fx.file(name + "/page.htm", name.toUtf8()));
            QVERIFY(browse(fx.f()));
        }
        fx.choose("itmNew"); // an empty one in the working directory, and an untitled preview
        QVERIFY(browse(fx.f()));
        fx.file("changed/Orvik_temp.ht~", "changed by another program");
        const QString copied = dir + "/copied/Orvik_temp.ht~";
        QVERIFY(QFile::rename(copied, copied + ".old") && QFile::copy(copied + ".old", copied));
        fx.choose("itmExit");
        QVERIFY(!fx.f().isVisible());
        for (const QString &gone : {dir + "/a/", dir + "/b/", dir + "/", fx.env.untitledDir()})
            QVERIFY2(!QFile::exists(gone + "Orvik_temp.ht~"), qPrintable(gone));
        QCOMPARE(ReadWholeFile(dir + "/changed/Orvik_temp.ht~"),
                 QByteArray("changed by another program"));
        QCOMPARE(ReadWholeFile(copied), QByteArray("copied\r\n"));
        QCOMPARE(ReadWholeFile(planted), QByteArray("not ours"));
        ANSWERED(fx.dialogs);
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
                std::optional<FileSizeLimit> full;
                if (fault == "size limit")
                    full.emplace(16);
                clickPage(fx.f(), 1);
            }));
            const QString colour = fault == "vanished" ? "rgb(0, 0, 0)" : "rgb(1, 2, 3)";
            QCOMPARE(shown(fx.f()), fault + "|" + colour + "|Orvik_temp.ht~");
            QCOMPARE(ReadWholeFile(preview), fault.endsWith("link") ? text : "<unreadable>");
            QCOMPARE(ReadWholeFile(victim), QByteArray("precious"));
        }
        ANSWERED(fx.dialogs);
    }
};

ORVIK_TEST_MAIN(tst_Preview)
#include "tst_Preview.moc"
