#include "ScriptedDialogs.h"

namespace {

const char *kindName(int kind)
{
    static const char *names[] = {"question",    "message",     "error",
                                  "open dialog", "save dialog", "font dialog"};
    return names[kind];
}

} // namespace

QString ScriptedDialogs::report() const
{
    QStringList lines = m_failures;
    for (const Step &s : m_steps)
        lines << QStringLiteral("unused %1 step \"%2\"")
                     .arg(QLatin1String(kindName(int(s.kind))), s.fragment);
    return lines.join(QLatin1Char('\n'));
}

std::optional<ScriptedDialogs::Step> ScriptedDialogs::take(Kind kind, const QString &text)
{
    if (m_steps.isEmpty() || m_steps.first().kind != kind
        || !text.contains(m_steps.first().fragment)) {
        m_failures << QStringLiteral("unexpected %1: \"%2\"")
                          .arg(QLatin1String(kindName(int(kind))), text);
        return std::nullopt;
    }
    return m_steps.takeFirst();
}

ModalResult ScriptedDialogs::messageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons buttons,
                                        int)
{
    questions << text;
    questionButtons << buttons;
    for (const auto &[fragment, answer] : std::as_const(m_standing))
        if (text.contains(fragment))
            return answer;
    const auto step = take(Kind::Question, text);
    return step ? std::get<ModalResult>(step->answer) : mrNone;
}

void ScriptedDialogs::showMessage(const QString &text)
{
    messages << text;
    take(Kind::Message, text);
}

void ScriptedDialogs::showErrorReport(const QString &text)
{
    errors << text;
    take(Kind::Error, text);
}

std::optional<QString> ScriptedDialogs::executeOpen(const FileDialogRequest &request)
{
    openRequests << request;
    const auto step = take(Kind::Open, QString());
    if (!step)
        return std::nullopt;
    const auto answer = std::get<std::optional<QString>>(step->answer);
    if (answer && request.onCanClose)
        request.onCanClose();
    return answer;
}

std::optional<QString> ScriptedDialogs::executeSave(const FileDialogRequest &request)
{
    saveRequests << request;
    const auto step = take(Kind::Save, QString());
    return step ? std::get<std::optional<QString>>(step->answer) : std::nullopt;
}

std::optional<EditorFont> ScriptedDialogs::executeFont(const EditorFont &current)
{
    fontRequests << current;
    const auto step = take(Kind::Font, QString());
    return step ? std::get<std::optional<EditorFont>>(step->answer) : std::nullopt;
}
