#include "pagekit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

// Outside any namespace: the resource initialiser is a global function.
static void registerIcons()
{
    Q_INIT_RESOURCE(resources);
}

namespace VaruPageKit {

void initResources()
{
    static const bool registered = [] {
        registerIcons();
        return true;
    }();
    Q_UNUSED(registered);
}

void buildSectionPage(
    QWidget *page, const QStringList &sections, QListWidget **list, QStackedWidget **stack)
{
    *list = new QListWidget(page);
    (*list)->setObjectName(QStringLiteral("sectionList"));
    (*list)->setFixedWidth(150);
    (*list)->setAutoScroll(false);
    (*list)->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    (*list)->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    (*list)->setFocusPolicy(Qt::NoFocus);
    for (const QString &section : sections) {
        auto *item = new QListWidgetItem(section, *list);
        item->setTextAlignment(Qt::AlignCenter);
    }
    auto *right = new QFrame(page);
    right->setObjectName(QStringLiteral("sectionFrame"));
    auto *column = new QVBoxLayout(right);
    column->setSpacing(0);
    column->setContentsMargins(80, 80, 80, 80);
    *stack = new QStackedWidget(right);
    (*stack)->setMinimumWidth(540);
    column->addStretch();
    column->addWidget(*stack);
    column->addStretch();
    auto *row = new QHBoxLayout(page);
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(*list);
    row->addWidget(right);
    QObject::connect(
        *list, &QListWidget::currentRowChanged, *stack, &QStackedWidget::setCurrentIndex);
    (*list)->setCurrentRow(0);
}

QFormLayout *addSection(
    QStackedWidget *stack, const QString &buttonText, QToolButton **button, bool labelsLeftCentred)
{
    auto *section = new QWidget(stack);
    auto *column = new QVBoxLayout(section);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    auto *form = new QFormLayout;
    form->setSpacing(15);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    if (labelsLeftCentred)
        form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    column->addLayout(form);
    column->addSpacing(30);
    *button = blueButton(buttonText);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(*button);
    buttonRow->addStretch();
    column->addLayout(buttonRow);
    column->addStretch();
    stack->addWidget(section);
    return form;
}

QWidget *label(const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(QStringLiteral("subtitle"));
    return label;
}

QLineEdit *pathEdit(QToolButton **folderButton)
{
    initResources();
    auto *edit = new QLineEdit;
    auto *button = new QToolButton(edit);
    button->setObjectName(QStringLiteral("folderButton"));
    button->setCursor(Qt::PointingHandCursor);
    button->setFixedSize(20, 20);
    button->setIcon(QIcon(QStringLiteral(":/icon/folder")));
    button->setIconSize(QSize(20, 20));
    auto *row = new QHBoxLayout(edit);
    row->setContentsMargins(0, 0, 4, 0);
    row->setSpacing(0);
    row->addStretch();
    row->addWidget(button);
    *folderButton = button;
    return edit;
}

QLineEdit *passwordEdit()
{
    auto *edit = new QLineEdit;
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QToolButton *toggleButton()
{
    auto *button = new QToolButton;
    button->setObjectName(QStringLiteral("toggleButton"));
    button->setCheckable(true);
    button->setFixedSize(40, 20);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QComboBox *aliasCombo()
{
    auto *combo = new QComboBox;
    combo->setView(new QListView(combo));
    return combo;
}

QToolButton *blueButton(const QString &text)
{
    auto *button = new QToolButton;
    button->setObjectName(QStringLiteral("blueStyleButton"));
    button->setText(text);
    button->setFixedSize(120, 40);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QBoxLayout *channelRow(QLineEdit *editor)
{
    auto *box = new QVBoxLayout;
    box->setSpacing(5);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(editor);
    auto *tip = new QLabel(QStringLiteral("参考示例：kestrin;xiaomi;baidu;"));
    tip->setObjectName(QStringLiteral("tiptitle"));
    box->addWidget(tip);
    return box;
}

void selectAlias(QComboBox *combo, const QStringList &aliases, const QString &preferred)
{
    if (aliases.isEmpty())
        return;
    combo->setCurrentIndex(0);
    if (aliases.size() > 1 && aliases.contains(preferred))
        combo->setCurrentIndex(aliases.indexOf(preferred));
}

QString pageStyleSheet()
{
    initResources();
    return QStringLiteral(
        "QFrame#sectionFrame, QStackedWidget, QStackedWidget > QWidget { background-color: "
        "#fafafa; }"
        "#sectionList { background-color: #eff7f5; border: none; outline: none; color: black; "
        "font-size: 14px; }"
        "#sectionList::item { height: 40px; border: none; }"
        "#sectionList::item:hover { background-color: #e6f2ef; }"
        "#sectionList::item:selected { background-color: #d7e4ef; color: #2174e5; }"
        "#subtitle { color: #666666; font-size: 12px; background: transparent; }"
        "#tiptitle { color: #999999; font-size: 12px; background: transparent; }"
        "#blueStyleButton { background-color: #0070cc; color: white; font-size: 14px; border: none;"
        " border-radius: 2px; }"
        "#blueStyleButton:hover { background-color: #0064b6; }"
        "#folderButton { border: none; background: transparent; }"
        "#toggleButton { border: none; background: transparent; image: url(:/icon/switcher_off); }"
        "#toggleButton:checked { image: url(:/icon/switcher_on); }"
        "QLineEdit { background-color: white; border: 1px solid #999999; color: #666666; "
        "font-size: 12px;"
        " border-radius: 2px; padding-left: 4px; padding-right: 26px; min-height: 24px; "
        "max-height: 24px; }"
        "QLineEdit:hover { border: 1px solid #0070cc; }"
        "QLineEdit:disabled { background-color: #fafafa; }"
        "QComboBox { background-color: white; border: 1px solid #999999; color: #666666; "
        "font-size: 12px;"
        " border-radius: 2px; padding-left: 10px; padding-right: 10px; min-height: 24px; "
        "max-height: 24px; }"
        "QComboBox:hover { border: 1px solid #0070cc; }"
        "QComboBox:disabled { background-color: #fafafa; }"
        "QComboBox::drop-down { width: 24px; border-left: 1px solid #999999; }"
        "QComboBox::down-arrow { image: url(:/icon/arrowdown_normal); }"
        "QComboBox QAbstractItemView { background-color: white; selection-background-color: "
        "#2174e5;"
        " outline: none; }"
        "QComboBox QAbstractItemView::item { min-height: 24px; }"
        "QRadioButton { background-color: transparent; border: none; color: #999999; font-size: "
        "12px; }"
        "QRadioButton::indicator { width: 10px; height: 10px; border: 1px solid #999999; "
        "border-radius: 6px;"
        " background-color: white; }"
        "QRadioButton::indicator:checked { border: 1px solid #2174e5; background-color: "
        "qradialgradient("
        "cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5, stop:0 #2174e5, stop:0.5 #2174e5, stop:0.6 "
        "white, stop:1 white); }");
}

} // namespace VaruPageKit
