// A seeded, reproducible run of user actions through the window's handlers, checked after every
// step against a model of the documents and of the files they were saved to.
#pragma once

#include "EditorFixture.h"

#include "docs/DocumentFiles.h"
#include "docs/DocumentList.h"
#include "docs/NewFileTemplate.h"
#include "host/Clipboard.h"
#include "host/FindDialog.h"

#include <QAbstractButton>
#include <QDir>
#include <QRandomGenerator>
#include <sys/resource.h>

class Soak
{
public:
    // browseEvery: one step in about so many turns to the Browse page and back (0: never).
    explicit Soak(quint32 seed, int browseEvery = 0) : m_rng(seed), m_browseEvery(browseEvery)
    {
        for (int i = 0; i < kFiles; ++i)
            m_disk[x.file(QStringLiteral("f%1.htm").arg(i), words("abc\r\n", 40))] = {};
        for (auto it = m_disk.begin(); it != m_disk.end(); ++it)
            it.value() = ReadWholeFile(it.key());
        m_docs.push_back({QString(), NewFileTemplate(), false});
        // Two tabs can hold one file (Save As onto an open path); a save from one after the
        // other wrote the file asks first, and the model's last save wins.
        x.dialogs.answerAlways(QStringLiteral("has been changed by another program"), mrYes);
        Clipboard::SetAsText(QString::fromLatin1(m_clip));
    }

    // Runs that many steps; the first step the window and the model disagree on, or empty.
    QString run(int steps)
    {
        for (int i = 0; i < steps; ++i) {
            m_step.clear();
            act();
            if (const QString fault = check(); !fault.isEmpty())
                return QStringLiteral("step %1 (%2): %3").arg(i).arg(m_step, fault);
        }
        return {};
    }

private:
    struct Doc
    {
        QString path; // empty while untitled
        QByteArray text;
        bool changed;
    };
    static constexpr int kFiles = 4;
    static constexpr size_t kMaxTabs = 6; // all stay clickable in the strip

