#include "forms/fmEditor.h"

#include "docs/DocumentFiles.h"
#include "docs/PreviewFiles.h"
#include "host/BrowserView.h"
#include "host/EditSurface.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"

void TfrmEditor::pgpEditorChange()
{
    if (pgpEditor->activePage() == shtBrowse) {
        const DocumentRef record = DocumentList->Items(tabFileList->tabIndex());
        const QString path = record->Directory + kPreviewFileName;
        const QByteArray text = mmoEditor->linesText();
        // Replaced whole, so a link planted under the name is never written through, and
        // readable by whoever may read the document. A file that cannot be written is not
        // reported; the view shows the text all the same.
        QString ignored;
        const bool written = WritePreviewFile(path, text, PreviewPermissions(record->DiskPath),
                                              &ignored);
        webBrowser->showPreview(path, written ? std::nullopt : std::optional(text));
    }
    webBrowser->resize(std::max(0, pgpEditor->width() - 7), std::max(0, pgpEditor->height() - 25));
}

bool TfrmEditor::browsing() const
{
    return pgpEditor->activePage() == shtBrowse;
}

void TfrmEditor::showEditPage()
{
    pgpEditor->setActivePage(shtEdit);
}

void TfrmEditor::NavigatePreview(const QString &path)
{
    webBrowser->Navigate(path);
}
