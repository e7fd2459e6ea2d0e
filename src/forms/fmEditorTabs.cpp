#include "forms/fmEditor.h"

#include "host/EditSurface.h"
#include "host/TabStrip.h"

#include <QLabel>
#include <QLocale>

void TfrmEditor::tabFileListChanging(bool &)
{
    // The document keeps its text in its own editing text; only its caption is brought up to date.
    const int i = tabFileList->tabIndex();
    tabFileList->setTab(i, TabCaption(LookUpCurrentDocument()));
}

void TfrmEditor::tabFileListChange()
{
    THTMLInfo &document = LookUpCurrentDocument();
    ShowDocument(document);
    setWindowTitle(
        BaseCaption + QStringLiteral(" - ")
        + (document.FullPath > QStringLiteral(" ") ? document.FullPath : document.FileName));
}

void TfrmEditor::ShowDocument(THTMLInfo &document)
{
    const bool saved = document.Saved;
    const bool copyStale = document.CopyStale;
    // Showing the text is a change of the surface's content, which marks the document.
    mmoEditor->showDocument(*document.Text.document());
    ShowColouringNotice();
    document.Saved = saved;
    document.CopyStale = copyStale;
    tabFileList->setTab(tabFileList->tabIndex(), TabCaption(document));
}

void TfrmEditor::mmoEditorChange()
{
    if (!DocumentList)
        return; // start-up has not created the documents yet
    const int i = tabFileList->tabIndex();
    THTMLInfo &document = LookUpCurrentDocument();
    document.Saved = false;
    tabFileList->setTab(i, QStringLiteral("* - ") + document.FileName);
    document.CopyStale = true;
    ScheduleRecoveryCopies();
}

void TfrmEditor::ShowColouringNotice()
{
    const qint64 size = mmoEditor->uncolouredSize();
    lblColouring->setVisible(size > 0);
    if (size == 0)
        return;
    const QLocale locale;
    lblColouring->setText(
        QStringLiteral("Colouring is off for texts over %1: this one has %2 bytes")
            .arg(locale.formattedDataSize(EditSurface::LargestColouredText, 0),
                 locale.toString(size)));
}
