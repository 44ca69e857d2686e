#pragma once

#include <QString>

#include <functional>

class QWidget;

// How the pages ask the user for a path. The default shows Qt's file dialogs; tests
// answer in their place through the same calls.
namespace VaruFileDialogs {

using DirectoryAsker
    = std::function<QString(QWidget *parent, const QString &caption, const QString &start)>;
using FileAsker = std::function<QString(
    QWidget *parent, const QString &caption, const QString &start, const QString &filter)>;

QString existingDirectory(QWidget *parent, const QString &caption, const QString &start);
QString openFileName(
    QWidget *parent, const QString &caption, const QString &start, const QString &filter);

// Replaces the askers; empty functions restore the dialogs.
void setAskers(DirectoryAsker directory, FileAsker file);

} // namespace VaruFileDialogs
