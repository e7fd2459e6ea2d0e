#include "host/QtDialogs.h"

#include "host/Application.h"
#include "host/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>

namespace {

// The extension of a type's first pattern ("*.htm;*.html" gives "htm"); none for "*.*".
QString extensionOf(const FileFilter &filter)
{
    const QString first = filter.patterns.section(QLatin1Char(';'), 0, 0).trimmed();
    const QString extension = first.mid(2);
    if (!first.startsWith(QLatin1String("*.")) || extension.isEmpty()
        || extension.contains(QLatin1Char('*')) || extension.contains(QLatin1Char('?')))
        return {};
    return extension;
}

// A file dialog whose confirmation runs the caller's can-close step before it closes.
class FileDialog : public QFileDialog
{
public:
    FileDialog(QWidget *parent, const FileDialogRequest &request)
        : QFileDialog(parent), m_onCanClose(request.onCanClose)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::HideNameFilterDetails);
        setDirectory(request.initialDir);
        setNameFilters(QtNameFilters(request.filters));
        if (!request.fileName.isEmpty())
            selectFile(request.fileName);
        resize(820, 520); // room for the name, size, type and date columns
    }

    // A name typed without an extension gets the chosen type's, as the platform's dialogs do.
    void addTypeExtensions(const QList<FileFilter> &filters) { m_extensionTypes = filters; }

    void accept() override
    {
        // The type list shows each type by its label alone.
        const QString type = selectedNameFilter();
        for (const FileFilter &filter : std::as_const(m_extensionTypes))
            if (type == filter.label || type == QtNameFilters({filter}).constFirst())
                setDefaultSuffix(extensionOf(filter));
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty() && !QFileInfo(chosen.first()).isDir() && m_onCanClose)
            m_onCanClose();
        QFileDialog::accept();
    }

private:
    std::function<void()> m_onCanClose;
    QList<FileFilter> m_extensionTypes;
};

std::optional<QString> runFileDialog(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace

QStringList QtNameFilters(const QList<FileFilter> &filters)
{
    QStringList result;
    for (const FileFilter &f : filters) {
        QString patterns = f.patterns;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << QStringLiteral("%1 (%2)").arg(f.label, patterns.simplified());
    }
    return result;
}

ModalResult QtDialogs::messageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                                  int)
{
    MessageBox box(m_owner, MessageDlgCaption(type), text, IconOfType(type), buttons);
    return box.run();
}

void QtDialogs::showMessage(const QString &text)
{
    MessageBox box(m_owner, ApplicationTitle(), text, QMessageBox::NoIcon, mbOK);
    box.run();
}

void QtDialogs::showErrorReport(const QString &text)
{
    MessageBox box(m_owner, ApplicationTitle(), text, QMessageBox::Critical, mbOK);
    box.run();
}

std::optional<QString> QtDialogs::executeOpen(const FileDialogRequest &request)
{
    FileDialog dialog(m_owner, request);
    dialog.setObjectName(QStringLiteral("dlgOpenFile"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The chosen file need not exist: the open command reports a name that cannot be read.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::Accept, QObject::tr("&Open"));
    return runFileDialog(dialog);
}

std::optional<QString> QtDialogs::executeSave(const FileDialogRequest &request)
{
    FileDialog dialog(m_owner, request);
    dialog.setObjectName(QStringLiteral("dlgSaveFile"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultExt.isEmpty())
        dialog.addTypeExtensions(request.filters);
    return runFileDialog(dialog);
}

std::optional<EditorFont> QtDialogs::executeFont(const EditorFont &current)
{
    QFont font(current.name, current.size);
    font.setBold(current.bold);
    font.setItalic(current.italic);
    QFontDialog dialog(font, m_owner);
    dialog.setObjectName(QStringLiteral("dlgFont"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    // The font choice has no effects: underline and strike-out are not offered.
    for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
        if (auto *group = qobject_cast<QGroupBox *>(box->parentWidget()))
            group->hide();
    // The sample shared its rows with the effects; without them it would shrink out of sight.
    for (QLineEdit *edit : dialog.findChildren<QLineEdit *>())
        if (qobject_cast<QGroupBox *>(edit->parentWidget()))
            edit->setMinimumHeight(edit->fontMetrics().height() * 3);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont chosen = dialog.selectedFont();
    return EditorFont {chosen.family(), chosen.pointSize(), chosen.bold(), chosen.italic()};
}
