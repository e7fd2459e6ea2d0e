// The main window as the shared routines of unCommon see it. The window implements it; the
// routines reach nothing else of it.
#pragma once

#include "docs/DocumentList.h"

#include <QString>
#include <QStringList>
#include <memory>

class Dialogs;
class EditSurface;
class LoadProgress;
class MenuItem;
class TabStrip;
class TFileListBox;

class EditorWindow
{
public:
    // Values the commands share for the whole run.
    QString CommandLineFile;
    QString BaseCaption;
    bool Exiting = false;
    std::unique_ptr<TDocumentList> DocumentList;
    DocumentRef CurrentDocument;

    // The command line, the program's own name first.
    virtual const QStringList &arguments() const = 0;
    virtual Dialogs &dialogs() = 0;
    virtual TabStrip &tabStrip() = 0;
    virtual EditSurface &surface() = 0;
    // Bytes read of a large file, in the status bar, with Cancel.
    virtual LoadProgress &loadProgress() = 0;
    // The file panel's file list: it places the panel and names the panel's directory.
    virtual TFileListBox &filePanel() = 0;
    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual bool browsing() const = 0;
    virtual void showEditPage() = 0;

    virtual MenuItem &newItem() = 0;
    virtual MenuItem &saveItem() = 0;
    virtual MenuItem &exitItem() = 0;
    virtual MenuItem &wordWrapItem() = 0;

    // The tab strip's leaving and arriving handlers and the preview, as a command runs them.
    virtual void tabFileListChanging(bool &AllowChange) = 0;
    virtual void tabFileListChange() = 0;
    virtual void NavigatePreview(const QString &path) = 0;

protected:
    ~EditorWindow() = default;
};
