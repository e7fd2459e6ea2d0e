#include "forms/fmEditor.h"

#include "app/unCommon.h"
#include "docs/DocumentFiles.h"
#include "docs/FileStamp.h"
#include "docs/NewFileTemplate.h"
#include "docs/PreviewFiles.h"
#include "host/Dialogs.h"
#include "host/EditSurface.h"
#include "host/FilePanel.h"
#include "host/LinesTextWriter.h"
#include "host/LoadProgress.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"
#include "util/HostError.h"
#include "util/UserDirs.h"

#include <QFile>

namespace {

QList<FileFilter> documentFilters()
{
    return {{QStringLiteral("Web Documents (*.htm; *.html)"), QStringLiteral("*.htm;*.html")},
            {QStringLiteral("Active Server Pages (*.asp)"), QStringLiteral("*.asp")},
            {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")}};
}

} // namespace

LoadProgress &TfrmEditor::loadProgress()
{
    if (!m_loadProgress)
        m_loadProgress = new LoadProgress(*this);
    return *m_loadProgress;
}

void TfrmEditor::itmNewClick()
{
    if (DocumentList && !DocumentList->isEmpty())
        LookUpCurrentDocument();

    const bool reuse = DocumentList->Count() == 1 && DocumentList->Items(0)->FullPath.isEmpty()
                       && DocumentList->Items(0)->Saved;
    if (reuse) {
        CurrentDocument->Text.reset(mmoEditor->createDocument(NewFileTemplate()));
        CurrentDocument->FileName = QStringLiteral("Untitled");
        CurrentDocument->Directory = UntitledDirectory();
        ShowDocument(*CurrentDocument);
        return;
    }

    auto record = std::make_shared<THTMLInfo>();
    record->Text.reset(mmoEditor->createDocument(NewFileTemplate()));
    record->SetFullPath(QString());
    record->FileName = QStringLiteral("Untitled");
    record->Directory = UntitledDirectory();
    record->Saved = true;
    tabFileList->add(QStringLiteral("Untitled"));
    tabFileList->setTabIndex(tabFileList->count() - 1);
    DocumentList->Add(record);
    // The empty scratch file in the working directory; a failure here stays silent.
    QString ignored;
    (void)WritePreviewFile(kPreviewFileName, QByteArray(), PreviewPermissions(QString()), &ignored);
    ShowDocument(*record);
    pgpEditor->setActivePage(shtEdit);
    setWindowTitle(BaseCaption + QStringLiteral(" - UNTITLED"));
}

void TfrmEditor::itmOpenClick()
{
    FileDialogRequest request;
    request.initialDir = DIRList->Directory();
    request.filters = documentFilters();
    request.defaultExt = QStringLiteral("*.htm;*.html");
    request.onCanClose = [this] {
        bool allowChange = true;
        tabFileListChanging(allowChange);
    };
    const std::optional<QString> chosen = m_dialogs.executeOpen(request);
    if (chosen)
        OpenDocument(*this, *chosen);
}

void TfrmEditor::itmSaveClick()
{
    THTMLInfo &document = LookUpCurrentDocument();
    if (!(document.FullPath > QStringLiteral(" "))) {
        itmSaveAs->Click();
        return;
    }
    // Another program, or this document's file open in another tab, wrote the file since this
    // document read or wrote it: its changes would be lost without a word.
    const FileStamp onDisk = StampFile(document.DiskPath);
    if (document.DiskStamp.exists && onDisk.exists && onDisk != document.DiskStamp) {
        const QString question = QStringLiteral(
                                     "%1 has been changed by another program.\nOverwrite it?")
                                     .arg(document.FullPath);
        if (m_dialogs.messageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo, 0) != mrYes) {
            tabFileList->setTab(tabFileList->tabIndex(), TabCaption(document));
            return;
        }
    }
    QString error;
    // The file the document came from, even when the panel has moved the working directory
    // since a relative path was given.
    const auto text = [this](const ByteSink &write) { return WriteLinesText(*mmoEditor, write); };
    if (!SaveDocumentFile(document.DiskPath, text, &error)) {
        // The text is not on disk: the document stays marked changed.
        tabFileList->setTab(tabFileList->tabIndex(), TabCaption(document));
        throw EHostError(QStringLiteral("Cannot save file %1: %2").arg(document.FullPath, error));
    }
    document.Saved = true;
    document.DiskStamp = StampFile(document.DiskPath);
    tabFileList->setTab(tabFileList->tabIndex(), document.FileName);
    UpdateRecoveryCopies();
    setWindowTitle(BaseCaption + QStringLiteral(" - ") + document.FullPath);
    DIRList->Update();
    FileList->Update();
}

void TfrmEditor::itmSaveAsClick()
{
    THTMLInfo &document = LookUpCurrentDocument();
    FileDialogRequest request;
    request.initialDir = DIRList->Directory();
    request.fileName = document.FullPath;
    request.filters = documentFilters();
    request.defaultExt = QStringLiteral("*.htm;*.html");
    request.overwritePrompt = true;
    const std::optional<QString> chosen = m_dialogs.executeSave(request);
    if (!chosen)
        return;
    document.SetFullPath(*chosen);
    tabFileList->setTab(tabFileList->tabIndex(), document.FileName);
    itmSave->Click();
}

void TfrmEditor::itmSaveAllClick()
{
    SaveAllDocuments(*this);
}

void TfrmEditor::itmCloseClick()
{
    if (!DocumentList || DocumentList->isEmpty())
        return;
    const DocumentRef record = DocumentList->Items(tabFileList->tabIndex());
    if (!record->Saved) {
        const ModalResult answer = m_dialogs.messageDlg(
            QStringLiteral("The current file has changed.\nSave Changes?"),
            TMsgDlgType::mtConfirmation, mbYes | mbNo, 0);
        // A box closed by its frame cancels the Close rather than discarding the text.
        if (answer == mrCancel)
            return;
        if (answer == mrYes) {
            itmSave->Click();
            if (!record->Saved)
                return; // the save did not happen: keep the text the user chose to save
        }
    }
    mmoEditor->linesClear();
    const int index = tabFileList->tabIndex();
    DocumentList->Delete(index);
    tabFileList->deleteTab(index);
    UpdateRecoveryCopies();
    if (DocumentList->isEmpty()) {
        itmNew->Click();
        return;
    }
    tabFileList->setTabIndex(0);
    tabFileListChange();
}

void TfrmEditor::itmClosePageClick()
{
    itmClose->Click();
}

void TfrmEditor::itmExitClick()
{
    Exiting = true;
    bool complete = false;
    try {
        complete = SaveAllDocuments(*this);
    } catch (...) {
        Exiting = false;
        throw;
    }
    if (!complete) {
        // A document the user chose to save is still unsaved: stay, with it shown.
        Exiting = false;
        return;
    }
    // Every unsaved text was saved or given up by the user's answer.
    DiscardRecoveryCopies();
    QFile::remove(UntitledDirectory() + kPreviewFileName);
    RemoveWrittenPreviewFiles();
    Close();
}
