// The main window frmEditor: its controls, menus and tool bar, and every command's handler.
#pragma once

#include "app/EditorWindow.h"
#include "host/Guard.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <vector>

class BrowserView;
class Dialogs;
class EditSurface;
class FileDropTarget;
class FindDialog;
class MenuItem;
class PageControl;
class QLabel;
class QMenu;
class QTimer;
class RecoveryStore;
class QToolBar;
class TabStrip;
class TDirectoryListBox;
class TDriveComboBox;
class TFileListBox;
class TFilterComboBox;

class TfrmEditor : public QMainWindow, public EditorWindow
{
    Q_OBJECT
public:
    // arguments: the command line, the program's own name first.
    TfrmEditor(Dialogs &dialogs, const QStringList &arguments, QWidget *parent = nullptr);
    ~TfrmEditor() override;

    // Offers the documents a run that stopped unexpectedly left unsaved; once, after start-up.
    void OfferRecovery();
    // Writes the copies of unsaved documents now and waits until they are on disk.
    void WriteRecoveryCopiesNow();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What the shared routines reach of the window
    const QStringList &arguments() const override { return m_arguments; }
    Dialogs &dialogs() override { return m_dialogs; }
    TabStrip &tabStrip() override { return *tabFileList; }
    EditSurface &surface() override { return *mmoEditor; }
    LoadProgress &loadProgress() override;
    TFileListBox &filePanel() override { return *FileList; }
    QString caption() const override { return windowTitle(); }
    void setCaption(const QString &caption) override { setWindowTitle(caption); }
    bool browsing() const override;
    void showEditPage() override;
    MenuItem &newItem() override { return *itmNew; }
    MenuItem &saveItem() override { return *itmSave; }
    MenuItem &exitItem() override { return *itmExit; }
    MenuItem &wordWrapItem() override { return *itm_wordwrap; }

    void tabFileListChanging(bool &AllowChange) override;
    void tabFileListChange() override;
    void NavigatePreview(const QString &path) override;

    // Window events
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormClose();
    void FormDestroy();
    // frmEditor.Close: closes the window; from inside a close, runs the close handler again.
    void Close();

    // File menu
    void itmNewClick();
    void itmOpenClick();
    void itmSaveClick();
    void itmSaveAsClick();
    void itmSaveAllClick();
    void itmCloseClick();
    void itmClosePageClick();
    void itmExitClick();

    // Edit menu
    void itmFileMenuCutClick();
    void itmFileMenuCopyClick();
    void itmFileMenuPasteClick();
    void Find1Click();
    void Replace1Click();
    void itmFontClick();
    void itmOptionsClick();

    // Options menu
    void itm_wordwrapClick();

    // Help menu
    void itmHelpContentsClick();
    void itmAboutClick();

    // Editing surface
    void mmoEditorChange();

    // Page control
    void pgpEditorChange();

    // File panel, and files dropped onto the window
    void FileListDblClick();
    void Refresh1Click();
    void FormDropFile(const QString &path);

    // Find and replace
    void dlgFindFind();
    void dlgReplaceFind();
    void dlgReplaceReplace();
    int ReplaceOnce();

    // Keys beside the menus: Find Next with the Find dialog's text, the next or previous tab,
    // undo and redo of the text in view
    void actFindNextClick();
    void actNextTabClick();
    void actPreviousTabClick();
    void actUndoClick();
    void actRedoClick();

    // The caption a tab shows for a record: its name, marked when it has unsaved changes.
    static QString TabCaption(const THTMLInfo &record);
    // The record of the selected tab; also makes it CurrentDocument.
    THTMLInfo &LookUpCurrentDocument();
    // The one place a document comes onto the surface, in the selected tab: the change handler
    // runs once, as for any new text, and the document's flag and tab caption are put back.
    void ShowDocument(THTMLInfo &document);
    // Tells in the status bar when the text in view is shown without colours for its size.
    void ShowColouringNotice();

    // Recovery copies: scheduled after a change, written once editing pauses.
    void ScheduleRecoveryCopies();
    void UpdateRecoveryCopies();
    void DiscardRecoveryCopies();
    void RestoreUnsavedDocuments();
    // The tab a restored document of path takes over, or -1 when it needs a new one.
    int RestoredDocumentPlace(const QString &path);

    void createControls();
    void createMenus();
    void createToolBar();
    void wireEvents();
    void createEditingDialogs();
    void createKeyboardCommands();
    // Moves to the tab step places on, around the ends, as a user's click on it would.
    void SwitchTab(int step);
    MenuItem *addItem(QMenu *menu, const char *name, const QString &caption,
                      const QString &hint = QString());

    Dialogs &m_dialogs;
    QStringList m_arguments;
    std::vector<std::unique_ptr<MenuItem>> m_menuItems;
    int m_closeDepth = 0;
    std::unique_ptr<RecoveryStore> m_recovery;
    QTimer *m_recoveryTimer = nullptr;
    QElapsedTimer m_recoveryPendingSince;
    quint64 m_lastRecoveryId = 0;
    QString m_longLineNotice; // the status bar's text while no hint passes over it

    // Controls
    Guard guard;
    LoadProgress *m_loadProgress = nullptr; // made on the first large open
    QToolBar *toolbar = nullptr;
    TDriveComboBox *drvCombo = nullptr;
    TDirectoryListBox *DIRList = nullptr;
    TFilterComboBox *cboFilter = nullptr;
    TFileListBox *FileList = nullptr;
    TDirectoryListBox *DirListFilePath = nullptr;
    PageControl *pgpEditor = nullptr;
    QWidget *shtEdit = nullptr;
    QWidget *shtBrowse = nullptr;
    TabStrip *tabFileList = nullptr;
    EditSurface *mmoEditor = nullptr;
    BrowserView *webBrowser = nullptr;
    QLabel *lblColouring = nullptr;
    QMenu *mnuPopEditor = nullptr;
    QMenu *mnuDriveRefresh = nullptr;
    FindDialog *dlgFind = nullptr;
    FindDialog *dlgReplace = nullptr;
    FileDropTarget *fileDrop = nullptr;

    // Menu items, in menu order
    MenuItem *itmNew, *itmOpen, *itmSave, *itmSaveAs, *itmSaveAll, *itmClose, *itmExit;
    MenuItem *itmFileMenuCut, *itmFileMenuCopy, *itmFileMenuPaste, *Find1, *Replace1, *itmFont,
        *itmOptions;
    MenuItem *itm_wordwrap;
    MenuItem *itmHelpContents, *itmAbout;
    MenuItem *itmPopMenuCut, *itmPopMenuCopy, *itmPopMenuPaste, *itmClosePage;
    MenuItem *Refresh1;
};
