#pragma once

#include <QString>
#include <QStringList>

class QBoxLayout;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QToolButton;
class QWidget;

// The pieces the settings and tools pages are made of: the section list beside a stack
// of sections, form sections with a blue button, path editors with a folder button,
// switches, and the pages' style sheet.
namespace VaruPageKit {

// A section list (left) and a section stack (right, between stretches, 80 px margins)
// laid side by side on page; the list switches the stack.
void buildSectionPage(
    QWidget *page, const QStringList &sections, QListWidget **list, QStackedWidget **stack);
// A section: a form, 30 px, the centred blue button, stretch. Returns the form.
QFormLayout *addSection(
    QStackedWidget *stack, const QString &buttonText, QToolButton **button, bool labelsLeftCentred);
// A form label named "subtitle".
QWidget *label(const QString &text);
// A line editor with a 20 x 20 folder button inside its right end.
QLineEdit *pathEdit(QToolButton **folderButton);
QLineEdit *passwordEdit();
// A checkable switch drawn with the switcher images.
QToolButton *toggleButton();
QComboBox *aliasCombo();
QToolButton *blueButton(const QString &text);
// The channel list editor with the example below it.
QBoxLayout *channelRow(QLineEdit *editor);
QString pageStyleSheet();
// Chooses in combo the first alias, or with several, preferred when it is among them.
void selectAlias(QComboBox *combo, const QStringList &aliases, const QString &preferred);
// Registers the images under ":/icon/" (they live in a static library); safe to call often.
void initResources();

} // namespace VaruPageKit
