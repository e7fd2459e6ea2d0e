#include "forms/fmEditor.h"

#include "host/BrowserView.h"
#include "host/EditSurface.h"
#include "host/FilePanel.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"

#include <QToolBar>

namespace {

// Sizes below zero count as zero.
void setSize(QWidget *w, int width, int height)
{
    w->resize(std::max(0, width), std::max(0, height));
}

} // namespace

void TfrmEditor::FormResize()
{
    // The rule's sizes are outer ones, less an allowance for a frame, caption and menu bar of
    // 24 by 48 pixels. Here the client area has none of them, so the allowance is added back:
    // the pages then reach the client area's right and bottom edges.
    const int W = centralWidget()->width() + 24;
    const int H = centralWidget()->height() + 48;
    const int pgpWidth = W - 159;
    const int pgpHeight = H - 80;
    setSize(pgpEditor, pgpWidth, pgpHeight);
    setSize(shtBrowse, pgpWidth - 7, pgpHeight - 25);
    setSize(shtEdit, pgpWidth - 7, pgpHeight - 25);
    setSize(tabFileList, pgpWidth - 7, pgpHeight - 26);
    setSize(webBrowser, pgpWidth - 7, pgpHeight - 25);
    setSize(mmoEditor->widget(), pgpWidth - 12, pgpHeight - 47);
    setSize(FileList, FileList->width(), pgpHeight - 141);
    toolbar->resize(centralWidget()->width(), toolbar->height());
}
