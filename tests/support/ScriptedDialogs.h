// Dialogs answered by a script: each expected question or dialog, in order, with its answer.
// An unexpected call or an unused answer is a failure, never a silent default.
#pragma once

#include "host/Dialogs.h"

#include <QList>
#include <QStringList>
#include <variant>

// Fails the test unless every step of the script was used and nothing unexpected was asked.
#define ANSWERED(d) QVERIFY2((d).allAnswered(), qPrintable((d).report()))

class ScriptedDialogs : public Dialogs
{
public:
    // MessageDlg whose text contains fragment, answered with result.
    void expectQuestion(const QString &fragment, ModalResult answer)
    {
        m_steps.append({Kind::Question, fragment, answer});
    }
    void expectError(const QString &fragment) { m_steps.append({Kind::Error, fragment, mrOk}); }
    // Open or Save dialog: a path confirms it, std::nullopt cancels it.
    void expectOpen(std::optional<QString> answer) { m_steps.append({Kind::Open, {}, answer}); }
    void expectSave(std::optional<QString> answer) { m_steps.append({Kind::Save, {}, answer}); }
    void expectFont(std::optional<EditorFont> answer) { m_steps.append({Kind::Font, {}, answer}); }
    // Every question whose text contains fragment, whenever it comes, answered with result.
    void answerAlways(const QString &fragment, ModalResult answer)
    {
        m_standing.append({fragment, answer});
    }

    // True when every expected step was used and nothing unexpected was asked.
    bool allAnswered() const { return m_steps.isEmpty() && m_failures.isEmpty(); }
    QString report() const;

    // What was asked, for checks on the details.
    QList<FileDialogRequest> openRequests, saveRequests;
    QList<EditorFont> fontRequests;
    QStringList questions, messages, errors;
    QList<TMsgDlgButtons> questionButtons;

    ModalResult messageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                           int helpContext = 0) override;
    void showMessage(const QString &text) override;
    void showErrorReport(const QString &text) override;
    std::optional<QString> executeOpen(const FileDialogRequest &request) override;
    std::optional<QString> executeSave(const FileDialogRequest &request) override;
    std::optional<EditorFont> executeFont(const EditorFont &current) override;

private:
    enum class Kind { Question, Message, Error, Open, Save, Font };
    struct Step
    {
        Kind kind;
        QString fragment;
        std::variant<ModalResult, std::optional<QString>, std::optional<EditorFont>> answer;
    };
    // The next step when it is of this kind and its fragment occurs in text; else a failure.
    std::optional<Step> take(Kind kind, const QString &text);

    QList<Step> m_steps;
    QList<QPair<QString, ModalResult>> m_standing;
    QStringList m_failures;
};