    // Every line followed by CR LF, as a save writes it.
    static QByteArray crlf(const QByteArray &text)
    {
        QByteArray out;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' || text[i] == '\n') {
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
                out += "\r\n";
            } else {
                out += text[i];
                if (i + 1 == text.size())
                    out += "\r\n";
            }
        }
        return out;
    }
    int pick(int n) { return n > 0 ? int(m_rng.bounded(quint32(n))) : 0; }
    QByteArray words(const char *alphabet, int most)
    {
        QByteArray out;
        for (int n = pick(most) + 1; n > 0; --n)
            out += alphabet[pick(int(strlen(alphabet)))];
        return out;
    }
    QString pathOf(int i) const { return x.env.workDir() + QStringLiteral("/f%1.htm").arg(i); }
    Doc &doc() { return m_docs[m_current]; }
    void note(const QString &what) { m_step += what + QLatin1Char(' '); }

    // A random selection on the surface, as the surface settled it.
    void select(bool collapsed = false)
    {
        EditSurface &e = x.editor();
        const int n = e.textLength();
        const int p = pick(n + 1);
        e.setSelStart(p);
        if (!collapsed)
            e.setSelLength(pick(std::min(n - p, 12) + 1));
        m_selStart = e.selStart();
        m_selLength = e.selLength();
        note(QStringLiteral("[%1,%2]").arg(m_selStart).arg(m_selLength));
    }
    void edited(const QByteArray &text)
    {
        doc().text = text;
        doc().changed = true;
    }
    void saved(const QString &path)
    {
        doc().path = path;
        doc().changed = false;
        m_disk[path] = crlf(doc().text);
    }
    // The current document's Save: an untitled one goes through the Save As dialog.
    void saveCurrent()
    {
        if (doc().path.isEmpty())
            saveAs();
        else
            saved(doc().path);
    }
    void saveAs()
    {
        const bool cancel = pick(4) == 0;
        const QString path = pathOf(pick(kFiles));
        note(cancel ? QStringLiteral("cancel") : path.section('/', -1));
        x.dialogs.expectSave(cancel ? std::nullopt : std::optional(path));
        if (!cancel)
            saved(path);
    }
    void addDoc(const Doc &d)
    {
        m_docs.push_back(d);
        m_current = int(m_docs.size()) - 1;
    }
    // Search and replace fold case; the texts searched for are lower-case letters.
    static qsizetype find(const QByteArray &text, const QByteArray &what, qsizetype from)
    {
        return text.toLower().indexOf(what, from);
    }

    void act()
    {
        const bool full = m_docs.size() >= kMaxTabs;
        switch (m_browseEvery > 0 && pick(m_browseEvery) == 0 ? 14 : pick(14)) {
        case 0:
        case 1:
        case 2: { // typing
            select(true);
            const QByteArray typed = words("abc \r\n", 6);
            note("type " + typed.toPercentEncoding());
            x.type(QString::fromLatin1(typed));
            edited(doc().text.insert(m_selStart, typed));
            break;
        }
        case 3: // cut
            select();
            note("cut");
            x.choose("itmFileMenuCut");
            if (m_selLength > 0) {
                m_clip = doc().text.mid(m_selStart, m_selLength);
                edited(doc().text.remove(m_selStart, m_selLength));
            }
            break;
        case 4: // paste
            select();
            note("paste");
            x.choose("itmFileMenuPaste");
            edited(doc().text.replace(m_selStart, m_selLength, m_clip));
            break;
        case 5: // New, or Close when the strip is full
            if (!full) {
                note("new");
                x.choose("itmNew");
                if (m_docs.size() == 1 && m_docs[0].path.isEmpty() && !m_docs[0].changed)
                    m_docs[0].text = NewFileTemplate(); // the untouched untitled one is reused
                else
                    addDoc({QString(), NewFileTemplate(), false});
                break;
            }
            [[fallthrough]];
        case 6: { // Close, its question answered Yes, No or by the frame
            note("close");
            bool closes = true;
            if (doc().changed) {
                const ModalResult answer = std::array {mrYes, mrNo, mrCancel}[pick(3)];
                note(QString::number(int(answer)));
                x.dialogs.expectQuestion(QStringLiteral("The current file has changed"), answer);
                if (answer == mrYes)
                    saveCurrent();
                closes = answer == mrNo || (answer == mrYes && !doc().changed);
            }
            if (closes) {
                m_docs.erase(m_docs.begin() + m_current);
                m_current = 0;
                if (m_docs.empty())
                    addDoc({QString(), NewFileTemplate(), false});
            }
            x.choose("itmClose");
            break;
        }
        case 7: { // Open, of an existing file or a missing one; cancelled when no tab is free
            const bool missing = pick(5) == 0;
            const QString path = missing ? x.env.workDir() + QStringLiteral("/none.htm")
                                         : pathOf(pick(kFiles));
            note("open " + path.section('/', -1));
            const auto open = std::find_if(m_docs.begin(), m_docs.end(),
                                           [&](const Doc &d) { return d.path == path; });
            const bool reuse = doc().path.isEmpty() && !doc().changed;
            const bool room = missing || open != m_docs.end() || reuse || !full;
            x.dialogs.expectOpen(room ? std::optional(path) : std::nullopt);
            if (missing)
                x.dialogs.expectError(QStringLiteral("none.htm"));
            else if (open != m_docs.end())
                m_current = int(open - m_docs.begin());
            else if (reuse)
                doc() = {path, m_disk.value(path), false};
            else if (room)
                addDoc({path, m_disk.value(path), false});
            x.choose("itmOpen");
            break;
        }
        case 8: // a click on a tab
            m_current = pick(int(m_docs.size()));
            note(QStringLiteral("tab %1").arg(m_current));
            x.clickTab(m_current);
            break;
        case 9: // Save
            note("save");
            saveCurrent();
            x.choose("itmSave");
            break;
        case 10: // Save As
            note("save as");
            saveAs();
            x.choose("itmSaveAs");
            break;
        case 11: // Save All: each document in tab order, the last one shown at the end
            note("save all");
            for (m_current = 0; m_current < int(m_docs.size()); ++m_current)
                if (doc().changed)
                    saveCurrent();
            m_current = int(m_docs.size()) - 1;
            x.choose("itmSaveAll");
            break;
        case 12: { // Find Next, or Replace All
            const bool replace = pick(2);
            select();
            FindDialog &dlg = x.control<FindDialog>(replace ? "dlgReplace" : "dlgFind");
            const QByteArray what = words("abc", 2), with = words("XY", 2);
            note((replace ? "replace " : "find ") + what + ' ' + with);
            dlg.setFindText(QString::fromLatin1(what));
            dlg.setReplaceText(QString::fromLatin1(with));
            dlg.findChild<QAbstractButton *>(QLatin1String(replace ? "ReplaceAll" : "FindNext"))
                ->click();
            QByteArray &text = doc().text;
            if (!replace) {
                const int from = m_selLength ? m_selStart + m_selLength : 0;
                if (const int at = int(find(text, what, from)); at >= 0) {
                    m_selStart = at;
                    m_selLength = int(what.size());
                }
                if (x.editor().selStart() != m_selStart || x.editor().selLength() != m_selLength)
                    m_fault = QStringLiteral("Find Next selected [%1,%2]")
                                  .arg(x.editor().selStart())
                                  .arg(x.editor().selLength());
            } else if (qsizetype at = find(text, what, m_selLength ? m_selStart : 0); at >= 0) {
                // The first occurrence from the selection, then the leftmost one, again and again.
                QByteArray out = text;
                for (; at >= 0; at = find(out, what, 0))
                    out.replace(at, what.size(), with);
                edited(out);
            }
            break;
        }
        case 13: { // a save that fails: the disk is full
            if (doc().path.isEmpty() || crlf(doc().text).isEmpty())
                break;
            note("failing save");
            x.dialogs.expectError(QStringLiteral("Cannot save file"));
            rlimit previous {};
            getrlimit(RLIMIT_FSIZE, &previous);
            const rlimit limited {0, previous.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limited);
            x.choose("itmSave");
            setrlimit(RLIMIT_FSIZE, &previous);
            break;
        }
        case 14: { // Browse and back: the preview shows the text as a save would write it
            note("browse");
            const QString dir = doc().path.isEmpty() ? x.env.untitledDir()
                                                     : x.env.workDir() + QLatin1Char('/');
            QTabBar *bar = x.pages().bar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
            if (ReadWholeFile(dir + kPreviewFileName) != crlf(doc().text))
                m_fault = QStringLiteral("preview file differs");
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
            break;
        }
        }
    }

    QString check()
    {
        if (!m_fault.isEmpty())
            return std::exchange(m_fault, QString());
        if (!x.dialogs.allAnswered())
            return x.dialogs.report();
        const TDocumentList &list = *static_cast<EditorWindow &>(x.f()).DocumentList;
        if (x.tabs().size() != int(m_docs.size()) || list.Count() != int(m_docs.size()))
            return QStringLiteral("tabs %1").arg(x.tabs().join(QStringLiteral(", ")));
        if (x.tabIndex() != m_current)
            return QStringLiteral("tab %1 selected").arg(x.tabIndex());
        for (int i = 0; i < int(m_docs.size()); ++i) {
            const Doc &d = m_docs[i];
            const THTMLInfo &record = *list.Items(i);
            const QString name = d.path.isEmpty() ? QStringLiteral("Untitled")
                                                  : d.path.section('/', -1);
            if (x.tabs()[i] != (d.changed ? QStringLiteral("* - ") : QString()) + name
                || record.Saved == d.changed || record.FullPath != d.path)
                return QStringLiteral("tab %1 reads %2").arg(i).arg(x.tabs()[i]);
            const QByteArray text = i == m_current ? x.editorText() : record.Text.value();
            if (text != (i == m_current ? d.text : crlf(d.text)))
                return QStringLiteral("tab %1 holds %2, not %3")
                    .arg(i)
                    .arg(text.toPercentEncoding(), d.text.toPercentEncoding());
        }
        for (auto it = m_disk.cbegin(); it != m_disk.cend(); ++it)
            if (ReadWholeFile(it.key()) != it.value())
                return QStringLiteral("%1 holds other bytes").arg(it.key().section('/', -1));
        QStringList files = QDir(x.env.workDir()).entryList(QDir::Files | QDir::Hidden);
        files.removeOne(kPreviewFileName);
        if (files.size() != kFiles)
            return QStringLiteral("files %1").arg(files.join(QStringLiteral(", ")));
        return {};
    }

    EditorFixture x;
    QRandomGenerator m_rng;
    int m_browseEvery;
    std::vector<Doc> m_docs;
    int m_current = 0;
    QMap<QString, QByteArray> m_disk;
    QByteArray m_clip = "zz";
    int m_selStart = 0, m_selLength = 0;
    QString m_step, m_fault;
};
