#include "forms/fmEditor.h"

#include "host/BrowserView.h"
#include "host/PageControl.h"

void TfrmEditor::pgpEditorChange()
{
    webBrowser->resize(std::max(0, pgpEditor->width() - 7), std::max(0, pgpEditor->height() - 25));
}

void TfrmEditor::NavigatePreview(const QString &path)
{
    webBrowser->Navigate(path);
}
