// Every modal question and dialog the logic asks, behind one interface that tests can answer.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

enum class TMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };

enum TMsgDlgBtn : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
using TMsgDlgButtons = unsigned;

enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// One entry of a file dialog's type list: the shown label and its ';'-separated patterns.
struct FileFilter
{
    QString label;
    QString patterns;
};

struct FileDialogRequest
{
    QString initialDir;
    QString fileName;
    QList<FileFilter> filters;
    QString defaultExt;
    bool overwritePrompt = false;
    // Runs when the user confirms a file, before the dialog closes.
    std::function<void()> onCanClose;
};

struct EditorFont
{
    QString name;
    int size = 10;
    bool bold = false;
    bool italic = false;
    bool operator==(const EditorFont &) const = default;
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    virtual ModalResult messageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                                   int helpContext = 0) = 0;
    // A plain box with OK only, no icon, captioned with the application title.
    virtual void showMessage(const QString &text) = 0;
    // The general error report: stop icon, OK, application title; text already final.
    virtual void showErrorReport(const QString &text) = 0;
    virtual std::optional<QString> executeOpen(const FileDialogRequest &request) = 0;
    virtual std::optional<QString> executeSave(const FileDialogRequest &request) = 0;
    virtual std::optional<EditorFont> executeFont(const EditorFont &current) = 0;
};

// The text the general error report shows: a "." is added when the last character sorts after ".".
QString ErrorReportText(const QString &message);

// The caption a message box of the given type carries.
QString MessageDlgCaption(TMsgDlgType type);
