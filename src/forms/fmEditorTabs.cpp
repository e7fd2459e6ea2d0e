#include "forms/fmEditor.h"

#include "host/EditSurface.h"
#include "host/TabStrip.h"

void TfrmEditor::tabFileListChanging(bool &)
{
    const int i = tabFileList->tabIndex();
    THTMLInfo &document = LookUpCurrentDocument();
    document.Text = mmoEditor->linesText();
    tabFileList->setTab(i, TabCaption(document));
}

void TfrmEditor::tabFileListChange()
{
    const int i = tabFileList->tabIndex();
    LookUpCurrentDocument();
    const DocumentRef document = CurrentDocument;
    const bool saved = document->Saved;
    mmoEditor->setLinesText(document->Text);
    // The surface now holds the live text; the stored copy is not read again before the next
    // leave stores it anew, so it is released rather than kept twice.
    document->Text = QByteArray();
    setWindowTitle(BaseCaption + QStringLiteral(" - ")
                   + (document->FullPath > QStringLiteral(" ") ? document->FullPath
                                                                : document->FileName));
    document->Saved = saved;
    tabFileList->setTab(i, TabCaption(*document));
}

void TfrmEditor::mmoEditorChange()
{
    if (!DocumentList)
        return; // start-up has not created the documents yet
    const int i = tabFileList->tabIndex();
    THTMLInfo &document = LookUpCurrentDocument();
    document.Saved = false;
    tabFileList->setTab(i, QStringLiteral("* - ") + document.FileName);
}
