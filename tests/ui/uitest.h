#pragma once

#include "ui/filedialogs.h"

#include "ui/indicator.h"
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

namespace VaruUiTest {

// The texts of the message overlays shown over page now.
inline QStringList messages(QWidget *page)
{
    QStringList texts;
    for (VaruIndicator *indicator : page->findChildren<VaruIndicator *>())
        texts << indicator->text();
    return texts;
}

// Types text as a user would, CJK included, through the input method.
inline void type(QLineEdit *edit, const QString &text)
{
    edit->clear();
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(edit, &event);
}

// Answers every modal message box with No from now on, as a user would; records their texts.
inline void answerBoxesWithNo(QObject *owner, QStringList *texts = nullptr)
{
    auto *timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, timer, [texts] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            if (texts)
                *texts << box->text();
            box->button(QMessageBox::No)->click();
        }
    });
    timer->start(20);
}

// Answers the pages' path questions with fixed answers; records the captions asked.
struct Answers {
    QString directory;
    QString file;
    QStringList captions;
    void install()
    {
        VaruFileDialogs::setAskers(
            [this](QWidget *, const QString &caption, const QString &) {
                captions << caption;
                return directory;
            },
            [this](QWidget *, const QString &caption, const QString &, const QString &) {
                captions << caption;
                return file;
            });
    }
};

} // namespace VaruUiTest
