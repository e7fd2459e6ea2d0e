#include "host/FindDialog.h"

#include "host/Guard.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPushButton *addButton(QVBoxLayout *column, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(88);
    column->addWidget(button);
    return button;
}

QLineEdit *addField(QGridLayout *grid, int row, const char *name, const QString &caption)
{
    auto *label = new QLabel(caption);
    auto *field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setMinimumWidth(190);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return field;
}

} // namespace

FindDialog::FindDialog(Kind kind, Guard &guard, QWidget *owner) : QDialog(owner), m_guard(guard)
{
    const bool replace = kind == Kind::Replace;
    setObjectName(replace ? QStringLiteral("dlgReplace") : QStringLiteral("dlgFind"));
    setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);

    auto *grid = new QGridLayout;
    m_findWhat = addField(grid, 0, "FindWhat", QStringLiteral("Fi&nd what:"));
    if (replace)
        m_replaceWith = addField(grid, 1, "ReplaceWith", QStringLiteral("Re&place with:"));

    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"));
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"));
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    auto *checks = new QVBoxLayout;
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    auto *choices = new QHBoxLayout;
    choices->addLayout(checks);
    if (!replace) {
        auto *direction = new QGroupBox(QStringLiteral("Direction"));
        m_up = new QRadioButton(QStringLiteral("&Up"));
        m_up->setObjectName(QStringLiteral("Up"));
        m_down = new QRadioButton(QStringLiteral("&Down"));
        m_down->setObjectName(QStringLiteral("Down"));
        auto *row = new QHBoxLayout(direction);
        row->addWidget(m_up);
        row->addWidget(m_down);
        choices->addWidget(direction);
    }
    choices->addStretch();

    auto *left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(choices);
    left->addStretch();

    auto *buttons = new QVBoxLayout;
    QPushButton *findNext = addButton(buttons, "FindNext", QStringLiteral("&Find Next"));
    findNext->setDefault(true);
    connect(findNext, &QPushButton::clicked, this, [this] { press(frFindNext); });
    if (replace) {
        connect(addButton(buttons, "Replace", QStringLiteral("&Replace")), &QPushButton::clicked,
                this, [this] { press(frReplace); });
        connect(addButton(buttons, "ReplaceAll", QStringLiteral("Replace &All")),
                &QPushButton::clicked, this, [this] { press(frReplaceAll); });
    }
    connect(addButton(buttons, "Cancel", QStringLiteral("Cancel")), &QPushButton::clicked, this,
            &QDialog::reject);
    buttons->addStretch();

    auto *top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    setOptions(frDown);
}

bool FindDialog::Execute()
{
    // Activated in both cases: without a window manager a new window gets no keyboard.
    show();
    raise();
    activateWindow();
    m_findWhat->setFocus();
    m_findWhat->selectAll();
    return true;
}

QString FindDialog::FindText() const
{
    return m_findWhat->text();
}

void FindDialog::setFindText(const QString &text)
{
    m_findWhat->setText(text);
}

QString FindDialog::ReplaceText() const
{
    return m_replaceWith ? m_replaceWith->text() : QString();
}

void FindDialog::setReplaceText(const QString &text)
{
    if (m_replaceWith)
        m_replaceWith->setText(text);
}

TFindOptions FindDialog::Options() const
{
    TFindOptions options = m_options & ~(frWholeWord | frMatchCase);
    if (m_wholeWord->isChecked())
        options |= frWholeWord;
    if (m_matchCase->isChecked())
        options |= frMatchCase;
    if (m_down)
        options = m_down->isChecked() ? options | frDown : options & ~frDown;
    return options;
}

void FindDialog::setOptions(TFindOptions options)
{
    m_options = options;
    m_wholeWord->setChecked(options & frWholeWord);
    m_matchCase->setChecked(options & frMatchCase);
    if (m_down) {
        m_down->setChecked(options & frDown);
        m_up->setChecked(!(options & frDown));
    }
}

void FindDialog::press(TFindOption button)
{
    // Like the platform's dialogs, exactly one of the button bits tells what was pressed.
    m_options = (m_options & ~(frFindNext | frReplace | frReplaceAll)) | button;
    const std::function<void()> &handler = button == frFindNext ? OnFind : OnReplace;
    if (handler)
        m_guard.run([&handler] { handler(); });
}
