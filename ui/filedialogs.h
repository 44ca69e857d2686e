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

// Asks for a keystore file, starting in the folder of current (or "." without one).
QString keystoreFile(QWidget *parent, const QString &current);

// Replaces the askers; empty functions restore the dialogs.
void setAskers(DirectoryAsker directory, FileAsker file);

} // namespace VaruFileDialogs
