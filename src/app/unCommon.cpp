#include "app/unCommon.h"

#include "app/EditorWindow.h"
#include "docs/DocumentFiles.h"
#include "docs/FileStamp.h"
#include "host/Dialogs.h"
#include "host/EditSurface.h"
#include "host/FilePanel.h"
#include "host/FileRead.h"
#include "host/Guard.h"
#include "host/LoadProgress.h"
#include "host/MenuItem.h"
#include "host/SettingsStore.h"
#include "host/TabStrip.h"
#include "util/HostError.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <optional>

namespace {

template<typename Fn>
bool attempt(Fn &&fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

int readInteger(SettingsStore &store, const char *name, int fallback)
{
    try {
        return store.ReadInteger(QString::fromLatin1(name));
    } catch (const std::exception &) {
        return fallback;
    }
}

// Points the file panel at the command-line file or the stored start directory, falling back
// to the file-system root. When even the root fails, start-up goes on where the panel is.
void placeFilePanel(EditorWindow &form, SettingsStore &store)
{
    TFileListBox &list = form.filePanel();
    const auto startDirectory = [&] {
        list.ApplyFilePath(store.ReadString(QStringLiteral("StartDirectory")));
    };
    const auto root = [&] { list.ApplyFilePath(QDir::rootPath()); };
    if (!form.CommandLineFile.isEmpty()
        && attempt([&] { list.ApplyFilePath(form.CommandLineFile); }))
        return;
    if (!attempt(startDirectory))
        attempt(root);
}

} // namespace

void InitializeEditor(EditorWindow &form)
{
    const QStringList &args = form.arguments();
    form.CommandLineFile = args.size() > 1 ? args.at(1) : QString();
    const QString startDirectory = QDir::currentPath();
    form.showEditPage();

    {
        SettingsStore store;
        attempt([&] { store.OpenKey(QString::fromLatin1(kSettingsKey), true); });
        placeFilePanel(form, store);

        const int bold = readInteger(store, "Bold", 0);
        const int italic = readInteger(store, "Italic", 0);
        QString fontName;
        if (!attempt([&] { fontName = store.ReadString(QStringLiteral("FontName")); }))
            fontName = QStringLiteral("Arial");
        int fontSize = readInteger(store, "FontSize", 10);
        if (fontSize < 4 || fontSize > 400) // no text can be read at such a size, ever after
            fontSize = 10;
        const bool wordWrap = readInteger(store, "WordWrap", 0) == 1;

        form.wordWrapItem().setChecked(wordWrap);
        form.surface().setWordWrap(wordWrap);
        store.CloseKey();

        EditorFont font = form.surface().font();
        if (!fontName.isEmpty())
            font.name = fontName;
        font.size = fontSize;
        if (bold == 1 || italic == 1) {
            font.bold = bold == 1;
            font.italic = italic == 1;
        }
        form.surface().setFont(font);
    }

    form.DocumentList = std::make_unique<TDocumentList>();
    auto first = std::make_shared<THTMLInfo>();
    first->SetFullPath(QString());
    first->Text.reset(form.surface().createDocument());
    first->Saved = true;
    form.DocumentList->Add(first);
    form.CurrentDocument = first;

    form.Exiting = false;
    form.BaseCaption = form.caption();

    if (form.CommandLineFile.isEmpty()) {
        form.newItem().Click();
        return;
    }
    try {
        // A relative argument names a file in the directory the program was started in; when
        // the file panel has moved the working directory, it is opened from there.
        const bool moved = QDir::isRelativePath(form.CommandLineFile)
                           && QDir::currentPath() != startDirectory;
        const QString path = moved ? QDir::cleanPath(startDirectory + QLatin1Char('/')
                                                     + form.CommandLineFile)
                                   : form.CommandLineFile;
        OpenDocument(form, path);
        // The user chose not to open it.
        if (form.DocumentList->Items(0)->FullPath.isEmpty())
            form.newItem().Click();
    } catch (...) {
        // The window still opens with a usable document; the error is reported after.
        form.newItem().Click();
        throw;
    }
}

void SaveSettings(EditorWindow &form)
{
    {
        SettingsStore store;
        attempt([&] { store.OpenKey(QString::fromLatin1(kSettingsKey), true); });
        attempt([&] {
            store.WriteString(QStringLiteral("StartDirectory"), form.filePanel().Directory());
        });
        attempt([&] {
            store.WriteInteger(QStringLiteral("WordWrap"), form.wordWrapItem().Checked() ? 1 : 0);
        });
        store.CloseKey();
    }
    if (!form.Exiting)
        form.exitItem().Click();
}

namespace {

bool confirmBinary(EditorWindow &form, const QString &fileName)
{
    // Saving writes every line break back as CR LF, which would damage a binary file.
    const QString question = QStringLiteral("%1 looks like a binary file. Saving it from this "
                                            "editor would change it. Open it anyway?")
                                 .arg(fileName);
    return form.dialogs().messageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo, 0)
           == mrYes;
}

// The file as a new text, or nothing when the user declined or stopped the read. A large file
// is read in pieces while the window stays live, showing the bytes read and Cancel.
std::optional<std::unique_ptr<EditingDocument>> ReadDocument(EditorWindow &form,
                                                             const QString &fileName)
{
    const QFileInfo info(fileName);
    const qint64 size = info.isFile() ? info.size() : 0;
    if (size > EditSurface::LoadLimit) {
        const QLocale locale;
        throw EHostError(
            QStringLiteral("Cannot open file %1.\nIt has %2 bytes; this editor "
                           "opens files of up to %3 bytes")
                .arg(fileName, locale.toString(size), locale.toString(EditSurface::LoadLimit)));
    }
    if (size > EditSurface::PieceLoadThreshold) {
        LoadProgress &progress = form.loadProgress();
        EditSurface::PieceLoad load;
        try {
            load = form.surface().loadDocumentFile(fileName, size, [&](qint64 done, qint64 total) {
                return progress.step(fileName, done, total);
            });
        } catch (...) {
            progress.finish();
            throw;
        }
        progress.finish();
        if (!load.document || (load.looksBinary && !confirmBinary(form, fileName)))
            return std::nullopt;
        return std::move(load.document);
    }
    const QByteArray content = ReadDocumentFile(fileName);
    if (LooksLikeBinary(content) && !confirmBinary(form, fileName))
        return std::nullopt;
    return form.surface().createDocument(content, fileName);
}

} // namespace

