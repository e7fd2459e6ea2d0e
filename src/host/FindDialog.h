// The modeless Find and Replace dialogs dlgFind and dlgReplace. Each keeps its texts and
// options for as long as it exists, across openings.
#pragma once

#include <QDialog>
#include <functional>

class Guard;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

enum TFindOption : unsigned {
    frDown = 0x1,
    frWholeWord = 0x2,
    frMatchCase = 0x4,
    frFindNext = 0x8,
    frReplace = 0x10,
    frReplaceAll = 0x20,
};
using TFindOptions = unsigned;

class FindDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Find, Replace };
    FindDialog(Kind kind, Guard &guard, QWidget *owner);

    // Shows the dialog, or brings it to the front when it is open; never waits for it.
    bool Execute();

    QString FindText() const;
    void setFindText(const QString &text);
    QString ReplaceText() const;
    void setReplaceText(const QString &text);
    // The choices shown (match case, whole word, direction) and the button pressed last:
    // frFindNext, frReplace or frReplaceAll.
    TFindOptions Options() const;
    void setOptions(TFindOptions options);

    // Find Next; Replace and Replace All (Options tells which). A press by the user runs them
    // through the guard.
    std::function<void()> OnFind;
    std::function<void()> OnReplace;

private:
    void press(TFindOption button);

    Guard &m_guard;
    TFindOptions m_options = frDown; // the bits no control shows
    QLineEdit *m_findWhat;
    QLineEdit *m_replaceWith = nullptr;
    QCheckBox *m_wholeWord;
    QCheckBox *m_matchCase;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
};
