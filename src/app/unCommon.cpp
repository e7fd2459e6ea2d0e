#include "app/unCommon.h"

#include "docs/DocumentFiles.h"
#include "forms/fmEditor.h"
#include "host/Dialogs.h"
#include "host/EditSurface.h"
#include "host/FilePanel.h"
#include "host/FileRead.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/SettingsStore.h"
#include "host/TabStrip.h"

#include <QDir>

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
void placeFilePanel(TfrmEditor &form, SettingsStore &store)
{
    TFileListBox &list = *form.FileList;
    const auto startDirectory = [&] { list.ApplyFilePath(store.ReadString(QStringLiteral("StartDirectory"))); };
    const auto root = [&] { list.ApplyFilePath(QDir::rootPath()); };
    if (!form.CommandLineFile.isEmpty() && attempt([&] { list.ApplyFilePath(form.CommandLineFile); }))
        return;
    if (!attempt(startDirectory))
        attempt(root);
}

} // namespace

void InitializeEditor(TfrmEditor &form)
{
    const QStringList &args = form.arguments();
    form.CommandLineFile = args.size() > 1 ? args.at(1) : QString();
    const QString startDirectory = QDir::currentPath();
    form.pgpEditor->setActivePage(form.shtEdit);

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

        form.itm_wordwrap->setChecked(wordWrap);
        form.mmoEditor->setWordWrap(wordWrap);
        store.CloseKey();

        EditorFont font = form.mmoEditor->font();
        if (!fontName.isEmpty())
            font.name = fontName;
        font.size = fontSize;
        if (bold == 1 || italic == 1) {
            font.bold = bold == 1;
            font.italic = italic == 1;
        }
        form.mmoEditor->setFont(font);
    }

    form.DocumentList = std::make_unique<TDocumentList>();
    auto first = std::make_shared<THTMLInfo>();
    first->SetFullPath(QString());
    first->Text.clear();
    first->Saved = true;
    form.DocumentList->Add(first);
    form.CurrentDocument = first;

    form.Exiting = false;
    form.BaseCaption = form.windowTitle();

    if (form.CommandLineFile.isEmpty()) {
        form.itmNew->Click();
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
            form.itmNew->Click();
    } catch (...) {
        // The window still opens with a usable document; the error is reported after.
        form.itmNew->Click();
        throw;
    }
}

void SaveSettings(TfrmEditor &form)
{
    {
        SettingsStore store;
        attempt([&] { store.OpenKey(QString::fromLatin1(kSettingsKey), true); });
        attempt([&] { store.WriteString(QStringLiteral("StartDirectory"), form.FileList->Directory()); });
        attempt([&] { store.WriteInteger(QStringLiteral("WordWrap"), form.itm_wordwrap->Checked() ? 1 : 0); });
        store.CloseKey();
    }
    if (!form.Exiting)
        form.itmExit->Click();
}

void OpenDocument(TfrmEditor &form, const QString &fileName)
{
    DocumentRef current = form.DocumentList->Items(form.tabFileList->tabIndex());
    form.CurrentDocument = current;
    const bool wasSaved = current->Saved;
    const int selected = form.tabFileList->tabIndex();

    const int open = form.DocumentList->IndexOfPath(fileName);
    if (open >= 0) {
        if (open == selected)
            return;
        bool allowChange = true;
        form.tabFileListChanging(allowChange);
        form.tabFileList->setTabIndex(open);
        form.tabFileListChange();
        return;
    }

    // Read before anything is touched: a file that cannot be read changes nothing.
    const QByteArray content = ReadDocumentFile(fileName);
    // Saving writes every line break back as CR LF, which would damage a binary file.
    if (LooksLikeBinary(content)) {
        const QString question = QStringLiteral("%1 looks like a binary file. Saving it from this "
                                                "editor would change it. Open it anyway?")
                                     .arg(fileName);
        if (form.dialogs().messageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo, 0)
            != mrYes)
            return;
    }
    const bool browsing = form.pgpEditor->activePage() == form.shtBrowse;

    if (current->FullPath.isEmpty() && current->Saved) {
        current->SetFullPath(fileName);
        form.mmoEditor->linesClear();
        form.mmoEditor->setLinesText(content);
        current->Saved = true;
        form.tabFileList->setTab(selected, current->FileName);
        form.setWindowTitle(form.BaseCaption + QStringLiteral(" - ") + current->FullPath);
        if (browsing)
            form.NavigatePreview(current->FullPath);
        return;
    }

    current->Text = form.mmoEditor->linesText();
    auto record = std::make_shared<THTMLInfo>();
    record->SetFullPath(fileName);
    form.mmoEditor->linesClear();
    form.mmoEditor->setLinesText(content);
    record->Saved = true;
    // Clearing and loading marked the outgoing document through the change handler.
    current->Saved = wasSaved;
    form.tabFileList->setTab(selected, TfrmEditor::TabCaption(*current));
    form.DocumentList->Add(record);
    form.tabFileList->add(record->FileName);
    form.tabFileList->setTabIndex(form.tabFileList->count() - 1);
    form.setWindowTitle(form.BaseCaption + QStringLiteral(" - ") + record->FullPath);
    if (browsing)
        form.NavigatePreview(record->FullPath);
}

bool SaveAllDocuments(TfrmEditor &form)
{
    const auto show = [&form](int index) {
        bool allowChange = true;
        form.tabFileListChanging(allowChange);
        form.tabFileList->setTabIndex(index);
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
        form.guard.run([&form] { form.itmSave->Click(); });
        if (!record->Saved && firstUnsaved < 0)
            firstUnsaved = i;
    }
    // Exit stays on the first text the user chose to save that is still unsaved.
    if (form.Exiting && firstUnsaved >= 0)
        show(firstUnsaved);
    return firstUnsaved < 0;
}