void OpenDocument(EditorWindow &form, const QString &fileName)
{
    DocumentRef current = form.DocumentList->Items(form.tabStrip().tabIndex());
    form.CurrentDocument = current;
    const int selected = form.tabStrip().tabIndex();

    const int open = form.DocumentList->IndexOfPath(fileName);
    if (open >= 0) {
        if (open == selected)
            return;
        bool allowChange = true;
        form.tabFileListChanging(allowChange);
        form.tabStrip().setTabIndex(open);
        form.tabFileListChange();
        return;
    }

    // Taken before reading, so that a write in between is seen at the next save.
    const FileStamp stamp = StampFile(fileName);
    // Read before anything is touched: a file that cannot be read changes nothing.
    std::optional<std::unique_ptr<EditingDocument>> read = ReadDocument(form, fileName);
    if (!read)
        return;
    std::unique_ptr<EditingDocument> text = std::move(*read);
    const bool reuse = current->FullPath.isEmpty() && current->Saved;
    const DocumentRef record = reuse ? current : std::make_shared<THTMLInfo>();
    record->SetFullPath(fileName);
    record->DiskStamp = stamp;
    record->Text.reset(std::move(text));
    record->Saved = true;
    if (!reuse) {
        // The outgoing document keeps its text, flag and caption as they are.
        form.DocumentList->Add(record);
        form.tabStrip().add(record->FileName);
        form.tabStrip().setTabIndex(form.tabStrip().count() - 1);
    }
    form.tabFileListChange();
    form.setCaption(form.BaseCaption + QStringLiteral(" - ") + record->FullPath);
    if (form.browsing())
        form.NavigatePreview(record->FullPath);
}

bool SaveAllDocuments(EditorWindow &form)
{
    const auto show = [&form](int index) {
        bool allowChange = true;
        form.tabFileListChanging(allowChange);
        form.tabStrip().setTabIndex(index);
        form.tabFileListChange();
    };
    int firstUnsaved = -1;
    const int n = form.DocumentList->Count();
    for (int i = 0; i < n; ++i) {
        show(i);
        const DocumentRef record = form.DocumentList->Items(i);
        if (record->Saved)
            continue;
        if (form.Exiting) {
            const QString question = QStringLiteral("\"") + record->FileName
                                     + QStringLiteral("\" has changed.\nSave Changes?");
            if (form.dialogs().messageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo, 0)
                == mrNo)
                continue;
        }
        // A failed save is reported on its own; the next documents are still saved.
        Guard(form.dialogs()).run([&form] { form.saveItem().Click(); });
        if (!record->Saved && firstUnsaved < 0)
            firstUnsaved = i;
    }
    // Exit stays on the first text the user chose to save that is still unsaved.
    if (form.Exiting && firstUnsaved >= 0)
        show(firstUnsaved);
    return firstUnsaved < 0;
}
